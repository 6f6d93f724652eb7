#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The system temporary folder ($TMPDIR, else /tmp); empty when there is none.
std::filesystem::path TempDirectory();

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

// Removes a file or an empty folder; true when nothing is left at `path`.
bool RemoveQuietly(const std::filesystem::path& path) noexcept;

}  // namespace platform
