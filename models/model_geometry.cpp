#include "models/model_geometry.h"

namespace pkg {

double Ratio(double a, double b) { return b != 0.0 ? a / b : 0.0; }

Prism MakePrism(const double (&xy)[4][2], double thickness, double base_z) {
    Prism p;
    for (int c = 0; c < 4; ++c) p.corner[c] = Point3{xy[c][0], xy[c][1], 0.0};
    p.thickness = thickness;
    p.base_z = base_z;
    return p;
}

Prism Mirrored(const Prism& p, bool negate_x) {
    Prism m = p;
    for (Point3& c : m.corner) {
        if (negate_x) {
            c.x = -c.x;
        } else {
            c.y = -c.y;
        }
    }
    return m;
}

void AddNumbered(Group& group, const char* pattern, const std::string& material,
                 const std::vector<Cuboid>& boxes) {
    int n = 0;
    for (const Cuboid& box : boxes) group.AddCuboid(NumberedName(pattern, n++), material, box);
}

Property Mixture(double f, const Bulk& filler, const Bulk& matrix) {
    const double k = f * filler.conductivity + (1.0 - f) * matrix.conductivity;
    const double rho = (1.0 - f) * matrix.density + f * filler.density;
    const double g = Ratio(f * filler.density, rho);
    const double c = (1.0 - g) * matrix.specific_heat + g * filler.specific_heat;
    return AnisotropicProperty(std::string(), k, k, k, rho, c);
}

}  // namespace pkg
