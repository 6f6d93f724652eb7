#include "models/package_parameters.h"

namespace pkg {

void ReadMold(const PartReader& r, Mold& m) {
    r.RequireGroup("mold");
    r.Required("mold.size.x", m.size.x);
    r.Required("mold.size.y", m.size.y);
    r.Required("mold.thickness", m.thickness);
    r.Required("mold.thermal_conductivity", m.thermal_conductivity);
    r.Optional("mold.density", m.density);
    r.Optional("mold.specific_heat", m.specific_heat);
}

void WriteMold(PartWriter& w, const Mold& m) {
    w.Put("mold.size.x", m.size.x);
    w.Put("mold.size.y", m.size.y);
    w.Put("mold.thickness", m.thickness);
    w.Put("mold.thermal_conductivity", m.thermal_conductivity);
    w.Put("mold.density", m.density);
    w.Put("mold.specific_heat", m.specific_heat);
}

void ReadChip(const PartReader& r, Chip& c) {
    r.RequireGroup("chip");
    r.Required("chip.size.x", c.size.x);
    r.Required("chip.size.y", c.size.y);
    r.Required("chip.thickness", c.thickness);
    r.Required("chip.thermal_conductivity", c.thermal_conductivity);
    r.Optional("chip.density", c.density);
    r.Optional("chip.specific_heat", c.specific_heat);
    r.Required("chip.rate_of_heating", c.rate_of_heating);
}

void WriteChip(PartWriter& w, const Chip& c) {
    w.Put("chip.size.x", c.size.x);
    w.Put("chip.size.y", c.size.y);
    w.Put("chip.thickness", c.thickness);
    w.Put("chip.thermal_conductivity", c.thermal_conductivity);
    w.Put("chip.density", c.density);
    w.Put("chip.specific_heat", c.specific_heat);
    w.Put("chip.rate_of_heating", c.rate_of_heating);
}

void ReadBondedPart(const PartReader& r, BondedPart& b) {
    r.RequireGroup("bonded_part");
    r.Required("bonded_part.thickness", b.thickness);
    r.Required("bonded_part.thermal_conductivity", b.thermal_conductivity);
    r.Optional("bonded_part.density", b.density);
    r.Optional("bonded_part.specific_heat", b.specific_heat);
}

void WriteBondedPart(PartWriter& w, const BondedPart& b) {
    w.Put("bonded_part.thickness", b.thickness);
    w.Put("bonded_part.thermal_conductivity", b.thermal_conductivity);
    w.Put("bonded_part.density", b.density);
    w.Put("bonded_part.specific_heat", b.specific_heat);
}

}  // namespace pkg
