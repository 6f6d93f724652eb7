// The check of a built model: every default part passes in every build it has, and a value
// that puts a solid out of place, leaves it without size or mixes an impossible material
// is named with its group.
#include "models/model_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "models/bga/bga_simplified_model.h"
#include "models/part_loaders.h"
#include "models/pdevice/power_device.h"
#include "models/qfp/qfp_simplified_model.h"
#include "resources/string_ids.h"
#include "tests/models/real_outlines.h"

namespace {

namespace r = resources;
using pkg::bga::BGA;
using pkg::qfp::QFP;
using namespace real_outlines;

std::shared_ptr<pkg::DetailedModel> Model(const std::shared_ptr<pkg::SemiconductorPackage>& p) {
    return std::dynamic_pointer_cast<pkg::DetailedModel>(p);
}

// Both builds of a model pass, and the air block of a ball-grid array is the outline itself.
void ExpectSound(pkg::DetailedModel& model, const std::string& what) {
    ASSERT_EQ(model.Build(), 0);
    const pkg::RuleViolation built = pkg::CheckBuiltModel(model);
    EXPECT_FALSE(built) << what << ": " << built.message << " "
                        << std::string(built.literal.begin(), built.literal.end());
    ASSERT_EQ(model.BuildWithAir(), 0);
    const pkg::RuleViolation with_air = pkg::CheckBuiltModel(model);
    EXPECT_FALSE(with_air) << what << " with air: " << with_air.message;
}

TEST(ModelCheck, EveryDefaultPartIsSoundInEveryBuild) {
    for (int type = 0; type < pkg::kPackageTypeCount; ++type) {
        ExpectSound(*Model(pkg::MakeDefaultPackage(type)), pkg::kPackageTypeNames[type]);
    }
    for (bool fcbga : {false, true}) {
        pkg::bga::BGASimplifiedModel simple(fcbga);
        ExpectSound(simple, fcbga ? "simple FCBGA" : "simple PBGA");
    }
    for (bool sop : {false, true}) {
        pkg::qfp::QFPSimplifiedModel simple(sop);
        ExpectSound(simple, sop ? "simple SOP" : "simple QFP");
    }
}

// Outlines as their drawings give them: every build of each is sound.
TEST(ModelCheck, RealOutlinesAreSound) {
    for (const real_outlines::Outline& outline : real_outlines::kOutlines) {
        const auto part = real_outlines::MakePart(outline);
        ExpectSound(*Model(part), outline.name);
        if (const auto* q = dynamic_cast<const QFP*>(part.get())) {
            pkg::qfp::QFPSimplifiedModel simple(q->IsSOP());
            static_cast<QFP&>(simple) = *q;
            ExpectSound(simple, std::string("simple ") + outline.name);
        } else if (const auto* b = dynamic_cast<const BGA*>(part.get())) {
            pkg::bga::BGASimplifiedModel simple(b->IsFCBGA());
            static_cast<BGA&>(simple) = *b;
            ExpectSound(simple, std::string("simple ") + outline.name);
        }
    }
}

struct Fault {
    int type;
    std::function<void(pkg::SemiconductorPackage&)> change;
    std::uint32_t message;
    std::wstring literal;
};

TEST(ModelCheck, NamesTheGroupAndTheFact) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Fault faults[] = {
        // A chip thicker than the mold stands above the package.
        {kQFP, [](auto& p) { Q(p).chip.thickness = 5.0; }, r::IDS_MODEL_SOLID_OUTSIDE,
         L"chip_group / chip"},
        // A die pad pressed below the leads' level by more than it stands off the board.
        {kQFP, [](auto& p) { Q(p).die_pad.depress = 3.0; }, r::IDS_MODEL_SOLID_BELOW_BOARD,
         L"die_pad_group / die_pad"},
        // Inner leads that start beyond the mold edge: still within the outer leads' reach.
        {kQFP,
         [](auto& p) {
             QFP& q = Q(p);
             q.inner_lead.offset = (q.mold.size.x - q.die_pad.size.x) / 2.0 + 0.3;
         },
         r::IDS_MODEL_SOLID_OUTSIDE_MOLD, L"inner_lead_group / inner_lead(0)"},
        // The die pad takes the lead frame's thickness.
        {kSOP, [](auto& p) { Q(p).lead.thickness = 2.0; }, r::IDS_MODEL_SOLID_OUTSIDE,
         L"die_pad_group / die_pad"},
        {kTO220, [](auto& p) { D(p).chip.size.x = 50.0; }, r::IDS_MODEL_SOLID_OUTSIDE,
         L"bonded_part_group / bonded_part"},
        // A plate part inside the mold of negative length is built with no size at all.
        {kTO220, [](auto& p) { D(p).outer_shape_param.D2 = 1.0; }, r::IDS_MODEL_SOLID_NO_SIZE,
         L"plate_group / plate(1)"},
        {kSOT223, [](auto& p) { D(p).inner_shape_param.diepad_x = 50.0; },
         r::IDS_MODEL_SOLID_OUTSIDE, L"diepad_group / diepad"},
        {kPBGA, [](auto& p) { B(p).mold.thickness = 0.1; }, r::IDS_MODEL_SOLID_OUTSIDE,
         L"chip_group / chip"},
        // More bump cross-section than the chip has area: conductivity above the solder's.
        {kFCBGA, [](auto& p) { B(p).bump.number = 10000; }, r::IDS_MODEL_MIXTURE_OUT_OF_RANGE,
         L"bump (bump_group)"},
        {kPBGA,
         [](auto& p) {
             B(p).wire.number = {1000, 1000};
         },
         r::IDS_MODEL_MIXTURE_OUT_OF_RANGE, L"wire(left_right) (wire_left_right_group)"},
        {kPBGA, [](auto& p) { B(p).board.ratio_of_wiring[1] = 1.5; },
         r::IDS_MODEL_MIXTURE_OUT_OF_RANGE, L"board(wiring)(1) (board(wiring_layer))"},
        {kSOP, [nan](auto& p) { Q(p).mold.density = nan; }, r::IDS_MODEL_MATERIAL_VALUE,
         L"mold (mold_group)"},
        {kSOT223, [](auto& p) { D(p).property.diepad_specific_heat = -1.0; },
         r::IDS_MODEL_MATERIAL_VALUE, L"diepad (diepad_group)"},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(std::string(pkg::kPackageTypeNames[f.type]) + " " +
                     std::string(f.literal.begin(), f.literal.end()));
        const auto part = pkg::MakeDefaultPackage(f.type);
        f.change(*part);
        pkg::DetailedModel& model = *Model(part);
        ASSERT_EQ(model.Build(), 0);
        const pkg::RuleViolation fault = pkg::CheckBuiltModel(model);
        EXPECT_EQ(fault.message, f.message);
        EXPECT_EQ(fault.literal, f.literal);
    }
}

// The simplified models' effective materials are mixtures too: too many leads in a row
// make the leads-in-air block conduct better than the leads.
TEST(ModelCheck, SimplifiedMixturesStayBetweenTheirMaterials) {
    pkg::qfp::QFPSimplifiedModel qfp(false);
    qfp.lead.pitch = qfp.lead.width / 2.0;
    ASSERT_EQ(qfp.Build(), 0);
    EXPECT_EQ(pkg::CheckBuiltModel(qfp).message, r::IDS_MODEL_MIXTURE_OUT_OF_RANGE);
    pkg::bga::BGASimplifiedModel bga(false);
    bga.solder_ball.diameter = 3.0 * bga.solder_ball.pitch;
    ASSERT_EQ(bga.Build(), 0);
    EXPECT_EQ(pkg::CheckBuiltModel(bga).literal, L"solder_ball (solder_ball)");
}

}  // namespace
