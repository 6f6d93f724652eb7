#pragma once

#include <cstdint>

#include "models/package_parameters.h"
#include "models/semiconductor_package.h"

namespace pkg::qfp {

// Parameters of a lead-frame part: "qfp" (leads on four sides) or "sop" (leads on the
// sides at minimum and maximum x only). The die pad, inner and suspension leads share
// the lead-frame material.
class QFP : public SemiconductorPackage {
public:
    struct Lead {
        double width = 0.0;
        double pitch = 0.0;
        double thickness = 0.0;
        double thermal_conductivity = 0.0;
        double density = 0.0;
        double specific_heat = 0.0;
        int32_t number_of_xmin_xmax_lead = 0;
        int32_t number_of_ymin_ymax_lead = 0;  // always 0 for a SOP
    };

    struct OuterLead {
        double length = 0.0;
        double stand_off = 0.0;
        double length_of_mouting_area = 0.0;
        double height_from_bottom_of_mold = 0.0;
    };

    struct DiePad {
        XY size;
        double thickness = 0.0;
        double depress = 0.0;
    };

    struct InnerLead {
        double offset = 0.0;
    };

    struct Wire {
        double diameter = 0.0;
        double thermal_conductivity = 0.0;
        double density = 0.0;
        double specific_heat = 0.0;
    };

    struct SuspensionLead {
        double width = 0.0;
    };

    struct Composition {
        bool bonded_part = true;
        bool wire = true;
        bool suspension = true;
    };

    explicit QFP(bool sop);
    ~QFP() override = default;

    void SetDefaults();

    const char* TypeName() const override { return sop ? "sop" : "qfp"; }
    bool ReadPartFile(std::istream& in) override;
    bool WritePartFile(std::ostream& out) const override;

    bool IsSOP() const { return sop; }

    // Leads per side a build accepts; real packages have well under a hundred. A part file
    // keeps whatever counts it holds; only the builds refuse implausible ones.
    static constexpr int32_t kMaxLeadsPerSide = 1000;
    bool LeadCountsBuildable() const;

    bool sop = false;
    Mold mold;
    Lead lead;
    OuterLead outer_lead;
    Chip chip;
    DiePad die_pad;
    BondedPart bonded_part;
    InnerLead inner_lead;
    Wire wire;
    SuspensionLead suspension_lead;
    Composition composition;

private:
    bool ReadBody(const PartReader& r, const std::string& type);
    void WriteBody(PartWriter& w) const;
};

}  // namespace pkg::qfp
