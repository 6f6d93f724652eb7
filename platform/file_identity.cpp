#include "platform/file_identity.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

std::int64_t ModifiedNanoseconds(const struct stat& info) {
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

FileIdentity ReadFileIdentity(const std::filesystem::path& path) {
    FileIdentity identity;
    // Non-blocking, so a FIFO in the file's place cannot hold the program up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return identity;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return identity;
    }
    std::uint64_t hash = kHashStart;
    std::uintmax_t size = 0;
    unsigned char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return identity;
        }
        if (n == 0) break;
        hash = HashBytes(
            std::string_view(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n)),
            hash);
        size += static_cast<std::uintmax_t>(n);
    }
    ::close(fd);
    identity.exists = true;
    identity.size = size;
    identity.modified_ns = ModifiedNanoseconds(info);
    identity.hash = hash;
    return identity;
}

}  // namespace platform
