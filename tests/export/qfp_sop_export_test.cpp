// Default QFP and SOP parts as detailed and simplified model cabinets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "export/exporter/cab_exporter.h"
#include "models/qfp/qfp_simplified_model.h"
#include "tests/export/compact_test_util.h"
#include "tests/export/qfp_sop_test_util.h"

namespace {

using compact_test::CompactFolders;
using compact_test::EntryCount;
using pkg::qfp::QFPDetailedModel;
using pkg::qfp::QFPSimplifiedModel;
using qfp_sop_test::ExtractOnly;
using qfp_sop_test::FacesInSet;
using qfp_sop_test::PrintGrid;
namespace fs = std::filesystem;

using QfpSopExport = CompactFolders;

TEST_F(QfpSopExport, DetailAndSimpleCabinets) {
    struct Case {
        bool sop, simplified;
        int feet;
    };
    for (const Case c : {Case{false, false, 48}, Case{true, false, 44}, Case{false, true, 4},
                         Case{true, true, 2}}) {
        std::unique_ptr<QFPDetailedModel> model = c.simplified
                                                      ? std::make_unique<QFPSimplifiedModel>(c.sop)
                                                      : std::make_unique<QFPDetailedModel>(c.sop);
        const std::string stem = std::string(c.sop ? "sop" : "qfp") + (c.simplified ? "_S" : "_D");
        SCOPED_TRACE(stem);
        ASSERT_EQ(model->Build(), 0);
        if (c.simplified) PrintGrid(stem.c_str(), *model);
        const fs::path cab = out_ / (stem + ".cab");
        ASSERT_TRUE(pkg::exporter::CabExporter::write(c.sop ? L"SOP" : L"QFP", model->root,
                                                      model->properties,
                                                      model->chip.rate_of_heating, cab.wstring()));
        const std::string xml = ExtractOnly(cab, root_ / ("x_" + stem));
        ASSERT_FALSE(xml.empty());
        EXPECT_EQ(FacesInSet(xml, stem + "_L"), c.feet);
        EXPECT_EQ(FacesInSet(xml, stem + "_T"), 1);
    }
    EXPECT_EQ(EntryCount(out_), 4u);
    EXPECT_EQ(EntryCount(tmp_), 0u);
}

}  // namespace
