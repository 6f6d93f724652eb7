#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace widget {

// Result codes carried by a failed value copy or conversion.
using HRESULT = std::int32_t;
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

// Thrown when a value cannot be copied or converted.
class ComError : public std::runtime_error {
public:
    explicit ComError(HRESULT hr);
    HRESULT Error() const { return hr_; }

private:
    HRESULT hr_;
};

// The value kinds an item can hold, numbered as the automation types they stand for.
enum VarType : std::uint16_t {
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_INT = 22,
    VT_UINT = 23,
};

constexpr std::int16_t VARIANT_TRUE = -1;
constexpr std::int16_t VARIANT_FALSE = 0;

// A tagged value of an item: empty, a real, a count, a flag or a text. Accessors
// refuse a value of another kind with DISP_E_TYPEMISMATCH; ChangeType converts.
class Variant {
public:
    Variant() = default;
    static Variant FromI4(std::int32_t value);
    static Variant FromR8(double value);
    static Variant FromBstr(std::wstring value);
    static Variant FromBool(bool value);
    static Variant FromInt(std::int32_t value);
    static Variant FromUInt(std::uint32_t value);

    VarType Type() const { return vt_; }
    bool IsEmpty() const { return vt_ == VT_EMPTY; }

    std::int32_t I4() const;
    double R8() const;
    const std::wstring& Bstr() const;
    // VARIANT_TRUE (-1) or VARIANT_FALSE (0).
    std::int16_t BoolValue() const;
    std::int32_t Int() const;
    std::uint32_t UInt() const;

    // The value converted to `to`: reals as text "%.15G" with '.', flags as "-1"/"0";
    // a text converts to a number only when all of it (blanks around it allowed) is one
    // finite number in the classic notation; to integers rounded half to even, with
    // DISP_E_OVERFLOW outside their range. Any other refusal is DISP_E_TYPEMISMATCH.
    Variant ChangeType(VarType to) const;

    // Same kind and same value (reals compared as numbers).
    bool operator==(const Variant& other) const;
    bool operator!=(const Variant& other) const { return !(*this == other); }

private:
    VarType vt_ = VT_EMPTY;
    std::int64_t integer_ = 0;  // I4, BOOL, INT and UINT
    double real_ = 0.0;
    std::wstring text_;
};

}  // namespace widget
