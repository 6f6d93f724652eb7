#include "platform/temp_names.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>

#include "platform/fnv_hash.h"

namespace platform {

namespace {

constexpr std::string_view kOwnerMark = "zt";
constexpr std::size_t kMaxProcessDigits = 10;
constexpr std::size_t kHostLength = 8;
constexpr std::size_t kRandomLength = 8;
// Room left in a 255-byte name for '.', '-' and the owner mark ("zt", the process id, '.',
// the machine, '-' and the random letters), with a few bytes to spare.
constexpr std::size_t kMaxBesideNameBytes =
    255 - 2 - kOwnerMark.size() - kMaxProcessDigits - 1 - kHostLength - 1 - kRandomLength - 8;
// A name cut for its hash keeps this many bytes, or up to three fewer so as not to cut a
// character in two.
constexpr std::size_t kHashLength = 16;
constexpr std::size_t kCutNameBytes = kMaxBesideNameBytes - 1 - kHashLength;
constexpr char kRandomChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool IsRandomChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

std::string FirstLine(const char* file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Whether `text` is whole UTF-8 characters.
bool IsWholeUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                                   : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

std::string_view ThisHostMark() {
    static const std::string mark = [] {
        // The machine's id where there is one, its name, and the namespace its process ids
        // are counted in: a container shares the machine but not the ids.
        std::string identity = FirstLine("/etc/machine-id");
        if (identity.empty()) identity = FirstLine("/var/lib/dbus/machine-id");
        char name[256] = {};
        if (::gethostname(name, sizeof name - 1) == 0) identity += std::string("\n") + name;
        char space[128] = {};
        if (::readlink("/proc/self/ns/pid", space, sizeof space - 1) > 0) identity += space;
        const std::uint64_t hash = HashBytes(identity);
        char hex[kHostLength + 1];
        std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(hash ^ (hash >> 32)));
        return std::string(hex);
    }();
    return mark;
}

std::string UniqueTempName(const std::string& prefix) {
    static thread_local std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kRandomChars) - 2);
    std::string name = prefix;
    name += kOwnerMark;
    name += std::to_string(static_cast<long>(::getpid()));
    name += '.';
    name += ThisHostMark();
    name += '-';
    for (std::size_t i = 0; i < kRandomLength; ++i) name += kRandomChars[pick(random)];
    return name;
}

bool SplitTempName(std::string_view name, std::string_view& prefix, long& process_id,
                   std::string_view* host) {
    // From the end: the random letters, '-', the machine, '.', the process id, "zt".
    const std::size_t tail = 1 + kHostLength + 1 + kRandomLength;
    if (name.size() < tail + 1 + kOwnerMark.size()) return false;
    const std::string_view random = name.substr(name.size() - kRandomLength);
    const std::string_view machine = name.substr(name.size() - kRandomLength - 1 - kHostLength,
                                                 kHostLength);
    if (!std::all_of(random.begin(), random.end(), IsRandomChar) ||
        !std::all_of(machine.begin(), machine.end(), IsLowerHex) ||
        name[name.size() - kRandomLength - 1] != '-' || name[name.size() - tail] != '.') {
        return false;
    }
    std::string_view rest = name.substr(0, name.size() - tail);
    std::size_t digits = 0;
    while (digits < rest.size() && rest[rest.size() - 1 - digits] >= '0' &&
           rest[rest.size() - 1 - digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || digits > kMaxProcessDigits) return false;
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
    if (host != nullptr) *host = machine;
    return true;
}

std::string BesideFilePrefix(const std::filesystem::path& target) {
    const std::string name = target.filename().string();
    if (name.size() <= kMaxBesideNameBytes) return "." + name + "-";
    // A long name is cut at a character boundary and given a hash of the whole name, so the
    // temporary fits the file system's name limit and two long names sharing their
    // beginning still get different prefixes.
    std::size_t keep = kCutNameBytes;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    char hex[kHashLength + 1];
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
    // "<cut name>~<16 hex digits>", the cut as BesideFilePrefix makes it.
    if (name.size() > kHashLength && name[name.size() - kHashLength - 1] == '~' &&
        std::all_of(name.end() - kHashLength, name.end(), IsLowerHex)) {
        const std::string_view cut = name.substr(0, name.size() - kHashLength - 1);
        return cut.size() <= kCutNameBytes && cut.size() + 3 >= kCutNameBytes && IsWholeUtf8(cut);
    }
    if (name.size() > kMaxBesideNameBytes) return false;
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

}  // namespace platform
