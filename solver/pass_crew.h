#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace resist_model {

// A count that threads of a crew wait on. A waiter pauses for up to a millisecond, and then
// sleeps until the count reaches what it waits for: a thread that has lost its core to
// another program would otherwise hold up its waiters for the rest of a time slice, while
// they keep every core busy and the kernel cannot move it to a free one. The top bit of the
// word marks a sleeping waiter, so that a thread that moves the count makes a system call
// only when someone sleeps, and counts stay below 2^31.
class WaitWord {
public:
    std::uint32_t Count() const { return word_.load(std::memory_order_acquire) & ~kSleeper; }
    // Only while nobody waits on the word.
    void Reset() { word_.store(0, std::memory_order_relaxed); }
    // Sets the count, waking the waiters; one thread at a time sets it.
    void Publish(std::uint32_t count);
    // Adds one to the count, waking the waiters when it reaches `last`.
    void Increment(std::uint32_t last);
    // Returns once the count is at least `count`.
    void WaitFor(std::uint32_t count);

private:
    static constexpr std::uint32_t kSleeper = 0x80000000u;
    void Wake();
    std::atomic<std::uint32_t> word_{0};
};

// Pauses of a waiter that has nothing else to do, up to a millisecond.
class Spin {
public:
    // False once the waiter has spun long enough and should sleep.
    bool Wait();

private:
    int pauses_ = 0;
    std::int64_t until_ = 0;
};

// Tells a thread of a crew that it has lost its core: another thread of the same or a
// higher priority runs on it by turns, so this one waits for it a good share of the time.
// A thread of a lower priority (a build run with nice) takes the core only for slivers of
// time, which cost the crew less than the thread's work is worth.
class CoreWatch {
public:
    // True when, at kLostLooks looks in a row at least kWatchNanoseconds apart, the thread
    // had been kept waiting for its core more than one part in kLostShare of the time since
    // the look before. The first kSettleLooks looks of a watch count nothing: as a crew
    // starts and as a stage ends, its own threads keep each other waiting for a look or two.
    // Cheap between looks; never true where the kernel keeps no count.
    bool LostCore();

private:
    static constexpr std::int64_t kWatchNanoseconds = 10000000;
    static constexpr long long kLostShare = 5;
    static constexpr int kLostLooks = 2;
    static constexpr int kSettleLooks = 5;
    int looks_ = 0;
    int waits_in_a_row_ = 0;
    std::int64_t next_ = 0;
    std::int64_t since_ = 0;
    long long waited_ = 0;  // nanoseconds
};

// The cores of this process's CPU set that no other thread is running on or waiting for,
// counting the caller's as free: the most threads of a crew that can run at once. Taken
// from the kernel's count of runnable threads, the middle of a few readings over about a
// millisecond, so a thread that wakes for a moment does not count.
int FreeCores();

// Threads of one run that share the work of the stages' parallel passes. Each stage that
// runs has a seat; its thread opens a pass there (a number of units of work), and every
// thread without a stage of its own takes units of whatever passes are open. Units are
// handed out in increasing order, so a unit may wait for lower units of its pass: those
// are already taken by threads that are running them.
//
// The threads meet at every pass, so one without a core holds up all the others. The crew
// therefore works on no more cores than are free: the stage threads each take one, and
// helpers beyond the rest wait until a stage thread leaves. It starts on `cores`; a helper
// whose core is taken by turns gives up its place, and a waiting helper that finds a core
// free again takes a place back, up to `most_cores` (`cores` when not given). Which threads
// run the units never changes a result.
class PassCrew {
public:
    explicit PassCrew(int seats, int cores, int most_cores = 0);
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
    // Some helper may take units: one has been announced and a core is left for it.
    bool HasHelpers() const;
    // Some helper has been announced, whether or not a core is left for it now.
    bool Helped() const { return helping_.load(std::memory_order_relaxed) > 0; }
    // The stage thread of a seat has no more stages.
    void Leave();

private:
    struct alignas(64) Seat {
        // Pass number << 32 | next unit; an odd pass number means the pass is open.
        std::atomic<std::uint64_t> state{0};
        std::atomic<int> units{0};
        std::atomic<const std::function<void(int)>*> body{nullptr};
        alignas(64) WaitWord done;
    };
    // Runs one unit of the seat's open pass; false when it has none left to hand out.
    static bool TakeUnit(Seat& seat);

    // Some seat has an open pass with units to hand out, or every seat has been left.
    bool WorkOrEnd() const;
    // Helpers that may take units beside the stage threads still running.
    int HelperPlaces() const;
    // Passes opened and closed so far on all seats.
    std::uint64_t Passes() const;
    // Waits until the helper may take units; false when every seat has been left.
    bool TakePlace();
    // The helper's place and one core go; the crew runs on one thread fewer.
    void GiveUpPlace();
    // Wakes the helpers that sleep for want of work.
    void Signal();

    std::unique_ptr<Seat[]> seats_;
    int seat_count_;
    std::atomic<int> occupied_;
    std::atomic<int> helping_{0};
    std::atomic<int> cores_;
    const int most_cores_;
    std::atomic<int> placed_{0};  // helpers that may take units
    // Helpers that find no work for a while sleep on signal_ rather than keep a core busy
    // that a stage thread could use.
    std::mutex sleep_mutex_;
    std::condition_variable wake_;
    std::uint32_t signal_ = 0;  // guarded by sleep_mutex_
    std::atomic<int> sleepers_{0};
    // Helpers without a place wait for a seat to be left, or for the one among them that
    // looks for a free core (the looker) to find one.
    std::condition_variable place_;
    std::uint32_t changes_ = 0;  // guarded by sleep_mutex_
    bool looker_ = false;        // guarded by sleep_mutex_
    // The looker looks every kLookWait, twice as long after each place given up, up to
    // kLookDoublings times; a place comes back after kFreeLooks looks in a row found a core
    // of the CPU set idle at least half of the time since the look before, while passes ran
    // and the process's threads together waited for cores less than one part in
    // kFreeWaitShare of it.
    static constexpr std::chrono::milliseconds kLookWait{20};
    static constexpr int kLookDoublings = 5;
    static constexpr int kFreeLooks = 5;
    static constexpr long long kFreeWaitShare = 10;
    int given_up_ = 0;  // guarded by sleep_mutex_
};

}  // namespace resist_model
