#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resources {

// Languages of the string table, by their locale ids.
constexpr std::uint32_t kLanguageEnglish = 1033;
constexpr std::uint32_t kLanguageJapanese = 1041;

// One user text by id, in English and Japanese.
struct StringRow {
    std::uint32_t id;
    const wchar_t* english;
    const wchar_t* japanese;
};

const std::vector<StringRow>& StringTable();

// The language that LoadString uses on the calling thread: Japanese for 1041, English for
// anything else. A thread starts in English.
void SetThreadLanguage(std::uint32_t languageId);
std::uint32_t ThreadLanguage();

// The text of `id` in the calling thread's language; false, with `text` unchanged, for an
// id the table does not hold.
bool LoadString(std::uint32_t id, std::wstring& text);

// The text of `id` in the calling thread's language; empty for an id the table does not hold.
std::wstring LoadText(std::uint32_t id);

// `format` with every "%1" replaced by `argument`; the inserted text is not searched again.
std::wstring FormatString1(const std::wstring& format, const std::wstring& argument);

}  // namespace resources
