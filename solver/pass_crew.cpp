#include "solver/pass_crew.h"

#include <thread>

namespace resist_model {

void Backoff::Wait() {
#if defined(__x86_64__) || defined(__i386__)
    if (++spins_ < 4096) {
        __builtin_ia32_pause();
        return;
    }
#endif
    std::this_thread::yield();
}

PassCrew::PassCrew(int seats)
    : seats_(new Seat[seats > 0 ? seats : 1]), seat_count_(seats > 0 ? seats : 1),
      occupied_(seat_count_) {}

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
            seat.done.fetch_add(1, std::memory_order_release);
            return true;
        }
    }
}

void PassCrew::Run(int seat_index, int units, const std::function<void(int)>& body) {
    if (units <= 0) return;
    Seat& seat = seats_[seat_index];
    seat.units.store(units, std::memory_order_relaxed);
    seat.body.store(&body, std::memory_order_relaxed);
    seat.done.store(0, std::memory_order_relaxed);
    const std::uint64_t pass = (seat.state.load(std::memory_order_relaxed) >> 32) + 1;
    // Sequentially consistent with the sleepers' count: either a helper about to sleep sees
    // the pass, or this thread sees the helper and wakes it.
    seat.state.store(pass << 32, std::memory_order_seq_cst);
    if (sleepers_.load(std::memory_order_seq_cst) > 0) Signal();
    while (TakeUnit(seat)) {
    }
    Backoff backoff;
    while (seat.done.load(std::memory_order_acquire) < units) backoff.Wait();
    seat.state.store((pass + 1) << 32, std::memory_order_release);
}

void PassCrew::Leave() {
    occupied_.fetch_sub(1, std::memory_order_seq_cst);
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
    Backoff backoff;
    while (occupied_.load(std::memory_order_acquire) > 0) {
        bool worked = false;
        for (int s = 0; s < seat_count_; ++s) {
            Seat& seat = seats_[(first + s) % seat_count_];
            while (TakeUnit(seat)) worked = true;
        }
        if (worked) {
            backoff = Backoff();
        } else if (backoff.Spins() < 4096) {
            backoff.Wait();
        } else {
            std::unique_lock<std::mutex> lock(sleep_mutex_);
            const std::uint32_t seen = signal_;
            sleepers_.fetch_add(1, std::memory_order_seq_cst);
            if (!WorkOrEnd()) wake_.wait(lock, [&] { return signal_ != seen; });
            sleepers_.fetch_sub(1, std::memory_order_seq_cst);
            backoff = Backoff();
        }
    }
    helping_.fetch_sub(1, std::memory_order_relaxed);
}

}  // namespace resist_model
