#include "parts_ui/part_name_rules.h"

#include <algorithm>
#include <cwctype>
#include <string_view>
#include <vector>

#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

// Names the file systems of the other platform refuse for any file; refused here as well,
// so a parts folder stays portable.
const std::vector<std::wstring>& ReservedDeviceNames() {
    static const std::vector<std::wstring> names = [] {
        std::vector<std::wstring> list = {L"AUX", L"CON", L"NUL", L"PRN", L"CLOCK$"};
        for (wchar_t digit = L'1'; digit <= L'9'; ++digit) {
            list.push_back(std::wstring(L"COM") + digit);
            list.push_back(std::wstring(L"LPT") + digit);
        }
        return list;
    }();
    return names;
}

// Length in UTF-16 code units: characters beyond the basic plane count twice.
std::size_t Utf16Length(const std::wstring& text) {
    std::size_t n = 0;
    for (wchar_t c : text) n += static_cast<std::uint32_t>(c) > 0xFFFF ? 2 : 1;
    return n;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

void Load(std::uint32_t id, std::wstring& message) { resources::LoadString(id, message); }

}  // namespace

bool CheckPartName(const std::wstring& name, std::wstring& message) {
    if (name.empty()) {
        Load(resources::IDS_NAME_EMPTY, message);
        return false;
    }
    if (Utf16Length(name) > kMaxPartNameLength) {
        Load(resources::IDS_NAME_TOO_LONG, message);
        return false;
    }
    if (name.front() == L'_') {
        Load(resources::IDS_NAME_LEADING_UNDERSCORE, message);
        return false;
    }
    for (const std::wstring& reserved : ReservedDeviceNames()) {
        if (EqualIgnoringCase(name, reserved)) {
            Load(resources::IDS_NAME_RESERVED, message);
            return false;
        }
    }
    return true;
}

bool CheckPartFileName(const std::wstring& name, std::wstring& message) {
    if (!CheckPartName(name, message)) return false;
    if (std::any_of(name.begin(), name.end(), IsInvalidPathCharacter)) {
        message = FormatForbiddenCharsMessage(resources::IDS_NAME_HAS_ANY_OF_LINES);
        return false;
    }
    return true;
}

std::wstring FormatForbiddenCharsMessage(std::uint32_t id) {
    std::wstring characters;
    for (wchar_t c : ForbiddenNameCharacters) {
        if (!characters.empty()) characters += L' ';
        characters += c;
    }
    std::wstring format;
    resources::LoadString(id, format);
    return resources::FormatString1(format, characters);
}

bool IsInvalidPathCharacter(wchar_t c) {
    if (static_cast<std::uint32_t>(c) < 0x20) return true;
    return std::wstring_view(L"\"<>:/\\|?*").find(c) != std::wstring_view::npos;
}
