#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/fnv_hash.h"

namespace platform {

// What tells one state of a file from another: its size, its modification time and a hash
// of its bytes, so a change that keeps size and time (a copy that keeps the time) is
// still seen.
struct FileIdentity {
    bool exists = false;
    std::uintmax_t size = 0;
    std::int64_t modified_ns = 0;
    std::uint64_t hash = 0;

    bool operator==(const FileIdentity& other) const {
        return exists == other.exists && size == other.size && modified_ns == other.modified_ns &&
               hash == other.hash;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// The modification time `info` holds, in nanoseconds since the epoch, as FileIdentity keeps it.
std::int64_t ModifiedNanoseconds(const struct stat& info);

// The identity of the regular file at `path` (links followed); `exists` is false when
// there is none or it cannot be read.
FileIdentity ReadFileIdentity(const std::filesystem::path& path);

}  // namespace platform
