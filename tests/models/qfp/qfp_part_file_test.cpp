#include "models/qfp/qfp.h"

#include <gtest/gtest.h>

#include "tests/models/part_file_test_util.h"

namespace {

using pkg::qfp::QFP;
using testutil::Read;
using testutil::Write;

bool Contains(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

TEST(QFPPartFile, EveryWrittenValueRoundTrips) {
    for (bool sop : {false, true}) {
        SCOPED_TRACE(sop ? "sop" : "qfp");
        const std::string perturbed = testutil::PerturbValues(Write(QFP(sop)), "version");
        QFP back(!sop);  // the file's type decides, not the constructor
        ASSERT_TRUE(Read(back, perturbed));
        EXPECT_EQ(Write(back), perturbed);
        EXPECT_EQ(back.IsSOP(), sop);
    }
}

TEST(QFPPartFile, DefaultsDifferByType) {
    const QFP q(false);
    EXPECT_STREQ(q.TypeName(), "qfp");
    EXPECT_EQ(q.mold.size.x, 7.0);
    EXPECT_EQ(q.lead.number_of_ymin_ymax_lead, 12);
    EXPECT_EQ(q.die_pad.thickness, q.lead.thickness);
    const QFP s(true);
    EXPECT_STREQ(s.TypeName(), "sop");
    EXPECT_EQ(s.mold.size.y, 28.3);
    EXPECT_EQ(s.lead.number_of_xmin_xmax_lead, 22);
    EXPECT_EQ(s.lead.number_of_ymin_ymax_lead, 0);
    EXPECT_EQ(s.suspension_lead.width, s.lead.width);
    EXPECT_TRUE(Contains(Write(s), "<length_of_mouting_area>0.80000000000000004"
                                   "</length_of_mouting_area>"));
}

TEST(QFPPartFile, SopHasNoYSideLeads) {
    const std::string sop = Write(QFP(true));
    EXPECT_FALSE(Contains(sop, "number_of_ymin_ymax_lead"));
    QFP p(false);
    ASSERT_TRUE(Read(p, sop));
    EXPECT_TRUE(p.IsSOP());
    EXPECT_EQ(p.lead.number_of_ymin_ymax_lead, 0);

    QFP q(true);
    ASSERT_TRUE(Read(q, testutil::WithElement(sop, "lead.number_of_ymin_ymax_lead", "8")));
    EXPECT_EQ(q.lead.number_of_ymin_ymax_lead, 0);

    QFP r(false);
    EXPECT_FALSE(
        Read(r, testutil::WithoutElement(Write(QFP(false)), "lead.number_of_ymin_ymax_lead")));
}

TEST(QFPPartFile, TypeIsCheckedFirstAndFollowedByTypeName) {
    QFP q(false);
    ASSERT_TRUE(Read(q, Write(QFP(true))));
    EXPECT_STREQ(q.TypeName(), "sop");
    EXPECT_EQ(q.TypeString(), "sop");

    QFP s(true);
    ASSERT_TRUE(Read(s, Write(QFP(false))));
    EXPECT_STREQ(s.TypeName(), "qfp");
    EXPECT_EQ(s.TypeString(), "qfp");

    std::string bga = Write(QFP(false));
    bga.replace(bga.find("<type>qfp</type>"), 16, "<type>pbga</type>");
    QFP t(false);
    t.mold.size.x = 3.0;
    EXPECT_FALSE(Read(t, bga));
    EXPECT_EQ(t.mold.size.x, 3.0);  // refused before any group is read
}

TEST(QFPPartFile, OptionalGroupsAndSwitches) {
    const std::string text = Write(QFP(false));
    QFP p(false);
    p.suspension_lead.width = 0.5;
    ASSERT_TRUE(Read(p, testutil::WithoutElement(
                            testutil::WithoutElement(text, "composition"), "suspension_lead")));
    EXPECT_EQ(p.suspension_lead.width, 0.5);
    EXPECT_TRUE(p.composition.bonded_part && p.composition.wire && p.composition.suspension);

    QFP noAttach(false);
    noAttach.composition.bonded_part = false;
    QFP back(false);
    ASSERT_TRUE(Read(back, Write(noAttach)));
    EXPECT_FALSE(back.composition.bonded_part);
    EXPECT_TRUE(back.composition.wire);

    for (const char* required : {"die_pad.depress", "inner_lead", "wire.diameter",
                                 "outer_lead.length_of_mouting_area", "bonded_part"}) {
        QFP q(false);
        EXPECT_FALSE(Read(q, testutil::WithoutElement(text, required))) << required;
    }
}

}  // namespace
