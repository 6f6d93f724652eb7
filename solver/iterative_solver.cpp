#include "solver/iterative_solver.h"

#include <algorithm>
#include <cmath>

namespace resist_model {

// The kernels split their index ranges where the stencil's neighbours start or stop to
// exist, so the bulk of the cells runs without tests. The arithmetic of every cell, and the
// order of every sum, is the same in all ranges.

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

// y = A x, with p.y and y.y summed on the way when asked for.
void MatvecWithDots(const StencilView& a, const double* x, double* y, double* xy, double* yy) {
    const std::int64_t n_all = a.ncell;
    const std::int64_t im = a.im, imjm = a.imjm;
    const std::int64_t lo = std::min(imjm, n_all);
    const std::int64_t hi = std::max(lo, n_all - imjm);
    double sxy[4] = {0.0, 0.0, 0.0, 0.0};
    double syy[4] = {0.0, 0.0, 0.0, 0.0};
    for (std::int64_t n = 0; n < lo; ++n) {
        double v = MatvecRow(a, x, n);
        y[n] = v;
        sxy[n & 3] += x[n] * v;
        syy[n & 3] += v * v;
    }
    const double* d = a.diag;
    const double* cx = a.cx;
    const double* cy = a.cy;
    const double* cz = a.cz;
    for (std::int64_t n = lo; n < hi; ++n) {
        double v = d[n] * x[n] + cx[n] * x[n + 1] + cx[n - 1] * x[n - 1] +
                   cy[n] * x[n + im] + cy[n - im] * x[n - im] + cz[n] * x[n + imjm] +
                   cz[n - imjm] * x[n - imjm];
        y[n] = v;
        sxy[n & 3] += x[n] * v;
        syy[n & 3] += v * v;
    }
    for (std::int64_t n = hi; n < n_all; ++n) {
        double v = MatvecRow(a, x, n);
        y[n] = v;
        sxy[n & 3] += x[n] * v;
        syy[n & 3] += v * v;
    }
    if (xy) *xy = (sxy[0] + sxy[1]) + (sxy[2] + sxy[3]);
    if (yy) *yy = (syy[0] + syy[1]) + (syy[2] + syy[3]);
}

// Forward substitution z = (P + L)^-1 r scaled by the pivots, with r -= alpha q folded in
// when q is given (q and z may be the same vector: each q(n) is read before z(n) is
// written, and z only reads lower indices).
void ForwardSweep(const StencilView& a, const double* pivots, double* r, const double* q,
                  double alpha, double* z) {
    const std::int64_t n_all = a.ncell;
    const std::int64_t im = a.im, imjm = a.imjm;
    const std::int64_t lo = std::min(imjm, n_all);
    const double* cx = a.cx;
    const double* cy = a.cy;
    const double* cz = a.cz;
    for (std::int64_t n = 0; n < lo; ++n) {
        if (q) r[n] -= alpha * q[n];
        double t = r[n];
        if (n >= 1) t -= cx[n - 1] * z[n - 1];
        if (n >= im) t -= cy[n - im] * z[n - im];
        z[n] = pivots[n] * t;
    }
    if (q) {
        for (std::int64_t n = lo; n < n_all; ++n) {
            r[n] -= alpha * q[n];
            z[n] = pivots[n] * (r[n] - cx[n - 1] * z[n - 1] - cy[n - im] * z[n - im] -
                                cz[n - imjm] * z[n - imjm]);
        }
    } else {
        for (std::int64_t n = lo; n < n_all; ++n) {
            z[n] = pivots[n] * (r[n] - cx[n - 1] * z[n - 1] - cy[n - im] * z[n - im] -
                                cz[n - imjm] * z[n - imjm]);
        }
    }
}

void BackwardSweep(const StencilView& a, const double* pivots, double* z) {
    const std::int64_t n_all = a.ncell;
    const std::int64_t im = a.im, imjm = a.imjm;
    const std::int64_t split = std::max<std::int64_t>(0, n_all - imjm);
    const double* cx = a.cx;
    const double* cy = a.cy;
    const double* cz = a.cz;
    for (std::int64_t n = n_all - 2; n >= split; --n) {
        double t = cx[n] * z[n + 1];
        if (n + im < n_all) t += cy[n] * z[n + im];
        if (n + imjm < n_all) t += cz[n] * z[n + imjm];
        z[n] -= pivots[n] * t;
    }
    for (std::int64_t n = std::min(split, n_all - 1) - 1; n >= 0; --n) {
        z[n] -= pivots[n] * (cx[n] * z[n + 1] + cy[n] * z[n + im] + cz[n] * z[n + imjm]);
    }
}

// The sweeps are recurrences along x: each cell waits for its neighbour's result. Lines
// of a plane are independent apart from the y coupling, so kLines of them run together,
// each one cell behind the line before it; every cell still sees exactly the same
// operands in the same order. The x coupling across a line end is zero in an assembled
// matrix and is left out there; NoWrapCoupling checks that before these are used.
constexpr int kLines = 4;

// The interleaved lines are several streams per array, more than the hardware prefetcher
// follows, so each step fetches a slice of the next group of lines ahead of time.
inline void PrefetchSlice(const double* p, std::int64_t from, std::int64_t end) {
    if (from < end) __builtin_prefetch(p + from, 0, 3);
}

bool NoWrapCoupling(const StencilView& a) {
    for (std::int64_t n = a.im - 1; n < a.ncell; n += a.im) {
        if (a.cx[n] != 0.0) return false;
    }
    return true;
}

void ForwardSweepLines(const StencilView& a, const double* pivots, double* r, const double* q,
                       double alpha, double* z) {
    const std::int64_t im = a.im, imjm = a.imjm;
    const std::int64_t planes = a.ncell / imjm;
    const std::int64_t lines_per_plane = imjm / im;
    const double* cx = a.cx;
    const double* cy = a.cy;
    const double* cz = a.cz;
    for (std::int64_t plane = 0; plane < planes; ++plane) {
        for (std::int64_t first = 0; first < lines_per_plane; first += kLines) {
            const int count =
                static_cast<int>(std::min<std::int64_t>(kLines, lines_per_plane - first));
            const std::int64_t base = (plane * lines_per_plane + first) * im;
            for (std::int64_t step = 0; step < im + count - 1; ++step) {
                const std::int64_t ahead = base + kLines * im + step * kLines;
                PrefetchSlice(r, ahead, a.ncell);
                if (q) PrefetchSlice(q, ahead, a.ncell);
                PrefetchSlice(pivots, ahead, a.ncell);
                PrefetchSlice(cx, ahead, a.ncell);
                PrefetchSlice(cy, ahead, a.ncell);
                PrefetchSlice(cz, ahead - imjm, a.ncell);
                PrefetchSlice(z, ahead - imjm, a.ncell);
                for (int l = 0; l < count; ++l) {
                    const std::int64_t i = step - l;
                    if (i < 0 || i >= im) continue;
                    const std::int64_t n = base + l * im + i;
                    if (q) r[n] -= alpha * q[n];
                    double t = r[n];
                    if (i > 0) t -= cx[n - 1] * z[n - 1];
                    if (n >= im) t -= cy[n - im] * z[n - im];
                    if (n >= imjm) t -= cz[n - imjm] * z[n - imjm];
                    z[n] = pivots[n] * t;
                }
            }
        }
    }
}

void BackwardSweepLines(const StencilView& a, const double* pivots, double* z) {
    const std::int64_t n_all = a.ncell;
    const std::int64_t im = a.im, imjm = a.imjm;
    const std::int64_t planes = n_all / imjm;
    const std::int64_t lines_per_plane = imjm / im;
    const double* cx = a.cx;
    const double* cy = a.cy;
    const double* cz = a.cz;
    for (std::int64_t plane = planes - 1; plane >= 0; --plane) {
        // Line `top - l` of a group runs l cells behind line `top`.
        for (std::int64_t top = lines_per_plane - 1; top >= 0; top -= kLines) {
            const int count = static_cast<int>(std::min<std::int64_t>(kLines, top + 1));
            const std::int64_t base = (plane * lines_per_plane + top) * im;
            for (std::int64_t step = 0; step < im + count - 1; ++step) {
                const std::int64_t ahead = base + im - kLines * im - (step + 1) * kLines;
                if (ahead >= 0) {
                    PrefetchSlice(pivots, ahead, n_all);
                    PrefetchSlice(cx, ahead, n_all);
                    PrefetchSlice(cy, ahead, n_all);
                    PrefetchSlice(cz, ahead, n_all);
                    PrefetchSlice(z, ahead, n_all);
                    PrefetchSlice(z, ahead + imjm, n_all);
                }
                for (int l = 0; l < count; ++l) {
                    const std::int64_t i = im - 1 - (step - l);
                    if (i < 0 || i >= im) continue;
                    const std::int64_t n = base - l * im + i;
                    if (n >= n_all - 1) continue;
                    double t = i < im - 1 ? cx[n] * z[n + 1] : 0.0;
                    if (n + im < n_all) t += cy[n] * z[n + im];
                    if (n + imjm < n_all) t += cz[n] * z[n + imjm];
                    z[n] -= pivots[n] * t;
                }
            }
        }
    }
}

}  // namespace

void StencilMatvec(const StencilView& a, const double* x, double* y) {
    MatvecWithDots(a, x, y, nullptr, nullptr);
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
    if (NoWrapCoupling(a)) {
        ForwardSweepLines(a, pivots, const_cast<double*>(r), nullptr, 0.0, z);
        BackwardSweepLines(a, pivots, z);
    } else {
        ForwardSweep(a, pivots, const_cast<double*>(r), nullptr, 0.0, z);
        BackwardSweep(a, pivots, z);
    }
}

SolveResult IterativeSolve(const StencilView& a, const double* b, double* x, int nitr,
                           double eitr, SolverWork& work) {
    SolveResult result;
    const std::int64_t n_all = a.ncell;
    const double bb = VectorDot(b, b, n_all);
    if (!(bb > 0.0)) {
        result.flag = kZeroRightHandSide;
        return result;
    }
    work.pivots.resize(n_all);
    work.r.resize(n_all);
    work.p.resize(n_all);
    work.qz.resize(n_all);
    double* d = work.pivots.data();
    double* r = work.r.data();
    double* p = work.p.data();
    double* qz = work.qz.data();

    const bool by_lines = NoWrapCoupling(a);
    FactorPreconditioner(a, d);
    StencilMatvec(a, x, qz);
    for (std::int64_t n = 0; n < n_all; ++n) r[n] = b[n] - qz[n];
    ApplyPreconditioner(a, d, r, p);
    double rho = VectorDot(r, p, n_all);

    for (int k = 1; k <= nitr; ++k) {
        result.iterations = k;
        double pi = 0.0, kappa = 0.0;
        MatvecWithDots(a, p, qz, &pi, &kappa);
        const double alpha = rho / (pi + kGuard);
        for (std::int64_t n = 0; n < n_all; ++n) x[n] += alpha * p[n];
        result.error = std::sqrt(alpha * alpha * kappa / bb);
        if (result.error <= eitr) {
            result.flag = kConverged;
            return result;
        }
        if (by_lines) {
            ForwardSweepLines(a, d, r, qz, alpha, qz);
            BackwardSweepLines(a, d, qz);
        } else {
            ForwardSweep(a, d, r, qz, alpha, qz);
            BackwardSweep(a, d, qz);
        }
        const double rho_next = VectorDot(r, qz, n_all);
        const double beta = rho_next / (rho + kGuard);
        for (std::int64_t n = 0; n < n_all; ++n) p[n] = qz[n] + beta * p[n];
        rho = rho_next;
    }
    if (nitr < 1) result.iterations = 0;
    return result;
}

}  // namespace resist_model
