// The file-tree pane and the current part together in a real main frame, driven by clicks
// on the tree: opening, the save question, renaming, deleting, reloading, New Part and the
// File commands' enabling.
#include "parts_ui/file_view.h"

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/imagpng.h>
#include <wx/menu.h>
#include <wx/propgrid/property.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/help_image_catalog.h"
#include "app/help_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "app/preview_view.h"
#include "app/program_settings.h"
#include "app/trelvo_app.h"
#include "parts_ui/new_part_dialogs.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/parts_view.h"
#include "parts_ui/properties_view.h"
#include "platform/temp_files.h"
#include "resources/string_ids.h"
#include "tests/models/default_parts.h"
#include "tests/support/wx_test.h"
#include "widget/controls.h"

namespace fs = std::filesystem;
namespace r = resources;

namespace {

using zentrik_test::DispatchPending;
using zentrik_test::WaitUntil;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// While it lives, `act` runs inside the modal loop of each New Part dialog that starts.
class WhenNewPartShown : public wxEventFilter {
  public:
    explicit WhenNewPartShown(std::function<void(NewPartDialog*)> act) : act_(std::move(act)) {
        wxEvtHandler::AddFilter(this);
    }
    ~WhenNewPartShown() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        auto* dialog = dynamic_cast<NewPartDialog*>(event.GetEventObject());
        if (event.GetEventType() == wxEVT_INIT_DIALOG && dialog != nullptr)
            dialog->CallAfter([this, dialog] { act_(dialog); });
        return Event_Skip;
    }

  private:
    std::function<void(NewPartDialog*)> act_;
};

// A main frame over a parts folder with a part of five types, a second PBGA part, a PBGA
// subfolder and a file no loader reads; message boxes are answered with `answer`.
class FileTreePane : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-file-tree-pane-");
        ASSERT_FALSE(dir.empty());
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        for (const char* type : {"PBGA", "FCBGA", "QFP", "SOP", "TO-263"}) {
            fs::create_directories(dir / "parts" / type);
            ASSERT_TRUE(default_parts::WriteDefaultPart(type, Path(type)));
        }
        ASSERT_TRUE(default_parts::WriteDefaultPart("PBGA", Part("PBGA/second.qvx")));
        fs::create_directories(Part("PBGA/boards"));
        std::ofstream(Part("PBGA/broken.qvx")) << "<not a part/>";
        const fs::path help = dir / "help";
        if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
        for (const auto& file : HelpImageCatalog::FilesOf(2, 9)) {
            fs::create_directories((help / file.second).parent_path());
            ASSERT_TRUE(wxImage(4, 3).SaveFile((help / file.second).string(), wxBITMAP_TYPE_PNG));
        }
        helpImages.Build(help.wstring() + L"/", 9);

        settings.PartsFolder = (dir / "parts").wstring() + L"/";
        operations.HelpImages = &helpImages;
        frame = new MainFrame(settings, operations);
        wxTheApp->SetTopWindow(frame);
        frame->Show();
        ASSERT_TRUE(WaitUntil([&] { return frame->IsShownOnScreen(); }));
        files = frame->Files();
        tree = files->Tree();
        SetMessageBoxAnswerer([this](const wxString& text, const wxString&, long) {
            asked.push_back(text);
            return answer;
        });
    }
    void TearDown() override {
        SetMessageBoxAnswerer({});
        SetFileOperationSeams({});
        wxTheApp->SetTopWindow(nullptr);
        frame->Destroy();
        DispatchPending();
        std::error_code error;
        fs::remove_all(dir, error);
    }

    fs::path Part(const std::string& relative) const { return dir / "parts" / relative; }
    fs::path Path(const std::string& type) const { return Part(type + "/" + type + "_part.qvx"); }

    wxTreeItemId Node(const fs::path& path) const {
        const wxTreeItemId node = files->FindItemByPath(path.wstring());
        EXPECT_TRUE(node.IsOk()) << path;
        return node;
    }
    // A real click on the node's image, clear of the label (a click there never edits).
    void Click(const fs::path& path) {
        const wxTreeItemId node = Node(path);
        tree->EnsureVisible(node);
        DispatchPending();
        wxRect label;
        ASSERT_TRUE(tree->GetBoundingRect(node, label, true));
        zentrik_test::ClickAt(tree, wxPoint(label.x - 9, label.y + label.height / 2));
        DispatchPending();
    }
    // Clicks a part and waits until it is selected.
    void Select(const fs::path& path) {
        Click(path);
        ASSERT_TRUE(WaitUntil([&] { return files->GetSelectedPath() == path.wstring(); }));
        DispatchPending();
    }
    void ClickButton(wxWindow* button) {
        zentrik_test::ClickAt(button, wxPoint(button->GetClientSize().x / 2,
                                              button->GetClientSize().y / 2));
        DispatchPending();
    }
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::istringstream in(frame->GetOutputView()->TextBox()->GetValue().ToStdString());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string LastLine() const { return Log().empty() ? std::string() : Log().back(); }
    // Changes the mold thickness in the grid as an edit there does.
    void ModifyGrid(double thickness) {
        wxPGProperty* property =
            files->CurrentItemIndex()
                .at(parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_THICKNESS))
                ->property;
        ASSERT_NE(property, nullptr);
        wxVariant value = property->GetValue();
        ASSERT_TRUE(property->StringToValue(value, wxString::Format("%g", thickness)));
        frame->Properties()->Grid()->ChangePropertyValue(property, value);
        ASSERT_TRUE(frame->Properties()->IsModified());
    }

    fs::path dir;
    ProgramSettings settings;
    PartFileOperations operations;
    HelpImageCatalog helpImages;
    MainFrame* frame = nullptr;
    FileView* files = nullptr;
    ViewTree* tree = nullptr;
    int answer = wxCANCEL;
    std::vector<wxString> asked;
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
    wxRect text;
    ASSERT_TRUE(components->GetBoundingRect(wiring, text, true));
    for (int x = 0; x < text.x && rows[4][0]->checkState; ++x) {
        int flags = 0;
        const wxPoint point(x, text.y + text.height / 2);
        if (components->HitTest(point, flags) == wiring && (flags & wxTREE_HITTEST_ONITEMSTATEICON)) {
            zentrik_test::ClickAt(components, point);
            ASSERT_TRUE(WaitUntil([&] { return !rows[4][0]->checkState; }));
        }
    }
    const auto& keys = frame->Preview()->VisibleComponentKeys;
    EXPECT_EQ(keys.size(), 6u);
    EXPECT_EQ(std::find(keys.begin(), keys.end(), "board"), keys.end());

    const std::size_t lines = Log().size();
    Click(pbga);  // the open part again
    EXPECT_EQ(Log().size(), lines);

    const auto root = frame->Preview()->ModelRoot;
    const fs::path broken = Part("PBGA/broken.qvx");
    Click(broken);
    ASSERT_TRUE(WaitUntil([&] { return Log().size() > lines; }));
    EXPECT_EQ(LastLine(), "failed to open: " + broken.string());
    EXPECT_EQ(settings.CurrentPartPath, pbga.wstring());
    EXPECT_EQ(frame->Preview()->ModelRoot, root);
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
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "saved to " + second.string());
    EXPECT_EQ(log.back(), "read from " + first.string());
    EXPECT_NE(ReadBytes(second), secondBytes);
    EXPECT_EQ(pkg::LoadBGADetailedModel(second.wstring())->mold.thickness, 1.5);
}

TEST_F(FileTreePane, TheOpenPartIsSavedUnderItsNewName) {
    const fs::path old = Path("QFP");
    const fs::path renamed = Part("QFP/renamed.qvx");
    Select(old);
    tree->EditLabel(Node(old));
    ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() != nullptr; }));
    tree->GetEditControl()->ChangeValue("renamed");
    tree->GetEditControl()->SetFocus();
    wxUIActionSimulator().Char(WXK_RETURN);
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

TEST_F(FileTreePane, WithoutItsFileThePartIsClosedAndReloadReopensWhatRemains) {
    // Nothing goes to a real trash: the seam removes the file.
    FileOperationSeams seams;
    seams.trash = [](const fs::path& path, std::string&) { return fs::remove(path); };
    SetFileOperationSeams(seams);
    const auto nothingHappens = [&](const fs::path& gone) {
        const std::size_t lines = Log().size();
        ClickButton(frame->Properties()->PreviewButton());
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
    nothingHappens(to263);
}

TEST_F(FileTreePane, NewPartGoesToTheSelectedSubfolderAndOpens) {
    const fs::path boards = Part("PBGA/boards");
    Select(boards);
    EXPECT_TRUE(settings.CurrentPartPath.empty());

    wxString proposed;
    WhenNewPartShown shown([&](NewPartDialog* dialog) {
        dialog->typeChoice()->SetSelection(2);  // PBGA
        wxCommandEvent choice(wxEVT_CHOICE, dialog->typeChoice()->GetId());
        choice.SetEventObject(dialog->typeChoice());
        choice.SetInt(2);
        dialog->typeChoice()->GetEventHandler()->ProcessEvent(choice);
        proposed = dialog->folderEdit()->GetValue();
        dialog->nameEdit()->ChangeValue("fresh");
        ClickButton(dialog->FindWindow(wxID_OK));
    });
    ClickButton(files->NewPartButton());
    const fs::path fresh = boards / "fresh.qvx";
    ASSERT_TRUE(WaitUntil([&] { return settings.CurrentPartPath == fresh.wstring(); }));
    EXPECT_EQ(proposed, boards.wstring());
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "part file was created: " + fresh.string());
    EXPECT_EQ(log.back(), "read from " + fresh.string());
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
