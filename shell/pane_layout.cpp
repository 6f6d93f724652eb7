#include "shell/pane_layout.h"

#include <algorithm>
#include <tuple>

#include <wx/aui/auibook.h>
#include <wx/aui/dockart.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "shell/pane_drag.h"
#include "shell/pane_side_bars.h"
#include "shell/pane_tabs.h"

PaneLayout::PaneLayout()
    : tabs_(std::make_unique<PaneTabs>(*this)),
      sideBars_(std::make_unique<PaneSideBars>(*this)),
      drag_(std::make_unique<PaneDrag>(*this)),
      record_(std::make_unique<PaneRecord>(*this)) {}

PaneLayout::~PaneLayout() = default;

void PaneLayout::Manage(wxFrame* frame) {
    frame_ = frame;
    SetManagedWindow(frame);
    // A smaller frame takes its room from the docks, never all of it from the centre; the
    // manager has laid the frame out by the time this handler runs.
    frame->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        // Not while a sash is held: the user is sizing a dock.
        if (m_action != actionResize && record_->Refit()) Update();
        if (FitDocksToClient()) Update();
    });
    // Bound on the manager, so this runs before its own handler ends the sash drag.
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
        event.Skip();
        if (m_action == actionResize) record_->UserResized();
    });
    sideBars_->AddBars(frame);
}

void PaneLayout::AddDockingPane(wxWindow* window, wxAuiPaneInfo info) {
    info.PinButton(true).CloseButton(true);
    registered_[window] = info;
    panes_.push_back(window);
    AddPane(window, info);
}

void PaneLayout::AddCentrePane(wxWindow* window, const wxString& name, const wxSize& minSize) {
    centreMin_ = minSize;
    window->SetMinSize(minSize);
    AddPane(window, wxAuiPaneInfo().Name(name).CenterPane().MinSize(minSize));
}

bool PaneLayout::IsOurs(wxWindow* window) const {
    return registered_.count(window) != 0 || tabs_->IsNotebook(window);
}

void PaneLayout::Relayout() {
    // The toolkit gives a pane dropped on an outer edge a new outermost layer; the bars
    // must lie beyond it.
    int outer = 0;
    wxAuiPaneInfoArray& panes = GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        if (panes[i].IsDocked() && !panes[i].name.StartsWith(PaneSideBars::kNamePrefix))
            outer = std::max(outer, panes[i].dock_layer);
    }
    for (const auto& [side, bar] : sideBars_->Bars()) GetPane(bar).Layer(outer + 1);
    Update();
    if (frame_ != nullptr) frame_->SetMinClientSize(MinimumClientSize());
}

wxSize PaneLayout::MinimumClientSize() {
    wxAuiDockArt* art = GetArtProvider();
    const int caption = art->GetMetric(wxAUI_DOCKART_CAPTION_SIZE);
    const int sash = art->GetMetric(wxAUI_DOCKART_SASH_SIZE);
    const int border = 2 * art->GetMetric(wxAUI_DOCKART_PANE_BORDER_SIZE);
    // Per dock (side, layer, row): its thickness across and its length along the side.
    std::map<std::tuple<int, int, int>, wxSize> docks;
    wxAuiPaneInfoArray& panes = GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        const wxAuiPaneInfo& pane = panes[i];
        if (!pane.IsShown() || !pane.IsDocked() || pane.dock_direction == wxAUI_DOCK_CENTER) continue;
        const int captionHeight = pane.HasCaption() ? caption : 0;
        const wxSize min(std::max(pane.min_size.x, 0) + border,
                         std::max(pane.min_size.y, 0) + border + captionHeight);
        wxSize& dock = docks[{pane.dock_direction, pane.dock_layer, pane.dock_row}];
        if (IsVerticalSide(pane.dock_direction)) {
            dock.x = std::max(dock.x, min.x);
            dock.y += min.y + sash;
        } else {
            dock.y = std::max(dock.y, min.y);
            dock.x += min.x + sash;
        }
    }
    // The side docks lie between the top and bottom ones, beside the centre.
    wxSize sides(centreMin_.x, centreMin_.y);
    int across = 0;
    int along = 0;
    for (const auto& [place, dock] : docks) {
        if (IsVerticalSide(std::get<0>(place))) {
            sides.x += dock.x + sash;
            sides.y = std::max(sides.y, dock.y);
        } else {
            across += dock.y + sash;
            along = std::max(along, dock.x);
        }
    }
    return wxSize(std::max(sides.x, along), sides.y + across);
}

bool PaneLayout::FitDocksToClient() {
    if (frame_ == nullptr) return false;
    const wxSize client = frame_->GetClientSize();
    const int sash = GetArtProvider()->GetMetric(wxAUI_DOCKART_SASH_SIZE);
    const int caption = GetArtProvider()->GetMetric(wxAUI_DOCKART_CAPTION_SIZE);
    const int border = GetArtProvider()->GetMetric(wxAUI_DOCKART_PANE_BORDER_SIZE);
    bool changed = false;
    // Along a dock the manager shares the length by the panes' proportions; each pane gets
    // its minimum first where the length allows, the rest as before.
    for (size_t i = 0; i < m_docks.GetCount(); ++i) {
        wxAuiDockInfo& dock = m_docks[i];
        if (dock.fixed || dock.panes.GetCount() < 2 || dock.dock_direction == wxAUI_DOCK_CENTER)
            continue;
        const bool vertical = IsVerticalSide(dock.dock_direction);
        const int length = vertical ? dock.rect.height : dock.rect.width;
        int needed = 0;
        int proportions = 0;
        bool short_ = false;
        for (size_t p = 0; p < dock.panes.GetCount(); ++p) {
            const wxAuiPaneInfo& pane = *dock.panes[p];
            const int least = vertical ? pane.min_size.y : pane.min_size.x;
            const int has = vertical ? pane.window->GetSize().y : pane.window->GetSize().x;
            short_ = short_ || has < least;
            needed += least + (vertical && pane.HasCaption() ? caption : 0) + 2 * border + sash;
            proportions += std::max(pane.dock_proportion, 1);
        }
        if (!short_ || needed > length) continue;
        const double spare = length - needed;
        for (size_t p = 0; p < dock.panes.GetCount(); ++p) {
            wxAuiPaneInfo& pane = *dock.panes[p];
            const int least = vertical ? pane.min_size.y : pane.min_size.x;
            const int share = static_cast<int>(spare * std::max(pane.dock_proportion, 1) / proportions);
            pane.dock_proportion = std::max(1, least + share);
        }
        changed = true;
    }
    int sideLength = 0;
    for (size_t i = 0; i < m_docks.GetCount(); ++i) {
        const wxAuiDockInfo& dock = m_docks[i];
        if (dock.fixed || !IsVerticalSide(dock.dock_direction)) continue;
        int length = 0;
        for (size_t p = 0; p < dock.panes.GetCount(); ++p) {
            const wxAuiPaneInfo& pane = *dock.panes[p];
            length += pane.min_size.y + (pane.HasCaption() ? caption : 0) + 2 * border + sash;
        }
        sideLength = std::max(sideLength, length);
    }
    for (const bool vertical : {true, false}) {
        // The least thickness of each dock: its widest (or tallest) pane's minimum.
        std::vector<std::pair<wxAuiDockInfo*, int>> docks;
        int total = 0;
        for (size_t i = 0; i < m_docks.GetCount(); ++i) {
            wxAuiDockInfo& dock = m_docks[i];
            if (dock.fixed || dock.panes.IsEmpty() || dock.dock_direction == wxAUI_DOCK_CENTER ||
                IsVerticalSide(dock.dock_direction) != vertical)
                continue;
            int least = 0;
            for (size_t p = 0; p < dock.panes.GetCount(); ++p) {
                const wxAuiPaneInfo& pane = *dock.panes[p];
                least = std::max(least, vertical ? pane.min_size.x + 2
                                                 : pane.min_size.y + 2 + caption);
            }
            docks.emplace_back(&dock, least);
            total += dock.size + sash;
        }
        // Top and bottom docks leave the side docks, between them, room for their panes.
        const int between = vertical ? centreMin_.x : std::max(centreMin_.y, sideLength);
        const int room = (vertical ? client.x : client.y) - between - 2 * border - 2;
        if (total <= room || total <= 0) continue;
        for (auto& [dock, least] : docks) {
            const int fitted = std::max(least, (dock->size + sash) * std::max(room, 0) / total - sash);
            if (fitted < dock->size) {
                dock->size = fitted;
                changed = true;
            }
        }
    }
    return changed;
}

const wxAuiPaneInfo& PaneLayout::Registered(wxWindow* window) const {
    return registered_.at(window);
}

wxWindow* PaneLayout::WindowNamed(const wxString& name) const {
    for (wxWindow* window : panes_) {
        if (Registered(window).name == name) return window;
    }
    return nullptr;
}

bool PaneLayout::IsPaneShown(wxWindow* window) {
    if (tabs_->TabsOf(window) != nullptr) return tabs_->IsTabShown(window);
    if (PaneSideBars::Hidden* hidden = sideBars_->HiddenOf(window)) return hidden->shown;
    const wxAuiPaneInfo& pane = GetPane(window);
    return pane.IsOk() && pane.IsShown();
}

void PaneLayout::ShowPane(wxWindow* window, bool show) {
    if (PaneTabs::Group* group = tabs_->GroupOf(window)) {
        for (PaneTabs::Tab& tab : group->tabs) {
            if (tab.window == window) tabs_->SetTabShown(*group, tab, show);
        }
    } else if (PaneSideBars::Hidden* hidden = sideBars_->HiddenOf(window)) {
        if (!show && sideBars_->SlidOutPane() == window) sideBars_->SlideBack();
        sideBars_->SetButtonShown(*hidden, show);
    } else {
        wxAuiPaneInfo& pane = GetPane(window);
        if (!pane.IsOk()) return;
        pane.Show(show);
    }
    Relayout();
}

bool PaneLayout::CanDockPanel(const wxAuiPaneInfo& pane) {
    // Where our panes land is TrackFloatingDrag's alone; the toolkit's own drop would also
    // run from the floating frame's idle time, in an order it does not promise.
    if (IsOurs(pane.window)) return false;
    return wxAuiManager::CanDockPanel(pane);
}

wxAuiFloatingFrame* PaneLayout::CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) {
    return drag_->NewFloatingFrame(parent, pane);
}

void PaneLayout::HideHint() {
    // The toolkit hides the hint on every move it does not dock on; ours stays.
    if (drag_->KeepsHint()) return;
    wxAuiManager::HideHint();
}

// The rest is the parts' own.
void PaneLayout::DockBack(wxWindow* window) { drag_->DockBack(window); }
wxWindow* PaneLayout::DropTabTarget() const { return drag_->TabTarget(); }
int PaneLayout::DropSide() const { return drag_->Side(); }
void PaneLayout::TrackFloatingDrag(wxWindow* window, const wxPoint& screenPoint, bool down) {
    drag_->Track(window, screenPoint, down);
}

void PaneLayout::GroupAsTabs(wxWindow* target, wxWindow* moved) {
    tabs_->GroupAsTabs(target, moved);
}
void PaneLayout::PullOutOfTabs(wxWindow* window, const wxPoint& screenPoint) {
    tabs_->PullOutOfTabs(window, screenPoint);
}
wxAuiNotebook* PaneLayout::TabsOf(wxWindow* window) const { return tabs_->TabsOf(window); }

void PaneLayout::AutoHide(wxWindow* window) { sideBars_->AutoHide(window); }
void PaneLayout::DockAgain(wxWindow* window) { sideBars_->DockAgain(window); }
bool PaneLayout::IsAutoHidden(wxWindow* window) const { return sideBars_->IsAutoHidden(window); }
wxWindow* PaneLayout::SideBar(int direction) const { return sideBars_->SideBar(direction); }
wxWindow* PaneLayout::BarButton(wxWindow* window) const { return sideBars_->BarButton(window); }
void PaneLayout::SlideOut(wxWindow* window) { sideBars_->SlideOut(window); }
void PaneLayout::SlideBack() { sideBars_->SlideBack(); }
wxWindow* PaneLayout::SlidOutPane() const { return sideBars_->SlidOutPane(); }
wxFrame* PaneLayout::SlideOutWindow() const { return sideBars_->SlideOutWindow(); }
void PaneLayout::CheckSlideBack() { sideBars_->CheckSlideBack(); }

wxString PaneLayout::SaveLayout() { return record_->Save(); }
bool PaneLayout::LoadLayout(const wxString& text) { return record_->Load(text); }
