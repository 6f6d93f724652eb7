#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "export/exporter/cab_exporter.h"
#include "models/pdevice/power_device_detailed_model.h"
#include "models/pdevice/sot223_detailed_model.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"

namespace {

namespace fs = std::filesystem;
namespace pt = boost::property_tree;
using namespace pkg::pdevice;

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

struct Device {
    std::wstring folder;
    std::function<std::unique_ptr<PowerDeviceModel>()> make;
};

const std::vector<Device>& Devices() {
    static const std::vector<Device> devices = {
        {L"TO-220", [] { return std::make_unique<TO220DetailedModel>(); }},
        {L"TO-247", [] { return std::make_unique<TO247DetailedModel>(); }},
        {L"TO-263", [] { return std::make_unique<TO263DetailedModel>(); }},
        {L"TO-252", [] { return std::make_unique<TO252DetailedModel>(); }},
        {L"SOT-89", [] { return std::make_unique<SOT89DetailedModel>(); }},
        {L"SOT-223", [] { return std::make_unique<SOT223DetailedModel>(); }},
    };
    return devices;
}

// What a Detail cabinet of a power device holds, read back from the extracted XML.
struct Library {
    std::vector<std::string> entries;
    std::vector<std::string> materials;
    std::vector<std::string> cube_names;
    std::vector<std::string> sizes;
    std::vector<std::string> heated;  // "name=heat W" of every block with a condition
    int hexas = 0;
    int facesets = 0;
};

void Walk(const pt::ptree& group, Library& lib) {
    for (const auto& [tag, node] : group) {
        if (tag == "group") Walk(node, lib);
        if (tag != "component") continue;
        const std::string type = node.get("<xmlattr>.type", "");
        if (type == "hexa") ++lib.hexas;
        if (type != "cube") continue;
        lib.cube_names.push_back(node.get<std::string>("name"));
        lib.sizes.push_back(node.get<std::string>("size"));
        if (auto c = node.get_child_optional("condition")) {
            lib.heated.push_back(lib.cube_names.back() + "=" + c->data() + " " +
                                 c->get("<xmlattr>.unit", ""));
        }
    }
}

class PowerDeviceCabinet : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = platform::MakeUniqueDirectory(platform::TempDirectory(), "pdevcab_");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Builds the model, writes its cabinet under the device's folder name and reads it back.
    Library Export(PowerDeviceModel& model, const std::wstring& folder) {
        model.SetName(L"part");
        EXPECT_EQ(model.Build(), 0);
        const fs::path cab = dir_ / (platform::PathFromWide(folder).string() + ".cab");
        Library lib;
        if (!pkg::exporter::CabExporter::write(folder, model.root, model.properties,
                                               model.chip.rate_of_heating,
                                               platform::PathToWide(cab))) {
            ADD_FAILURE() << "export failed";
            return lib;
        }
        std::istringstream listing(Shell("cabextract -q -l " + Quoted(cab) + " 2>&1"));
        bool in_table = false;
        for (std::string line; std::getline(listing, line);) {
            if (line.rfind("-----------+", 0) == 0) {
                in_table = true;
            } else if (in_table && line.find(" | ") != std::string::npos) {
                lib.entries.push_back(line.substr(line.rfind(" | ") + 3));
            } else {
                in_table = false;
            }
        }
        const fs::path out = dir_ / "unpacked";
        fs::remove_all(out);
        Shell("cabextract -q -d " + Quoted(out) + " " + Quoted(cab));
        if (lib.entries.size() != 1) return lib;
        pt::ptree doc;
        pt::read_xml((out / lib.entries[0]).string(), doc);
        const pt::ptree& library = doc.get_child("library");
        for (const auto& [tag, node] : library) {
            if (tag == "property") lib.materials.push_back(node.get<std::string>("name"));
            if (tag == "faceset") ++lib.facesets;
            if (tag == "group") Walk(node, lib);
        }
        return lib;
    }

    fs::path dir_;
};

TEST_F(PowerDeviceCabinet, EachDefaultDeviceWritesItsBlocksWithoutFaceSets) {
    for (const Device& d : Devices()) {
        SCOPED_TRACE(platform::WideToUtf8(d.folder));
        auto model = d.make();
        const Library lib = Export(*model, d.folder);
        ASSERT_EQ(lib.entries, std::vector<std::string>{platform::WideToUtf8(d.folder) + ".xml"});

        std::vector<std::string> blocks, materials;
        for (const auto& g : model->root.children) {
            for (const auto& c : g->cuboids) blocks.push_back(c.part_name);
        }
        for (const auto& p : model->properties) materials.push_back(p.name);
        EXPECT_EQ(lib.cube_names, blocks);
        EXPECT_EQ(lib.materials, materials);
        EXPECT_EQ(lib.hexas, 0);
        EXPECT_EQ(lib.facesets, 0);
        EXPECT_EQ(lib.heated, std::vector<std::string>{"chip=1 W"});
    }
}

TEST_F(PowerDeviceCabinet, BlocksThatWouldRunBackwardsExportWithNoNegativeSize) {
    TO220DetailedModel to220;
    to220.outer_shape_param.D2 = 5.0;
    SOT223DetailedModel sot223;
    sot223.outer_shape_param.L2 = 4.0;
    TO263DetailedModel to263;
    to263.composition.lead_type = -1;
    for (auto [model, folder] : std::vector<std::pair<PowerDeviceModel*, std::wstring>>{
             {&to220, L"TO-220"}, {&sot223, L"SOT-223"}, {&to263, L"TO-263"}}) {
        SCOPED_TRACE(platform::WideToUtf8(folder));
        const Library lib = Export(*model, folder);
        ASSERT_FALSE(lib.sizes.empty());
        for (const std::string& size : lib.sizes)
            EXPECT_EQ(size.find('-'), std::string::npos) << size;
    }
    EXPECT_EQ(Export(to220, L"TO-220").sizes.at(2), "6.9, 0, 0.5");  // plate(1)
}

}  // namespace
