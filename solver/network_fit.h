#pragma once

#include <string>
#include <vector>

#include "solver/model_state.h"
#include "solver/stage_values.h"

namespace resist_model {

// The resistance of a link that the fit dropped as adiabatic.
constexpr double kAdiabaticLink = -1.0;

// The fitted network of a DELPHI run, one resistance per link (link l is resistance[l - 1],
// in K/W of the whole package, or kAdiabaticLink), and the junction term x_0 of the star.
struct FittedNetwork {
    double rj = 0.0;
    std::vector<double> resistance;
};

// The resistance stage of a DELPHI run: fits the junction star, then the links between
// surface nodes, to the cases' junction maxima, mean surface temperatures and heat flows,
// and makes one named result per link that is not adiabatic, in link order. Appends the
// fit's list-file blocks and the circuit image to list. Returns kStatusOk, or
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
