// The DELPHI network fit fed with the cases of known resistor networks, solved exactly
// here: the links present must come back, the absent ones must drop out or carry no heat.
#include "solver/network_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "solver/read_input.h"
#include "solver/resist_model.h"

namespace {

using namespace resist_model;

// A resistor network: junction J joined to surface nodes by star conductances (0: no
// link) and node-to-node links, every surface node cooled to 0 in each case through its
// class's coefficient (by its first letter) times its area. Conductances in W/K.
struct Network {
    std::vector<std::string> nodes;               // surface nodes 1..N
    std::vector<double> star;                     // per surface node
    std::map<std::pair<int, int>, double> links;  // 1-based node pairs, smaller first
    std::vector<BoundaryCase> cases;              // TOP, BOTTOM, LEAD, SIDE in W/(m^2 K)
    std::vector<bool> without_faces;              // nodes the model gives no surface
};

constexpr int kQuarters = 4;

// The area of node p's faces in the modelled quarter.
double AreaOf(int p) { return 0.25e-6 * p; }

int ClassOf(const std::string& node) {
    switch (node[0]) {
        case 'T': return kTop;
        case 'B': return kBottom;
        case 'L': return kLead;
        default: return kSide;
    }
}

// Dense elimination for the network's node equations, independent of the fit's own.
std::vector<double> SolveDense(std::vector<std::vector<double>> a, std::vector<double> b) {
    const int n = static_cast<int>(b.size());
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[p][k])) p = i;
        std::swap(a[k], a[p]);
        std::swap(b[k], b[p]);
        for (int i = k + 1; i < n; ++i) {
            double f = a[i][k] / a[k][k];
            for (int j = k; j < n; ++j) a[i][j] -= f * a[k][j];
            b[i] -= f * b[k];
        }
    }
    std::vector<double> x(n);
    for (int k = n - 1; k >= 0; --k) {
        double s = b[k];
        for (int j = k + 1; j < n; ++j) s -= a[k][j] * x[j];
        x[k] = s / a[k][k];
    }
    return x;
}

double Link(const Network& net, int a, int b) {
    if (a > b) std::swap(a, b);
    if (a == 0) return net.star[b - 1];
    auto it = net.links.find({a, b});
    return it == net.links.end() ? 0.0 : it->second;
}

// The node table and link tables as the reader builds them, for the network's nodes.
ModelState StateOf(const Network& net) {
    ModelState s;
    s.imdl_type = kDelphi;
    s.ione_nth = kQuarters;
    s.regions.push_back({PaddedName("J"), {}});
    s.node_names.push_back(PaddedName("J"));
    for (const std::string& name : net.nodes) {
        s.regions.push_back({PaddedName(name), {}});
        s.node_names.push_back(PaddedName(name));
    }
    s.nsurf = static_cast<int>(net.nodes.size());
    s.cases = net.cases;
    EXPECT_TRUE(BuildDelphiTables(s));
    return s;
}

// Each case with 1 W into J: junction and node temperatures, and the heat each node gives
// off, as the stages would report them.
std::vector<StageValues> CasesOf(const Network& net) {
    const int n = static_cast<int>(net.nodes.size());
    std::vector<StageValues> cases;
    for (const BoundaryCase& coefficients : net.cases) {
        std::vector<double> h(n);
        for (int p = 1; p <= n; ++p) {
            h[p - 1] = coefficients[ClassOf(net.nodes[p - 1])] * kQuarters * AreaOf(p);
        }
        std::vector<std::vector<double>> a(n + 1, std::vector<double>(n + 1, 0.0));
        std::vector<double> b(n + 1, 0.0);
        b[0] = 1.0;
        for (int p = 0; p <= n; ++p) {
            if (p > 0) a[p][p] += h[p - 1];
            for (int q = 0; q <= n; ++q) {
                if (q == p) continue;
                double g = Link(net, p, q);
                a[p][p] += g;
                a[p][q] -= g;
            }
        }
        std::vector<double> t = SolveDense(a, b);
        StageValues v;
        v.junction_max = t[0];
        v.area.assign(n + 1, 0.0);
        v.mean_temperature.assign(n + 1, 0.0);
        v.heat_flow.assign(n + 1, 0.0);
        for (int p = 1; p <= n; ++p) {
            if (!net.without_faces.empty() && net.without_faces[p - 1]) continue;
            v.area[p] = AreaOf(p);
            v.mean_temperature[p] = t[p];
            v.heat_flow[p] = h[p - 1] * t[p];
        }
        cases.push_back(v);
    }
    return cases;
}

// Coefficients spread over two decades, different for every class and case; with the node
// areas they cool a node by 0.05 to 5 W/K.
std::vector<BoundaryCase> Coefficients(int cases) {
    std::vector<BoundaryCase> h(cases);
    for (int c = 0; c < cases; ++c)
        for (int k = 0; k < 4; ++k)
            h[c][k] =
                5e4 * std::pow(10.0, 2.0 * std::fmod(0.37 * (c + 1) * (k + 2) + 0.11 * c, 1.0));
    return h;
}

struct Fit {
    int status = -1;
    std::vector<NamedResistance> results;
    std::string list;
    FittedNetwork network;
    ModelState state;
};

Fit RunFit(const Network& net) {
    Fit fit;
    fit.state = StateOf(net);
    fit.status = rst_fit_network(fit.state, CasesOf(net), fit.results, fit.list, &fit.network);
    return fit;
}

// Every link of the network against the fit: present ones to 1e-6 relative, absent ones
// adiabatic or too large to carry heat.
void ExpectRecovered(const Network& net, const Fit& fit) {
    ASSERT_EQ(fit.status, kStatusOk);
    std::size_t result = 0;
    for (std::size_t l = 0; l < fit.state.links.size(); ++l) {
        const NodeLink& link = fit.state.links[l];
        double g = Link(net, link.first, link.second);
        double r = fit.network.resistance[l];
        std::string name = TrimmedName(fit.state.node_names[link.first]) + "-" +
                           TrimmedName(fit.state.node_names[link.second]);
        if (g > 0.0) {
            EXPECT_NEAR(r, 1.0 / g, 1e-6 / g) << name;
        } else {
            EXPECT_TRUE(r == kAdiabaticLink || r > 1e8) << name << " " << r;
        }
        if (r >= 0.0) {
            ASSERT_LT(result, fit.results.size());
            EXPECT_EQ(fit.results[result].name, PaddedName(name));
            EXPECT_EQ(fit.results[result].value, r);
            ++result;
        }
    }
    EXPECT_EQ(result, fit.results.size());
}

Network StarWithLinks() {
    Network net;
    net.nodes = {"TI", "TO", "B", "L", "S"};
    // L has no junction link: its heat arrives through B only.
    net.star = {2.0, 0.5, 1.0, 0.0, 0.05};
    net.links = {{{1, 2}, 0.8}, {{3, 4}, 3.0}, {{2, 5}, 0.2}};
    net.cases = Coefficients(12);
    return net;
}

TEST(NetworkFitTest, RecoversAStarWithNodeToNodeLinks) {
    Network net = StarWithLinks();
    Fit fit = RunFit(net);
    ExpectRecovered(net, fit);
    // The junction link of L drops out of the star; B-L carries its heat.
    EXPECT_EQ(fit.network.resistance[3], kAdiabaticLink);
    EXPECT_NE(fit.list.find("      Adiabatic  J-L\n"), std::string::npos);
}

// Cases that only a negative conductance reproduces: that link is dropped and the rest
// fitted again, so no resistance below 0 is ever returned.
TEST(NetworkFitTest, ANegativeConductanceIsDroppedAndTheRestRefitted) {
    Network net = StarWithLinks();
    net.links[{1, 5}] = -0.05;  // TI-S
    Fit fit = RunFit(net);
    ASSERT_EQ(fit.status, kStatusOk);
    // Links 1-5 join J to TI..S, then TI-TO, TI-B, TI-L, TI-S, TO-B, TO-L, TO-S, B-L.
    EXPECT_EQ(fit.network.resistance[9 - 1], kAdiabaticLink);
    EXPECT_NE(fit.list.find("      Adiabatic  TI-S\n"), std::string::npos);
    for (const NamedResistance& r : fit.results) EXPECT_GT(r.value, 0.0) << r.name;
    // Without TI-S the refit can no longer be exact, but its strongest links stay.
    EXPECT_GT(fit.network.resistance[1 - 1], 0.0);   // J-TI
    EXPECT_GT(fit.network.resistance[13 - 1], 0.0);  // B-L
}

TEST(NetworkFitTest, AThreeResistorStarIsRecoveredExactly) {
    Network net;
    net.nodes = {"T", "B", "L"};
    net.star = {1.0 / 12.5, 1.0 / 4.0, 1.0 / 30.0};
    net.cases = Coefficients(5);
    Fit fit = RunFit(net);
    ASSERT_EQ(fit.status, kStatusOk);
    ASSERT_GE(fit.results.size(), 3u);
    const double expected[] = {12.5, 4.0, 30.0};
    const char* names[] = {"J-T", "J-B", "J-L"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(fit.results[k].name, PaddedName(names[k]));
        EXPECT_NEAR(fit.results[k].value, expected[k], 1e-9 * expected[k]);
    }
    ExpectRecovered(net, fit);
    // x_0 of the star is the parallel resistance of its three links.
    EXPECT_NEAR(fit.network.rj, 1.0 / (1 / 12.5 + 1 / 4.0 + 1 / 30.0), 1e-12);
}

TEST(NetworkFitTest, OneSurfaceNodeGivesOnlyItsJunctionLink) {
    Network net;
    net.nodes = {"T"};
    net.star = {0.4};
    net.cases = Coefficients(3);
    Fit fit = RunFit(net);
    ASSERT_EQ(fit.status, kStatusOk);
    ASSERT_EQ(fit.results.size(), 1u);
    EXPECT_EQ(fit.results[0].name, PaddedName("J-T"));
    EXPECT_NEAR(fit.results[0].value, 2.5, 1e-12);
}

// A node the model gives no surface has neither temperature nor heat; fitted as it stands
// it would pull the links of its neighbours.
TEST(NetworkFitTest, ANodeWithoutFacesIsAdiabaticBeforeTheFit) {
    Network net = StarWithLinks();
    net.nodes.push_back("S2");
    net.star.push_back(0.0);
    net.without_faces = {false, false, false, false, false, true};
    net.cases = Coefficients(12);
    Fit fit = RunFit(net);
    ASSERT_NO_FATAL_FAILURE(ExpectRecovered(net, fit));
    for (int l : fit.state.node_links[6]) {
        EXPECT_EQ(fit.network.resistance[l - 1], kAdiabaticLink) << l;
    }
    // Not in the circuit image, neither as a node nor at a link's end.
    EXPECT_EQ(fit.list.find("        S2\n"), std::string::npos);
    EXPECT_EQ(fit.list.find("S2  "), std::string::npos);
}

TEST(NetworkFitTest, CasesThatGiveNoFiniteFitAreStatusTwo) {
    Network net = StarWithLinks();
    ModelState s = StateOf(net);
    auto status = [&](const std::vector<StageValues>& cases) {
        std::vector<NamedResistance> results = {{PaddedName("old"), 1.0}};
        std::string list;
        int st = rst_fit_network(s, cases, results, list);
        EXPECT_TRUE(results.empty());
        return st;
    };
    std::vector<StageValues> nan_temperature = CasesOf(net);
    nan_temperature[3].mean_temperature[2] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(status(nan_temperature), kStatusFitFailed);

    std::vector<StageValues> zero_junction = CasesOf(net);
    zero_junction[0].junction_max = 0.0;
    EXPECT_EQ(status(zero_junction), kStatusFitFailed);

    std::vector<StageValues> nan_heat = CasesOf(net);
    nan_heat[1].heat_flow[4] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(status(nan_heat), kStatusFitFailed);

    // Fewer cases than star unknowns leave the normal equations singular.
    std::vector<StageValues> one_case = CasesOf(net);
    one_case.resize(1);
    EXPECT_EQ(status(one_case), kStatusFitFailed);
}

// From a start far from it (every link present at 10 K/W), the joint refinement finds the
// network that made the cases: its links to 1e-6, the links it lacks adiabatic.
TEST(JointRefinementTest, RecoversAKnownNetworkFromAWrongStart) {
    const Network net = StarWithLinks();
    const ModelState s = StateOf(net);
    const std::vector<StageValues> cases = CasesOf(net);
    const std::vector<double> refined =
        rst_refine_network(s, cases, std::vector<double>(s.links.size(), 10.0));
    ASSERT_EQ(refined.size(), s.links.size());
    for (std::size_t l = 0; l < s.links.size(); ++l) {
        const double g = Link(net, s.links[l].first, s.links[l].second);
        if (g > 0.0) {
            EXPECT_NEAR(refined[l], 1.0 / g, 1e-6 / g) << l + 1;
        } else {
            EXPECT_EQ(refined[l], kAdiabaticLink) << l + 1;
        }
    }
    EXPECT_LT(NetworkJunctionError(s, cases, refined).worst, 1e-6);
}

// The estimate is the network's own junction error, solved here independently: the known
// network with its J-TI link twice as resistive, against the cases of the true one.
TEST(JointRefinementTest, TheErrorEstimateIsTheNetworksJunctionErrorOverTheCases) {
    const Network truth = StarWithLinks();
    Network altered = truth;
    altered.star[0] /= 2.0;
    const std::vector<StageValues> cases = CasesOf(truth);
    const std::vector<StageValues> network = CasesOf(altered);
    double worst = 0.0, sum = 0.0;
    int worst_case = 0;
    for (std::size_t c = 0; c < cases.size(); ++c) {
        const double e = 100.0 * std::abs(network[c].junction_max / cases[c].junction_max - 1.0);
        sum += e * e;
        if (e > worst) worst = e, worst_case = static_cast<int>(c) + 1;
    }
    const ModelState s = StateOf(truth);
    std::vector<double> resistance(s.links.size(), kAdiabaticLink);
    for (std::size_t l = 0; l < s.links.size(); ++l) {
        const double g = Link(altered, s.links[l].first, s.links[l].second);
        if (g > 0.0) resistance[l] = 1.0 / g;
    }
    const JunctionError e = NetworkJunctionError(s, cases, resistance);
    ASSERT_GT(worst, 1.0);
    EXPECT_NEAR(e.worst, worst, 1e-9 * worst);
    EXPECT_NEAR(e.rms, std::sqrt(sum / cases.size()), 1e-9 * worst);
    EXPECT_EQ(e.worst_case, worst_case);
}

TEST(LinearSolverTest, GaussJordanPivotsAndRefusesSmallOrUndefinedPivots) {
    // The first column's largest entry is in the last row; the solution is (1, -2, 3).
    std::vector<double> a = {1, 2, 3, 2, -1, 1, 4, 1, -2};
    std::vector<double> b = {6, 7, -4};
    std::vector<double> x;
    ASSERT_TRUE(rst_fit_solve(3, a, b, x));
    EXPECT_NEAR(x[0], 1.0, 1e-14);
    EXPECT_NEAR(x[1], -2.0, 1e-14);
    EXPECT_NEAR(x[2], 3.0, 1e-14);

    std::vector<double> singular = {1, 2, 2, 4};
    std::vector<double> rhs = {1, 2};
    EXPECT_FALSE(rst_fit_solve(2, singular, rhs, x));

    std::vector<double> undefined = {std::numeric_limits<double>::quiet_NaN(), 1, 1, 1};
    rhs = {1, 2};
    EXPECT_FALSE(rst_fit_solve(2, undefined, rhs, x));

    // The guard is 1e-20 at single precision, a little below the double 1e-20.
    std::vector<double> tiny = {1e-20};
    rhs = {1e-20};
    EXPECT_TRUE(rst_fit_solve(1, tiny, rhs, x));
    tiny = {9.9e-21};
    rhs = {1};
    EXPECT_FALSE(rst_fit_solve(1, tiny, rhs, x));
}

TEST(LinearSolverTest, LeastSquaresOfAnOverdeterminedSystem) {
    // A line through (0, 1), (1, 2), (2, 4): least squares gives 5/6 + 3/2 t.
    std::vector<double> a = {1, 0, 1, 1, 1, 2};
    std::vector<double> b = {1, 2, 4};
    std::vector<double> x;
    ASSERT_TRUE(rst_fit_least_squares(3, 2, a, b, x));
    EXPECT_NEAR(x[0], 5.0 / 6.0, 1e-14);
    EXPECT_NEAR(x[1], 1.5, 1e-14);
    // Columns that are the same give no solution.
    std::vector<double> same = {1, 1, 2, 2, 3, 3};
    EXPECT_FALSE(rst_fit_least_squares(3, 2, same, b, x));
}

}  // namespace
