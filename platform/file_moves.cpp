#include "platform/file_moves.h"

#include <fcntl.h>
#include <gio/gio.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {

bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string& error) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    const int code = errno;
    // Without the flag a plain rename would silently replace a file that appeared since.
    if (code == EINVAL || code == ENOSYS) {
        error = "the file system cannot rename without replacing";
    } else {
        error = std::strerror(code);
    }
    return false;
}

bool MoveToTrash(const std::filesystem::path& path, std::string& error) {
    struct Unref {
        void operator()(GFile* f) const { g_object_unref(f); }
    };
    std::unique_ptr<GFile, Unref> file(g_file_new_for_path(path.c_str()));
    GError* raw = nullptr;
    if (g_file_trash(file.get(), nullptr, &raw)) return true;
    error = raw && raw->message ? raw->message : "the trash refused the file";
    if (raw) g_error_free(raw);
    return false;
}

}  // namespace platform
