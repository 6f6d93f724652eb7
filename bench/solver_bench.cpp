// Solver benchmark: synthetic layered-package quarters (mold, silicon, a copper frame and a
// thin die attach) of about 1e5 and 1e6 cells, three boundary cases each, and a DELPHI
// quarter of about 2e5 cells with 38 boundary cases and seven surface nodes. Prints per
// stage the iterations, the seconds and the memory bandwidth one iteration achieves,
// beside the machine's copy bandwidth, and the wall time of the whole computation,
// network fit included, on one thread and on all of them. Last, the default SOP's DELPHI
// input as the export code writes it, timed the same way.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "bench/sop_delphi_case.h"
#include "export/record_writer.h"
#include "solver/conduction.h"
#include "solver/list_file.h"
#include "solver/read_input.h"
#include "solver/record_reader.h"
#include "solver/resist_model.h"
#include "solver/rst_main.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Bytes one iteration moves per cell: the matrix-vector product with its two dot products
// (four diagonals, p, q), x += alpha p, the forward sweep with r -= alpha q (r, q, the
// pivots, three couplings, z), the backward sweep, r.z and p = z + beta p.
constexpr double kBytesPerCellIteration = 224.0;

// Best of several passes of a[i] = b[i] over arrays far larger than the caches, counting
// the bytes read and written, as STREAM's copy does.
double CopyBandwidth() {
    const std::size_t n = std::size_t(1) << 25;  // 256 MiB per array
    std::vector<double> a(n, 0.0), b(n, 1.0);
    double best = 0.0;
    for (int pass = 0; pass < 5; ++pass) {
        auto start = Clock::now();
        std::memcpy(a.data(), b.data(), n * sizeof(double));
        double s = Seconds(start);
        best = std::max(best, 2.0 * n * sizeof(double) / s);
        b[pass] = a[n - 1 - pass];
    }
    return best;
}

// The solver input is written with the program's own record writer; a failed write stops
// the benchmark rather than timing a truncated file.
class Writer {
public:
    explicit Writer(const std::string& path) {
        if (!out_.Open(path)) Fail(path);
    }
    void Ints(const std::vector<std::int32_t>& v) { out_.WriteInts(v.data(), v.size()); }
    void Doubles(const std::vector<double>& v) { out_.WriteDoubles(v.data(), v.size()); }
    void Name(std::string name) {
        name.resize(32, ' ');
        out_.WriteBytes(name.data(), name.size());
    }
    void IntAndDouble(std::int32_t i, double d) { out_.WriteIntAndDouble(i, d); }
    void Close(const std::string& path) {
        if (!out_.Close()) Fail(path);
    }

private:
    [[noreturn]] static void Fail(const std::string& path) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    pkg::RecordWriter out_;
};

struct Entries {
    std::vector<std::int32_t> i, j, k, face;
    void Add(int a, int b, int c, int f) {
        i.push_back(a), j.push_back(b), k.push_back(c), face.push_back(f);
    }
};

constexpr int kDelphiCases = 38;

// Heat-transfer coefficients in W/(m^2 K) of TOP, BOTTOM, LEAD and SIDE for case c: each
// column sweeps 10 to 10^4 at its own pace, so that no two cases are alike.
std::vector<double> DelphiCase(int c) {
    std::vector<double> h;
    const double pace[4] = {0.377, 0.613, 0.271, 0.839};
    for (int column = 0; column < 4; ++column) {
        double f = pace[column] * (c + 1) + 0.1 * column;
        h.push_back(std::pow(10.0, 1.0 + 3.0 * (f - std::floor(f))));
    }
    return h;
}

// A quarter (x, y <= 0) of n x n x nz cells: a 10 mm package of 1.2 mm, a copper frame at
// the bottom, a thin die attach, a 4 mm silicon die at the centre corner, mold around and
// above it. As a three-resistor model its nodes are CHIP, TOP, BOTTOM and LEAD (the frame's
// outer sides); as a DELPHI model J is the die, top and bottom are split at the die's edge
// into TI/TO and BI/BO, S is the mold's outer sides and L the frame's.
void WritePackage(const std::string& path, int n, int nz, bool delphi) {
    const double half = 5.0e-3;
    std::vector<double> x(n + 1);
    for (int c = 0; c <= n; ++c) x[c] = -half + half * c / n;
    // Layer tops in metres and the share of the z cells each gets.
    const double tops[4] = {0.2e-3, 0.225e-3, 0.525e-3, 1.2e-3};
    const double shares[4] = {0.2, 0.0, 0.3, 0.5};
    std::vector<double> z = {0.0};
    std::vector<int> layer_of;
    int remaining = nz;
    for (int l = 0; l < 4; ++l) {
        int cells = l == 1 ? 1 : l == 3 ? remaining : std::max(1, int(shares[l] * nz));
        remaining -= cells;
        double bottom = z.back();
        for (int c = 1; c <= cells; ++c) {
            z.push_back(bottom + (tops[l] - bottom) * c / cells);
            layer_of.push_back(l);
        }
    }
    const int die_from = int(n * (1.0 - 2.0e-3 / half)) + 1;  // 1-based first die column
    auto in_die = [&](int i, int j) { return i >= die_from && j >= die_from; };

    std::vector<std::int32_t> mat;
    mat.reserve(std::size_t(n) * n * nz);
    int chip_layer = -1;
    for (int k = 1; k <= nz; ++k) {
        int l = layer_of[k - 1];
        if (l == 2) chip_layer = k;
        for (int j = 1; j <= n; ++j) {
            for (int i = 1; i <= n; ++i) {
                int m = 1;  // mold
                if (l == 0) m = 3;
                if (l == 1) m = in_die(i, j) ? 4 : 1;
                if (l == 2) m = in_die(i, j) ? 2 : 1;
                mat.push_back(m);
            }
        }
    }

    Writer w(path);
    w.Ints({delphi ? 3 : 2});
    w.Ints({3});
    w.Ints({n, n, nz, 4});
    w.Doubles(x);
    w.Doubles(x);
    w.Doubles(z);
    w.Ints(mat);
    Entries chip, top, bottom, lead, top_in, top_out, bottom_in, bottom_out, side;
    for (int j = die_from; j <= n; ++j)
        for (int i = die_from; i <= n; ++i) chip.Add(i, j, chip_layer, 0);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            top.Add(i, j, nz + 1, 3);
            bottom.Add(i, j, 1, 3);
            (in_die(i, j) ? top_in : top_out).Add(i, j, nz + 1, 3);
            (in_die(i, j) ? bottom_in : bottom_out).Add(i, j, 1, 3);
        }
    }
    for (int k = 1; k <= nz; ++k) {
        Entries& sides = layer_of[k - 1] == 0 ? lead : side;
        for (int c = 1; c <= n; ++c) {
            sides.Add(1, c, k, 1);
            if (delphi) sides.Add(c, 1, k, 2);
        }
    }
    std::vector<std::pair<const char*, Entries*>> regions = {
        {"CHIP", &chip}, {"TOP", &top}, {"BOTTOM", &bottom}, {"LEAD", &lead}};
    if (delphi) {
        regions = {{"TI", &top_in},     {"TO", &top_out}, {"J", &chip}, {"BI", &bottom_in},
                   {"BO", &bottom_out}, {"S", &side},     {"L", &lead}};
    }
    w.Ints({static_cast<std::int32_t>(regions.size())});
    for (const auto& [name, e] : regions) {
        w.Name(name);
        w.Ints({static_cast<std::int32_t>(e->i.size())});
        w.Ints(e->i);
        w.Ints(e->j);
        w.Ints(e->k);
        w.Ints(e->face);
    }
    w.Ints({4});
    w.Doubles({0.8, 0.8, 0.8});        // mold
    w.Doubles({150.0, 150.0, 150.0});  // silicon
    w.Doubles({390.0, 390.0, 390.0});  // copper
    w.Doubles({2.0, 2.0, 2.0});        // die attach
    w.IntAndDouble(2000, 1.0e-4);
    if (delphi) {
        w.Ints({kDelphiCases});
        for (int c = 0; c < kDelphiCases; ++c) w.Doubles(DelphiCase(c));
    }
    w.Close(path);
}

double TimeComputation(const std::string& path, unsigned threads, bool show_results) {
    resist_model::SetStageThreads(threads);
    int count = 0;
    char* names = nullptr;
    double* values = nullptr;
    auto start = Clock::now();
    int status = resist_model::computeResistModel(path.c_str(), &count, &names, &values);
    double s = Seconds(start);
    if (status != 0) std::printf("  computation failed with status %d\n", status);
    if (status == 0 && show_results) {
        std::printf("  %d results:", count);
        for (int k = 0; k < count; ++k) std::printf(" %s %.4g", names + 32 * k, values[k]);
        std::printf("\n");
    }
    resist_model::freeResults(&names, &values);
    return s;
}

void RunCase(const char* label, int n, int nz, bool delphi, double copy_bandwidth) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("zentrik_solver_bench_" + std::to_string(getpid()) + ".in"))
                                 .string();
    WritePackage(path, n, nz, delphi);
    const double cells = double(n) * n * nz;
    std::printf("\n%s: %d x %d x %d = %.0f cells\n", label, n, n, nz, cells);
    if (delphi) {
        std::printf("  %d boundary cases; the stage table shows the first three\n",
                    kDelphiCases);
    }

    resist_model::RecordReader reader;
    resist_model::ListFile no_list;
    resist_model::ModelState state;
    reader.Open(path);
    if (resist_model::ReadInput(reader, no_list, state) != 0) {
        std::printf("  input not readable\n");
        return;
    }
    if (delphi && !resist_model::BuildDelphiTables(state)) {
        std::printf("  node table not usable\n");
        return;
    }
    resist_model::FourDiagonal conduction = resist_model::AssembleConduction(state);
    std::printf("  %-6s %10s %10s %14s %12s %10s\n", "stage", "iterations", "seconds",
                "s/iteration", "GB/s", "of copy");
    for (int g = 1; g <= 3; ++g) {
        resist_model::SolverWork work;
        auto start = Clock::now();
        resist_model::StageSolution solution = resist_model::SolveStage(state, conduction, g, work);
        double s = Seconds(start);
        int iterations = std::max(1, solution.solve.iterations);
        double per_iteration = s / iterations;
        double bandwidth = kBytesPerCellIteration * cells / per_iteration;
        std::printf("  %-6d %10d %10.3f %14.6f %12.2f %9.0f%%\n", g, solution.solve.iterations,
                    s, per_iteration, bandwidth / 1e9, 100.0 * bandwidth / copy_bandwidth);
    }

    unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    double one = TimeComputation(path, 1, delphi);
    double all = TimeComputation(path, hardware, false);
    std::printf("  whole computation: %.3f s on 1 thread, %.3f s on %u threads (%.2fx)\n", one,
                all, hardware, one / all);
    resist_model::SetStageThreads(0);
    std::filesystem::remove(path);
}

}  // namespace

int main() {
    double copy = CopyBandwidth();
    std::printf("copy bandwidth (one thread): %.2f GB/s\n", copy / 1e9);
    std::printf("bytes per cell and iteration: %.0f\n", kBytesPerCellIteration);
    RunCase("1e5 cells", 56, 32, false, copy);
    RunCase("1e6 cells", 128, 61, false, copy);
    RunCase("DELPHI, 2e5 cells", 64, 49, true, copy);
    bench::RunSopDelphiCase();
    return 0;
}
