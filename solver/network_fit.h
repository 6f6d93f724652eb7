#pragma once

#include <string>
#include <vector>

#include "solver/model_state.h"
#include "solver/stage_values.h"

namespace resist_model {

// The resistance of a link that the fit dropped as adiabatic.
constexpr double kAdiabaticLink = -1.0;

// How far a network's junction temperature lies from the detailed model's over the cases
// of a run: the largest and the rms magnitude, in per cent of the detailed rise, and the
// case (1-based) of the largest.
struct JunctionError {
    double worst = 0.0;
    double rms = 0.0;
    int worst_case = 0;
};

// A network that misses a case's junction by more than this (per cent) after the star and
// the node-to-node links have been fitted one after the other is refined jointly.
constexpr double kRefineTolerance = 2.0;

// The fitted network of a DELPHI run, one resistance per link (link l is resistance[l - 1],
// in K/W of the whole package, or kAdiabaticLink), and the junction term x_0 of the star.
// two_step is the network of the star and the node-to-node fit alone; resistance the one
// returned, which is that network or its joint refinement, whichever misses its worst case
// by less; error is the returned network's.
struct FittedNetwork {
    double rj = 0.0;
    std::vector<double> two_step;
    std::vector<double> resistance;
    JunctionError error;
};

// The junction error of the network with these link resistances (kAdiabaticLink for a
// link that is not there) when it is solved under each case: 1 W into J, every surface
// node cooled to 0 through its case's coefficient times its area.
JunctionError NetworkJunctionError(const ModelState& state, const std::vector<StageValues>& cases,
                                   const std::vector<double>& resistance);

// Refines the link resistances (kAdiabaticLink for a link that is not there) jointly over
// all cases: the conductances >= 0 that bring the network's junction temperature and,
// with less weight, its surface nodes' temperatures closest to the cases' in the
// least-squares sense. A conductance that reaches 0 leaves its link adiabatic; links at
// nodes without faces stay adiabatic.
std::vector<double> rst_refine_network(const ModelState& state,
                                       const std::vector<StageValues>& cases,
                                       const std::vector<double>& resistance);

// The resistance stage of a DELPHI run: fits the junction star, then the links between
// surface nodes, to the cases' junction maxima, mean surface temperatures and heat flows;
// when that network misses a case by more than kRefineTolerance, refines it jointly and
// keeps the better of the two. Makes one named result per link that is not adiabatic, in
// link order. Appends the fit's list-file blocks, the circuit image and the junction error
// line to list. Returns kStatusOk, or
// kStatusFitFailed when an elimination meets a pivot too small (or not a number) or a
// fitted value is not finite; results are then empty.
int rst_fit_network(const ModelState& state, const std::vector<StageValues>& cases,
                    std::vector<NamedResistance>& results, std::string& list,
                    FittedNetwork* network = nullptr);

// Least-squares solution x (n values) of the rows x n system a (row by row) with its
// right-hand side b, through the normal equations. False when their elimination fails.
bool rst_fit_least_squares(int rows, int n, const std::vector<double>& a,
                           const std::vector<double>& b, std::vector<double>& x);

// Solves the n x n system a (row by row) with right-hand side b by Gauss-Jordan
// elimination with partial pivoting. False for a pivot whose magnitude is below the
// guard or not a number; a and b are overwritten.
bool rst_fit_solve(int n, std::vector<double>& a, std::vector<double>& b, std::vector<double>& x);

// The node at the other end of link (1-based) from node.
int rst_link_other_end(const ModelState& state, int link, int node);

}  // namespace resist_model
