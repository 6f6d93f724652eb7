#pragma once

#include <optional>
#include <string>
#include <vector>

#include "models/detailed_model.h"
#include "models/model_tree.h"
#include "models/qfp/qfp.h"

namespace pkg::qfp {

// A prism and the index of its material in the list that the same model returns beside it.
struct IndexedPrism {
    Prism prism;
    int material = 0;
};

// The detailed model of a lead-frame part: mold body, die pad, die attach, chip, gull-wing
// outer leads of three blocks each, inner leads fanning in from the mold edge, bond-wire
// regions of an effective material, and the suspension leads. The object is the package
// and its model; a QFP has leads on four sides, a SOP on the x sides only.
class QFPDetailedModel : public QFP, public DetailedModel {
public:
    explicit QFPDetailedModel(bool sop);
    ~QFPDetailedModel() override = default;

    // Geometry and materials of the leads, wires and suspension leads. Virtual so that the
    // simplified model can replace them while the build stays shared. Lists give the −x
    // (or −y) side; the build adds their mirror.
    virtual std::vector<Cuboid> OuterLeadCuboidsLeftRight() const;
    virtual std::vector<Cuboid> OuterLeadCuboidsTopBottom() const;  // throws for a SOP
    virtual std::vector<Prism> InnerLeadPrismsLeftRight() const;
    virtual std::vector<IndexedPrism> InnerLeadPrismsLeftRight2() const;
    virtual std::vector<Prism> InnerLeadPrismsTopBottom() const;  // both y sides
    virtual std::vector<IndexedPrism> WireLeftRightPrisms() const;
    virtual std::vector<Prism> WireTopBottomPrisms() const;   // throws for a SOP
    virtual std::vector<Prism> SuspensionLeadPrisms() const;  // all of them
    virtual std::vector<Prism> SuspensionLeadShape() const;   // the QFP's diagonal ones
    virtual Property OuterLeadPropertyLeftRight() const;
    virtual Property OuterLeadPropertyTopBottom() const;
    virtual std::vector<Property> InnerLeadProperties() const;
    virtual Property InnerLeadPropertyTopBottom() const;
    virtual std::vector<Property> WireLeftRightProperties() const;
    virtual Property WireTopBottomProperty() const;  // throws for a SOP
    virtual Property SuspensionLeadProperty() const;

    // Also sets die_pad.thickness to lead.thickness, which a later save keeps.
    int Build() override;
    // There is no air variant: leaves the model as it is.
    int BuildWithAir() override { return 0; }

    Property MoldProperty() const;
    Property ChipProperty() const;
    Property BondedPartProperty() const;
    Property LeadProperty() const;

    // Where the inner leads of a side end: the lower edges T(k) of the tips (mm) of the
    // side's `count` leads, spread evenly over the die pad's side. Empty without leads.
    std::vector<double> TipEdges(bool x_sides) const;

    // SOP routing of the −x side: the centre of every lead's tip on the outline of the die
    // pad enlarged by the inner-lead offset, in lead order (−y to +y), and the number of
    // leads at each row end that are wrapped around the die pad's end.
    struct SopRouting {
        std::vector<Point3> tips;  // z unused
        int wrapped = 0;
    };
    SopRouting RouteSopLeads() const;

    // The wire volume fraction of every wire material the build makes, wires switched on
    // or not: a share above 1 means more wire than its region holds.
    std::vector<double> WireFractions() const;

protected:
    // Lower edge of lead k of a row of `count` leads centred on the axis.
    double LeadPosition(int k, int count) const;
    // Leads on each x side or on each y side.
    int LeadCount(bool x_sides) const;
    // Lead level: the underside of the lead frame inside the mold.
    double LeadLevel() const;
    double DiePadBottom() const;
    double ChipBottom() const;
    double ChipTop() const;
    // Inner-lead length along x (or y): from the mold edge to the tip line.
    double InnerLeadLength(bool x_sides) const;
    // Offsets from a mold corner along x and y of the diagonal suspension strip's edges.
    void SuspensionOffsets(double& a, double& b) const;
    // Width of the suspension leads, 0 when the part has none.
    double SuspensionWidth() const;
    // The SOP forms of the wire operations.
    std::vector<IndexedPrism> SopWirePrisms() const;
    std::vector<Property> SopWireProperties() const;
    // Wire volume fraction of the QFP form's fan on the x sides (or the y sides).
    double FanWireFraction(bool x_sides) const;
    // Wire volume fractions of the SOP form's materials, in the order of its list.
    std::vector<double> SopWireFractions() const;
    // Wires in mold at volume fraction f; conductivity along the wires on every axis.
    Property WireMixture(double f) const;
    // The wires' run at the tip line between the chip top and the lead top, whichever lies
    // higher: where the chip sits below the lead frame (a die pad pressed down to the
    // mold's underside) the wires climb to the leads. None where the chip top lies level
    // with the lead top: the wires then run straight onto the leads.
    std::optional<Prism> WireDropPrism(const double (&xy)[4][2]) const;

    [[noreturn]] static void ThrowNoBottomLeads();

    const std::string mold_name_ = "mold";
    const std::string bonded_part_name_ = "bonded_part";
    const std::string chip_name_ = "chip";
    const std::string lead_name_ = "lead";
    const std::string wire_left_right_name_ = "wire(left_right)";
    const std::string wire_left_right2_name_ = "wire(left_right2)";
    const std::string wire_top_bottom_name_ = "wire(top_bottom)";
    const std::string suspension_lead_name_ = "suspension_lead";
};

}  // namespace pkg::qfp
