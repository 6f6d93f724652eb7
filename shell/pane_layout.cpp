#include "shell/pane_layout.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <set>
#include <tuple>

#include <wx/aui/auibook.h>
#include <wx/aui/dockart.h>
#include <wx/aui/floatpane.h>
#include <wx/dcbuffer.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/tokenzr.h>

namespace {

// The first field of a saved layout; a layout of any other version is not read. The first
// version lacks the client size the layout was saved with.
const wxString kLayoutTag = "ZentrikLayout2";
const wxString kLayoutTagWithoutSize = "ZentrikLayout1";
// Fields of a saved layout; the toolkit's perspectives use neither character.
constexpr wxChar kFieldSeparator = '#';
constexpr wxChar kEntrySeparator = '&';
const wxString kGroupPrefix = "tabs";
const wxString kBarPrefix = "autohide_";
constexpr int kSlideBackCheckMs = 200;
// How often a drag of a floating pane looks whether the button is up.
constexpr int kDropCheckMs = 40;
// A pointer this far inside the client area's edge, or outside it, docks on that side.
constexpr int kEdgeInside = 32;
constexpr int kEdgeOutside = 24;

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

// The floating frame's caption, drag and buttons are drawn and handled by the program, so
// that a pane can be moved and docked back alike under any window manager or none: the
// window manager's own title bar takes double-clicks for itself and moves the window
// without the button events.
#if !wxCHECK_VERSION(3, 2, 0) || wxCHECK_VERSION(3, 3, 0)
#error "the floating pane frame relies on wxAuiFloatingFrame of wxWidgets 3.2; check it again"
#endif
class FloatingPaneFrame : public wxAuiFloatingFrame {
public:
    FloatingPaneFrame(wxWindow* parent, PaneLayout* owner, const wxAuiPaneInfo& pane)
        : wxAuiFloatingFrame(parent, owner, pane, wxID_ANY,
                             wxRESIZE_BORDER | wxFRAME_NO_TASKBAR | wxFRAME_FLOAT_ON_PARENT |
                                 wxFRAME_TOOL_WINDOW | wxCLIP_CHILDREN),
          owner_(owner), window_(pane.window) {
        mouse_.Bind(wxEVT_LEFT_DOWN, &FloatingPaneFrame::OnLeftDown, this);
        mouse_.Bind(wxEVT_LEFT_DCLICK, &FloatingPaneFrame::OnDoubleClick, this);
        mouse_.Bind(wxEVT_MOTION, &FloatingPaneFrame::OnMotion, this);
        mouse_.Bind(wxEVT_LEFT_UP, &FloatingPaneFrame::OnLeftUp, this);
        mouse_.Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { EndMove(); });
        // Above the inner manager, which would take the caption's clicks.
        PushEventHandler(&mouse_);
        // Moved by the toolkit's own drag (a docked pane torn off); a move of ours reports
        // itself, as its events may be handled after the button is up.
        Bind(wxEVT_MOVE, [this](wxMoveEvent& event) {
            event.Skip();
            if (moving_) return;
            owner_->TrackFloatingDrag(window_, wxGetMousePosition(),
                                      wxGetMouseState().LeftIsDown());
        });
    }
    ~FloatingPaneFrame() override { RemoveEventHandler(&mouse_); }

    // The toolkit gives the frame its pane only after creating it, and shows it after that.
    bool Show(bool show = true) override {
        if (show && !dressed_) Dress();
        return wxAuiFloatingFrame::Show(show);
    }

private:
    void Dress() {
        dressed_ = true;
        wxAuiManager& inner = GetAuiManager();
        wxAuiPaneInfo& pane = inner.GetPane(window_);
        if (!pane.IsOk()) return;
        // Only the close button: the inner manager must neither float nor move the pane.
        pane.CaptionVisible(true)
            .PaneBorder(true)
            .PinButton(false)
            .CloseButton(true)
            .MaximizeButton(false)
            .Floatable(false)
            .Movable(false)
            .Dockable(false);
        inner.Update();
        inner.Bind(wxEVT_AUI_PANE_BUTTON, [this](wxAuiManagerEvent& event) {
            if (event.GetButton() != wxAUI_BUTTON_CLOSE) return;
            wxWindow* window = window_;
            PaneLayout* owner = owner_;
            owner->CallAfter([owner, window] { owner->ShowPane(window, false); });
        });
        // Small enough to tuck away, never so small that its caption and text are lost.
        // The caption and borders around the pane, as just laid out.
        const wxSize min = owner_->GetPane(window_).min_size;
        if (min.IsFullySpecified())
            SetMinClientSize(min + GetClientSize() - window_->GetSize());
    }

    // The caption, less its buttons at the right end, in client coordinates.
    bool OnCaption(const wxPoint& client) {
        wxAuiDockArt* art = GetAuiManager().GetArtProvider();
        const int caption = art->GetMetric(wxAUI_DOCKART_CAPTION_SIZE);
        const int button = art->GetMetric(wxAUI_DOCKART_PANE_BUTTON_SIZE);
        const wxRect pane = window_->GetRect();
        const wxRect bar(pane.x, pane.y - caption - 1, pane.width - button - 4, caption + 1);
        return bar.Contains(client);
    }
    void OnLeftDown(wxMouseEvent& event) {
        if (!OnCaption(event.GetPosition())) {
            event.Skip();
            return;
        }
        grab_ = wxGetMousePosition() - GetPosition();
        moving_ = true;
        CaptureMouse();
    }
    void OnMotion(wxMouseEvent& event) {
        if (!moving_) {
            event.Skip();
            return;
        }
        // From the pointer itself: a window manager places the window after the event.
        Move(wxGetMousePosition() - grab_);
        owner_->TrackFloatingDrag(window_, wxGetMousePosition(), true);
    }
    void OnLeftUp(wxMouseEvent& event) {
        if (!moving_) {
            event.Skip();
            return;
        }
        EndMove();
        owner_->TrackFloatingDrag(window_, wxGetMousePosition(), false);
    }
    void OnDoubleClick(wxMouseEvent& event) {
        if (!OnCaption(event.GetPosition())) {
            event.Skip();
            return;
        }
        EndMove();
        wxWindow* window = window_;
        PaneLayout* owner = owner_;
        // This frame goes when the pane docks: not from inside its own handler.
        owner->CallAfter([owner, window] { owner->DockBack(window); });
    }
    void EndMove() {
        moving_ = false;
        if (HasCapture()) ReleaseMouse();
    }

    PaneLayout* owner_;
    wxWindow* window_;
    wxEvtHandler mouse_;
    wxPoint grab_;
    bool moving_ = false;
    bool dressed_ = false;
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

// "key=value" of one ';'-separated field of a perspective entry, or "" without it.
wxString EntryField(const wxString& entry, const wxString& key) {
    for (const wxString& field : wxSplit(entry, ';', '\0')) {
        if (field.StartsWith(key + "=")) return field.Mid(key.size() + 1);
    }
    return wxString();
}

}  // namespace

wxString FitDockSizes(const wxString& perspective, const wxSize& saved, const wxSize& current,
                      const wxSize& centreMin, const wxSize& dockMin) {
    wxArrayString entries = wxSplit(perspective, '|', '\0');
    // The side bars keep their own thickness.
    std::set<wxString> fixedDocks;
    for (const wxString& entry : entries) {
        if (!entry.StartsWith("name=" + kBarPrefix)) continue;
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
        const wxString& entry = entries[i];
        long size = 0;
        if (!entry.StartsWith("dock_size(") || !entry.AfterFirst('=').ToLong(&size)) continue;
        const wxString place = entry.AfterFirst('(').BeforeFirst(')');
        if (fixedDocks.count(place) != 0) continue;
        long direction = 0;
        if (!place.BeforeFirst(',').ToLong(&direction)) continue;
        docks.push_back({i, place, IsVertical(static_cast<int>(direction)),
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

PaneLayout::PaneLayout() : dropTimer_(this), slideTimer_(this) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { CheckSlideBack(); }, slideTimer_.GetId());
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (dragged_ != nullptr && !wxGetMouseState().LeftIsDown())
            TrackFloatingDrag(dragged_, wxGetMousePosition(), false);
    }, dropTimer_.GetId());
}

PaneLayout::~PaneLayout() {
    slideTimer_.Stop();
    dropTimer_.Stop();
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
    // A smaller frame takes its room from the docks, never all of it from the centre; the
    // manager has laid the frame out by the time this handler runs.
    frame->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        const bool refitted = RefitLoadedLayout();
        if (refitted) Update();
        if (FitDocksToClient()) Update();
        if (refitted) fitted_ = DockSizes();
    });
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
                         .Layer(1)
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

void PaneLayout::AddCentrePane(wxWindow* window, const wxString& name, const wxSize& minSize) {
    centre_ = window;
    centreMin_ = minSize;
    window->SetMinSize(minSize);
    AddPane(window, wxAuiPaneInfo().Name(name).CenterPane().MinSize(minSize));
}

bool PaneLayout::IsOurs(wxWindow* window) const {
    if (registered_.count(window) != 0) return true;
    return std::any_of(groups_.begin(), groups_.end(),
                       [window](const auto& group) { return group->book == window; });
}

void PaneLayout::Relayout() {
    // The toolkit gives a pane dropped on an outer edge a new outermost layer; the bars
    // must lie beyond it.
    int outer = 0;
    wxAuiPaneInfoArray& panes = GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        if (panes[i].IsDocked() && !panes[i].name.StartsWith(kBarPrefix))
            outer = std::max(outer, panes[i].dock_layer);
    }
    for (const auto& [side, bar] : bars_) GetPane(bar).Layer(outer + 1);
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
        if (IsVertical(pane.dock_direction)) {
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
        if (IsVertical(std::get<0>(place))) {
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
        const bool vertical = IsVertical(dock.dock_direction);
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
        if (dock.fixed || !IsVertical(dock.dock_direction)) continue;
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
                IsVertical(dock.dock_direction) != vertical)
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
    Relayout();
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
    TabGroup* group = GroupOf(BookOfEvent(event));
    if (group == nullptr) return;
    UpdateGroupPane(*group);
    // The captions are drawn on the frame, which nothing else repaints here.
    Update();
    frame_->Refresh(false);
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
    Relayout();
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
    Relayout();
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
    // Where our panes land is TrackFloatingDrag's alone; the toolkit's own drop would also
    // run from the floating frame's idle time, in an order it does not promise.
    if (IsOurs(pane.window)) return false;
    return wxAuiManager::CanDockPanel(pane);
}

wxAuiFloatingFrame* PaneLayout::CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) {
    return new FloatingPaneFrame(parent, this, pane);
}

void PaneLayout::TrackFloatingDrag(wxWindow* window, const wxPoint& screenPoint, bool down) {
    if (!down) {
        if (dragged_ != window) return;
        wxWindow* target = tabTarget_;
        const int side = dropSide_;
        EndDrag();
        // The floating frame may be inside its own handler; it goes with the drop.
        CallAfter([this, window, target, side] {
            if (target != nullptr && IsOurs(target))
                GroupAsTabs(target, window);
            else if (side != wxAUI_DOCK_NONE)
                DockAtSide(window, side);
        });
        return;
    }
    dragged_ = window;
    tabTarget_ = CaptionTargetAt(screenPoint, window);
    dropSide_ = tabTarget_ != nullptr ? wxAUI_DOCK_NONE : SideAt(screenPoint);
    if (tabTarget_ != nullptr)
        ShowTabHint(tabTarget_);
    else if (dropSide_ != wxAUI_DOCK_NONE)
        ShowHint(SideHint(window, dropSide_));
    else
        wxAuiManager::HideHint();
    if (!dropTimer_.IsRunning()) dropTimer_.Start(kDropCheckMs);
}

void PaneLayout::EndDrag() {
    dropTimer_.Stop();
    dragged_ = nullptr;
    tabTarget_ = nullptr;
    dropSide_ = wxAUI_DOCK_NONE;
    wxAuiManager::HideHint();
}

int PaneLayout::SideAt(const wxPoint& screenPoint) const {
    const wxRect client(frame_->ClientToScreen(wxPoint(0, 0)), frame_->GetClientSize());
    if (!wxRect(client).Inflate(kEdgeOutside).Contains(screenPoint)) return wxAUI_DOCK_NONE;
    const std::pair<int, int> distances[] = {
        {screenPoint.x - client.x, wxAUI_DOCK_LEFT},
        {client.GetRight() - screenPoint.x, wxAUI_DOCK_RIGHT},
        {screenPoint.y - client.y, wxAUI_DOCK_TOP},
        {client.GetBottom() - screenPoint.y, wxAUI_DOCK_BOTTOM}};
    const auto nearest = *std::min_element(std::begin(distances), std::end(distances));
    return nearest.first <= kEdgeInside ? nearest.second : wxAUI_DOCK_NONE;
}

wxRect PaneLayout::SideHint(wxWindow* window, int side) const {
    const wxRect client(frame_->ClientToScreen(wxPoint(0, 0)), frame_->GetClientSize());
    wxAuiPaneInfo& pane = const_cast<PaneLayout*>(this)->GetPane(window);
    const wxSize floating = pane.frame != nullptr ? pane.frame->GetClientSize() : pane.best_size;
    wxRect rect = client;
    if (IsVertical(side)) {
        rect.width = std::clamp(floating.x, std::max(pane.min_size.x, 50), client.width / 3);
        if (side == wxAUI_DOCK_RIGHT) rect.x = client.GetRight() + 1 - rect.width;
    } else {
        rect.height = std::clamp(floating.y, std::max(pane.min_size.y, 50), client.height / 3);
        if (side == wxAUI_DOCK_BOTTOM) rect.y = client.GetBottom() + 1 - rect.height;
    }
    return rect;
}

// Outside every dock there is, as the hint showed it.
void PaneLayout::DockAtSide(wxWindow* window, int side) {
    wxAuiPaneInfo& pane = GetPane(window);
    if (!pane.IsOk() || !pane.IsFloating()) return;
    const wxRect hint = SideHint(window, side);
    int outer = -1;
    wxAuiPaneInfoArray& panes = GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        if (panes[i].IsDocked() && panes[i].IsShown() && !panes[i].name.StartsWith(kBarPrefix) &&
            !(panes[i].dock_direction == wxAUI_DOCK_CENTER))
            outer = std::max(outer, panes[i].dock_layer);
    }
    GetPane(window).Dock().Direction(side).Layer(outer + 1).Row(0).Position(0).BestSize(hint.GetSize());
    Relayout();
}

void PaneLayout::DockBack(wxWindow* window) {
    wxAuiPaneInfo& pane = GetPane(window);
    if (!pane.IsOk() || !pane.IsFloating()) return;
    // Floating kept the place it was docked in.
    pane.Dock();
    Relayout();
}

void PaneLayout::ShowTabHint(wxWindow* target) {
    wxWindow* shown = target;
    if (TabGroup* group = GroupOf(target)) shown = group->book;
    ShowHint(shown->GetScreenRect());
}

void PaneLayout::HideHint() {
    // The toolkit hides the hint on every move it does not dock on; ours stays.
    if (dragged_ != nullptr && (tabTarget_ != nullptr || dropSide_ != wxAUI_DOCK_NONE)) return;
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
    Relayout();
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
    Relayout();
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
    const wxSize client = frame_->GetClientSize();
    return kLayoutTag + kFieldSeparator + SavePerspective() + kFieldSeparator + groups +
           kFieldSeparator + hidden + kFieldSeparator +
           wxString::Format("%dx%d", client.x, client.y);
}

bool PaneLayout::LoadLayout(const wxString& text) {
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
    const wxString perspective =
        FitDockSizes(fields[1], saved, frame_->GetClientSize(), centreMin_, LeastDockSize());

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
        if (name.StartsWith(kBarPrefix) || name == pane_names::kPreview) continue;
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
    // A display that is gone, or a smaller one, leaves no floating pane out of reach.
    wxAuiPaneInfoArray& all = GetAllPanes();
    for (size_t i = 0; i < all.GetCount(); ++i) {
        wxAuiPaneInfo& pane = all[i];
        if (!pane.IsFloating() || !pane.floating_size.IsFullySpecified()) continue;
        const wxRect rect(pane.floating_pos, pane.floating_size);
        int display = wxDisplay::GetFromPoint(rect.GetTopLeft());
        if (display == wxNOT_FOUND) display = wxDisplay::GetFromWindow(frame_);
        const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetClientArea();
        if (area.Contains(rect)) continue;
        const wxRect moved = MovedOnto(rect, area);
        pane.FloatingPosition(moved.GetPosition()).FloatingSize(moved.GetSize());
    }
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
    Relayout();
    if (FitDocksToClient()) Update();
    // A layout of the first version has no client size to fit from again.
    loaded_ = saved.x > 0 ? fields[1] : wxString();
    loadedClient_ = saved;
    fitted_ = DockSizes();
    return true;
}

wxSize PaneLayout::LeastDockSize() const {
    wxSize least(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    for (wxWindow* window : panes_) {
        least.x = std::min(least.x, Registered(window).min_size.x);
        least.y = std::min(least.y, Registered(window).min_size.y);
    }
    least.IncTo(wxSize(0, 0));
    return least;
}

std::map<wxString, int> PaneLayout::DockSizes() const {
    std::map<wxString, int> sizes;
    for (size_t i = 0; i < m_docks.GetCount(); ++i) {
        const wxAuiDockInfo& dock = m_docks[i];
        if (dock.fixed || dock.panes.IsEmpty() || dock.dock_direction == wxAUI_DOCK_CENTER)
            continue;
        sizes[wxString::Format("%d,%d,%d", dock.dock_direction, dock.dock_layer, dock.dock_row)] =
            dock.size;
    }
    return sizes;
}

bool PaneLayout::RefitLoadedLayout() {
    if (loaded_.empty()) return false;
    // A sash dragged, a pane docked elsewhere: the layout is the user's now.
    if (DockSizes() != fitted_) {
        loaded_.clear();
        return false;
    }
    const wxString fitted = FitDockSizes(loaded_, loadedClient_, frame_->GetClientSize(),
                                         centreMin_, LeastDockSize());
    for (const wxString& entry : wxSplit(fitted, '|', '\0')) {
        long size = 0;
        if (!entry.StartsWith("dock_size(") || !entry.AfterFirst('=').ToLong(&size)) continue;
        const wxString place = entry.AfterFirst('(').BeforeFirst(')');
        for (size_t i = 0; i < m_docks.GetCount(); ++i) {
            wxAuiDockInfo& dock = m_docks[i];
            if (!dock.fixed && place == wxString::Format("%d,%d,%d", dock.dock_direction,
                                                         dock.dock_layer, dock.dock_row))
                dock.size = static_cast<int>(size);
        }
    }
    return true;
}
