#include "platform/registry.h"

#include <memory>
#include <system_error>

#include <wx/fileconf.h>
#include <wx/log.h>

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

// A file configuration over one key file, with nothing expanded or reported: a missing or
// unreadable file reads as an empty key.
std::unique_ptr<wxFileConfig> OpenKeyFile(const fs::path& file) {
    wxLogNull quiet;
    std::error_code error;
    const fs::path absolute = fs::absolute(file, error);
    if (error) return nullptr;
    auto config = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString,
                                                 wxString::FromUTF8(absolute.string()),
                                                 wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
    config->SetExpandEnvVars(false);
    return config;
}

std::optional<std::wstring> ReadFrom(const fs::path& file, const std::wstring& valueName) {
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error)) return std::nullopt;
    wxLogNull quiet;
    auto config = OpenKeyFile(file);
    if (!config) return std::nullopt;
    wxString value;
    if (!config->Read(ToWx(valueName), &value)) return std::nullopt;
    return FromWx(value);
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
    wxLogNull quiet;
    auto config = OpenKeyFile(file);
    if (!config || !config->Write(ToWx(valueName), ToWx(value))) return false;
    return config->Flush();
}

}  // namespace platform
