#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Renames or moves a file or folder without ever replacing what is at `to`: false, with
// nothing changed and `error` saying why, when `to` exists or the file system cannot
// promise that (it lacks a no-replace rename).
bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string& error);

// Moves a file or folder to the user's trash, from where it can be restored; false, with
// nothing deleted and `error` saying why, when there is no trash for it.
bool MoveToTrash(const std::filesystem::path& path, std::string& error);

}  // namespace platform
