#pragma once

#include <string>
#include <vector>

#include "models/model_tree.h"

namespace pkg {

// a / b, or 0 when b is 0: a mixture over an empty region or of massless materials has
// no share of anything, and must not turn the material into NaN.
double Ratio(double a, double b);

// A prism over the quadrilateral with corners (x, y) in the given order; corner z is 0.
Prism MakePrism(const double (&xy)[4][2], double thickness, double base_z);

// The prism with the x (or else the y) of every corner negated.
Prism Mirrored(const Prism& p, bool negate_x);

// Appends the blocks to `group` named from `pattern` ("board(%d)") counting from 0.
void AddNumbered(Group& group, const char* pattern, const std::string& material,
                 const std::vector<Cuboid>& boxes);

// Bulk values of one component of a mixture.
struct Bulk {
    double conductivity = 0.0;   // W/(m K)
    double density = 0.0;        // kg/m^3
    double specific_heat = 0.0;  // J/(kg K)
};

// The still air between leads and balls, and around a package.
inline constexpr Bulk kAir{0.0256, 1.206, 1007.0};

// A filler (wires, leads, balls) at volume fraction f in a matrix: the conductivity along
// the filler in parallel, the density by volume, the specific heat by mass. Returned
// unnamed and anisotropic with that conductivity on every axis; callers put the matrix's
// own conductivity on the axes that cross the filler.
Property Mixture(double f, const Bulk& filler, const Bulk& matrix);

}  // namespace pkg
