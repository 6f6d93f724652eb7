#pragma once

#include <string>
#include <vector>

#include "models/qfp/qfp_detailed_model.h"

namespace pkg::qfp {

// The reduced model of a lead-frame part: each side's row of outer leads becomes three
// blocks as wide as the row, of leads mixed with air, and each side's fan of inner leads
// one prism of leads mixed with mold compound. The build and the wires are the detailed
// model's.
class QFPSimplifiedModel : public QFPDetailedModel {
public:
    explicit QFPSimplifiedModel(bool sop) : QFPDetailedModel(sop) {}
    ~QFPSimplifiedModel() override = default;

    std::vector<Cuboid> OuterLeadCuboidsLeftRight() const override;
    std::vector<Cuboid> OuterLeadCuboidsTopBottom() const override;
    std::vector<Prism> InnerLeadPrismsLeftRight() const override;
    std::vector<IndexedPrism> InnerLeadPrismsLeftRight2() const override;
    std::vector<Prism> InnerLeadPrismsTopBottom() const override;
    std::vector<Prism> SuspensionLeadShape() const override;
    Property OuterLeadPropertyLeftRight() const override;
    Property OuterLeadPropertyTopBottom() const override;
    std::vector<Property> InnerLeadProperties() const override;
    Property InnerLeadPropertyTopBottom() const override;
    Property SuspensionLeadProperty() const override;

    // Share of a side's inner-lead fan that is lead; 0 without leads, above 1 when the
    // leads hold more than the fan.
    double FanFraction(bool x_sides) const;

protected:
    // Width of a side's row of leads, (n - 1) pitch + width; not positive without leads.
    double RowWidth(bool x_sides) const;
    // Share of the row that is lead, n width / R; 0 without leads.
    double RowFraction(bool x_sides) const;

    const std::string outer_lead_left_right_name_ = "outer_lead(left_right)";
    const std::string outer_lead_top_bottom_name_ = "outer_lead(top_bottom)";
    const std::string inner_lead_left_right_name_ = "inner_lead(left_right)";
    const std::string inner_lead_left_right2_name_ = "inner_lead(left_right2)";
    const std::string inner_lead_top_bottom_name_ = "inner_lead(top_bottom)";
};

}  // namespace pkg::qfp
