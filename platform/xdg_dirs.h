#pragma once

#include <filesystem>
#include <vector>

namespace platform {

// The user's home folder: $HOME, else the password database's entry; empty when neither
// gives one.
std::filesystem::path UserHomeDirectory();

// Per-user configuration base: $XDG_CONFIG_HOME when set and not empty, else
// <home>/.config (empty when there is no home either).
std::filesystem::path ConfigHome();

// System configuration bases in search order: $XDG_CONFIG_DIRS split at ':' without its
// empty entries, else /etc/xdg.
std::vector<std::filesystem::path> ConfigDirs();

// The user's documents folder: XDG_DOCUMENTS_DIR of <config home>/user-dirs.dirs when that
// folder exists, else the home folder.
std::filesystem::path DocumentsDirectory();

}  // namespace platform
