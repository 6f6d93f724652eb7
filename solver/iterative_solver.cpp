#include "solver/iterative_solver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

#include "solver/huge_pages.h"
#include "solver/pass_crew.h"

namespace resist_model {

// Dot products keep four partial sums, lane n mod 4, each summed in increasing n, and
// join them as (s0 + s1) + (s2 + s3). The order is fixed, so a result never depends on how
// the work is split; four chains keep the adder busy where one would wait on itself.
double VectorDot(const double* x, const double* y, std::int64_t n) {
    double s[4] = {0.0, 0.0, 0.0, 0.0};
    std::int64_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s[0] += x[i] * y[i];
        s[1] += x[i + 1] * y[i + 1];
        s[2] += x[i + 2] * y[i + 2];
        s[3] += x[i + 3] * y[i + 3];
    }
    for (; i < n; ++i) s[i & 3] += x[i] * y[i];
    return (s[0] + s[1]) + (s[2] + s[3]);
}

namespace {

// The kernels walk the grid by lines along x. The sweeps are recurrences along x: each cell
// waits for its neighbour's result. Lines of a plane are independent apart from the y
// coupling, so kLines of them run together, each one cell behind the line before it.
constexpr int kLines = 4;
// Cells of one unit of the passes that treat every cell alike (product, vector updates).
constexpr std::int64_t kBlockCells = 8192;
// About this many cells make one unit of a sweep: a band of lines of one plane.
constexpr std::int64_t kSweepCells = 2048;

// The units of the passes are fixed by the grid alone, never by the threads. Each cell's
// arithmetic is fixed, and every dot product is summed as VectorDot sums it, its four
// lanes passed from unit to unit in increasing order (see DotChain); so a solve gives the
// same bits on any number of threads.
struct Layout {
    std::int64_t ncell = 0, im = 0, imjm = 0;
    std::int64_t line = 0;         // cells per line
    std::int64_t lines = 0;
    std::int64_t plane_lines = 0;  // lines per plane
    std::int64_t planes = 0;
    // A matrix with couplings across line or plane ends (never an assembled one) is walked
    // as one line of all cells, on one thread.
    bool one_line = false;
    std::int64_t block_lines = 0;  // lines per unit of the cell-wise passes
    int blocks = 0;
    std::int64_t band_lines = 0;   // lines per band of a sweep unit
    int bands = 0;                 // bands per plane
    std::int64_t group_planes = 0; // planes per sweep unit
    int plane_groups = 0;
    int sweep_units = 0;
};

bool NoWrapCoupling(const StencilView& a) {
    if (a.im < 1 || a.imjm < a.im || a.imjm % a.im != 0 || a.ncell % a.imjm != 0) return false;
    for (std::int64_t n = a.im - 1; n < a.ncell; n += a.im) {
        if (a.cx[n] != 0.0) return false;
    }
    for (std::int64_t n = a.imjm - a.im; n < a.ncell; n += a.imjm) {
        for (std::int64_t i = 0; i < a.im; ++i) {
            if (a.cy[n + i] != 0.0) return false;
        }
    }
    return true;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

Layout MakeLayout(const StencilView& a) {
    Layout l;
    l.ncell = a.ncell;
    l.im = a.im;
    l.imjm = a.imjm;
    if (a.ncell > 0 && NoWrapCoupling(a)) {
        l.line = a.im;
        l.plane_lines = a.imjm / a.im;
        l.planes = a.ncell / a.imjm;
    } else {
        l.one_line = true;
        l.line = std::max<std::int64_t>(1, a.ncell);
        l.plane_lines = 1;
        l.planes = 1;
    }
    l.lines = l.plane_lines * l.planes;
    l.block_lines = std::max<std::int64_t>(1, kBlockCells / l.line);
    l.blocks = static_cast<int>(CeilDiv(l.lines, l.block_lines));
    l.band_lines = std::min(l.plane_lines,
                            CeilDiv(std::max<std::int64_t>(1, kSweepCells / l.line), kLines) *
                                kLines);
    l.bands = static_cast<int>(CeilDiv(l.plane_lines, l.band_lines));
    l.group_planes =
        l.bands > 1 ? 1
                    : std::max<std::int64_t>(1, kSweepCells / (l.plane_lines * l.line));
    l.plane_groups = static_cast<int>(CeilDiv(l.planes, l.group_planes));
    l.sweep_units = l.plane_groups * l.bands;
    return l;
}

// The sweep units in wavefront order: by plane group + band, then by plane group. A unit
// needs the one before it in its plane and the one below it, both earlier in this order.
std::vector<int> WavefrontOrder(const Layout& l) {
    std::vector<int> order;
    order.reserve(l.sweep_units);
    for (int d = 0; d < l.plane_groups + l.bands - 1; ++d) {
        for (int g = std::max(0, d - l.bands + 1); g <= std::min(d, l.plane_groups - 1); ++g) {
            order.push_back(g * l.bands + (d - g));
        }
    }
    return order;
}

// What the kernels of one solve work on.
struct Kernels {
    Layout l;
    const StencilView* a = nullptr;
    const double* pivots = nullptr;
    // Lines' first and end cells; null: every cell of every line.
    const std::int32_t* from = nullptr;
    const std::int32_t* to = nullptr;

    std::int64_t From(std::int64_t line) const { return from ? from[line] : 0; }
    std::int64_t To(std::int64_t line) const { return to ? to[line] : l.line; }
};

inline double MatvecRow(const StencilView& a, const double* x, std::int64_t n) {
    const std::int64_t last = a.ncell - 1;
    double y = a.diag[n] * x[n];
    if (n + 1 <= last) y += a.cx[n] * x[n + 1];
    if (n - 1 >= 0) y += a.cx[n - 1] * x[n - 1];
    if (n + a.im <= last) y += a.cy[n] * x[n + a.im];
    if (n - a.im >= 0) y += a.cy[n - a.im] * x[n - a.im];
    if (n + a.imjm <= last) y += a.cz[n] * x[n + a.imjm];
    if (n - a.imjm >= 0) y += a.cz[n - a.imjm] * x[n - a.imjm];
    return y;
}

// The lanes of a dot product summed over the cells in increasing order, as VectorDot sums
// them, while the units that compute the terms run side by side: a unit adds its cells
// once the units before it have added theirs. The cells of a unit are still in the cache
// then, so this costs the sums' additions and no memory traffic.
struct DotChain {
    alignas(64) WaitWord at;  // units whose cells are in the sums
    // Written only by the unit whose turn it is, on a line of its own.
    alignas(64) double s[2][4] = {};

    void Reset() {
        at.Reset();
        for (auto& lanes : s) std::fill(lanes, lanes + 4, 0.0);
    }
    void WaitFor(int unit) { at.WaitFor(static_cast<std::uint32_t>(unit)); }
    void Pass(int unit) { at.Publish(static_cast<std::uint32_t>(unit + 1)); }
    double Sum(int which) const {
        return (s[which][0] + s[which][1]) + (s[which][2] + s[which][3]);
    }
};

std::int64_t BlockFirstLine(const Layout& l, int block) { return block * l.block_lines; }
std::int64_t BlockEndLine(const Layout& l, int block) {
    return std::min(l.lines, (block + 1) * l.block_lines);
}

// Two consecutive cells, each in its own lane of a dot product; each element's arithmetic
// is that of the scalar code.
typedef double Pair __attribute__((vector_size(16)));
inline Pair LoadPair(const double* p) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void StorePair(double* p, Pair v) { std::memcpy(p, &v, sizeof v); }

// y = A x over the lines of one block; with `lanes`, x.y and y.y are added to lanes[0] and
// lanes[1] on the way, for a block whose turn in the chain has come.
void MatvecBlock(const Kernels& k, int block, const double* x, double* y,
                 double (*lanes)[4] = nullptr) {
    const StencilView& a = *k.a;
    const std::int64_t im = a.im, imjm = a.imjm;
    const double* d = a.diag;
    const double* cx = a.cx;
    const double* cy = a.cy;
    const double* cz = a.cz;
    double sxy[4] = {0.0, 0.0, 0.0, 0.0};
    double syy[4] = {0.0, 0.0, 0.0, 0.0};
    if (lanes) {
        std::copy(lanes[0], lanes[0] + 4, sxy);
        std::copy(lanes[1], lanes[1] + 4, syy);
    }
    for (std::int64_t line = BlockFirstLine(k.l, block); line < BlockEndLine(k.l, block);
         ++line) {
        const std::int64_t n0 = line * k.l.line + k.From(line);
        const std::int64_t n1 = line * k.l.line + k.To(line);
        if (n0 >= n1) continue;
        // Rows whose six neighbours all lie inside the grid run without tests.
        const std::int64_t bulk0 = std::clamp(imjm, n0, n1);
        const std::int64_t bulk1 = std::clamp(a.ncell - imjm, bulk0, n1);
        auto row = [&](std::int64_t n, double v) {
            y[n] = v;
            if (lanes) {
                sxy[n & 3] += x[n] * v;
                syy[n & 3] += v * v;
            }
        };
        for (std::int64_t n = n0; n < bulk0; ++n) row(n, MatvecRow(a, x, n));
        // One row, or two side by side when `load` reads pairs: the same terms in one order.
        auto stencil = [&](auto load, std::int64_t m) {
            return load(d + m) * load(x + m) + load(cx + m) * load(x + m + 1) +
                   load(cx + m - 1) * load(x + m - 1) + load(cy + m) * load(x + m + im) +
                   load(cy + m - im) * load(x + m - im) + load(cz + m) * load(x + m + imjm) +
                   load(cz + m - imjm) * load(x + m - imjm);
        };
        auto inner = [&](std::int64_t m) {
            return stencil([](const double* p) { return *p; }, m);
        };
        std::int64_t n = bulk0;
        if (lanes) {
            for (; n < bulk1 && (n & 3) != 0; ++n) row(n, inner(n));
            // Whole groups of four cells: lanes 0 and 1 in one pair, 2 and 3 in the other.
            Pair xy[2] = {LoadPair(sxy), LoadPair(sxy + 2)};
            Pair yy[2] = {LoadPair(syy), LoadPair(syy + 2)};
            for (; n + 4 <= bulk1; n += 4) {
                for (int h = 0; h < 2; ++h) {
                    const std::int64_t m = n + 2 * h;
                    const Pair v = stencil([](const double* p) { return LoadPair(p); }, m);
                    StorePair(y + m, v);
                    xy[h] += LoadPair(x + m) * v;
                    yy[h] += v * v;
                }
            }
            for (int h = 0; h < 2; ++h) {
                StorePair(sxy + 2 * h, xy[h]);
                StorePair(syy + 2 * h, yy[h]);
            }
            for (; n < bulk1; ++n) row(n, inner(n));
        } else {
            for (; n < bulk1; ++n) y[n] = inner(n);
        }
        for (n = bulk1; n < n1; ++n) row(n, MatvecRow(a, x, n));
    }
    if (lanes) {
        std::copy(sxy, sxy + 4, lanes[0]);
        std::copy(syy, syy + 4, lanes[1]);
    }
}

// Adds x.y of the block's cells to lanes s[0] and, with kSquares, y.y to lanes s[1].
// Cells outside the spans add 0 and are skipped: a lane sum is never -0, so adding 0
// leaves it as it is.
template <bool kSquares>
void ChainBlock(const Kernels& k, int block, const double* x, const double* y,
                DotChain& chain) {
    double sxy[4], syy[4];
    std::copy(chain.s[0], chain.s[0] + 4, sxy);
    std::copy(chain.s[1], chain.s[1] + 4, syy);
    auto add = [&](std::int64_t m, int lane) {
        sxy[lane] += x[m] * y[m];
        if (kSquares) syy[lane] += y[m] * y[m];
    };
    for (std::int64_t line = BlockFirstLine(k.l, block); line < BlockEndLine(k.l, block);
         ++line) {
        const std::int64_t n1 = line * k.l.line + k.To(line);
        std::int64_t n = line * k.l.line + k.From(line);
        for (; n < n1 && (n & 3) != 0; ++n) add(n, static_cast<int>(n & 3));
        Pair xy[2] = {LoadPair(sxy), LoadPair(sxy + 2)};
        Pair yy[2] = {LoadPair(syy), LoadPair(syy + 2)};
        for (; n + 4 <= n1; n += 4) {
            for (int h = 0; h < 2; ++h) {
                const Pair ym = LoadPair(y + n + 2 * h);
                xy[h] += LoadPair(x + n + 2 * h) * ym;
                if (kSquares) yy[h] += ym * ym;
            }
        }
        for (int h = 0; h < 2; ++h) {
            StorePair(sxy + 2 * h, xy[h]);
            StorePair(syy + 2 * h, yy[h]);
        }
        for (; n < n1; ++n) add(n, static_cast<int>(n & 3));
    }
    std::copy(sxy, sxy + 4, chain.s[0]);
    std::copy(syy, syy + 4, chain.s[1]);
}

// Brings the block's cells of x and y into the cache ahead of its turn in the chain.
void PrefetchBlock(const Kernels& k, int block, const double* x, const double* y) {
    for (std::int64_t line = BlockFirstLine(k.l, block); line < BlockEndLine(k.l, block);
         ++line) {
        const std::int64_t n1 = line * k.l.line + k.To(line);
        for (std::int64_t n = line * k.l.line + k.From(line); n < n1; n += 8) {
            __builtin_prefetch(x + n, 0, 3);
            __builtin_prefetch(y + n, 0, 3);
        }
    }
}

// The interleaved lines are several streams per array, more than the hardware prefetcher
// follows, so each step of a sweep fetches a slice of the next group of lines ahead of
// time: cell `at` of each array.
template <typename... Arrays>
inline void PrefetchCell(std::int64_t at, const Arrays*... arrays) {
    (__builtin_prefetch(arrays + at, 0, 3), ...);
}

struct SweepUnit {
    std::int64_t plane0, plane1;  // planes plane0..plane1-1
    std::int64_t line0, line1;    // lines of each plane, counted within the plane
};

SweepUnit UnitOf(const Layout& l, int unit) {
    const std::int64_t group = unit / l.bands, band = unit % l.bands;
    SweepUnit u;
    u.plane0 = group * l.group_planes;
    u.plane1 = std::min(l.planes, u.plane0 + l.group_planes);
    u.line0 = band * l.band_lines;
    u.line1 = std::min(l.plane_lines, u.line0 + l.band_lines);
    return u;
}

// Up to kLines lines of one plane swept together in the sweep's direction, line g one cell
// behind line g - 1: at step s line g is at the cell `at + s + g * stride` forward,
// `at - s + g * stride` backward, its position s - g along the sweep (the cell's index in
// its line forward, counted from the line's end backward). Forward the lines go up from the
// group's lowest, backward down from its top.
struct LineGroup {
    int count = 0;
    std::int64_t at = 0, stride = 0;
    std::int64_t pos0[kLines], pos1[kLines];  // the positions of the line's spanned cells
    std::int64_t step0 = 0, step1 = 0;        // the steps at which some line has a cell
    // The steps at which every line has a cell and a neighbour before it in its line; they
    // run without tests. Empty (both step1) when the group is not full.
    std::int64_t fast0 = 0, fast1 = 0;
    // The slice fetched at step 0 moves kLines cells a step the sweep's way; it lies
    // inside the grid before step fetch_end.
    std::int64_t fetch = 0, fetch_end = 0;
    bool line_beside = false;   // line 0 has a line before it in its plane
    bool plane_beside = false;  // there is a plane before this one
};

// kDir = 1: forward, the group of lines low..low+count-1; kDir = -1: backward, the same
// lines from the top down. Groups are counted from the band's first line, so they are the
// same whoever runs the unit.
template <int kDir>
LineGroup MakeGroup(const Kernels& k, std::int64_t plane, std::int64_t low, std::int64_t line1) {
    const Layout& l = k.l;
    LineGroup grp;
    grp.count = static_cast<int>(std::min<std::int64_t>(kLines, line1 - low));
    const std::int64_t first = kDir > 0 ? low : low + grp.count - 1;
    grp.step0 = std::numeric_limits<std::int64_t>::max();
    grp.step1 = 0;
    for (int g = 0; g < grp.count; ++g) {
        const std::int64_t line = plane * l.plane_lines + first + kDir * g;
        const std::int64_t from = k.From(line), to = k.To(line);
        grp.pos0[g] = kDir > 0 ? from : l.line - to;
        grp.pos1[g] = kDir > 0 ? to : l.line - from;
        if (from < to) {
            grp.step0 = std::min(grp.step0, grp.pos0[g] + g);
            grp.step1 = std::max(grp.step1, grp.pos1[g] + g);
        }
    }
    grp.fast0 = grp.fast1 = grp.step1;
    if (grp.count == kLines && !l.one_line) {
        std::int64_t fast0 = grp.step0, fast1 = grp.step1;
        for (int g = 0; g < kLines; ++g) {
            fast0 = std::max(fast0, std::max<std::int64_t>(grp.pos0[g], 1) + g);
            fast1 = std::min(fast1, grp.pos1[g] + g);
        }
        if (fast0 < fast1) grp.fast0 = fast0, grp.fast1 = fast1;
    }
    const std::int64_t base = (plane * l.plane_lines + first) * l.line;
    if (kDir > 0) {
        grp.at = base;
        grp.stride = l.line - 1;
        grp.fetch = base + kLines * l.line;
        grp.fetch_end = CeilDiv(l.ncell - grp.fetch, kLines);
    } else {
        grp.at = base + l.line - 1;
        grp.stride = 1 - l.line;
        grp.fetch = base + l.line - kLines * l.line - kLines;
        grp.fetch_end = grp.fetch < 0 ? 0 : grp.fetch / kLines + 1;
    }
    grp.line_beside = kDir > 0 ? first > 0 : first < l.plane_lines - 1;
    grp.plane_beside = kDir > 0 ? plane > 0 : plane < l.planes - 1;
    return grp;
}

// What the steps of a group read, taken into locals so that they stay in registers while
// the steps write z.
struct SweepReads {
    SweepReads(const Kernels& k, const LineGroup& grp)
        : cx(k.a->cx), cy(k.a->cy), cz(k.a->cz), pivots(k.pivots), im(k.l.im),
          imjm(k.l.imjm), ncell(k.l.ncell), at(grp.at), stride(grp.stride), fetch(grp.fetch),
          fetch_end(grp.fetch_end), one_line(k.l.one_line) {}
    const double *cx, *cy, *cz, *pivots;
    std::int64_t im, imjm, ncell, at, stride, fetch, fetch_end;
    bool one_line;
};

// Forward substitution z = (P + L)^-1 r scaled by the pivots over steps s0..s1-1 of a group,
// with r -= alpha q folded in with kFold. kChecked tests each cell: whether it is in its
// line's span and which neighbours it has; without it the steps are the group's fast ones,
// every line's last result and the line before's stay in registers, and kLine0 and kPlane
// say whether the group has a line and a plane before it. The arithmetic of a cell is the
// same either way.
template <bool kChecked, bool kFold, bool kLine0, bool kPlane>
void ForwardSteps(const Kernels& k, const LineGroup& grp, std::int64_t s0, std::int64_t s1,
                  double* r, const double* q, double alpha, double* z) {
    const SweepReads w(k, grp);
    const int count = kChecked ? grp.count : kLines;
    double left[kLines];
    for (int g = 0; g < count && !kChecked; ++g) left[g] = z[w.at + s0 + g * w.stride - 1];
    for (std::int64_t s = s0; s < s1; ++s) {
        if (s < w.fetch_end) {
            const std::int64_t f = w.fetch + s * kLines;
            PrefetchCell(f, r, w.pivots, w.cx, w.cy);
            if (kFold) PrefetchCell(f, q);
            if (f >= w.imjm) PrefetchCell(f - w.imjm, w.cz, z);
        }
        const std::int64_t n0 = w.at + s;
        double below = !kChecked && kLine0 ? z[n0 - w.im] : 0.0;
#pragma GCC unroll 4
        for (int g = 0; g < count; ++g) {
            const std::int64_t pos = s - g;
            if (kChecked && (pos < grp.pos0[g] || pos >= grp.pos1[g])) continue;
            const std::int64_t n = n0 + g * w.stride;
            double t = r[n];
            if (kFold) {
                t -= alpha * q[n];
                r[n] = t;
            }
            if (!kChecked || pos > 0) t -= w.cx[n - 1] * (kChecked ? z[n - 1] : left[g]);
            // Across a plane's first line the y coupling is zero and its cell is another
            // unit's, so it is not read.
            if ((kChecked && w.one_line) ? n >= w.im : (kLine0 || g > 0)) {
                t -= w.cy[n - w.im] * (kChecked ? z[n - w.im] : below);
            }
            if ((kChecked && w.one_line) ? n >= w.imjm : kPlane) {
                t -= w.cz[n - w.imjm] * z[n - w.imjm];
            }
            const double v = w.pivots[n] * t;
            z[n] = v;
            if (!kChecked) {
                below = left[g];
                left[g] = v;
            }
        }
    }
}

// Backward substitution over steps s0..s1-1 of a group, cells in decreasing order; kChecked,
// kLine0 and kPlane (a line and a plane after the group's) as for ForwardSteps.
template <bool kChecked, bool kLine0, bool kPlane>
void BackwardSteps(const Kernels& k, const LineGroup& grp, std::int64_t s0, std::int64_t s1,
                   double* z) {
    const SweepReads w(k, grp);
    const int count = kChecked ? grp.count : kLines;
    double right[kLines];
    for (int g = 0; g < count && !kChecked; ++g) right[g] = z[w.at - s0 + g * w.stride + 1];
    for (std::int64_t s = s0; s < s1; ++s) {
        if (s < w.fetch_end) {
            const std::int64_t f = w.fetch - s * kLines;
            PrefetchCell(f, w.pivots, w.cx, w.cy, w.cz, z);
            // With a plane after the group's, the slice's cell there is inside the grid.
            if (kPlane || f + w.imjm < w.ncell) PrefetchCell(f + w.imjm, z);
        }
        const std::int64_t n0 = w.at - s;
        double above = !kChecked && kLine0 ? z[n0 + w.im] : 0.0;
#pragma GCC unroll 4
        for (int g = 0; g < count; ++g) {
            const std::int64_t pos = s - g;
            if (kChecked && (pos < grp.pos0[g] || pos >= grp.pos1[g])) continue;
            const std::int64_t n = n0 + g * w.stride;
            // The last cell has no neighbour after it.
            if (kChecked && n >= w.ncell - 1) continue;
            double t = kChecked && pos == 0 ? 0.0 : w.cx[n] * (kChecked ? z[n + 1] : right[g]);
            if ((kChecked && w.one_line) ? n + w.im < w.ncell : (kLine0 || g > 0)) {
                t += w.cy[n] * (kChecked ? z[n + w.im] : above);
            }
            if ((kChecked && w.one_line) ? n + w.imjm < w.ncell : kPlane) {
                t += w.cz[n] * z[n + w.imjm];
            }
            const double v = z[n] - w.pivots[n] * t;
            z[n] = v;
            if (!kChecked) {
                above = right[g];
                right[g] = v;
            }
        }
    }
}

// The step runs by kChecked, then kFold (forward only), kLine0 and kPlane.
using ForwardFn = void (*)(const Kernels&, const LineGroup&, std::int64_t, std::int64_t,
                           double*, const double*, double, double*);
using BackwardFn = void (*)(const Kernels&, const LineGroup&, std::int64_t, std::int64_t,
                            double*);
template <bool kChecked>
constexpr ForwardFn kForwardSteps[2][2][2] = {
    {{ForwardSteps<kChecked, false, false, false>, ForwardSteps<kChecked, false, false, true>},
     {ForwardSteps<kChecked, false, true, false>, ForwardSteps<kChecked, false, true, true>}},
    {{ForwardSteps<kChecked, true, false, false>, ForwardSteps<kChecked, true, false, true>},
     {ForwardSteps<kChecked, true, true, false>, ForwardSteps<kChecked, true, true, true>}}};
template <bool kChecked>
constexpr BackwardFn kBackwardSteps[2][2] = {
    {BackwardSteps<kChecked, false, false>, BackwardSteps<kChecked, false, true>},
    {BackwardSteps<kChecked, true, false>, BackwardSteps<kChecked, true, true>}};

// Calls steps(checked, group, s0, s1) for the unit's groups of lines in the sweep's order,
// planes and lines upwards forward (kDir = 1), downwards backward: each group's fast steps
// without tests, those before and after them checked.
template <int kDir, typename Steps>
void SweepGroups(const Kernels& k, int unit, Steps steps) {
    const SweepUnit u = UnitOf(k.l, unit);
    const std::int64_t planes = u.plane1 - u.plane0;
    const std::int64_t groups = CeilDiv(u.line1 - u.line0, kLines);
    for (std::int64_t p = 0; p < planes; ++p) {
        const std::int64_t plane = kDir > 0 ? u.plane0 + p : u.plane1 - 1 - p;
        for (std::int64_t gi = 0; gi < groups; ++gi) {
            const std::int64_t low = u.line0 + (kDir > 0 ? gi : groups - 1 - gi) * kLines;
            const LineGroup grp = MakeGroup<kDir>(k, plane, low, u.line1);
            if (grp.step0 < grp.fast0) steps(true, grp, grp.step0, grp.fast0);
            if (grp.fast0 < grp.fast1) steps(false, grp, grp.fast0, grp.fast1);
            if (grp.fast1 < grp.step1) steps(true, grp, grp.fast1, grp.step1);
        }
    }
}

// Forward substitution over one unit, with r -= alpha q folded in when q is given (q and z
// may be the same vector: each q(n) is read before z(n) is written, and z only reads lower
// indices).
void ForwardUnit(const Kernels& k, int unit, double* r, const double* q, double alpha,
                 double* z) {
    SweepGroups<1>(k, unit,
                   [&](bool checked, const LineGroup& grp, std::int64_t s0, std::int64_t s1) {
                       const auto& table = checked ? kForwardSteps<true> : kForwardSteps<false>;
                       table[q != nullptr][grp.line_beside][grp.plane_beside](k, grp, s0, s1,
                                                                             r, q, alpha, z);
                   });
}

// Backward substitution over one unit, lines and cells in decreasing order.
void BackwardUnit(const Kernels& k, int unit, double* z) {
    SweepGroups<-1>(k, unit,
                    [&](bool checked, const LineGroup& grp, std::int64_t s0, std::int64_t s1) {
                        const auto& table =
                            checked ? kBackwardSteps<true> : kBackwardSteps<false>;
                        table[grp.line_beside][grp.plane_beside](k, grp, s0, s1, z);
                    });
}

// The lines of one block, cell by cell: x += alpha p, then p = z + beta p when z is given.
void UpdateBlock(const Kernels& k, int block, double alpha, double* x, double* p,
                 const double* z, double beta) {
    for (std::int64_t line = BlockFirstLine(k.l, block); line < BlockEndLine(k.l, block);
         ++line) {
        const std::int64_t n0 = line * k.l.line + k.From(line);
        const std::int64_t n1 = line * k.l.line + k.To(line);
        if (z) {
            for (std::int64_t n = n0; n < n1; ++n) {
                x[n] += alpha * p[n];
                p[n] = z[n] + beta * p[n];
            }
        } else {
            for (std::int64_t n = n0; n < n1; ++n) x[n] += alpha * p[n];
        }
    }
}

// The cells that take part: those coupled to any neighbour, or with a right-hand side or
// a start value. Any other cell (an empty cell: identity row, no heat) has r = z = p = q = 0
// from the start and keeps them, so it is left out of every pass.
void FindLineSpans(const Layout& l, const StencilView& a, const double* b, const double* x,
                   SolverWork& work) {
    work.line_from.assign(l.lines, 0);
    work.line_to.assign(l.lines, 0);
    for (std::int64_t line = 0; line < l.lines; ++line) {
        std::int64_t from = -1, to = -1;
        for (std::int64_t i = 0; i < l.line; ++i) {
            const std::int64_t n = line * l.line + i;
            const bool active = a.cx[n] != 0.0 || (n >= 1 && a.cx[n - 1] != 0.0) ||
                                a.cy[n] != 0.0 || (n >= a.im && a.cy[n - a.im] != 0.0) ||
                                a.cz[n] != 0.0 || (n >= a.imjm && a.cz[n - a.imjm] != 0.0) ||
                                b[n] != 0.0 || x[n] != 0.0;
            if (active) {
                if (from < 0) from = i;
                to = i + 1;
            }
        }
        if (from >= 0) {
            work.line_from[line] = static_cast<std::int32_t>(from);
            work.line_to[line] = static_cast<std::int32_t>(to);
        }
    }
}

// A solve with helpers shares its passes once this many cells take part: with fewer, a
// pass is too short for the meetings of its threads to pay off.
constexpr std::int64_t kShareCells = 8 * kBlockCells;

std::int64_t ActiveCells(const Layout& l, const SolverWork& work) {
    std::int64_t cells = 0;
    for (std::int64_t line = 0; line < l.lines; ++line) {
        cells += work.line_to[line] - work.line_from[line];
    }
    return cells;
}

// Runs a pass's units on the crew's seat, or in order on this thread.
void RunPass(SolveCrew crew, int units, const std::function<void(int)>& body) {
    if (crew.crew && units > 1) {
        crew.crew->Run(crew.seat, units, body);
    } else {
        for (int u = 0; u < units; ++u) body(u);
    }
}

}  // namespace

void StencilMatvec(const StencilView& a, const double* x, double* y) {
    if (a.ncell <= 0) return;
    Kernels k;
    k.l = MakeLayout(a);
    k.a = &a;
    for (int block = 0; block < k.l.blocks; ++block) MatvecBlock(k, block, x, y);
}

void FactorPreconditioner(const StencilView& a, double* pivots) {
    for (std::int64_t n = 0; n < a.ncell; ++n) {
        double s = a.diag[n];
        if (n >= a.imjm) {
            std::int64_t m = n - a.imjm;
            double c = a.cz[m];
            s -= c * (c + kRelaxation * (a.cx[m] + a.cy[m])) * pivots[m];
        }
        if (n >= a.im) {
            std::int64_t m = n - a.im;
            double c = a.cy[m];
            s -= c * (c + kRelaxation * (a.cx[m] + a.cz[m])) * pivots[m];
        }
        if (n >= 1) {
            std::int64_t m = n - 1;
            double c = a.cx[m];
            s -= c * (c + kRelaxation * (a.cy[m] + a.cz[m])) * pivots[m];
        }
        double pivot = s > 0.0 ? s : a.diag[n];
        if (pivot <= kGuard) pivot = kGuard;
        pivots[n] = 1.0 / pivot;
    }
}

void ApplyPreconditioner(const StencilView& a, const double* pivots, const double* r,
                         double* z) {
    if (a.ncell <= 0) return;
    Kernels k;
    k.l = MakeLayout(a);
    k.a = &a;
    k.pivots = pivots;
    // Without q the forward sweep only reads r.
    for (int u = 0; u < k.l.sweep_units; ++u) {
        ForwardUnit(k, u, const_cast<double*>(r), nullptr, 0.0, z);
    }
    for (int u = k.l.sweep_units - 1; u >= 0; --u) BackwardUnit(k, u, z);
}

SolveResult IterativeSolve(const StencilView& a, const double* b, double* x, int nitr,
                           double eitr, SolverWork& work, SolveCrew crew) {
    SolveResult result;
    const std::int64_t n_all = a.ncell;
    const double bb = VectorDot(b, b, n_all);
    if (!(bb > 0.0)) {
        result.flag = kZeroRightHandSide;
        return result;
    }
    for (std::vector<double>* v : {&work.pivots, &work.r, &work.p, &work.qz}) {
        ReserveOnHugePages(*v, n_all);
        v->resize(n_all);
    }
    double* r = work.r.data();
    double* p = work.p.data();
    double* qz = work.qz.data();

    Kernels k;
    k.l = MakeLayout(a);
    k.a = &a;
    k.pivots = work.pivots.data();
    const Layout& l = k.l;
    const std::vector<int> order = WavefrontOrder(l);
    // Sweep unit u is done for the sweep numbered done[u]; a unit waits for the ones it
    // reads from to reach the current sweep. Two sweeps an iteration keep the numbers below
    // a WaitWord's bound for up to 2^30 iterations, far beyond any input's limit.
    std::unique_ptr<WaitWord[]> done(new WaitWord[l.sweep_units]);
    std::uint32_t sweep = 0;
    auto wait_for = [&](int u) { done[u].WaitFor(sweep); };
    DotChain chain;

    // The start runs over every cell, as the spans are found from its results.
    FactorPreconditioner(a, work.pivots.data());
    StencilMatvec(a, x, qz);
    for (std::int64_t n = 0; n < n_all; ++n) r[n] = b[n] - qz[n];
    ApplyPreconditioner(a, k.pivots, r, p);
    double rho = VectorDot(r, p, n_all);
    FindLineSpans(l, a, b, x, work);
    k.from = work.line_from.data();
    k.to = work.line_to.data();

    double alpha = 0.0, beta = 0.0;
    // Alone, a stage sweeps its units plane by plane, which keeps the plane below in the
    // cache, and sums its dot products on the way; shared, it sweeps by wavefronts, so that
    // units side by side are ready together.
    bool shared = false;
    const std::function<void(int)> product = [&](int block) {
        if (!shared) {
            MatvecBlock(k, block, p, qz, chain.s);
            return;
        }
        MatvecBlock(k, block, p, qz);
        chain.WaitFor(block);
        ChainBlock<true>(k, block, p, qz, chain);
        chain.Pass(block);
    };
    const std::function<void(int)> forward = [&](int ticket) {
        const int u = shared ? order[ticket] : ticket;
        if (u % l.bands > 0) wait_for(u - 1);
        if (u >= l.bands) wait_for(u - l.bands);
        ForwardUnit(k, u, r, qz, alpha, qz);
        done[u].Publish(sweep);
    };
    const std::function<void(int)> backward = [&](int ticket) {
        const int last_unit = l.sweep_units - 1;
        const int u = shared ? order[last_unit - ticket] : last_unit - ticket;
        if (u % l.bands < l.bands - 1) wait_for(u + 1);
        if (u + l.bands < l.sweep_units) wait_for(u + l.bands);
        BackwardUnit(k, u, qz);
        done[u].Publish(sweep);
    };
    const std::function<void(int)> residual_dot = [&](int block) {
        if (shared) PrefetchBlock(k, block, r, qz);
        chain.WaitFor(block);
        ChainBlock<false>(k, block, r, qz, chain);
        chain.Pass(block);
    };
    bool last = false;
    const std::function<void(int)> update = [&](int block) {
        UpdateBlock(k, block, alpha, x, p, last ? nullptr : qz, beta);
    };

    // Whether to share is fixed by the grid, never by the clock, so a grid takes the same way
    // on every run; a pinned crew goes its way whatever the grid.
    const bool share =
        crew.crew != nullptr &&
        (crew.sharing == Sharing::kShared ||
         (crew.sharing == Sharing::kByGrid && ActiveCells(l, work) >= kShareCells));
    for (int iteration = 1; iteration <= nitr; ++iteration) {
        result.iterations = iteration;
        // Stages that end leave their threads to the crew, so helpers may come at any time.
        // Whether they have a core now does not count: that changes from run to run.
        shared = share && (crew.sharing == Sharing::kShared || crew.crew->Helped());
        const SolveCrew c = shared ? crew : SolveCrew{};
        chain.Reset();
        RunPass(c, l.blocks, product);
        const double pi = chain.Sum(0);
        const double kappa = chain.Sum(1);
        alpha = rho / (pi + kGuard);
        result.error = std::sqrt(alpha * alpha * kappa / bb);
        if (result.error <= eitr) {
            result.flag = kConverged;
            last = true;
            RunPass(c, l.blocks, update);
            return result;
        }
        ++sweep;
        RunPass(c, l.sweep_units, forward);
        ++sweep;
        RunPass(c, l.sweep_units, backward);
        chain.Reset();
        RunPass(c, l.blocks, residual_dot);
        const double rho_next = chain.Sum(0);
        beta = rho_next / (rho + kGuard);
        // x += alpha p waits until here so that it shares the pass over p.
        RunPass(c, l.blocks, update);
        rho = rho_next;
    }
    if (nitr < 1) result.iterations = 0;
    return result;
}

}  // namespace resist_model
