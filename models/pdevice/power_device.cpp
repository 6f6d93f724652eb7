#include "models/pdevice/power_device.h"

namespace pkg::pdevice {

namespace {

// Densities and specific heats missing from a file take this fixed value, not the
// device's default.
constexpr double kMissingMaterialValue = 1.0;

const std::string kOuterShape = "outer_shape_param.";

}  // namespace

const std::vector<PowerDevice::OuterShapeField>& PowerDevice::OuterShapeFields() {
    using S = OuterShape;
    static const std::vector<OuterShapeField> fields = {
        {"A", &S::A},   {"A1", &S::A1}, {"A2", &S::A2}, {"b", &S::b},   {"b1", &S::b1},
        {"b2", &S::b2}, {"b3", &S::b3}, {"c", &S::c},   {"c1", &S::c1}, {"c2", &S::c2},
        {"D", &S::D},   {"D1", &S::D1}, {"D2", &S::D2}, {"E", &S::E},   {"E1", &S::E1},
        {"e", &S::e},   {"e1", &S::e1}, {"H", &S::H},   {"H1", &S::H1}, {"L", &S::L},
        {"L1", &S::L1}, {"L2", &S::L2}, {"L3", &S::L3}, {"Q", &S::Q},
    };
    return fields;
}

void PowerDevice::RegisterSymbol(const std::string& symbol) {
    for (const OuterShapeField& f : OuterShapeFields()) {
        if (symbol == f.name) {
            // The symbols are ASCII letters and digits.
            outline_symbols_.push_back(
                OutlineSymbol{std::wstring(symbol.begin(), symbol.end()), f.field});
            return;
        }
    }
}

bool PowerDevice::ReadOptionalDouble(const PartReader& r, const std::string& group,
                                     const std::string& name, double& field,
                                     double fallback) {
    return r.OptionalOr(group + "." + name, field, fallback);
}

bool PowerDevice::ReadPartFile(std::istream& in) {
    return ReadPartDocument(in, [this](const PartReader& r, const std::string& type) {
        return ReadBody(r, type);
    });
}

bool PowerDevice::ReadBody(const PartReader& r, const std::string& type) {
    if (type != type_) return false;

    r.RequireGroup("inner_shape_param");
    r.Required("inner_shape_param.offset", inner_shape_param.offset);
    r.Required("inner_shape_param.inner_lead", inner_shape_param.inner_lead);
    r.Required("inner_shape_param.diepad_x", inner_shape_param.diepad_x);
    r.Required("inner_shape_param.diepad_y", inner_shape_param.diepad_y);

    r.RequireGroup("outer_shape_param");
    for (const OuterShapeField& f : OuterShapeFields()) {
        r.Required(kOuterShape + f.name, outer_shape_param.*f.field);
    }

    r.RequireGroup("chip");
    r.Required("chip.size.x", chip.size.x);
    r.Required("chip.size.y", chip.size.y);
    r.Required("chip.thickness", chip.thickness);
    r.Required("chip.thermal_conductivity", chip.thermal_conductivity);
    r.Required("chip.rate_of_heating", chip.rate_of_heating);
    ReadOptionalDouble(r, "chip", "density", chip.density, kMissingMaterialValue);
    ReadOptionalDouble(r, "chip", "specific_heat", chip.specific_heat, kMissingMaterialValue);

    r.RequireGroup("bond");
    r.Required("bond.thickness", bond.thickness);
    r.Required("bond.thermal_conductivity", bond.thermal_conductivity);
    ReadOptionalDouble(r, "bond", "density", bond.density, kMissingMaterialValue);
    ReadOptionalDouble(r, "bond", "specific_heat", bond.specific_heat, kMissingMaterialValue);

    r.RequireGroup("property");
    r.Required("property.mold_thermal_conductivity", property.mold_thermal_conductivity);
    r.Required("property.lead_thermal_conductivity", property.lead_thermal_conductivity);
    r.Required("property.plate_thermal_conductivity", property.plate_thermal_conductivity);
    r.Optional("property.diepad_thermal_conductivity", property.diepad_thermal_conductivity);
    const struct {
        const char* name;
        double& field;
    } fixed_fallback[] = {
        {"mold_density", property.mold_density},
        {"lead_density", property.lead_density},
        {"plate_density", property.plate_density},
        {"diepad_density", property.diepad_density},
        {"mold_specific_heat", property.mold_specific_heat},
        {"lead_specific_heat", property.lead_specific_heat},
        {"plate_specific_heat", property.plate_specific_heat},
        {"diepad_specific_heat", property.diepad_specific_heat},
    };
    for (const auto& v : fixed_fallback) {
        ReadOptionalDouble(r, "property", v.name, v.field, kMissingMaterialValue);
    }

    r.RequireGroup("composition");
    r.Required("composition.bonded_part", composition.bonded_part);
    r.Required("composition.lead_type", composition.lead_type);
    return true;
}

bool PowerDevice::WritePartFile(std::ostream& out) const {
    return WritePartDocument(out, TypeName(), [this](PartWriter& w) { WriteBody(w); });
}

void PowerDevice::WriteBody(PartWriter& w) const {
    w.Put("inner_shape_param.offset", inner_shape_param.offset);
    w.Put("inner_shape_param.inner_lead", inner_shape_param.inner_lead);
    w.Put("inner_shape_param.diepad_x", inner_shape_param.diepad_x);
    w.Put("inner_shape_param.diepad_y", inner_shape_param.diepad_y);

    for (const OuterShapeField& f : OuterShapeFields()) {
        w.Put(kOuterShape + f.name, outer_shape_param.*f.field);
    }

    w.Put("chip.size.x", chip.size.x);
    w.Put("chip.size.y", chip.size.y);
    w.Put("chip.thickness", chip.thickness);
    w.Put("chip.thermal_conductivity", chip.thermal_conductivity);
    w.Put("chip.rate_of_heating", chip.rate_of_heating);
    w.Put("chip.density", chip.density);
    w.Put("chip.specific_heat", chip.specific_heat);

    w.Put("bond.thickness", bond.thickness);
    w.Put("bond.thermal_conductivity", bond.thermal_conductivity);
    w.Put("bond.density", bond.density);
    w.Put("bond.specific_heat", bond.specific_heat);

    w.Put("property.mold_thermal_conductivity", property.mold_thermal_conductivity);
    w.Put("property.lead_thermal_conductivity", property.lead_thermal_conductivity);
    w.Put("property.plate_thermal_conductivity", property.plate_thermal_conductivity);
    w.Put("property.diepad_thermal_conductivity", property.diepad_thermal_conductivity);
    w.Put("property.mold_density", property.mold_density);
    w.Put("property.lead_density", property.lead_density);
    w.Put("property.plate_density", property.plate_density);
    w.Put("property.diepad_density", property.diepad_density);
    w.Put("property.mold_specific_heat", property.mold_specific_heat);
    w.Put("property.lead_specific_heat", property.lead_specific_heat);
    w.Put("property.plate_specific_heat", property.plate_specific_heat);
    w.Put("property.diepad_specific_heat", property.diepad_specific_heat);

    w.PutBool("composition.bonded_part", composition.bonded_part);
    w.Put("composition.lead_type", composition.lead_type);
}

}  // namespace pkg::pdevice
