// Solver benchmark. In one run: the copy bandwidth of one thread; one iteration on a
// synthetic package of 1e6 cells against it; the default SOP's two-resistor computation at
// the default and at twice the mesh density (mesh factors halved), and its DELPHI
// computation, each on one thread, on eight, and on eight while a plain loop keeps one core
// busy; each line gives the best of its runs and how far the slowest lies above it. With
// --reference OTHER, OTHER (this benchmark built against another solver) times the same
// inputs in turns with this one, and every line shows the ratio of the times and how far
// the resistances differ.
//   solver_bench [--reference OTHER] [--repeat N]
//   solver_bench --computation PATH THREADS   (one timed computation, for --reference)
//   solver_bench --iteration PATH             (one iteration of a stage on one thread)
//   solver_bench --write-sop PATH KIND SCALE  (the SOP input of a model kind, 2 or 4, and
//                                              mesh scale, kept for a look by hand)
#include <algorithm>
#include <atomic>
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

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include "bench/sop_delphi_case.h"
#include "export/record_writer.h"
#include "export/surf_register/create_surface_register.h"
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

// Bytes one iteration must move per cell that takes part: the product with its two dot
// products (four diagonals and p read, q written: 48), the forward sweep with
// r -= alpha q (r read and written, q read, z written, pivots and three couplings: 64),
// the backward sweep (z read and written, pivots, three couplings: 48), r.z (16), and
// x += alpha p with p = z + beta p (x and p read and written, z read: 40).
constexpr double kBytesPerCellIteration = 216.0;

// Best of several passes of a[i] = b[i] on each of `threads` threads at once, over arrays
// far larger than the caches, counting the bytes read and written, as STREAM's copy does.
double CopyBandwidth(unsigned threads) {
    const std::size_t n = (std::size_t(1) << 25) / threads;  // 256 MiB per array in all
    std::vector<std::vector<double>> a(threads), b(threads);
    for (unsigned t = 0; t < threads; ++t) a[t].assign(n, 0.0), b[t].assign(n, 1.0);
    double best = 0.0;
    for (int pass = 0; pass < 5; ++pass) {
        std::vector<std::thread> copies;
        auto start = Clock::now();
        for (unsigned t = 0; t < threads; ++t) {
            copies.emplace_back(
                [&, t] { std::memcpy(a[t].data(), b[t].data(), n * sizeof(double)); });
        }
        for (std::thread& copy : copies) copy.join();
        double s = Seconds(start);
        best = std::max(best, 2.0 * n * threads * sizeof(double) / s);
        for (unsigned t = 0; t < threads; ++t) b[t][pass] = a[t][n - 1 - pass];
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

// A quarter (x, y <= 0) of n x n x nz cells: a 10 mm package of 1.2 mm, a copper frame at
// the bottom, a thin die attach, a 4 mm silicon die at the centre corner, mold around and
// above it; a three-resistor model whose nodes are CHIP, TOP, BOTTOM and LEAD (the frame's
// outer sides).
void WritePackage(const std::string& path, int n, int nz) {
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
    w.Ints({2});
    w.Ints({3});
    w.Ints({n, n, nz, 4});
    w.Doubles(x);
    w.Doubles(x);
    w.Doubles(z);
    w.Ints(mat);
    Entries chip, top, bottom, lead;
    for (int j = die_from; j <= n; ++j)
        for (int i = die_from; i <= n; ++i) chip.Add(i, j, chip_layer, 0);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            top.Add(i, j, nz + 1, 3);
            bottom.Add(i, j, 1, 3);
        }
    }
    for (int k = 1; k <= nz; ++k) {
        if (layer_of[k - 1] != 0) continue;
        for (int c = 1; c <= n; ++c) lead.Add(1, c, k, 1);
    }
    const std::pair<const char*, Entries*> regions[] = {
        {"CHIP", &chip}, {"TOP", &top}, {"BOTTOM", &bottom}, {"LEAD", &lead}};
    w.Ints({static_cast<std::int32_t>(std::size(regions))});
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
    w.Close(path);
}

// One timed computation: its seconds and its resistances.
struct Computation {
    double seconds = 0.0;
    std::vector<double> values;
};

Computation Compute(const std::string& path, unsigned threads) {
    resist_model::SetStageThreads(threads);
    Computation c;
    int count = 0;
    char* names = nullptr;
    double* values = nullptr;
    auto start = Clock::now();
    int status = resist_model::computeResistModel(path.c_str(), &count, &names, &values);
    c.seconds = Seconds(start);
    if (status != 0) std::fprintf(stderr, "computation failed with status %d\n", status);
    c.values.assign(values, values + count);
    resist_model::freeResults(&names, &values);
    resist_model::SetStageThreads(0);
    return c;
}

// Seconds per iteration of stage 1 on one thread, and its iterations. Every cell of this
// input takes part (none is empty).
Computation Iteration(const std::string& path) {
    resist_model::RecordReader reader;
    resist_model::ListFile no_list;
    resist_model::ModelState state;
    Computation c;
    if (!reader.Open(path) || resist_model::ReadInput(reader, no_list, state) != 0) {
        std::fprintf(stderr, "input not readable\n");
        return c;
    }
    resist_model::FourDiagonal conduction = resist_model::AssembleConduction(state);
    resist_model::SolverWork work;
    // A stage's set-up (its arrays, the factor, the first residual) is the same for a short
    // and a full solve, so the difference of the two is the iterations alone.
    const int full = state.nitr, few = 5;
    auto solve = [&](int iterations, double& seconds) {
        state.nitr = iterations;
        auto start = Clock::now();
        resist_model::StageSolution solution =
            resist_model::SolveStage(state, conduction, 1, work);
        seconds = Seconds(start);
        return solution.solve.iterations;
    };
    double warm = 0.0, short_solve = 0.0, full_solve = 0.0;
    solve(few, warm);
    const int done_few = solve(few, short_solve);
    const int done = solve(full, full_solve);
    c.seconds = (full_solve - short_solve) / std::max(1, done - done_few);
    c.values = {static_cast<double>(done)};
    return c;
}

// What --computation and --iteration print, and what --reference reads back.
void Print(const Computation& c) {
    std::printf("%.17g", c.seconds);
    for (double v : c.values) std::printf(" %.17g", v);
    std::printf("\n");
}

Computation Parse(const std::string& text) {
    Computation c;
    const char* p = text.c_str();
    char* end = nullptr;
    c.seconds = std::strtod(p, &end);
    while (end != p) {
        p = end;
        double v = std::strtod(p, &end);
        if (end != p) c.values.push_back(v);
    }
    return c;
}

// Runs the reference benchmark with the given arguments and reads its one line.
Computation RunReference(const std::string& reference, const std::string& arguments) {
    const std::string command = "'" + reference + "' " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    if (pipe) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        if (pclose(pipe) != 0) text.clear();
    }
    if (text.empty()) {
        std::fprintf(stderr, "reference run failed: %s\n", command.c_str());
        std::exit(1);
    }
    return Parse(text);
}

double LargestRelativeDifference(const Computation& a, const Computation& b) {
    if (a.values.size() != b.values.size()) return INFINITY;
    double worst = 0.0;
    for (std::size_t n = 0; n < a.values.size(); ++n) {
        double scale = std::max(std::abs(a.values[n]), std::abs(b.values[n]));
        if (scale > 0.0) worst = std::max(worst, std::abs(a.values[n] - b.values[n]) / scale);
    }
    return worst;
}

struct Options {
    std::string reference;
    int repeat = 3;
};

// The best of a series of timed runs and how far the slowest lies above it.
struct Series {
    Computation best;
    double worst = 0.0;

    Series() { best.seconds = INFINITY; }
    void Add(Computation c) {
        worst = std::max(worst, c.seconds);
        if (c.seconds < best.seconds) best = std::move(c);
    }
    double SpreadPercent() const { return 100.0 * (worst / best.seconds - 1.0); }
};

// Times one computation `repeat` times, in turns with the reference when there is one, and
// prints a line with the best time of each and the spread of its runs.
Computation Measure(const Options& o, const char* label, const std::string& path,
                    unsigned threads, bool iteration) {
    Series own, reference;
    const std::string arguments = iteration ? "--iteration '" + path + "'"
                                            : "--computation '" + path + "' " +
                                                  std::to_string(threads);
    for (int r = 0; r < o.repeat; ++r) {
        own.Add(iteration ? Iteration(path) : Compute(path, threads));
        if (!o.reference.empty()) reference.Add(RunReference(o.reference, arguments));
    }
    const Computation& best = own.best;
    std::printf("  %-34s %8.4f s, spread %3.0f%%", label, best.seconds, own.SpreadPercent());
    if (!o.reference.empty()) {
        std::printf("  reference %8.4f s, spread %3.0f%%  ratio %.3f  results differ by %.1e",
                    reference.best.seconds, reference.SpreadPercent(),
                    best.seconds / reference.best.seconds,
                    LargestRelativeDifference(best, reference.best));
    }
    std::printf("\n");
    std::fflush(stdout);
    return best;
}

// A plain loop on one core, the last of this process's CPU set, for as long as it lives: a
// desktop that has one core taken by another program. A reference run meanwhile sees the
// same busy core.
class BusyCore {
public:
    BusyCore() : thread_([this] { Loop(); }) {}
    BusyCore(const BusyCore&) = delete;
    BusyCore& operator=(const BusyCore&) = delete;
    ~BusyCore() {
        stop_ = true;
        thread_.join();
    }

private:
    void Loop() {
        cpu_set_t set;
        if (sched_getaffinity(0, sizeof set, &set) == 0) {
            int last = 0;
            for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
                if (CPU_ISSET(cpu, &set)) last = cpu;
            }
            CPU_ZERO(&set);
            CPU_SET(last, &set);
            pthread_setaffinity_np(pthread_self(), sizeof set, &set);
        }
        while (!stop_.load(std::memory_order_relaxed)) {
        }
    }
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("zentrik_solver_bench_" + std::to_string(getpid()) + "_" + name + ".in"))
        .string();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--computation") == 0) {
        Print(Compute(argv[2], static_cast<unsigned>(std::atoi(argv[3]))));
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--iteration") == 0) {
        Print(Iteration(argv[2]));
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "--write-sop") == 0) {
        return bench::WriteSopInput(argv[2], static_cast<std::uint32_t>(std::atoi(argv[3])),
                                    std::atof(argv[4]))
                   ? 0
                   : 1;
    }
    Options o;
    for (int a = 1; a + 1 < argc; a += 2) {
        if (std::strcmp(argv[a], "--reference") == 0) o.reference = argv[a + 1];
        if (std::strcmp(argv[a], "--repeat") == 0) o.repeat = std::max(1, std::atoi(argv[a + 1]));
    }
    std::printf("best of %d runs%s; the machine may be shared, so compare ratios\n", o.repeat,
                o.reference.empty() ? "" : ", in turns with the reference");

    const double copy = CopyBandwidth(1);
    std::printf("\ncopy bandwidth: one thread %.2f GB/s, eight threads %.2f GB/s\n", copy / 1e9,
                CopyBandwidth(8) / 1e9);
    const std::string package = TempPath("package");
    const int n = 128, nz = 61;
    WritePackage(package, n, nz);
    const double cells = double(n) * n * nz;
    std::printf("one iteration on %.0f cells, one thread, %.0f bytes per cell:\n", cells,
                kBytesPerCellIteration);
    Computation it = Measure(o, "seconds per iteration", package, 1, true);
    const double bandwidth = kBytesPerCellIteration * cells / it.seconds;
    std::printf("  %.2f GB/s, %.0f%% of copy\n", bandwidth / 1e9, 100.0 * bandwidth / copy);
    std::filesystem::remove(package);

    struct SopCase {
        const char* label;
        std::uint32_t kind;
        double mesh_scale;
    };
    const SopCase sop_cases[] = {
        {"SOP two-resistor, default mesh", pkg::surf_register::kTwoResistorModel, 1.0},
        {"SOP two-resistor, 2x mesh", pkg::surf_register::kTwoResistorModel, 0.5},
        {"SOP DELPHI, default mesh", pkg::surf_register::kDelphiModel, 1.0},
    };
    for (const SopCase& c : sop_cases) {
        const std::string path = TempPath("sop");
        if (!bench::WriteSopInput(path, c.kind, c.mesh_scale)) {
            std::printf("\n%s: input not written\n", c.label);
            std::filesystem::remove(path);
            continue;
        }
        std::printf("\n%s:\n", c.label);
        for (unsigned threads : {1u, 8u}) {
            const std::string label = std::to_string(threads) + (threads == 1 ? " thread" : " threads");
            Measure(o, label.c_str(), path, threads, false);
        }
        BusyCore busy;
        Measure(o, "8 threads, one core busy", path, 8, false);
        std::filesystem::remove(path);
    }
    return 0;
}
