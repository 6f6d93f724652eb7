#include "platform/atomic_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

}  // namespace

bool WriteFileAtomically(const fs::path& target, std::string_view bytes) {
    if (target.filename().empty()) return false;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    UniqueFile temp = CreateUniqueFile(folder, "." + target.filename().string() + "-");
    if (temp.fd < 0) return false;
    bool ok = WriteAllBytes(temp.fd, bytes) && ::fsync(temp.fd) == 0;
    ok = (::close(temp.fd) == 0) && ok;
    ok = ok && std::rename(temp.path.c_str(), target.c_str()) == 0;
    if (!ok) RemoveQuietly(temp.path);
    return ok;
}

}  // namespace platform
