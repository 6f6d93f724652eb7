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

TEST(WideString, BytesThatAreNotUtf8SurviveTheRoundTripAndStayDistinct) {
    // A Latin-1 name, a lone continuation byte, a truncated sequence at the end, an overlong
    // encoding, an encoded surrogate: each stray byte stands for itself.
    EXPECT_EQ(platform::Utf8ToWide("caf\xE9"), L"caf\xDCE9");
    EXPECT_EQ(platform::Utf8ToWide("a\x80" "b"), L"a\xDC80" L"b");
    EXPECT_EQ(platform::Utf8ToWide("a\xE9\x83"), L"a\xDCE9\xDC83");
    EXPECT_EQ(platform::Utf8ToWide("\xC0\xAF"), L"\xDCC0\xDCAF");
    const std::string bytes[] = {"bad\xff.qvx", "bad\xEF\xBF\xBD.qvx", "\xED\xB2\x80",
                                 "\xF4\x90\x80\x80", "ok\xC3\xA9\xC3"};
    for (const std::string& name : bytes) {
        EXPECT_EQ(platform::WideToUtf8(platform::Utf8ToWide(name)), name);
        const std::filesystem::path path = platform::PathFromWide(
            platform::PathToWide(std::filesystem::path("/parts") / name));
        EXPECT_EQ(path.filename().native(), name);
    }
    // A name really holding U+FFFD is another name than one holding the byte 0xFF.
    EXPECT_NE(platform::Utf8ToWide(bytes[0]), platform::Utf8ToWide(bytes[1]));
    EXPECT_TRUE(platform::HasEscapedBytes(platform::Utf8ToWide(bytes[0])));
    EXPECT_FALSE(platform::HasEscapedBytes(platform::Utf8ToWide(bytes[1])));
    // Surrogates that stand for no byte still encode as U+FFFD.
    EXPECT_EQ(platform::WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))),
              "\xEF\xBF\xBD");
    EXPECT_EQ(platform::WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xDC7F))),
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
