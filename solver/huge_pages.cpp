#include "solver/huge_pages.h"

#include <cstdint>

#include <sys/mman.h>

namespace resist_model {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;

}  // namespace

void ReserveOnHugePages(std::vector<double>& v, std::size_t n) {
    v.clear();
    if (v.capacity() >= n) return;
    std::vector<double>().swap(v);
    v.reserve(n);
    // Only whole huge pages inside the array can be backed by one; an array smaller than
    // two of them gains little and is left as it is. Where the system refuses, small pages
    // serve as before.
    const auto begin = reinterpret_cast<std::uintptr_t>(v.data());
    const std::uintptr_t end = begin + n * sizeof(double);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (last >= first + 2 * kHugePage) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

}  // namespace resist_model
