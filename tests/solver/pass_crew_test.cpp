// The crew's waits and its places for helpers: no waiter is left asleep, and helpers take
// units only on the cores left beside the stage threads.
#include "solver/pass_crew.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace resist_model;

// More threads than most machines have cores, so that waiters lose their cores and sleep:
// each takes its turn of a count passed round the ring, and every turn must wake the next.
TEST(PassCrewTest, ACountPassedRoundARingWakesEveryWaiter) {
    constexpr int kThreads = 12, kRounds = 300;
    WaitWord turn;
    std::vector<std::thread> ring;
    for (int t = 0; t < kThreads; ++t) {
        ring.emplace_back([&turn, t] {
            for (int r = 0; r < kRounds; ++r) {
                const auto mine = static_cast<std::uint32_t>(r * kThreads + t);
                turn.WaitFor(mine);
                turn.Publish(mine + 1);
            }
        });
    }
    for (std::thread& thread : ring) thread.join();
    EXPECT_EQ(turn.Count(), static_cast<std::uint32_t>(kThreads * kRounds));

    // The last of several increments wakes the one waiting for all of them.
    WaitWord done;
    for (int r = 0; r < 50; ++r) {
        done.Reset();
        std::vector<std::thread> workers;
        for (int t = 0; t < kThreads; ++t)
            workers.emplace_back([&done] { done.Increment(kThreads); });
        done.WaitFor(kThreads);
        EXPECT_EQ(done.Count(), static_cast<std::uint32_t>(kThreads));
        for (std::thread& worker : workers) worker.join();
    }
}

// Runs a pass of `units` on seat 0 and returns the thread of each unit; every unit once.
std::vector<std::thread::id> RunOnce(PassCrew& crew, int units) {
    std::vector<std::thread::id> ran(units);
    std::vector<std::atomic<int>> times(units);
    crew.Run(0, units, [&](int u) {
        ran[u] = std::this_thread::get_id();
        times[u].fetch_add(1);
    });
    for (int u = 0; u < units; ++u) EXPECT_EQ(times[u].load(), 1) << u;
    return ran;
}

TEST(PassCrewTest, HelpersTakeUnitsOnlyOnTheCoresLeftBesideTheStages) {
    const int free = FreeCores();
    EXPECT_GE(free, 1);
    EXPECT_LE(free, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));

    {
        // One core, taken by the stage: the helpers wait, the stage runs every unit.
        PassCrew crew(1, 1);
        crew.AddHelpers(3);
        std::vector<std::thread> helpers;
        for (int h = 0; h < 3; ++h) helpers.emplace_back([&crew] { crew.Help(); });
        EXPECT_FALSE(crew.HasHelpers());
        for (int pass = 0; pass < 20; ++pass) {
            for (std::thread::id id : RunOnce(crew, 64)) EXPECT_EQ(id, std::this_thread::get_id());
        }
        crew.Leave();
        for (std::thread& helper : helpers) helper.join();
    }
    {
        // Two stages on two cores: a helper gets a place once a stage has ended.
        PassCrew crew(2, 2);
        crew.AddHelpers(1);
        std::thread helper([&crew] { crew.Help(); });
        EXPECT_FALSE(crew.HasHelpers());
        crew.Leave();
        EXPECT_TRUE(crew.HasHelpers());
        for (int pass = 0; pass < 20; ++pass) RunOnce(crew, 64);
        crew.Leave();
        helper.join();
        EXPECT_FALSE(crew.HasHelpers());
    }
}

}  // namespace
