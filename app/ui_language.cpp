#include "app/ui_language.h"

#include <dlfcn.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <wx/intl.h>
#include <wx/translation.h>

#include "platform/wide_string.h"
#include "resources/string_table.h"

namespace fs = std::filesystem;

namespace {

constexpr char kDriverSwitch[] = "OSTREL_PSEUDO_DEBUGGEE";
constexpr char kDriverLibrary[] = "libGLX_nvidia.so.0";

bool IsSet(const char* value) { return value && *value; }

bool MarkerExists(const std::wstring& programFolder, const wchar_t* marker) {
    std::error_code error;
    return fs::exists(platform::PathFromWide(programFolder + marker), error);
}

}  // namespace

std::uint32_t UserDefaultLanguageId(const char* lcAll, const char* lcMessages, const char* lang) {
    const char* locale = IsSet(lcAll) ? lcAll : IsSet(lcMessages) ? lcMessages : lang;
    const bool japanese = IsSet(locale) && locale[0] == 'j' && locale[1] == 'a';
    return japanese ? resources::kLanguageJapanese : resources::kLanguageEnglish;
}

std::uint32_t UserDefaultLanguageId() {
    return UserDefaultLanguageId(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                 std::getenv("LANG"));
}

int ChooseUiLanguage(const std::wstring& programFolder, std::uint32_t userLanguageId) {
    int language = kUiLanguageEnglish;
    if (userLanguageId == resources::kLanguageJapanese) language = kUiLanguageJapanese;
    if (MarkerExists(programFolder, L"ostrel_lang_eng")) language = kUiLanguageEnglish;
    if (MarkerExists(programFolder, L"ostrel_lang_jpn")) language = kUiLanguageJapanese;
    return language;
}

void SetUILanguage(int language) {
    resources::SetThreadLanguage(language == kUiLanguageJapanese ? resources::kLanguageJapanese
                                                                 : resources::kLanguageEnglish);
}

bool LoadToolkitTranslations(int language) {
    if (language != kUiLanguageJapanese) {
        wxTranslations::Set(nullptr);
        return false;
    }
    auto* translations = new wxTranslations;
    translations->SetLanguage(wxLANGUAGE_JAPANESE);
    const bool loaded = translations->AddStdCatalog();
    wxTranslations::Set(translations);
    return loaded;
}

bool SetMessagesLocale(int language) {
    if (language != kUiLanguageJapanese) {
        std::setlocale(LC_MESSAGES, "C");
        return false;
    }
    // "" is the user's own locale; the named ones serve a Japanese interface chosen by the
    // marker file under another locale.
    for (const char* name : {"", "ja_JP.UTF-8", "ja_JP.utf8"}) {
        const char* set = std::setlocale(LC_MESSAGES, name);
        if (set != nullptr && std::strncmp(set, "ja", 2) == 0) return true;
    }
    std::setlocale(LC_MESSAGES, "C");
    return false;
}

DriverPreload ParseDriverSwitch(const char* value) {
    const char first = IsSet(value) ? value[0] : '0';
    if (first == '0') return DriverPreload::Load;
    if (first == '1') return DriverPreload::LoadWhileMarkedDebugged;
    return DriverPreload::None;
}

bool PreloadOpenGLDriver() {
    if (ParseDriverSwitch(std::getenv(kDriverSwitch)) == DriverPreload::None) return false;
    // The handle is dropped on purpose: the driver stays loaded for the life of the process.
    return ::dlopen(kDriverLibrary, RTLD_NOW | RTLD_GLOBAL) != nullptr;
}
