#include "solver/pass_crew.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
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
    constexpr int kReadings = 7;
    int runnable[kReadings];
    for (int r = 0; r < kReadings; ++r) {
        int& count = runnable[r];
        count = -1;
        if (FILE* file = std::fopen("/proc/loadavg", "r")) {
            if (std::fscanf(file, "%*s %*s %*s %d", &count) != 1) count = -1;
            std::fclose(file);
        }
        if (count < 0) return std::max(1, cpus);
        if (r + 1 < kReadings) std::this_thread::sleep_for(std::chrono::microseconds(150));
    }
    std::nth_element(runnable, runnable + kReadings / 2, runnable + kReadings);
    // The count includes the reading thread.
    const long others = std::max(0, runnable[kReadings / 2] - 1);
    return static_cast<int>(std::clamp<long>(std::min<long>(cpus, online - others), 1, cpus));
}

namespace {

// Clock ticks each CPU of this process's CPU set has spent idle, from the kernel's counts;
// empty where they cannot be read.
std::vector<long long> IdleTicks() {
    std::vector<long long> idle;
    cpu_set_t set;
    const bool have_set = sched_getaffinity(0, sizeof set, &set) == 0;
    FILE* file = std::fopen("/proc/stat", "r");
    if (!file) return idle;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        // Only the lines of single CPUs, "cpuN user nice system idle iowait ...". A line
        // longer than the buffer comes in pieces, and none of them starts like one.
        int cpu = 0;
        long long user, nice, system, idle_ticks, iowait;
        if (std::strncmp(line, "cpu", 3) != 0 ||
            !std::isdigit(static_cast<unsigned char>(line[3])) ||
            std::sscanf(line + 3, "%d %lld %lld %lld %lld %lld", &cpu, &user, &nice, &system,
                        &idle_ticks, &iowait) != 6) {
            continue;
        }
        if (!have_set || (cpu >= 0 && cpu < CPU_SETSIZE && CPU_ISSET(cpu, &set))) {
            idle.push_back(idle_ticks + iowait);
        }
    }
    std::fclose(file);
    return idle;
}

// The kernel's count of the nanoseconds a thread has waited for a core while runnable, from
// its schedstat file; -1 where there is none.
long long WaitedForCore(const char* schedstat) {
    long long waited = -1;
    const int file = open(schedstat, O_RDONLY | O_CLOEXEC);
    if (file < 0) return waited;
    char text[128];
    const ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    if (length > 0) {
        text[length] = '\0';
        if (std::sscanf(text, "%*s %lld", &waited) != 1) waited = -1;
    }
    return waited;
}

// Nanoseconds the threads of this process have waited for a core while runnable, summed
// over them; -1 where the kernel keeps no count.
long long ProcessWaited() {
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return -1;
    long long sum = -1;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        const std::string path = std::string("/proc/self/task/") + task->d_name + "/schedstat";
        const long long waited = WaitedForCore(path.c_str());
        // A thread that has ended since the listing counts nothing.
        if (waited >= 0) sum = std::max(sum, 0LL) + waited;
    }
    closedir(tasks);
    return sum;
}

// Whether some CPU was idle at least half of the `nanoseconds` between two readings of
// IdleTicks.
bool SomeCoreIdle(const std::vector<long long>& before, const std::vector<long long>& after,
                  std::int64_t nanoseconds) {
    if (before.empty() || before.size() != after.size()) return false;
    const double half = 0.5 * static_cast<double>(nanoseconds) * 1e-9 *
                        static_cast<double>(sysconf(_SC_CLK_TCK));
    for (std::size_t c = 0; c < before.size(); ++c) {
        if (static_cast<double>(after[c] - before[c]) >= half) return true;
    }
    return false;
}

}  // namespace

bool CoreWatch::LostCore() {
    const std::int64_t now = Now();
    if (now < next_) return false;
    const long long waited = WaitedForCore("/proc/thread-self/schedstat");
    const bool kept_waiting = ++looks_ > kSettleLooks && waited >= 0 && waited_ >= 0 &&
                              since_ > 0 && (waited - waited_) * kLostShare > now - since_;
    next_ = now + kWatchNanoseconds;
    since_ = now;
    waited_ = waited;
    // A burst of other work that keeps several of the crew's threads waiting at once is
    // over before the next look; a program that takes turns on the core is not.
    waits_in_a_row_ = kept_waiting ? waits_in_a_row_ + 1 : 0;
    return waits_in_a_row_ >= kLostLooks;
}

PassCrew::PassCrew(int seats, int cores, int most_cores)
    : seats_(new Seat[seats > 0 ? seats : 1]), seat_count_(seats > 0 ? seats : 1),
      occupied_(seat_count_), cores_(cores), most_cores_(std::max(cores, most_cores)) {}

int PassCrew::HelperPlaces() const {
    return std::max(0, cores_.load(std::memory_order_acquire) -
                           occupied_.load(std::memory_order_acquire));
}

bool PassCrew::HasHelpers() const {
    return std::min(helping_.load(std::memory_order_relaxed), HelperPlaces()) > 0;
}

std::uint64_t PassCrew::Passes() const {
    std::uint64_t passes = 0;
    for (int s = 0; s < seat_count_; ++s) {
        passes += seats_[s].state.load(std::memory_order_relaxed) >> 32;
    }
    return passes;
}

bool PassCrew::TakePlace() {
    bool looker = false;
    int free_looks = 0;                  // looks in a row that found a core free
    std::vector<long long> idle_before;  // at the last look
    std::int64_t looked_at = 0;
    std::uint64_t passes_before = Passes();
    long long waited_before = -1;
    auto stop_looking = [&] {
        if (!looker) return;
        {
            std::lock_guard<std::mutex> lock(sleep_mutex_);
            looker_ = false;
            ++changes_;
        }
        // Another waiting helper takes over the looking.
        place_.notify_all();
    };
    for (;;) {
        if (occupied_.load(std::memory_order_acquire) == 0) {
            stop_looking();
            return false;
        }
        int placed = placed_.load(std::memory_order_relaxed);
        if (placed < HelperPlaces()) {
            if (placed_.compare_exchange_weak(placed, placed + 1)) {
                stop_looking();
                return true;
            }
            continue;
        }
        // Places are freed when seats are left, and Leave counts changes_ under the lock
        // after it has left its seat; or when the looker finds a core free again.
        std::unique_lock<std::mutex> lock(sleep_mutex_);
        const std::uint32_t seen = changes_;
        if (placed_.load(std::memory_order_relaxed) < HelperPlaces()) continue;
        if (!looker && !looker_ && cores_.load(std::memory_order_relaxed) < most_cores_) {
            looker = looker_ = true;
        }
        if (!looker) {
            place_.wait(lock, [&] { return changes_ != seen; });
            continue;
        }
        // One helper looks, seldom, and at one reading a look, as every look wakes a
        // thread that may delay a busy one. Each place given up makes the looks rarer, so
        // that a core that is busy now and then costs a few stalls, not one every look.
        const auto wait = kLookWait * (1 << std::min(given_up_, kLookDoublings));
        if (place_.wait_for(lock, wait, [&] { return changes_ != seen; })) continue;
        lock.unlock();
        int cores = cores_.load(std::memory_order_relaxed);
        if (cores >= most_cores_) continue;
        // A core is free when it idles, not when the count of runnable threads dips: the
        // crew's own threads sleep for moments between passes, and then a core that another
        // program keeps busy would look free. Cores idle while no pass ran (as a stage
        // starts) say nothing about other programs; nor do cores idle because a thread of
        // the crew waits for its core and the others wait for it.
        std::vector<long long> idle = IdleTicks();
        const long long waited = ProcessWaited();
        const std::int64_t now = Now();
        const std::uint64_t passes = Passes();
        const bool core_free = passes != passes_before && waited_before >= 0 &&
                               waited >= waited_before &&
                               (waited - waited_before) * kFreeWaitShare < now - looked_at &&
                               SomeCoreIdle(idle_before, idle, now - looked_at);
        free_looks = core_free ? free_looks + 1 : 0;
        idle_before = std::move(idle);
        waited_before = waited;
        looked_at = now;
        passes_before = passes;
        if (free_looks >= kFreeLooks) {
            free_looks = 0;
            cores_.compare_exchange_strong(cores, cores + 1, std::memory_order_acq_rel);
        }
    }
}

void PassCrew::GiveUpPlace() {
    // The crew shrinks to the threads that run now less this one; a place left spare by a
    // helper that never came would otherwise take this one straight back.
    int cores = cores_.load(std::memory_order_relaxed);
    int target;
    do {
        target = std::min(cores, occupied_.load(std::memory_order_acquire) +
                                     placed_.load(std::memory_order_relaxed)) -
                 1;
    } while (target < cores &&
             !cores_.compare_exchange_weak(cores, target, std::memory_order_acq_rel));
    placed_.fetch_sub(1, std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(sleep_mutex_);
    ++given_up_;
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
        ++changes_;
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
    CoreWatch watch;
    int seats_seen = occupied_.load(std::memory_order_acquire);
    for (int seats; (seats = occupied_.load(std::memory_order_acquire)) > 0;) {
        // A stage that ends moves the crew's threads about; the watch settles again.
        if (seats != seats_seen) {
            seats_seen = seats;
            watch = CoreWatch();
        }
        bool worked = false;
        for (int s = 0; s < seat_count_; ++s) {
            Seat& seat = seats_[(first + s) % seat_count_];
            while (TakeUnit(seat)) worked = true;
        }
        if (watch.LostCore()) {
            // Another program takes turns on this thread's core, and every turn holds up
            // the crew: the helper steps aside until a core is free.
            GiveUpPlace();
            if (!TakePlace()) {
                helping_.fetch_sub(1, std::memory_order_relaxed);
                return;
            }
            watch = CoreWatch();
            spin = Spin();
        } else if (worked) {
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
