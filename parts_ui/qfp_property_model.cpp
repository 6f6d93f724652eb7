#include "parts_ui/qfp_property_model.h"

#include <vector>

#include "models/package_types.h"
#include "resources/string_ids.h"

namespace parts_ui {

namespace r = resources;
using widget::WTreeItem;

namespace {

enum class Kind { Real, Count, Flag };

// One value item: where it sits, its key and the record field it shows.
struct Row {
    std::uint32_t group;     // top-level group, also the first half of the key
    std::uint32_t subGroup;  // 0 when the item lies in the group itself
    std::uint32_t item;
    Kind kind;
    void* field;
};

std::vector<Row> Rows(QFPParameters& record) {
    QFPParameters* q = &record;
    return {
        {r::IDS_PROP_MOLD, r::IDS_PROP_SIZE, r::IDS_PROP_X, Kind::Real, &q->mold.size.x},
        {r::IDS_PROP_MOLD, r::IDS_PROP_SIZE, r::IDS_PROP_Y, Kind::Real, &q->mold.size.y},
        {r::IDS_PROP_MOLD, 0, r::IDS_PROP_THICKNESS, Kind::Real, &q->mold.thickness},
        {r::IDS_PROP_MOLD, 0, r::IDS_PROP_STAND_OFF, Kind::Real, &q->outer_lead.stand_off},
        {r::IDS_PROP_LEAD_GENERAL, 0, r::IDS_PROP_WIDTH, Kind::Real, &q->lead.width},
        {r::IDS_PROP_LEAD_GENERAL, 0, r::IDS_PROP_PITCH, Kind::Real, &q->lead.pitch},
        {r::IDS_PROP_LEAD_GENERAL, 0, r::IDS_PROP_THICKNESS, Kind::Real, &q->lead.thickness},
        {r::IDS_PROP_LEAD_GENERAL, r::IDS_PROP_NUMBER_OF_LEAD, r::IDS_PROP_XMIN_XMAX, Kind::Count,
         &q->lead.number_of_xmin_xmax_lead},
        {r::IDS_PROP_LEAD_GENERAL, r::IDS_PROP_NUMBER_OF_LEAD, r::IDS_PROP_YMIN_YMAX, Kind::Count,
         &q->lead.number_of_ymin_ymax_lead},
        {r::IDS_PROP_OUTER_LEAD, 0, r::IDS_PROP_LENGTH, Kind::Real, &q->outer_lead.length},
        {r::IDS_PROP_OUTER_LEAD, 0, r::IDS_PROP_MOUNTING_LENGTH, Kind::Real,
         &q->outer_lead.length_of_mouting_area},
        {r::IDS_PROP_OUTER_LEAD, 0, r::IDS_PROP_HEIGHT_FROM_MOLD_BOTTOM, Kind::Real,
         &q->outer_lead.height_from_bottom_of_mold},
        {r::IDS_PROP_INNER_LEAD, 0, r::IDS_PROP_OFFSET_FROM_DIE_PAD, Kind::Real,
         &q->inner_lead.offset},
        {r::IDS_PROP_SUSPENSION_LEAD, 0, r::IDS_PROP_CREATE_SUSPENSION_LEAD, Kind::Flag,
         &q->composition.suspension},
        {r::IDS_PROP_SUSPENSION_LEAD, 0, r::IDS_PROP_WIDTH, Kind::Real, &q->suspension_lead.width},
        {r::IDS_PROP_CHIP, r::IDS_PROP_SIZE, r::IDS_PROP_X, Kind::Real, &q->chip.size.x},
        {r::IDS_PROP_CHIP, r::IDS_PROP_SIZE, r::IDS_PROP_Y, Kind::Real, &q->chip.size.y},
        {r::IDS_PROP_CHIP, 0, r::IDS_PROP_THICKNESS, Kind::Real, &q->chip.thickness},
        {r::IDS_PROP_CHIP, 0, r::IDS_PROP_RATE_OF_HEATING, Kind::Real, &q->chip.rate_of_heating},
        {r::IDS_PROP_DIE_PAD, r::IDS_PROP_SIZE, r::IDS_PROP_X, Kind::Real, &q->die_pad.size.x},
        {r::IDS_PROP_DIE_PAD, r::IDS_PROP_SIZE, r::IDS_PROP_Y, Kind::Real, &q->die_pad.size.y},
        {r::IDS_PROP_DIE_PAD, 0, r::IDS_PROP_DEPRESS, Kind::Real, &q->die_pad.depress},
        {r::IDS_PROP_DIE_PAD, 0, r::IDS_PROP_INSERT_DIE_BONDING, Kind::Flag,
         &q->composition.bonded_part},
        {r::IDS_PROP_DIE_PAD, r::IDS_PROP_DIE_BONDING, r::IDS_PROP_THICKNESS, Kind::Real,
         &q->bonded_part.thickness},
        {r::IDS_PROP_WIRE, 0, r::IDS_PROP_CREATE_WIRE, Kind::Flag, &q->composition.wire},
        {r::IDS_PROP_WIRE, 0, r::IDS_PROP_DIAMETER, Kind::Real, &q->wire.diameter},
        {r::IDS_PROP_DENSITY_GROUP, 0, r::IDS_PROP_MOLD, Kind::Real, &q->mold.density},
        {r::IDS_PROP_DENSITY_GROUP, 0, r::IDS_PROP_LEAD_GENERAL, Kind::Real, &q->lead.density},
        {r::IDS_PROP_DENSITY_GROUP, 0, r::IDS_PROP_CHIP, Kind::Real, &q->chip.density},
        {r::IDS_PROP_DENSITY_GROUP, 0, r::IDS_PROP_DIE_BONDING, Kind::Real,
         &q->bonded_part.density},
        {r::IDS_PROP_DENSITY_GROUP, 0, r::IDS_PROP_WIRE, Kind::Real, &q->wire.density},
        {r::IDS_PROP_CONDUCTIVITY_GROUP, 0, r::IDS_PROP_MOLD, Kind::Real,
         &q->mold.thermal_conductivity},
        {r::IDS_PROP_CONDUCTIVITY_GROUP, 0, r::IDS_PROP_LEAD_GENERAL, Kind::Real,
         &q->lead.thermal_conductivity},
        {r::IDS_PROP_CONDUCTIVITY_GROUP, 0, r::IDS_PROP_CHIP, Kind::Real,
         &q->chip.thermal_conductivity},
        {r::IDS_PROP_CONDUCTIVITY_GROUP, 0, r::IDS_PROP_DIE_BONDING, Kind::Real,
         &q->bonded_part.thermal_conductivity},
        {r::IDS_PROP_CONDUCTIVITY_GROUP, 0, r::IDS_PROP_WIRE, Kind::Real,
         &q->wire.thermal_conductivity},
        {r::IDS_PROP_SPECIFIC_HEAT_GROUP, 0, r::IDS_PROP_MOLD, Kind::Real, &q->mold.specific_heat},
        {r::IDS_PROP_SPECIFIC_HEAT_GROUP, 0, r::IDS_PROP_LEAD_GENERAL, Kind::Real,
         &q->lead.specific_heat},
        {r::IDS_PROP_SPECIFIC_HEAT_GROUP, 0, r::IDS_PROP_CHIP, Kind::Real, &q->chip.specific_heat},
        {r::IDS_PROP_SPECIFIC_HEAT_GROUP, 0, r::IDS_PROP_DIE_BONDING, Kind::Real,
         &q->bonded_part.specific_heat},
        {r::IDS_PROP_SPECIFIC_HEAT_GROUP, 0, r::IDS_PROP_WIRE, Kind::Real, &q->wire.specific_heat},
    };
}

constexpr std::uint32_t kGroups[] = {r::IDS_PROP_MOLD,
                                     r::IDS_PROP_LEAD_GENERAL,
                                     r::IDS_PROP_OUTER_LEAD,
                                     r::IDS_PROP_INNER_LEAD,
                                     r::IDS_PROP_SUSPENSION_LEAD,
                                     r::IDS_PROP_CHIP,
                                     r::IDS_PROP_DIE_PAD,
                                     r::IDS_PROP_WIRE,
                                     r::IDS_PROP_DENSITY_GROUP,
                                     r::IDS_PROP_CONDUCTIVITY_GROUP,
                                     r::IDS_PROP_SPECIFIC_HEAT_GROUP};

// A copy of the package's parameter block as a record.
QFPParameters RecordOf(const pkg::qfp::QFP& q) {
    QFPParameters p;
    p.mold = q.mold;
    p.lead = q.lead;
    p.outer_lead = q.outer_lead;
    p.chip = q.chip;
    p.die_pad = q.die_pad;
    p.bonded_part = q.bonded_part;
    p.inner_lead = q.inner_lead;
    p.wire = q.wire;
    p.suspension_lead = q.suspension_lead;
    p.composition = q.composition;
    return p;
}

}  // namespace

PropertyModel BuildQFPPropertyTree(const pkg::qfp::QFP& package) {
    PropertyModel result;
    result.model = std::make_shared<widget::WTreeItemModel>();
    QFPParameters p = RecordOf(package);
    const bool showY = pkg::TypeNameHas(package.TypeName(), pkg::kFourSidedLeads);
    const auto rows = Rows(p);
    for (std::uint32_t groupId : kGroups) {
        auto group = MakePropertyGroup(groupId);
        std::shared_ptr<WTreeItem> sub;
        std::uint32_t subId = 0;
        for (const Row& row : rows) {
            if (row.group != groupId) continue;
            std::shared_ptr<WTreeItem> parent = group;
            if (row.subGroup != 0) {
                if (row.subGroup != subId) {
                    sub = MakePropertyGroup(row.subGroup);
                    subId = row.subGroup;
                    group->AppendRow(sub);
                }
                parent = sub;
            }
            widget::Variant value;
            switch (row.kind) {
                case Kind::Real:
                    value = MakeDoubleVariant(*static_cast<double*>(row.field));
                    break;
                case Kind::Count:
                    value = MakeIntVariant(*static_cast<std::int32_t*>(row.field));
                    break;
                case Kind::Flag:
                    value = MakeBoolVariant(*static_cast<bool*>(row.field));
                    break;
            }
            const std::wstring key = PropertyKey(row.group, row.item);
            if (row.item == r::IDS_PROP_YMIN_YMAX && !showY) {
                // Indexed but not shown: an SOP carries its y count through unchanged.
                auto hidden = std::make_shared<WTreeItem>(LoadText(row.item));
                hidden->SetData(value);
                result.index[key] = hidden;
                continue;
            }
            AddPropertyChild(result.index, parent, key, LoadText(row.item), value);
        }
        result.model->AppendRow(group);
    }
    return result;
}

QFPParameters ApplyQFPProperties(PropertyItemIndex index) {
    QFPParameters p;
    for (const Row& row : Rows(p)) {
        const widget::Variant value = index.at(PropertyKey(row.group, row.item))->Data();
        switch (row.kind) {
            case Kind::Real:
                *static_cast<double*>(row.field) = VariantAsDouble(value);
                break;
            case Kind::Count:
                *static_cast<std::int32_t*>(row.field) = VariantAsInt(value);
                break;
            case Kind::Flag:
                *static_cast<bool*>(row.field) = VariantAsBool(value);
                break;
        }
    }
    return p;
}

bool ValidateQFPParameters(const QFPParameters& p, const std::string& typeName) {
    return CheckRules(pkg::CheckQFPRules(
        {p.mold, p.lead, p.outer_lead, p.chip, p.die_pad, p.bonded_part, p.inner_lead, p.wire,
         p.suspension_lead, p.composition, pkg::TypeNameHas(typeName, pkg::kFourSidedLeads)}));
}

void PushQFPParameters(const QFPParameters& p,
                       const std::shared_ptr<pkg::qfp::QFPDetailedModel>& package) {
    if (!package) return;
    pkg::qfp::QFP& q = *package;
    // The die pad's height is no item: keep what the package holds, never the record's 0.
    const double diePadThickness = q.die_pad.thickness;
    q.mold = p.mold;
    q.lead = p.lead;
    q.outer_lead = p.outer_lead;
    q.chip = p.chip;
    q.die_pad = p.die_pad;
    q.die_pad.thickness = diePadThickness;
    q.bonded_part = p.bonded_part;
    q.inner_lead = p.inner_lead;
    q.wire = p.wire;
    q.suspension_lead = p.suspension_lead;
    q.composition = p.composition;
}

}  // namespace parts_ui
