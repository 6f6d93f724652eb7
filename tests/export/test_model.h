#pragma once

#include <string>
#include <utility>

#include "models/detailed_model.h"

namespace zentrik_test {

// A model whose tree the test fills by hand; the builds leave it as it is.
class HandModel : public pkg::DetailedModel {
public:
    int Build() override { return 0; }
    int BuildWithAir() override { return 0; }

    pkg::Group& AddGroup(const std::wstring& name) {
        root.AddChild(pkg::MakeGroup(name));
        return *root.children.back();
    }
};

inline pkg::Cuboid Box(double x, double y, double z, double dx, double dy, double dz) {
    return pkg::Cuboid{x, y, z, dx, dy, dz};
}

inline pkg::Prism Quad(std::pair<double, double> c1, std::pair<double, double> c2,
                       std::pair<double, double> c3, std::pair<double, double> c4,
                       double base_z, double thickness) {
    pkg::Prism p;
    const std::pair<double, double> corners[4] = {c1, c2, c3, c4};
    for (int n = 0; n < 4; ++n) p.corner[n] = pkg::Point3{corners[n].first, corners[n].second, 0};
    p.base_z = base_z;
    p.thickness = thickness;
    return p;
}

}  // namespace zentrik_test
