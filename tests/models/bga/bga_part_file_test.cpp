#include "models/bga/bga.h"

#include <gtest/gtest.h>

#include "tests/models/part_file_test_util.h"

namespace {

using pkg::bga::BGA;
using testutil::Read;
using testutil::Write;

bool Contains(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

// Leaves whose values shape the file (layer count, layout) or are derived on read.
const char* kShapeKeys = "version,number_of_layer,layout";

TEST(BGAPartFile, EveryWrittenValueRoundTrips) {
    for (bool fcbga : {false, true}) {
        SCOPED_TRACE(fcbga ? "fcbga" : "pbga");
        const std::string defaults = Write(BGA(fcbga));
        const std::string perturbed = testutil::PerturbValues(defaults, kShapeKeys);
        ASSERT_NE(perturbed, defaults);

        BGA back(fcbga);
        ASSERT_TRUE(Read(back, perturbed));
        BGA again(fcbga);
        ASSERT_TRUE(Read(again, Write(back)));
        EXPECT_EQ(Write(again), Write(back));

        if (fcbga) {
            EXPECT_EQ(Write(back), perturbed);
        } else {
            // Wire lengths are derived from board, wiring area and chip, never read.
            EXPECT_EQ(back.wire.length.x,
                      (back.board.size.x - 2 * back.board.wiring_area_size.x - back.chip.size.x) / 2);
            EXPECT_EQ(back.wire.length.y,
                      (back.board.size.y - 2 * back.board.wiring_area_size.y - back.chip.size.y) / 2);
            EXPECT_EQ(testutil::WithElement(testutil::WithElement(Write(back), "wire.length.x", "0"),
                                            "wire.length.y", "0"),
                      testutil::WithElement(testutil::WithElement(perturbed, "wire.length.x", "0"),
                                            "wire.length.y", "0"));
        }
    }
}

TEST(BGAPartFile, DefaultsAndDerivedHeights) {
    const BGA p(false);
    EXPECT_STREQ(p.TypeName(), "pbga");
    EXPECT_FALSE(p.IsFCBGA());
    EXPECT_DOUBLE_EQ(p.SubstrateTopHeight(), 1.04);
    EXPECT_DOUBLE_EQ(p.ChipBottomHeight(), 1.04);
    EXPECT_DOUBLE_EQ(p.wire.length.x, 4.0);

    BGA withAttach(false);
    withAttach.composition.bonded_part = true;
    EXPECT_DOUBLE_EQ(withAttach.ChipBottomHeight(), 1.06);

    BGA flip(true);
    EXPECT_STREQ(flip.TypeName(), "fcbga");
    EXPECT_TRUE(flip.IsFCBGA());
    flip.composition.bonded_part = true;  // a flip chip never has a die attach
    EXPECT_DOUBLE_EQ(flip.ChipBottomHeight(), 1.04 + 0.05);
}

TEST(BGAPartFile, GroupsFollowTheType) {
    const std::string pbga = Write(BGA(false));
    EXPECT_TRUE(Contains(pbga, "\n  <bonded_part>\n"));
    EXPECT_TRUE(Contains(pbga, "\n  <wire>\n"));
    EXPECT_TRUE(Contains(pbga, "<wiring_area_size>"));
    EXPECT_FALSE(Contains(pbga, "<bump>"));

    const std::string fcbga = Write(BGA(true));
    EXPECT_FALSE(Contains(fcbga, "\n  <bonded_part>\n"));
    EXPECT_FALSE(Contains(fcbga, "\n  <wire>\n"));
    EXPECT_FALSE(Contains(fcbga, "<wiring_area_size>"));
    EXPECT_FALSE(Contains(fcbga, "<land_size>"));
    EXPECT_TRUE(Contains(fcbga, "<bump>"));

    // Four layers: wiring and coverage 1..4, insulator 1..3 only.
    EXPECT_TRUE(Contains(pbga, "<layer_4>0.040000000000000001</layer_4>"));
    EXPECT_TRUE(Contains(pbga, "<thick_of_boardlayer>\n      <layer_1>0.10000000000000001"
                               "</layer_1>\n      <layer_2>0.17999999999999999</layer_2>\n"
                               "      <layer_3>0.10000000000000001</layer_3>\n"
                               "    </thick_of_boardlayer>"));

    BGA p(true);
    EXPECT_TRUE(Read(p, fcbga));
    BGA q(false);
    EXPECT_FALSE(Read(q, testutil::WithoutElement(pbga, "bonded_part")));
    EXPECT_FALSE(Read(q, testutil::WithoutElement(pbga, "wire.number.x")));
    EXPECT_TRUE(Read(q, testutil::WithoutElement(pbga, "wire.density")));
    EXPECT_FALSE(Read(q, testutil::WithoutElement(pbga, "board.land_size.y")));
}

TEST(BGAPartFile, RequiredAndOptionalValues) {
    const std::string text = Write(BGA(false));
    BGA p(false);
    EXPECT_FALSE(Read(p, testutil::WithoutElement(text, "mold.size.x")));
    EXPECT_FALSE(Read(p, testutil::WithoutElement(text, "solder_ball")));
    EXPECT_FALSE(Read(p, testutil::WithoutElement(text, "composition")));
    EXPECT_FALSE(Read(p, testutil::WithElement(text, "chip.rate_of_heating", "hot")));

    // An optional value that is missing or unreadable keeps the field's current value.
    BGA q(false);
    q.mold.density = 1234.0;
    ASSERT_TRUE(Read(q, testutil::WithElement(text, "mold.density", "heavy")));
    EXPECT_EQ(q.mold.density, 1234.0);
    q.mold.density = 1234.0;
    ASSERT_TRUE(Read(q, testutil::WithoutElement(text, "mold.density")));
    EXPECT_EQ(q.mold.density, 1234.0);
    ASSERT_TRUE(Read(q, testutil::WithElement(text, "mold.density", " 2000 ")));
    EXPECT_EQ(q.mold.density, 2000.0);

    // Switches: a present but empty composition reads all three as true.
    std::string empty = text;
    const size_t b = empty.find("  <composition>");
    const size_t e = empty.find("</composition>") + 14;
    empty.replace(b, e - b, "  <composition/>");
    ASSERT_TRUE(Read(q, empty));
    EXPECT_TRUE(q.composition.bonded_part && q.composition.wire && q.composition.via);
    ASSERT_TRUE(Read(q, testutil::WithElement(text, "composition.wire", "0")));
    EXPECT_FALSE(q.composition.wire);
    ASSERT_TRUE(Read(q, testutil::WithElement(text, "composition.wire", "maybe")));
    EXPECT_TRUE(q.composition.wire);
}

TEST(BGAPartFile, LayerCountLimitsTheTables) {
    BGA two(false);
    two.board.number_of_layer = 2;
    const std::string text = Write(two);
    EXPECT_FALSE(Contains(text, "<layer_3>"));
    BGA p(false);
    ASSERT_TRUE(Read(p, text));
    EXPECT_EQ(p.board.number_of_layer, 2);
    EXPECT_FALSE(Read(p, testutil::WithoutElement(text, "board.ratio_of_wiring.layer_2")));

    // Counts outside 1..8 are refused instead of indexing past the eight table entries.
    for (const char* n : {"0", "-1", "9", "100000"}) {
        BGA q(false);
        EXPECT_FALSE(Read(q, testutil::WithElement(text, "board.number_of_layer", n))) << n;
        EXPECT_EQ(q.board.number_of_layer, 4) << n;
    }
    BGA eight(false);
    eight.board.number_of_layer = 8;
    BGA q(false);
    ASSERT_TRUE(Read(q, Write(eight)));
    EXPECT_EQ(q.board.number_of_layer, 8);

    // Entries past the count stay in the object: 4 -> 2 -> 4 restores layers 3 and 4.
    BGA edit(false);
    edit.board.thick_of_wiringlayer[3] = 0.07;
    edit.board.number_of_layer = 2;
    edit.board.number_of_layer = 4;
    EXPECT_EQ(edit.board.thick_of_wiringlayer[3], 0.07);
}

TEST(BGAPartFile, LegacyBgaTypeReadsAsPbgaAndReadsBackAfterWriting) {
    std::string text = Write(BGA(false));
    text.replace(text.find("<type>pbga</type>"), 17, "<type>bga</type>");
    BGA p(true);
    ASSERT_TRUE(Read(p, text));
    EXPECT_STREQ(p.TypeName(), "bga");
    EXPECT_FALSE(p.IsFCBGA());
    EXPECT_TRUE(p.IsPBGA());

    const std::string rewritten = Write(p);
    EXPECT_TRUE(Contains(rewritten, "<type>bga</type>"));
    EXPECT_TRUE(Contains(rewritten, "\n  <bonded_part>\n"));
    EXPECT_TRUE(Contains(rewritten, "\n  <wire>\n"));
    BGA q(false);
    ASSERT_TRUE(Read(q, rewritten));
    EXPECT_EQ(Write(q), rewritten);

    // Without the PBGA groups a "bga" file is refused like a "pbga" one.
    EXPECT_FALSE(Read(q, testutil::WithoutElement(text, "wire")));
}

TEST(BGAPartFile, OtherFamiliesAreRefused) {
    BGA p(false);
    EXPECT_FALSE(Read(p, "<?xml version=\"1.0\"?><ostl_trelvo><version>1</version>"
                         "<type>qfp</type><mold><size><x>1</x><y>1</y></size>"
                         "<thickness>1</thickness><thermal_conductivity>1"
                         "</thermal_conductivity></mold></ostl_trelvo>"));
}

}  // namespace
