#pragma once

#include <string>

#include "models/semiconductor_package.h"

namespace testutil {

std::string Write(const pkg::SemiconductorPackage& p);
bool Read(pkg::SemiconductorPackage& p, const std::string& text);

// Gives every numeric leaf of a written part file a distinct value and flips every
// boolean, leaving the listed element names (counts that shape the file) alone.
std::string PerturbValues(const std::string& part_file, const std::string& keep_names);

// Removes the element at a key path below the root, or sets its text.
std::string WithoutElement(const std::string& part_file, const std::string& path);
std::string WithElement(const std::string& part_file, const std::string& path,
                        const std::string& text);

}  // namespace testutil
