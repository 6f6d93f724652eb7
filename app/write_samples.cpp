// Build tool: writes the sample parts that are installed beside the program,
// FOLDER/<TYPE>/<TYPE>_Sample_1.qvx, each the defaults of its package type.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "models/part_loaders.h"

namespace {

std::unique_ptr<pkg::SemiconductorPackage> MakeDefault(const std::string& type) {
    using namespace pkg;
    if (type == "QFP") return std::make_unique<qfp::QFPDetailedModel>(false);
    if (type == "SOP") return std::make_unique<qfp::QFPDetailedModel>(true);
    if (type == "PBGA") return std::make_unique<bga::BGADetailedModel>(false);
    if (type == "FCBGA") return std::make_unique<bga::BGADetailedModel>(true);
    if (type == "TO-220") return std::make_unique<pdevice::TO220DetailedModel>();
    if (type == "TO-247") return std::make_unique<pdevice::TO247DetailedModel>();
    if (type == "TO-263") return std::make_unique<pdevice::TO263DetailedModel>();
    if (type == "TO-252") return std::make_unique<pdevice::TO252DetailedModel>();
    if (type == "SOT-89") return std::make_unique<pdevice::SOT89DetailedModel>();
    if (type == "SOT-223") return std::make_unique<pdevice::SOT223DetailedModel>();
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const char* type : {"QFP", "SOP", "PBGA", "FCBGA", "TO-220", "TO-247", "TO-263",
                             "TO-252", "SOT-89", "SOT-223"}) {
        const auto part = MakeDefault(type);
        if (!part) continue;
        std::error_code error;
        std::filesystem::create_directories(folder / type, error);
        const std::filesystem::path file = folder / type / (std::string(type) + "_Sample_1.qvx");
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (!part->WritePartFile(out) || !(out.flush())) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
