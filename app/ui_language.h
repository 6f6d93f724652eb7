#pragma once

#include <cstdint>
#include <string>

// The UI language of the program (17 Japanese, 9 English) and of each thread, and the
// early preload of the vendor OpenGL driver.

constexpr int kUiLanguageJapanese = 17;
constexpr int kUiLanguageEnglish = 9;

// 1041 when the locale that decides messages (the first set of LC_ALL, LC_MESSAGES, LANG)
// begins with "ja", else 1033. Null or empty arguments count as unset.
std::uint32_t UserDefaultLanguageId(const char* lcAll, const char* lcMessages, const char* lang);
std::uint32_t UserDefaultLanguageId();

// English; Japanese when the user's language is 1041; English when "ostrel_lang_eng" lies
// in the program folder; Japanese when "ostrel_lang_jpn" does. The last rule that applies
// wins. `programFolder` ends with '/'.
int ChooseUiLanguage(const std::wstring& programFolder, std::uint32_t userLanguageId);

// The calling thread's string-table language: Japanese for 17, else English.
void SetUILanguage(int language);

// With the Japanese UI language (17) the toolkit's own texts (the stock buttons OK, Cancel,
// Yes, No of its dialogs) come from its Japanese catalogue; otherwise they stay English.
// False when the catalogue is not installed.
bool LoadToolkitTranslations(int language);

// Sets the process's LC_MESSAGES category, and only that one, so that the messages of GTK
// and the system libraries follow the UI language: with Japanese (17) the user's locale
// when it is a Japanese one, else the first Japanese UTF-8 locale installed; with English
// "C". LC_NUMERIC and every other category are left as they are. True when the category
// is Japanese afterwards.
bool SetMessagesLocale(int language);

enum class DriverPreload { Load, LoadWhileMarkedDebugged, None };

// The driver switch from the first character of "OSTREL_PSEUDO_DEBUGGEE": '0' (also unset
// or empty) loads the driver, '1' loads it while the process is marked as debugged, any
// other character does nothing.
DriverPreload ParseDriverSwitch(const char* value);

// Loads the vendor OpenGL driver library by name as the switch says, before any window
// exists. Linux has no being-debugged marker to set, so '1' loads it just as '0' does. A
// missing library is ignored; a loaded one is never unloaded. True when it was loaded.
bool PreloadOpenGLDriver();
