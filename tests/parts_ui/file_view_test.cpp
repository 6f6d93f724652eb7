#include "parts_ui/file_view.h"

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/settings.h>

#include "app/command_ids.h"
#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/qfp_property_model.h"
#include "tests/parts_ui/log_frame.h"
#include "tests/parts_ui/pane_test_util.h"
#include "widget/controls.h"
#include "widget/tree_item.h"

namespace fs = std::filesystem;

namespace {

using zentrik_test::DispatchPending;
using zentrik_test::LogFrame;
using zentrik_test::WaitUntil;

// The pane alone beside a properties view, over a parts folder of empty part files.
class FileViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        parts = dir.path / "parts";
        fs::create_directories(parts / "PBGA" / "sub.dir");
        fs::create_directories(parts / "QFP");
        for (const char* name : {"PBGA/a.qvx", "PBGA/b.qvx", "PBGA/X.QVX", "PBGA/sub.dir/c.qvx"})
            std::ofstream(parts / name) << "part";
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
    }
    void TearDown() override {
        wxTheApp->SetTopWindow(nullptr);
        frame->Destroy();
        DispatchPending();
    }

    std::wstring P(const char* relative) const { return (parts / relative).wstring(); }
    wxTreeItemId Node(const char* relative) const {
        return zentrik_test::PaneNode(view, P(relative));
    }
    std::shared_ptr<widget::WTreeItem> Item(const char* relative) const {
        return tree->NodeItem(Node(relative));
    }
    void Click(const char* relative) {
        zentrik_test::ClickAt(tree, zentrik_test::NodePoint(tree, Node(relative)));
    }
    bool Selected(const char* relative) const { return view->GetSelectedPath() == P(relative); }

    // Edits the label of `relative` with real keys and waits until the editor is gone, or,
    // for a refused name, until the message was shown and the editor is back.
    void EditLabel(const char* relative, const wxString& text, bool refused = false) {
        const size_t messages = asked.size();
        zentrik_test::TypeLabel(tree, Node(relative), text);
        if (refused) {
            ASSERT_TRUE(WaitUntil([&] { return asked.size() > messages; }));
            ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() != nullptr; }));
            wxUIActionSimulator().Char(WXK_ESCAPE);
        }
        ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() == nullptr; }));
        DispatchPending();
    }

    void ModifyGrid() {
        zentrik_test::TypeIntoGrid(properties,
                                   gridModel.index.at(parts_ui::PropertyKey(199, 181))->property,
                                   std::to_string(++edits));
    }

    // A real drag from one node to another; `marked` tells whether the target showed the
    // drop mark just before the button went up, `image` the drag image's label then.
    void Drag(const char* from, const char* to, bool* marked = nullptr,
              wxString* image = nullptr) {
        const wxTreeItemId target = Node(to);
        wxRect label;
        ASSERT_TRUE(tree->GetBoundingRect(target, label, true));
        zentrik_test::Drag(tree->ClientToScreen(zentrik_test::NodePoint(tree, Node(from))),
                           tree->ClientToScreen(label.GetPosition() + wxPoint(4, label.height / 2)),
                           [&] {
                               if (image != nullptr)
                                   *image = zentrik_test::DragImageAtPointer(tree);
                               if (marked == nullptr) return;
                               *marked = tree->GetItemBackgroundColour(target) ==
                                         wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
                           });
    }

    zentrik_test::TempFolder dir{"zentrik-file-view-"};
    zentrik_test::MessageBoxes boxes;
    std::vector<wxString>& asked = boxes.asked;
    int& answer = boxes.answer;
    fs::path parts;
    ProgramSettings settings;
    PartFileOperations operations;
    LogFrame* frame = nullptr;
    FileView* view = nullptr;
    ViewTree* tree = nullptr;
    PropertiesView* properties = nullptr;
    parts_ui::PropertyModel gridModel;
    int edits = 0;
};

TEST_F(FileViewTest, SelectingAnotherPartAsksToSaveTheModifiedOne) {
    const wxSize client = view->GetClientSize();
    EXPECT_EQ(view->NewPartButton()->GetRect(), wxRect(0, 0, client.x / 2, 25));
    EXPECT_EQ(view->ExportButton()->GetRect(),
              wxRect(client.x / 2, 0, client.x - client.x / 2, 25));
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
    properties->SaveRequested.connect([&] { return ++saveRequests < 0; });
    ModifyGrid();

    Click("PBGA/a.qvx");    // the open part again
    Click("PBGA/sub.dir");  // a folder, even one with a dot in its name
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/sub.dir"); }));
    EXPECT_EQ(view->GetSelectedFolder(), P("PBGA/sub.dir"));
    EXPECT_TRUE(view->IsFolderSelected());
    Click("PBGA/a.qvx");  // back to the part last opened
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/a.qvx"); }));
    EXPECT_TRUE(asked.empty());

    // Cancel, No and a successful Yes are in the file-tree pane's end-to-end test; the
    // question's text in the save question's own test.
    answer = wxYES;  // the save fails: stay
    Click("PBGA/b.qvx");
    ASSERT_TRUE(WaitUntil([&] { return asked.size() == 1; }));
    DispatchPending();
    EXPECT_TRUE(Selected("PBGA/a.qvx"));
    EXPECT_EQ(saveRequests, 1);

    answer = wxNO;  // go on without saving; the grid is left for the next part to replace
    Click("PBGA/X.QVX");
    ASSERT_TRUE(WaitUntil([&] { return Selected("PBGA/X.QVX"); }));
    EXPECT_EQ(saveRequests, 1);
    EXPECT_TRUE(properties->IsModified());

    // Removing the selected row moves the selection without a question.
    const auto removed = Item("PBGA/X.QVX");
    operations.TreeModel->RemoveRow(removed->row, removed->parent);
    ASSERT_TRUE(WaitUntil([&] { return !view->GetSelectedPath().empty(); }));
    DispatchPending();
    EXPECT_EQ(asked.size(), 2u);
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
    EXPECT_EQ(zentrik_test::ReadBytes(parts / "PBGA/z.qvx"), "other");
    const wxString log = frame->output->TextBox()->GetValue();
    EXPECT_NE(log.Find("rename " + P("PBGA/a.qvx") + " to " + P("PBGA/A.qvx")), wxNOT_FOUND);
    // The system's own text for the taken name, in the process's language.
    EXPECT_NE(log.Find(wxString::FromUTF8(std::strerror(EEXIST))), wxNOT_FOUND) << log;
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(FileViewTest, PartsDragOntoFoldersOnly) {
    bool marked = true;
    Drag("PBGA/b.qvx", "PBGA/X.QVX", &marked);  // onto a part file: nothing
    EXPECT_FALSE(marked);
    DispatchPending();
    EXPECT_TRUE(fs::exists(parts / "PBGA/b.qvx"));
    EXPECT_TRUE(view->FindItemByPath(P("PBGA/b.qvx")).IsOk());

    Drag("PBGA", "QFP");  // a type folder does not move
    DispatchPending();
    EXPECT_TRUE(fs::is_directory(parts / "PBGA"));
    EXPECT_FALSE(fs::exists(parts / "QFP/PBGA"));

    wxString image;
    Drag("PBGA/a.qvx", "PBGA/sub.dir", &marked, &image);
    EXPECT_TRUE(marked);
    EXPECT_EQ(image, "a");
    EXPECT_EQ(zentrik_test::DragImageAtPointer(tree), "");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(parts / "PBGA/sub.dir/a.qvx"); }));
    EXPECT_FALSE(fs::exists(parts / "PBGA/a.qvx"));
    EXPECT_TRUE(view->FindItemByPath(P("PBGA/sub.dir/a.qvx")).IsOk());
    EXPECT_FALSE(view->FindItemByPath(P("PBGA/a.qvx")).IsOk());

    EXPECT_TRUE(asked.empty());

    // Another type's folder would change the part's type: refused, with a message.
    Drag("PBGA/b.qvx", "QFP", &marked);
    ASSERT_TRUE(WaitUntil([&] { return asked.size() == 1; }));
    EXPECT_NE(asked[0].Find("another package type"), wxNOT_FOUND) << asked[0];
    EXPECT_TRUE(fs::exists(parts / "PBGA/b.qvx"));
    EXPECT_FALSE(fs::exists(parts / "QFP/b.qvx"));
    EXPECT_TRUE(view->FindItemByPath(P("PBGA/b.qvx")).IsOk());
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
    sim.MouseMove(tree->ClientToScreen(zentrik_test::NodePoint(tree, Node("PBGA/b.qvx"))));
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
