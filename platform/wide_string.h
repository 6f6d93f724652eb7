#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 <-> wide-string conversion of our own. The process stays in the classic "C"
// locale, so neither the C library's multibyte functions nor std::filesystem's own
// wide conversions can be trusted with non-ASCII text.
//
// File names on Linux are bytes and need not be UTF-8. Every byte that is not part of
// valid UTF-8 decodes to the lone surrogate U+DC00 + byte (U+DC80 to U+DCFF) and encodes
// back to that byte, so any byte string survives the round trip unchanged and two
// different byte strings never decode to one wide string. Other lone surrogates and wide
// characters outside the Unicode range encode as U+FFFD. A wchar_t is 32 bits on Linux.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// True when `wide` holds a byte that was not UTF-8, which the toolkit can only show as
// U+FFFD.
bool HasEscapedBytes(std::wstring_view wide);

// Paths built from and read back into wide strings through the UTF-8 conversion.
std::filesystem::path PathFromWide(std::wstring_view wide);
std::wstring PathToWide(const std::filesystem::path& path);

}  // namespace platform
