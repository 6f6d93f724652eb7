#include "shell/geometry_dump.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/listctrl.h>
#include <wx/toplevel.h>
#include <wx/treectrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/help_view.h"
#include "app/output_view.h"
#include "app/preview_view.h"
#include "parts_ui/file_view.h"
#include "parts_ui/parts_view.h"
#include "parts_ui/properties_view.h"
#include "platform/gtk_window.h"
#include "shell/pane_layout.h"

namespace {

// One line per thing: "KIND X Y W H STATE NAME", screen pixels, NAME to the end of the line
// (it may hold spaces).
class GeometryDump {
  public:
    explicit GeometryDump(std::string path) : path_(std::move(path)) {}

    // Runs once the events are handled, before the windows' own idle work, where the tree
    // and the list place rows changed meanwhile. So a change is written only once it has
    // come out the same on two passes, with the windows' idle work between them.
    void OnIdle(wxIdleEvent& event) {
        event.Skip();
        std::ostringstream out;
        for (wxWindow* top : wxTopLevelWindows) {
            // A window not yet on screen has no place there to report.
            if (top->IsShown() && platform::IsMapped(top->GetHandle())) Describe(top, out);
        }
        wxWindow* focus = wxWindow::FindFocus();
        if (const wxWindow* top = focus ? wxGetTopLevelParent(focus) : nullptr)
            Line(out, "focus", Client(*focus), "-", top->GetLabel());
        const std::string text = out.str();
        if (text == written_) {
            pending_.clear();
            return;
        }
        if (text != pending_) {
            pending_ = text;
            event.RequestMore();
            return;
        }
        pending_.clear();
        written_ = text;
        const std::string temporary = path_ + ".tmp";
        {
            std::ofstream file(temporary, std::ios::trunc);
            file << text;
            if (!file) return;
        }
        std::rename(temporary.c_str(), path_.c_str());
    }

  private:
    static wxRect Client(const wxWindow& window) {
        return wxRect(window.ClientToScreen(wxPoint(0, 0)), window.GetClientSize());
    }

    static void Line(std::ostream& out, const char* kind, const wxRect& r, const char* state,
                     wxString name) {
        name.Replace("\n", " ");
        out << kind << ' ' << r.x << ' ' << r.y << ' ' << r.width << ' ' << r.height << ' ' << state
            << ' ' << (name.empty() ? "-" : name.utf8_string()) << '\n';
    }

    static void Describe(wxWindow* window, std::ostream& out) {
        if (window->IsTopLevel()) {
            // Its outer rectangle as the program last heard it from the window manager.
            Line(out, "window", window->GetScreenRect(), "-", window->GetLabel());
        } else if (auto* tree = dynamic_cast<wxTreeCtrl*>(window)) {
            TreeRows(*tree, dynamic_cast<ViewTree*>(tree) ? "file-tree-row" : "parts-tree-row",
                     tree->GetRootItem(), out);
        } else if (auto* list = dynamic_cast<wxListCtrl*>(window)) {
            ListCells(*list, out);
        } else if (auto* button = dynamic_cast<wxButton*>(window)) {
            Line(out, "button", Client(*button), button->IsEnabled() ? "enabled" : "disabled",
                 button->GetLabelText());
        } else if (auto* combo = dynamic_cast<wxComboBox*>(window)) {
            for (unsigned i = 0; i < combo->GetCount(); ++i) {
                Line(out, "combo-option", Client(*combo), std::to_string(i).c_str(),
                     combo->GetString(i));
            }
        } else if (dynamic_cast<PreviewView*>(window)) {
            Line(out, "preview", Client(*window), "-", "-");
        } else if (dynamic_cast<OutputView*>(window)) {
            Line(out, "output", Client(*window), "-", wxGetTopLevelParent(window)->GetLabel());
        }
        // The docking panes by the names the layout keeps them under.
        if (dynamic_cast<FileView*>(window)) {
            Line(out, "pane", Client(*window), "-", pane_names::kFileView);
        } else if (dynamic_cast<PropertiesView*>(window)) {
            Line(out, "pane", Client(*window), "-", pane_names::kProperties);
        } else if (dynamic_cast<HelpView*>(window)) {
            Line(out, "pane", Client(*window), "-", pane_names::kHelp);
        } else if (dynamic_cast<PartsView*>(window)) {
            Line(out, "pane", Client(*window), "-", pane_names::kComponents);
        }
        for (wxWindow* child : window->GetChildren()) {
            if (child->IsShown() && !child->IsTopLevel()) Describe(child, out);
        }
    }

    // The rows below `node` that are on screen: a collapsed node's children are not, nor
    // rows scrolled out of the control.
    static void TreeRows(const wxTreeCtrl& tree, const char* kind, const wxTreeItemId& node,
                         std::ostream& out) {
        if (!node.IsOk()) return;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree.GetFirstChild(node, cookie); child.IsOk();
             child = tree.GetNextChild(node, cookie)) {
            wxRect r;
            if (tree.GetBoundingRect(child, r, true) && tree.GetClientRect().Contains(r)) {
                r.SetPosition(tree.ClientToScreen(r.GetPosition()));
                Line(out, kind, r, tree.IsSelected(child) ? "selected" : "-",
                     tree.GetItemText(child));
            }
            if (tree.IsExpanded(child)) TreeRows(tree, kind, child, out);
        }
    }

    // The cells of a report list, NAME being "ROW COLUMN TEXT".
    static void ListCells(const wxListCtrl& list, std::ostream& out) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            for (int column = 0; column < list.GetColumnCount(); ++column) {
                wxRect r;
                if (!list.GetSubItemRect(row, column, r)) continue;
                r.SetPosition(list.ClientToScreen(r.GetPosition()));
                Line(out, "list-cell", r, "-",
                     wxString::Format("%d %d %s", row, column, list.GetItemText(row, column)));
            }
        }
    }

    std::string path_;
    std::string written_;
    std::string pending_;
};

}  // namespace

void StartGeometryDumpIfAsked(wxApp& app) {
    const char* path = std::getenv("ZENTRIK_GEOMETRY_DUMP");
    if (path == nullptr || *path == '\0') return;
    auto dump = std::make_shared<GeometryDump>(path);
    app.Bind(wxEVT_IDLE, [dump](wxIdleEvent& event) { dump->OnIdle(event); });
}
