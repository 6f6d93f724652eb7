#include "models/model_check.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "models/bga/bga.h"
#include "models/model_geometry.h"
#include "models/pdevice/power_device_model.h"
#include "models/qfp/qfp.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"

namespace pkg {

namespace {

namespace r = resources;

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// An axis-aligned box in mm: the extent of a solid, or a region it must lie in, where a
// bound of +-infinity does not limit.
struct Region {
    double min[3] = {-kUnbounded, -kUnbounded, 0.0};
    double max[3] = {kUnbounded, kUnbounded, kUnbounded};
};

// A face computed from a parameter may land an ulp beyond the face it meets.
bool Within(double value, double low, double high) {
    const auto slack = [](double bound) { return 1e-9 * std::max(1.0, std::fabs(bound)); };
    return value >= low - slack(low) && value <= high + slack(high);
}

bool Inside(const Region& e, const Region& region) {
    for (int axis = 0; axis < 3; ++axis) {
        if (!Within(e.min[axis], region.min[axis], region.max[axis]) ||
            !Within(e.max[axis], region.min[axis], region.max[axis])) {
            return false;
        }
    }
    return true;
}

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

Region ExtentOf(const Cuboid& c) {
    return {{c.x, c.y, c.z}, {c.x + c.dx, c.y + c.dy, c.z + c.dz}};
}

Region ExtentOf(const Prism& p) {
    Region e{{kUnbounded, kUnbounded, p.base_z},
             {-kUnbounded, -kUnbounded, p.base_z + p.thickness}};
    for (const Point3& corner : p.corner) {
        e.min[0] = std::min(e.min[0], corner.x);
        e.max[0] = std::max(e.max[0], corner.x);
        e.min[1] = std::min(e.min[1], corner.y);
        e.max[1] = std::max(e.max[1], corner.y);
    }
    return e;
}

bool HasSize(const Cuboid& c) {
    return std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z) && Positive(c.dx) &&
           Positive(c.dy) && Positive(c.dz);
}

// A base of zero area (collinear or coincident corners, or a bow-tie whose halves cancel)
// holds no material.
bool HasSize(const Prism& p) {
    double twice_area = 0.0;
    for (int i = 0; i < 4; ++i) {
        const Point3& a = p.corner[i];
        const Point3& b = p.corner[(i + 1) % 4];
        if (!std::isfinite(a.x) || !std::isfinite(a.y)) return false;
        twice_area += a.x * b.y - b.x * a.y;
    }
    return std::isfinite(p.base_z) && Positive(p.thickness) && Positive(std::fabs(twice_area));
}

// The groups whose solids sit inside the mold body.
bool InsideTheMold(const std::wstring& group) {
    static const wchar_t* const kEmbedded[] = {
        L"chip_group",       L"bonded_part_group",     L"bump_group",
        L"die_pad_group",    L"diepad_group",          L"wire_left_right_group",
        L"inner_lead_group", L"wire_top_bottom_group", L"suspension_group"};
    return std::find(std::begin(kEmbedded), std::end(kEmbedded), group) != std::end(kEmbedded);
}

const Cuboid* FindMold(const Group& root) {
    for (const GroupPtr& child : root.children) {
        if (!child || child->name != L"mold_group") continue;
        for (const NamedCuboid& c : child->cuboids) {
            if (c.part_name == "mold") return &c.box;
        }
    }
    return nullptr;
}

// The package's outline across x and y by its family, up to the top of the mold; the
// board plane below. Only the height is known for a package of no known family.
Region Outline(const SemiconductorPackage* package, const Cuboid* mold) {
    Region outline;
    if (mold) outline.max[2] = mold->z + mold->dz;
    auto across = [&outline](double half_x, double half_y) {
        outline.min[0] = -half_x;
        outline.max[0] = half_x;
        outline.min[1] = -half_y;
        outline.max[1] = half_y;
    };
    if (const auto* b = dynamic_cast<const bga::BGA*>(package)) {
        across(b->board.size.x / 2.0, b->board.size.y / 2.0);
    } else if (const auto* q = dynamic_cast<const qfp::QFP*>(package)) {
        // Outer leads leave the mold at the x sides, and at the y sides of a QFP too.
        const double lead = q->outer_lead.length;
        across(q->mold.size.x / 2.0 + lead, q->mold.size.y / 2.0 + (q->IsSOP() ? 0.0 : lead));
    } else if (const auto* d = dynamic_cast<const pdevice::PowerDeviceModel*>(package)) {
        // The body spans the device across; along the leads the outline is centred.
        const double half_s = d->OutlineLength() / 2.0;
        if (mold) {
            outline.min[0] = mold->x;
            outline.max[0] = mold->x + mold->dx;
        }
        outline.min[1] = -half_s;
        outline.max[1] = half_s;
    }
    return outline;
}

// The conductivities a mixed material is made from; empty for a material of its own.
std::vector<double> Constituents(const SemiconductorPackage* package, const Property& m) {
    const std::string& n = m.name;
    if (const auto* b = dynamic_cast<const bga::BGA*>(package)) {
        const double board = b->board.thermal_conductivity_board;
        const double wiring = b->board.thermal_conductivity_wiring;
        if (n == "bump") {
            return {b->bump.bump_thermal_conductivity, b->bump.ufil_thermal_conductivity};
        }
        if (n == "wire(left_right)" || n == "wire(top_bottom)") {
            return {b->wire.thermal_conductivity, b->mold.thermal_conductivity};
        }
        // The wiring layers, and the simplified model's whole substrate stack.
        if (n.rfind("board(wiring)(", 0) == 0 || n == "board") return {board, wiring};
        if (n == "via") return {b->via.thermal_conductivity, board, wiring};
        // The simplified model's balls in air.
        if (n == "solder_ball" && m.kind == Property::kAnisotropic) {
            return {b->solder_ball.thermal_conductivity, kAir.conductivity};
        }
    } else if (const auto* q = dynamic_cast<const qfp::QFP*>(package)) {
        if (n.rfind("wire(", 0) == 0) {
            return {q->wire.thermal_conductivity, q->mold.thermal_conductivity};
        }
        if (n.rfind("inner_lead(", 0) == 0) {
            return {q->lead.thermal_conductivity, q->mold.thermal_conductivity};
        }
        if (n.rfind("outer_lead(", 0) == 0) return {q->lead.thermal_conductivity, kAir.conductivity};
    }
    return {};
}

std::vector<double> Conductivities(const Property& m) {
    if (m.kind == Property::kIsotropic) return {m.conductivity};
    return {m.conductivity_x, m.conductivity_y, m.conductivity_z};
}

// A weighted mean of the constituents never leaves their range, up to rounding.
bool BetweenConstituents(const std::vector<double>& values, const std::vector<double>& of) {
    const auto [low, high] = std::minmax_element(of.begin(), of.end());
    for (double k : values) {
        if (!(k >= *low * (1.0 - 1e-12) && k <= *high * (1.0 + 1e-12))) return false;
    }
    return true;
}

class ModelChecker {
public:
    explicit ModelChecker(const DetailedModel& model)
        : package_(dynamic_cast<const SemiconductorPackage*>(&model)),
          mold_(FindMold(model.root)),
          outline_(Outline(package_, mold_)) {
        if (mold_) body_ = ExtentOf(*mold_);
    }

    bool Solids(const Group& group) {
        for (const NamedCuboid& c : group.cuboids) {
            if (!Solid(group, c.part_name, HasSize(c.box), ExtentOf(c.box))) return false;
        }
        for (const NamedPrism& p : group.prisms) {
            if (!Solid(group, p.part_name, HasSize(p.prism), ExtentOf(p.prism))) return false;
        }
        for (const GroupPtr& child : group.children) {
            if (child && !Solids(*child)) return false;
        }
        return true;
    }

    bool Materials(const DetailedModel& model) {
        for (const Property& m : model.properties) {
            const std::vector<double> k = Conductivities(m);
            const bool finite = std::all_of(k.begin(), k.end(), Positive) && Positive(m.density) &&
                                Positive(m.specific_heat);
            if (!finite) return Fail(r::IDS_MODEL_MATERIAL_VALUE, MaterialName(model, m));
            const std::vector<double> constituents = Constituents(package_, m);
            if (!constituents.empty() && !BetweenConstituents(k, constituents)) {
                return Fail(r::IDS_MODEL_MIXTURE_OUT_OF_RANGE, MaterialName(model, m));
            }
        }
        return true;
    }

    RuleViolation Result() const { return fault_; }

private:
    bool Solid(const Group& group, const std::string& part, bool has_size, const Region& e) {
        if (!has_size) return Fail(r::IDS_MODEL_SOLID_NO_SIZE, SolidName(group, part));
        if (!Within(e.min[2], 0.0, kUnbounded)) {
            return Fail(r::IDS_MODEL_SOLID_BELOW_BOARD, SolidName(group, part));
        }
        if (!Inside(e, outline_)) return Fail(r::IDS_MODEL_SOLID_OUTSIDE, SolidName(group, part));
        if (mold_ && InsideTheMold(group.name) && !Inside(e, body_)) {
            return Fail(r::IDS_MODEL_SOLID_OUTSIDE_MOLD, SolidName(group, part));
        }
        return true;
    }

    static std::wstring SolidName(const Group& group, const std::string& part) {
        return group.name + L" / " + platform::Utf8ToWide(part);
    }

    // The material and the first group with a solid made of it.
    static std::wstring MaterialName(const DetailedModel& model, const Property& m) {
        std::wstring name = platform::Utf8ToWide(m.name);
        const Group* user = FirstUser(model.root, m.name);
        if (user) name += L" (" + user->name + L")";
        return name;
    }

    static const Group* FirstUser(const Group& group, const std::string& material) {
        const auto made_of = [&material](const auto& leaf) {
            return leaf.property_name == material;
        };
        if (std::any_of(group.cuboids.begin(), group.cuboids.end(), made_of) ||
            std::any_of(group.prisms.begin(), group.prisms.end(), made_of)) {
            return &group;
        }
        for (const GroupPtr& child : group.children) {
            if (!child) continue;
            if (const Group* found = FirstUser(*child, material)) return found;
        }
        return nullptr;
    }

    bool Fail(std::uint32_t message, const std::wstring& literal) {
        fault_.message = message;
        fault_.literal = literal;
        return false;
    }

    const SemiconductorPackage* package_;
    const Cuboid* mold_;
    Region outline_;
    Region body_;
    RuleViolation fault_;
};

}  // namespace

RuleViolation CheckBuiltModel(const DetailedModel& model) {
    ModelChecker checker(model);
    if (checker.Solids(model.root) && checker.Materials(model)) return {};
    return checker.Result();
}

}  // namespace pkg
