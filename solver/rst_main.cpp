#include "solver/rst_main.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

#include "solver/huge_pages.h"
#include "solver/list_file.h"
#include "solver/list_format.h"
#include "solver/network_fit.h"
#include "solver/pass_crew.h"
#include "solver/read_input.h"
#include "solver/record_reader.h"
#include "solver/resist_model.h"

namespace resist_model {

namespace {

std::atomic<unsigned> g_stage_threads{0};

constexpr const char* kBanner = "=== Resistance Model by Software OSTREL ===";
constexpr const char* kVersion = "          ( Version:2015/03/25 )";

int StageCount(const ModelState& s) {
    switch (s.imdl_type) {
        case kTwoResistor: return 2;
        case kThreeResistor: return 3;
        case kDelphi: return static_cast<int>(s.cases.size());
        default: return 0;
    }
}

// The heat-source region's entries are used as cells (their heat share and their
// maximum), so a face entry beyond the grid there would index outside it.
bool HeatSourceIsCells(const ModelState& s) {
    const Region* region = s.FindRegion(PaddedName(s.imdl_type == kDelphi ? "J" : "CHIP"));
    if (!region) return true;
    for (const RegionEntry& e : region->entries) {
        if (!s.IsCell(e.i, e.j, e.k)) return false;
    }
    return true;
}

std::string SolverLines(const SolveResult& r) {
    std::string text = "  MATRIX SOLVER INFORMATION\n      ";
    text += r.flag == kConverged           ? "[CONVERGED]"
            : r.flag == kZeroRightHandSide ? "[CONVERGED. HOWEVER R.H.S. WAS ZERO.]"
                                           : "[COULD NOT CONVERGE]";
    text += "\n        ITERATION :" + FormatInt(r.iterations, 10) + "\n";
    text += "        ERROR     :" + FormatReal(r.error) + "\n";
    return text;
}

struct StageRecord {
    std::string list;
    StageValues values;
    bool heated = false;     // heat reached a solid cell
    bool converged = false;  // the matrix solver met its tolerance
};

StageRecord RunStage(const ModelState& s, const FourDiagonal& conduction, int g,
                     SolverWork& work, SolveCrew crew) {
    StageRecord record;
    record.list = "STAGE(" + FormatInt(g, 2) + ")\n";
    StageSolution solution = SolveStage(s, conduction, g, work, crew);
    record.list += SolverLines(solution.solve);
    record.heated = solution.solve.flag != kZeroRightHandSide && solution.heat_reaches_solid;
    record.converged = solution.solve.flag == kConverged;
    record.values =
        PrepareStage(s, g, StageConditions(s, g), solution.temperature.data(), record.list);
    return record;
}

std::thread DefaultThreadStart(std::function<void()> body) { return std::thread(std::move(body)); }

std::atomic<ThreadStarter> g_thread_starter{&DefaultThreadStart};

// Joins every thread it started, also when the run leaves by an exception, so no joinable
// thread is ever destroyed.
class ThreadGroup {
public:
    ThreadGroup() = default;
    ThreadGroup(const ThreadGroup&) = delete;
    ThreadGroup& operator=(const ThreadGroup&) = delete;
    ~ThreadGroup() { JoinAll(); }

    // False when the thread could not be started; the caller then does its share.
    bool Start(std::function<void()> body) noexcept {
        try {
            threads_.reserve(threads_.size() + 1);
            threads_.push_back(g_thread_starter.load()(std::move(body)));
            return threads_.back().joinable();
        } catch (...) {
            return false;
        }
    }
    void JoinAll() noexcept {
        for (std::thread& thread : threads_) {
            if (thread.joinable()) thread.join();
        }
        threads_.clear();
    }

private:
    std::vector<std::thread> threads_;
};

// Stages are independent (each starts from zero), so they run side by side; each writes
// only its own record, and the records are listed in stage order afterwards. Stages are
// taken from a shared counter, so when fewer threads start than asked for, the ones that
// run (the caller's at least) take over the rest with the same results. Threads without a
// stage, from the start or once the stages run out, work inside the stages still running.
bool RunStages(const ModelState& s, std::vector<StageRecord>& records) {
    const int stages = static_cast<int>(records.size());
    const FourDiagonal conduction = AssembleConduction(s);
    // A stage thread without a core of its own holds up every thread that meets it, so an
    // unpinned run leads no more stages at once than there are free cores. Which thread
    // runs a stage does not change its result.
    const int cores = FreeCores();
    unsigned leaders = StageThreadsFor(conduction.ncell, static_cast<unsigned>(stages));
    if (StageThreads() == 0) leaders = std::min(leaders, static_cast<unsigned>(cores));
    const unsigned threads = std::max(leaders, RunThreads());

    // A crew that started on fewer cores than it has threads takes more as they come free.
    PassCrew crew(static_cast<int>(leaders), cores, static_cast<int>(threads));
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    auto lead = [&](int seat) noexcept {
        try {
            SolverWork work;
            for (int g = next++; g < stages && !failed; g = next++) {
                records[g] = RunStage(s, conduction, g + 1, work, SolveCrew{&crew, seat});
            }
        } catch (...) {
            failed = true;
        }
        crew.AddHelpers(1);
        crew.Leave();
        crew.Help();
    };
    // The helpers are announced before any stage starts, so that a grid that shares its
    // passes does so from its first iteration on every run.
    crew.AddHelpers(static_cast<int>(threads - leaders));
    ThreadGroup pool;
    unsigned started = 1;
    for (unsigned t = 1; t < threads; ++t, ++started) {
        const bool ok = t < leaders ? pool.Start([&lead, t]() { lead(static_cast<int>(t)); })
                                    : pool.Start([&crew]() { crew.Help(); });
        if (!ok) break;
    }
    // Helpers whose thread did not start are not coming.
    crew.AddHelpers(-static_cast<int>(threads - std::max(started, leaders)));
    // Seats whose thread did not start are left, so that the helpers know when to stop.
    for (unsigned t = started; t < leaders; ++t) crew.Leave();
    lead(0);
    pool.JoinAll();
    return !failed;
}

void TerminateNames(std::vector<NamedResistance>& results) {
    for (NamedResistance& r : results) {
        std::size_t end = r.name.find_last_not_of(' ');
        std::size_t cut = end == std::string::npos ? 0 : end + 1;
        if (cut < r.name.size()) r.name[cut] = '\0';
    }
}

bool AllFinite(const std::vector<NamedResistance>& results) {
    for (const NamedResistance& r : results) {
        if (!std::isfinite(r.value)) return false;
    }
    return true;
}

void Run(const std::string& input_path, const std::string& list_path, ListFile& list,
         RunOutput& out) {
    RecordReader reader;
    if (!reader.Open(input_path)) {
        out.status = kStatusBadInput;
        return;
    }
    // A list file that cannot be created costs the report, not the results.
    if (!list_path.empty()) list.Open(list_path);
    list.Line(kBanner);
    list.Line(kVersion);

    ModelState s;
    out.status = ReadInput(reader, list, s);
    out.model_type = s.imdl_type;
    if (out.status != kStatusOk) return;

    if (!HeatSourceIsCells(s) || (s.imdl_type == kDelphi && !BuildDelphiTables(s))) {
        out.status = kStatusBadInput;
        return;
    }

    std::vector<StageRecord> records(StageCount(s));
    if (!records.empty() && !RunStages(s, records)) {
        out.status = kStatusNoSolution;
        return;
    }
    bool heated = true;
    bool converged = true;
    for (StageRecord& record : records) {
        list.Write(record.list);
        heated = heated && record.heated;
        converged = converged && record.converged;
        out.stages.push_back(std::move(record.values));
    }
    // A stage without heat has nothing to converge to; one that did not converge has
    // temperatures that are no solution. Neither gives a resistance.
    if (!heated || !converged) {
        out.status = heated ? kStatusNotConverged : kStatusNoSolution;
        return;
    }
    if (s.regions.empty()) return;

    if (s.imdl_type == kDelphi) {
        std::string text;
        out.status = rst_fit_network(s, out.stages, out.results, text, &out.network);
        list.Write(text);
        if (out.status == kStatusOk) TerminateNames(out.results);
        return;
    }
    bool complete = s.imdl_type == kTwoResistor ? ResistTwo(out.stages, out.results)
                                                : ResistThree(out.stages, out.results);
    if (!complete) {
        out.results.clear();
        out.status = kStatusNoSolution;
        return;
    }
    list.Write(ResistanceLines(out.results));
    if (!AllFinite(out.results)) {
        out.results.clear();
        out.status = kStatusNoSolution;
        return;
    }
    TerminateNames(out.results);
}

}  // namespace

void SetStageThreads(unsigned threads) { g_stage_threads = threads; }
unsigned StageThreads() { return g_stage_threads; }

unsigned RunThreads() {
    const unsigned threads = g_stage_threads.load();
    return threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
}

unsigned StageThreadsFor(std::int64_t cells, unsigned stages) {
    unsigned threads = RunThreads();
    const std::int64_t per_stage = std::max<std::int64_t>(1, cells) * kStageBytesPerCell;
    const std::int64_t by_memory = std::max<std::int64_t>(1, kStageMemoryBudget / per_stage);
    threads = static_cast<unsigned>(std::min<std::int64_t>(threads, by_memory));
    return std::max(1u, std::min(threads, stages));
}

void SetThreadStarterForTest(ThreadStarter starter) {
    g_thread_starter = starter ? starter : &DefaultThreadStart;
}

StageSolution SolveStage(const ModelState& s, const FourDiagonal& conduction, int g,
                         SolverWork& work, SolveCrew crew) {
    StageSolution solution;
    StageSystem sys = ApplyConditions(s, conduction, StageConditions(s, g));
    std::int64_t n = 0;
    for (int k = 1; k <= s.km && !solution.heat_reaches_solid; ++k) {
        for (int j = 1; j <= s.jm; ++j) {
            for (int i = 1; i <= s.im; ++i, ++n) {
                if (s.Mat(i, j, k) > 0 && sys.b[n] != 0.0) solution.heat_reaches_solid = true;
            }
        }
    }
    StencilView view{sys.diag.data(), conduction.cx.data(), conduction.cy.data(),
                      conduction.cz.data(), conduction.ncell, conduction.im, conduction.imjm};
    ReserveOnHugePages(solution.temperature, conduction.ncell);
    solution.temperature.assign(conduction.ncell, 0.0);
    solution.solve =
        IterativeSolve(view, sys.b.data(), solution.temperature.data(), s.nitr, s.eitr, work,
                       crew);
    return solution;
}

RunOutput rst_main(const std::string& input_path, const std::string& list_path) {
    RunOutput out;
    ListFile list;
    try {
        Run(input_path, list_path, list, out);
    } catch (const std::bad_alloc&) {
        out.status = kStatusNoSolution;
    } catch (const std::length_error&) {
        out.status = kStatusNoSolution;  // a size beyond what a container can hold
    }
    // The report of a failed run is kept too: it shows how far the run came.
    if (list.IsOpen()) list.Commit();
    if (out.status != kStatusOk) out.results.clear();
    return out;
}

}  // namespace resist_model
