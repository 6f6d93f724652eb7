// The file-tree pane and the current part together in a real main frame, driven by clicks
// on the tree: opening, the save question, renaming, deleting, reloading, New Part and the
// File commands' enabling.
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/propgrid/property.h>

#include <algorithm>

#include "app/command_ids.h"
#include "app/help_view.h"
#include "app/preview_view.h"
#include "shell/trelvo_app.h"
#include "models/part_loaders.h"
#include "parts_ui/batch_output_dialog.h"
#include "parts_ui/file_view.h"
#include "parts_ui/new_part_dialogs.h"
#include "parts_ui/parts_view.h"
#include "resources/string_ids.h"
#include "tests/parts_ui/pane_test_util.h"

namespace fs = std::filesystem;
namespace r = resources;

namespace {

using zentrik_test::ClickCentre;
using zentrik_test::DispatchPending;
using zentrik_test::ReadBytes;
using zentrik_test::WaitUntil;

class FileTreePane : public zentrik_test::MainFrameTest {
  protected:
    wxTreeItemId Node(const fs::path& path) const { return zentrik_test::PaneNode(files, path); }
    // A real click on the node's image.
    void Click(const fs::path& path) {
        zentrik_test::ClickAt(tree, zentrik_test::NodePoint(tree, Node(path)));
        DispatchPending();
    }
    // Clicks a part and waits until it is selected.
    void Select(const fs::path& path) {
        Click(path);
        ASSERT_TRUE(WaitUntil([&] { return files->GetSelectedPath() == path.wstring(); }));
        DispatchPending();
    }
    // Changes the mold thickness in the grid as an edit there does.
    void ModifyGrid(double thickness) {
        wxPGProperty* property =
            Item(parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_THICKNESS))->property;
        ASSERT_NE(property, nullptr);
        frame->Properties()->Grid()->ChangePropertyValue(property, thickness);
        ASSERT_TRUE(frame->Properties()->IsModified());
    }
    // The last two log lines.
    void ExpectLastLines(const std::string& before, const std::string& last) {
        const std::vector<std::string> log = Log();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[log.size() - 2], before);
        EXPECT_EQ(log.back(), last);
    }
    std::vector<wxString>& asked = boxes.asked;
    int& answer = boxes.answer;
};

TEST_F(FileTreePane, AClickOpensThePartIntoEveryPane) {
    const fs::path pbga = Path("PBGA");
    Select(pbga);
    EXPECT_EQ(LastLine(), "read from " + pbga.string());
    EXPECT_EQ(frame->Preview()->ModelRoot.get(), &settings.CurrentModel->root);
    EXPECT_FALSE(frame->Properties()->Grid()->gridModel->root->rows.empty());
    EXPECT_GT(frame->Help()->PictureChoice()->GetCount(), 0u);
    auto* components = frame->Components()->Tree();
    const auto& rows = components->treeModel->root->rows;
    ASSERT_EQ(rows.size(), 7u);
    for (const auto& row : rows) EXPECT_TRUE(row[0]->checkState);

    // Unticking Wiring with a real click on its check box.
    const wxTreeItemId wiring = components->FindTreeItem(rows[4][0].get());
    ASSERT_EQ(components->GetItemText(wiring), "Wiring");
    const wxPoint onBox =
        zentrik_test::PointOnTreeItem(components, wiring, wxTREE_HITTEST_ONITEMSTATEICON);
    ASSERT_GT(onBox.x, 0);
    zentrik_test::ClickAt(components, onBox);
    ASSERT_TRUE(WaitUntil([&] { return !rows[4][0]->checkState; }));
    const auto& keys = frame->Preview()->VisibleComponentKeys;
    EXPECT_EQ(keys.size(), 6u);
    EXPECT_EQ(std::find(keys.begin(), keys.end(), "board"), keys.end());

    const std::size_t lines = Log().size();
    Click(pbga);  // the open part again
    EXPECT_EQ(Log().size(), lines);

    const auto root = frame->Preview()->ModelRoot;
    const auto grid = frame->Properties()->Grid()->gridModel;
    const fs::path broken = Part("PBGA/broken.qvx");
    Click(broken);
    ASSERT_TRUE(WaitUntil([&] { return Log().size() > lines; }));
    // The line says why, not only which file.
    EXPECT_EQ(LastLine().rfind("failed to open: " + broken.string() +
                                   ": the file is not well-formed XML (line 1: ", 0),
              0u)
        << LastLine();
    EXPECT_EQ(settings.CurrentPartPath, pbga.wstring());
    EXPECT_EQ(frame->Preview()->ModelRoot, root);
    EXPECT_EQ(frame->Properties()->Grid()->gridModel, grid);
    Select(pbga);  // still the open part: not read again
    EXPECT_EQ(Log().size(), lines + 1);
    EXPECT_TRUE(asked.empty());
}

TEST_F(FileTreePane, AModifiedPartIsSavedOrLeftAsTheUserAnswers) {
    const fs::path first = Path("PBGA");
    const fs::path second = Part("PBGA/second.qvx");
    const std::string firstBytes = ReadBytes(first);
    Select(first);
    ModifyGrid(1.25);

    answer = wxCANCEL;
    Click(second);
    ASSERT_TRUE(WaitUntil([&] { return asked.size() == 1; }));
    DispatchPending();
    EXPECT_EQ(files->GetSelectedPath(), first.wstring());
    EXPECT_EQ(settings.CurrentPartPath, first.wstring());

    answer = wxNO;
    Select(second);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(LastLine(), "read from " + second.string());
    EXPECT_EQ(ReadBytes(first), firstBytes);

    ModifyGrid(1.5);
    const std::string secondBytes = ReadBytes(second);
    answer = wxYES;
    Select(first);
    EXPECT_EQ(asked.size(), 3u);
    ExpectLastLines("saved to " + second.string(), "read from " + first.string());
    EXPECT_NE(ReadBytes(second), secondBytes);
    EXPECT_EQ(pkg::LoadBGADetailedModel(second.wstring())->mold.thickness, 1.5);
}

// A value typed without Enter counts on every way out of the part: the question comes,
// No leaves the file byte for byte, Yes saves what was typed, Cancel keeps it typed.
TEST_F(FileTreePane, AnUnconfirmedValueIsAskedAboutOnEveryWayOut) {
    const fs::path qfp = Path("QFP");
    const fs::path sop = Path("SOP");
    const std::string qfpBytes = ReadBytes(qfp);
    const auto thickness = [&] {
        return Item(parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_THICKNESS));
    };
    const auto type = [&](const char* text) {
        zentrik_test::TypeIntoGrid(frame->Properties(), thickness()->property, text, false);
    };
    const auto saved = [&] { return pkg::LoadQFPDetailedModel(qfp.wstring())->mold.thickness; };

    Select(qfp);
    type("2.5");
    answer = wxNO;
    Select(sop);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(LastLine(), "read from " + sop.string());
    EXPECT_EQ(ReadBytes(qfp), qfpBytes);

    Select(qfp);
    type("2.5");
    answer = wxYES;
    Select(sop);
    EXPECT_EQ(asked.size(), 2u);
    ExpectLastLines("saved to " + qfp.string(), "read from " + sop.string());
    EXPECT_EQ(saved(), 2.5);

    // Export, from the pane's button.
    Select(qfp);
    type("3.5");
    zentrik_test::WhenShown<parts_ui::BatchOutputDialog> exporting(
        [](parts_ui::BatchOutputDialog* dialog) { dialog->EndModal(wxID_CANCEL); });
    answer = wxCANCEL;
    ClickCentre(files->ExportButton());
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(exporting.shown, 0);
    answer = wxYES;
    ClickCentre(files->ExportButton());
    ASSERT_TRUE(WaitUntil([&] { return exporting.shown == 1; }));
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_EQ(saved(), 3.5);

    // New Part: No drops what was typed, then the dialog comes.
    type("4.5");
    zentrik_test::WhenShown<NewPartDialog> creating(
        [](NewPartDialog* dialog) { dialog->EndModal(wxID_CANCEL); });
    answer = wxNO;
    ClickCentre(files->NewPartButton());
    ASSERT_TRUE(WaitUntil([&] { return creating.shown == 1; }));
    EXPECT_EQ(asked.size(), 5u);
    EXPECT_EQ(thickness()->value, widget::Variant::FromR8(3.5));
    EXPECT_FALSE(frame->Properties()->IsModified());

    // Closing the window: Cancel keeps it open with the typed value in the part.
    type("5.5");
    answer = wxCANCEL;
    EXPECT_FALSE(frame->Close());
    DispatchPending();
    EXPECT_EQ(asked.size(), 6u);
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(thickness()->value, widget::Variant::FromR8(5.5));
    EXPECT_EQ(saved(), 3.5);
}

TEST_F(FileTreePane, TheOpenPartIsSavedUnderItsNewName) {
    const fs::path old = Path("QFP");
    const fs::path renamed = Part("QFP/renamed.qvx");
    Select(old);
    zentrik_test::TypeLabel(tree, Node(old), "renamed");
    ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() == nullptr; }));
    DispatchPending();
    ASSERT_TRUE(fs::exists(renamed));

    ModifyGrid(2.5);
    EXPECT_TRUE(frame->Properties()->Save());
    EXPECT_EQ(LastLine(), "saved to " + renamed.string());
    EXPECT_EQ(pkg::LoadQFPDetailedModel(renamed.wstring())->mold.thickness, 2.5);
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(asked.empty());
}

TEST_F(FileTreePane, AMovedOpenPartStaysOpenWithItsEdits) {
    const fs::path old = Path("PBGA");
    const fs::path boards = Part("PBGA/boards");
    Select(old);
    ModifyGrid(1.25);
    operations.MovePartFile(operations.TreeModel->FindItemByPath(old.wstring()),
                            operations.TreeModel->FindItemByPath(boards.wstring()));
    const fs::path moved = boards / old.filename();
    ASSERT_TRUE(fs::exists(moved));
    EXPECT_EQ(settings.CurrentPartPath, moved.wstring());
    const std::size_t lines = Log().size();
    Select(moved);  // its new item: neither asked about nor read again
    EXPECT_EQ(Log().size(), lines);
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(frame->Properties()->IsModified());
}

TEST_F(FileTreePane, WithoutItsFileThePartIsClosedAndReloadReopensWhatRemains) {
    // Nothing goes to a real trash: the seam removes the file.
    FileOperationSeams seams;
    seams.trash = [](const fs::path& path, std::string&) { return fs::remove(path); };
    SetFileOperationSeams(seams);
    const auto nothingHappens = [&](const fs::path& gone) {
        const std::size_t lines = Log().size();
        EXPECT_TRUE(frame->Properties()->Grid()->gridModel->root->rows.empty());
        ClickCentre(frame->Properties()->PreviewButton());
        EXPECT_FALSE(frame->Preview()->ModelRoot);
        EXPECT_FALSE(files->SavePart());
        EXPECT_FALSE(frame->Properties()->Save());
        EXPECT_EQ(Log().size(), lines);
        EXPECT_FALSE(fs::exists(gone));
    };

    const fs::path sop = Path("SOP");
    Select(sop);
    answer = wxYES;
    operations.DeletePartFile(sop.wstring());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_FALSE(fs::exists(sop));
    EXPECT_TRUE(settings.CurrentPartPath.empty());
    EXPECT_EQ(frame->Components()->Tree()->GetCount(), 0u);
    EXPECT_EQ(frame->Help()->PictureChoice()->GetCount(), 0u);
    nothingHappens(sop);

    const fs::path to263 = Path("TO-263");
    Select(to263);
    frame->Reload();
    EXPECT_EQ(settings.CurrentPartPath, to263.wstring());
    EXPECT_EQ(LastLine(), "read from " + to263.string());
    EXPECT_EQ(frame->Preview()->ModelRoot.get(), &settings.CurrentModel->root);
    EXPECT_EQ(files->GetSelectedPath(), to263.wstring()) << "the reopened part stays selected";
    const std::size_t lines = Log().size();
    Click(to263);
    EXPECT_EQ(Log().size(), lines);

    fs::remove(to263);
    frame->Reload();
    EXPECT_TRUE(settings.CurrentPartPath.empty());
    EXPECT_EQ(frame->Components()->Tree()->GetCount(), 0u);
    nothingHappens(to263);
}

// The highlighted row is the open part, or there is none: what the control picks of its own
// accord after a removal is taken back, and a click on a selected part that is not open
// opens it rather than starting a rename.
TEST_F(FileTreePane, TheSelectionShowsWhatIsOpen) {
    FileOperationSeams seams;
    seams.trash = [](const fs::path& path, std::string&) { return fs::remove(path); };
    SetFileOperationSeams(seams);
    const fs::path sop = Path("SOP");
    Select(sop);
    answer = wxYES;
    operations.DeletePartFile(sop.wstring());
    DispatchPending();
    EXPECT_TRUE(WaitUntil([&] { return files->GetSelectedPath().empty(); }))
        << "selected after the delete: " << files->GetSelectedPath();
    EXPECT_TRUE(settings.CurrentPartPath.empty());

    const fs::path to263 = Path("TO-263");
    Select(to263);
    fs::remove(to263);
    frame->Reload();
    DispatchPending();
    EXPECT_TRUE(WaitUntil([&] { return files->GetSelectedPath().empty(); }));

    const fs::path pbga = Path("PBGA");
    Select(pbga);
    settings.ClearCurrentPart();
    Click(pbga);
    ASSERT_TRUE(WaitUntil([&] { return settings.CurrentPartPath == pbga.wstring(); }));
    EXPECT_EQ(LastLine(), "read from " + pbga.string());
    DispatchPending();
    EXPECT_FALSE(tree->GetEditControl()) << "no rename started";

    // Clicked again at once, it opens as on a single click, though the toolkit reports the
    // click as the second of a double click.
    settings.ClearCurrentPart();
    EXPECT_TRUE(zentrik_test::SecondClickAt(tree, zentrik_test::NodePoint(tree, Node(pbga)), [&] {
        return settings.CurrentPartPath == pbga.wstring();
    }));
    DispatchPending();
    EXPECT_FALSE(tree->GetEditControl()) << "no rename started";
}

TEST_F(FileTreePane, NewPartGoesToTheSelectedSubfolderAndOpens) {
    const fs::path boards = Part("PBGA/boards");
    Select(boards);
    EXPECT_TRUE(settings.CurrentPartPath.empty());

    wxString proposed;
    zentrik_test::WhenShown<NewPartDialog> shown([&](NewPartDialog* dialog) {
        dialog->typeChoice()->SetSelection(2);  // PBGA
        wxCommandEvent choice(wxEVT_CHOICE, dialog->typeChoice()->GetId());
        choice.SetEventObject(dialog->typeChoice());
        choice.SetInt(2);
        dialog->typeChoice()->GetEventHandler()->ProcessEvent(choice);
        proposed = dialog->folderEdit()->GetValue();
        dialog->nameEdit()->ChangeValue("fresh");
        ClickCentre(dialog->FindWindow(wxID_OK));
    });
    ClickCentre(files->NewPartButton());
    const fs::path fresh = boards / "fresh.qvx";
    ASSERT_TRUE(WaitUntil([&] { return settings.CurrentPartPath == fresh.wstring(); }));
    EXPECT_EQ(proposed, boards.wstring());
    ExpectLastLines("part file was created: " + fresh.string(), "read from " + fresh.string());
    EXPECT_EQ(files->GetSelectedPath(), fresh.wstring());
    EXPECT_TRUE(asked.empty());
}

TEST_F(FileTreePane, FileCommandsFollowTheSelection) {
    BindFileCommands(*frame, operations, [this] { return frame; });
    wxMenuBar* menus = frame->GetMenuBar();
    const auto enabled = [&](int command) {
        menus->UpdateMenus();
        return menus->IsEnabled(WxId(command));
    };
    Select(Path("FCBGA"));
    EXPECT_TRUE(enabled(ID_DELETE));
    EXPECT_TRUE(enabled(ID_RENAME));
    EXPECT_FALSE(enabled(ID_NEW_FOLDER));
    Select(Part("PBGA/boards"));
    EXPECT_TRUE(enabled(ID_NEW_FOLDER));
    EXPECT_TRUE(enabled(ID_DELETE));
    Select(Part("FCBGA"));
    EXPECT_FALSE(enabled(ID_DELETE));
    EXPECT_FALSE(enabled(ID_RENAME));
    EXPECT_TRUE(enabled(ID_NEW_FOLDER));
}

}  // namespace
