#include "models/qfp/qfp.h"

namespace pkg::qfp {

namespace {
constexpr const char* kQFP = "qfp";
constexpr const char* kSOP = "sop";
}  // namespace

bool QFP::LeadCountsBuildable() const {
    for (int32_t count : {lead.number_of_xmin_xmax_lead, lead.number_of_ymin_ymax_lead}) {
        if (count < 0 || count > kMaxLeadsPerSide) return false;
    }
    return true;
}

QFP::QFP(bool is_sop) : sop(is_sop) {
    type_ = sop ? kSOP : kQFP;
    SetDefaults();
}

void QFP::SetDefaults() {
    if (sop) {
        mold = Mold{{13.3, 28.3}, 2.3, 0.8, 1850.0, 1100.0};
        lead = Lead{0.4, 1.27, 0.15, 300.0, 8880.0, 386.0, 22, 0};
        outer_lead = OuterLead{1.35, 0.25, 0.8, 1.1};
        chip = Chip{{4.4, 7.0}, 0.3, 120.0, 2330.0, 852.0, 1.0};
        die_pad = DiePad{{8.0, 16.0}, 0.15, 0.2};
        suspension_lead = SuspensionLead{0.4};
    } else {
        mold = Mold{{7.0, 7.0}, 1.4, 0.8, 1850.0, 1100.0};
        lead = Lead{0.22, 0.5, 0.125, 300.0, 8880.0, 386.0, 12, 12};
        outer_lead = OuterLead{1.0, 0.1, 0.6, 0.6};
        chip = Chip{{2.5, 2.5}, 0.3, 120.0, 2330.0, 852.0, 1.0};
        die_pad = DiePad{{4.4, 4.4}, 0.125, 0.2};
        suspension_lead = SuspensionLead{0.22};
    }
    bonded_part = BondedPart{0.02, 2.0, 8890.0, 210.0};
    inner_lead = InnerLead{0.2};
    wire = Wire{0.025, 300.0, 19300.0, 129.0};
    composition = Composition{true, true, true};
}

bool QFP::ReadPartFile(std::istream& in) {
    return ReadPartDocument(in, [this](const PartReader& r, const std::string& type) {
        return ReadBody(r, type);
    });
}

bool QFP::ReadBody(const PartReader& r, const std::string& type) {
    if (type == kQFP) {
        sop = false;
    } else if (type == kSOP) {
        sop = true;
    } else {
        return false;
    }
    // The stored type string follows the flag, so TypeName and the string never disagree.
    type_ = type;

    ReadMold(r, mold);

    r.RequireGroup("lead");
    r.Required("lead.width", lead.width);
    r.Required("lead.pitch", lead.pitch);
    r.Required("lead.thickness", lead.thickness);
    r.Required("lead.thermal_conductivity", lead.thermal_conductivity);
    r.Optional("lead.density", lead.density);
    r.Optional("lead.specific_heat", lead.specific_heat);
    r.Required("lead.number_of_xmin_xmax_lead", lead.number_of_xmin_xmax_lead);
    if (sop) {
        lead.number_of_ymin_ymax_lead = 0;
    } else {
        r.Required("lead.number_of_ymin_ymax_lead", lead.number_of_ymin_ymax_lead);
    }

    r.RequireGroup("outer_lead");
    r.Required("outer_lead.length", outer_lead.length);
    r.Required("outer_lead.stand_off", outer_lead.stand_off);
    r.Required("outer_lead.length_of_mouting_area", outer_lead.length_of_mouting_area);
    r.Required("outer_lead.height_from_bottom_of_mold", outer_lead.height_from_bottom_of_mold);

    ReadChip(r, chip);

    r.RequireGroup("die_pad");
    r.Required("die_pad.size.x", die_pad.size.x);
    r.Required("die_pad.size.y", die_pad.size.y);
    r.Required("die_pad.thickness", die_pad.thickness);
    r.Required("die_pad.depress", die_pad.depress);

    ReadBondedPart(r, bonded_part);

    r.RequireGroup("inner_lead");
    r.Required("inner_lead.offset", inner_lead.offset);

    r.RequireGroup("wire");
    r.Required("wire.diameter", wire.diameter);
    r.Required("wire.thermal_conductivity", wire.thermal_conductivity);
    r.Optional("wire.density", wire.density);
    r.Optional("wire.specific_heat", wire.specific_heat);

    r.Optional("suspension_lead.width", suspension_lead.width);

    composition.bonded_part = r.Switch("composition.bonded_part");
    composition.wire = r.Switch("composition.wire");
    composition.suspension = r.Switch("composition.suspension");
    return true;
}

bool QFP::WritePartFile(std::ostream& out) const {
    return WritePartDocument(out, TypeName(), [this](PartWriter& w) { WriteBody(w); });
}

void QFP::WriteBody(PartWriter& w) const {
    WriteMold(w, mold);

    w.Put("lead.width", lead.width);
    w.Put("lead.pitch", lead.pitch);
    w.Put("lead.thickness", lead.thickness);
    w.Put("lead.thermal_conductivity", lead.thermal_conductivity);
    w.Put("lead.density", lead.density);
    w.Put("lead.specific_heat", lead.specific_heat);
    w.Put("lead.number_of_xmin_xmax_lead", lead.number_of_xmin_xmax_lead);
    if (!sop) w.Put("lead.number_of_ymin_ymax_lead", lead.number_of_ymin_ymax_lead);

    w.Put("outer_lead.length", outer_lead.length);
    w.Put("outer_lead.stand_off", outer_lead.stand_off);
    w.Put("outer_lead.length_of_mouting_area", outer_lead.length_of_mouting_area);
    w.Put("outer_lead.height_from_bottom_of_mold", outer_lead.height_from_bottom_of_mold);

    WriteChip(w, chip);

    w.Put("die_pad.size.x", die_pad.size.x);
    w.Put("die_pad.size.y", die_pad.size.y);
    w.Put("die_pad.thickness", die_pad.thickness);
    w.Put("die_pad.depress", die_pad.depress);

    WriteBondedPart(w, bonded_part);

    w.Put("inner_lead.offset", inner_lead.offset);

    w.Put("wire.diameter", wire.diameter);
    w.Put("wire.thermal_conductivity", wire.thermal_conductivity);
    w.Put("wire.density", wire.density);
    w.Put("wire.specific_heat", wire.specific_heat);

    w.Put("suspension_lead.width", suspension_lead.width);

    w.PutBool("composition.bonded_part", composition.bonded_part);
    w.PutBool("composition.wire", composition.wire);
    w.PutBool("composition.suspension", composition.suspension);
}

}  // namespace pkg::qfp
