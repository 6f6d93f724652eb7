#include "resources/string_table.h"

#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "resources/string_ids.h"

namespace {

using namespace resources;

bool HasPlaceholder(const std::wstring& text) { return text.find(L"%1") != std::wstring::npos; }

TEST(StringTable, EveryRowHasBothTextsAndMatchingPlaceholders) {
    std::set<std::uint32_t> ids;
    for (const StringRow& row : StringTable()) {
        EXPECT_TRUE(ids.insert(row.id).second) << "duplicate id " << row.id;
        ASSERT_TRUE(row.english && row.japanese) << row.id;
        EXPECT_FALSE(std::wstring(row.english).empty()) << row.id;
        EXPECT_FALSE(std::wstring(row.japanese).empty()) << row.id;
        EXPECT_EQ(HasPlaceholder(row.english), HasPlaceholder(row.japanese)) << row.id;
    }
    EXPECT_GE(ids.size(), 50u);
}

TEST(StringTable, QuotedTextsStandAsGiven) {
    struct Quoted {
        std::uint32_t id;
        const wchar_t* english;
        const wchar_t* japanese;  // null where only the English is fixed
    };
    const Quoted quoted[] = {
        {100, L"OLE initialization failed.  Make sure that the OLE libraries are the correct version.",
         nullptr},
        {171, L"Program Configurations...", L"プログラムの詳細設定"},
        {213, L"Specify the standard length greater than or equal to the threshold mesh element size.",
         L"分割幅≧限度幅となるように設定して下さい。"},
        {305, L"Explorer", L"エクスプローラー"},
        {155, L"File View", nullptr},
        {103, L"Help view", nullptr},
        {127, L"Suspension lead", nullptr},
        {259, L"Details of board", nullptr},
    };
    for (const Quoted& q : quoted) {
        std::wstring text;
        SetThreadLanguage(kLanguageEnglish);
        ASSERT_TRUE(LoadString(q.id, text)) << q.id;
        EXPECT_EQ(text, q.english);
        if (q.japanese) {
            SetThreadLanguage(kLanguageJapanese);
            ASSERT_TRUE(LoadString(q.id, text));
            EXPECT_EQ(text, q.japanese);
        }
    }
    std::wstring untouched = L"kept";
    EXPECT_FALSE(LoadString(99999, untouched));
    EXPECT_EQ(untouched, L"kept");
}

TEST(StringTable, EachThreadLoadsInItsOwnLanguage) {
    SetThreadLanguage(kLanguageJapanese);
    std::wstring fresh;
    std::wstring switched;
    std::thread worker([&] {
        LoadString(IDS_OUTPUT_VIEW, fresh);
        SetThreadLanguage(kLanguageEnglish);
        LoadString(IDS_EXPLORER, switched);
    });
    worker.join();
    std::wstring mine;
    LoadString(IDS_EXPLORER, mine);
    EXPECT_EQ(fresh, L"Output");  // a new thread starts in English
    EXPECT_EQ(switched, L"Explorer");
    EXPECT_EQ(mine, L"エクスプローラー");
}

TEST(StringTable, FormatReplacesEveryPlaceholderOnce) {
    EXPECT_EQ(FormatString1(L"Part %1 exists. %1?", L"QFP_1"), L"Part QFP_1 exists. QFP_1?");
    EXPECT_EQ(FormatString1(L"%1%1", L"%1"), L"%1%1");
    EXPECT_EQ(FormatString1(L"no value", L"x"), L"no value");
}

}  // namespace
