#include "models/model_tree.h"

#include <cstdio>

namespace pkg {

Property IsotropicProperty(const std::string& name, double conductivity, double density,
                           double specific_heat) {
    Property p;
    p.name = name;
    p.kind = Property::kIsotropic;
    p.conductivity = conductivity;
    p.density = density;
    p.specific_heat = specific_heat;
    return p;
}

Property AnisotropicProperty(const std::string& name, double kx, double ky, double kz,
                             double density, double specific_heat) {
    Property p;
    p.name = name;
    p.kind = Property::kAnisotropic;
    p.conductivity_x = kx;
    p.conductivity_y = ky;
    p.conductivity_z = kz;
    p.density = density;
    p.specific_heat = specific_heat;
    return p;
}

void Group::AddCuboid(std::string part_name, std::string property_name, const Cuboid& box) {
    cuboids.push_back(NamedCuboid{std::move(part_name), std::move(property_name), box});
}

void Group::AddPrism(std::string part_name, std::string property_name, const Prism& prism) {
    prisms.push_back(NamedPrism{std::move(part_name), std::move(property_name), prism});
}

void Group::AddChild(std::shared_ptr<Group> child) { children.push_back(std::move(child)); }

GroupPtr MakeGroup(const std::wstring& name) { return std::make_shared<Group>(name); }

std::string NumberedName(const char* pattern, int index) {
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, index);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), pattern, index);
    big.resize(static_cast<size_t>(n));
    return big;
}

}  // namespace pkg
