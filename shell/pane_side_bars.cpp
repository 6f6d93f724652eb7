#include "shell/pane_side_bars.h"

#include <algorithm>
#include <functional>
#include <utility>

#include <wx/dcbuffer.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "shell/pane_layout.h"

namespace {

constexpr int kSlideBackCheckMs = 200;
const int kSides[] = {wxAUI_DOCK_LEFT, wxAUI_DOCK_RIGHT, wxAUI_DOCK_TOP, wxAUI_DOCK_BOTTOM};

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

}  // namespace

const wxString PaneSideBars::kNamePrefix = "autohide_";

PaneSideBars::PaneSideBars(PaneLayout& layout) : layout_(layout) {
    slideTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { CheckSlideBack(); });
}

PaneSideBars::~PaneSideBars() {
    slideTimer_.Stop();
    if (holderManager_) holderManager_->UnInit();
    // The windows outlive the manager (they go with the frame); none may call back.
    for (const Hidden& hidden : hidden_)
        static_cast<SideBarButton*>(hidden.button)->activate = nullptr;
}

void PaneSideBars::AddBars(wxFrame* frame) {
    // The manager handles its own events before the frame sees them.
    layout_.Bind(wxEVT_AUI_PANE_BUTTON, &PaneSideBars::OnPaneButton, this);
    for (int side : kSides) {
        auto* bar = new wxPanel(frame, wxID_ANY);
        bar->SetSizer(new wxBoxSizer(IsVerticalSide(side) ? wxVERTICAL : wxHORIZONTAL));
        const int thickness = frame->GetCharHeight() + 8;
        bars_[side] = bar;
        layout_.AddPane(bar, wxAuiPaneInfo()
                                 .Name(kNamePrefix + wxString::Format("%d", side))
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

PaneSideBars::Hidden* PaneSideBars::HiddenOf(wxWindow* window) {
    return const_cast<Hidden*>(std::as_const(*this).HiddenOf(window));
}

const PaneSideBars::Hidden* PaneSideBars::HiddenOf(wxWindow* window) const {
    for (const Hidden& hidden : hidden_) {
        if (hidden.window == window) return &hidden;
    }
    return nullptr;
}

bool PaneSideBars::IsAutoHidden(wxWindow* window) const { return HiddenOf(window) != nullptr; }

wxWindow* PaneSideBars::SideBar(int direction) const {
    const auto bar = bars_.find(direction);
    return bar == bars_.end() ? nullptr : bar->second;
}

wxWindow* PaneSideBars::BarButton(wxWindow* window) const {
    const Hidden* hidden = HiddenOf(window);
    return hidden != nullptr ? hidden->button : nullptr;
}

void PaneSideBars::OnPaneButton(wxAuiManagerEvent& event) {
    wxWindow* window = event.GetPane() != nullptr ? event.GetPane()->window : nullptr;
    if (event.GetButton() != wxAUI_BUTTON_PIN || layout_.registered_.count(window) == 0) {
        event.Skip();
        return;
    }
    // The manager is still inside its mouse handler; change the layout after it.
    layout_.CallAfter([this, window] { AutoHide(window); });
}

void PaneSideBars::AutoHide(wxWindow* window) {
    const wxAuiPaneInfo& pane = layout_.GetPane(window);
    if (!pane.IsOk() || !pane.IsDocked() || SideBar(pane.dock_direction) == nullptr) return;
    Hidden hidden{window, pane, false, nullptr};
    // The size it had docked is the size it slides out with.
    hidden.info.BestSize(window->GetSize());
    layout_.DetachPane(window);
    window->Hide();
    const int side = hidden.info.dock_direction;
    auto* button = new SideBarButton(bars_[side], layout_.Registered(window), IsVerticalSide(side));
    button->activate = [this, window] {
        if (slidOut_ != window) SlideOut(window);
    };
    hidden.button = button;
    hidden_.push_back(hidden);
    SetButtonShown(hidden_.back(), true);
    layout_.Relayout();
}

void PaneSideBars::SetButtonShown(Hidden& hidden, bool shown) {
    hidden.shown = shown;
    wxWindow* bar = hidden.button->GetParent();
    wxSizer* sizer = bar->GetSizer();
    if (shown && sizer->GetItem(hidden.button) == nullptr) sizer->Add(hidden.button, 0, wxALL, 1);
    if (!shown && sizer->GetItem(hidden.button) != nullptr) sizer->Detach(hidden.button);
    hidden.button->Show(shown);
    bar->Layout();
    UpdateBars();
}

void PaneSideBars::UpdateBars() {
    for (const auto& [side, bar] : bars_) {
        layout_.GetPane(bar).Show(!bar->GetSizer()->GetChildren().IsEmpty());
    }
}

void PaneSideBars::DockAgain(wxWindow* window) {
    Hidden* hidden = HiddenOf(window);
    if (hidden == nullptr) return;
    if (slidOut_ == window) SlideBack();
    wxAuiPaneInfo info = hidden->info;
    info.Caption(layout_.Registered(window).caption).Show(hidden->shown);
    SetButtonShown(*hidden, false);
    hidden->button->Destroy();
    hidden_.erase(hidden_.begin() + (hidden - hidden_.data()));
    // Inserted, so that the panes that were behind it in its dock are behind it again.
    layout_.InsertPane(window, info, wxAUI_INSERT_PANE);
    UpdateBars();
    layout_.Relayout();
}

// The pane lies over the client area along its bar, in a window of its own, so the preview
// keeps its size.
void PaneSideBars::SlideOut(wxWindow* window) {
    Hidden* hidden = HiddenOf(window);
    if (hidden == nullptr || !hidden->shown) return;
    SlideBack();
    // Along the inner edge of its bar, over whatever lies there, the preview included.
    const wxRect bar = hidden->button->GetParent()->GetScreenRect();
    const wxSize client = layout_.frame_->GetClientSize();
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
    const wxAuiPaneInfo& look = layout_.Registered(window);
    holder_ = new wxFrame(layout_.frame_, wxID_ANY, look.caption, rect.GetPosition(),
                          rect.GetSize(),
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
        layout_.CallAfter([this, window] { DockAgain(window); });
    });
    slidOut_ = window;
    holder_->SetSize(rect);
    holder_->Show();
    window->Show();
    holder_->Raise();
    slideTimer_.Start(kSlideBackCheckMs);
}

void PaneSideBars::SlideBack() {
    if (slidOut_ == nullptr) return;
    slideTimer_.Stop();
    holderManager_->DetachPane(slidOut_);
    // Takes the window out of the holder's sizer too, so another sizer may hold it.
    holderManager_->Update();
    holderManager_->UnInit();
    slidOut_->Hide();
    slidOut_->Reparent(layout_.frame_);
    holder_->Destroy();
    holder_ = nullptr;
    holderManager_.reset();
    slidOut_ = nullptr;
}

void PaneSideBars::CheckSlideBack() {
    if (slidOut_ == nullptr) return;
    const wxPoint pointer = wxGetMousePosition();
    if (holder_->GetScreenRect().Contains(pointer)) return;
    if (wxWindow* button = BarButton(slidOut_); button->GetScreenRect().Contains(pointer)) return;
    for (wxWindow* focus = wxWindow::FindFocus(); focus != nullptr; focus = focus->GetParent()) {
        if (focus == holder_) return;
    }
    SlideBack();
}
