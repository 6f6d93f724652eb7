#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Writes `bytes` to a new file beside `target` and renames it over `target` once it is
// complete. On false the old file is untouched and no temporary file is left behind.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace platform
