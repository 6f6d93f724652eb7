#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "models/part_loaders.h"

namespace default_parts {

// The ten package-type folder names, in the order the program numbers them.
inline const auto& kTypeFolders = pkg::kPackageTypeNames;

// A package object with the defaults of a type folder's package.
inline std::shared_ptr<pkg::SemiconductorPackage> MakeDefault(const std::string& folder) {
    for (int index = 0; index < 10; ++index) {
        if (folder == kTypeFolders[index]) return pkg::MakeDefaultPackage(index);
    }
    return nullptr;
}

// Writes the default part of a type folder to `path`; false when it cannot be written.
inline bool WriteDefaultPart(const std::string& folder, const std::filesystem::path& path) {
    auto part = MakeDefault(folder);
    std::ofstream out(path);
    return part && part->WritePartFile(out) && out.good();
}

}  // namespace default_parts
