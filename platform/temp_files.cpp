#include "platform/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <system_error>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

fs::path TempDirectory() {
    std::error_code ec;
    fs::path dir = fs::temp_directory_path(ec);
    if (ec) return fs::path();
    return dir;
}

namespace {

// Creates an entry under a fresh name until one does not exist yet.
template <typename Create>
fs::path CreateUnique(const fs::path& folder, const std::string& prefix, Create create) {
    if (folder.empty()) return fs::path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path path = folder / UniqueTempName(prefix);
        if (create(path)) return path;
        if (errno != EEXIST) break;
    }
    return fs::path();
}

bool OwnedByUs(const struct stat& info) { return info.st_uid == ::geteuid(); }

// A regular file of this user, never what a link leads to.
bool RemoveOwnFile(const fs::path& file) {
    struct stat info {};
    return ::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && OwnedByUs(info) &&
           ::unlink(file.c_str()) == 0;
}

// A folder as we make one: this user's, written into by no one else, holding only this
// user's regular files. Opened without following a link and judged by what is open, so a
// folder put in its place meanwhile is not the one emptied.
bool RemoveOwnFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !OwnedByUs(info) || (info.st_mode & 022) != 0) {
        ::close(fd);
        return false;
    }
    const int listed = ::dup(fd);
    DIR* dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (dir == nullptr) {
        if (listed >= 0) ::close(listed);
        ::close(fd);
        return false;
    }
    std::vector<std::string> files;
    bool ours = true;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat held {};
        ours = ::fstatat(fd, name.c_str(), &held, AT_SYMLINK_NOFOLLOW) == 0 &&
               S_ISREG(held.st_mode) && OwnedByUs(held);
        if (!ours) break;
        files.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : files) {
        if (ours) ours = ::unlinkat(fd, name.c_str(), 0) == 0;
    }
    ::close(fd);
    return ours && ::rmdir(folder.c_str()) == 0;
}

bool ProcessRuns(long process_id) {
    if (process_id == static_cast<long>(::getpid())) return true;
    if (process_id <= 0 || process_id > static_cast<long>(std::numeric_limits<pid_t>::max())) {
        return false;
    }
    return ::kill(static_cast<pid_t>(process_id), 0) == 0 || errno == EPERM;
}

}  // namespace

fs::path MakeUniqueDirectory(const fs::path& parent, const std::string& prefix) {
    return CreateUnique(parent, prefix,
                        [](const fs::path& path) { return ::mkdir(path.c_str(), 0700) == 0; });
}

UniqueFile CreateUniqueFile(const fs::path& folder, const std::string& prefix) {
    // mkstemp would leave the file at 0600; a cabinet the user keeps should get the
    // permissions of any other file they create, so the file is created exclusively here
    // with the usual mode.
    int fd = -1;
    const fs::path path = CreateUnique(folder, prefix, [&fd](const fs::path& candidate) {
        fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        return fd >= 0;
    });
    if (path.empty()) return UniqueFile{};
    return UniqueFile{path, fd};
}

int RemoveStaleTemporaries(const fs::path& folder, int max_depth, const TempPrefixFilter& ours) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return 0;
    int removed = 0;
    std::vector<fs::path> subfolders;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const fs::file_status status = it->symlink_status(ec);
        if (ec) continue;
        const bool is_folder = fs::is_directory(status);
        std::string_view prefix;
        std::string_view host;
        long process_id = 0;
        const std::string name = it->path().filename().string();
        if ((is_folder || fs::is_regular_file(status)) &&
            SplitTempName(name, prefix, process_id, &host) && ours(prefix, is_folder) &&
            host == ThisHostMark() && !ProcessRuns(process_id)) {
            if (is_folder ? RemoveOwnFolder(it->path()) : RemoveOwnFile(it->path())) ++removed;
        } else if (is_folder && max_depth > 0) {
            subfolders.push_back(it->path());
        }
    }
    for (const fs::path& sub : subfolders) {
        removed += RemoveStaleTemporaries(sub, max_depth - 1, ours);
    }
    return removed;
}

int RemoveStaleTemporariesBeside(const fs::path& file) {
    const std::string ours = BesideFilePrefix(file);
    return RemoveStaleTemporaries(
        file.parent_path(), 0,
        [&ours](std::string_view prefix, bool is_folder) { return !is_folder && prefix == ours; });
}

bool RemoveQuietly(const fs::path& path) noexcept {
    std::error_code ec;
    fs::remove(path, ec);
    return !ec && !fs::exists(fs::symlink_status(path, ec));
}

}  // namespace platform
