#include "app/home_folder.h"

#include <system_error>

#include "platform/wide_string.h"
#include "platform/xdg_dirs.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kHomeDirectoryValue[] = L"EnvHomeDirectory";
constexpr wchar_t kProductFolder[] = L"Ostrel\\Zentrik2020\\";
constexpr size_t kMaxValueUnits = 999;

fs::path ProgramFile() {
    std::error_code error;
    fs::path file = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : file;
}

size_t Utf16Units(const std::wstring& text) {
    size_t units = 0;
    for (wchar_t c : text) units += static_cast<unsigned long>(c) > 0xFFFF ? 2 : 1;
    return units;
}

// The product folder in our path notation.
std::wstring ProductFolder() {
    std::wstring folder = kProductFolder;
    for (wchar_t& c : folder) {
        if (c == L'\\') c = L'/';
    }
    return folder;
}

}  // namespace

std::wstring GetProgramFileTitle() {
    return platform::PathToWide(ProgramFile().stem());
}

std::wstring GetProgramFolder() {
    const fs::path file = ProgramFile();
    if (file.empty() || !file.has_parent_path()) return {};
    std::wstring folder = platform::PathToWide(file.parent_path());
    if (folder.empty() || folder.back() != L'/') folder += L'/';
    return folder;
}

std::wstring GetProductKey() { return kProductFolder + GetProgramFileTitle(); }

std::optional<std::wstring> ReadRegistryString(platform::RegistryRoot root,
                                               const std::wstring& subKey,
                                               const std::wstring& valueName) {
    auto value = platform::Registry::ReadString(root, subKey, valueName);
    if (value && Utf16Units(*value) > kMaxValueUnits) return std::nullopt;
    return value;
}

std::optional<std::wstring> ReadHomeDirectoryFromRegistry() {
    return ReadRegistryString(platform::RegistryRoot::CurrentUser, GetProductKey(),
                              kHomeDirectoryValue);
}

std::wstring GetDefaultHomeDirectory() {
    std::wstring base = platform::PathToWide(platform::ConfigHome());
    if (!base.empty() && base.back() != L'/') base += L'/';
    return base + ProductFolder() + GetProgramFileTitle() + L'/';
}

std::wstring InitHomeDirectory() {
    // What interrupted writes of the record left is cleared before it is read.
    platform::Registry::RemoveStaleTemporaries(GetProductKey());
    std::wstring home;
    // An empty value would make the file-system root the home folder: it counts as missing.
    if (auto recorded = ReadHomeDirectoryFromRegistry(); recorded && !recorded->empty()) {
        home = *recorded;
    } else {
        home = GetDefaultHomeDirectory();
        platform::Registry::WriteString(GetProductKey(), kHomeDirectoryValue, home);
    }
    if (home.empty() || home.back() != L'/') home += L'/';

    std::error_code error;
    const fs::path folder = platform::PathFromWide(home.substr(0, home.size() - 1));
    if (!folder.empty() && !fs::exists(folder, error)) fs::create_directories(folder, error);
    return home;
}

std::wstring RefusedProductKeyLine() {
    const std::wstring key = GetProductKey();
    if (!platform::Registry::IsKeyRefused(key)) return {};
    return resources::FormatString1(resources::LoadText(resources::IDS_KEY_FILE_REFUSED),
                                    platform::PathToWide(platform::Registry::UserKeyFile(key)));
}
