#include "platform/temp_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <system_error>
#include <vector>

#include "platform/file_identity.h"

namespace platform {

namespace fs = std::filesystem;

fs::path TempDirectory() {
    std::error_code ec;
    fs::path dir = fs::temp_directory_path(ec);
    if (ec) return fs::path();
    return dir;
}

namespace {

constexpr std::string_view kOwnerMark = "zt";
constexpr std::size_t kRandomLength = 8;
// Room left in a 255-byte name for '.', '-' and the unique tail ("zt", up to ten digits of
// the process id, '-' and the random letters), with a few bytes to spare.
constexpr std::size_t kMaxBesideNameBytes = 255 - 2 - 2 - 10 - 1 - kRandomLength - 8;
constexpr char kRandomChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// `prefix`, the owner mark with our process id, and a fresh random tail.
std::string UniqueName(const std::string& prefix) {
    static thread_local std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kRandomChars) - 2);
    std::string name = prefix;
    name += kOwnerMark;
    name += std::to_string(static_cast<long>(::getpid()));
    name += '-';
    for (std::size_t i = 0; i < kRandomLength; ++i) name += kRandomChars[pick(random)];
    return name;
}

// Creates an entry under a fresh name until one does not exist yet.
template <typename Create>
fs::path CreateUnique(const fs::path& folder, const std::string& prefix, Create create) {
    if (folder.empty()) return fs::path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path path = folder / UniqueName(prefix);
        if (create(path)) return path;
        if (errno != EEXIST) break;
    }
    return fs::path();
}

bool IsRandomChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
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

bool SplitTempName(std::string_view name, std::string_view& prefix, long& process_id) {
    if (name.size() < kRandomLength + 1) return false;
    const std::string_view tail = name.substr(name.size() - kRandomLength);
    for (char c : tail) {
        if (!IsRandomChar(c)) return false;
    }
    std::string_view rest = name.substr(0, name.size() - kRandomLength);
    if (rest.back() != '-') return false;
    rest.remove_suffix(1);
    std::size_t digits = 0;
    while (digits < rest.size() && rest[rest.size() - 1 - digits] >= '0' &&
           rest[rest.size() - 1 - digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || digits > 10) return false;
    const std::string_view number = rest.substr(rest.size() - digits);
    rest.remove_suffix(digits);
    if (rest.size() < kOwnerMark.size() ||
        rest.substr(rest.size() - kOwnerMark.size()) != kOwnerMark) {
        return false;
    }
    long id = 0;
    for (char c : number) id = id * 10 + (c - '0');
    prefix = rest.substr(0, rest.size() - kOwnerMark.size());
    process_id = id;
    return true;
}

std::string BesideFilePrefix(const fs::path& target) {
    const std::string name = target.filename().string();
    if (name.size() <= kMaxBesideNameBytes) return "." + name + "-";
    // A long name is cut at a character boundary and given a hash of the whole name, so the
    // temporary fits the file system's name limit and two long names sharing their
    // beginning still get different prefixes.
    size_t keep = kMaxBesideNameBytes - 1 - 16;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(HashBytes(name)));
    return "." + name.substr(0, keep) + "~" + hex + "-";
}

bool IsBesideFilePrefix(std::string_view prefix) {
    return prefix.size() > 2 && prefix.front() == '.' && prefix.back() == '-';
}

bool IsBesideFilePrefixOf(std::string_view prefix,
                          std::initializer_list<std::string_view> endings) {
    if (!IsBesideFilePrefix(prefix)) return false;
    const std::string_view name = prefix.substr(1, prefix.size() - 2);
    // ".<cut name>~<16 hex digits>-"
    constexpr std::size_t kHashed = 1 + 16;
    if (name.size() > kHashed && name[name.size() - kHashed] == '~' &&
        std::all_of(name.end() - 16, name.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        })) {
        return true;
    }
    for (std::string_view ending : endings) {
        if (name.size() > ending.size() &&
            std::equal(ending.begin(), ending.end(), name.end() - ending.size(),
                       [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                   std::tolower(static_cast<unsigned char>(b)); })) {
            return true;
        }
    }
    return false;
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
        long process_id = 0;
        const std::string name = it->path().filename().string();
        if ((is_folder || fs::is_regular_file(status)) &&
            SplitTempName(name, prefix, process_id) && ours(prefix, is_folder) &&
            !ProcessRuns(process_id)) {
            std::error_code remove_error;
            if (fs::remove_all(it->path(), remove_error) > 0 && !remove_error) ++removed;
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
