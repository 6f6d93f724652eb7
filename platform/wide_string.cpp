#include "platform/wide_string.h"

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A byte that is not part of valid UTF-8 becomes the lone surrogate kEscapeBase + byte
// (U+DC80 to U+DCFF). Valid UTF-8 never decodes to a surrogate, so the mapping is one to
// one and the byte comes back on the way out.
constexpr char32_t kEscapeBase = 0xDC00;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

bool IsEscapedByte(char32_t cp) { return cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF; }

void AppendUtf8(std::string& out, char32_t cp) {
    if (IsEscapedByte(cp)) {
        out.push_back(static_cast<char>(cp - kEscapeBase));
        return;
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The length of the valid, shortest-form UTF-8 sequence at the start of `text` and its
// code point; 0 when the first byte does not start one.
size_t DecodeOne(std::string_view text, char32_t& cp) {
    const unsigned char c = static_cast<unsigned char>(text[0]);
    size_t len = 0;
    char32_t min = 0;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        const unsigned char cc = static_cast<unsigned char>(text[k]);
        if (!IsContinuation(cc)) return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t cp = 0;
        size_t len = DecodeOne(utf8, cp);
        if (len == 0) {
            // One byte at a time, so what follows a broken sequence is read afresh.
            cp = kEscapeBase + static_cast<unsigned char>(utf8[0]);
            len = 1;
        }
        out.push_back(static_cast<wchar_t>(cp));
        utf8.remove_prefix(len);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (wchar_t wc : wide) AppendUtf8(out, static_cast<char32_t>(wc));
    return out;
}

bool HasEscapedBytes(std::wstring_view wide) {
    for (wchar_t wc : wide) {
        if (IsEscapedByte(static_cast<char32_t>(wc))) return true;
    }
    return false;
}

std::filesystem::path PathFromWide(std::wstring_view wide) {
    return std::filesystem::path(WideToUtf8(wide));
}

std::wstring PathToWide(const std::filesystem::path& path) {
    return Utf8ToWide(path.native());
}

}  // namespace platform
