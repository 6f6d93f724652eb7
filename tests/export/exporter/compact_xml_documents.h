#pragma once

// The compact-model documents kept as golden files under tests/data/compact_xml/: the test
// compares each with its file, and write_compact_xml_goldens writes them anew on request.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <boost/property_tree/xml_parser.hpp>

#include "export/exporter/compact_xml_writer.h"
#include "export/reg_link_manager/registance_link_manager.h"
#include "models/bga/bga_detailed_model.h"
#include "models/qfp/qfp.h"
#include "platform/wide_string.h"

namespace testutil {

inline std::string Xml(const pkg::exporter::WideTree& tree) {
    std::wostringstream text;
    boost::property_tree::write_xml(
        text, tree,
        boost::property_tree::xml_writer_make_settings<std::wstring>(L' ', 2, L"utf-8"));
    return platform::WideToUtf8(text.str());
}

// File name and document text of every golden compact-model document.
inline std::vector<std::pair<std::string, std::string>> CompactXmlDocuments() {
    using namespace pkg::exporter;
    using pkg::reg_link_manager::CreateRegistanceLinkManager;
    std::vector<std::pair<std::string, std::string>> documents;

    double values[64] = {12.5, 30, 1.0 / 3.0};
    pkg::qfp::QFP qfp(false);
    pkg::Group root;
    auto mold = pkg::MakeGroup(L"mold_group");
    mold->AddCuboid("mold", "mold", pkg::Cuboid{-3.5, -3.5, 0.1, 7, 7, 1.4});
    pkg::Prism lead;
    lead.corner[0] = {-4.5, -1, 0};
    lead.corner[1] = {-3.5, -1, 0};
    lead.corner[2] = {-3.5, 1, 0};
    lead.corner[3] = {-4.5, 1, 0};
    lead.base_z = 0.0;
    lead.thickness = 0.125;
    mold->AddPrism("outer_lead(0)", "lead", lead);
    root.AddChild(mold);
    WideTree two;
    WriteTwoResistorModelXml(qfp, root, values, L"q1", two);
    documents.emplace_back("two_qfp.xml", Xml(two));

    pkg::qfp::QFP sop(true);
    sop.chip.rate_of_heating = 0.1;
    WideTree three;
    WriteThreeResistorModelXml(sop, values, L"部品", three);
    documents.emplace_back("three_sop.xml", Xml(three));

    auto qfp_links = CreateRegistanceLinkManager("QFP", nullptr);
    double delphi[64] = {};
    delphi[0] = 1.5;       // J-TI
    delphi[5] = 0.0001;    // J-S: small but present
    delphi[20] = 1.0 / 3;  // L-S
    WideTree qfp_delphi;
    WriteDelphiModelXml(qfp, delphi, *qfp_links, L"d1", qfp_delphi);
    documents.emplace_back("delphi_qfp.xml", Xml(qfp_delphi));

    pkg::bga::BGADetailedModel bga(false);
    bga.solder_ball.layout = 1;
    auto bga_links = CreateRegistanceLinkManager("PBGA", &bga);
    double bga_values[64] = {};
    for (int l = 0; l < bga_links->count; ++l) bga_values[l] = l + 0.5;
    bga_values[3] = 0.0;  // J-L absent
    WideTree bga_delphi;
    WriteBgaDelphiModelXml(bga, bga_values, *bga_links, L"b1", bga_delphi);
    documents.emplace_back("delphi_bga_out.xml", Xml(bga_delphi));
    return documents;
}

}  // namespace testutil
