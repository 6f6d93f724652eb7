// The export list dialog over a temporary parts folder: adding, kinds and names, the
// name editor, the checks before a run, the destination, and the parts tree after the
// dialog has gone.
#include "parts_ui/batch_output_dialog.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>

#include <tuple>

#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/modeling_type_dialog.h"
#include "parts_ui/output_progress_dialog.h"
#include "parts_ui/part_name_edit.h"
#include "parts_ui/part_name_rules.h"
#include "parts_ui/qfp_property_model.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "tests/export/compact_test_util.h"
#include "tests/parts_ui/log_frame.h"
#include "tests/parts_ui/pane_test_util.h"

namespace {

namespace fs = std::filesystem;
using parts_ui::BatchOutputDialog;
using platform::PathToWide;
using zentrik_test::AnyTopLevel;
using zentrik_test::ClickAt;
using zentrik_test::Count;
using zentrik_test::LogFrame;
using zentrik_test::WaitUntil;
using zentrik_test::WhenShown;

void Click(wxWindow* window) { zentrik_test::ClickCentre(window); }

using Row = std::tuple<std::wstring, std::wstring, std::wstring, std::wstring>;

class ExportDialog : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.empty());
        parts_ = dir_ / "parts";
        for (const wchar_t* type : kPackageTypeFolders) fs::create_directories(parts_ / type);
        // Each part is the default of the type folder its path begins with.
        for (const std::string file :
             {"PBGA/bga.qvx", "FCBGA/fc.qvx", "QFP/q1.qvx", "QFP/sub/q2.qvx", "QFP/v1.2/q3.qvx",
              "SOP/s1.qvx", "SOP/S1.qvx", "TO-263/t.qvx", "SOT-89/sot.qvx"}) {
            fs::create_directories((parts_ / file).parent_path());
            ASSERT_TRUE(
                default_parts::WriteDefaultPart(file.substr(0, file.find('/')), parts_ / file));
        }
        std::ofstream(parts_ / "QFP" / "broken.qvx") << "<ostl_trelvo>not a part";
        settings_.PartsFolder = PathToWide(parts_) + L"/";
        settings_.ExportFolder = PathToWide(dir_ / "out") + L"/";
        model_ = BuildFileViewModel(settings_.PartsFolder);
        frame_ = new LogFrame(wxSize(1200, 780));
        frame_->output->SetSize(0, 0, 1200, 120);
        frame_->Show();
        wxTheApp->SetTopWindow(frame_);
        WaitUntil([&] { return frame_->IsShownOnScreen(); });
        boxes_.answer = wxOK;
    }
    void TearDown() override {
        if (dialog_ != nullptr) dialog_->Destroy();
        frame_->Destroy();
        zentrik_test::DispatchPending();
    }

    void Open() {
        dialog_ = new BatchOutputDialog(frame_, settings_);
        dialog_->exportDestination = settings_.ExportFolder;
        dialog_->partsModel = model_;
        dialog_->SetPosition(wxPoint(0, 130));
        dialog_->Show();
        ASSERT_TRUE(WaitUntil([&] { return dialog_->IsShownOnScreen(); }));
        // The dialog gives its tree the focus, so keys reach it from the start.
        ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == dialog_->treeView; }));
    }
    std::wstring Path(const std::string& relative) const { return PathToWide(parts_ / relative); }
    std::shared_ptr<widget::WTreeItem> Item(const std::string& relative) const {
        return model_->FindItemByPath(Path(relative));
    }
    wxTreeItemId Node(const std::string& relative) const {
        return dialog_->treeView->FindTreeItem(Item(relative).get());
    }
    wxPoint NodeCentre(const std::string& relative) const {
        return zentrik_test::NodePoint(dialog_->treeView, Node(relative), false);
    }
    void ClickNode(const std::string& relative) {
        ClickAt(dialog_->treeView, NodeCentre(relative));
        EXPECT_TRUE(WaitUntil([&] { return dialog_->treeView->GetSelection() == Node(relative); }));
    }
    // A real drag from a tree node to a point of `target` (client coordinates).
    // Returns the label of the drag image under the pointer just before the release.
    wxString Drag(const std::string& relative, wxWindow* target, const wxPoint& to) {
        wxString image;
        zentrik_test::Drag(dialog_->treeView->ClientToScreen(NodeCentre(relative)),
                           target->ClientToScreen(to), [&] {
                               image = zentrik_test::DragImageAtPointer(dialog_->treeView);
                           });
        return image;
    }
    wxPoint CellCentre(int row, int column) const {
        wxRect rect;
        dialog_->listView->GetSubItemRect(row, column, rect, wxLIST_RECT_BOUNDS);
        return rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2);
    }
    std::wstring Cell(int row, int column) const {
        const auto item = dialog_->listModel->root->Child(row, column);
        if (!item) return L"<none>";
        return column == 0 ? item->text : item->value.Bstr();
    }
    int RowCount() const { return static_cast<int>(dialog_->listModel->root->rows.size()); }
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        for (int r = 0; r < RowCount(); ++r) {
            rows.emplace_back(Cell(r, 0), Cell(r, 1), Cell(r, 2), Cell(r, 3));
            EXPECT_EQ(dialog_->listView->GetItemText(r, 3), wxString(Cell(r, 3))) << "row " << r;
        }
        EXPECT_EQ(dialog_->listView->GetItemCount(), static_cast<int>(rows.size()));
        return rows;
    }
    int RowOf(const std::wstring& name) const {
        for (int r = 0; r < RowCount(); ++r) {
            if (Cell(r, 0) == name) return r;
        }
        return -1;
    }
    void SetCell(int row, int column, const std::wstring& text) {
        dialog_->listModel->root->Child(row, column)->SetData(widget::Variant::FromBstr(text));
    }
    // Opens the editor of a cell with a real click. Clicks follow each other quickly: each
    // lands elsewhere in the cell, so that no two make a double click.
    wxWindow* OpenEditor(int row, int column) {
        const int shift = (clicks_++ % 3 - 1) * 16;
        ClickAt(dialog_->listView, CellCentre(row, column) + wxPoint(shift, 0));
        wxWindow* editor = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            editor = dialog_->listView->editEditor ? dialog_->listView->editEditor->window.get()
                                                   : nullptr;
            return dialog_->listView->editIndex.row == row &&
                   dialog_->listView->editIndex.column == column && editor != nullptr &&
                   editor->IsShown() && wxWindow::FindFocus() == editor;
        }));
        return editor;
    }
    wxString Log() const { return frame_->output->TextBox()->GetValue(); }

    zentrik_test::TempFolder temp_{"zentrik-export-dialog-"};
    const fs::path& dir_ = temp_.path;
    fs::path parts_;
    ProgramSettings settings_;
    std::shared_ptr<FileViewModel> model_;
    LogFrame* frame_ = nullptr;
    BatchOutputDialog* dialog_ = nullptr;
    zentrik_test::MessageBoxes boxes_;
    std::vector<wxString>& asked_ = boxes_.asked;
    std::vector<long>& styles_ = boxes_.styles;
    int& answer_ = boxes_.answer;
    int clicks_ = 0;
    wxUIActionSimulator sim_;
};

TEST_F(ExportDialog, AddingFoldersPartsDuplicatesBrokenPartsAndDrops) {
    Open();
    BatchOutputDialog* d = dialog_;
    EXPECT_EQ(d->GetTitle(), "Export");
    EXPECT_EQ(d->destinationBox->GetValue(), wxString(settings_.ExportFolder));
    EXPECT_EQ(d->listModel->headers,
              (std::vector<std::wstring>{L"Part name", L"Part type", L"Modeling type",
                                         L"Output file name"}));
    for (wxButton* button : {d->addButton, d->deleteButton, d->changeKindButton, d->exportButton}) {
        EXPECT_FALSE(button->IsEnabled()) << button->GetLabel();
    }
    EXPECT_TRUE(d->treeView->IsExpanded(Node("QFP/sub")));
    EXPECT_EQ(d->treeView->GetItemImage(Node("QFP/q1.qvx")), 1);
    // The tree is as wide as its short names need; the list has the rest of the row.
    EXPECT_LT(d->treeView->GetSize().x, d->listView->GetSize().x / 3);

    ClickNode("TO-247");
    EXPECT_FALSE(d->addButton->IsEnabled()) << "a folder without parts";
    ClickNode("QFP");
    EXPECT_TRUE(d->addButton->IsEnabled());
    Click(d->addButton);
    ASSERT_TRUE(WaitUntil([&] { return RowCount() == 3; }));
    // Folders first, the dotted one too, then the files; the broken file is skipped.
    EXPECT_EQ(Rows(), (std::vector<Row>{{L"q2", L"QFP", L"Detail", L"q2_detail"},
                                        {L"q3", L"QFP", L"Detail", L"q3_detail"},
                                        {L"q1", L"QFP", L"Detail", L"q1_detail"}}));
    EXPECT_EQ(d->listModel->root->Child(1, 0)->value.Bstr(), Path("QFP/v1.2/q3.qvx"));
    EXPECT_EQ(Count(Log(), "invalid part file: " + Path("QFP/broken.qvx") + "\n"), 1);
    EXPECT_TRUE(d->exportButton->IsEnabled());
    EXPECT_TRUE(d->changeKindButton->IsEnabled());
    EXPECT_FALSE(d->deleteButton->IsEnabled());

    Click(d->addButton);
    zentrik_test::DispatchPending();
    EXPECT_EQ(RowCount(), 3);
    for (const char* name : {"q1", "q2", "q3"}) {
        EXPECT_EQ(Count(Log(), wxString(name) + " has been alread in the output list\n"), 1)
            << name;
    }
    EXPECT_EQ(Count(Log(), "invalid part file: "), 2) << "loaded again before the duplicate test";

    // A path that the loader cannot even place below the parts folder raises inside it.
    auto stray = widget::MakeTreeItem();
    stray->value = widget::Variant::FromBstr(L"/s.qvx");
    d->AddPart(stray);
    EXPECT_EQ(Count(Log(), "invalid part file: /s.qvx\n"), 1);

    // Names that differ only in case are two files, so two parts.
    ClickNode("SOP");
    Click(d->addButton);
    ASSERT_TRUE(WaitUntil([&] { return RowCount() == 5; }));
    EXPECT_EQ(Cell(3, 0), L"S1");
    EXPECT_EQ(Cell(4, 0), L"s1");
    EXPECT_TRUE(d->ContainsPart(Path("SOP/s1.qvx")));
    EXPECT_FALSE(d->ContainsPart(Path("SOP/s1.QVX")));

    EXPECT_EQ(Drag("SOT-89/sot.qvx", d->listView, wxPoint(40, 60)), "sot");
    ASSERT_TRUE(WaitUntil([&] { return RowCount() == 6; }));
    EXPECT_EQ(zentrik_test::DragImageAtPointer(d->treeView), "");
    EXPECT_EQ(Rows().back(), (Row{L"sot", L"SOT-89", L"Detail", L"sot_detail"}));
    Drag("TO-263/t.qvx", d->destinationBox, wxPoint(10, 5));
    Drag("TO-247", d->listView, wxPoint(40, 60));
    zentrik_test::DispatchPending();
    EXPECT_EQ(RowCount(), 6) << "released elsewhere, or nothing to drag";
}

TEST_F(ExportDialog, KindOptionsRenamingAndCollectiveChange) {
    Open();
    BatchOutputDialog* d = dialog_;
    for (const char* folder : {"PBGA", "FCBGA", "QFP", "SOP", "TO-263", "SOT-89"})
        d->AddPart(Item(folder));
    ASSERT_EQ(RowCount(), 9);
    const int bga = RowOf(L"bga"), q1 = RowOf(L"q1"), sot = RowOf(L"sot");

    const auto options = [&](int row) {
        return d->ModelingTypeOptions({2, row, d->listModel.get()});
    };
    EXPECT_EQ(options(sot), (std::vector<wxString>{"Detail"}));
    EXPECT_EQ(options(bga),
              (std::vector<wxString>{"Simple", "Detail", "Two-resistor model", "DELPHI model"}));
    EXPECT_EQ(options(q1).size(), 5u);
    EXPECT_EQ(d->ModelingTypeExclusions.size(), 26u);

    // The real editor of an SOT-89 row offers only "Detail".
    auto* combo = dynamic_cast<widget::WDropDownListComboBox*>(OpenEditor(sot, 2));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 1u);
    EXPECT_EQ(combo->GetString(0), "Detail");
    sim_.Char(WXK_ESCAPE);
    zentrik_test::DispatchPending();

    // A typed name is replaced when a kind is chosen.
    auto* edit = dynamic_cast<parts_ui::PartNameEdit*>(OpenEditor(q1, 3));
    ASSERT_NE(edit, nullptr);
    edit->SelectAll();
    sim_.Text("mine");
    sim_.Char(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Cell(q1, 3) == L"mine"; }));
    combo = dynamic_cast<widget::WDropDownListComboBox*>(OpenEditor(q1, 2));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->GetCount(), 5u);
    EXPECT_EQ(combo->GetSelection(), 1);
    // The choice is made as the toolkit reports it (the list view's test chooses with keys).
    combo->SetSelection(3);
    wxCommandEvent chosen(wxEVT_COMBOBOX, combo->GetId());
    chosen.SetEventObject(combo);
    combo->GetEventHandler()->ProcessEvent(chosen);
    sim_.Char(WXK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return Cell(q1, 2) == L"Three-resistor model"; }));
    EXPECT_EQ(Cell(q1, 3), L"q1_3resistance");

    // A refused kind falls back to "Detail", whose change names the output.
    SetCell(sot, 3, L"typed");
    SetCell(sot, 2, L"Simple");
    EXPECT_EQ(Cell(sot, 2), L"Detail");
    EXPECT_EQ(Cell(sot, 3), L"sot_detail");
    EXPECT_EQ(d->listView->GetItemText(sot, 2), "Detail");

    // Collectively: OK at once takes the first text; then three-resistor; Cancel nothing.
    int choice = -1;
    bool cancel = false;
    WhenShown<parts_ui::ModelingTypeDialog> answer([&](parts_ui::ModelingTypeDialog* m) {
        EXPECT_EQ(m->GetTitle(), "Change Modeling Type Collectively");
        EXPECT_EQ(m->kindChoice()->GetCount(), 5u);
        EXPECT_EQ(m->kindChoice()->GetSelection(), 0);
        if (choice >= 0) m->kindChoice()->SetSelection(choice);
        Click(m->FindWindow(cancel ? wxID_CANCEL : wxID_OK));
    });
    Click(d->changeKindButton);
    ASSERT_TRUE(WaitUntil([&] { return Cell(q1, 2) == L"Simple"; }));
    EXPECT_EQ(Cell(bga, 3), L"bga_simple");
    EXPECT_EQ(Cell(sot, 3), L"sot_detail");

    choice = 3;
    Click(d->changeKindButton);
    ASSERT_TRUE(WaitUntil([&] { return Cell(q1, 2) == L"Three-resistor model"; }));
    const std::vector<Row> expected = {{L"bga", L"PBGA", L"Detail", L"bga_detail"},
                                       {L"fc", L"FCBGA", L"Detail", L"fc_detail"},
                                       {L"q2", L"QFP", L"Three-resistor model", L"q2_3resistance"},
                                       {L"q3", L"QFP", L"Three-resistor model", L"q3_3resistance"},
                                       {L"q1", L"QFP", L"Three-resistor model", L"q1_3resistance"},
                                       {L"S1", L"SOP", L"Three-resistor model", L"S1_3resistance"},
                                       {L"s1", L"SOP", L"Three-resistor model", L"s1_3resistance"},
                                       {L"t", L"TO-263", L"Detail", L"t_detail"},
                                       {L"sot", L"SOT-89", L"Detail", L"sot_detail"}};
    EXPECT_EQ(Rows(), expected);

    cancel = true;
    choice = 0;
    Click(d->changeKindButton);
    ASSERT_TRUE(WaitUntil(
        [&] { return answer.shown == 3 && !AnyTopLevel<parts_ui::ModelingTypeDialog>(); }));
    EXPECT_EQ(Rows(), expected);
}

TEST_F(ExportDialog, NameEditorRefusesForbiddenCharactersAndCommits) {
    Open();
    BatchOutputDialog* d = dialog_;
    d->AddPart(Item("QFP/q1.qvx"));
    auto* edit = dynamic_cast<parts_ui::PartNameEdit*>(OpenEditor(0, 3));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetValue(), "q1_detail");
    const wxString refusal = FormatForbiddenCharsMessage(resources::IDS_NAME_HAS_ANY_OF);
    EXPECT_EQ(wxString(edit->refusalMessage), refusal);

    edit->SelectAll();
    sim_.Text("a");
    sim_.Char('/');
    // The reason shows where the user types, in a tip just under the box that leaves the
    // focus in the box, and until a character the box takes comes.
    ASSERT_TRUE(WaitUntil([&] { return edit->RefusalTip() && edit->RefusalTip()->IsShown(); }));
    wxWindow* tip = edit->RefusalTip();
    EXPECT_EQ(tip->GetChildren().front()->GetLabel(), refusal);
    EXPECT_EQ(tip->GetScreenPosition().y, edit->GetScreenRect().GetBottom() + 1);
    EXPECT_LE(tip->GetScreenPosition().x, edit->GetScreenPosition().x);
    EXPECT_LT(tip->GetScreenRect().GetRight(), wxGetDisplaySize().x) << "the tip stays on screen";
    EXPECT_EQ(wxWindow::FindFocus(), edit);
    sim_.Text("b");
    ASSERT_TRUE(WaitUntil([&] { return edit->GetValue() == "ab"; })) << edit->GetValue();
    EXPECT_EQ(Count(Log(), refusal + "\n"), 1);
    EXPECT_FALSE(tip->IsShown());

    // Pasted text loses the characters silently; the caret stays at the end of the text.
    edit->WriteText("x:y?z");
    EXPECT_EQ(edit->GetValue(), "abxyz");
    EXPECT_EQ(edit->GetInsertionPoint(), 5);
    EXPECT_EQ(Count(Log(), refusal), 1);
    sim_.Char('?');
    ASSERT_TRUE(WaitUntil([&] { return tip->IsShown(); }));
    sim_.Char(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Cell(0, 3) == L"abxyz"; }));
    EXPECT_NE(wxWindow::FindFocus(), edit) << "Enter gives the focus back";
    EXPECT_FALSE(tip->IsShown()) << "the tip ends with the edit";

    // An emptied box keeps the old name.
    edit = dynamic_cast<parts_ui::PartNameEdit*>(OpenEditor(0, 3));
    ASSERT_NE(edit, nullptr);
    edit->SelectAll();
    sim_.Char(WXK_BACK);
    ASSERT_TRUE(WaitUntil([&] { return edit->GetValue().empty(); }));
    sim_.Char(WXK_RETURN);
    zentrik_test::DispatchPending();
    EXPECT_EQ(Cell(0, 3), L"abxyz");

    // In a list scrolled sideways, a cell that reaches past the list's edge gets its editor
    // on the part in view, and the list does not move under it.
    const int listWidth = d->listView->GetClientSize().x;
    d->listView->SetColumnWidth(0, listWidth);
    d->listView->SetColumnWidth(3, listWidth);
    zentrik_test::DispatchPending();
    wxRect cell;
    d->listView->GetSubItemRect(0, 3, cell, wxLIST_RECT_BOUNDS);
    const int unscrolled = cell.x;
    int unit = 0, unused = 0;
    d->listView->GetScrollPixelsPerUnit(&unit, &unused);
    ASSERT_GT(unit, 0);
    d->listView->Scroll((unscrolled - listWidth / 2) / unit, -1);
    ASSERT_TRUE(WaitUntil([&] {
        d->listView->GetSubItemRect(0, 3, cell, wxLIST_RECT_BOUNDS);
        return cell.x < unscrolled;
    }));
    zentrik_test::DispatchPending();
    d->listView->GetSubItemRect(0, 3, cell, wxLIST_RECT_BOUNDS);
    ASSERT_GT(cell.x, 0);
    ASSERT_GT(cell.GetRight(), listWidth);
    const wxPoint cellOnScreen = d->listView->ClientToScreen(cell.GetPosition());
    ClickAt(d->listView, cell.GetPosition() + wxPoint(10, cell.height / 2));
    ASSERT_TRUE(WaitUntil([&] {
        edit = d->listView->editEditor
                   ? dynamic_cast<parts_ui::PartNameEdit*>(d->listView->editEditor->window.get())
                   : nullptr;
        return edit != nullptr && edit->IsShown() && wxWindow::FindFocus() == edit;
    }));
    EXPECT_EQ(edit->GetScreenPosition(), cellOnScreen);
    EXPECT_LT(edit->GetRect().GetRight(), d->listView->GetClientSize().x);
    d->listView->GetSubItemRect(0, 3, cell, wxLIST_RECT_BOUNDS);
    EXPECT_EQ(d->listView->ClientToScreen(cell.GetPosition()), cellOnScreen);
    sim_.Char(WXK_ESCAPE);
    zentrik_test::DispatchPending();

    // Leaving the box stores what it holds.
    edit = dynamic_cast<parts_ui::PartNameEdit*>(OpenEditor(0, 3));
    ASSERT_NE(edit, nullptr);
    sim_.Char(WXK_END);
    sim_.Text("q");
    ASSERT_TRUE(WaitUntil([&] { return edit->GetValue() == "abxyzq"; }));
    Click(d->destinationBox);
    ASSERT_TRUE(WaitUntil([&] { return Cell(0, 3) == L"abxyzq"; }));
}

TEST_F(ExportDialog, ExportChecksRowsAndDeletingFollowsTheSelection) {
    Open();
    BatchOutputDialog* d = dialog_;
    d->AddPart(Item("QFP"));
    d->AddPart(Item("SOP"));
    ASSERT_EQ(RowCount(), 5);  // q2 q3 q1 S1 s1
    Click(d->exportButton);
    ASSERT_TRUE(WaitUntil([&] { return asked_.size() == 1; }));
    EXPECT_EQ(asked_[0], "There is a part with the same output file 's1_detail'.");
    EXPECT_EQ(styles_[0] & wxICON_ERROR, wxICON_ERROR);

    SetCell(2, 3, L"_q1");
    std::wstring message;
    ASSERT_FALSE(CheckPartName(L"_q1", message));
    Click(d->exportButton);
    ASSERT_TRUE(WaitUntil([&] { return asked_.size() == 2; }));
    EXPECT_EQ(asked_[1], wxString(message));

    // What Rename refuses, as a newline from a file name made outside the program.
    SetCell(2, 3, L"q\n1_detail");
    Click(d->exportButton);
    ASSERT_TRUE(WaitUntil([&] { return asked_.size() == 3; }));
    EXPECT_EQ(asked_[2],
              wxString(FormatForbiddenCharsMessage(resources::IDS_NAME_HAS_ANY_OF_LINES)));
    SetCell(2, 3, L"_q1");

    SetCell(0, 2, L"Compact");
    EXPECT_EQ(Cell(0, 3), L"q2") << "an unknown kind adds no suffix";
    Click(d->exportButton);
    ASSERT_TRUE(WaitUntil([&] { return asked_.size() == 4; }));
    EXPECT_EQ(asked_[3], "A Modeling type is not set correctly.");
    EXPECT_FALSE(fs::exists(dir_ / "out")) << "nothing checked further, nothing made";

    // Rows 1 and 3 of five, chosen with real clicks.
    ClickAt(d->listView, CellCentre(1, 0));
    ASSERT_TRUE(WaitUntil([&] { return d->deleteButton->IsEnabled(); }));
    sim_.KeyDown(WXK_CONTROL);
    ClickAt(d->listView, CellCentre(3, 0));
    sim_.KeyUp(WXK_CONTROL);
    ASSERT_TRUE(WaitUntil([&] { return d->listView->GetSelectedItemCount() == 2; }));
    Click(d->deleteButton);
    ASSERT_TRUE(WaitUntil([&] { return RowCount() == 3; }));
    EXPECT_EQ(Cell(0, 0), L"q2");
    EXPECT_EQ(Cell(1, 0), L"q1");
    EXPECT_EQ(Cell(2, 0), L"s1");
    EXPECT_EQ(d->listView->GetItemText(1, 3), "_q1");
    EXPECT_FALSE(d->deleteButton->IsEnabled());

    for (int r = 2; r >= 0; --r)
        d->listView->SetItemState(r, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    ASSERT_TRUE(WaitUntil([&] { return d->deleteButton->IsEnabled(); }));
    Click(d->deleteButton);
    ASSERT_TRUE(WaitUntil([&] { return d->listModel->root->rows.empty(); }));
    EXPECT_FALSE(d->exportButton->IsEnabled());
    EXPECT_FALSE(d->changeKindButton->IsEnabled());
    EXPECT_FALSE(d->deleteButton->IsEnabled());
}

// Opened by the Export command after the save question, with a destination typed into the
// box; afterwards the shared parts tree still follows new, moved and deleted parts.
class ExportCommand : public ExportDialog {
  protected:
    // Runs inside the dialog's modal loop.
    void Body(BatchOutputDialog* d) {
        ASSERT_TRUE(WaitUntil([&] { return d->IsShownOnScreen(); }));
        zentrik_test::DispatchPending();
        EXPECT_EQ(d->destinationBox->GetValue(), wxString(settings_.ExportFolder));
        d->AddPart(Item("QFP/q1.qvx"));
        d->AddPart(Item("PBGA/bga.qvx"));

        // "..." starts from what the box shows, typed text included.
        wxString initial;
        d->browseForFolder = [&](const wxString& from, wxString& chosen) {
            initial = from;
            chosen = PathToWide(dir_ / "chosen");
            return true;
        };
        d->destinationBox->ChangeValue(PathToWide(dir_ / "pick"));
        // No window manager activates the modal dialog: the box is given the focus.
        d->destinationBox->SetFocus();
        ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == d->destinationBox; }));
        sim_.Char(WXK_END);
        sim_.Text("ed");
        ASSERT_TRUE(WaitUntil([&] { return d->destinationBox->GetValue().EndsWith("picked"); }))
            << d->destinationBox->GetValue();
        Click(d->browseButton);
        ASSERT_TRUE(WaitUntil([&] { return !initial.empty(); }));
        EXPECT_EQ(initial, wxString(PathToWide(dir_ / "picked")));
        EXPECT_EQ(d->destinationBox->GetValue(), wxString(PathToWide(dir_ / "chosen")));

        const fs::path target = dir_ / "new" / "deep" / "er";
        d->destinationBox->ChangeValue(PathToWide(target) + L"/");
        const wxString question = "A folder '" + PathToWide(target) + "' doesn't exists. Create?";
        answer_ = wxNO;
        Click(d->exportButton);
        ASSERT_TRUE(WaitUntil([&] { return asked_.size() == 2; }));
        EXPECT_EQ(asked_[1], question);
        EXPECT_EQ(styles_[1] & (wxYES_NO | wxICON_QUESTION), wxYES_NO | wxICON_QUESTION);
        EXPECT_FALSE(fs::exists(dir_ / "new"));

        answer_ = wxYES;
        d->createFolder = [](const fs::path&) { return false; };
        Click(d->exportButton);
        ASSERT_TRUE(WaitUntil([&] { return asked_.size() == 4; }));
        EXPECT_EQ(asked_[3], "Failed to create a folder.");
        d->createFolder = [](const fs::path&) -> bool {
            throw fs::filesystem_error("scripted", std::error_code());
        };
        Click(d->exportButton);
        ASSERT_TRUE(WaitUntil([&] { return asked_.size() == 6; }));
        EXPECT_EQ(asked_[5], "Failed to create a folder.");

        d->createFolder = [](const fs::path& folder) { return fs::create_directories(folder); };
        bool finished = false;
        WhenShown<parts_ui::OutputProgressDialog> closer([&](parts_ui::OutputProgressDialog* p) {
            EXPECT_TRUE(
                WaitUntil([&] { return p->okButton->IsEnabled(); }, std::chrono::minutes(5)));
            finished = true;
            Click(p->okButton);
        });
        Click(d->exportButton);
        ASSERT_TRUE(WaitUntil(
            [&] {
                return finished && closer.shown == 1 &&
                       !AnyTopLevel<parts_ui::OutputProgressDialog>();
            },
            std::chrono::minutes(5)));
        EXPECT_EQ(asked_.size(), 7u);
        for (const char* name : {"q1_detail.cab", "bga_detail.cab"}) {
            ASSERT_TRUE(fs::exists(target / name)) << name;
            EXPECT_NE(compact_test::Shell("cabextract -l " + compact_test::Quoted(target / name) +
                                          " 2>&1")
                          .find("All done, no errors"),
                      std::string::npos)
                << name;
        }
        EXPECT_EQ(d->listModel->root->rows.size(), 2u) << "the list stays";
        Click(d->FindWindow(wxID_CANCEL));
    }
};

TEST_F(ExportCommand, SaveQuestionDestinationRunAndTheTreeAfterwards) {
    auto* view = new PropertiesView(frame_);
    view->SetSize(0, 130, 600, 640);
    auto package = std::make_shared<pkg::qfp::QFPDetailedModel>(false);
    parts_ui::PropertyModel properties = parts_ui::BuildQFPPropertyTree(*package);
    view->SetModel(properties.model);
    zentrik_test::DispatchPending();
    settings_.CurrentPartPath = Path("QFP/q1.qvx");
    PartFileOperations ops;
    ops.Settings = &settings_;
    ops.Properties = view;
    ops.TreeModel = model_;

    zentrik_test::TypeIntoGrid(view, properties.index.at(parts_ui::PropertyKey(199, 181))->property,
                               "1");  // the part is modified

    WhenShown<BatchOutputDialog> run([this](BatchOutputDialog* d) {
        Body(d);
        if (d->IsModal()) d->EndModal(wxID_CANCEL);
    });
    answer_ = wxCANCEL;
    ops.Export();
    EXPECT_EQ(run.shown, 0);
    ASSERT_EQ(asked_.size(), 1u);

    asked_.clear();
    styles_.clear();
    answer_ = wxNO;
    ops.Export();
    EXPECT_EQ(run.shown, 1);
    EXPECT_FALSE(view->IsModified());

    // The dialog is gone; the tree model it showed goes on changing.
    FileOperationSeams seams;
    seams.log = [](const wxString&) {};
    seams.trash = [](const fs::path& path, std::string&) { return fs::remove_all(path) > 0; };
    SetFileOperationSeams(seams);
    answer_ = wxYES;
    ops.CreatePartFile(0, L"fresh", Path("QFP/sub"));
    ASSERT_TRUE(Item("QFP/sub/fresh.qvx"));
    ops.MovePartFile(Item("QFP/sub/fresh.qvx"), Item("QFP/v1.2"));
    ASSERT_TRUE(Item("QFP/v1.2/fresh.qvx"));
    ops.DeletePartFile(Path("QFP/v1.2"));
    EXPECT_FALSE(Item("QFP/v1.2"));
    SetFileOperationSeams({});
    view->Destroy();
}

}  // namespace
