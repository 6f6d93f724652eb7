#include "tests/solver/test_models.h"

namespace solver_test {

Input ColumnModel(int type, const std::vector<Layer>& layers) {
    Input in;
    in.type = type;
    in.im = 2;
    in.jm = 3;
    in.km = 0;
    for (const Layer& l : layers) in.km += l.cells;
    in.x = {0.0, 0.3e-3, 1.0e-3};
    in.y = {0.0, 0.2e-3, 0.7e-3, 1.5e-3};
    in.z = {0.0};
    in.mat.assign(in.im * in.jm * in.km, 0);
    int k = 1;
    for (std::size_t l = 0; l < layers.size(); ++l) {
        in.materials.push_back(layers[l].material);
        for (int c = 0; c < layers[l].cells; ++c, ++k) {
            in.z.push_back(in.z.back() + layers[l].thickness / layers[l].cells);
            for (int j = 1; j <= in.jm; ++j)
                for (int i = 1; i <= in.im; ++i) in.Mat(i, j, k) = static_cast<int>(l) + 1;
        }
    }
    in.nodes.push_back({"CHIP", Input::Cells(1, in.im, 1, in.jm, 1, 1)});
    in.nodes.push_back({"TOP", Input::Faces(3, in.km + 1, 1, in.im, 1, in.jm)});
    in.nodes.push_back({"BOTTOM", Input::Faces(3, 1, 1, in.im, 1, in.jm)});
    in.nodes.push_back({"LEAD", Input::Faces(3, in.km + 1, 1, in.im, 1, in.jm)});
    return in;
}

Input PackageModel(int type, bool full) {
    const int q = 4;  // cells of the quarter along x and y
    Input in;
    in.type = type;
    in.im = full ? 2 * q : q;
    in.jm = in.im;
    in.km = 4;
    in.quarter = full ? 1 : 4;
    const double widths[q] = {0.5e-3, 0.4e-3, 0.3e-3, 0.2e-3};  // from the outside in
    auto lines = [&]() {
        std::vector<double> v = {full ? -1.4e-3 : -1.4e-3};
        for (int c = 0; c < q; ++c) v.push_back(v.back() + widths[c]);
        if (full)
            for (int c = q - 1; c >= 0; --c) v.push_back(v.back() + widths[c]);
        return v;
    };
    in.x = lines();
    in.y = lines();
    in.z = {0.0, 0.1e-3, 0.3e-3, 0.45e-3, 0.8e-3};
    in.materials = {{0.8, 0.8, 0.8}, {150.0, 150.0, 150.0}, {390.0, 390.0, 390.0}};
    in.mat.assign(in.im * in.jm * in.km, 0);
    for (int k = 1; k <= in.km; ++k)
        for (int j = 1; j <= in.jm; ++j)
            for (int i = 1; i <= in.im; ++i) in.Mat(i, j, k) = k == 1 ? 3 : 1;
    // The chip: the centre-most cells of layer 3; a die attach cell beneath it.
    int c0 = q, c1 = full ? q + 1 : q;
    for (int j = c0; j <= c1; ++j)
        for (int i = c0; i <= c1; ++i) {
            in.Mat(i, j, 3) = 2;
            in.Mat(i, j, 2) = 2;
        }
    in.nodes.push_back({"CHIP", Input::Cells(c0, c1, c0, c1, 3, 3)});
    in.nodes.push_back({"TOP", Input::Faces(3, in.km + 1, 1, in.im, 1, in.jm)});
    in.nodes.push_back({"BOTTOM", Input::Faces(3, 1, 1, in.im, 1, in.jm)});
    Node lead{"LEAD", Input::Faces(1, 1, 1, in.jm, 1, 1)};
    if (full) {
        for (const Entry& e : Input::Faces(1, in.im + 1, 1, in.jm, 1, 1)) lead.entries.push_back(e);
    }
    in.nodes.push_back(lead);
    if (type == 1) {
        in.gapl = 0.1e-3;
        in.ramda = 0.0256;
    }
    return in;
}

Input DelphiModel(int cases) {
    Input in;
    in.type = 3;
    in.im = 4;
    in.jm = 3;
    in.km = 3;
    in.quarter = 4;
    in.x = Uniform(4, 0.5e-3);
    in.y = Uniform(3, 0.5e-3);
    in.z = {0.0, 0.2e-3, 0.5e-3, 0.6e-3};
    in.materials = {{0.7, 0.7, 0.7}, {140.0, 140.0, 140.0}};
    in.mat.assign(in.im * in.jm * in.km, 1);
    in.Mat(4, 3, 2) = 2;
    in.nodes.push_back({"TI", Input::Faces(3, 4, 3, 4, 1, 3)});
    in.nodes.push_back({"J", Input::Cells(4, 4, 3, 3, 2, 2)});
    in.nodes.push_back({"TO", Input::Faces(3, 4, 1, 2, 1, 3)});
    in.nodes.push_back({"B", Input::Faces(3, 1, 1, 4, 1, 3)});
    in.nodes.push_back({"S", Input::Faces(1, 1, 1, 3, 1, 3)});
    const double table[6][4] = {{100, 100, 1000, 100}, {100, 1, 1000, 100},
                                {1, 100, 1000, 100},  {200, 200, 1000, 200},
                                {50, 50, 1000, 50},   {0, 10000, 10, 0}};
    for (int c = 0; c < cases; ++c) {
        const double* h = table[c % 6];
        in.cases.push_back({h[0], h[1], h[2], h[3]});
    }
    return in;
}

}  // namespace solver_test
