#include "solver/network_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "solver/list_format.h"
#include "solver/resist_model.h"

namespace resist_model {

namespace {

// A star coefficient this far below the junction term means the node has no junction link;
// a refined conductance this far below the strongest link, that the link carries no heat.
constexpr double kRemovalRatio = 100000.0;
// Weight of a removed node's equation, which pins its coefficient to 0.
constexpr double kRemovedWeight = 1e10;
// Conductances above this are not looked at when searching for the one to drop.
constexpr double kMinimumSearchStart = 1e10;
// The elimination's pivot guard is kept at single precision, as the fit was tuned with it.
const double kPivotGuard = static_cast<double>(1e-20f);

void AddLine(std::string& list, const std::string& line) {
    list += line;
    list += '\n';
}

std::string LinkName(const ModelState& s, int link) {
    const NodeLink& l = s.links[link - 1];
    return TrimmedName(s.node_names[l.first]) + "-" + TrimmedName(s.node_names[l.second]);
}

std::string ValueLine(double r, const std::string& name) {
    if (r >= 0.0) return "   " + FormatReal(r) + "  " + name;
    return "      Adiabatic  " + name;
}

bool AllFinite(const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

// Per case m (0-based) and node n: the values the fit reads.
struct CaseTable {
    int ncase = 0;
    std::vector<double> tj;                 // per case
    std::vector<std::vector<double>> t, q;  // [n][m], node 0 unused
    // [m][n]: what node n gives off per kelvin in case m, its coefficient times the whole
    // package's area of the node (W/K); node 0 unused
    std::vector<std::vector<double>> cooling;
};

CaseTable Tabulate(const ModelState& s, const std::vector<StageValues>& cases) {
    CaseTable c;
    c.ncase = static_cast<int>(cases.size());
    c.t.assign(s.nsurf + 1, std::vector<double>(c.ncase, 0.0));
    c.q = c.t;
    c.cooling.assign(c.ncase, std::vector<double>(s.nsurf + 1, 0.0));
    for (int m = 0; m < c.ncase; ++m) {
        c.tj.push_back(cases[m].junction_max);
        for (int n = 1; n <= s.nsurf; ++n) {
            c.cooling[m][n] = s.cases[m][s.node_class[n]] * s.ione_nth * cases.front().area[n];
        }
        for (int n = 1; n <= s.nsurf; ++n) {
            c.t[n][m] = cases[m].mean_temperature[n];
            c.q[n][m] = cases[m].heat_flow[n];
        }
    }
    return c;
}

// A node without a counting face has no temperature of its own.
std::vector<bool> HasFaces(const ModelState& s, const std::vector<StageValues>& cases) {
    std::vector<bool> has_faces(s.nsurf + 1, true);
    for (int n = 1; n <= s.nsurf; ++n) has_faces[n] = cases.front().area[n] != 0.0;
    return has_faces;
}

// The junction star: TJ = (P + sum g_n T_n) / sum g_n is linear in x_0 = P / sum g_n and
// x_n = g_n / sum g_n, which sum to 1. Each case asks w_m . x = 1 with
// w_m = (1, T_1, .., T_N) / TJ; the normal equations of these, with the sum as one more
// row, are solved in the least-squares sense. A node whose coefficient is not clearly
// positive is removed and the star is fitted again without it.
bool FitStar(const ModelState& s, const CaseTable& c, const std::vector<bool>& has_faces,
             FittedNetwork& net) {
    const int nsurf = s.nsurf;
    const int rows = nsurf + 2;
    const int cols = nsurf + 1;
    std::vector<double> a(static_cast<std::size_t>(rows) * cols, 0.0);
    std::vector<double> rhs(rows, 0.0);
    std::vector<double> w(cols);
    for (int m = 0; m < c.ncase; ++m) {
        w[0] = 1.0 / c.tj[m];
        for (int n = 1; n <= nsurf; ++n) w[n] = c.t[n][m] / c.tj[m];
        for (int p = 0; p < cols; ++p) {
            for (int q = 0; q < cols; ++q) a[p * cols + q] += w[p] * w[q];
            rhs[p] += w[p];
        }
    }
    for (int n = 1; n <= nsurf; ++n) a[(rows - 1) * cols + n] = 1.0;
    rhs[rows - 1] = 1.0;

    auto remove = [&](int n) {
        std::fill(a.begin() + n * cols, a.begin() + (n + 1) * cols, 0.0);
        a[n * cols + n] = kRemovedWeight;
        rhs[n] = 0.0;
    };
    // A node without a counting face has no temperature of its own: it would only be
    // fitted to noise, so it is adiabatic from the start.
    std::vector<bool> active(has_faces);
    for (int n = 1; n <= nsurf; ++n) {
        if (!active[n]) remove(n);
    }

    std::vector<double> x;
    for (bool changed = true; changed;) {
        if (!rst_fit_least_squares(rows, cols, a, rhs, x) || !AllFinite(x)) return false;
        changed = false;
        for (int n = 1; n <= nsurf; ++n) {
            if (!active[n]) {
                net.resistance[n - 1] = kAdiabaticLink;
            } else if (x[n] <= x[0] / kRemovalRatio) {
                active[n] = false;
                net.resistance[n - 1] = kAdiabaticLink;
                remove(n);
                changed = true;
            } else {
                net.resistance[n - 1] = x[0] / x[n];
            }
        }
    }
    net.rj = x[0];
    for (int n = 1; n <= nsurf; ++n) {
        if (!std::isfinite(net.resistance[n - 1])) return false;
    }
    return true;
}

// The links between surface nodes: at node a in every case, sum_b g_ab (T_b - T_a) equals
// the heat the node gives off less what its junction link brings, fitted in the
// least-squares sense. A fit with a conductance of 0 or less drops the smallest one and
// fits the rest again, one link at a time.
bool FitLinks(const ModelState& s, const CaseTable& c, const std::vector<bool>& has_faces,
              FittedNetwork& net) {
    const int nsurf = s.nsurf;
    const int nlink = static_cast<int>(s.links.size());
    std::vector<std::vector<double>> residual(nsurf + 1);
    for (int n = 1; n <= nsurf; ++n) {
        residual[n] = c.q[n];
        double r = net.resistance[n - 1];
        if (r > 0.0) {
            for (int m = 0; m < c.ncase; ++m) residual[n][m] -= (c.tj[m] - c.t[n][m]) / r;
        }
    }

    // 0: a junction link, kept as the star gave it; -1: adiabatic; 1..nunk: being fitted.
    std::vector<int> unknown(nlink + 1, 0);
    int nunk = 0;
    for (int l = 1; l <= nlink; ++l) {
        const NodeLink& link = s.links[l - 1];
        if (link.first == 0) {
            unknown[l] = net.resistance[l - 1] >= 0.0 ? 0 : -1;
        } else if (!has_faces[link.first] || !has_faces[link.second]) {
            unknown[l] = -1;
            net.resistance[l - 1] = kAdiabaticLink;
        } else {
            unknown[l] = ++nunk;
        }
    }

    while (nunk > 0) {
        std::vector<double> a(static_cast<std::size_t>(nunk) * nunk, 0.0);
        std::vector<double> rhs(nunk, 0.0);
        for (int node = 1; node <= nsurf; ++node) {
            for (int l1 : s.node_links[node]) {
                int u1 = unknown[l1];
                if (u1 <= 0) continue;
                int b1 = rst_link_other_end(s, l1, node);
                for (int l2 : s.node_links[node]) {
                    int u2 = unknown[l2];
                    if (u2 <= 0) continue;
                    int b2 = rst_link_other_end(s, l2, node);
                    double sum = 0.0;
                    for (int m = 0; m < c.ncase; ++m) {
                        sum += (c.t[b1][m] - c.t[node][m]) * (c.t[b2][m] - c.t[node][m]);
                    }
                    a[(u1 - 1) * nunk + (u2 - 1)] += sum;
                }
                double sum = 0.0;
                for (int m = 0; m < c.ncase; ++m) {
                    sum += (c.t[b1][m] - c.t[node][m]) * residual[node][m];
                }
                rhs[u1 - 1] += sum;
            }
        }
        std::vector<double> g;
        if (!rst_fit_solve(nunk, a, rhs, g) || !AllFinite(g)) return false;

        double smallest = kMinimumSearchStart;
        int smallest_link = 0;
        for (int l = 1; l <= nlink; ++l) {
            if (unknown[l] > 0 && g[unknown[l] - 1] < smallest) {
                smallest = g[unknown[l] - 1];
                smallest_link = l;
            }
        }
        if (smallest > 0.0) {
            for (int l = 1; l <= nlink; ++l) {
                if (unknown[l] <= 0) continue;
                net.resistance[l - 1] = 1.0 / g[unknown[l] - 1];
                if (!std::isfinite(net.resistance[l - 1])) return false;
            }
            break;
        }
        unknown[smallest_link] = -1;
        net.resistance[smallest_link - 1] = kAdiabaticLink;
        nunk = 0;
        for (int l = 1; l <= nlink; ++l) {
            if (unknown[l] > 0) unknown[l] = ++nunk;
        }
    }
    return true;
}

// The inverse of the n x n matrix a (row by row) by Gauss-Jordan elimination with partial
// pivoting; false when a pivot is too small or not a number.
bool Invert(int n, std::vector<double> a, std::vector<double>& inverse) {
    inverse.assign(static_cast<std::size_t>(n) * n, 0.0);
    for (int i = 0; i < n; ++i) inverse[i * n + i] = 1.0;
    for (int k = 0; k < n; ++k) {
        int pivot_row = k;
        for (int i = k + 1; i < n; ++i) {
            if (std::abs(a[i * n + k]) > std::abs(a[pivot_row * n + k])) pivot_row = i;
        }
        if (pivot_row != k) {
            for (int j = 0; j < n; ++j) {
                std::swap(a[k * n + j], a[pivot_row * n + j]);
                std::swap(inverse[k * n + j], inverse[pivot_row * n + j]);
            }
        }
        const double pivot = a[k * n + k];
        if (!(std::abs(pivot) >= kPivotGuard)) return false;
        for (int j = 0; j < n; ++j) {
            a[k * n + j] /= pivot;
            inverse[k * n + j] /= pivot;
        }
        for (int i = 0; i < n; ++i) {
            if (i == k) continue;
            const double factor = a[i * n + k];
            if (factor == 0.0) continue;
            for (int j = 0; j < n; ++j) {
                a[i * n + j] -= factor * a[k * n + j];
                inverse[i * n + j] -= factor * inverse[k * n + j];
            }
        }
    }
    return true;
}

// The network in one case: 1 W into J, every surface node cooled to 0 through its own
// conductance, the links' conductances g (W/K, one per link). Fills the node temperatures
// and the inverse of the conductance matrix; false when the matrix is singular (a part of
// the network that nothing cools).
bool SolveCase(const ModelState& s, const std::vector<double>& cooling,
               const std::vector<double>& g, std::vector<double>& t, std::vector<double>& inverse) {
    const int n = s.nsurf + 1;
    std::vector<double> k(static_cast<std::size_t>(n) * n, 0.0);
    for (int p = 1; p < n; ++p) k[p * n + p] = cooling[p];
    for (std::size_t l = 0; l < s.links.size(); ++l) {
        if (g[l] <= 0.0) continue;
        const int a = s.links[l].first;
        const int b = s.links[l].second;
        k[a * n + a] += g[l];
        k[b * n + b] += g[l];
        k[a * n + b] -= g[l];
        k[b * n + a] -= g[l];
    }
    // A node that neither links nor cools keeps no temperature: it stays at 0.
    for (int p = 1; p < n; ++p) {
        if (k[p * n + p] == 0.0) k[p * n + p] = 1.0;
    }
    if (!Invert(n, k, inverse)) return false;
    t.assign(n, 0.0);
    for (int p = 0; p < n; ++p) t[p] = inverse[p * n];
    return AllFinite(t);
}

double LinkConductance(double r) { return r > 0.0 ? 1.0 / r : 0.0; }

}  // namespace

JunctionError NetworkJunctionError(const ModelState& s, const std::vector<StageValues>& cases,
                                   const std::vector<double>& resistance) {
    JunctionError e;
    if (cases.empty() || s.nsurf < 1) return e;
    const CaseTable c = Tabulate(s, cases);
    std::vector<double> g(resistance.size());
    std::transform(resistance.begin(), resistance.end(), g.begin(), LinkConductance);
    double sum = 0.0;
    std::vector<double> t, inverse;
    for (int m = 0; m < c.ncase; ++m) {
        double error = HUGE_VAL;
        if (SolveCase(s, c.cooling[m], g, t, inverse)) error = 100.0 * (t[0] - c.tj[m]) / c.tj[m];
        error = std::abs(error);
        if (!std::isfinite(error)) error = HUGE_VAL;
        sum += error * error;
        if (e.worst_case == 0 || error > e.worst) {
            e.worst = error;
            e.worst_case = m + 1;
        }
    }
    e.rms = std::sqrt(sum / c.ncase);
    return e;
}

namespace {

// The joint refinement of every link: the conductances g >= 0 that bring the network's
// junction temperature in every case closest to the detailed model's, and its surface
// nodes' temperatures after it, in the least-squares sense. Residuals are temperature
// differences relative to the case's junction rise. A node's heat flow in a case is its
// cooling times its temperature, in the network as in the detailed model, so matching the
// temperatures matches the heat flows too.
class JointFit {
public:
    JointFit(const ModelState& s, const CaseTable& c, const std::vector<bool>& has_faces)
        : s_(s), c_(c) {
        for (std::size_t l = 0; l < s.links.size(); ++l) {
            const NodeLink& link = s.links[l];
            if ((link.first == 0 || has_faces[link.first]) && has_faces[link.second]) {
                free_.push_back(static_cast<int>(l));
            }
        }
        for (int n = 1; n <= s.nsurf; ++n) {
            if (has_faces[n]) nodes_.push_back(n);
        }
    }

    // Links that may carry heat: both ends have faces.
    const std::vector<int>& FreeLinks() const { return free_; }

    // The residuals at g (one per link), and their derivatives by the free links (row by
    // row); false when a case's network is singular.
    bool Evaluate(const std::vector<double>& g, std::vector<double>& r,
                  std::vector<double>& jacobian) const {
        const int n = s_.nsurf + 1;
        const int cols = static_cast<int>(free_.size());
        r.clear();
        jacobian.clear();
        std::vector<double> t, inverse;
        std::vector<double> dt(static_cast<std::size_t>(n) * cols);
        for (int m = 0; m < c_.ncase; ++m) {
            if (!SolveCase(s_, c_.cooling[m], g, t, inverse)) return false;
            // K T = e_J and dK/dg_l = (e_a - e_b)(e_a - e_b)^T for link l = (a, b), so
            // dT/dg_l = -(T_a - T_b) (K^-1 e_a - K^-1 e_b).
            for (int u = 0; u < cols; ++u) {
                const NodeLink& link = s_.links[free_[u]];
                const double drop = t[link.first] - t[link.second];
                for (int p = 0; p < n; ++p) {
                    dt[p * cols + u] =
                        -drop * (inverse[p * n + link.first] - inverse[p * n + link.second]);
                }
            }
            const double scale = 1.0 / c_.tj[m];
            auto row = [&](int node, double detailed, double weight) {
                r.push_back(weight * scale * (t[node] - detailed));
                for (int u = 0; u < cols; ++u) {
                    jacobian.push_back(weight * scale * dt[node * cols + u]);
                }
            };
            row(0, c_.tj[m], 1.0);
            for (int node : nodes_) row(node, c_.t[node][m], kNodeWeight);
        }
        return AllFinite(r) && AllFinite(jacobian);
    }

private:
    // The junction comes first: a node's temperature counts this much of the junction's.
    // Lower weights fit the cases' junctions closer and higher ones follow boundary cases
    // outside the fitting set (the sides cooled most) a little better, at a cost on all
    // others.
    static constexpr double kNodeWeight = 0.3;

    const ModelState& s_;
    const CaseTable& c_;
    std::vector<int> free_;
    std::vector<int> nodes_;  // surface nodes with faces
};

double SumOfSquares(const std::vector<double>& r) {
    double sum = 0.0;
    for (double v : r) sum += v * v;
    return sum;
}

// Levenberg-Marquardt steps projected onto g >= 0: a link at 0 whose gradient points below
// 0 stays out of the step, the others take the damped Gauss-Newton step, cut at 0. Stops
// when the sum of squares falls by no more than a relative kConverged, when no damping
// finds a lower one, or after kMaxSteps steps; g holds the lowest point found. Everything
// runs in one fixed order, so the same cases give the same links on every run.
void RefineJointly(const JointFit& fit, std::vector<double>& g) {
    constexpr int kMaxSteps = 500;
    constexpr double kConverged = 1e-12;
    constexpr double kMaxDamping = 1e12;
    const std::vector<int>& free = fit.FreeLinks();
    const int cols = static_cast<int>(free.size());
    std::vector<double> r, jac;
    if (cols == 0 || !fit.Evaluate(g, r, jac)) return;
    const int rows = static_cast<int>(r.size());
    double cost = SumOfSquares(r);
    double damping = 1e-3;
    for (int step_count = 0; step_count < kMaxSteps; ++step_count) {
        std::vector<double> gradient(cols, 0.0);
        std::vector<double> normal(static_cast<std::size_t>(cols) * cols, 0.0);
        for (int i = 0; i < rows; ++i) {
            const double* row = &jac[static_cast<std::size_t>(i) * cols];
            for (int u = 0; u < cols; ++u) {
                gradient[u] += row[u] * r[i];
                for (int v = 0; v < cols; ++v) normal[u * cols + v] += row[u] * row[v];
            }
        }
        std::vector<int> moving;
        for (int u = 0; u < cols; ++u) {
            if (!(g[free[u]] <= 0.0 && gradient[u] >= 0.0)) moving.push_back(u);
        }
        const int k = static_cast<int>(moving.size());
        if (k == 0) return;
        double largest_diagonal = 0.0;
        for (int u : moving) largest_diagonal = std::max(largest_diagonal, normal[u * cols + u]);

        // The damped step on the moving links: the new point, or false when the system
        // cannot be solved or its point is no network.
        auto trial_at = [&](std::vector<double>& trial) {
            std::vector<double> a(static_cast<std::size_t>(k) * k), b(k), step;
            for (int i = 0; i < k; ++i) {
                const int u = moving[i];
                for (int j = 0; j < k; ++j) a[i * k + j] = normal[u * cols + moving[j]];
                // Marquardt's scaling keeps the step independent of each link's units; a
                // link the residuals do not see yet still gets a little damping.
                a[i * k + i] += damping * std::max(normal[u * cols + u], 1e-12 * largest_diagonal);
                b[i] = -gradient[u];
            }
            if (!rst_fit_solve(k, a, b, step) || !AllFinite(step)) return false;
            trial = g;
            for (int i = 0; i < k; ++i) {
                const int l = free[moving[i]];
                trial[l] = std::max(0.0, g[l] + step[i]);
            }
            return true;
        };
        for (;;) {
            std::vector<double> trial, trial_r, trial_jac;
            if (trial_at(trial) && fit.Evaluate(trial, trial_r, trial_jac)) {
                const double trial_cost = SumOfSquares(trial_r);
                if (trial_cost < cost) {
                    const bool converged = cost - trial_cost <= kConverged * cost;
                    g = std::move(trial);
                    r = std::move(trial_r);
                    jac = std::move(trial_jac);
                    cost = trial_cost;
                    if (converged) return;
                    damping = std::max(damping / 3.0, 1e-9);
                    break;
                }
            }
            damping *= 4.0;
            if (damping >= kMaxDamping) return;
        }
    }
}

void StarLines(const ModelState& s, const FittedNetwork& net, std::string& list) {
    AddLine(list, "  OBJECTIVE FUNCTION -1-");
    AddLine(list, "     RESISTANCE");
    AddLine(list, "   " + FormatReal(net.rj) + "  RJ");
    for (int n = 1; n <= s.nsurf; ++n) {
        AddLine(list, ValueLine(net.resistance[n - 1], LinkName(s, n)));
    }
}

void LinkLines(const ModelState& s, const FittedNetwork& net, std::string& list) {
    AddLine(list, "  OBJECTIVE FUNCTION -2-");
    AddLine(list, "     RESISTANCE");
    for (int l = 1; l <= static_cast<int>(s.links.size()); ++l) {
        AddLine(list, ValueLine(net.resistance[l - 1], LinkName(s, l)));
    }
}

// The network as the circuit tools read it: the used nodes with their areas and case-1
// coefficients, then the links that carry heat.
void CircuitImage(const ModelState& s, const std::vector<StageValues>& cases,
                  const FittedNetwork& net, std::string& list) {
    const int nlink = static_cast<int>(s.links.size());
    std::vector<bool> used(s.nsurf + 1, false);
    int links = 0;
    for (int l = 1; l <= nlink; ++l) {
        if (net.resistance[l - 1] < 0.0) continue;
        used[s.links[l - 1].first] = used[s.links[l - 1].second] = true;
        ++links;
    }
    if (links == 0) return;
    int nodes = 0;
    int width = 0;
    for (int n = 0; n <= s.nsurf; ++n) {
        if (!used[n]) continue;
        ++nodes;
        width = std::max(width, static_cast<int>(TrimmedName(s.node_names[n]).size()));
    }

    const std::string indent(8, ' ');
    AddLine(list, " THERMAL CIRCUIT MODEL IMAGE");
    AddLine(list, FormatInt(nodes, 9) + " NODES");
    for (int n = 0; n <= s.nsurf; ++n) {
        if (!used[n]) continue;
        AddLine(list, indent + TrimmedName(s.node_names[n]));
        if (n == 0) {
            AddLine(list,
                    indent + FormatReal(0.0) + FormatReal(1.0) + FormatReal(0.0) + FormatReal(0.0));
            continue;
        }
        double area = s.ione_nth * cases.front().area[n];
        double h = s.cases.front()[s.node_class[n]];
        AddLine(list,
                indent + FormatReal(0.0) + FormatReal(0.0) + FormatReal(0.0) + FormatReal(area));
        AddLine(list, indent + FormatReal(0.0) + FormatReal(h));
    }
    AddLine(list, FormatInt(links, 9) + " LINKS");
    for (int l = 1; l <= nlink; ++l) {
        if (net.resistance[l - 1] < 0.0) continue;
        const NodeLink& link = s.links[l - 1];
        AddLine(list, indent + PadRight(TrimmedName(s.node_names[link.first]), width) + "  " +
                          PadRight(TrimmedName(s.node_names[link.second]), width) + "  " +
                          FormatReal(net.resistance[l - 1]));
    }
}

}  // namespace

int rst_link_other_end(const ModelState& s, int link, int node) {
    const NodeLink& l = s.links[link - 1];
    return l.first == node ? l.second : l.first;
}

bool rst_fit_solve(int n, std::vector<double>& a, std::vector<double>& b, std::vector<double>& x) {
    auto at = [&](int row, int col) -> double& {
        return a[static_cast<std::size_t>(row) * n + col];
    };
    for (int k = 0; k < n; ++k) {
        int pivot_row = k;
        double largest = std::abs(at(k, k));
        for (int i = k + 1; i < n; ++i) {
            if (std::abs(at(i, k)) > largest) {
                largest = std::abs(at(i, k));
                pivot_row = i;
            }
        }
        if (pivot_row != k) {
            for (int j = 0; j < n; ++j) std::swap(at(k, j), at(pivot_row, j));
            std::swap(b[k], b[pivot_row]);
        }
        const double pivot = at(k, k);
        // Written so that a pivot that is not a number fails too.
        if (!(std::abs(pivot) >= kPivotGuard)) return false;
        for (int j = 0; j < n; ++j) at(k, j) /= pivot;
        b[k] /= pivot;
        for (int i = 0; i < n; ++i) {
            if (i == k) continue;
            const double factor = at(i, k);
            for (int j = 0; j < n; ++j) at(i, j) -= factor * at(k, j);
            b[i] -= factor * b[k];
        }
    }
    x.assign(b.begin(), b.begin() + n);
    return true;
}

bool rst_fit_least_squares(int rows, int n, const std::vector<double>& a,
                           const std::vector<double>& b, std::vector<double>& x) {
    std::vector<double> ata(static_cast<std::size_t>(n) * n, 0.0);
    std::vector<double> atb(n, 0.0);
    for (int p = 0; p < n; ++p) {
        for (int q = 0; q < n; ++q) {
            double sum = 0.0;
            for (int i = 0; i < rows; ++i) sum += a[i * n + p] * a[i * n + q];
            ata[p * n + q] = sum;
        }
        double sum = 0.0;
        for (int i = 0; i < rows; ++i) sum += a[i * n + p] * b[i];
        atb[p] = sum;
    }
    return rst_fit_solve(n, ata, atb, x);
}

std::vector<double> rst_refine_network(const ModelState& s, const std::vector<StageValues>& cases,
                                       const std::vector<double>& resistance) {
    if (cases.empty() || s.nsurf < 1) return resistance;
    const CaseTable table = Tabulate(s, cases);
    std::vector<double> g(resistance.size());
    std::transform(resistance.begin(), resistance.end(), g.begin(), LinkConductance);
    RefineJointly(JointFit(s, table, HasFaces(s, cases)), g);
    // A conductance that tends to 0 reaches it only in the limit: one this far below the
    // strongest link carries no heat worth a link.
    const double largest = *std::max_element(g.begin(), g.end());
    std::vector<double> refined(g.size(), kAdiabaticLink);
    for (std::size_t l = 0; l < g.size(); ++l) {
        if (g[l] > largest / kRemovalRatio) refined[l] = 1.0 / g[l];
    }
    return refined;
}

int rst_fit_network(const ModelState& s, const std::vector<StageValues>& cases,
                    std::vector<NamedResistance>& results, std::string& list,
                    FittedNetwork* network) {
    results.clear();
    if (cases.empty() || s.nsurf < 1) return kStatusFitFailed;
    const CaseTable table = Tabulate(s, cases);
    const std::vector<bool> has_faces = HasFaces(s, cases);

    FittedNetwork net;
    net.resistance.assign(s.links.size(), kAdiabaticLink);
    if (!FitStar(s, table, has_faces, net)) return kStatusFitFailed;
    StarLines(s, net, list);
    if (!FitLinks(s, table, has_faces, net)) return kStatusFitFailed;

    net.two_step = net.resistance;
    net.error = NetworkJunctionError(s, cases, net.resistance);
    if (net.error.worst > kRefineTolerance) {
        std::vector<double> refined = rst_refine_network(s, cases, net.resistance);
        const JunctionError error = NetworkJunctionError(s, cases, refined);
        if (error.worst < net.error.worst) {
            net.resistance = std::move(refined);
            net.error = error;
        }
    }
    LinkLines(s, net, list);
    CircuitImage(s, cases, net, list);
    AddLine(list, "  JUNCTION ERROR(%) WORST" + FormatReal(net.error.worst) + " CASE" +
                      FormatInt(net.error.worst_case, 5) + " RMS" + FormatReal(net.error.rms));

    for (int l = 1; l <= static_cast<int>(s.links.size()); ++l) {
        if (net.resistance[l - 1] >= 0.0) {
            results.push_back({PaddedName(LinkName(s, l)), net.resistance[l - 1]});
        }
    }
    if (network) *network = net;
    return kStatusOk;
}

}  // namespace resist_model
