#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

// The system temporary folder ($TMPDIR, else /tmp); empty when there is none.
std::filesystem::path TempDirectory();

// Every temporary we create is named `prefix` followed by "zt", the creating process's id,
// '-' and eight random letters or digits, so that a later run can tell its own kind of
// leftovers from anything else and see whether the process that made one has ended.

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

// The prefix of a name made by CreateUniqueFile or MakeUniqueDirectory, and the id of the
// process that made it; false for any other name.
bool SplitTempName(std::string_view name, std::string_view& prefix, long& process_id);

// The hidden prefix of a temporary beside a file: '.', the file's name and '-'. For a
// name too long to leave room for the unique tail, the name is cut and '~' and a hash of
// the whole name follow it, so every temporary's name fits the 255-byte limit.
std::string BesideFilePrefix(const std::filesystem::path& target);
bool IsBesideFilePrefix(std::string_view prefix);
// Whether `prefix` is BesideFilePrefix of a file whose name ends with one of `endings`
// (compared without regard to ASCII case), or of a name so long that it was cut and hashed,
// which keeps no ending but cannot be a name anybody typed.
bool IsBesideFilePrefixOf(std::string_view prefix,
                          std::initializer_list<std::string_view> endings);

// Removes, in `folder` and its real subfolders down to `max_depth` levels (symbolic links
// are never followed), every entry whose name is one of our temporaries, whose prefix
// `ours` accepts (given whether the entry is a real folder) and whose process no longer
// runs. Folders are removed with what they hold. Returns how many entries went.
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
