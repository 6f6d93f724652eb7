#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <wx/dialog.h>

#include "widget/list_view.h"

class wxButton;
class wxInitDialogEvent;

namespace parts_ui {

// Shows the progress of an export run while its jobs run one after the other on a worker
// thread. The dialog cannot be dismissed before the worker has enabled OK: there is no
// close box, and close, Esc and Enter are refused until then.
class OutputProgressDialog : public wxDialog {
public:
    // The creator binds the progress model (listView->SetModel) and queues the jobs before
    // showing the dialog; the worker starts when it is shown.
    explicit OutputProgressDialog(wxWindow* parent);
    // Joins the worker, which has ended once OK is enabled.
    ~OutputProgressDialog() override;

    void AddJob(std::function<void()> job);
    // True from the start of the worker until it has enabled OK.
    bool IsRunning() const { return running_; }

    // The progress item at (first selected row, column); empty without a selection.
    static std::shared_ptr<widget::WTreeItem> GetSelectedItem(const widget::WListView& list,
                                                              int column);
    // The text of the first selected row's column-0 item; empty without a selection.
    static std::wstring GetSelectedPartName(const widget::WListView& list);

    widget::WListView* listView = nullptr;
    wxButton* okButton = nullptr;

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void RunJobs();
    void OnListDoubleClick(wxListEvent& event);

    std::deque<std::function<void()>> jobs_;
    std::thread worker_;
    bool running_ = false;  // read and written on the UI thread only
};

}  // namespace parts_ui
