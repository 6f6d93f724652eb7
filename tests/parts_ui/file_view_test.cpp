#include "parts_ui/file_view.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "app/program_settings.h"
#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/properties_view.h"
#include "parts_ui/qfp_property_model.h"
#include "platform/temp_files.h"
#include "tests/parts_ui/log_frame.h"
#include "tests/support/wx_test.h"
#include "widget/controls.h"
#include "widget/tree_item.h"

namespace fs = std::filesystem;

namespace {

using zentrik_test::DispatchPending;
using zentrik_test::LogFrame;
using zentrik_test::WaitUntil;

void Touch(const fs::path& path) { std::ofstream(path) << "part"; }

class FileViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-file-view-");
        ASSERT_FALSE(dir.empty());
        parts = dir / "parts";
        fs::create_directories(parts / "PBGA" / "sub.dir");
        fs::create_directories(parts / "QFP");
        for (const char* name : {"PBGA/a.qvx", "PBGA/b.qvx", "PBGA/X.QVX", "PBGA/sub.dir/c.qvx"})
            Touch(parts / name);
        settings.PartsFolder = parts.wstring() + L"/";

        frame = new LogFrame(wxSize(900, 640), "file view");
        frame->output->SetSize(0, 560, 900, 80);
        wxTheApp->SetTopWindow(frame);
        view = new FileView(frame, wxID_ANY, operations, settings);
        view->SetSize(0, 0, 300, 550);
        properties = new PropertiesView(frame);
        properties->SetSize(300, 0, 600, 550);
        operations.Files = view;
        operations.Properties = properties;
        operations.Settings = &settings;
        operations.TreeModel = BuildFileViewModel(settings.PartsFolder);
        view->RootFolder = settings.PartsFolder;
        view->SetModel(operations.TreeModel);
        frame->Show();
        ASSERT_TRUE(WaitUntil([&] { return frame->IsShownOnScreen(); }));
        DispatchPending();
        tree = view->Tree();

        SetMessageBoxAnswerer([this](const wxString& text, const wxString&, long) {
            asked.push_back(text);
            return answer;
        });
    }
    void TearDown() override {
        SetMessageBoxAnswerer({});
        wxTheApp->SetTopWindow(nullptr);
        frame->Destroy();
        DispatchPending();
        std::error_code error;
        fs::remove_all(dir, error);
    }

    std::wstring P(const char* relative) const { return (parts / relative).wstring(); }
    wxTreeItemId Node(const char* relative) const {
        const wxTreeItemId node = view->FindItemByPath(P(relative));
        EXPECT_TRUE(node.IsOk()) << relative;
        return node;
    }
    std::shared_ptr<widget::WTreeItem> Item(const char* relative) const {
        return tree->NodeItem(Node(relative));
    }
    // A point on the node's image, clear of the label (a click there never starts an edit).
    wxPoint IconPoint(const wxTreeItemId& node) const {
        wxRect label;
        EXPECT_TRUE(tree->GetBoundingRect(node, label, true));
        return wxPoint(label.x - 9, label.y + label.height / 2);
    }
    void Click(const char* relative) { zentrik_test::ClickAt(tree, IconPoint(Node(relative))); }
    bool Selected(const char* relative) const { return view->GetSelectedPath() == P(relative); }

    // Edits the label of `relative` with real keys and waits until the editor is gone, or,
    // for a refused name, until the message was shown and the editor is back.
    void EditLabel(const char* relative, const wxString& text, bool refused = false) {
        const size_t messages = asked.size();
        tree->EditLabel(Node(relative));
        ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() != nullptr; }));
        wxTextCtrl* edit = tree->GetEditControl();
        edit->SetFocus();
        edit->SelectAll();
        wxUIActionSimulator sim;
        sim.Text(text.utf8_str());
        ASSERT_TRUE(WaitUntil([&] { return edit->GetValue() == text; }));
        sim.Char(WXK_RETURN);
        if (refused) {
            ASSERT_TRUE(WaitUntil([&] { return asked.size() > messages; }));
            ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() != nullptr; }));
            wxUIActionSimulator().Char(WXK_ESCAPE);
        }
        ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() == nullptr; }));
        DispatchPending();
    }

    void ModifyGrid() {
        PartPropertyGridCtrl* grid = properties->Grid();
        wxPGProperty* property = gridModel.index.at(parts_ui::PropertyKey(199, 181))->property;
        grid->EnsureVisible(property);
        const wxRect rect = grid->GetPropertyRect(property, property);
        zentrik_test::ClickAt(grid, grid->CalcScrolledPosition(wxPoint(
                                        grid->GetSplitterPosition() + 30, rect.y + rect.height / 2)));
        ASSERT_TRUE(WaitUntil([&] { return grid->GetEditorControl() != nullptr; }));
        wxUIActionSimulator sim;
        sim.Char(WXK_END);
        for (int i = 0; i < 10; ++i) sim.Char(WXK_BACK);
        sim.Text(std::to_string(++edits).c_str());
        sim.Char(WXK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return properties->IsModified(); }));
    }

    // A real drag from one node to another; `marked` tells whether the target showed the
    // drop mark just before the button went up.
    void Drag(const wxTreeItemId& from, const wxTreeItemId& to, bool* marked = nullptr) {
        wxUIActionSimulator sim;
        const wxPoint start = tree->ClientToScreen(IconPoint(from));
        wxRect label;
        ASSERT_TRUE(tree->GetBoundingRect(to, label, true));
        const wxPoint end = tree->ClientToScreen(label.GetPosition() + wxPoint(4, label.height / 2));
        sim.MouseMove(start);
        DispatchPending();
        sim.MouseDown();
        DispatchPending();
        for (int step = 1; step <= 8; ++step) {
            sim.MouseMove(start + (end - start) * step / 8 + wxPoint(0, step % 2));
            DispatchPending();
        }
        sim.MouseMove(end);
        WaitUntil([&] { return wxGetMousePosition() == end; }, std::chrono::seconds(2));
        DispatchPending();
        if (marked != nullptr) {
            *marked = tree->GetItemBackgroundColour(to) ==
                      wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
        }
        sim.MouseUp();
        DispatchPending();
    }

    fs::path dir;
    fs::path parts;
    ProgramSettings settings;
    PartFileOperations operations;
    LogFrame* frame = nullptr;
    FileView* view = nullptr;
    ViewTree* tree = nullptr;
    PropertiesView* properties = nullptr;
    parts_ui::PropertyModel gridModel;
    int edits = 0;
    int answer = wxCANCEL;
    std::vector<wxString> asked;
};

TEST_F(FileViewTest, SelectingAnotherPartAsksToSaveTheModifiedOne) {
    const wxSize client = view->GetClientSize();
    EXPECT_EQ(view->NewPartButton()->GetRect(), wxRect(0, 0, client.x / 2, 25));
    EXPECT_EQ(view->ExportButton()->GetRect(), wxRect(client.x / 2, 0, client.x - client.x / 2, 25));
    EXPECT_EQ(tree->GetRect(), wxRect(1, 26, client.x - 2, client.y - 27));
    EXPECT_EQ(view->ExportButton()->GetLabel(), "Export");

    EXPECT_TRUE(view->GetSelectedFolder().empty());
    Click("PBGA/a.qvx");
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/a.qvx"); }));
    EXPECT_EQ(view->GetSelectedFolder(), P("PBGA"));
    EXPECT_FALSE(view->IsFolderSelected());
    EXPECT_TRUE(view->IsRenamableSelected());

    // The part is open with a modified grid.
    settings.CurrentPartPath = P("PBGA/a.qvx");
    auto package = std::make_shared<pkg::qfp::QFPDetailedModel>(false);
    gridModel = parts_ui::BuildQFPPropertyTree(*package);
    properties->SetModel(gridModel.model);
    int saveRequests = 0;
    bool saves = false;
    properties->SaveRequested.connect([&] {
        ++saveRequests;
        return saves;
    });
    ModifyGrid();

    Click("PBGA/a.qvx");  // the open part again
    Click("PBGA/sub.dir");  // a folder, even one with a dot in its name
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/sub.dir"); }));
    EXPECT_EQ(view->GetSelectedFolder(), P("PBGA/sub.dir"));
    EXPECT_TRUE(view->IsFolderSelected());
    Click("PBGA/a.qvx");  // back to the part last opened
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/a.qvx"); }));
    EXPECT_TRUE(asked.empty());

    answer = wxCANCEL;
    Click("PBGA/b.qvx");
    ASSERT_TRUE(WaitUntil([&] { return asked.size() == 1; }));
    EXPECT_EQ(asked[0], "The part 'a' has been modified.\nOverwrite?");
    DispatchPending();
    EXPECT_TRUE(Selected("PBGA/a.qvx"));

    answer = wxYES;  // the save fails: stay
    Click("PBGA/b.qvx");
    ASSERT_TRUE(WaitUntil([&] { return asked.size() == 2; }));
    DispatchPending();
    EXPECT_TRUE(Selected("PBGA/a.qvx"));
    EXPECT_EQ(saveRequests, 1);

    saves = true;
    Click("PBGA/b.qvx");
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/b.qvx"); }));
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(saveRequests, 2);
    EXPECT_FALSE(properties->IsModified());

    ModifyGrid();
    answer = wxNO;  // go on without saving; the grid is left for the next part to replace
    Click("PBGA/X.QVX");
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/X.QVX"); }));
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_EQ(saveRequests, 2);
    EXPECT_TRUE(properties->IsModified());

    // Removing the selected row moves the selection without a question.
    const auto removed = Item("PBGA/X.QVX");
    operations.TreeModel->RemoveRow(removed->row, removed->parent);
    ASSERT_TRUE(WaitUntil([&] { return !view->GetSelectedPath().empty(); }));
    DispatchPending();
    EXPECT_EQ(asked.size(), 4u);
}

TEST_F(FileViewTest, LabelEditsRenameOnDiskFirst) {
    // Refused names: the message, then the editor again (left with Escape here).
    EditLabel("PBGA/a.qvx", "_a", true);
    EditLabel("PBGA/a.qvx", "B", true);  // a sibling has that name in another case
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], "Part B exists. Please change the part name.");
    EXPECT_TRUE(fs::exists(parts / "PBGA/a.qvx"));

    EditLabel("PBGA/a.qvx", "a");  // unchanged
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(fs::exists(parts / "PBGA/a.qvx"));

    settings.CurrentPartPath = P("PBGA/a.qvx");
    EditLabel("PBGA/a.qvx", "A");  // only the case changes
    ASSERT_TRUE(view->FindItemByPath(P("PBGA/A.qvx")).IsOk());
    EXPECT_FALSE(view->FindItemByPath(P("PBGA/a.qvx")).IsOk());
    EXPECT_EQ(tree->GetItemText(Node("PBGA/A.qvx")), "A");
    EXPECT_TRUE(fs::exists(parts / "PBGA/A.qvx"));
    EXPECT_FALSE(fs::exists(parts / "PBGA/a.qvx"));
    EXPECT_EQ(settings.CurrentPartPath, P("PBGA/A.qvx"));

    EditLabel("PBGA/X.QVX", "Y");  // the extension is kept as stored
    EXPECT_EQ(Item("PBGA/Y.QVX")->text, L"Y");
    EXPECT_TRUE(fs::exists(parts / "PBGA/Y.QVX"));
    EXPECT_FALSE(fs::exists(parts / "PBGA/X.QVX"));

    EditLabel("PBGA/sub.dir", "new.dir");  // a folder with a dot: no extension added
    EXPECT_TRUE(fs::is_directory(parts / "PBGA/new.dir"));
    EXPECT_FALSE(fs::exists(parts / "PBGA/sub.dir"));
    EXPECT_TRUE(view->FindItemByPath(P("PBGA/new.dir/c.qvx")).IsOk());

    // A file that appeared after the scan makes the rename fail: nothing changes.
    std::ofstream(parts / "PBGA/z.qvx") << "other";
    EditLabel("PBGA/b.qvx", "z");
    EXPECT_EQ(Item("PBGA/b.qvx")->text, L"b");
    EXPECT_EQ(tree->GetItemText(Node("PBGA/b.qvx")), "b");
    EXPECT_TRUE(fs::exists(parts / "PBGA/b.qvx"));
    std::ifstream other(parts / "PBGA/z.qvx");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(other), {}), "other");
    const wxString log = frame->output->TextBox()->GetValue();
    EXPECT_NE(log.Find("rename " + P("PBGA/a.qvx") + " to " + P("PBGA/A.qvx")), wxNOT_FOUND);
    EXPECT_NE(log.Find("File exists"), wxNOT_FOUND) << log;
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(FileViewTest, PartsDragOntoFoldersOnly) {
    bool marked = true;
    Drag(Node("PBGA/b.qvx"), Node("PBGA/X.QVX"), &marked);  // onto a part file: nothing
    EXPECT_FALSE(marked);
    DispatchPending();
    EXPECT_TRUE(fs::exists(parts / "PBGA/b.qvx"));
    EXPECT_TRUE(view->FindItemByPath(P("PBGA/b.qvx")).IsOk());

    Drag(Node("PBGA"), Node("QFP"));  // a type folder does not move
    DispatchPending();
    EXPECT_TRUE(fs::is_directory(parts / "PBGA"));
    EXPECT_FALSE(fs::exists(parts / "QFP/PBGA"));

    Drag(Node("PBGA/a.qvx"), Node("PBGA/sub.dir"), &marked);
    EXPECT_TRUE(marked);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(parts / "PBGA/sub.dir/a.qvx"); }));
    EXPECT_FALSE(fs::exists(parts / "PBGA/a.qvx"));
    EXPECT_TRUE(view->FindItemByPath(P("PBGA/sub.dir/a.qvx")).IsOk());
    EXPECT_FALSE(view->FindItemByPath(P("PBGA/a.qvx")).IsOk());

    Drag(Node("PBGA/b.qvx"), Node("QFP"));
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(parts / "QFP/b.qvx"); }));
    EXPECT_TRUE(view->FindItemByPath(P("QFP/b.qvx")).IsOk());
    EXPECT_TRUE(asked.empty());
}

TEST_F(FileViewTest, RightClickSelectsAndShowsTheThreeCommands) {
    std::vector<wxString> labels;
    bool renameEnabled = false;
    bool newFolderEnabled = true;
    view->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        wxMenu* menu = event.GetMenu();
        if (menu == nullptr) return;
        for (wxMenuItem* item : menu->GetMenuItems()) labels.push_back(item->GetItemLabel());
        renameEnabled = menu->IsEnabled(WxId(ID_RENAME));
        newFolderEnabled = menu->IsEnabled(WxId(ID_NEW_FOLDER));
        wxUIActionSimulator().Char(WXK_ESCAPE);
    });
    wxUIActionSimulator sim;
    sim.MouseMove(tree->ClientToScreen(IconPoint(Node("PBGA/b.qvx"))));
    DispatchPending();
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return !labels.empty(); }));
    DispatchPending();
    EXPECT_EQ(labels, (std::vector<wxString>{"&Delete", "Rename", "", "New &Folder"}));
    EXPECT_TRUE(Selected("PBGA/b.qvx"));
    EXPECT_TRUE(renameEnabled);
    EXPECT_FALSE(newFolderEnabled);
}

}  // namespace
