#include "parts_ui/part_name_rules.h"

#include <gtest/gtest.h>

#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

std::wstring Message(std::uint32_t id) {
    std::wstring text;
    resources::LoadString(id, text);
    return text;
}

// The message a name gets, or "" when it passes.
std::wstring Refusal(const std::wstring& name) {
    std::wstring message;
    return CheckPartName(name, message) ? std::wstring() : message;
}

TEST(PartNameRules, TheFirstBrokenRuleGivesItsMessage) {
    EXPECT_EQ(Refusal(L""), Message(resources::IDS_NAME_EMPTY));
    EXPECT_EQ(Refusal(std::wstring(64, L'a')), L"");
    EXPECT_EQ(Refusal(std::wstring(65, L'a')), Message(resources::IDS_NAME_TOO_LONG));
    // A character beyond the basic plane counts as two, as in a name on the other platform.
    EXPECT_EQ(Refusal(std::wstring(63, L'a') + L"\U0001F600"),
              Message(resources::IDS_NAME_TOO_LONG));
    EXPECT_EQ(Refusal(L"_a"), Message(resources::IDS_NAME_LEADING_UNDERSCORE));
    EXPECT_EQ(Refusal(L"_" + std::wstring(69, L'a')), Message(resources::IDS_NAME_TOO_LONG));
    for (const wchar_t* reserved : {L"aux", L"Com1", L"CLOCK$", L"lpt9", L"nul"}) {
        EXPECT_EQ(Refusal(reserved), Message(resources::IDS_NAME_RESERVED)) << reserved;
    }
    for (const wchar_t* fine : {L"COM1x", L"NUL_", L"COM10", L"LPT0", L"CONSOLE", L"a b.c"}) {
        EXPECT_EQ(Refusal(fine), L"") << fine;
    }
    std::wstring untouched = L"kept";
    EXPECT_TRUE(CheckPartName(L"part", untouched));
    EXPECT_EQ(untouched, L"kept");
}

TEST(PartNameRules, ForbiddenCharacterMessageAndPathCharacters) {
    const std::wstring message = FormatForbiddenCharsMessage(resources::IDS_NAME_HAS_ANY_OF);
    EXPECT_EQ(message,
              L"A part name can't contain any of the following characters:"
              L"  \t ' \" \\ / | < > * : ; ? . , = & $ # @ !");
    for (wchar_t c : std::wstring(L"\"<>:/\\|?*\x01\x1f")) EXPECT_TRUE(IsInvalidPathCharacter(c));
    for (wchar_t c : std::wstring(L"a .;,=&$#@!'_\x7f\u3042"))
        EXPECT_FALSE(IsInvalidPathCharacter(c));

    // A name that becomes a file name as it stands: the name rules first, then these.
    std::wstring refusal;
    EXPECT_FALSE(CheckPartFileName(L"_a\n", refusal));
    EXPECT_EQ(refusal, Message(resources::IDS_NAME_LEADING_UNDERSCORE));
    for (const wchar_t* bad : {L"a\nb", L"a\rb", L"a\x1b", L"a:b", L"a/b"}) {
        EXPECT_FALSE(CheckPartFileName(bad, refusal));
        EXPECT_EQ(refusal, FormatForbiddenCharsMessage(resources::IDS_NAME_HAS_ANY_OF_LINES));
    }
    std::wstring untouched = L"kept";
    EXPECT_TRUE(CheckPartFileName(L"a b;c_detail", untouched));
    EXPECT_EQ(untouched, L"kept");
}

}  // namespace
