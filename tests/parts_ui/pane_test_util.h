#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/imagpng.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/help_image_catalog.h"
#include "shell/main_frame.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "app/program_settings.h"
#include "models/bga/bga_detailed_model.h"
#include "parts_ui/file_view.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/properties_view.h"
#include "platform/temp_files.h"
#include "tests/parts_ui/grid_test_util.h"
#include "tests/models/default_parts.h"
#include "tests/support/wx_test.h"
#include "widget/controls.h"
#include "widget/drag_image.h"

// Set-up shared by the tests of the file-tree pane, the current part and the export dialog.
namespace zentrik_test {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder under the temporary folder, removed with everything in it at the end.
struct TempFolder {
    explicit TempFolder(const char* prefix)
        : path(platform::MakeUniqueDirectory(platform::TempDirectory(), prefix)) {}
    ~TempFolder() {
        std::error_code error;
        if (!path.empty()) fs::remove_all(path, error);
    }
    fs::path path;
};

// The output pane's lines.
inline std::vector<std::string> LogLines(OutputView* output) {
    std::vector<std::string> lines;
    std::istringstream in(output->TextBox()->GetValue().ToStdString());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
inline std::string LastLine(OutputView* output) {
    const auto lines = LogLines(output);
    return lines.empty() ? std::string() : lines.back();
}
// How often `part` occurs in `text`.
inline int Count(const wxString& text, const wxString& part) {
    int n = 0;
    for (size_t at = text.find(part); at != wxString::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// A real left click at the middle of a window.
inline void ClickCentre(wxWindow* window) {
    const wxSize size = window->GetClientSize();
    ClickAt(window, wxPoint(size.x / 2, size.y / 2));
    DispatchPending();
}

// A point of a tree node: on its image, clear of the label (a click there never starts an
// edit), or at the label's middle.
inline wxPoint NodePoint(wxTreeCtrl* tree, const wxTreeItemId& node, bool onImage = true) {
    tree->EnsureVisible(node);
    DispatchPending();
    wxRect label;
    EXPECT_TRUE(tree->GetBoundingRect(node, label, true));
    return onImage ? wxPoint(label.x - 9, label.y + label.height / 2)
                   : label.GetPosition() + wxPoint(label.width / 2, label.height / 2);
}

// The pane's node of a path.
inline wxTreeItemId PaneNode(FileView* view, const fs::path& path) {
    const wxTreeItemId node = view->FindItemByPath(path.wstring());
    EXPECT_TRUE(node.IsOk()) << path;
    return node;
}

// Starts editing a node's label, types `text` over it with real keys and presses Enter.
inline void TypeLabel(wxTreeCtrl* tree, const wxTreeItemId& node, const wxString& text) {
    tree->EditLabel(node);
    ASSERT_TRUE(WaitUntil([&] { return tree->GetEditControl() != nullptr; }));
    wxTextCtrl* edit = tree->GetEditControl();
    edit->SetFocus();
    edit->SelectAll();
    wxUIActionSimulator sim;
    sim.Text(text.utf8_str());
    ASSERT_TRUE(WaitUntil([&] { return edit->GetValue() == text; }));
    sim.Char(WXK_RETURN);
}

// A real drag between two screen points; `beforeRelease` runs when the pointer has
// arrived, just before the button goes up.
inline void Drag(const wxPoint& from, const wxPoint& to,
                 const std::function<void()>& beforeRelease = {}) {
    wxUIActionSimulator sim;
    sim.MouseMove(from);
    DispatchPending();
    sim.MouseDown();
    DispatchPending();
    for (int step = 1; step <= 8; ++step) {
        sim.MouseMove(from + (to - from) * step / 8 + wxPoint(0, step % 2));
        DispatchPending();
    }
    sim.MouseMove(to);
    WaitUntil([&] { return wxGetMousePosition() == to; }, std::chrono::seconds(2));
    DispatchPending();
    if (beforeRelease) beforeRelease();
    sim.MouseUp();
    DispatchPending();
}

// The label of the drag image that `owner` shows beside the pointer now; empty when none.
inline wxString DragImageAtPointer(wxWindow* owner) {
    const int offset = widget::DragImage::kPointerOffset;
    const wxPoint at = wxGetMousePosition() + wxPoint(offset, offset);
    for (wxWindow* child : owner->GetChildren()) {
        auto* image = dynamic_cast<widget::DragImage*>(child);
        if (image != nullptr && image->IsShown() && image->GetScreenPosition() == at)
            return image->Label();
    }
    return {};
}

// Answers every message box with `answer` and keeps its text and style, while it lives.
struct MessageBoxes {
    MessageBoxes() {
        SetMessageBoxAnswerer([this](const wxString& text, const wxString&, long style) {
            asked.push_back(text);
            styles.push_back(style);
            return answer;
        });
    }
    ~MessageBoxes() { SetMessageBoxAnswerer({}); }
    int answer = wxCANCEL;
    std::vector<wxString> asked;
    std::vector<long> styles;
};

// While it lives, `act` runs inside the modal loop of each dialog of type D that starts.
template <typename D>
class WhenShown : public wxEventFilter {
  public:
    explicit WhenShown(std::function<void(D*)> act) : act_(std::move(act)) {
        wxEvtHandler::AddFilter(this);
    }
    ~WhenShown() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        auto* dialog = dynamic_cast<D*>(event.GetEventObject());
        if (event.GetEventType() == wxEVT_INIT_DIALOG && dialog != nullptr) {
            ++shown;
            dialog->CallAfter([this, dialog] { act_(dialog); });
        }
        return Event_Skip;
    }
    int shown = 0;

  private:
    std::function<void(D*)> act_;
};

template <typename T>
bool AnyTopLevel() {
    for (wxWindow* window : wxTopLevelWindows) {
        if (dynamic_cast<T*>(window) != nullptr) return true;
    }
    return false;
}

// Small pictures under the files the help catalogue reads for the given package types.
inline void WriteHelpPictures(const fs::path& folder, std::initializer_list<int> types,
                              HelpImageCatalog& catalog) {
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    for (int type : types) {
        for (const auto& file : HelpImageCatalog::FilesOf(type, 9)) {
            fs::create_directories((folder / file.second).parent_path());
            ASSERT_TRUE(wxImage(4, 3).SaveFile((folder / file.second).string(), wxBITMAP_TYPE_PNG));
        }
    }
    catalog.Build(folder.wstring() + L"/", 9);
}

// A real main frame over a parts folder with the default part of five types (the PBGA one
// with three wiring layers), a second PBGA part, a PBGA subfolder "boards" and a file no
// loader reads, with help pictures for PBGA and FCBGA.
class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        setenv("XDG_CONFIG_HOME", (dir.path / "config").c_str(), 1);
        for (const char* type : {"PBGA", "FCBGA", "QFP", "SOP", "TO-263"}) {
            fs::create_directories(Part(type));
            auto part = default_parts::MakeDefault(type);
            if (auto* bga = dynamic_cast<pkg::bga::BGADetailedModel*>(part.get()))
                bga->board.number_of_layer = 3;
            std::ofstream out(Path(type));
            ASSERT_TRUE(part->WritePartFile(out));
        }
        ASSERT_TRUE(default_parts::WriteDefaultPart("PBGA", Part("PBGA/second.qvx")));
        fs::create_directories(Part("PBGA/boards"));
        std::ofstream(Part("PBGA/broken.qvx")) << "<not a part/>";
        WriteHelpPictures(dir.path / "help", {2, 3}, helpImages);

        settings.PartsFolder = Part("").wstring();
        operations.HelpImages = &helpImages;
        frame = new MainFrame(settings, operations);
        wxTheApp->SetTopWindow(frame);
        frame->Show();
        ASSERT_TRUE(WaitUntil([&] { return frame->IsShownOnScreen(); }));
        files = frame->Files();
        tree = files->Tree();
    }
    void TearDown() override {
        SetFileOperationSeams({});
        wxTheApp->SetTopWindow(nullptr);
        frame->Destroy();
        DispatchPending();
    }

    fs::path Part(const std::string& relative) const { return dir.path / "parts" / relative; }
    fs::path Path(const std::string& type) const { return Part(type + "/" + type + "_part.qvx"); }
    std::vector<std::string> Log() const { return LogLines(frame->GetOutputView()); }
    std::string LastLine() const { return zentrik_test::LastLine(frame->GetOutputView()); }
    // The current part's grid item of a property key.
    const std::shared_ptr<widget::WTreeItem>& Item(const std::wstring& key) const {
        return files->CurrentItemIndex().at(key);
    }

    TempFolder dir{"zentrik-main-frame-"};
    MessageBoxes boxes;
    ProgramSettings settings;
    PartFileOperations operations;
    HelpImageCatalog helpImages;
    MainFrame* frame = nullptr;
    FileView* files = nullptr;
    ViewTree* tree = nullptr;
};

}  // namespace zentrik_test
