#include "platform/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
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

fs::path MakeUniqueDirectory(const fs::path& parent, const std::string& prefix) {
    if (parent.empty()) return fs::path();
    std::string pattern = (parent / (prefix + "XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) return fs::path();
    return fs::path(buffer.data());
}

UniqueFile CreateUniqueFile(const fs::path& folder, const std::string& prefix) {
    // mkstemp would leave the file at 0600; a cabinet the user keeps should get the
    // permissions of any other file they create, so the name is chosen here and the file
    // created exclusively with the usual mode.
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::mt19937 random(device());
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kChars) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 8; ++i) name += kChars[pick(random)];
        const fs::path path = folder / name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return UniqueFile{path, fd};
        if (errno != EEXIST) break;
    }
    return UniqueFile{};
}

bool RemoveQuietly(const fs::path& path) noexcept {
    std::error_code ec;
    fs::remove(path, ec);
    return !ec && !fs::exists(fs::symlink_status(path, ec));
}

}  // namespace platform
