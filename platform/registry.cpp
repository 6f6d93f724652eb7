#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <cctype>
#include <cerrno>
#include <memory>
#include <system_error>
#include <vector>

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

// The key file's bytes; empty for a missing or unreadable file, which reads as an empty key.
std::string ReadKeyBytes(const fs::path& file) {
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error)) return {};
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error)) return std::nullopt;
    auto config = ParseKey(ReadKeyBytes(file));
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

// Temporaries an earlier version's configuration writer left: the file's stem followed by
// six random letters or digits.
bool IsOldWriterTemporary(const std::string& name) {
    const std::string stem = fs::path(kKeyFileName).stem().string();
    if (name.size() != stem.size() + 6 || name.compare(0, stem.size(), stem) != 0) return false;
    for (size_t i = stem.size(); i < name.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

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
                           const std::wstring& value) {
    if (!ValidValueName(valueName)) return false;
    const fs::path base = ConfigHome();
    if (base.empty()) return false;
    const fs::path file = KeyFile(base, key);
    if (file.empty()) return false;
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) return false;
    // The whole key is rewritten through the atomic writer: a kill at any moment leaves
    // the old file or the new one, never none, and the other values stay as they were.
    const FolderLock lock(file.parent_path());
    auto config = ParseKey(ReadKeyBytes(file));
    wxLogNull quiet;
    if (!config->Write(ToWx(valueName), ToWx(value))) return false;
    wxMemoryOutputStream out;
    if (!config->Save(out, wxConvUTF8)) return false;
    const size_t size = out.GetSize();
    std::string bytes(size, '\0');
    if (size > 0) out.CopyTo(bytes.data(), size);
    return WriteFileAtomically(file, bytes);
}

int Registry::RemoveStaleTemporaries(const std::wstring& key) {
    const fs::path base = ConfigHome();
    if (base.empty()) return 0;
    const fs::path file = KeyFile(base, key);
    if (file.empty()) return 0;
    const std::string ours = BesideFilePrefix(file);
    int removed = platform::RemoveStaleTemporaries(
        file.parent_path(), 0,
        [&ours](std::string_view prefix, bool is_folder) { return !is_folder && prefix == ours; });
    std::error_code error;
    fs::directory_iterator it(file.parent_path(), error);
    if (error) return removed;
    std::vector<fs::path> old;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        std::error_code status_error;
        if (it->is_regular_file(status_error) && !it->is_symlink(status_error) &&
            IsOldWriterTemporary(it->path().filename().string())) {
            old.push_back(it->path());
        }
    }
    for (const fs::path& path : old) removed += RemoveQuietly(path) ? 1 : 0;
    return removed;
}

}  // namespace platform
