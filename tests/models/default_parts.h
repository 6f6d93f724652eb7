#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "models/part_loaders.h"

namespace default_parts {

// The ten package-type folder names, in the order the program numbers them.
inline const char* const kTypeFolders[] = {"QFP",    "SOP",    "PBGA",   "FCBGA",  "TO-220",
                                           "TO-247", "TO-263", "TO-252", "SOT-89", "SOT-223"};

// A package object with the defaults of a type folder's package.
inline std::unique_ptr<pkg::SemiconductorPackage> MakeDefault(const std::string& folder) {
    using namespace pkg;
    if (folder == "QFP") return std::make_unique<qfp::QFPDetailedModel>(false);
    if (folder == "SOP") return std::make_unique<qfp::QFPDetailedModel>(true);
    if (folder == "PBGA") return std::make_unique<bga::BGADetailedModel>(false);
    if (folder == "FCBGA") return std::make_unique<bga::BGADetailedModel>(true);
    if (folder == "TO-220") return std::make_unique<pdevice::TO220DetailedModel>();
    if (folder == "TO-247") return std::make_unique<pdevice::TO247DetailedModel>();
    if (folder == "TO-263") return std::make_unique<pdevice::TO263DetailedModel>();
    if (folder == "TO-252") return std::make_unique<pdevice::TO252DetailedModel>();
    if (folder == "SOT-89") return std::make_unique<pdevice::SOT89DetailedModel>();
    if (folder == "SOT-223") return std::make_unique<pdevice::SOT223DetailedModel>();
    return nullptr;
}

// Writes the default part of a type folder to `path`; false when it cannot be written.
inline bool WriteDefaultPart(const std::string& folder, const std::filesystem::path& path) {
    auto part = MakeDefault(folder);
    std::ofstream out(path);
    return part && part->WritePartFile(out) && out.good();
}

}  // namespace default_parts
