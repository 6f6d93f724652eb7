#include "shell/pane_tabs.h"

#include <algorithm>

#include <wx/aui/auibook.h>
#include <wx/frame.h>

#include "shell/pane_layout.h"
#include "shell/pane_side_bars.h"

const wxString PaneTabs::kNamePrefix = "tabs";

PaneTabs::~PaneTabs() {
    // The notebooks outlive the manager (they go with the frame); none may call back.
    for (const auto& group : groups_) {
        group->book->Unbind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, &PaneTabs::OnTabChanged, this);
        group->book->Unbind(wxEVT_AUINOTEBOOK_PAGE_CLOSE, &PaneTabs::OnTabClose, this);
        group->book->Unbind(wxEVT_AUINOTEBOOK_END_DRAG, &PaneTabs::OnTabEndDrag, this);
    }
}

PaneTabs::Group* PaneTabs::GroupOf(wxWindow* window) const {
    for (const auto& group : groups_) {
        if (group->book == window) return group.get();
        for (const Tab& tab : group->tabs) {
            if (tab.window == window) return group.get();
        }
    }
    return nullptr;
}

wxAuiNotebook* PaneTabs::TabsOf(wxWindow* window) const {
    // A group's own notebook is no tab of it.
    const Group* group = GroupOf(window);
    return group != nullptr && group->book != window ? group->book : nullptr;
}

bool PaneTabs::IsNotebook(wxWindow* window) const {
    return std::any_of(groups_.begin(), groups_.end(),
                       [window](const auto& group) { return group->book == window; });
}

bool PaneTabs::IsTabShown(wxWindow* window) const {
    if (const Group* group = GroupOf(window)) {
        for (const Tab& tab : group->tabs) {
            if (tab.window == window) return tab.shown;
        }
    }
    return false;
}

// The group takes the dock position of its first pane.
PaneTabs::Group* PaneTabs::NewGroup(wxWindow* first, const wxString& name) {
    auto group = std::make_unique<Group>();
    group->book = new wxAuiNotebook(layout_.frame_, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                    wxAUI_NB_TOP | wxAUI_NB_TAB_MOVE | wxAUI_NB_TAB_FIXED_WIDTH |
                                        wxAUI_NB_CLOSE_ON_ACTIVE_TAB);
    wxAuiPaneInfo place = layout_.GetPane(first);
    place.window = nullptr;
    place.frame = nullptr;
    place.Name(name).PinButton(false).CloseButton(false);
    layout_.DetachPane(first);
    layout_.AddPane(group->book, place);
    Group* raw = group.get();
    groups_.push_back(std::move(group));
    raw->book->Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, &PaneTabs::OnTabChanged, this);
    raw->book->Bind(wxEVT_AUINOTEBOOK_PAGE_CLOSE, &PaneTabs::OnTabClose, this);
    raw->book->Bind(wxEVT_AUINOTEBOOK_END_DRAG, &PaneTabs::OnTabEndDrag, this);
    AddTab(*raw, first, true);
    return raw;
}

void PaneTabs::NoteLoadedName(const wxString& name) {
    long number = 0;
    if (name.Mid(kNamePrefix.size()).ToLong(&number))
        nextGroup_ = std::max(nextGroup_, static_cast<int>(number) + 1);
}

wxAuiNotebook* PaneTabs::BookOfEvent(wxEvent& event) const {
    auto* source = wxDynamicCast(event.GetEventObject(), wxWindow);
    for (const auto& group : groups_) {
        if (source == group->book || group->book->IsDescendant(source)) return group->book;
    }
    return nullptr;
}

void PaneTabs::OnTabChanged(wxAuiNotebookEvent& event) {
    event.Skip();
    Group* group = GroupOf(BookOfEvent(event));
    if (group == nullptr) return;
    UpdateGroupPane(*group);
    // The captions are drawn on the frame, which nothing else repaints here.
    layout_.Update();
    layout_.frame_->Refresh(false);
}

// Closing a tab hides its pane, as the View menu does.
void PaneTabs::OnTabClose(wxAuiNotebookEvent& event) {
    event.Veto();
    wxAuiNotebook* book = BookOfEvent(event);
    if (book == nullptr) return;
    wxWindow* page = book->GetPage(event.GetSelection());
    PaneLayout& layout = layout_;
    layout.CallAfter([&layout, page] { layout.ShowPane(page, false); });
}

// A tab dropped off its notebook floats at the pointer.
void PaneTabs::OnTabEndDrag(wxAuiNotebookEvent& event) {
    event.Skip();
    wxAuiNotebook* book = BookOfEvent(event);
    const wxPoint pointer = wxGetMousePosition();
    if (book == nullptr || book->GetScreenRect().Contains(pointer)) return;
    wxWindow* page = book->GetCurrentPage();
    layout_.CallAfter([this, page, pointer] { PullOutOfTabs(page, pointer); });
}

void PaneTabs::AddTab(Group& group, wxWindow* window, bool shown) {
    group.tabs.push_back({window, false});
    SetTabShown(group, group.tabs.back(), shown);
}

void PaneTabs::SetTabShown(Group& group, Tab& tab, bool shown) {
    const int index = group.book->GetPageIndex(tab.window);
    if (shown && index == wxNOT_FOUND) {
        const wxAuiPaneInfo& look = layout_.Registered(tab.window);
        tab.window->Reparent(group.book);
        group.book->AddPage(tab.window, look.caption, true, look.icon);
    } else if (!shown && index != wxNOT_FOUND) {
        group.book->RemovePage(index);
        tab.window->Hide();
        tab.window->Reparent(layout_.frame_);
    }
    tab.shown = shown;
    UpdateGroupPane(group);
}

void PaneTabs::UpdateGroupPane(Group& group) {
    wxAuiPaneInfo& pane = layout_.GetPane(group.book);
    if (!pane.IsOk()) return;
    wxWindow* active = group.book->GetCurrentPage();
    if (active != nullptr) {
        pane.Caption(layout_.Registered(active).caption).Icon(layout_.Registered(active).icon);
    }
    pane.Show(group.book->GetPageCount() > 0);
}

void PaneTabs::GroupAsTabs(wxWindow* target, wxWindow* moved) {
    const PaneSideBars& bars = *layout_.sideBars_;
    if (target == moved || GroupOf(moved) != nullptr || bars.IsAutoHidden(moved)) return;
    if (!layout_.GetPane(moved).IsOk()) return;
    Group* group = GroupOf(target);
    if (group == nullptr) {
        if (bars.IsAutoHidden(target) || !layout_.GetPane(target).IsOk()) return;
        group = NewGroup(target, kNamePrefix + wxString::Format("%d", nextGroup_++));
    }
    layout_.DetachPane(moved);
    AddTab(*group, moved, true);
    layout_.Relayout();
    // The frame may have come up over the floating panes while the tab was dropped.
    wxAuiPaneInfoArray& panes = layout_.GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        if (panes[i].frame != nullptr) panes[i].frame->Raise();
    }
}

void PaneTabs::PullOutOfTabs(wxWindow* window, const wxPoint& screenPoint) {
    Group* group = GroupOf(window);
    if (group == nullptr || group->book == window) return;
    const auto tab = std::find_if(group->tabs.begin(), group->tabs.end(),
                                  [window](const Tab& t) { return t.window == window; });
    SetTabShown(*group, *tab, false);
    group->tabs.erase(tab);
    wxAuiPaneInfo info = layout_.Registered(window);
    const wxSize size = window->GetSize();
    info.Float().FloatingPosition(screenPoint).FloatingSize(std::max(size.x, 200),
                                                            std::max(size.y, 150));
    layout_.AddPane(window, info);
    DissolveIfSingle(group);
    layout_.Relayout();
    wxAuiPaneInfo& pane = layout_.GetPane(window);
    if (pane.frame != nullptr) pane.frame->Raise();
}

// One pane left takes the group's place; its tab state (shown or closed) stays.
void PaneTabs::DissolveIfSingle(Group* group) {
    if (group->tabs.size() > 1) return;
    wxAuiPaneInfo place = layout_.GetPane(group->book);
    if (!group->tabs.empty()) {
        Tab last = group->tabs.front();
        const bool shown = last.shown;
        SetTabShown(*group, last, false);
        const wxAuiPaneInfo& look = layout_.Registered(last.window);
        place.window = nullptr;
        place.frame = nullptr;
        place.Name(look.name).Caption(look.caption).Icon(look.icon).PinButton(true);
        place.CloseButton(true).Show(shown);
        layout_.DetachPane(group->book);
        layout_.AddPane(last.window, place);
    } else {
        layout_.DetachPane(group->book);
    }
    group->book->Destroy();
    groups_.erase(std::find_if(groups_.begin(), groups_.end(),
                               [group](const auto& g) { return g.get() == group; }));
}
