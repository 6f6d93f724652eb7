// The current part in a real main frame, opened and changed through the pane's calls:
// each family's panes and help captions, the wiring layers, Apply and Save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <wx/arrstr.h>
#include <wx/choice.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/help_view.h"
#include "app/preview_view.h"
#include "models/part_loaders.h"
#include "models/part_rules.h"
#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/file_view.h"
#include "parts_ui/parts_view.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "tests/parts_ui/pane_test_util.h"

namespace fs = std::filesystem;
namespace r = resources;

namespace {

using widget::Variant;
using zentrik_test::ReadBytes;

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring MoldThickness() {
    return parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_THICKNESS);
}

class CurrentPart : public zentrik_test::MainFrameTest {
  protected:
    void Open(const fs::path& path) {
        auto item = operations.TreeModel->FindItemByPath(path.wstring());
        ASSERT_TRUE(item) << path;
        files->OpenPart(item);
    }
    std::string Written() const {
        std::ostringstream out;
        settings.CurrentPackage->WritePartFile(out);
        return out.str();
    }
};

// Opening by click, a second click and a file no loader reads are in the file-tree pane's
// end-to-end test; here each family, its captions and a folder.
TEST_F(CurrentPart, EachFamilyOpensWithItsComponentsAndCaptions) {
    Open(Path("PBGA"));
    EXPECT_EQ(files->CurrentTypeName(), "pbga");
    EXPECT_FALSE(settings.CurrentModel->root.children.empty()) << "the model is built";
    EXPECT_EQ(frame->Preview()->VisibleComponentKeys.size(), 7u);
    wxChoice* captions = frame->Help()->PictureChoice();
    ASSERT_EQ(captions->GetCount(), HelpImageCatalog::FilesOf(2, 9).size());
    EXPECT_EQ(captions->GetString(0), r::LoadText(r::IDS_HELP_COMPONENT_NAME));
    captions->SetSelection(4);  // stays picked for the next type that has it

    const std::size_t lines = Log().size();
    Open(Part("PBGA"));  // a folder
    EXPECT_EQ(Log().size(), lines);

    const struct {
        const char* folder;
        const char* type;
        std::size_t components;
    } families[] = {
        {"FCBGA", "fcbga", 6}, {"QFP", "qfp", 8}, {"SOP", "sop", 8}, {"TO-263", "TO-263", 5}};
    for (const auto& family : families) {
        Open(Path(family.folder));
        EXPECT_EQ(files->CurrentTypeName(), family.type);
        EXPECT_EQ(frame->Components()->Tree()->treeModel->root->rows.size(), family.components);
        if (&family == families) {
            EXPECT_EQ(captions->GetSelection(), 4);
        }
    }
}

// Each open says what it could not do: the rule a part breaks, a type nobody knows; the
// older "bga" type opens as the PBGA it is read as.
TEST_F(CurrentPart, OpeningSaysWhyAPartIsNotBuiltOrNotOpened) {
    auto qfp = std::dynamic_pointer_cast<pkg::qfp::QFPDetailedModel>(
        default_parts::MakeDefault("QFP"));
    qfp->lead.number_of_xmin_xmax_lead = -1;
    std::ostringstream broken;
    ASSERT_TRUE(qfp->WritePartFile(broken));
    std::ofstream(Part("QFP/negative.qvx")) << broken.str();
    const std::string pbga = ReadBytes(Path("PBGA"));
    const auto withType = [&](const std::string& type) {
        std::string text = pbga;
        const std::size_t at = text.find(">pbga<");
        EXPECT_NE(at, std::string::npos);
        return text.replace(at + 1, 4, type);
    };
    std::ofstream(Part("PBGA/alien.qvx")) << withType("x\ny");
    std::ofstream(Part("PBGA/legacy.qvx")) << withType("bga");
    frame->Reload();

    Open(Part("QFP/negative.qvx"));
    const std::wstring rule = parts_ui::RuleText(pkg::CheckPackageRules(*qfp));
    ASSERT_FALSE(rule.empty());
    const auto log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "read from " + Part("QFP/negative.qvx").string());
    EXPECT_EQ(wxString::FromUTF8(log.back()),
              wxString(L"The model of the part cannot be built: " + rule));
    EXPECT_TRUE(settings.CurrentModel->root.children.empty());
    EXPECT_EQ(files->CurrentTypeName(), "qfp") << "opened, so the grid can put it right";

    const std::size_t lines = Log().size();
    Open(Part("PBGA/alien.qvx"));
    EXPECT_EQ(Log().size(), lines + 1);
    EXPECT_EQ(LastLine(), "failed to open: " + Part("PBGA/alien.qvx").string() +
                              ": the part type \"x\xEF\xBF\xBDy\" is not one of the package types");
    EXPECT_EQ(settings.CurrentPartPath, Part("QFP/negative.qvx").wstring());

    Open(Part("PBGA/legacy.qvx"));
    EXPECT_EQ(LastLine(), "read from " + Part("PBGA/legacy.qvx").string());
    EXPECT_STREQ(settings.CurrentPackage->TypeName(), "bga");
    EXPECT_EQ(files->CurrentTypeName(), "pbga");
    EXPECT_EQ(frame->Preview()->VisibleComponentKeys.size(), 7u);
    EXPECT_FALSE(settings.CurrentModel->root.children.empty());
}

TEST_F(CurrentPart, WiringLayerCountEnablesItsLayers) {
    Open(Path("PBGA"));
    const auto enabledLayers = [&](std::uint32_t group) {
        std::vector<bool> enabled;
        for (int i = 0; i < (group == r::IDS_PROP_BOARD_LAYER_THICKNESS ? 7 : 8); ++i) {
            const auto& item = Item(r::LoadText(group) + std::to_wstring(i));
            enabled.push_back(item->enabled);
            if (item->property != nullptr) {
                EXPECT_EQ(item->property->IsEnabled(), item->enabled);
            }
        }
        return enabled;
    };
    const auto firstOf = [](int n, int size) {
        std::vector<bool> enabled(size, false);
        for (int i = 0; i < n && i < size; ++i) enabled[i] = true;
        return enabled;
    };
    const std::wstring count =
        parts_ui::PropertyKey(r::IDS_PROP_BOARD, r::IDS_PROP_NUMBER_OF_WIRING_LAYERS);
    for (int n : {3, 8, 0, 2}) {
        if (n != 3) Item(count)->SetData(Variant::FromBstr(std::to_wstring(n)));
        EXPECT_EQ(enabledLayers(r::IDS_PROP_WIRING_LAYER_THICKNESS), firstOf(n, 8)) << n;
        EXPECT_EQ(enabledLayers(r::IDS_PROP_COPPER_COVERAGE), firstOf(n, 8)) << n;
        EXPECT_EQ(enabledLayers(r::IDS_PROP_BOARD_LAYER_THICKNESS), firstOf(n - 1, 7)) << n;
    }
    // A count that is no number leaves the layers as they were.
    Item(count)->SetData(Variant::FromBstr(L"many"));
    EXPECT_EQ(enabledLayers(r::IDS_PROP_WIRING_LAYER_THICKNESS), firstOf(2, 8));
}

TEST_F(CurrentPart, PreviewAppliesOnceAndBadValuesNeverReachThePackage) {
    boxes.answer = wxOK;
    for (const char* type : {"PBGA", "QFP"}) {  // the second open must not connect again
        Open(Path(type));
        Item(MoldThickness())->SetData(Variant::FromR8(0.0));
        const std::string before = Written();
        boxes.asked.clear();
        zentrik_test::ClickCentre(frame->Properties()->PreviewButton());
        ASSERT_TRUE(zentrik_test::WaitUntil([&] { return !boxes.asked.empty(); }));
        zentrik_test::DispatchPending();
        ASSERT_EQ(boxes.asked.size(), 1u) << type;
        EXPECT_TRUE(boxes.asked[0].StartsWith("Specify ")) << boxes.asked[0];
        EXPECT_EQ(Written(), before) << "a value that fails the checks is not taken";
    }

    // A valid value is taken and the preview gets the rebuilt model.
    Item(MoldThickness())->SetData(Variant::FromR8(1.75));
    frame->Preview()->ModelRoot.reset();
    frame->Properties()->Changed();
    EXPECT_EQ(std::dynamic_pointer_cast<pkg::qfp::QFP>(settings.CurrentPackage)->mold.thickness,
              1.75);
    EXPECT_EQ(frame->Preview()->ModelRoot.get(), &settings.CurrentModel->root);

    // A value that does not convert is reported and changes nothing.
    const std::string before = Written();
    Item(parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_X))
        ->SetData(Variant::FromBstr(L"wide"));
    frame->Properties()->Changed();
    EXPECT_EQ(Written(), before);
    EXPECT_EQ(LastLine().rfind("failed to apply the properties: ", 0), 0u) << LastLine();
    const std::string file = ReadBytes(Path("QFP"));
    EXPECT_FALSE(files->SavePart());
    EXPECT_EQ(LastLine(), "failed to save " + Path("QFP").string());
    EXPECT_EQ(ReadBytes(Path("QFP")), file);
}

TEST_F(CurrentPart, SaveReplacesTheFileWholeOrNotAtAll) {
    const fs::path path = Path("QFP");
    Open(path);
    Item(MoldThickness())->SetData(Variant::FromR8(2.5));
    EXPECT_TRUE(files->SavePart());
    EXPECT_EQ(LastLine(), "saved to " + path.string());
    EXPECT_EQ(pkg::LoadQFPDetailedModel(path.wstring())->mold.thickness, 2.5);
    const std::vector<std::string> listing = Listing(path.parent_path());
    EXPECT_EQ(listing, std::vector<std::string>{"QFP_part.qvx"});

    // No file may grow past a byte while the part is written: the write fails half way.
    const std::string saved = ReadBytes(path);
    Item(MoldThickness())->SetData(Variant::FromR8(3.5));
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{1, limit.rlim_max};
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = files->SavePart();
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(LastLine(), "failed to save " + path.string());
    EXPECT_EQ(ReadBytes(path), saved);
    EXPECT_EQ(Listing(path.parent_path()), listing) << "no temporary is left behind";

    // A part marked read-only is refused with the reason, and stays as it was.
    fs::permissions(path, fs::perms(0444));
    EXPECT_FALSE(files->SavePart());
    EXPECT_EQ(LastLine(), "failed to save " + path.string());
    const std::vector<std::string> lines = Log();
    ASSERT_GE(lines.size(), 2u);
    // The reason is the system's text, in the process's own language.
    EXPECT_EQ(lines[lines.size() - 2], "cannot write " + path.string() + ": " + std::strerror(EACCES));
    EXPECT_EQ(ReadBytes(path), saved);
    EXPECT_EQ(Listing(path.parent_path()), listing);
}

// Another window's save of the same part, as that window writes it.
void SaveElsewhere(const fs::path& path, double thickness) {
    auto other = pkg::LoadQFPDetailedModel(platform::PathToWide(path));
    ASSERT_TRUE(other);
    other->mold.thickness = thickness;
    std::ostringstream out;
    ASSERT_TRUE(other->WritePartFile(out));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << out.str();
}

double ThicknessOnDisk(const fs::path& path) {
    return pkg::LoadQFPDetailedModel(platform::PathToWide(path))->mold.thickness;
}

TEST_F(CurrentPart, SaveOverAnotherWindowsSaveAsksAndKeepsTheDisksVersionByDefault) {
    const fs::path path = Path("QFP");
    Open(path);
    SaveElsewhere(path, 2.5);
    const std::string theirs = ReadBytes(path);

    Item(MoldThickness())->SetData(Variant::FromR8(3.5));
    boxes.answer = wxCANCEL;
    EXPECT_FALSE(files->SavePart());
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_TRUE(boxes.asked[0].StartsWith("QFP_part.qvx was changed on disk")) << boxes.asked[0];
    EXPECT_EQ(boxes.styles[0] & (wxYES_NO | wxCANCEL | wxNO_DEFAULT),
              wxYES_NO | wxCANCEL | wxNO_DEFAULT);
    EXPECT_EQ(ReadBytes(path), theirs);

    boxes.answer = wxNO;  // keep the version on disk: it is read again
    EXPECT_TRUE(files->SavePart());
    EXPECT_EQ(ReadBytes(path), theirs);
    EXPECT_EQ(std::dynamic_pointer_cast<pkg::qfp::QFP>(settings.CurrentPackage)->mold.thickness,
              2.5);
    EXPECT_EQ(Item(MoldThickness())->Data(), Variant::FromR8(2.5)) << "the grid shows it";

    Item(MoldThickness())->SetData(Variant::FromR8(4.0));
    EXPECT_TRUE(files->SavePart());
    EXPECT_EQ(boxes.asked.size(), 2u) << "what was read again is not asked about";
    EXPECT_EQ(ThicknessOnDisk(path), 4.0);

    // The same size and modification time still count as a change.
    const auto time = fs::last_write_time(path);
    std::string same = ReadBytes(path);
    const auto at = same.find("4");
    ASSERT_NE(at, std::string::npos);
    same[at] = '5';
    std::ofstream(path, std::ios::binary | std::ios::trunc) << same;
    fs::last_write_time(path, time);
    boxes.answer = wxYES;  // overwrite
    EXPECT_TRUE(files->SavePart());
    EXPECT_EQ(boxes.asked.size(), 3u);
    EXPECT_EQ(ThicknessOnDisk(path), 4.0);
    EXPECT_TRUE(files->SavePart());
    EXPECT_EQ(boxes.asked.size(), 3u) << "this window's own save is not a change";
}

TEST_F(CurrentPart, TheLeavingQuestionsSaveAsksTooAndCancelStaysOpen) {
    const fs::path path = Path("QFP");
    Open(path);
    zentrik_test::TypeIntoGrid(frame->Properties(), Item(MoldThickness())->property, "3.5");
    SaveElsewhere(path, 2.5);
    const std::string theirs = ReadBytes(path);
    // Yes at the modified-part question saves, and the save asks before overwriting.
    int asked = 0;
    SetMessageBoxAnswerer([&](const wxString& text, const wxString&, long) {
        ++asked;
        return text.Contains("changed on disk") ? wxCANCEL : wxYES;
    });
    EXPECT_FALSE(operations.CheckSaveModifiedPart());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(ReadBytes(path), theirs);
    EXPECT_TRUE(frame->Properties()->IsModified()) << "the edits stay to be saved";
}

TEST_F(CurrentPart, ALongestNameSavesAndItsQuestionIsWrapped) {
    // 251 bytes of name with multi-byte letters, and ".qvx": the longest legal name.
    std::string stem;
    while (stem.size() + 3 <= 251) stem += "\xE9\x83\xA8";  // 部
    while (stem.size() < 251) stem += 'p';
    const fs::path path = Part("QFP/" + stem + ".qvx");
    fs::copy_file(Path("QFP"), path);
    auto item = widget::MakeTreeItem();
    item->value = Variant::FromBstr(platform::PathToWide(path));
    files->OpenPart(item);
    ASSERT_EQ(settings.CurrentPartPath, platform::PathToWide(path));
    Item(MoldThickness())->SetData(Variant::FromR8(2.25));
    EXPECT_TRUE(files->SavePart()) << LastLine();
    EXPECT_EQ(ThicknessOnDisk(path), 2.25);

    SaveElsewhere(path, 2.5);
    boxes.answer = wxCANCEL;
    EXPECT_FALSE(files->SavePart());
    ASSERT_EQ(boxes.asked.size(), 1u);
    const wxString shown = WrapLongRuns(boxes.asked[0], kMessageRunWidth);
    const auto withoutBreaks = [](wxString text) {
        text.Replace("\n", "");
        return text;
    };
    EXPECT_EQ(withoutBreaks(shown), withoutBreaks(boxes.asked[0])) << "only breaks are added";
    EXPECT_GT(shown.Freq('\n'), boxes.asked[0].Freq('\n'));
    for (const wxString& line : wxSplit(shown, '\n')) {
        for (const wxString& word : wxSplit(line, ' ')) {
            EXPECT_LE(word.length(), kMessageRunWidth) << word;
        }
    }
    EXPECT_EQ(Listing(path.parent_path()).size(), 2u) << "no temporary is left behind";
}

TEST(NewPartFolders, ASelectedFolderReplacesOnlyItsTypesDefault) {
    const auto folders = NewPartFolders(L"/p/parts/", L"/p/parts/pbga/old/boards");
    EXPECT_EQ(folders[2], L"/p/parts/pbga/old/boards");
    EXPECT_EQ(folders[0], L"/p/parts/QFP");
    EXPECT_EQ(folders[3], L"/p/parts/FCBGA");
    EXPECT_EQ(folders[9], L"/p/parts/SOT-223");
    EXPECT_EQ(NewPartFolders(L"/p/parts", L"/p/parts/TO-263")[6], L"/p/parts/TO-263");

    const auto defaults = NewPartFolders(L"/p/parts/", L"");
    for (const wchar_t* outside : {L"/p/parts/Other/PBGA", L"/p/partsX/PBGA", L"/q/PBGA/x",
                                   L"/p/parts", L"/p/parts/PBGAX"}) {
        EXPECT_EQ(NewPartFolders(L"/p/parts/", outside), defaults) << outside;
    }
}

}  // namespace
