#pragma once

#include <memory>
#include <string>
#include <vector>

namespace pkg {

// An axis-aligned block: minimum corner and extents, in millimetres in the package frame
// (outline centred on x = 0, y = 0; z = 0 is the lowest face of the model).
struct Cuboid {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double dx = 0.0;
    double dy = 0.0;
    double dz = 0.0;
};

struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A vertical prism over a quadrilateral base. Only x and y of the corners are meaningful;
// the prism spans base_z to base_z + thickness whatever the corners' z holds. The corners
// run around the outline in either winding.
struct Prism {
    Point3 corner[4];
    double thickness = 0.0;
    double base_z = 0.0;
};

// A material. Kind 0 is isotropic (conductivity), kind 1 anisotropic (conductivity_x/y/z);
// the conductivities of the other kind are not meaningful.
struct Property {
    static constexpr int kIsotropic = 0;
    static constexpr int kAnisotropic = 1;

    std::string name;
    int kind = kIsotropic;
    double conductivity = 0.0;    // W/(m K)
    double conductivity_x = 0.0;  // W/(m K)
    double conductivity_y = 0.0;
    double conductivity_z = 0.0;
    double density = 1.0;         // kg/m^3
    double specific_heat = 1.0;   // J/(kg K)
};

Property IsotropicProperty(const std::string& name, double conductivity, double density,
                           double specific_heat);
Property AnisotropicProperty(const std::string& name, double kx, double ky, double kz,
                             double density, double specific_heat);

struct NamedCuboid {
    std::string part_name;
    std::string property_name;
    Cuboid box;
};

struct NamedPrism {
    std::string part_name;
    std::string property_name;
    Prism prism;
};

// A node of the model tree. Leaves are kept in the order they were added: the rasteriser
// and the XML writer depend on that order.
struct Group {
    std::wstring name;
    std::vector<std::shared_ptr<Group>> children;
    std::vector<NamedCuboid> cuboids;
    std::vector<NamedPrism> prisms;

    Group() = default;
    explicit Group(std::wstring group_name) : name(std::move(group_name)) {}

    void AddCuboid(std::string part_name, std::string property_name, const Cuboid& box);
    void AddPrism(std::string part_name, std::string property_name, const Prism& prism);
    void AddChild(std::shared_ptr<Group> child);
};

using GroupPtr = std::shared_ptr<Group>;

GroupPtr MakeGroup(const std::wstring& name);

// Formats a numbered leaf name from a pattern holding one "%d", e.g. "board(%d)" -> board(3).
std::string NumberedName(const char* pattern, int index);

}  // namespace pkg
