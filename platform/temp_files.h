#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/temp_names.h"

namespace platform {

// The system temporary folder ($TMPDIR, else /tmp); empty when there is none.
std::filesystem::path TempDirectory();

// Every temporary we create is named by UniqueTempName (platform/temp_names.h), so that a
// later run can tell its own kind of leftovers from anything else and see whether the
// process that made one has ended.

// Creates a new folder named `prefix` followed by a unique suffix inside `parent`,
// readable only by its owner. The name cannot collide with another run's folder, and
// the folder is created atomically. Empty path on failure.
std::filesystem::path MakeUniqueDirectory(const std::filesystem::path& parent,
                                          const std::string& prefix);

// A new, empty file with a unique name, open for writing.
struct UniqueFile {
    std::filesystem::path path;
    int fd = -1;
};

// Creates a file named `prefix` followed by a unique suffix inside `folder`, with the
// permissions an ordinary new file gets (0666 less the umask). fd is -1 on failure.
UniqueFile CreateUniqueFile(const std::filesystem::path& folder, const std::string& prefix);

// Removes, in `folder` and its real subfolders down to `max_depth` levels (symbolic links
// are never followed), every entry that is certainly a leftover of ours: its whole name is
// one of our temporaries' and its prefix one `ours` accepts (given whether the entry is a
// real folder), it was made on this machine by a process that no longer runs, and it
// belongs to this user. A folder goes only as we make one: no one else may write into it
// and it holds nothing but this user's files; otherwise it stays with all it holds.
// Returns how many entries went.
using TempPrefixFilter = std::function<bool(std::string_view prefix, bool is_folder)>;
int RemoveStaleTemporaries(const std::filesystem::path& folder, int max_depth,
                           const TempPrefixFilter& ours);
// Removes only the stale temporaries the atomic writer left beside `file` (files named
// with BesideFilePrefix of `file` in its folder); whatever else lies there is left alone.
// Returns how many went.
int RemoveStaleTemporariesBeside(const std::filesystem::path& file);

// Removes a file or an empty folder; true when nothing is left at `path`.
bool RemoveQuietly(const std::filesystem::path& path) noexcept;

}  // namespace platform
