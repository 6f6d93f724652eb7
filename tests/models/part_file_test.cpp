#include "models/part_file.h"

#include <fstream>

#include <gtest/gtest.h>

#include "models/bga/bga.h"
#include "models/qfp/qfp.h"
#include "tests/models/part_file_test_util.h"

namespace {

using testutil::Read;
using testutil::Write;

TEST(PartFileNotation, RealsUseSeventeenSignificantDigits) {
    EXPECT_EQ(pkg::FormatReal(0.1), "0.10000000000000001");
    EXPECT_EQ(pkg::FormatReal(0.8), "0.80000000000000004");
    EXPECT_EQ(pkg::FormatReal(19.0), "19");
    EXPECT_EQ(pkg::FormatReal(0.02), "0.02");
    EXPECT_EQ(pkg::FormatReal(1850.0), "1850");
    double back = 0;
    ASSERT_TRUE(pkg::ParseReal("0.10000000000000001", back));
    EXPECT_EQ(back, 0.1);
}

TEST(PartFileNotation, ParsingTrimsWhiteSpaceAndRefusesGarbage) {
    double d = -1;
    EXPECT_TRUE(pkg::ParseReal("  2.5\n", d));
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(pkg::ParseReal("1e-3", d));
    EXPECT_EQ(d, 1e-3);
    d = -1;
    for (const char* bad : {"", "  ", "2.5mm", "abc", "nan", "inf", "1,5"}) {
        EXPECT_FALSE(pkg::ParseReal(bad, d)) << bad;
    }
    EXPECT_EQ(d, -1);

    int32_t i = 0;
    EXPECT_TRUE(pkg::ParseInt(" 12 ", i));
    EXPECT_EQ(i, 12);
    EXPECT_FALSE(pkg::ParseInt("1.5", i));
    EXPECT_FALSE(pkg::ParseInt("99999999999", i));

    bool b = false;
    EXPECT_TRUE(pkg::ParseBool("true", b) && b);
    EXPECT_TRUE(pkg::ParseBool("0", b) && !b);
    EXPECT_TRUE(pkg::ParseBool("1", b) && b);
    EXPECT_TRUE(pkg::ParseBool("false", b) && !b);
    EXPECT_FALSE(pkg::ParseBool("yes", b));
}

TEST(PartFileFrame, LayoutDeclarationAndHeader) {
    const std::string text = Write(pkg::bga::BGA(false));
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ostl_trelvo>\n"
                         "  <version>1</version>\n  <type>pbga</type>\n  <mold>\n"
                         "    <size>\n      <x>19</x>\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("<thermal_conductivity>0.80000000000000004</thermal_conductivity>"),
              std::string::npos);
}

TEST(PartFileFrame, RootVersionAndWellFormednessAreChecked) {
    const std::string good = Write(pkg::bga::BGA(false));
    pkg::bga::BGA p(false);
    EXPECT_TRUE(Read(p, good));

    std::string wrongRoot = good;
    for (size_t at; (at = wrongRoot.find("ostl_trelvo")) != std::string::npos;) {
        wrongRoot.replace(at, 11, "ostl_other");
    }
    EXPECT_FALSE(Read(p, wrongRoot));
    EXPECT_FALSE(Read(p, testutil::WithoutElement(good, "version")));
    EXPECT_TRUE(Read(p, testutil::WithElement(good, "version", "7")));
    EXPECT_FALSE(Read(p, testutil::WithElement(good, "version", "seven")));

    // Not well-formed: cut in the middle, or an unclosed element. Nothing is thrown.
    EXPECT_FALSE(Read(p, good.substr(0, good.size() / 2)));
    EXPECT_FALSE(Read(p, "<ostl_trelvo><version>1</version><type>pbga"));
    EXPECT_FALSE(Read(p, ""));

    // Well-formed but nested far deeper than a recursive reader's stack allows (175 KB), or
    // padded past any part file's size: refused before parsing.
    std::string deep;
    for (int i = 0; i < 30000; ++i) deep += "<x>";
    for (int i = 0; i < 30000; ++i) deep += "</x>";
    const size_t body = good.find("<version>");
    EXPECT_FALSE(Read(p, good.substr(0, body) + deep + good.substr(body)));
    EXPECT_FALSE(Read(p, good.substr(0, body) + std::string(5 << 20, ' ') + good.substr(body)));
}

TEST(PartFileFrame, ElementOrderCommentsAndExtraElementsDoNotMatter) {
    pkg::bga::BGA original(false);
    original.mold.size.x = 12.5;
    original.via.pitch = 0.75;
    const std::string text = Write(original);

    // Move "mold" behind everything else and add an unknown element and a comment.
    const size_t b = text.find("  <mold>");
    const size_t e = text.find("</mold>\n") + 8;
    std::string moved = text.substr(0, b) + text.substr(e);
    const size_t close = moved.find("</ostl_trelvo>");
    moved.insert(close, text.substr(b, e - b) + "  <!-- note -->\n  <extra><x>1</x></extra>\n");

    pkg::bga::BGA back(false);
    ASSERT_TRUE(Read(back, moved));
    EXPECT_EQ(back.mold.size.x, 12.5);
    EXPECT_EQ(back.via.pitch, 0.75);
    EXPECT_EQ(Write(back), text);
}

TEST(PartFileFrame, AFailingStreamIsReportedAsFailure) {
    std::ofstream full("/dev/full");
    ASSERT_TRUE(full.is_open());
    EXPECT_FALSE(pkg::bga::BGA(true).WritePartFile(full));

    std::ofstream full2("/dev/full");
    EXPECT_FALSE(pkg::qfp::QFP(false).WritePartFile(full2));

    std::ostringstream closed;
    closed.setstate(std::ios::badbit);
    EXPECT_FALSE(pkg::qfp::QFP(true).WritePartFile(closed));
}

}  // namespace
