#include "solver/pass_crew.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <thread>

#include <linux/futex.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace resist_model {

namespace {

// A crew runs no more threads than there were free cores, so a waiter normally has its core
// to itself and pausing costs nobody, while a sleep and a wake cost more than most waits
// between passes. A wait longer than this most likely waits for a thread that has lost its
// core since, and the waiter sleeps so that the kernel can move that thread to this core.
constexpr std::int64_t kSpinNanoseconds = 1000000;

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

bool Spin::Wait() {
    Pause();
    // The clock is read now and then only; a pause is far shorter than a read.
    if ((++pauses_ & 31) != 1) return true;
    const std::int64_t now = Now();
    if (until_ == 0) until_ = now + kSpinNanoseconds;
    return now < until_;
}

void WaitWord::Publish(std::uint32_t count) {
    if (word_.exchange(count, std::memory_order_acq_rel) & kSleeper) Wake();
}

void WaitWord::Increment(std::uint32_t last) {
    const std::uint32_t before = word_.fetch_add(1, std::memory_order_acq_rel);
    if ((before & ~kSleeper) + 1 == last && (before & kSleeper)) Wake();
}

void WaitWord::Wake() {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word_), FUTEX_WAKE_PRIVATE, INT_MAX,
            nullptr, nullptr, 0);
}

void WaitWord::WaitFor(std::uint32_t count) {
    Spin spin;
    std::uint32_t seen = word_.load(std::memory_order_acquire);
    while ((seen & ~kSleeper) < count) {
        if (spin.Wait()) {
            seen = word_.load(std::memory_order_acquire);
            continue;
        }
        // Marked before sleeping: a thread that moves the count after the mark sees it and
        // wakes this one; the kernel sleeps only while the word is still what was seen.
        if (!(seen & kSleeper) &&
            !word_.compare_exchange_weak(seen, seen | kSleeper, std::memory_order_acquire)) {
            continue;
        }
        syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word_), FUTEX_WAIT_PRIVATE,
                seen | kSleeper, nullptr, nullptr, 0);
        seen = word_.load(std::memory_order_acquire);
    }
}

int FreeCores() {
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    cpu_set_t set;
    const int cpus = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set)
                                                                    : static_cast<int>(online);
    int runnable[7];
    for (int& count : runnable) {
        count = -1;
        if (FILE* file = std::fopen("/proc/loadavg", "r")) {
            if (std::fscanf(file, "%*s %*s %*s %d", &count) != 1) count = -1;
            std::fclose(file);
        }
        if (count < 0) return std::max(1, cpus);
        std::this_thread::sleep_for(std::chrono::microseconds(150));
    }
    std::nth_element(runnable, runnable + 3, runnable + 7);
    // The count includes the reading thread.
    const long others = std::max(0, runnable[3] - 1);
    return static_cast<int>(std::clamp<long>(std::min<long>(cpus, online - others), 1, cpus));
}

PassCrew::PassCrew(int seats, int cores)
    : seats_(new Seat[seats > 0 ? seats : 1]), seat_count_(seats > 0 ? seats : 1),
      occupied_(seat_count_), cores_(cores) {}

int PassCrew::HelperPlaces() const {
    return std::max(0, cores_ - occupied_.load(std::memory_order_acquire));
}

bool PassCrew::HasHelpers() const {
    return std::min(helping_.load(std::memory_order_relaxed), HelperPlaces()) > 0;
}

bool PassCrew::TakePlace() {
    for (;;) {
        if (occupied_.load(std::memory_order_acquire) == 0) return false;
        int placed = placed_.load(std::memory_order_relaxed);
        if (placed < HelperPlaces()) {
            if (placed_.compare_exchange_weak(placed, placed + 1)) return true;
            continue;
        }
        // Places are freed only when seats are left, and Leave counts left_ under the lock
        // after it has left its seat.
        std::unique_lock<std::mutex> lock(sleep_mutex_);
        const std::uint32_t seen = left_;
        if (placed_.load(std::memory_order_relaxed) >= HelperPlaces()) {
            place_.wait(lock, [&] { return left_ != seen; });
        }
    }
}

bool PassCrew::TakeUnit(Seat& seat) {
    std::uint64_t state = seat.state.load(std::memory_order_acquire);
    for (;;) {
        if (((state >> 32) & 1) == 0) return false;
        // Read before the claim; a claim on a pass that has since closed fails, so a value
        // of a later pass is never used.
        const int units = seat.units.load(std::memory_order_relaxed);
        const std::function<void(int)>* body = seat.body.load(std::memory_order_relaxed);
        const auto unit = static_cast<std::uint32_t>(state);
        if (unit >= static_cast<std::uint32_t>(units)) return false;
        if (seat.state.compare_exchange_weak(state, state + 1, std::memory_order_acq_rel,
                                             std::memory_order_acquire)) {
            (*body)(static_cast<int>(unit));
            seat.done.Increment(static_cast<std::uint32_t>(units));
            return true;
        }
    }
}

void PassCrew::Run(int seat_index, int units, const std::function<void(int)>& body) {
    if (units <= 0) return;
    Seat& seat = seats_[seat_index];
    seat.units.store(units, std::memory_order_relaxed);
    seat.body.store(&body, std::memory_order_relaxed);
    seat.done.Reset();
    const std::uint64_t pass = (seat.state.load(std::memory_order_relaxed) >> 32) + 1;
    // Sequentially consistent with the sleepers' count: either a helper about to sleep sees
    // the pass, or this thread sees the helper and wakes it.
    seat.state.store(pass << 32, std::memory_order_seq_cst);
    if (sleepers_.load(std::memory_order_seq_cst) > 0) Signal();
    while (TakeUnit(seat)) {
    }
    seat.done.WaitFor(static_cast<std::uint32_t>(units));
    seat.state.store((pass + 1) << 32, std::memory_order_release);
}

void PassCrew::Leave() {
    occupied_.fetch_sub(1, std::memory_order_seq_cst);
    {
        std::lock_guard<std::mutex> lock(sleep_mutex_);
        ++left_;
    }
    place_.notify_all();
    Signal();
}

void PassCrew::Signal() {
    {
        std::lock_guard<std::mutex> lock(sleep_mutex_);
        ++signal_;
    }
    wake_.notify_all();
}

bool PassCrew::WorkOrEnd() const {
    if (occupied_.load(std::memory_order_seq_cst) == 0) return true;
    for (int s = 0; s < seat_count_; ++s) {
        const std::uint64_t state = seats_[s].state.load(std::memory_order_seq_cst);
        if (((state >> 32) & 1) != 0 &&
            static_cast<std::uint32_t>(state) <
                static_cast<std::uint32_t>(seats_[s].units.load(std::memory_order_relaxed))) {
            return true;
        }
    }
    return false;
}

void PassCrew::Help() {
    static std::atomic<unsigned> next_start{0};
    int first = static_cast<int>(next_start.fetch_add(1, std::memory_order_relaxed) %
                                 static_cast<unsigned>(seat_count_));
    if (!TakePlace()) {
        helping_.fetch_sub(1, std::memory_order_relaxed);
        return;
    }
    Spin spin;
    while (occupied_.load(std::memory_order_acquire) > 0) {
        bool worked = false;
        for (int s = 0; s < seat_count_; ++s) {
            Seat& seat = seats_[(first + s) % seat_count_];
            while (TakeUnit(seat)) worked = true;
        }
        if (worked) {
            spin = Spin();
        } else if (!spin.Wait()) {
            std::unique_lock<std::mutex> lock(sleep_mutex_);
            const std::uint32_t seen = signal_;
            sleepers_.fetch_add(1, std::memory_order_seq_cst);
            if (!WorkOrEnd()) wake_.wait(lock, [&] { return signal_ != seen; });
            sleepers_.fetch_sub(1, std::memory_order_seq_cst);
            spin = Spin();
        }
    }
    placed_.fetch_sub(1, std::memory_order_relaxed);
    helping_.fetch_sub(1, std::memory_order_relaxed);
}

}  // namespace resist_model
