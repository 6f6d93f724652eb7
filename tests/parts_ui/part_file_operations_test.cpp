#include "parts_ui/part_file_operations.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/home_folder.h"
#include "app/message_box.h"
#include "app/program_settings.h"
#include "parts_ui/file_view_model.h"
#include "platform/wide_string.h"
#include "resources/string_table.h"

namespace {

namespace fs = std::filesystem;
using platform::PathToWide;

// Checks that two subtrees hold the same texts, paths, images and flags in the same order.
void ExpectSameTree(const widget::WTreeItem& actual, const widget::WTreeItem& expected,
                    const std::wstring& where = L"root") {
    ASSERT_EQ(actual.rows.size(), expected.rows.size()) << "children of " << where;
    for (int r = 0; r < static_cast<int>(expected.rows.size()); ++r) {
        const auto a = actual.Child(r, 0);
        const auto e = expected.Child(r, 0);
        EXPECT_EQ(a->text, e->text) << "row " << r << " of " << where;
        EXPECT_EQ(a->value.Bstr(), e->value.Bstr());
        EXPECT_EQ(a->image, e->image) << e->text;
        EXPECT_EQ(a->flags, e->flags) << e->text;
        EXPECT_EQ(a->row, r) << e->text;
        EXPECT_EQ(a->parent, &actual) << e->text;
        ExpectSameTree(*a, *e, e->text);
    }
}

class PartFileOperationsTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = fs::path(testing::TempDir()) / ("part_file_operations_" + test);
        fs::remove_all(dir_);
        parts_ = dir_ / "parts";
        for (const wchar_t* type : kPackageTypeFolders) fs::create_directories(parts_ / type);
        seams_.log = [this](const wxString& line) { lines_.push_back(line.ToStdWstring()); };
        SetFileOperationSeams(seams_);
        SetMessageBoxAnswerer([this](const wxString& text, const wxString& caption, long) {
            questions_.push_back(text.ToStdWstring());
            captions_.push_back(caption.ToStdWstring());
            return answer_;
        });
        settings_.PartsFolder = PathToWide(parts_) + L"/";
        ops_.Settings = &settings_;
    }
    void TearDown() override {
        SetFileOperationSeams({});
        SetMessageBoxAnswerer({});
        fs::remove_all(dir_);
    }

    void Write(const fs::path& relative, const std::string& bytes = "x") {
        fs::create_directories((parts_ / relative).parent_path());
        std::ofstream(parts_ / relative, std::ios::binary) << bytes;
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::wstring P(const fs::path& relative) const { return PathToWide(parts_ / relative); }
    void Scan() { ops_.TreeModel = BuildFileViewModel(PathToWide(parts_) + L"/"); }
    std::shared_ptr<widget::WTreeItem> Item(const fs::path& relative) {
        return ops_.TreeModel->FindItemByPath(P(relative));
    }
    // The model the operations kept equals a fresh scan of the disk.
    void ExpectTreeMatchesDisk() {
        ExpectSameTree(*ops_.TreeModel->root, *BuildFileViewModel(PathToWide(parts_) + L"/")->root);
    }
    void Move(const fs::path& source, const fs::path& folder) {
        ops_.MovePartFile(Item(source), Item(folder));
    }

    fs::path dir_, parts_;
    FileOperationSeams seams_;
    std::vector<std::wstring> lines_;
    std::vector<std::wstring> questions_;
    std::vector<std::wstring> captions_;
    int answer_ = wxYES;
    ProgramSettings settings_;
    PartFileOperations ops_;
};

TEST_F(PartFileOperationsTest, NewPartsOfEachTypeAreWrittenWholeAndInsertedInOrder) {
    Write("QFP/b.qvx");
    Write("QFP/new_part/keep.qvx");  // a folder named like the new part: the part goes after it
    Write("SOP/Z.qvx");
    Scan();
    int signals = 0;
    std::vector<std::string> order;
    ops_.TreeModel->rowInserted.connect([&](widget::WTreeItem* parent, int row) {
        order.push_back(parent->Child(row, 0)->text.empty() ? "empty" : "inserted");
        ++signals;
    });
    ops_.TreeModel->dataChanged.connect([&](widget::WTreeItem*) { order.push_back("changed"); });
    for (int type = 0; type < 10; ++type)
        ops_.CreatePartFile(type, L"new_part", P(kPackageTypeFolders[type]));
    ops_.CreatePartFile(2, L"a", P("PBGA/made/deeper"));  // two levels missing: refused
    ops_.CreatePartFile(3, L"A", P("FCBGA/made"));
    ops_.CreatePartFile(10, L"x", P("QFP"));
    EXPECT_EQ(signals, 12);
    EXPECT_EQ(order.front(), "inserted");
    EXPECT_EQ(order[1], "changed");
    ExpectTreeMatchesDisk();
    for (int type = 0; type < 10; ++type) {
        const fs::path file = parts_ / kPackageTypeFolders[type] / "new_part.qvx";
        EXPECT_TRUE(settings_.LoadDetailedModelByType(PathToWide(file))) << file;
    }
    EXPECT_FALSE(fs::exists(parts_ / "PBGA" / "made"));
    EXPECT_NE(std::find(lines_.begin(), lines_.end(),
                        L"failed to create folder: " + P("PBGA/made/deeper")),
              lines_.end());
    EXPECT_NE(std::find(lines_.begin(), lines_.end(), L"folder was created: " + P("FCBGA/made")),
              lines_.end());
    // Nothing but the part files is left beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(parts_ / "QFP"), fs::directory_iterator()), 3);
}

TEST_F(PartFileOperationsTest, ANewPartNeverReplacesAFileAndLeavesNoTemporary) {
    Write("TO-220/taken.qvx", "user data");
    Scan();
    ops_.CreatePartFile(4, L"taken", P("TO-220"));
    EXPECT_EQ(Read(parts_ / "TO-220" / "taken.qvx"), "user data");
    ASSERT_FALSE(lines_.empty());
    EXPECT_EQ(lines_[0], L"Failed to create a new part file.");

    // A broken link in the part's place is only found when the written part is renamed
    // there: the link stays and only our temporary goes.
    lines_.clear();
    fs::create_symlink("nowhere.qvx", parts_ / "TO-220" / "fresh.qvx");
    ops_.CreatePartFile(5, L"fresh", P("TO-220"));
    EXPECT_EQ(lines_.at(0), L"Failed to create a new part file.");
    EXPECT_TRUE(fs::is_symlink(parts_ / "TO-220" / "fresh.qvx"));
    EXPECT_EQ(std::distance(fs::directory_iterator(parts_ / "TO-220"), fs::directory_iterator()),
              2);
    fs::remove(parts_ / "TO-220" / "fresh.qvx");
    ExpectTreeMatchesDisk();
}

TEST_F(PartFileOperationsTest, MovesChangeDiskThenTreeAndTheOpenPartFollows) {
    Write("QFP/a.qvx");
    Write("QFP/box/inner/deep.qvx");
    Write("QFP/box/top.qvx");
    Write("QFP/to/x/y.qvx");
    Write("QFP/x.qvx");
    Write("SOP/keep.qvx");
    Scan();
    settings_.CurrentPartPath = P("QFP/a.qvx");

    Move("QFP/a.qvx", "QFP/to");
    EXPECT_TRUE(fs::exists(parts_ / "QFP" / "to" / "a.qvx"));
    EXPECT_EQ(settings_.CurrentPartPath, P("QFP/to/a.qvx"));
    ExpectTreeMatchesDisk();

    // A part beside a same-named subfolder is still listed.
    Move("QFP/x.qvx", "QFP/to");
    ExpectTreeMatchesDisk();

    // A folder with its subtree, holding the open part.
    settings_.CurrentPartPath = P("QFP/box/inner/deep.qvx");
    Move("QFP/box", "QFP/to/x");
    EXPECT_TRUE(fs::exists(parts_ / "QFP" / "to" / "x" / "box" / "inner" / "deep.qvx"));
    EXPECT_EQ(settings_.CurrentPartPath, P("QFP/to/x/box/inner/deep.qvx"));
    ExpectTreeMatchesDisk();

    lines_.clear();
    Move("QFP/to/a.qvx", "QFP/to");  // the folder that holds it: nothing, not even a line
    EXPECT_TRUE(lines_.empty());
    EXPECT_TRUE(questions_.empty());
}

TEST_F(PartFileOperationsTest, RefusedMovesLeaveDiskAndTreeAsTheyWere) {
    Write("QFP/box/sub/p.qvx");
    Write("QFP/taken.qvx", "source");
    Write("QFP/box/taken.qvx", "target");
    Write("SOP/free.qvx");
    Write("SOP/sub/s.qvx");
    Scan();
    Move("QFP/box", "QFP/box");
    Move("QFP/box", "QFP/box/sub");
    Move("QFP/taken.qvx", "QFP/box");
    EXPECT_EQ(Read(parts_ / "QFP" / "taken.qvx"), "source");
    EXPECT_EQ(Read(parts_ / "QFP" / "box" / "taken.qvx"), "target");
    ASSERT_EQ(lines_.size(), 3u);
    EXPECT_EQ(lines_[2],
              L"Can't copy " + P("QFP/taken.qvx") + L". " + P("QFP/box/taken.qvx") + L" exists.");

    // The type folder decides a part's type: no part leaves its type folder, alone or in a
    // folder, and the user is told.
    settings_.CurrentPartPath = P("SOP/free.qvx");
    Move("SOP/free.qvx", "QFP");
    Move("QFP/box", "SOP/sub");
    ASSERT_EQ(questions_.size(), 2u);
    EXPECT_EQ(questions_[0],
              L"free can't be moved into the folder of another package type.\n"
              L"The folder a part lies in decides its package type.");
    EXPECT_EQ(lines_.size(), 3u);
    EXPECT_EQ(settings_.CurrentPartPath, P("SOP/free.qvx"));
    ExpectTreeMatchesDisk();

    seams_.rename = [](const fs::path&, const fs::path&, std::string& error) {
        error = "device busy";
        return false;
    };
    SetFileOperationSeams(seams_);
    Move("SOP/free.qvx", "SOP/sub");
    EXPECT_TRUE(fs::exists(parts_ / "SOP" / "free.qvx"));
    EXPECT_EQ(settings_.CurrentPartPath, P("SOP/free.qvx"));
    EXPECT_NE(lines_.back().find(L"device busy"), std::wstring::npos);
    ExpectTreeMatchesDisk();
}

TEST_F(PartFileOperationsTest, RenamesNeverReplaceAndFollowOnlyTheExactPath) {
    Write("PBGA/a.qvx", "lower");
    Write("PBGA/A.qvx", "upper");
    Write("PBGA/folder/open.qvx");
    std::wstring line;
    settings_.CurrentPartPath = P("PBGA/a.qvx");
    EXPECT_FALSE(settings_.RenamePartFile(P("PBGA/A.qvx"), P("PBGA/a.qvx"), line));
    // A failed rename names the file, not only the system's reason.
    EXPECT_EQ(line.rfind(L"failed to rename " + P("PBGA/A.qvx") + L" to " + P("PBGA/a.qvx") + L": ", 0), 0u);
    EXPECT_EQ(Read(parts_ / "PBGA" / "a.qvx"), "lower");
    EXPECT_TRUE(settings_.RenamePartFile(P("PBGA/A.qvx"), P("PBGA/B.qvx"), line));
    EXPECT_EQ(line, L"rename " + P("PBGA/A.qvx") + L" to " + P("PBGA/B.qvx"));
    EXPECT_EQ(settings_.CurrentPartPath, P("PBGA/a.qvx")) << "only the case differs";
    EXPECT_TRUE(settings_.RenamePartFile(P("PBGA/a.qvx"), P("PBGA/Ab.qvx"), line));
    EXPECT_EQ(settings_.CurrentPartPath, P("PBGA/Ab.qvx"));

    settings_.CurrentPartPath = P("PBGA/folder/open.qvx");
    EXPECT_TRUE(settings_.RenamePartFile(P("PBGA/folder"), P("PBGA/Folder"), line));
    EXPECT_EQ(settings_.CurrentPartPath, P("PBGA/Folder/open.qvx"));
    EXPECT_FALSE(settings_.RenamePartFile(P("PBGA/none"), P("PBGA/other"), line));
    EXPECT_TRUE(line.empty());
}

TEST_F(PartFileOperationsTest, DeleteAsksTrashesAndClosesOnlyTheAffectedPart) {
    ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    fs::create_directories(dir_ / "data");
    Write("TO-247/open/part.qvx");
    Write("TO-247/other.qvx", "other");
    Write("TO-247/Other.qvx", "Other");
    Scan();
    settings_.CurrentPartPath = P("TO-247/open/part.qvx");

    answer_ = wxNO;
    ops_.DeletePartFile(P("TO-247/other.qvx"));
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], L"Move 'other.qvx' to the trash?");
    EXPECT_TRUE(fs::exists(parts_ / "TO-247" / "other.qvx"));
    EXPECT_TRUE(lines_.empty());

    answer_ = wxYES;
    ops_.DeletePartFile(P("TO-247/other.qvx"));
    EXPECT_EQ(Read(dir_ / "data" / "Trash" / "files" / "other.qvx"), "other");
    EXPECT_EQ(Read(parts_ / "TO-247" / "Other.qvx"), "Other");
    EXPECT_EQ(settings_.CurrentPartPath, P("TO-247/open/part.qvx"));
    ExpectTreeMatchesDisk();

    seams_.trash = [](const fs::path&, std::string& error) {
        error = "no trash here";
        return false;
    };
    SetFileOperationSeams(seams_);
    lines_.clear();
    ops_.DeletePartFile(P("TO-247/open"));
    EXPECT_TRUE(fs::exists(parts_ / "TO-247" / "open" / "part.qvx"));
    EXPECT_EQ(settings_.CurrentPartPath, P("TO-247/open/part.qvx"));
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_NE(lines_[0].find(L"no trash here"), std::wstring::npos);

    seams_.trash = {};
    SetFileOperationSeams(seams_);
    ops_.DeletePartFile(P("TO-247/open"));
    EXPECT_FALSE(fs::exists(parts_ / "TO-247" / "open"));
    EXPECT_TRUE(settings_.CurrentPartPath.empty());
    ExpectTreeMatchesDisk();
}

// The manual command opens the start page below this program's folder in the browser; a
// launch that fails leaves one output-pane line naming the page. A page that is missing
// opens nothing and says nothing.
TEST_F(PartFileOperationsTest, ManualOpensTheLanguagesPageAndSaysWhenNoBrowserCould) {
    const std::wstring english = ManualPath(GetProgramFolder(), 9);
    const std::wstring japanese = ManualPath(GetProgramFolder(), 17);
    const fs::path manual = fs::path(english).parent_path().parent_path();
    // The pages are made beside the test binary, never beside an installed program; a
    // manual found there was left by a run of this case stopped half way.
    ASSERT_FALSE(fs::exists(manual.parent_path() / "samples")) << "a program folder";
    fs::remove_all(manual);
    std::vector<wxString> launched;
    bool launches = true;
    seams_.launch = [&](const wxString& url) {
        launched.push_back(url);
        return launches;
    };
    SetFileOperationSeams(seams_);
    OpenManual(9);
    EXPECT_TRUE(launched.empty());
    EXPECT_TRUE(lines_.empty());

    for (const std::wstring& page : {english, japanese}) {
        fs::create_directories(fs::path(page).parent_path());
        std::ofstream(fs::path(page)) << "<html></html>";
    }
    OpenManual(17);
    OpenManual(9);
    launches = false;
    OpenManual(9);
    fs::remove_all(manual);
    ASSERT_EQ(launched.size(), 3u);
    EXPECT_EQ(launched[0], wxFileName::FileNameToURL(wxFileName(japanese)));
    EXPECT_EQ(launched[1], wxFileName::FileNameToURL(wxFileName(english)));
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_EQ(lines_[0], L"No web browser could open the manual " + english +
                             L". Set a default web browser, or open the file in one.");
}

TEST_F(PartFileOperationsTest, ManualAndUsersGuideInBothLanguages) {
    EXPECT_EQ(ManualPath(L"/opt/z/", 17), L"/opt/z/qvx/manual/jpn/index.html");
    EXPECT_EQ(ManualPath(L"/opt/z/", 9), L"/opt/z/qvx/manual/eng/index.html");

    const fs::path machine = dir_ / "machine";
    ::setenv("XDG_CONFIG_DIRS", machine.c_str(), 1);
    EXPECT_EQ(FindUsersGuide(9), L"");
    std::vector<wxString> launched;
    seams_.launch = [&](const wxString& url) {
        launched.push_back(url);
        return true;
    };
    SetFileOperationSeams(seams_);
    OpenUsersGuide(9);
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], L"Failed to open user's guide");
    EXPECT_EQ(captions_[0], L"Zentrik");

    fs::create_directories(machine / "Ostrel" / "Vexa2020");
    std::ofstream(machine / "Ostrel" / "Vexa2020" / "registry.ini")
        << "Vx2020Folder=" << (dir_ / "guide").string() << "\n";
    const std::wstring english = PathToWide(dir_ / "guide" / "Manuals/HTML/Zentrik_eng/index.html");
    EXPECT_EQ(FindUsersGuide(9), english);
    EXPECT_EQ(FindUsersGuide(17),
              PathToWide(dir_ / "guide" / "Manuals/HTML/Zentrik_jpn/index.html"));
    fs::create_directories(fs::path(english).parent_path());
    std::ofstream(fs::path(english)) << "<html/>";
    OpenUsersGuide(9);
    EXPECT_EQ(questions_.size(), 1u);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], wxFileName::FileNameToURL(wxFileName(english)));
    ::unsetenv("XDG_CONFIG_DIRS");
}

}  // namespace
