#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// One file to store in a cabinet.
struct CabinetEntry {
    std::string name;              // stored name: UTF-8, no folder part, at most 255 bytes
    std::filesystem::path source;  // the file whose bytes, attributes and time are stored
};

// Cabinet attribute bits of an entry.
constexpr unsigned kCabReadOnly = 0x01;
constexpr unsigned kCabHidden = 0x02;
constexpr unsigned kCabSystem = 0x04;
constexpr unsigned kCabArchive = 0x20;
constexpr unsigned kCabNameIsUtf8 = 0x80;

// Writes a cabinet of one MSZIP folder holding `entries` in order. Each entry keeps its
// source's last-write time in local time and its attributes (archive, read-only when the
// owner may not write it, hidden for a dot name) plus the UTF-8 name flag. The cabinet
// is written to a temporary file beside `target` and renamed over it only when complete:
// on false (no entries, a bad name, an unreadable source, a write error) `target` is
// left as it was and no temporary remains.
bool WriteCabinet(const std::filesystem::path& target, const std::vector<CabinetEntry>& entries);

}  // namespace platform
