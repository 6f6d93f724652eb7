#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string_view>
#include <system_error>

#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "platform/atomic_file.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "platform/xdg_dirs.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr char kKeyFileName[] = "registry.ini";

// Value names are single entries of the top group: no group separator, not empty.
bool ValidValueName(const std::wstring& name) {
    return !name.empty() && name.find(L'/') == std::wstring::npos;
}

wxString ToWx(const std::wstring& text) { return wxString(text.c_str(), text.size()); }

std::wstring FromWx(const wxString& text) { return text.ToStdWstring(); }

// Whether a key file's text holds only what the program writes: "name=value" lines of the
// top group, in UTF-8. The configuration reader nests a group once per '/' of a group
// header's name and frees the nesting recursively, so a header 150000 levels deep overflows
// the stack; no line may therefore hold a '[' before its '=' (where a header's would stand,
// however the reader skips the blanks before it). A NUL or a UTF-16 or UTF-32 byte-order
// mark, which would have the reader take the text in another form, is refused too, and so
// are more lines than any key holds: the reader sorts each value in as it comes, so a
// megabyte of short values in reverse order takes seconds, and it is read several times a
// start.
bool IsPlainKeyText(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos) return false;
    if (bytes.substr(0, 2) == "\xFE\xFF" || bytes.substr(0, 2) == "\xFF\xFE") return false;
    bool beforeValue = true;
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n' || c == '\r') {
            // "\r\n" ends one line, as a lone '\r' or '\n' does.
            const bool pair = c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
            if (!pair && ++lines > Registry::kMaxKeyFileLines) return false;
            beforeValue = true;
        } else if (c == '=') {
            beforeValue = false;
        } else if (c == '[' && beforeValue) {
            return false;
        }
    }
    return true;
}

// What a key file read gave: its bytes, or that it is there but refused.
struct KeyBytes {
    std::string bytes;  // empty for a missing file, which reads as an empty key
    bool refused = false;
};

// The key file's bytes, read under the size bound. A file that is there but is no regular
// file, cannot be read, is larger than the bound or holds more than plain values is
// refused: its values are not used and nothing is ever written over it. Opened without
// blocking, so a pipe put in its place cannot hold the start.
KeyBytes ReadKeyBytes(const fs::path& file) {
    KeyBytes read;
    if (file.empty()) return read;
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (!fs::exists(status)) return read;
    read.refused = true;
    if (!fs::is_regular_file(status)) return read;
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return read;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uintmax_t>(info.st_size) <= Registry::kMaxKeyFileBytes) {
        // Read in chunks to the end rather than into a buffer of the bound's size: key files
        // are small and read several times a run. Reading goes on past the size fstat gave,
        // so a file that grew beyond the bound since is seen.
        std::string bytes;
        char chunk[64 * 1024];
        bool failed = false;
        while (bytes.size() <= Registry::kMaxKeyFileBytes) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed = true;
            if (n <= 0) break;
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
        if (!failed && bytes.size() <= Registry::kMaxKeyFileBytes && IsPlainKeyText(bytes)) {
            read.bytes = std::move(bytes);
            read.refused = false;
        }
    }
    ::close(fd);
    return read;
}

// A file configuration over the key file's text, held in memory, with nothing expanded or
// reported; it never writes a file itself.
std::unique_ptr<wxFileConfig> ParseKey(const std::string& bytes) {
    wxLogNull quiet;
    wxMemoryInputStream in(bytes.data(), bytes.size());
    auto config = std::make_unique<wxFileConfig>(in, wxConvAuto());
    config->SetExpandEnvVars(false);
    return config;
}

std::optional<std::wstring> ReadFrom(const fs::path& file, const std::wstring& valueName) {
    const KeyBytes read = ReadKeyBytes(file);
    if (read.refused || read.bytes.empty()) return std::nullopt;
    auto config = ParseKey(read.bytes);
    wxString value;
    if (!config->Read(ToWx(valueName), &value)) return std::nullopt;
    return FromWx(value);
}

// Holds the key's folder locked while a value is read, changed and written back, so two
// programs writing values of one key at once both keep theirs.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

}  // namespace

fs::path Registry::KeyFile(const fs::path& base, const std::wstring& key) {
    fs::path folder = base;
    bool any = false;
    size_t from = 0;
    while (from <= key.size()) {
        size_t to = key.find_first_of(L"\\/", from);
        if (to == std::wstring::npos) to = key.size();
        const std::wstring part = key.substr(from, to - from);
        if (part == L"." || part == L"..") return {};
        if (!part.empty()) {
            folder /= PathFromWide(part);
            any = true;
        }
        from = to + 1;
    }
    return any ? folder / kKeyFileName : fs::path();
}

std::optional<std::wstring> Registry::ReadString(RegistryRoot root, const std::wstring& key,
                                                 const std::wstring& valueName) {
    if (!ValidValueName(valueName)) return std::nullopt;
    if (root == RegistryRoot::CurrentUser) {
        const fs::path base = ConfigHome();
        if (base.empty()) return std::nullopt;
        return ReadFrom(KeyFile(base, key), valueName);
    }
    for (const fs::path& base : ConfigDirs()) {
        if (auto value = ReadFrom(KeyFile(base, key), valueName)) return value;
    }
    return std::nullopt;
}

bool Registry::WriteString(const std::wstring& key, const std::wstring& valueName,
                           const std::wstring& value, std::string* reason) {
    const auto fail = [reason](const char* why) {
        if (reason != nullptr) *reason = why;
        return false;
    };
    if (!ValidValueName(valueName)) return fail("the value has no usable name");
    const fs::path file = UserKeyFile(key);
    if (file.empty()) return fail("the key has no file");
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        if (reason != nullptr) *reason = error.message();
        return false;
    }
    // The whole key is rewritten through the atomic writer: a kill at any moment leaves
    // the old file or the new one, never none, and the other values stay as they were.
    const FolderLock lock(file.parent_path());
    // A refused file stays as it is: rewriting it would drop every value it holds.
    const KeyBytes read = ReadKeyBytes(file);
    if (read.refused) return fail("the key file is refused as it stands");
    auto config = ParseKey(read.bytes);
    wxLogNull quiet;
    if (!config->Write(ToWx(valueName), ToWx(value))) return fail("the value cannot be set");
    wxMemoryOutputStream out;
    if (!config->Save(out, wxConvUTF8)) return fail("the key file cannot be composed");
    const size_t size = out.GetSize();
    std::string bytes(size, '\0');
    if (size > 0) out.CopyTo(bytes.data(), size);
    // Never a file the next read would refuse: the older one stays as it is.
    if (bytes.size() > kMaxKeyFileBytes) return fail("the key file would be larger than 1 MiB");
    if (!IsPlainKeyText(bytes)) return fail("the key file would hold what its reader refuses");
    return WriteFileAtomically(file, bytes, reason);
}

bool Registry::IsKeyRefused(const std::wstring& key) {
    const fs::path file = UserKeyFile(key);
    return !file.empty() && ReadKeyBytes(file).refused;
}

fs::path Registry::UserKeyFile(const std::wstring& key) {
    const fs::path base = ConfigHome();
    if (base.empty()) return {};
    return KeyFile(base, key);
}

int Registry::RemoveStaleTemporaries(const std::wstring& key) {
    const fs::path file = UserKeyFile(key);
    if (file.empty()) return 0;
    // Only the atomic writer's own temporaries of this key file, with the owner mark and
    // the id of a process that has ended; whatever else lies in the key's folder is the
    // user's.
    return RemoveStaleTemporariesBeside(file);
}

}  // namespace platform
