#include "shell/pane_drag.h"

#include <algorithm>
#include <utility>

#include <wx/aui/auibook.h>
#include <wx/aui/dockart.h>
#include <wx/aui/floatpane.h>
#include <wx/frame.h>

#include "shell/pane_layout.h"
#include "shell/pane_side_bars.h"
#include "shell/pane_tabs.h"

namespace {

// How often a drag of a floating pane looks whether the button is up.
constexpr int kDropCheckMs = 40;
// A pointer this far inside the client area's edge, or outside it, docks on that side.
constexpr int kEdgeInside = 32;
constexpr int kEdgeOutside = 24;

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

}  // namespace

PaneDrag::PaneDrag(PaneLayout& layout) : layout_(layout) {
    dropTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (dragged_ != nullptr && !wxGetMouseState().LeftIsDown())
            Track(dragged_, wxGetMousePosition(), false);
    });
}

PaneDrag::~PaneDrag() { dropTimer_.Stop(); }

wxAuiFloatingFrame* PaneDrag::NewFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) {
    return new FloatingPaneFrame(parent, &layout_, pane);
}

void PaneDrag::Track(wxWindow* window, const wxPoint& screenPoint, bool down) {
    if (!down) {
        if (dragged_ != window) return;
        wxWindow* target = tabTarget_;
        const int side = dropSide_;
        EndDrag();
        // The floating frame may be inside its own handler; it goes with the drop.
        layout_.CallAfter([this, window, target, side] {
            if (target != nullptr && layout_.IsOurs(target))
                layout_.GroupAsTabs(target, window);
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
        layout_.ShowHint(SideHint(window, dropSide_));
    else
        layout_.wxAuiManager::HideHint();
    if (!dropTimer_.IsRunning()) dropTimer_.Start(kDropCheckMs);
}

bool PaneDrag::KeepsHint() const {
    return dragged_ != nullptr && (tabTarget_ != nullptr || dropSide_ != wxAUI_DOCK_NONE);
}

void PaneDrag::EndDrag() {
    dropTimer_.Stop();
    dragged_ = nullptr;
    tabTarget_ = nullptr;
    dropSide_ = wxAUI_DOCK_NONE;
    layout_.wxAuiManager::HideHint();
}

wxWindow* PaneDrag::CaptionTargetAt(const wxPoint& screenPoint, wxWindow* moving) {
    wxFrame* frame = layout_.frame_;
    const wxPoint client = frame->ScreenToClient(screenPoint);
    if (!wxRect(frame->GetClientSize()).Contains(client)) return nullptr;
    wxAuiDockUIPart* part = layout_.HitTest(client.x, client.y);
    if (part == nullptr || part->type != wxAuiDockUIPart::typeCaption || part->pane == nullptr)
        return nullptr;
    wxWindow* target = part->pane->window;
    if (target == moving || !part->pane->IsDocked()) return nullptr;
    return layout_.IsOurs(target) ? target : nullptr;
}

int PaneDrag::SideAt(const wxPoint& screenPoint) const {
    wxFrame* frame = layout_.frame_;
    const wxRect client(frame->ClientToScreen(wxPoint(0, 0)), frame->GetClientSize());
    if (!wxRect(client).Inflate(kEdgeOutside).Contains(screenPoint)) return wxAUI_DOCK_NONE;
    const std::pair<int, int> distances[] = {
        {screenPoint.x - client.x, wxAUI_DOCK_LEFT},
        {client.GetRight() - screenPoint.x, wxAUI_DOCK_RIGHT},
        {screenPoint.y - client.y, wxAUI_DOCK_TOP},
        {client.GetBottom() - screenPoint.y, wxAUI_DOCK_BOTTOM}};
    const auto nearest = *std::min_element(std::begin(distances), std::end(distances));
    return nearest.first <= kEdgeInside ? nearest.second : wxAUI_DOCK_NONE;
}

wxRect PaneDrag::SideHint(wxWindow* window, int side) const {
    wxFrame* frame = layout_.frame_;
    const wxRect client(frame->ClientToScreen(wxPoint(0, 0)), frame->GetClientSize());
    wxAuiPaneInfo& pane = layout_.GetPane(window);
    const wxSize floating = pane.frame != nullptr ? pane.frame->GetClientSize() : pane.best_size;
    wxRect rect = client;
    if (IsVerticalSide(side)) {
        rect.width = std::clamp(floating.x, std::max(pane.min_size.x, 50), client.width / 3);
        if (side == wxAUI_DOCK_RIGHT) rect.x = client.GetRight() + 1 - rect.width;
    } else {
        rect.height = std::clamp(floating.y, std::max(pane.min_size.y, 50), client.height / 3);
        if (side == wxAUI_DOCK_BOTTOM) rect.y = client.GetBottom() + 1 - rect.height;
    }
    return rect;
}

// Outside every dock there is, as the hint showed it.
void PaneDrag::DockAtSide(wxWindow* window, int side) {
    wxAuiPaneInfo& pane = layout_.GetPane(window);
    if (!pane.IsOk() || !pane.IsFloating()) return;
    const wxRect hint = SideHint(window, side);
    int outer = -1;
    wxAuiPaneInfoArray& panes = layout_.GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        if (panes[i].IsDocked() && panes[i].IsShown() &&
            !panes[i].name.StartsWith(PaneSideBars::kNamePrefix) &&
            !(panes[i].dock_direction == wxAUI_DOCK_CENTER))
            outer = std::max(outer, panes[i].dock_layer);
    }
    pane.Dock().Direction(side).Layer(outer + 1).Row(0).Position(0).BestSize(hint.GetSize());
    layout_.Relayout();
}

void PaneDrag::DockBack(wxWindow* window) {
    wxAuiPaneInfo& pane = layout_.GetPane(window);
    if (!pane.IsOk() || !pane.IsFloating()) return;
    // Floating kept the place it was docked in.
    pane.Dock();
    layout_.Relayout();
}

void PaneDrag::ShowTabHint(wxWindow* target) {
    wxWindow* shown = target;
    if (PaneTabs::Group* group = layout_.tabs_->GroupOf(target)) shown = group->book;
    layout_.ShowHint(shown->GetScreenRect());
}
