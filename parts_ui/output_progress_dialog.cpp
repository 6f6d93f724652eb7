#include "parts_ui/output_progress_dialog.h"

#include <utility>

#include <wx/button.h>
#include <wx/sizer.h>

#include "parts_ui/export_job.h"
#include "parts_ui/output_resistance_dialog.h"
#include "platform/gtk_window.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "widget/ui_thread.h"

namespace parts_ui {

namespace {

std::wstring ValueText(const std::shared_ptr<widget::WTreeItem>& item) {
    if (!item || item->value.IsEmpty()) return std::wstring();
    try {
        if (item->value.Type() == widget::VT_BSTR) return item->value.Bstr();
        return item->value.ChangeType(widget::VT_BSTR).Bstr();
    } catch (const widget::ComError&) {
        return std::wstring();
    }
}

}  // namespace

// A caption but no system menu, hence no close box, nor any other button on the title bar.
OutputProgressDialog::OutputProgressDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString(resources::LoadText(resources::IDS_OUTPUT_VIEW)), wxDefaultPosition,
               wxDefaultSize, wxCAPTION) {
    platform::TitleBarWithoutButtons(GetHandle());
    SetSize(ConvertDialogToPixels(wxSize(351, 153)));
    listView = new widget::WListView(this, wxID_ANY);
    listView->SetFitColumnsToTexts(true);
    okButton = new wxButton(this, wxID_OK);
    okButton->SetDefault();

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(listView, 1, wxEXPAND | wxALL, 7);
    sizer->Add(okButton, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 7);
    SetSizer(sizer);
    Layout();

    Bind(wxEVT_INIT_DIALOG, &OutputProgressDialog::OnInitDialog, this);
    listView->Bind(wxEVT_LIST_ITEM_ACTIVATED, &OutputProgressDialog::OnListDoubleClick, this);
    // A window manager can close a dialog that has no close box.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (running_ && event.CanVeto()) {
            event.Veto();
            return;
        }
        event.Skip();
    });
    // A window manager can still minimise it by a key of its own. A modal dialog minimised
    // where no task bar lists it leaves the program looking hung, so it comes straight back.
    Bind(wxEVT_ICONIZE, [this](wxIconizeEvent& event) {
        if (event.IsIconized()) CallAfter([this] { Iconize(false); });
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (running_ && (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)) return;
        event.Skip();
    });
    for (const int id : {wxID_OK, wxID_CANCEL}) {
        Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) {
            if (!running_) event.Skip();
        }, id);
    }
}

OutputProgressDialog::~OutputProgressDialog() {
    if (worker_.joinable()) worker_.join();
}

void OutputProgressDialog::AddJob(std::function<void()> job) { jobs_.push_back(std::move(job)); }

void OutputProgressDialog::OnInitDialog(wxInitDialogEvent& event) {
    event.Skip();
    // The jobs run once, on the first showing.
    if (worker_.joinable()) return;
    okButton->Disable();
    listView->Rebuild();
    running_ = true;
    worker_ = std::thread([this] { RunJobs(); });
}

void OutputProgressDialog::RunJobs() {
    while (!jobs_.empty()) {
        try {
            jobs_.front()();
        } catch (...) {
            // A job that fails must not keep the dialog from being closed.
        }
        jobs_.pop_front();
    }
    widget::RunOnUiThread(this, [this] {
        running_ = false;
        okButton->Enable();
    });
}

std::shared_ptr<widget::WTreeItem> OutputProgressDialog::GetSelectedItem(
    const widget::WListView& list, int column) {
    const long row = list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row < 0 || !list.listModel) return nullptr;
    return list.listModel->root->Child(static_cast<int>(row), column);
}

std::wstring OutputProgressDialog::GetSelectedPartName(const widget::WListView& list) {
    const auto item = GetSelectedItem(list, kProgressPartName);
    return item ? item->text : std::wstring();
}

void OutputProgressDialog::OnListDoubleClick(wxListEvent&) {
    const std::wstring state = ValueText(GetSelectedItem(*listView, kProgressState));
    const std::wstring message = ValueText(GetSelectedItem(*listView, kProgressMessage));
    if (state != resources::LoadText(resources::IDS_STATE_FINISHED) || message.empty()) return;
    OutputResistanceDialog report(this,
                                  FormatResistanceReport(GetSelectedPartName(*listView), message));
    report.ShowModal();
}

}  // namespace parts_ui
