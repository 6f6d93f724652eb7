#pragma once

#include <string>
#include <vector>

#include "solver/conduction.h"
#include "solver/model_state.h"

namespace resist_model {

// A maximum that no cell or face has set keeps this value.
constexpr double kUnsetMaximum = -1.0e20;

// What one stage's temperatures reduce to. Temperatures are rises per watt of the whole
// package, so they read as K/W.
struct StageValues {
    double chip_max = kUnsetMaximum;  // two-resistor
    // three-resistor: maxima of TOP, BOTTOM, LEAD and CHIP
    double tmax[4] = {kUnsetMaximum, kUnsetMaximum, kUnsetMaximum, kUnsetMaximum};
    // DELPHI, per node 0..NSURF (slot 0 unused): face area of the modelled part, mean
    // surface temperature, and heat flow of the whole package
    double junction_max = kUnsetMaximum;
    std::vector<double> area, mean_temperature, heat_flow;
};

// One resistance handed back: the blank-padded name of its node pair and its value in K/W.
struct NamedResistance {
    std::string name;
    double value = 0.0;
};

// Surface temperature and heat flow of a boundary face towards an ambient ta through the
// surface resistance re (m^2 K/W; infinite: the face carries no heat).
struct FaceFlow {
    double surface_temperature = 0.0;
    double heat = 0.0;
};
FaceFlow SurfaceFlow(const BoundaryFace& face, double cell_temperature, double ta, double re);

// Reduces stage g's temperatures t (by cell number) and appends its result lines.
StageValues PrepareStage(const ModelState& state, int g,
                         const std::vector<BoundaryCondition>& conditions, const double* t,
                         std::string& list);

double Det3(const double m[3][3]);

// The two-resistor values from the two stages; false when a needed maximum was never set.
bool ResistTwo(const std::vector<StageValues>& stages, std::vector<NamedResistance>& out);
// The three-resistor star from the three stages; false when a needed maximum was never set.
bool ResistThree(const std::vector<StageValues>& stages, std::vector<NamedResistance>& out);

// The "RESISTANCE" block of the list file.
std::string ResistanceLines(const std::vector<NamedResistance>& results);

}  // namespace resist_model
