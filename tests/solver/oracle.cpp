#include "tests/solver/oracle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace solver_oracle {

namespace {

// A boundary record of one stage: a heat source (R unused), a held surface (R = 0 and
// fixed) or a surface resistance R per area to the ambient 0.
struct Record {
    std::string name;
    int kind;  // 1 heat, 2 fixed, 3 surface resistance
    double value;
    double r;
};

class Grid {
public:
    explicit Grid(const Input& in) : in_(in) {
        counts_ = {in.im, in.jm, in.km};
        // The longest axis slowest: the band is the product of the two shorter ones.
        order_ = {0, 1, 2};
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int a, int b) { return counts_[a] < counts_[b]; });
        width_ = counts_[order_[0]] * counts_[order_[1]];
        cells_ = static_cast<std::int64_t>(in.im) * in.jm * in.km;
    }

    int Mat(int i, int j, int k) const {
        if (i < 1 || i > in_.im || j < 1 || j > in_.jm || k < 1 || k > in_.km) return 0;
        return in_.Mat(i, j, k);
    }
    double Width(int axis, int index) const {
        const std::vector<double>& lines = axis == 0 ? in_.x : axis == 1 ? in_.y : in_.z;
        return lines[index] - lines[index - 1];
    }
    double Conductivity(int material, int axis) const {
        const solver_test::Material& m = in_.materials[material - 1];
        return axis == 0 ? m.kx : axis == 1 ? m.ky : m.kz;
    }
    // Position of a cell in the band ordering.
    std::int64_t Row(const std::array<int, 3>& c) const {
        return (c[order_[0]] - 1) +
               static_cast<std::int64_t>(counts_[order_[0]]) *
                   ((c[order_[1]] - 1) + static_cast<std::int64_t>(counts_[order_[1]]) *
                                             (c[order_[2]] - 1));
    }
    std::int64_t Natural(const std::array<int, 3>& c) const {
        return (c[0] - 1) + static_cast<std::int64_t>(in_.im) * ((c[1] - 1) +
                                                                 static_cast<std::int64_t>(in_.jm) * (c[2] - 1));
    }
    int width() const { return width_; }
    std::int64_t cells() const { return cells_; }

    // The system of one stage, lower band plus right-hand side in band order.
    void Assemble(const std::vector<Record>& records, std::vector<double>& band,
                  std::vector<double>& b) const {
        const std::int64_t stride = width_ + 1;
        band.assign(cells_ * stride, 0.0);
        b.assign(cells_, 0.0);
        for (int k = 1; k <= in_.km; ++k)
            for (int j = 1; j <= in_.jm; ++j)
                for (int i = 1; i <= in_.im; ++i) {
                    const std::array<int, 3> c{i, j, k};
                    const std::int64_t row = Row(c);
                    double& diagonal = band[row * stride + width_];
                    const int m = Mat(i, j, k);
                    if (m == 0) {
                        diagonal = 1.0;
                        continue;
                    }
                    for (int axis = 0; axis < 3; ++axis) {
                        for (int step : {-1, 1}) {
                            std::array<int, 3> nb = c;
                            nb[axis] += step;
                            const int mn = Mat(nb[0], nb[1], nb[2]);
                            if (mn == 0) continue;
                            const double g = CrossArea(c, axis) /
                                             (Width(axis, c[axis]) / 2 / Conductivity(m, axis) +
                                              Width(axis, nb[axis]) / 2 / Conductivity(mn, axis));
                            diagonal += g;
                            const std::int64_t other = Row(nb);
                            if (other < row) band[row * stride + (other - row + width_)] = -g;
                        }
                    }
                }
        for (const Record& record : records) Apply(record, band, b);
    }

    // A face entry resolved to its solid cell beside an empty one; false otherwise.
    bool SolidCell(const solver_test::Entry& e, std::array<int, 3>& cell, int& axis) const {
        if (e.face < 1 || e.face > 3) return false;
        axis = e.face - 1;
        std::array<int, 3> high{e.i, e.j, e.k};
        std::array<int, 3> low = high;
        low[axis] -= 1;
        const bool high_solid = Mat(high[0], high[1], high[2]) > 0;
        const bool low_solid = Mat(low[0], low[1], low[2]) > 0;
        if (high_solid == low_solid) return false;
        cell = high_solid ? high : low;
        return true;
    }
    double CrossArea(const std::array<int, 3>& c, int axis) const {
        double a = 1.0;
        for (int other = 0; other < 3; ++other) {
            if (other != axis) a *= Width(other, c[other]);
        }
        return a;
    }
    double HalfResistance(const std::array<int, 3>& c, int axis) const {
        return Width(axis, c[axis]) / 2 / Conductivity(Mat(c[0], c[1], c[2]), axis);
    }
    double Volume(const solver_test::Entry& e) const {
        return Width(0, e.i) * Width(1, e.j) * Width(2, e.k);
    }
    const solver_test::Node* Find(const std::string& name) const {
        for (const solver_test::Node& node : in_.nodes) {
            if (node.name == name) return &node;
        }
        return nullptr;
    }

private:
    void Apply(const Record& record, std::vector<double>& band, std::vector<double>& b) const {
        const solver_test::Node* node = Find(record.name);
        if (!node) return;
        if (record.kind == 1) {
            double volume = 0.0;
            for (const solver_test::Entry& e : node->entries) volume += Volume(e);
            for (const solver_test::Entry& e : node->entries) {
                b[Row({e.i, e.j, e.k})] += record.value * Volume(e) / volume;
            }
            return;
        }
        for (const solver_test::Entry& e : node->entries) {
            std::array<int, 3> cell;
            int axis = 0;
            if (!SolidCell(e, cell, axis)) continue;
            const double rh = HalfResistance(cell, axis);
            const double g = CrossArea(cell, axis) / (record.kind == 2 ? rh : rh + record.r);
            band[Row(cell) * (width_ + 1) + width_] += g;
            b[Row(cell)] += g * record.value;
        }
    }

    const Input& in_;
    std::array<int, 3> counts_{};
    std::array<int, 3> order_{};
    int width_ = 0;
    std::int64_t cells_ = 0;
};

std::vector<Record> StageRecords(const Input& in, const std::vector<std::string>& nodes, int g) {
    const double q = 1.0 / in.quarter;
    const double inf = std::numeric_limits<double>::infinity();
    if (in.type == 1) {
        if (g == 1) return {{"CHIP", 1, q, 0}, {"TOP", 2, 0, 0}};
        return {{"CHIP", 1, q, 0},
                {"BOTTOM", 3, 0, in.ramda == 0 ? inf : in.gapl / in.ramda},
                {"LEAD", 2, 0, 0}};
    }
    if (in.type == 2) {
        const double r[3][3] = {{1e-4, 0.1, 1.0}, {0.1, 1e-4, 1.0}, {1.0, 1.0, 1e-4}};
        return {{"CHIP", 1, q, 0}, {"TOP", 3, 0, r[g - 1][0]},
                {"BOTTOM", 3, 0, r[g - 1][1]}, {"LEAD", 3, 0, r[g - 1][2]}};
    }
    std::vector<Record> records = {{"J", 1, q, 0}};
    int column = 0;
    for (std::size_t n = 1; n < nodes.size(); ++n) {
        const std::string letters = "TBLS";
        std::size_t c = letters.find(nodes[n][0]);
        if (c != std::string::npos) column = static_cast<int>(c);
        const double h = in.cases[g - 1][column];
        records.push_back({nodes[n], 3, 0, h == 0 ? inf : 1.0 / h});
    }
    return records;
}

// Gaussian elimination with partial pivoting; false on a pivot below 1e-20.
bool Eliminate(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double>& x) {
    const std::size_t n = b.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; ++r) {
            if (std::abs(a[r][c]) > std::abs(a[p][c])) p = r;
        }
        if (!(std::abs(a[p][c]) >= 1e-20)) return false;
        std::swap(a[p], a[c]);
        std::swap(b[p], b[c]);
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (std::size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    x.assign(n, 0.0);
    for (std::size_t c = n; c-- > 0;) {
        double s = b[c];
        for (std::size_t k = c + 1; k < n; ++k) s -= a[c][k] * x[k];
        x[c] = s / a[c][c];
    }
    return true;
}

// The network fit: a junction star by least squares on the cases, refitted without the
// nodes whose coefficient is not physical, then the node-to-node conductances fitted to
// the heat the star leaves over, dropping the smallest non-positive one at a time.
void FitNetwork(const std::vector<std::string>& names, Outcome& out) {
    const int ns = static_cast<int>(names.size()) - 1;
    const int nc = static_cast<int>(out.stages.size());
    auto tj = [&](int m) { return out.stages[m].junction_max; };
    auto t = [&](int n, int m) { return out.stages[m].mean_temperature[n]; };
    auto q = [&](int n, int m) { return out.stages[m].heat_flow[n]; };

    std::vector<std::vector<double>> rows(ns + 2, std::vector<double>(ns + 1, 0.0));
    std::vector<double> rhs(ns + 2, 0.0);
    for (int m = 0; m < nc; ++m) {
        std::vector<double> w(ns + 1);
        w[0] = 1.0 / tj(m);
        for (int n = 1; n <= ns; ++n) w[n] = t(n, m) / tj(m);
        for (int p = 0; p <= ns; ++p) {
            for (int c = 0; c <= ns; ++c) rows[p][c] += w[p] * w[c];
            rhs[p] += w[p];
        }
    }
    for (int n = 1; n <= ns; ++n) rows[ns + 1][n] = 1.0;
    rhs[ns + 1] = 1.0;

    std::vector<bool> active(ns + 1, true);
    std::vector<double> r(ns + 1, -1.0), x;
    for (bool changed = true; changed;) {
        std::vector<std::vector<double>> ata(ns + 1, std::vector<double>(ns + 1, 0.0));
        std::vector<double> atb(ns + 1, 0.0);
        for (int i = 0; i <= ns + 1; ++i)
            for (int p = 0; p <= ns; ++p) {
                for (int c = 0; c <= ns; ++c) ata[p][c] += rows[i][p] * rows[i][c];
                atb[p] += rows[i][p] * rhs[i];
            }
        if (!Eliminate(ata, atb, x)) {
            out.fit_failed = true;
            return;
        }
        changed = false;
        for (int n = 1; n <= ns; ++n) {
            if (!active[n]) continue;
            if (x[n] <= x[0] / 100000.0) {
                active[n] = false;
                r[n] = -1.0;
                std::fill(rows[n].begin(), rows[n].end(), 0.0);
                rows[n][n] = 1e10;
                rhs[n] = 0.0;
                changed = true;
            } else {
                r[n] = x[0] / x[n];
            }
        }
    }
    out.rj = x[0];
    out.star.assign(r.begin() + 1, r.end());

    struct Link {
        int a, b;
        int free;  // 0 fixed junction link, -1 adiabatic, 1.. fitted
        double r;
    };
    std::vector<Link> links;
    for (int a = 0; a <= ns; ++a)
        for (int b = a + 1; b <= ns; ++b) {
            if (a == 0) {
                links.push_back({a, b, r[b] >= 0 ? 0 : -1, r[b]});
            } else {
                links.push_back({a, b, 1, -1.0});
            }
        }
    auto residual = [&](int n, int m) {
        return r[n] > 0 ? q(n, m) - (tj(m) - t(n, m)) / r[n] : q(n, m);
    };
    while (true) {
        std::vector<int> free;
        for (std::size_t l = 0; l < links.size(); ++l) {
            if (links[l].free > 0) free.push_back(static_cast<int>(l));
        }
        if (free.empty()) break;
        const std::size_t nu = free.size();
        std::vector<std::vector<double>> a(nu, std::vector<double>(nu, 0.0));
        std::vector<double> rhs2(nu, 0.0);
        for (int node = 1; node <= ns; ++node) {
            for (std::size_t u1 = 0; u1 < nu; ++u1) {
                const Link& l1 = links[free[u1]];
                if (l1.a != node && l1.b != node) continue;
                const int b1 = l1.a == node ? l1.b : l1.a;
                for (int m = 0; m < nc; ++m) rhs2[u1] += (t(b1, m) - t(node, m)) * residual(node, m);
                for (std::size_t u2 = 0; u2 < nu; ++u2) {
                    const Link& l2 = links[free[u2]];
                    if (l2.a != node && l2.b != node) continue;
                    const int b2 = l2.a == node ? l2.b : l2.a;
                    for (int m = 0; m < nc; ++m)
                        a[u1][u2] += (t(b1, m) - t(node, m)) * (t(b2, m) - t(node, m));
                }
            }
        }
        std::vector<double> g;
        if (!Eliminate(a, rhs2, g)) {
            out.fit_failed = true;
            return;
        }
        std::size_t smallest = 0;
        double minimum = 1e10;
        for (std::size_t u = 0; u < nu; ++u) {
            if (g[u] < minimum) {
                minimum = g[u];
                smallest = u;
            }
        }
        if (minimum > 0) {
            for (std::size_t u = 0; u < nu; ++u) {
                links[free[u]].r = 1.0 / g[u];
                links[free[u]].free = 0;
            }
            break;
        }
        links[free[smallest]].free = -1;
        links[free[smallest]].r = -1.0;
    }
    for (const Link& l : links) {
        out.links.push_back(l.r);
        if (l.r >= 0) out.resistances.push_back({names[l.a] + "-" + names[l.b], l.r});
    }
}

}  // namespace

NetworkError JunctionError(const Input& in, const Outcome& o, const std::vector<double>& links) {
    std::vector<int> kind = {0};
    for (const auto& node : in.nodes) {
        if (node.name == "J") continue;
        const std::string letters = "TBLS";
        const std::size_t k = letters.find(node.name[0]);
        kind.push_back(k == std::string::npos ? kind.back() : static_cast<int>(k));
    }
    const int n = static_cast<int>(kind.size());
    NetworkError e;
    double sum = 0.0;
    for (std::size_t m = 0; m < o.stages.size(); ++m) {
        std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
        for (int p = 1; p < n; ++p) a[p][p] = in.cases[m][kind[p]] * in.quarter * o.stages[m].area[p];
        std::size_t l = 0;
        for (int p = 0; p < n; ++p)
            for (int q = p + 1; q < n; ++q, ++l) {
                if (links[l] <= 0) continue;
                const double g = 1.0 / links[l];
                a[p][p] += g, a[q][q] += g, a[p][q] -= g, a[q][p] -= g;
            }
        for (int p = 1; p < n; ++p)
            if (a[p][p] == 0) a[p][p] = 1.0;  // neither linked nor cooled: stays at 0
        std::vector<double> b(n, 0.0), t;
        b[0] = 1.0;
        Eliminate(a, b, t);
        const double error = 100.0 * std::abs(t[0] / o.stages[m].junction_max - 1.0);
        sum += error * error;
        if (error > e.worst || e.worst_case == 0) e.worst = error, e.worst_case = static_cast<int>(m) + 1;
    }
    e.rms = std::sqrt(sum / o.stages.size());
    return e;
}

std::vector<double> BandSolve(std::vector<double> band, int w, std::vector<double> b) {
    const std::int64_t n = static_cast<std::int64_t>(b.size());
    const std::int64_t stride = w + 1;
    auto at = [&](std::int64_t i, std::int64_t j) -> double& {
        return band[i * stride + (j - i + w)];
    };
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t first = std::max<std::int64_t>(0, i - w);
        for (std::int64_t j = first; j <= i; ++j) {
            const std::int64_t from = std::max<std::int64_t>(first, j - w);
            const double* li = &at(i, from);
            const double* lj = &at(j, from);
            double s = at(i, j);
            for (std::int64_t k = 0; k < j - from; ++k) s -= li[k] * lj[k];
            at(i, j) = i == j ? std::sqrt(s) : s / at(j, j);
        }
    }
    for (std::int64_t i = 0; i < n; ++i) {
        double s = b[i];
        for (std::int64_t k = std::max<std::int64_t>(0, i - w); k < i; ++k) s -= at(i, k) * b[k];
        b[i] = s / at(i, i);
    }
    for (std::int64_t i = n; i-- > 0;) {
        b[i] /= at(i, i);
        for (std::int64_t k = std::max<std::int64_t>(0, i - w); k < i; ++k) b[k] -= at(i, k) * b[i];
    }
    return b;
}

Outcome Solve(const Input& in) {
    Outcome out;
    Grid grid(in);
    std::vector<std::string> nodes = {"J"};
    for (const solver_test::Node& node : in.nodes) {
        if (node.name != "J") nodes.push_back(node.name);
    }
    const int stages = in.type == 1 ? 2 : in.type == 2 ? 3 : static_cast<int>(in.cases.size());
    for (int g = 1; g <= stages; ++g) {
        const std::vector<Record> records = StageRecords(in, nodes, g);
        std::vector<double> band, b;
        grid.Assemble(records, band, b);
        const std::vector<double> solved = BandSolve(std::move(band), grid.width(), std::move(b));
        Stage stage;
        stage.temperature.assign(grid.cells(), 0.0);
        for (int k = 1; k <= in.km; ++k)
            for (int j = 1; j <= in.jm; ++j)
                for (int i = 1; i <= in.im; ++i)
                    stage.temperature[grid.Natural({i, j, k})] = solved[grid.Row({i, j, k})];
        auto cell_t = [&](const std::array<int, 3>& c) {
            return stage.temperature[grid.Natural(c)];
        };
        stage.area.assign(nodes.size(), 0.0);
        stage.mean_temperature.assign(nodes.size(), 0.0);
        stage.heat_flow.assign(nodes.size(), 0.0);
        for (const Record& record : records) {
            const solver_test::Node* node = grid.Find(record.name);
            if (!node) continue;
            if (record.kind == 1) {
                double& maximum = in.type == 3 ? stage.junction_max : stage.chip_max;
                for (const solver_test::Entry& e : node->entries)
                    maximum = std::max(maximum, cell_t({e.i, e.j, e.k}));
                continue;
            }
            if (record.kind != 3) continue;
            const std::size_t n = std::find(nodes.begin(), nodes.end(), record.name) - nodes.begin();
            const int slot = record.name == "TOP" ? 0 : record.name == "BOTTOM" ? 1 : 2;
            for (const solver_test::Entry& e : node->entries) {
                std::array<int, 3> cell;
                int axis = 0;
                if (!grid.SolidCell(e, cell, axis)) continue;
                const double tc = cell_t(cell);
                const double rh = grid.HalfResistance(cell, axis);
                const double ts = std::isinf(record.r) ? tc : tc * record.r / (rh + record.r);
                const double area = grid.CrossArea(cell, axis);
                if (in.type == 2) {
                    stage.tmax[slot] = std::max(stage.tmax[slot], ts);
                } else if (n < nodes.size()) {
                    stage.area[n] += area;
                    stage.mean_temperature[n] += area * ts;
                    if (!std::isinf(record.r)) stage.heat_flow[n] += area * tc / (rh + record.r);
                }
            }
        }
        for (std::size_t n = 1; n < nodes.size(); ++n) {
            stage.heat_flow[n] *= in.quarter;
            if (stage.area[n] != 0) stage.mean_temperature[n] /= stage.area[n];
        }
        out.stages.push_back(std::move(stage));
    }

    if (in.type == 1) {
        out.resistances = {{"J-T", out.stages[0].chip_max}, {"J-B", out.stages[1].chip_max}};
    } else if (in.type == 2) {
        // Star J-T, J-B, J-L with 1 W into J: per stage
        // (TB - TT) GB/S + (TL - TT) GL/S + 1/S = TJ - TT, S = GT + GB + GL.
        std::vector<std::vector<double>> m(3, std::vector<double>(3));
        std::vector<double> rhs(3), abc;
        for (int s = 0; s < 3; ++s) {
            const Stage& st = out.stages[s];
            m[s] = {st.tmax[1] - st.tmax[0], st.tmax[2] - st.tmax[0], 1.0};
            rhs[s] = st.chip_max - st.tmax[0];
        }
        if (Eliminate(m, rhs, abc)) {
            const double s = 1.0 / abc[2];
            const double gb = abc[0] * s, gl = abc[1] * s, gt = s - gb - gl;
            out.resistances = {{"J-T", 1 / gt}, {"J-B", 1 / gb}, {"J-L", 1 / gl}};
        }
    } else {
        FitNetwork(nodes, out);
    }
    return out;
}

namespace {

class Records {
public:
    explicit Records(const std::string& bytes) : bytes_(bytes) {}
    bool Next(std::string& payload) {
        std::uint32_t lead = 0, trail = 0;
        if (!Count(pos_, lead) || pos_ + 8 + lead > bytes_.size() ||
            !Count(pos_ + 4 + lead, trail) || lead != trail) {
            return false;
        }
        payload = bytes_.substr(pos_ + 4, lead);
        pos_ += 8 + lead;
        return true;
    }
    bool Ints(std::vector<int>& v) {
        std::string p;
        if (!Next(p) || p.size() % 4 != 0) return false;
        v.clear();
        for (std::size_t o = 0; o < p.size(); o += 4) v.push_back(static_cast<std::int32_t>(Word(p, o)));
        return true;
    }
    bool Doubles(std::vector<double>& v) {
        std::string p;
        if (!Next(p) || p.size() % 8 != 0) return false;
        v.clear();
        for (std::size_t o = 0; o < p.size(); o += 8) v.push_back(Real(p, o));
        return true;
    }
    static std::uint32_t Word(const std::string& p, std::size_t o) {
        std::uint32_t w = 0;
        for (int b = 0; b < 4; ++b) w = (w << 8) | static_cast<unsigned char>(p[o + b]);
        return w;
    }
    static double Real(const std::string& p, std::size_t o) {
        std::uint64_t bits = (static_cast<std::uint64_t>(Word(p, o)) << 32) | Word(p, o + 4);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    bool AtEnd() const { return pos_ == bytes_.size(); }

private:
    bool Count(std::size_t at, std::uint32_t& count) const {
        if (at + 4 > bytes_.size()) return false;
        count = Word(bytes_, at);
        return true;
    }
    const std::string& bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

bool ParseInput(const std::string& bytes, Input& in) {
    Records f(bytes);
    std::vector<int> v;
    std::string p;
    in = Input();
    if (!f.Ints(v) || v.size() != 1) return false;
    in.type = v[0];
    if (!f.Ints(v) || v.size() != 1) return false;
    in.version = v[0];
    if (!f.Ints(v) || v.size() != 4) return false;
    in.im = v[0], in.jm = v[1], in.km = v[2], in.quarter = v[3];
    if (!f.Doubles(in.x) || !f.Doubles(in.y) || !f.Doubles(in.z) || !f.Ints(in.mat)) return false;
    if (!f.Ints(v) || v.size() != 1) return false;
    const int regions = v[0];
    for (int r = 0; r < regions; ++r) {
        solver_test::Node node;
        if (!f.Next(p) || p.size() != 32) return false;
        node.name = p.substr(0, p.find_last_not_of(' ') + 1);
        std::vector<int> is, js, ks, faces;
        if (!f.Ints(v) || !f.Ints(is) || !f.Ints(js) || !f.Ints(ks) || !f.Ints(faces)) return false;
        for (std::size_t e = 0; e < is.size(); ++e) node.entries.push_back({is[e], js[e], ks[e], faces[e]});
        in.nodes.push_back(node);
    }
    if (!f.Ints(v) || v.size() != 1) return false;
    std::vector<double> k;
    for (int m = v[0]; m > 0; --m) {
        if (!f.Doubles(k) || k.size() != 3) return false;
        in.materials.push_back({k[0], k[1], k[2]});
    }
    if (!f.Next(p) || p.size() != 12) return false;
    in.nitr = static_cast<std::int32_t>(Records::Word(p, 0));
    in.eitr = Records::Real(p, 4);
    if (in.type == 1) {
        if (!f.Doubles(k) || k.size() != 2) return false;
        in.gapl = k[0], in.ramda = k[1];
    } else if (in.type == 3) {
        if (!f.Ints(v) || v.size() != 1) return false;
        for (int c = v[0]; c > 0; --c) {
            if (!f.Doubles(k) || k.size() != 4) return false;
            in.cases.push_back(k);
        }
    }
    return f.AtEnd();
}

}  // namespace solver_oracle
