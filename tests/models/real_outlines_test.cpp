// Parts at the nominal dimensions of their package drawings hold to every validity rule
// and build, as detailed model, simplified model and with air, into blocks of real size.
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "models/part_loaders.h"
#include "models/part_rules.h"
#include "tests/models/real_outlines.h"

namespace {

using namespace real_outlines;

// Every block of the tree has a size and lies above the board.
void ExpectRealBlocks(const pkg::Group& group) {
    for (const auto& b : group.cuboids) {
        EXPECT_TRUE(b.box.dx > 0 && b.box.dy > 0 && b.box.dz > 0 && b.box.z >= 0) << b.part_name;
    }
    for (const auto& child : group.children) ExpectRealBlocks(*child);
}

// The part read back as `model`, built without and with air.
void ExpectBuilds(const pkg::SemiconductorPackage& part, pkg::SemiconductorPackage& model) {
    std::stringstream file;
    ASSERT_TRUE(part.WritePartFile(file));
    ASSERT_TRUE(model.ReadPartFile(file));
    auto& built = dynamic_cast<pkg::DetailedModel&>(model);
    ASSERT_EQ(built.Build(), 0);
    EXPECT_FALSE(built.root.children.empty());
    ExpectRealBlocks(built.root);
    ASSERT_EQ(built.BuildWithAir(), 0);
    ExpectRealBlocks(built.root);
}

TEST(RealOutlines, HoldToTheRulesAndBuild) {
    for (const Outline& outline : kOutlines) {
        SCOPED_TRACE(outline.name);
        const auto part = MakePart(outline);
        const pkg::RuleViolation broken = pkg::CheckPackageRules(*part);
        EXPECT_FALSE(broken) << "message " << broken.message << " name " << broken.name;

        ExpectBuilds(*part, *pkg::MakeDefaultPackage(outline.type));
        if (outline.type == kQFP || outline.type == kSOP) {
            pkg::qfp::QFPSimplifiedModel simple(outline.type == kSOP);
            ExpectBuilds(*part, simple);
        } else if (outline.type == kPBGA || outline.type == kFCBGA) {
            pkg::bga::BGASimplifiedModel simple(outline.type == kFCBGA);
            ExpectBuilds(*part, simple);
        }
    }
}

}  // namespace
