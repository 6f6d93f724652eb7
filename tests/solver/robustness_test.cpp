// What a run does when the machine lets it down: a stage thread that cannot start, memory
// that runs out, a list file that cannot be written, a comma-decimal locale. The run
// never ends the process, never hands over half a result and never loses a kept file.
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/temp_files.h"
#include "solver/list_file.h"
#include "solver/list_format.h"
#include "solver/resist_model.h"
#include "solver/rst_main.h"
#include "tests/solver/run_list.h"
#include "tests/solver/solver_input.h"
#include "tests/solver/test_models.h"

// Allocation failure on demand: once armed, the n-th allocation from now throws.
namespace {
std::atomic<long> g_allocations_left{-1};
}  // namespace

void* operator new(std::size_t size) {
    if (g_allocations_left.load() >= 0 && g_allocations_left.fetch_sub(1) == 0) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The replaced new takes its memory from malloc, so free is the matching release; GCC
// cannot see that through the replacement.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using namespace solver_test;

const std::string kData = std::string(ZENTRIK_TEST_DATA) + "/solver/";

std::atomic<int> g_starts_allowed{0};

std::thread StartFewThreads(std::function<void()> body) {
    if (g_starts_allowed-- <= 0) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    return std::thread(std::move(body));
}

// Six DELPHI stages asked to run on six threads while only 0 or 2 extra threads start:
// the run goes on with the threads it has and lists what the one-thread run lists.
TEST(ThreadStartTest, StagesOfThreadsThatCannotStartRunOnTheOthers) {
    TempPath input("threads");
    WriteFile(input.str(), Serialise(DelphiModel(6)));
    resist_model::SetStageThreads(1);
    resist_model::RunOutput one;
    const std::string expected = ListOf(input.str(), &one);
    ASSERT_EQ(one.status, 0);

    resist_model::SetStageThreads(6);
    resist_model::SetThreadStarterForTest(&StartFewThreads);
    for (int allowed : {0, 2}) {
        g_starts_allowed = allowed;
        resist_model::RunOutput run;
        EXPECT_EQ(ListOf(input.str(), &run), expected) << allowed;
        ASSERT_EQ(run.status, 0);
        ASSERT_EQ(run.results.size(), one.results.size());
        for (std::size_t r = 0; r < run.results.size(); ++r) {
            EXPECT_EQ(std::memcmp(&run.results[r].value, &one.results[r].value, sizeof(double)),
                      0);
        }
    }
    resist_model::SetThreadStarterForTest(nullptr);
    resist_model::SetStageThreads(0);
}

// Seven doubles per cell and stage within 2 GiB: ten million cells run three stages at a
// time however many threads are asked for, a grid beyond the budget still runs one.
TEST(ThreadStartTest, StageThreadsStayWithinTheMemoryBudget) {
    resist_model::SetStageThreads(64);
    EXPECT_EQ(resist_model::StageThreadsFor(10'000'000, 64), 3u);
    EXPECT_EQ(resist_model::StageThreadsFor(10'000'000'000, 64), 1u);
    EXPECT_EQ(resist_model::StageThreadsFor(1000, 6), 6u);
    resist_model::SetStageThreads(0);
    EXPECT_GE(resist_model::StageThreadsFor(1000, 2), 1u);
    EXPECT_LE(resist_model::StageThreadsFor(1000, 2), 2u);
}

// Every allocation of a run is made to fail in turn: each such call returns status 5
// with nothing handed over, until the run has all it needs and succeeds.
TEST(AllocationTest, AnAllocationThatFailsIsStatusFiveWithNoResults) {
    TempPath input("alloc");
    Input model = ColumnModel(2, {{0.2e-3, {390.0, 390.0, 390.0}, 1}, {0.3e-3, {0.8, 0.8, 0.8}, 1}});
    WriteFile(input.str(), Serialise(model));
    resist_model::SetStageThreads(2);
    resist_model::nlst = 0;
    int failures = 0;
    for (long n = 0;; ++n) {
        int count = 9;
        char* names = reinterpret_cast<char*>(&count);
        double* values = reinterpret_cast<double*>(&count);
        testing::internal::CaptureStdout();
        g_allocations_left = n;
        const int status = resist_model::computeResistModel(input.c_str(), &count, &names, &values);
        g_allocations_left = -1;
        testing::internal::GetCapturedStdout();
        if (status == 0) {
            EXPECT_EQ(count, 3);
            resist_model::freeResults(&names, &values);
            break;
        }
        ++failures;
        ASSERT_EQ(status, resist_model::kStatusNoSolution) << "allocation " << n;
        ASSERT_EQ(count, 0);
        ASSERT_EQ(names, nullptr);
        ASSERT_EQ(values, nullptr);
    }
    EXPECT_GT(failures, 10);
    resist_model::SetStageThreads(0);
}

std::FILE* FullDevice(int descriptor) {
    ::close(descriptor);
    return std::fopen("/dev/full", "w");
}

// The target and every temporary of it ('.' and its name first).
std::size_t FilesBeside(const std::filesystem::path& target) {
    std::size_t n = 0;
    const std::string name = target.filename().string();
    for (const auto& e : std::filesystem::directory_iterator(target.parent_path())) {
        const std::string entry = e.path().filename().string();
        if (entry.rfind(name, 0) == 0 || entry.rfind("." + name, 0) == 0) ++n;
    }
    return n;
}

std::string g_temporary_name;

std::FILE* RecordingStream(int descriptor) {
    char target[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    g_temporary_name = length > 0 ? std::filesystem::path(target).filename().string() : "";
    return ::fdopen(descriptor, "w");
}

// A killed run leaves its list file's temporary behind; it carries the mark of every
// temporary of the program (a hidden name beside the target, the process id), which the
// program's start-up removes once that process has ended.
TEST(ListFileWriteTest, TheTemporaryCarriesTheProgramsMark) {
    TempPath list("marked.l");
    resist_model::ListFile::SetStreamOpenerForTest(&RecordingStream);
    resist_model::RunOutput run = resist_model::rst_main(kData + "two_resistor.in", list.str());
    resist_model::ListFile::SetStreamOpenerForTest(nullptr);
    EXPECT_EQ(run.status, 0);
    std::string_view prefix;
    long process = 0;
    ASSERT_TRUE(platform::SplitTempName(g_temporary_name, prefix, process)) << g_temporary_name;
    EXPECT_TRUE(platform::IsBesideFilePrefix(prefix));
    EXPECT_EQ(prefix, platform::BesideFilePrefix(list.str()));
    EXPECT_EQ(process, static_cast<long>(::getpid()));
    EXPECT_EQ(ReadText(list.str()), ReadText(kData + "two_resistor.l"));
    EXPECT_EQ(FilesBeside(list.str()), 1u);
}

// A list file whose writes fail leaves the previous one byte for byte and no temporary;
// the results do not depend on the report. A good run replaces it.
TEST(ListFileWriteTest, AFailedWriteKeepsThePreviousListFile) {
    TempPath list("kept.l");
    WriteFile(list.str(), "previous report\n");
    resist_model::ListFile::SetStreamOpenerForTest(&FullDevice);
    resist_model::RunOutput run = resist_model::rst_main(kData + "two_resistor.in", list.str());
    resist_model::ListFile::SetStreamOpenerForTest(nullptr);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.results.size(), 2u);
    EXPECT_EQ(ReadText(list.str()), "previous report\n");
    EXPECT_EQ(FilesBeside(list.str()), 1u);

    run = resist_model::rst_main(kData + "two_resistor.in", list.str());
    EXPECT_EQ(ReadText(list.str()), ReadText(kData + "two_resistor.l"));
    EXPECT_EQ(FilesBeside(list.str()), 1u);

    // A folder that does not exist gets no list file and costs nothing else.
    run = resist_model::rst_main(kData + "two_resistor.in", list.str() + "_missing/x.l");
    EXPECT_EQ(run.status, 0);
}

// A German user's locale writes "1,5" with printf; the list file keeps its points.
TEST(LocaleTest, TheListFileIgnoresACommaDecimalLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "scripts/setup provides de_DE.UTF-8";
    EXPECT_EQ(resist_model::FormatReal(1.5), "  1.5000E+00");
    const std::string list = ListOf(kData + "two_resistor.in");
    const std::string delphi = ListOf(kData + "delphi.in");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(list, ReadText(kData + "two_resistor.l"));
    EXPECT_EQ(delphi, ReadText(kData + "delphi.l"));
}

}  // namespace
