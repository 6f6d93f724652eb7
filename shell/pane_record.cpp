#include "shell/pane_record.h"

#include <algorithm>
#include <limits>
#include <set>
#include <vector>

#include <wx/aui/auibook.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/tokenzr.h>

#include "shell/pane_layout.h"
#include "shell/pane_side_bars.h"
#include "shell/pane_tabs.h"

namespace {

// The first field of a saved layout; a layout of any other version is not read. The first
// version lacks the client size the layout was saved with.
const wxString kLayoutTag = "ZentrikLayout2";
const wxString kLayoutTagWithoutSize = "ZentrikLayout1";
// Fields of a saved layout; the toolkit's perspectives use neither character.
constexpr wxChar kFieldSeparator = '#';
constexpr wxChar kEntrySeparator = '&';

// The entries of the toolkit's perspective text: "name=...;..." separated by '|'.
std::vector<wxString> PerspectivePaneNames(const wxString& perspective) {
    std::vector<wxString> names;
    wxStringTokenizer entries(perspective, "|");
    while (entries.HasMoreTokens()) {
        const wxString entry = entries.GetNextToken();
        if (entry.StartsWith("name=")) names.push_back(entry.Mid(5).BeforeFirst(';'));
    }
    return names;
}

// "key=value" of one ';'-separated field of a perspective entry, or "" without it.
wxString EntryField(const wxString& entry, const wxString& key) {
    for (const wxString& field : wxSplit(entry, ';', '\0')) {
        if (field.StartsWith(key + "=")) return field.Mid(key.size() + 1);
    }
    return wxString();
}

wxString DockPlace(const wxAuiDockInfo& dock) {
    return wxString::Format("%d,%d,%d", dock.dock_direction, dock.dock_layer, dock.dock_row);
}

// The place ("direction,layer,row") and size of a perspective's "dock_size(place)=size"
// entry; false for any other entry.
bool DockSizeEntry(const wxString& entry, wxString& place, long& size) {
    if (!entry.StartsWith("dock_size(") || !entry.AfterFirst('=').ToLong(&size)) return false;
    place = entry.AfterFirst('(').BeforeFirst(')');
    return true;
}

}  // namespace

wxString FitDockSizes(const wxString& perspective, const wxSize& saved, const wxSize& current,
                      const wxSize& centreMin, const wxSize& dockMin) {
    wxArrayString entries = wxSplit(perspective, '|', '\0');
    // The side bars keep their own thickness.
    std::set<wxString> fixedDocks;
    for (const wxString& entry : entries) {
        if (!entry.StartsWith("name=" + PaneSideBars::kNamePrefix)) continue;
        fixedDocks.insert(EntryField(entry, "dir") + "," + EntryField(entry, "layer") + "," +
                          EntryField(entry, "row"));
    }
    struct Dock {
        size_t entry;
        wxString place;
        bool vertical;
        double size;
    };
    std::vector<Dock> docks;
    for (size_t i = 0; i < entries.size(); ++i) {
        wxString place;
        long size = 0;
        if (!DockSizeEntry(entries[i], place, size) || fixedDocks.count(place) != 0) continue;
        long direction = 0;
        if (!place.BeforeFirst(',').ToLong(&direction)) continue;
        docks.push_back({i, place, IsVerticalSide(static_cast<int>(direction)),
                         static_cast<double>(size)});
    }
    const bool scale = saved.x > 0 && saved.y > 0;
    for (const bool vertical : {true, false}) {
        const double from = vertical ? saved.x : saved.y;
        const double to = vertical ? current.x : current.y;
        const double least = vertical ? dockMin.x : dockMin.y;
        double total = 0;
        for (Dock& dock : docks) {
            if (dock.vertical != vertical) continue;
            if (scale) dock.size = dock.size * to / from;
            dock.size = std::max(dock.size, least);
            total += dock.size;
        }
        const double room = to - (vertical ? centreMin.x : centreMin.y);
        if (total <= room || total <= 0) continue;
        for (Dock& dock : docks) {
            if (dock.vertical == vertical)
                dock.size = std::max(least, dock.size * std::max(room, 0.0) / total);
        }
    }
    for (const Dock& dock : docks) {
        entries[dock.entry] = wxString::Format("dock_size(%s)=%d", dock.place,
                                               static_cast<int>(dock.size + 0.5));
    }
    return wxJoin(entries, '|', '\0');
}

wxRect MovedOnto(const wxRect& rect, const wxRect& area) {
    wxRect moved(rect.GetPosition(),
                 wxSize(std::min(rect.width, area.width), std::min(rect.height, area.height)));
    moved.x = std::clamp(moved.x, area.x, area.GetRight() + 1 - moved.width);
    moved.y = std::clamp(moved.y, area.y, area.GetBottom() + 1 - moved.height);
    return moved;
}

// The version tag, the toolkit's perspective of the docked and floating panes, the tab
// groups ("tabs0:a,-b" where '-' marks a closed tab) and the auto-hidden panes (a '-' for
// one hidden from its bar, then the toolkit's text of where it was docked).
wxString PaneRecord::Save() {
    layout_.sideBars_->SlideBack();
    wxString groups;
    for (const auto& group : layout_.tabs_->Groups()) {
        if (!groups.empty()) groups += kEntrySeparator;
        groups += layout_.GetPane(group->book).name + ":";
        for (size_t i = 0; i < group->tabs.size(); ++i) {
            if (i > 0) groups += ",";
            if (!group->tabs[i].shown) groups += "-";
            groups += layout_.Registered(group->tabs[i].window).name;
        }
    }
    wxString hidden;
    for (const PaneSideBars::Hidden& h : layout_.sideBars_->HiddenPanes()) {
        if (!hidden.empty()) hidden += kEntrySeparator;
        hidden += (h.shown ? "" : "-") + layout_.SavePaneInfo(h.info);
    }
    const wxSize client = layout_.frame_->GetClientSize();
    return kLayoutTag + kFieldSeparator + layout_.SavePerspective() + kFieldSeparator + groups +
           kFieldSeparator + hidden + kFieldSeparator +
           wxString::Format("%dx%d", client.x, client.y);
}

bool PaneRecord::Load(const wxString& text) {
    PaneTabs& tabs = *layout_.tabs_;
    PaneSideBars& bars = *layout_.sideBars_;
    const wxArrayString fields = wxSplit(text, kFieldSeparator, '\0');
    wxSize saved;
    if (fields.size() == 5 && fields[0] == kLayoutTag) {
        long width = 0, height = 0;
        if (!fields[4].BeforeFirst('x').ToLong(&width) ||
            !fields[4].AfterFirst('x').ToLong(&height) || width <= 0 || height <= 0)
            return false;
        saved = wxSize(static_cast<int>(width), static_cast<int>(height));
    } else if (fields.size() != 4 || fields[0] != kLayoutTagWithoutSize) {
        return false;
    }
    if (!fields[1].StartsWith("layout2|")) return false;
    const wxString perspective = FitDockSizes(fields[1], saved, layout_.frame_->GetClientSize(),
                                              layout_.centreMin_, LeastDockSize());

    // Every pane of this program exactly once; group and bar names only as placed.
    std::multiset<wxString> names;
    std::set<wxString> groupNames;
    std::vector<std::pair<wxString, std::vector<wxString>>> groups;
    for (const wxString& entry : wxSplit(fields[2], kEntrySeparator, '\0')) {
        const wxString name = entry.BeforeFirst(':');
        if (!name.StartsWith(PaneTabs::kNamePrefix) || !groupNames.insert(name).second)
            return false;
        std::vector<wxString> groupTabs;
        for (const wxString& tab : wxSplit(entry.AfterFirst(':'), ',', '\0')) {
            groupTabs.push_back(tab);
            names.insert(tab.StartsWith("-") ? tab.Mid(1) : tab);
        }
        if (groupTabs.size() < 2) return false;
        groups.emplace_back(name, groupTabs);
    }
    std::vector<std::pair<bool, wxAuiPaneInfo>> hiddenPanes;
    for (const wxString& entry : wxSplit(fields[3], kEntrySeparator, '\0')) {
        const bool shown = !entry.StartsWith("-");
        wxAuiPaneInfo info;
        layout_.LoadPaneInfo(shown ? entry : entry.Mid(1), info);
        if (bars.SideBar(info.dock_direction) == nullptr) return false;
        names.insert(info.name);
        hiddenPanes.emplace_back(shown, info);
    }
    for (const wxString& name : PerspectivePaneNames(perspective)) {
        if (name.StartsWith(PaneSideBars::kNamePrefix) || name == pane_names::kPreview) continue;
        if (groupNames.erase(name) == 1) continue;
        names.insert(name);
    }
    if (!groupNames.empty() || names.size() != layout_.panes_.size()) return false;
    for (wxWindow* window : layout_.panes_) {
        if (names.count(layout_.Registered(window).name) != 1) return false;
    }

    for (const auto& [name, groupTabs] : groups) {
        auto window = [this](const wxString& tab) {
            return layout_.WindowNamed(tab.StartsWith("-") ? tab.Mid(1) : tab);
        };
        PaneTabs::Group* group = tabs.NewGroup(window(groupTabs[0]), name);
        group->tabs.front().shown = !groupTabs[0].StartsWith("-");
        for (size_t i = 1; i < groupTabs.size(); ++i) {
            layout_.DetachPane(window(groupTabs[i]));
            tabs.AddTab(*group, window(groupTabs[i]), !groupTabs[i].StartsWith("-"));
        }
        if (!group->tabs.front().shown) tabs.SetTabShown(*group, group->tabs.front(), false);
        group->book->SetSelection(0);
        tabs.NoteLoadedName(name);
    }
    layout_.LoadPerspective(perspective, false);
    wxAuiPaneInfoArray& all = layout_.GetAllPanes();
    for (size_t i = 0; i < all.GetCount(); ++i) FitOntoScreen(all[i]);
    for (auto& [shown, info] : hiddenPanes) {
        FitOntoScreen(info);
        wxWindow* window = layout_.WindowNamed(info.name);
        wxAuiPaneInfo& pane = layout_.GetPane(window);
        pane.SafeSet(info);
        pane.Show();
        // Docked first, so that AutoHide reads where it was.
        if (pane.IsFloating()) pane.Dock();
        bars.AutoHide(window);
        bars.HiddenOf(window)->info = info;
        if (!shown) bars.SetButtonShown(*bars.HiddenOf(window), false);
    }
    // A saved layout carries the captions of the language it was saved in, and no icons.
    for (wxWindow* window : layout_.panes_) {
        wxAuiPaneInfo& pane = layout_.GetPane(window);
        if (pane.IsOk())
            pane.Caption(layout_.Registered(window).caption).Icon(layout_.Registered(window).icon);
    }
    for (const auto& group : tabs.Groups()) tabs.UpdateGroupPane(*group);
    bars.UpdateBars();
    layout_.Relayout();
    if (layout_.FitDocksToClient()) layout_.Update();
    // A layout of the first version has no client size to fit from again.
    loaded_ = saved.x > 0 ? fields[1] : wxString();
    loadedClient_ = saved;
    arrangement_ = Arrangement();
    return true;
}

// A display that is gone, or a smaller one, leaves no pane out of reach or larger than the
// screen; the least and largest sizes are the program's, whatever the record says.
void PaneRecord::FitOntoScreen(wxAuiPaneInfo& pane) const {
    if (wxWindow* window = layout_.WindowNamed(pane.name)) {
        pane.min_size = layout_.Registered(window).min_size;
        pane.max_size = layout_.Registered(window).max_size;
    } else if (layout_.tabs_->IsNotebook(pane.window)) {
        const PaneTabs::Group* group = layout_.tabs_->GroupOf(pane.window);
        if (group == nullptr || group->tabs.empty()) return;
        pane.min_size = layout_.Registered(group->tabs.front().window).min_size;
        pane.max_size = wxDefaultSize;
    } else {
        return;  // the side bars and the centre keep what the program gave them
    }
    const bool floating = pane.floating_pos != wxDefaultPosition;
    int display = floating ? wxDisplay::GetFromPoint(pane.floating_pos) : wxNOT_FOUND;
    if (display == wxNOT_FOUND) display = wxDisplay::GetFromWindow(layout_.frame_);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetClientArea();
    pane.best_size.DecTo(area.GetSize());
    if (!floating) return;
    wxSize size = pane.floating_size;
    if (size.x <= 0 || size.y <= 0) size = wxSize(1, 1);
    const wxRect rect(pane.floating_pos, size);
    if (area.Contains(rect)) return;
    const wxRect moved = MovedOnto(rect, area);
    pane.floating_pos = moved.GetPosition();
    if (pane.floating_size.x > 0 && pane.floating_size.y > 0) pane.floating_size = moved.GetSize();
}

wxSize PaneRecord::LeastDockSize() const {
    wxSize least(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    for (wxWindow* window : layout_.panes_) {
        least.x = std::min(least.x, layout_.Registered(window).min_size.x);
        least.y = std::min(least.y, layout_.Registered(window).min_size.y);
    }
    least.IncTo(wxSize(0, 0));
    return least;
}

wxString PaneRecord::Arrangement() const {
    wxString arrangement;
    const wxAuiPaneInfoArray& panes = layout_.m_panes;
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        const wxAuiPaneInfo& pane = panes[i];
        if (pane.name.StartsWith(PaneSideBars::kNamePrefix)) continue;
        arrangement += wxString::Format("%s:%d,%d,%d,%d,%d|", pane.name, pane.dock_direction,
                                        pane.dock_layer, pane.dock_row, pane.IsShown(),
                                        pane.IsFloating());
    }
    return arrangement;
}

bool PaneRecord::Refit() {
    if (loaded_.empty()) return false;
    // A pane docked elsewhere, floated, closed or tabbed: the layout is the user's now. The
    // docks' sizes themselves tell nothing: any update of the layout may change them.
    if (Arrangement() != arrangement_) {
        loaded_.clear();
        return false;
    }
    const wxString fitted = FitDockSizes(loaded_, loadedClient_, layout_.frame_->GetClientSize(),
                                         layout_.centreMin_, LeastDockSize());
    for (const wxString& entry : wxSplit(fitted, '|', '\0')) {
        wxString place;
        long size = 0;
        if (!DockSizeEntry(entry, place, size)) continue;
        for (size_t i = 0; i < layout_.m_docks.GetCount(); ++i) {
            wxAuiDockInfo& dock = layout_.m_docks[i];
            if (!dock.fixed && place == DockPlace(dock)) dock.size = static_cast<int>(size);
        }
    }
    return true;
}
