#include "parts_ui/file_view_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/wide_string.h"

namespace {

namespace fs = std::filesystem;

class PartsFolderScan : public testing::Test {
  protected:
    void SetUp() override {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        parts_ = fs::path(testing::TempDir()) / ("parts_scan_" + test);
        fs::remove_all(parts_);
        fs::create_directories(parts_);
    }
    void TearDown() override {
        SetUnreadableFolderForTest({});
        fs::remove_all(parts_);
    }

    void Touch(const fs::path& relative) {
        fs::create_directories((parts_ / relative).parent_path());
        std::ofstream(parts_ / relative) << "x";
    }
    std::wstring Folder() const { return platform::PathToWide(parts_) + L"/"; }

    fs::path parts_;
};

const std::wstring& PathOf(const widget::WTreeItem& item) { return item.value.Bstr(); }

TEST_F(PartsFolderScan, AnEmptyPartsFolderGivesTheTenTypeFolders) {
    const auto model = BuildFileViewModel(Folder());
    ASSERT_EQ(model->root->rows.size(), 10u);
    for (int r = 0; r < 10; ++r) {
        const auto item = model->root->Child(r, 0);
        EXPECT_EQ(item->text, kPackageTypeFolders[r]);
        EXPECT_EQ(PathOf(*item), platform::PathToWide(parts_ / kPackageTypeFolders[r]));
        EXPECT_TRUE(item->rows.empty());
        EXPECT_EQ(item->flags, widget::kItemEditable) << "a type folder cannot be renamed";
        EXPECT_EQ(item->model, model.get());
    }
}

TEST_F(PartsFolderScan, FoldersComeFirstAndOnlyPartFilesAreListed) {
    Touch("QFP/a.qvx");
    Touch("QFP/B.QVX");
    Touch("QFP/a.qvx.bak");
    Touch("QFP/notes.txt");
    Touch("QFP/z folder/inner.qvx");
    fs::create_directories(parts_ / "QFP" / "empty");
    Touch("QFP/only text/readme.txt");
    Touch("QFP/A.qvx");  // differs from a.qvx only in case: both are listed

    const auto qfp = ScanPartsFolder(Folder(), L"QFP");
    std::vector<std::wstring> texts;
    for (int r = 0; r < static_cast<int>(qfp->rows.size()); ++r)
        texts.push_back(qfp->Child(r, 0)->text);
    EXPECT_EQ(texts,
              (std::vector<std::wstring>{L"empty", L"only text", L"z folder", L"A", L"a", L"B"}));

    const auto folder = qfp->Child(2, 0);
    EXPECT_EQ(folder->image, 0);
    EXPECT_EQ(folder->flags, widget::kItemEditable | widget::kItemMovable);
    ASSERT_EQ(folder->rows.size(), 1u);
    const auto inner = folder->Child(0, 0);
    EXPECT_EQ(inner->text, L"inner");
    EXPECT_EQ(inner->image, 1);
    EXPECT_EQ(PathOf(*inner), platform::PathToWide(parts_ / "QFP" / "z folder" / "inner.qvx"));
    EXPECT_TRUE(qfp->Child(1, 0)->rows.empty());
}

TEST_F(PartsFolderScan, FindingComparesPathsExactly) {
    Touch("SOP/part.qvx");
    Touch("SOP/Part.qvx");
    const auto model = BuildFileViewModel(Folder());
    const std::wstring lower = platform::PathToWide(parts_ / "SOP" / "part.qvx");
    const std::wstring upper = platform::PathToWide(parts_ / "SOP" / "Part.qvx");
    ASSERT_TRUE(model->FindItemByPath(lower));
    EXPECT_EQ(model->FindItemByPath(lower)->text, L"part");
    EXPECT_EQ(model->FindItemByPath(upper)->text, L"Part");
    EXPECT_FALSE(model->FindItemByPath(platform::PathToWide(parts_ / "SOP" / "PART.qvx")));
    EXPECT_EQ(model->FindItemByPath(platform::PathToWide(parts_ / "SOP")),
              model->root->Child(1, 0));
    EXPECT_FALSE(model->FindItemByPath(L""));
}

TEST_F(PartsFolderScan, AnUnreadableFolderIsSkippedWithOneLine) {
    Touch("PBGA/kept.qvx");
    Touch("PBGA/locked/hidden.qvx");
    Touch("PBGA/locked/deeper/more.qvx");
    SetUnreadableFolderForTest([&](const fs::path& p) { return p == parts_ / "PBGA" / "locked"; });
    std::vector<std::wstring> lines;
    const auto model =
        BuildFileViewModel(Folder(), [&](const std::wstring& l) { lines.push_back(l); });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(platform::PathToWide(parts_ / "PBGA" / "locked")), std::wstring::npos);
    const auto pbga = model->root->Child(2, 0);
    ASSERT_EQ(pbga->rows.size(), 2u);
    EXPECT_EQ(pbga->Child(0, 0)->text, L"locked");
    EXPECT_TRUE(pbga->Child(0, 0)->rows.empty());
    EXPECT_EQ(pbga->Child(1, 0)->text, L"kept");
}

TEST_F(PartsFolderScan, LinkedFoldersAreNotFollowedAndDepthIsBounded) {
    Touch("QFP/a.qvx");
    Touch("shared/b.qvx");
    fs::create_directory_symlink(".", parts_ / "QFP" / "self");
    fs::create_directory_symlink("..", parts_ / "QFP" / "up");
    fs::create_directory_symlink(parts_ / "shared", parts_ / "QFP" / "shared");
    fs::create_symlink(parts_ / "shared" / "b.qvx", parts_ / "QFP" / "linked.qvx");
    fs::path deep = parts_ / "SOP";
    for (int level = 0; level < kMaxScanDepth + 2; ++level) deep /= "d";
    fs::create_directories(deep);
    std::vector<std::wstring> lines;
    const auto model = BuildFileViewModel(Folder(), [&](const std::wstring& line) {
        lines.push_back(line);
    });

    const auto qfp = model->root->Child(0, 0);
    ASSERT_EQ(qfp->rows.size(), 2u);
    EXPECT_EQ(qfp->Child(0, 0)->text, L"a");
    EXPECT_EQ(qfp->Child(1, 0)->text, L"linked");  // a linked part file is a part
    int levels = 0;
    for (auto item = model->root->Child(1, 0); !item->rows.empty(); item = item->Child(0, 0)) {
        ++levels;
    }
    EXPECT_EQ(levels, kMaxScanDepth);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind(L"folder nested too deep, not read: ", 0), 0u);
}

TEST_F(PartsFolderScan, NamesThatAreNotUtf8KeepTheirBytes) {
    const std::string latin1 = "caf\xE9";
    const std::string replacement = "caf\xEF\xBF\xBD";
    Touch("QFP/" + latin1 + "/" + latin1 + ".qvx");
    Touch("QFP/" + latin1 + "/" + replacement + ".qvx");
    const auto model = BuildFileViewModel(Folder());
    const auto folder = model->root->Child(0, 0)->Child(0, 0);
    ASSERT_EQ(folder->rows.size(), 2u);
    std::vector<std::string> stored;
    for (int r = 0; r < 2; ++r) {
        stored.push_back(platform::WideToUtf8(PathOf(*folder->Child(r, 0))));
    }
    std::sort(stored.begin(), stored.end());
    const fs::path base = parts_ / "QFP" / latin1;
    EXPECT_EQ(stored, (std::vector<std::string>{(base / (latin1 + ".qvx")).string(),
                                                (base / (replacement + ".qvx")).string()}));
    for (const std::string& path : stored) {
        EXPECT_TRUE(fs::exists(platform::PathFromWide(platform::Utf8ToWide(path))));
        EXPECT_EQ(model->FindItemByPath(platform::Utf8ToWide(path))->value.Bstr(),
                  platform::Utf8ToWide(path));
    }
}

TEST(PartFileName, EndsInQvxInAnyCase) {
    EXPECT_TRUE(IsPartFileName(L"/a/b.qvx"));
    EXPECT_TRUE(IsPartFileName(L"/a/b.QvX"));
    EXPECT_TRUE(IsPartFileName(L".qvx"));
    EXPECT_FALSE(IsPartFileName(L"/a/b.qvx.bak"));
    EXPECT_FALSE(IsPartFileName(L"/a/folder.v2"));
    EXPECT_FALSE(IsPartFileName(L"qvx"));
}

}  // namespace
