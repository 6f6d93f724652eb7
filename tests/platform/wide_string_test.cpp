#include "platform/wide_string.h"

#include <gtest/gtest.h>

namespace {

TEST(WideString, RoundTripsAsciiAndNonAscii) {
    const std::wstring names[] = {L"", L"plain.qvx", L"部品_サンプル.qvx", L"Größe µm", L"\U0001F600"};
    for (const std::wstring& w : names) {
        EXPECT_EQ(platform::Utf8ToWide(platform::WideToUtf8(w)), w);
    }
    EXPECT_EQ(platform::WideToUtf8(L"部品"), "\xE9\x83\xA8\xE5\x93\x81");
    EXPECT_EQ(platform::Utf8ToWide("\xE9\x83\xA8\xE5\x93\x81"), L"部品");
}

TEST(WideString, InvalidUtf8BecomesReplacementWithoutOverrun) {
    // A lone continuation byte, a truncated sequence at the end, an overlong encoding.
    EXPECT_EQ(platform::Utf8ToWide("a\x80" "b"), L"a\uFFFDb");
    EXPECT_EQ(platform::Utf8ToWide("a\xE9\x83"), L"a\uFFFD");
    EXPECT_EQ(platform::Utf8ToWide("\xC0\xAF"), L"\uFFFD");
    EXPECT_EQ(platform::WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))),
              "\xEF\xBF\xBD");
}

TEST(WideString, PathsCarryNonAsciiNames) {
    const std::wstring w = L"/tmp/部品/QFP_1.qvx";
    const std::filesystem::path p = platform::PathFromWide(w);
    EXPECT_EQ(p.native(), platform::WideToUtf8(w));
    EXPECT_EQ(platform::PathToWide(p), w);
    EXPECT_EQ(platform::PathToWide(p.filename()), L"QFP_1.qvx");
    EXPECT_EQ(platform::PathToWide(p.parent_path().filename()), L"部品");
}

}  // namespace
