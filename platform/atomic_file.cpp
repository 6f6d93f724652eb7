#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/file_moves.h"
#include "platform/temp_files.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

bool WriteAllBytes(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    size_t size = bytes.size();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string ErrnoText() { return std::generic_category().message(errno); }

// The file a save really replaces: `target`, or where its symbolic links lead.
fs::path RealTarget(const fs::path& target) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    const fs::path real = fs::canonical(target, ec);
    return ec ? target : real;
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

namespace {

bool WriteBesideAndRename(const fs::path& target_path, std::string_view bytes, bool replace,
                          std::string* error, FileIdentity* written) {
    std::string reason;
    const auto fail = [&](std::string why) {
        if (error != nullptr) *error = std::move(why);
        return false;
    };
    if (target_path.filename().empty()) return fail("no file name");
    const fs::path target = RealTarget(target_path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !replace) return fail(std::generic_category().message(EEXIST));
    if (exists) {
        if (!S_ISREG(existing.st_mode)) return fail("not a regular file");
        // A file marked read-only stays as it is, even for a user the system would let
        // replace it.
        if ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            return fail(std::generic_category().message(EACCES));
        }
    }

    UniqueFile temp = CreateUniqueFile(folder, BesideFilePrefix(target));
    if (temp.fd < 0) return fail(ErrnoText());
    bool ok = true;
    if (exists) {
        ok = ::fchmod(temp.fd, existing.st_mode & 07777) == 0;
        if (ok && ::fchown(temp.fd, existing.st_uid, existing.st_gid) != 0) {
            // Only the owner group may differ for an ordinary user; keep what can be kept.
            (void)::fchown(temp.fd, static_cast<uid_t>(-1), existing.st_gid);
        }
    }
    ok = ok && WriteAllBytes(temp.fd, bytes) && ::fsync(temp.fd) == 0;
    struct stat wrote {};
    ok = ok && ::fstat(temp.fd, &wrote) == 0;
    if (!ok) reason = ErrnoText();
    if (::close(temp.fd) != 0 && ok) {
        ok = false;
        reason = ErrnoText();
    }
    if (ok && replace && std::rename(temp.path.c_str(), target.c_str()) != 0) {
        ok = false;
        reason = ErrnoText();
    }
    if (ok && !replace && !RenameNoReplace(temp.path, target, reason)) ok = false;
    if (!ok) {
        RemoveQuietly(temp.path);
        return fail(reason);
    }
    SyncFolder(folder);
    if (written != nullptr) {
        written->exists = true;
        written->size = static_cast<std::uintmax_t>(wrote.st_size);
        written->modified_ns = ModifiedNanoseconds(wrote);
        written->hash = HashBytes(bytes);
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const fs::path& target, std::string_view bytes, std::string* error,
                         FileIdentity* written) {
    return WriteBesideAndRename(target, bytes, true, error, written);
}

bool WriteNewFileAtomically(const fs::path& target, std::string_view bytes, std::string* error,
                            FileIdentity* written) {
    return WriteBesideAndRename(target, bytes, false, error, written);
}

}  // namespace platform
