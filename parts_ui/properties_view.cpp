#include "parts_ui/properties_view.h"

#include <algorithm>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>
#include <wx/toolbar.h>

#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/property_model.h"
#include "resources/string_ids.h"
#include "widget/controls.h"

namespace {

// The expand-all button: a plus sign, 16 x 15 like the rest of the program's tools.
wxBitmap ExpandAllBitmap() {
    wxBitmap bitmap(16, 15);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(3, 2, 11, 11);
    dc.DrawLine(5, 7, 12, 7);
    dc.DrawLine(8, 4, 8, 11);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

}  // namespace

PropertiesView::PropertiesView(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    using parts_ui::LoadText;
    save_ = new widget::WButton(this, wxID_ANY, LoadText(resources::IDS_PROPERTIES_SAVE));
    reset_ = new widget::WButton(this, wxID_ANY, LoadText(resources::IDS_PROPERTIES_RESET));
    preview_ = new widget::WButton(this, wxID_ANY, LoadText(resources::IDS_PROPERTIES_PREVIEW));
    save_->clicked.connect([this] { Save(); });
    reset_->clicked.connect([this] { Reset(); });
    preview_->clicked.connect([this] { Preview(); });

    grid_ = new PartPropertyGridCtrl(this, wxID_ANY);
    UpdateFont();
    // The grid shows no header; modified values are drawn bold by the toolkit's grid.

    toolBar_ = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER);
    toolBar_->SetToolBitmapSize(wxSize(16, 15));
    toolBar_->AddTool(kExpandAllCommand, wxEmptyString, ExpandAllBitmap());
    toolBar_->Realize();
    toolBar_->Bind(wxEVT_TOOL, &PropertiesView::OnExpandAll, this, kExpandAllCommand);

    // Typing into a cell already enables Save and Reset, before Enter.
    Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        event.Skip();
        UpdateControls();
    });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        AdjustLayout();
    });
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
        event.Skip();
        grid_->SetFocus();
    });
    UpdateControls();
    AdjustLayout();
}

// GTK sends no change of the menu font, so the font is set once, at creation.
void PropertiesView::UpdateFont() {
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    grid_->SetFont(font);
    save_->SetFont(font);
    reset_->SetFont(font);
    preview_->SetFont(font);
}

void PropertiesView::AdjustLayout() {
    if (grid_ == nullptr || toolBar_ == nullptr) return;
    const wxSize client = GetClientSize();
    // GTK cannot draw a control narrower than its minimum and complains on standard error;
    // in a narrow pane (the first layout of a frame placed by a window manager is one) the
    // controls keep their minimum width and are clipped instead.
    const int least = std::max({save_->GetBestSize().x, reset_->GetBestSize().x,
                                preview_->GetBestSize().x});
    const int w = std::max(client.x / 3, least);
    save_->SetSize(0, 0, w, kButtonRowHeight);
    reset_->SetSize(w, 0, w, kButtonRowHeight);
    preview_->SetSize(2 * w, 0, std::max(client.x - 2 * w, least), kButtonRowHeight);
    preview_->Enable();
    const int rowHeight = save_->GetSize().y;
    // The tool bar's natural height: its size before it is first shown is only the toolkit's
    // placeholder, a few pixels that hide the button.
    const wxSize toolBest = toolBar_->GetBestSize();
    const int toolHeight = toolBest.y;
    toolBar_->SetSize(0, rowHeight, std::max(client.x, toolBest.x), toolHeight);
    grid_->SetSize(0, rowHeight + toolHeight, client.x,
                   std::max(0, client.y - rowHeight - toolHeight));
}

void PropertiesView::SetModel(std::shared_ptr<widget::WTreeItemModel> model) {
    // Only the model shown marks the pane modified; an earlier one may still be alive.
    modelConnections_.clear();
    modelConnections_.emplace_back(
        model->dataChanged.connect([this](widget::WTreeItem*) { OnModelDataChanged(); }));
    grid_->gridModel = std::move(model);
    grid_->Rebuild();
    grid_->Refresh();
    modified_ = grid_->IsModified();
    UpdateControls();
}

void PropertiesView::OnModelDataChanged() {
    modified_ = grid_->IsModified();
    UpdateControls();
}

bool PropertiesView::EditPending() const {
    return grid_->GetEditorControl() != nullptr && grid_->IsEditorsValueModified();
}

void PropertiesView::UpdateControls() {
    const bool changed = modified_ || EditPending();
    save_->Enable(changed);
    reset_->Enable(changed);
    preview_->Enable();
}

bool PropertiesView::IsModified() {
    const bool finished = grid_->FinishEdit();
    return modified_ || !finished;
}

void PropertiesView::Preview() {
    if (grid_->FinishEdit()) Changed();
}

void PropertiesView::Reset() {
    grid_->CancelEdit();
    wxPGProperty* root = grid_->GetRoot();
    for (unsigned i = 0; i < root->GetChildCount(); ++i)
        grid_->RestoreModifiedProperty(root->Item(i));
    grid_->ResetOriginalValues();
    modified_ = false;
    UpdateControls();
    Changed();
}

bool PropertiesView::Save() {
    if (!grid_->FinishEdit()) return false;
    const boost::optional<bool> saved = SaveRequested();
    if (!saved || !*saved) return false;
    wxPGProperty* root = grid_->GetRoot();
    for (unsigned i = 0; i < root->GetChildCount(); ++i)
        grid_->CommitModifiedProperty(root->Item(i));
    Reset();
    return true;
}

void PropertiesView::OnExpandAll(wxCommandEvent&) { grid_->ExpandAll(); }
