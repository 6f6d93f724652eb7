#include "app/frame/pane_layout.h"

#include <algorithm>
#include <functional>
#include <set>

#include <wx/aui/auibook.h>
#include <wx/aui/floatpane.h>
#include <wx/dcbuffer.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/tokenzr.h>

namespace {

// The first field of a saved layout; a layout of any other version is not read.
const wxString kLayoutTag = "ZentrikLayout1";
// Fields of a saved layout; the toolkit's perspectives use neither character.
constexpr wxChar kFieldSeparator = '#';
constexpr wxChar kEntrySeparator = '&';
const wxString kGroupPrefix = "tabs";
const wxString kBarPrefix = "autohide_";
// The bars lie outside every dock the user can make.
constexpr int kBarLayer = 9;
constexpr int kSlideBackCheckMs = 200;

const int kSides[] = {wxAUI_DOCK_LEFT, wxAUI_DOCK_RIGHT, wxAUI_DOCK_TOP, wxAUI_DOCK_BOTTOM};

bool IsVertical(int direction) {
    return direction == wxAUI_DOCK_LEFT || direction == wxAUI_DOCK_RIGHT;
}

// A button of a side bar: the pane's icon and caption, turned on the left and right bars.
class SideBarButton : public wxWindow {
public:
    SideBarButton(wxWindow* parent, const wxAuiPaneInfo& pane, bool vertical)
        : wxWindow(parent, wxID_ANY), caption_(pane.caption),
          icon_(pane.icon.IsOk() ? pane.icon.GetBitmap(pane.icon.GetDefaultSize()) : wxBitmap()),
          vertical_(vertical) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        const wxSize text = GetTextExtent(caption_);
        const int iconLength = icon_.IsOk() ? icon_.GetWidth() + 4 : 0;
        const int length = text.GetWidth() + iconLength + 12;
        const int thickness = text.GetHeight() + 8;
        const wxSize size = vertical_ ? wxSize(thickness, length) : wxSize(length, thickness);
        SetMinSize(size);
        SetSize(size);
        Bind(wxEVT_PAINT, &SideBarButton::OnPaint, this);
        Bind(wxEVT_ENTER_WINDOW, [this](wxMouseEvent&) { if (activate) activate(); });
        Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { if (activate) activate(); });
    }

    std::function<void()> activate;

private:
    void OnPaint(wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
        dc.Clear();
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(wxPoint(0, 0), GetClientSize());
        dc.SetFont(GetFont());
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
        int along = 6;
        if (icon_.IsOk()) {
            const wxSize client = GetClientSize();
            const wxPoint at = vertical_ ? wxPoint((client.x - icon_.GetWidth()) / 2, along)
                                         : wxPoint(along, (client.y - icon_.GetHeight()) / 2);
            dc.DrawBitmap(icon_, at, true);
            along += icon_.GetWidth() + 4;
        }
        if (vertical_)
            dc.DrawRotatedText(caption_, 4 + dc.GetCharHeight(), along, 270);
        else
            dc.DrawText(caption_, along, 4);
    }

    wxString caption_;
    wxBitmap icon_;
    bool vertical_;
};

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

}  // namespace

PaneLayout::PaneLayout() : slideTimer_(this) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { CheckSlideBack(); });
}

PaneLayout::~PaneLayout() {
    slideTimer_.Stop();
    if (holderManager_) holderManager_->UnInit();
    // The windows outlive the manager (they go with the frame); none may call back.
    for (const Hidden& hidden : hidden_)
        static_cast<SideBarButton*>(hidden.button)->activate = nullptr;
    for (const auto& group : groups_) {
        group->book->Unbind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, &PaneLayout::OnTabChanged, this);
        group->book->Unbind(wxEVT_AUINOTEBOOK_PAGE_CLOSE, &PaneLayout::OnTabClose, this);
        group->book->Unbind(wxEVT_AUINOTEBOOK_END_DRAG, &PaneLayout::OnTabEndDrag, this);
    }
}

void PaneLayout::Manage(wxFrame* frame) {
    frame_ = frame;
    SetManagedWindow(frame);
    // The manager handles its own events before the frame sees them.
    Bind(wxEVT_AUI_PANE_BUTTON, &PaneLayout::OnPaneButton, this);
    for (int side : kSides) {
        auto* bar = new wxPanel(frame, wxID_ANY);
        bar->SetSizer(new wxBoxSizer(IsVertical(side) ? wxVERTICAL : wxHORIZONTAL));
        const int thickness = frame->GetCharHeight() + 8;
        bars_[side] = bar;
        AddPane(bar, wxAuiPaneInfo()
                         .Name(kBarPrefix + wxString::Format("%d", side))
                         .Direction(side)
                         .Layer(kBarLayer)
                         .CaptionVisible(false)
                         .PaneBorder(false)
                         .Gripper(false)
                         .Floatable(false)
                         .Movable(false)
                         .CloseButton(false)
                         .Resizable(false)
                         .BestSize(thickness, thickness)
                         .MinSize(thickness, thickness)
                         .Hide());
    }
}

void PaneLayout::AddDockingPane(wxWindow* window, wxAuiPaneInfo info) {
    info.PinButton(true).CloseButton(true);
    registered_[window] = info;
    panes_.push_back(window);
    AddPane(window, info);
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
    if (TabGroup* group = GroupOf(window)) {
        for (const Tab& tab : group->tabs) {
            if (tab.window == window) return tab.shown;
        }
    }
    if (Hidden* hidden = HiddenOf(window)) return hidden->shown;
    const wxAuiPaneInfo& pane = GetPane(window);
    return pane.IsOk() && pane.IsShown();
}

void PaneLayout::ShowPane(wxWindow* window, bool show) {
    if (TabGroup* group = GroupOf(window)) {
        for (Tab& tab : group->tabs) {
            if (tab.window == window) SetTabShown(*group, tab, show);
        }
    } else if (Hidden* hidden = HiddenOf(window)) {
        if (!show && slidOut_ == window) SlideBack();
        SetButtonShown(*hidden, show);
    } else {
        wxAuiPaneInfo& pane = GetPane(window);
        if (!pane.IsOk()) return;
        pane.Show(show);
    }
    Update();
}


PaneLayout::TabGroup* PaneLayout::GroupOf(wxWindow* window) {
    for (const auto& group : groups_) {
        if (group->book == window) return group.get();
        for (const Tab& tab : group->tabs) {
            if (tab.window == window) return group.get();
        }
    }
    return nullptr;
}

wxAuiNotebook* PaneLayout::TabsOf(wxWindow* window) const {
    for (const auto& group : groups_) {
        for (const Tab& tab : group->tabs) {
            if (tab.window == window) return group->book;
        }
    }
    return nullptr;
}

// The group takes the dock position of its first pane.
PaneLayout::TabGroup* PaneLayout::NewGroup(wxWindow* first, const wxString& name) {
    auto group = std::make_unique<TabGroup>();
    group->book = new wxAuiNotebook(frame_, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                    wxAUI_NB_TOP | wxAUI_NB_TAB_MOVE | wxAUI_NB_TAB_FIXED_WIDTH |
                                        wxAUI_NB_CLOSE_ON_ACTIVE_TAB);
    wxAuiPaneInfo place = GetPane(first);
    place.window = nullptr;
    place.frame = nullptr;
    place.Name(name).PinButton(false).CloseButton(false);
    DetachPane(first);
    AddPane(group->book, place);
    TabGroup* raw = group.get();
    groups_.push_back(std::move(group));
    raw->book->Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, &PaneLayout::OnTabChanged, this);
    raw->book->Bind(wxEVT_AUINOTEBOOK_PAGE_CLOSE, &PaneLayout::OnTabClose, this);
    raw->book->Bind(wxEVT_AUINOTEBOOK_END_DRAG, &PaneLayout::OnTabEndDrag, this);
    AddTab(*raw, first, true);
    return raw;
}

wxAuiNotebook* PaneLayout::BookOfEvent(wxEvent& event) const {
    auto* source = wxDynamicCast(event.GetEventObject(), wxWindow);
    for (const auto& group : groups_) {
        if (source == group->book || group->book->IsDescendant(source)) return group->book;
    }
    return nullptr;
}

void PaneLayout::OnTabChanged(wxAuiNotebookEvent& event) {
    event.Skip();
    if (TabGroup* group = GroupOf(BookOfEvent(event))) UpdateGroupPane(*group);
}

// Closing a tab hides its pane, as the View menu does.
void PaneLayout::OnTabClose(wxAuiNotebookEvent& event) {
    event.Veto();
    wxAuiNotebook* book = BookOfEvent(event);
    if (book == nullptr) return;
    wxWindow* page = book->GetPage(event.GetSelection());
    CallAfter([this, page] { ShowPane(page, false); });
}

// A tab dropped off its notebook floats at the pointer.
void PaneLayout::OnTabEndDrag(wxAuiNotebookEvent& event) {
    event.Skip();
    wxAuiNotebook* book = BookOfEvent(event);
    const wxPoint pointer = wxGetMousePosition();
    if (book == nullptr || book->GetScreenRect().Contains(pointer)) return;
    wxWindow* page = book->GetCurrentPage();
    CallAfter([this, page, pointer] { PullOutOfTabs(page, pointer); });
}

void PaneLayout::AddTab(TabGroup& group, wxWindow* window, bool shown) {
    group.tabs.push_back({window, false});
    SetTabShown(group, group.tabs.back(), shown);
}

void PaneLayout::SetTabShown(TabGroup& group, Tab& tab, bool shown) {
    const int index = group.book->GetPageIndex(tab.window);
    if (shown && index == wxNOT_FOUND) {
        const wxAuiPaneInfo& look = Registered(tab.window);
        tab.window->Reparent(group.book);
        group.book->AddPage(tab.window, look.caption, true, look.icon);
    } else if (!shown && index != wxNOT_FOUND) {
        group.book->RemovePage(index);
        tab.window->Hide();
        tab.window->Reparent(frame_);
    }
    tab.shown = shown;
    UpdateGroupPane(group);
}

// The group's caption is its active tab's; a group with no tab shown is hidden.
void PaneLayout::UpdateGroupPane(TabGroup& group) {
    wxAuiPaneInfo& pane = GetPane(group.book);
    if (!pane.IsOk()) return;
    wxWindow* active = group.book->GetCurrentPage();
    if (active != nullptr) {
        pane.Caption(Registered(active).caption).Icon(Registered(active).icon);
    }
    pane.Show(group.book->GetPageCount() > 0);
}

void PaneLayout::GroupAsTabs(wxWindow* target, wxWindow* moved) {
    if (target == moved || GroupOf(moved) != nullptr || HiddenOf(moved) != nullptr) return;
    if (!GetPane(moved).IsOk()) return;
    TabGroup* group = GroupOf(target);
    if (group == nullptr) {
        if (HiddenOf(target) != nullptr || !GetPane(target).IsOk()) return;
        group = NewGroup(target, kGroupPrefix + wxString::Format("%d", nextGroup_++));
    }
    DetachPane(moved);
    AddTab(*group, moved, true);
    Update();
    // The frame may have come up over the floating panes while the tab was dropped.
    for (size_t i = 0; i < GetAllPanes().GetCount(); ++i) {
        if (GetAllPanes()[i].frame != nullptr) GetAllPanes()[i].frame->Raise();
    }
}

void PaneLayout::PullOutOfTabs(wxWindow* window, const wxPoint& screenPoint) {
    TabGroup* group = GroupOf(window);
    if (group == nullptr || group->book == window) return;
    const auto tab = std::find_if(group->tabs.begin(), group->tabs.end(),
                                  [window](const Tab& t) { return t.window == window; });
    SetTabShown(*group, *tab, false);
    group->tabs.erase(tab);
    wxAuiPaneInfo info = Registered(window);
    const wxSize size = window->GetSize();
    info.Float().FloatingPosition(screenPoint).FloatingSize(std::max(size.x, 200),
                                                            std::max(size.y, 150));
    AddPane(window, info);
    DissolveIfSingle(group);
    Update();
    wxAuiPaneInfo& pane = GetPane(window);
    if (pane.frame != nullptr) pane.frame->Raise();
}

// One pane left takes the group's place; its tab state (shown or closed) stays.
void PaneLayout::DissolveIfSingle(TabGroup* group) {
    if (group->tabs.size() > 1) return;
    wxAuiPaneInfo place = GetPane(group->book);
    if (!group->tabs.empty()) {
        Tab last = group->tabs.front();
        const bool shown = last.shown;
        SetTabShown(*group, last, false);
        const wxAuiPaneInfo& look = Registered(last.window);
        place.window = nullptr;
        place.frame = nullptr;
        place.Name(look.name).Caption(look.caption).Icon(look.icon).PinButton(true);
        place.CloseButton(true).Show(shown);
        DetachPane(group->book);
        AddPane(last.window, place);
    } else {
        DetachPane(group->book);
    }
    group->book->Destroy();
    groups_.erase(std::find_if(groups_.begin(), groups_.end(),
                               [group](const auto& g) { return g.get() == group; }));
}


wxWindow* PaneLayout::CaptionTargetAt(const wxPoint& screenPoint, wxWindow* moving) {
    const wxPoint client = frame_->ScreenToClient(screenPoint);
    if (!wxRect(frame_->GetClientSize()).Contains(client)) return nullptr;
    wxAuiDockUIPart* part = HitTest(client.x, client.y);
    if (part == nullptr || part->type != wxAuiDockUIPart::typeCaption || part->pane == nullptr)
        return nullptr;
    wxWindow* target = part->pane->window;
    if (target == moving || !part->pane->IsDocked()) return nullptr;
    if (registered_.count(target) == 0 && GroupOf(target) == nullptr) return nullptr;
    return target;
}

bool PaneLayout::CanDockPanel(const wxAuiPaneInfo& pane) {
    // Over a caption the pane becomes a tab, not a new dock.
    if (tabTarget_ != nullptr && pane.window == dragged_) return false;
    return wxAuiManager::CanDockPanel(pane);
}

wxAuiFloatingFrame* PaneLayout::CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) {
    // A tool window of the frame, so that a window manager keeps it above the frame.
    auto* frame = new wxAuiFloatingFrame(parent, this, pane, wxID_ANY,
                                         wxRESIZE_BORDER | wxSYSTEM_MENU | wxCAPTION |
                                             wxFRAME_NO_TASKBAR | wxFRAME_FLOAT_ON_PARENT |
                                             wxFRAME_TOOL_WINDOW | wxCLIP_CHILDREN);
    wxWindow* window = pane.window;
    if (registered_.count(window) == 0) return frame;
    frame->Bind(wxEVT_MOVE, [this, window](wxMoveEvent& event) {
        event.Skip();
        if (!wxGetMouseState().LeftIsDown()) return;
        dragged_ = window;
        tabTarget_ = CaptionTargetAt(wxGetMousePosition(), window);
        if (tabTarget_ != nullptr) ShowTabHint(tabTarget_);
    });
    // Runs before the frame's own idle handler, which docks the pane when the button is up;
    // the target stays set until then, so that the pane is not docked there as well.
    frame->Bind(wxEVT_IDLE, [this, window](wxIdleEvent& event) {
        event.Skip();
        if (dragged_ != window || dropPending_ || wxGetMouseState().LeftIsDown()) return;
        dropPending_ = true;
        wxWindow* target = tabTarget_;
        CallAfter([this, window, target] {
            dropPending_ = false;
            dragged_ = nullptr;
            tabTarget_ = nullptr;
            wxAuiManager::HideHint();
            if (target != nullptr) GroupAsTabs(target, window);
        });
    });
    return frame;
}

void PaneLayout::ShowTabHint(wxWindow* target) {
    wxWindow* shown = target;
    if (TabGroup* group = GroupOf(target)) shown = group->book;
    ShowHint(shown->GetScreenRect());
}

void PaneLayout::HideHint() {
    if (tabTarget_ != nullptr) return;
    wxAuiManager::HideHint();
}


PaneLayout::Hidden* PaneLayout::HiddenOf(wxWindow* window) {
    for (Hidden& hidden : hidden_) {
        if (hidden.window == window) return &hidden;
    }
    return nullptr;
}

bool PaneLayout::IsAutoHidden(wxWindow* window) const {
    return std::any_of(hidden_.begin(), hidden_.end(),
                       [window](const Hidden& h) { return h.window == window; });
}

wxWindow* PaneLayout::SideBar(int direction) const {
    const auto bar = bars_.find(direction);
    return bar == bars_.end() ? nullptr : bar->second;
}

wxWindow* PaneLayout::BarButton(wxWindow* window) const {
    for (const Hidden& hidden : hidden_) {
        if (hidden.window == window) return hidden.button;
    }
    return nullptr;
}

void PaneLayout::OnPaneButton(wxAuiManagerEvent& event) {
    wxWindow* window = event.GetPane() != nullptr ? event.GetPane()->window : nullptr;
    if (event.GetButton() != wxAUI_BUTTON_PIN || registered_.count(window) == 0) {
        event.Skip();
        return;
    }
    // The manager is still inside its mouse handler; change the layout after it.
    CallAfter([this, window] { AutoHide(window); });
}

void PaneLayout::AutoHide(wxWindow* window) {
    const wxAuiPaneInfo& pane = GetPane(window);
    if (!pane.IsOk() || !pane.IsDocked() || SideBar(pane.dock_direction) == nullptr) return;
    Hidden hidden{window, pane, false, nullptr};
    // The size it had docked is the size it slides out with.
    hidden.info.BestSize(window->GetSize());
    DetachPane(window);
    window->Hide();
    const int side = hidden.info.dock_direction;
    auto* button = new SideBarButton(bars_[side], Registered(window), IsVertical(side));
    button->activate = [this, window] {
        if (slidOut_ != window) SlideOut(window);
    };
    hidden.button = button;
    hidden_.push_back(hidden);
    SetButtonShown(hidden_.back(), true);
    Update();
}

void PaneLayout::SetButtonShown(Hidden& hidden, bool shown) {
    hidden.shown = shown;
    wxWindow* bar = hidden.button->GetParent();
    wxSizer* sizer = bar->GetSizer();
    if (shown && sizer->GetItem(hidden.button) == nullptr) sizer->Add(hidden.button, 0, wxALL, 1);
    if (!shown && sizer->GetItem(hidden.button) != nullptr) sizer->Detach(hidden.button);
    hidden.button->Show(shown);
    bar->Layout();
    UpdateBars();
}

void PaneLayout::UpdateBars() {
    for (const auto& [side, bar] : bars_) {
        GetPane(bar).Show(!bar->GetSizer()->GetChildren().IsEmpty());
    }
}

void PaneLayout::DockAgain(wxWindow* window) {
    Hidden* hidden = HiddenOf(window);
    if (hidden == nullptr) return;
    if (slidOut_ == window) SlideBack();
    wxAuiPaneInfo info = hidden->info;
    info.Caption(Registered(window).caption).Show(hidden->shown);
    SetButtonShown(*hidden, false);
    hidden->button->Destroy();
    hidden_.erase(hidden_.begin() + (hidden - hidden_.data()));
    // Inserted, so that the panes that were behind it in its dock are behind it again.
    InsertPane(window, info, wxAUI_INSERT_PANE);
    UpdateBars();
    Update();
}

// The pane lies over the client area along its bar, in a window of its own, so the preview
// keeps its size.
void PaneLayout::SlideOut(wxWindow* window) {
    Hidden* hidden = HiddenOf(window);
    if (hidden == nullptr || !hidden->shown) return;
    SlideBack();
    // Along the inner edge of its bar, over whatever lies there, the preview included.
    const wxRect bar = hidden->button->GetParent()->GetScreenRect();
    const wxSize client = frame_->GetClientSize();
    const wxSize docked = hidden->info.best_size;
    const int width = std::min(std::max(docked.x, 150), client.x - bar.width);
    const int height = std::min(std::max(docked.y, 100), client.y - bar.height);
    wxRect rect = bar;
    switch (hidden->info.dock_direction) {
        case wxAUI_DOCK_LEFT: rect.x = bar.GetRight() + 1; rect.width = width; break;
        case wxAUI_DOCK_RIGHT: rect.x = bar.x - width; rect.width = width; break;
        case wxAUI_DOCK_TOP: rect.y = bar.GetBottom() + 1; rect.height = height; break;
        default: rect.y = bar.y - height; rect.height = height; break;
    }
    const wxAuiPaneInfo& look = Registered(window);
    holder_ = new wxFrame(frame_, wxID_ANY, look.caption, rect.GetPosition(), rect.GetSize(),
                          wxFRAME_TOOL_WINDOW | wxFRAME_NO_TASKBAR | wxFRAME_FLOAT_ON_PARENT |
                              wxBORDER_NONE);
    holderManager_ = std::make_unique<wxAuiManager>(holder_);
    window->Reparent(holder_);
    holderManager_->AddPane(window, wxAuiPaneInfo()
                                        .Name(look.name)
                                        .Caption(look.caption)
                                        .Icon(look.icon)
                                        .CenterPane()
                                        .CaptionVisible(true)
                                        .PaneBorder(true)
                                        .PinButton(true));
    holderManager_->Update();
    holderManager_->Bind(wxEVT_AUI_PANE_BUTTON, [this, window](wxAuiManagerEvent& event) {
        if (event.GetButton() != wxAUI_BUTTON_PIN) return;
        CallAfter([this, window] { DockAgain(window); });
    });
    slidOut_ = window;
    holder_->SetSize(rect);
    holder_->Show();
    window->Show();
    holder_->Raise();
    slideTimer_.Start(kSlideBackCheckMs);
}

void PaneLayout::SlideBack() {
    if (slidOut_ == nullptr) return;
    slideTimer_.Stop();
    holderManager_->DetachPane(slidOut_);
    // Takes the window out of the holder's sizer too, so another sizer may hold it.
    holderManager_->Update();
    holderManager_->UnInit();
    slidOut_->Hide();
    slidOut_->Reparent(frame_);
    holder_->Destroy();
    holder_ = nullptr;
    holderManager_.reset();
    slidOut_ = nullptr;
}

void PaneLayout::CheckSlideBack() {
    if (slidOut_ == nullptr) return;
    const wxPoint pointer = wxGetMousePosition();
    if (holder_->GetScreenRect().Contains(pointer)) return;
    if (wxWindow* button = BarButton(slidOut_); button->GetScreenRect().Contains(pointer)) return;
    for (wxWindow* focus = wxWindow::FindFocus(); focus != nullptr; focus = focus->GetParent()) {
        if (focus == holder_) return;
    }
    SlideBack();
}


// The version tag, the toolkit's perspective of the docked and floating panes, the tab
// groups ("tabs0:a,-b" where '-' marks a closed tab) and the auto-hidden panes (a '-' for
// one hidden from its bar, then the toolkit's text of where it was docked).
wxString PaneLayout::SaveLayout() {
    SlideBack();
    wxString groups;
    for (const auto& group : groups_) {
        if (!groups.empty()) groups += kEntrySeparator;
        groups += GetPane(group->book).name + ":";
        for (size_t i = 0; i < group->tabs.size(); ++i) {
            if (i > 0) groups += ",";
            if (!group->tabs[i].shown) groups += "-";
            groups += Registered(group->tabs[i].window).name;
        }
    }
    wxString hidden;
    for (const Hidden& h : hidden_) {
        if (!hidden.empty()) hidden += kEntrySeparator;
        hidden += (h.shown ? "" : "-") + SavePaneInfo(h.info);
    }
    return kLayoutTag + kFieldSeparator + SavePerspective() + kFieldSeparator + groups +
           kFieldSeparator + hidden;
}

bool PaneLayout::LoadLayout(const wxString& text) {
    const wxArrayString fields = wxSplit(text, kFieldSeparator, '\0');
    if (fields.size() != 4 || fields[0] != kLayoutTag) return false;
    const wxString& perspective = fields[1];
    if (!perspective.StartsWith("layout2|")) return false;

    // Every pane of this program exactly once; group and bar names only as placed.
    std::multiset<wxString> names;
    std::set<wxString> groupNames;
    std::vector<std::pair<wxString, std::vector<wxString>>> groups;
    for (const wxString& entry : wxSplit(fields[2], kEntrySeparator, '\0')) {
        const wxString name = entry.BeforeFirst(':');
        if (!name.StartsWith(kGroupPrefix) || !groupNames.insert(name).second) return false;
        std::vector<wxString> tabs;
        for (const wxString& tab : wxSplit(entry.AfterFirst(':'), ',', '\0')) {
            tabs.push_back(tab);
            names.insert(tab.StartsWith("-") ? tab.Mid(1) : tab);
        }
        if (tabs.size() < 2) return false;
        groups.emplace_back(name, tabs);
    }
    std::vector<std::pair<bool, wxAuiPaneInfo>> hiddenPanes;
    for (const wxString& entry : wxSplit(fields[3], kEntrySeparator, '\0')) {
        const bool shown = !entry.StartsWith("-");
        wxAuiPaneInfo info;
        LoadPaneInfo(shown ? entry : entry.Mid(1), info);
        if (SideBar(info.dock_direction) == nullptr) return false;
        names.insert(info.name);
        hiddenPanes.emplace_back(shown, info);
    }
    for (const wxString& name : PerspectivePaneNames(perspective)) {
        if (name.StartsWith(kBarPrefix) || name == "preview") continue;
        if (groupNames.erase(name) == 1) continue;
        names.insert(name);
    }
    if (!groupNames.empty() || names.size() != panes_.size()) return false;
    for (wxWindow* window : panes_) {
        if (names.count(Registered(window).name) != 1) return false;
    }

    for (const auto& [name, tabs] : groups) {
        auto window = [this](const wxString& tab) {
            return WindowNamed(tab.StartsWith("-") ? tab.Mid(1) : tab);
        };
        TabGroup* group = NewGroup(window(tabs[0]), name);
        group->tabs.front().shown = !tabs[0].StartsWith("-");
        for (size_t i = 1; i < tabs.size(); ++i) {
            DetachPane(window(tabs[i]));
            AddTab(*group, window(tabs[i]), !tabs[i].StartsWith("-"));
        }
        if (!group->tabs.front().shown) SetTabShown(*group, group->tabs.front(), false);
        group->book->SetSelection(0);
        long number = 0;
        if (name.Mid(kGroupPrefix.size()).ToLong(&number))
            nextGroup_ = std::max(nextGroup_, static_cast<int>(number) + 1);
    }
    LoadPerspective(perspective, false);
    for (auto& [shown, info] : hiddenPanes) {
        wxWindow* window = WindowNamed(info.name);
        wxAuiPaneInfo& pane = GetPane(window);
        pane.SafeSet(info);
        pane.Show();
        // Docked first, so that AutoHide reads where it was.
        if (GetPane(window).IsFloating()) GetPane(window).Dock();
        AutoHide(window);
        HiddenOf(window)->info = info;
        if (!shown) SetButtonShown(*HiddenOf(window), false);
    }
    // A saved layout carries the captions of the language it was saved in, and no icons.
    for (wxWindow* window : panes_) {
        wxAuiPaneInfo& pane = GetPane(window);
        if (pane.IsOk()) pane.Caption(Registered(window).caption).Icon(Registered(window).icon);
    }
    for (const auto& group : groups_) UpdateGroupPane(*group);
    UpdateBars();
    Update();
    return true;
}
