#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace resist_model {

// Threads of one run that share the work of the stages' parallel passes. Each stage that
// runs has a seat; its thread opens a pass there (a number of units of work), and every
// thread without a stage of its own takes units of whatever passes are open. Units are
// handed out in increasing order, so a unit may wait for lower units of its pass: those
// are already taken by threads that are running them.
class PassCrew {
public:
    explicit PassCrew(int seats);
    PassCrew(const PassCrew&) = delete;
    PassCrew& operator=(const PassCrew&) = delete;

    // Runs body(u) once for every u in 0..units-1 on this thread and any helpers, and
    // returns when all are done. Only the stage's own thread calls it for its seat.
    void Run(int seat, int units, const std::function<void(int)>& body);

    // Announces threads about to help (a negative count: that did not start), so that the
    // stages share their passes from the start.
    void AddHelpers(int count) { helping_.fetch_add(count, std::memory_order_relaxed); }
    // Takes units of open passes until every seat has been left. Each call must have been
    // announced by AddHelpers.
    void Help();
    bool HasHelpers() const { return helping_.load(std::memory_order_relaxed) > 0; }
    // The stage thread of a seat has no more stages.
    void Leave();

private:
    struct alignas(64) Seat {
        // Pass number << 32 | next unit; an odd pass number means the pass is open.
        std::atomic<std::uint64_t> state{0};
        std::atomic<int> units{0};
        std::atomic<const std::function<void(int)>*> body{nullptr};
        alignas(64) std::atomic<int> done{0};
    };
    // Runs one unit of the seat's open pass; false when it has none left to hand out.
    static bool TakeUnit(Seat& seat);

    // Some seat has an open pass with units to hand out, or every seat has been left.
    bool WorkOrEnd() const;
    // Wakes the helpers that sleep for want of work.
    void Signal();

    std::unique_ptr<Seat[]> seats_;
    int seat_count_;
    std::atomic<int> occupied_;
    std::atomic<int> helping_{0};
    // Helpers that find no work for a while sleep on signal_ rather than keep a core busy
    // that a stage thread could use.
    std::mutex sleep_mutex_;
    std::condition_variable wake_;
    std::uint32_t signal_ = 0;  // guarded by sleep_mutex_
    std::atomic<int> sleepers_{0};
};

// Waiting for another thread of the crew: a few short pauses, then giving the core away,
// so that a waiter never holds up the thread it waits for on a busy machine.
class Backoff {
public:
    void Wait();
    int Spins() const { return spins_; }

private:
    int spins_ = 0;
};

}  // namespace resist_model
