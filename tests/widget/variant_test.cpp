#include "widget/variant.h"

#include <clocale>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using widget::Variant;

struct Conversion {
    Variant from;
    widget::VarType to;
    Variant expected;
};

TEST(Variant, ConvertsAsTheItemModelsUseIt) {
    const Conversion cases[] = {
        {Variant::FromR8(0.1), widget::VT_BSTR, Variant::FromBstr(L"0.1")},
        {Variant::FromR8(1.0 / 3.0), widget::VT_BSTR, Variant::FromBstr(L"0.333333333333333")},
        {Variant::FromR8(1e20), widget::VT_BSTR, Variant::FromBstr(L"1E+20")},
        {Variant::FromR8(-2.5), widget::VT_BSTR, Variant::FromBstr(L"-2.5")},
        {Variant::FromBool(true), widget::VT_BSTR, Variant::FromBstr(L"-1")},
        {Variant::FromBool(false), widget::VT_BSTR, Variant::FromBstr(L"0")},
        {Variant::FromI4(-7), widget::VT_BSTR, Variant::FromBstr(L"-7")},
        {Variant::FromUInt(4294967295u), widget::VT_BSTR, Variant::FromBstr(L"4294967295")},
        {Variant(), widget::VT_BSTR, Variant::FromBstr(L"")},
        {Variant::FromBstr(L" 2.5\t"), widget::VT_R8, Variant::FromR8(2.5)},
        {Variant::FromBstr(L"+1e3"), widget::VT_R8, Variant::FromR8(1000.0)},
        {Variant::FromBstr(L"4"), widget::VT_INT, Variant::FromInt(4)},
        {Variant::FromI4(4), widget::VT_INT, Variant::FromInt(4)},
        {Variant::FromBstr(L"2.5"), widget::VT_I4, Variant::FromI4(2)},
        {Variant::FromBstr(L"3.5"), widget::VT_I4, Variant::FromI4(4)},
        {Variant::FromR8(-2.5), widget::VT_INT, Variant::FromInt(-2)},
        {Variant::FromR8(2147483647.4), widget::VT_I4, Variant::FromI4(2147483647)},
        {Variant::FromUInt(118), widget::VT_UINT, Variant::FromUInt(118)},
        {Variant::FromI4(118), widget::VT_UINT, Variant::FromUInt(118)},
        {Variant::FromBool(true), widget::VT_R8, Variant::FromR8(-1.0)},
        {Variant::FromI4(3), widget::VT_BOOL, Variant::FromBool(true)},
        {Variant::FromR8(0.0), widget::VT_BOOL, Variant::FromBool(false)},
        {Variant::FromBstr(L"False"), widget::VT_BOOL, Variant::FromBool(false)},
        {Variant::FromBstr(L"-1"), widget::VT_BOOL, Variant::FromBool(true)},
        {Variant(), widget::VT_R8, Variant::FromR8(0.0)},
        {Variant::FromR8(std::numeric_limits<double>::quiet_NaN()), widget::VT_BSTR,
         Variant::FromBstr(L"NAN")},
    };
    for (const Conversion& c : cases) {
        const Variant result = c.from.ChangeType(c.to);
        EXPECT_EQ(result, c.expected) << "to " << c.to << " expected type " << c.expected.Type()
                                      << " got " << result.Type();
    }
    EXPECT_EQ(Variant::FromBool(true).ChangeType(widget::VT_BOOL).BoolValue(), widget::VARIANT_TRUE);
}

TEST(Variant, RefusesWithTheirResultCodes) {
    struct Refusal {
        Variant from;
        widget::VarType to;
        widget::HRESULT hr;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Refusal cases[] = {
        {Variant::FromBstr(L"nan"), widget::VT_R8, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"inf"), widget::VT_R8, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"0.5abc"), widget::VT_R8, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"1 2"), widget::VT_R8, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L""), widget::VT_INT, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"0,5"), widget::VT_R8, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"+-1"), widget::VT_R8, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"yes"), widget::VT_BOOL, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"５"), widget::VT_I4, widget::DISP_E_TYPEMISMATCH},
        {Variant::FromBstr(L"5000000000"), widget::VT_I4, widget::DISP_E_OVERFLOW},
        {Variant::FromR8(2147483648.0), widget::VT_INT, widget::DISP_E_OVERFLOW},
        {Variant::FromR8(nan), widget::VT_I4, widget::DISP_E_OVERFLOW},
        {Variant::FromI4(-1), widget::VT_UINT, widget::DISP_E_OVERFLOW},
        {Variant::FromBool(true), widget::VT_UINT, widget::DISP_E_OVERFLOW},
        {Variant::FromUInt(2147483648u), widget::VT_I4, widget::DISP_E_OVERFLOW},
        {Variant::FromI4(1), static_cast<widget::VarType>(9), widget::DISP_E_TYPEMISMATCH},
    };
    for (const Refusal& c : cases) {
        try {
            c.from.ChangeType(c.to);
            ADD_FAILURE() << "converted to type " << c.to;
        } catch (const widget::ComError& e) {
            EXPECT_EQ(e.Error(), c.hr) << e.what();
        }
    }
    EXPECT_THROW(Variant::FromR8(1.0).Bstr(), widget::ComError);
}

TEST(Variant, NumbersKeepThePointUnderACommaLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.utf8"), nullptr)
        << "scripts/setup provides de_DE.UTF-8";
    EXPECT_EQ(Variant::FromR8(2.5).ChangeType(widget::VT_BSTR).Bstr(), L"2.5");
    EXPECT_EQ(Variant::FromBstr(L"2.5").ChangeType(widget::VT_R8).R8(), 2.5);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
