#pragma once

#include <memory>
#include <string>

namespace pkg {
class Group;
}

class OutputView;

// What the panes may ask of the main window without knowing its class: the main frame
// implements it, and a pane finds it as the application's top window.
class ShellFrame {
public:
    virtual ~ShellFrame() = default;

    // The output pane; null before it exists.
    virtual OutputView* GetOutputView() = 0;
    // Rescans the parts folder into the file tree and reopens the selected part.
    virtual void Reload() = 0;
    // Gives the preview the root of the model to draw (shared with its model); empty clears it.
    virtual void SetPreviewModel(std::shared_ptr<const pkg::Group> root) = 0;
    // The 3-D preview exists (it is made with the frame's client area). A window without
    // one opens no parts.
    virtual bool HasPreview() const { return false; }
    // Fills the component table with the components of package type `typeName`.
    virtual void ComponentKeysForType(const std::string& /*typeName*/) {}
    // Shows the component table in the components pane, every entry ticked.
    virtual void BuildComponentsTree() {}
    // Empties the components pane: no part is open.
    virtual void ClearComponentsTree() {}

    // The application's top window as a ShellFrame; null off the UI thread, before the
    // frame exists, or when the top window is some other window.
    static ShellFrame* Current();
};
