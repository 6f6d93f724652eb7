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

bool IsUsableHomeFolder(const std::wstring& folder) {
    if (folder.empty() || folder.front() != L'/') return false;
    for (size_t at = folder.find(L'$'); at != std::wstring::npos; at = folder.find(L'$', at + 1)) {
        const wchar_t next = at + 1 < folder.size() ? folder[at + 1] : L'\0';
        if (next == L'{' || next == L'_' || (next >= L'A' && next <= L'Z') ||
            (next >= L'a' && next <= L'z'))
            return false;
    }
    return true;
}

std::wstring InitHomeDirectory(std::vector<std::wstring>* notes) {
    const auto note = [notes](std::wstring line) {
        if (notes != nullptr) notes->push_back(std::move(line));
    };
    // What interrupted writes of the record left is cleared before it is read.
    platform::Registry::RemoveStaleTemporaries(GetProductKey());
    std::wstring home;
    // An empty value would make the file-system root the home folder: it counts as missing.
    const auto recorded = ReadHomeDirectoryFromRegistry();
    if (recorded && !recorded->empty() && IsUsableHomeFolder(*recorded)) {
        home = *recorded;
    } else if (recorded && !recorded->empty()) {
        // Taken as it stands, a relative folder would lie wherever the program was started.
        std::wstring shown = *recorded;
        for (wchar_t& c : shown) {
            if (static_cast<unsigned long>(c) < 0x20 || c == 0x7F) c = L'\uFFFD';
        }
        note(resources::FormatString1(resources::LoadText(resources::IDS_HOME_FOLDER_NOT_ABSOLUTE),
                                      shown));
        home = GetDefaultHomeDirectory();
    } else {
        home = GetDefaultHomeDirectory();
        std::string reason;
        // A refused key file is said on its own.
        if (!platform::Registry::WriteString(GetProductKey(), kHomeDirectoryValue, home, &reason) &&
            !platform::Registry::IsKeyRefused(GetProductKey())) {
            note(L"the home folder " + home + L" was not recorded in " +
                 platform::PathToWide(platform::Registry::UserKeyFile(GetProductKey())) + L": " +
                 platform::Utf8ToWide(reason));
        }
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
