#pragma once

#include <memory>

class FileView;
class HelpView;
class PropertiesView;
class PreviewView;

namespace widget {
class WTreeItemModel;
}

// The file and part commands over the parts folder; the main frame fills in the panes
// they update. None of the pointers is owned.
class PartFileOperations {
public:
    // Asks to save the open part's unsaved edits; false when the user cancels or saving
    // fails, so the caller goes no further.
    bool CheckSaveModifiedPart();

    FileView* Files = nullptr;
    PropertiesView* Properties = nullptr;
    HelpView* Help = nullptr;
    PreviewView* Preview = nullptr;
    std::shared_ptr<widget::WTreeItemModel> TreeModel;
};
