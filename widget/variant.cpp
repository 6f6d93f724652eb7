#include "widget/variant.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace widget {

namespace {

std::string HexCode(HRESULT hr) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
    return buffer;
}

// Text as "%.15G" would print it in the classic locale, whatever the process locale is.
std::wstring FormatReal(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, 15);
    std::wstring text;
    for (const char* p = buffer; p != result.ptr; ++p) {
        text.push_back(static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(*p))));
    }
    return text;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring Trimmed(const std::wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// The whole text (blanks around it allowed) as one finite number, else nothing.
std::optional<double> ParseReal(const std::wstring& text) {
    std::wstring trimmed = Trimmed(text);
    if (!trimmed.empty() && trimmed[0] == L'+') {
        trimmed.erase(0, 1);
        if (!trimmed.empty() && (trimmed[0] == L'+' || trimmed[0] == L'-')) return std::nullopt;
    }
    std::string narrow;
    for (wchar_t c : trimmed) {
        if (c < 0 || c > 127) return std::nullopt;
        narrow.push_back(static_cast<char>(c));
    }
    if (narrow.empty()) return std::nullopt;
    double value = 0.0;
    const char* end = narrow.data() + narrow.size();
    const auto result = std::from_chars(narrow.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> ParseFlagWord(const std::wstring& text) {
    std::wstring word = Trimmed(text);
    for (wchar_t& c : word) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    if (word == L"true") return true;
    if (word == L"false") return false;
    return std::nullopt;
}

// Rounds half to even and checks the target's range.
std::int64_t RealToInteger(double value, std::int64_t low, std::int64_t high) {
    if (!std::isfinite(value)) throw ComError(DISP_E_OVERFLOW);
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) {
        throw ComError(DISP_E_OVERFLOW);
    }
    return static_cast<std::int64_t>(rounded);
}

}  // namespace

ComError::ComError(HRESULT hr) : std::runtime_error("COM error " + HexCode(hr)), hr_(hr) {}

Variant Variant::FromI4(std::int32_t value) {
    Variant v;
    v.vt_ = VT_I4;
    v.integer_ = value;
    return v;
}

Variant Variant::FromR8(double value) {
    Variant v;
    v.vt_ = VT_R8;
    v.real_ = value;
    return v;
}

Variant Variant::FromBstr(std::wstring value) {
    Variant v;
    v.vt_ = VT_BSTR;
    v.text_ = std::move(value);
    return v;
}

Variant Variant::FromBool(bool value) {
    Variant v;
    v.vt_ = VT_BOOL;
    v.integer_ = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::FromInt(std::int32_t value) {
    Variant v = FromI4(value);
    v.vt_ = VT_INT;
    return v;
}

Variant Variant::FromUInt(std::uint32_t value) {
    Variant v;
    v.vt_ = VT_UINT;
    v.integer_ = value;
    return v;
}

std::int32_t Variant::I4() const {
    if (vt_ != VT_I4) throw ComError(DISP_E_TYPEMISMATCH);
    return static_cast<std::int32_t>(integer_);
}

double Variant::R8() const {
    if (vt_ != VT_R8) throw ComError(DISP_E_TYPEMISMATCH);
    return real_;
}

const std::wstring& Variant::Bstr() const {
    if (vt_ != VT_BSTR) throw ComError(DISP_E_TYPEMISMATCH);
    return text_;
}

std::int16_t Variant::BoolValue() const {
    if (vt_ != VT_BOOL) throw ComError(DISP_E_TYPEMISMATCH);
    return static_cast<std::int16_t>(integer_);
}

std::int32_t Variant::Int() const {
    if (vt_ != VT_INT) throw ComError(DISP_E_TYPEMISMATCH);
    return static_cast<std::int32_t>(integer_);
}

std::uint32_t Variant::UInt() const {
    if (vt_ != VT_UINT) throw ComError(DISP_E_TYPEMISMATCH);
    return static_cast<std::uint32_t>(integer_);
}

Variant Variant::ChangeType(VarType to) const {
    if (to == vt_) return *this;
    const bool integral = vt_ == VT_I4 || vt_ == VT_INT || vt_ == VT_UINT || vt_ == VT_BOOL;
    switch (to) {
    case VT_EMPTY:
        return Variant();
    case VT_BSTR:
        if (vt_ == VT_EMPTY) return FromBstr(L"");
        if (vt_ == VT_R8) return FromBstr(FormatReal(real_));
        if (integral) return FromBstr(std::to_wstring(integer_));
        break;
    case VT_R8:
        if (vt_ == VT_EMPTY) return FromR8(0.0);
        if (integral) return FromR8(static_cast<double>(integer_));
        if (vt_ == VT_BSTR) {
            if (auto value = ParseReal(text_)) return FromR8(*value);
        }
        break;
    case VT_BOOL:
        if (vt_ == VT_EMPTY) return FromBool(false);
        if (integral) return FromBool(integer_ != 0);
        if (vt_ == VT_R8) return FromBool(real_ != 0.0);
        if (vt_ == VT_BSTR) {
            if (auto flag = ParseFlagWord(text_)) return FromBool(*flag);
            if (auto value = ParseReal(text_)) return FromBool(*value != 0.0);
        }
        break;
    case VT_I4:
    case VT_INT:
    case VT_UINT: {
        const std::int64_t low = to == VT_UINT ? 0 : std::numeric_limits<std::int32_t>::min();
        const std::int64_t high = to == VT_UINT ? std::numeric_limits<std::uint32_t>::max()
                                                : std::numeric_limits<std::int32_t>::max();
        std::optional<std::int64_t> result;
        if (vt_ == VT_EMPTY) {
            result = 0;
        } else if (integral) {
            if (integer_ < low || integer_ > high) throw ComError(DISP_E_OVERFLOW);
            result = integer_;
        } else if (vt_ == VT_R8) {
            result = RealToInteger(real_, low, high);
        } else if (vt_ == VT_BSTR) {
            if (auto value = ParseReal(text_)) result = RealToInteger(*value, low, high);
        }
        if (!result) break;
        Variant v;
        v.vt_ = to;
        v.integer_ = *result;
        return v;
    }
    }
    throw ComError(DISP_E_TYPEMISMATCH);
}

bool Variant::operator==(const Variant& other) const {
    if (vt_ != other.vt_) return false;
    switch (vt_) {
    case VT_EMPTY:
        return true;
    case VT_R8:
        return real_ == other.real_;
    case VT_BSTR:
        return text_ == other.text_;
    default:
        return integer_ == other.integer_;
    }
}

}  // namespace widget
