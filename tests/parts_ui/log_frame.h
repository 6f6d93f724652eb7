#pragma once

#include <memory>

#include <wx/frame.h>

#include "app/output_view.h"
#include "app/shell_frame.h"

namespace zentrik_test {

// The main window as the panes see it: a top window at the screen's origin with an output
// pane, so that the panes' log lines can be read. Placing the pane and showing the frame
// are left to the test.
class LogFrame : public wxFrame, public ShellFrame {
  public:
    explicit LogFrame(const wxSize& size, const wxString& title = "log")
        : wxFrame(nullptr, wxID_ANY, title, wxPoint(0, 0), size), output(new OutputView(this)) {}
    OutputView* GetOutputView() override { return output; }
    void Reload() override {}
    void SetPreviewModel(std::shared_ptr<const pkg::Group>) override {}

    OutputView* output = nullptr;
};

}  // namespace zentrik_test
