#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 <-> wide-string conversion of our own. The process stays in the classic "C"
// locale, so neither the C library's multibyte functions nor std::filesystem's own
// wide conversions can be trusted with non-ASCII text.
//
// Invalid UTF-8 bytes decode to U+FFFD; wide characters outside the Unicode range
// (or lone surrogates) encode as U+FFFD. A wchar_t is 32 bits on Linux.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// Paths built from and read back into wide strings through the UTF-8 conversion.
std::filesystem::path PathFromWide(std::wstring_view wide);
std::wstring PathToWide(const std::filesystem::path& path);

}  // namespace platform
