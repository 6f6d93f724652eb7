#pragma once

#include <wx/dialog.h>
#include <wx/sizer.h>

#include <boost/signals2/connection.hpp>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "parts_ui/export_job.h"
#include "widget/item_delegate.h"
#include "widget/list_view.h"
#include "widget/tree_ctrl.h"

class ProgramSettings;
class wxButton;
class wxInitDialogEvent;
class wxTextCtrl;
class wxTreeEvent;

namespace widget {
class DragImage;
}

namespace parts_ui {

class PartNameEditDelegate;

// Columns of the export list.
constexpr int kExportPartName = 0;    // text: part name; value: the part file's path
constexpr int kExportPartType = 1;    // the package's type name in upper case
constexpr int kExportKind = 2;        // one of the five modeling-type texts
constexpr int kExportOutputName = 3;  // the cabinet's name without ".cab"

// The modal "Export" dialog: the user gathers parts from the parts tree into a list, picks
// a modeling type and an output name per row and a destination folder, and starts the run.
// The list, the kinds and the destination live only as long as the dialog.
class BatchOutputDialog : public wxDialog {
  public:
    // `settings` loads the parts and runs the export; it must outlive the dialog.
    BatchOutputDialog(wxWindow* parent, const ProgramSettings& settings);
    // Ends the dialog's connections before its controls go.
    ~BatchOutputDialog() override;

    // Set by the caller before the dialog is shown.
    std::wstring exportDestination;
    std::shared_ptr<widget::WTreeItemModel> partsModel;

    // Makes `folder` with its missing parents; true when it exists afterwards. Replaceable
    // so that tests can make it fail.
    std::function<bool(const std::filesystem::path& folder)> createFolder;
    // Lets the user pick a folder starting at `initial`; true with `chosen` set on OK.
    // Replaceable so that tests need no folder picker.
    std::function<bool(const wxString& initial, wxString& chosen)> browseForFolder;

    // Adds the part behind a tree node, or every part below a folder node.
    void AddTreeItem(const wxTreeItemId& node);
    // Adds one part file, or every part file below a folder, depth first in row order.
    // Parts that do not load and parts already listed are reported and skipped.
    void AddPart(const std::shared_ptr<widget::WTreeItem>& item);
    // True when a row holds exactly `path`.
    bool ContainsPart(const std::wstring& path) const;
    // The modeling types a row's part type allows, in their fixed order.
    std::vector<wxString> ModelingTypeOptions(const widget::WModelIndex& index) const;

    void OnAddToList();
    void OnDeleteFromList();
    void OnChangeModelingType();
    void OnBrowseExportFolder();
    void OnExport();

    // The five kind texts in their fixed order, in the language the dialog was made in.
    const ExportKindTexts& KindTexts() const { return kinds_; }

    widget::WTreeCtrl* treeView = nullptr;
    widget::WListView* listView = nullptr;
    std::shared_ptr<widget::WTreeItemModel> listModel;
    std::shared_ptr<widget::WComboBoxDelegate> kindDelegate;
    std::shared_ptr<PartNameEditDelegate> nameDelegate;
    wxButton* addButton = nullptr;
    wxButton* deleteButton = nullptr;
    wxButton* changeKindButton = nullptr;
    wxTextCtrl* destinationBox = nullptr;
    wxButton* browseButton = nullptr;
    wxButton* exportButton = nullptr;

    // Pairs of (part type, kind text) that are not offered.
    std::vector<std::pair<std::wstring, std::wstring>> ModelingTypeExclusions;

  private:
    void BuildLayout();
    // The tree as wide as its names need, up to the share it was laid out with; the list
    // takes the rest of the row.
    void FitTreeWidth();
    void OnInitDialog(wxInitDialogEvent& event);
    void OnModelingTypeChanged(widget::WTreeItem* item);
    void OnBeginDragPart(wxTreeEvent& event);
    void OnEndDragPart(wxTreeEvent& event);
    void EndDragImage();
    void UpdateAddButton();
    void UpdateListButtons();
    // The destination as the box shows it now.
    void ReadDestinationBox();
    // Shows the first failing row's message; false when a row fails.
    bool CheckRows();
    // True when the destination exists, or the user had it made.
    bool EnsureDestination();

    const ProgramSettings& settings_;
    ExportKindTexts kinds_;
    // The part being dragged from the tree and its image; empty when no drag runs.
    std::weak_ptr<widget::WTreeItem> dragged_;
    widget::DragImage* dragImage_ = nullptr;
    std::vector<boost::signals2::scoped_connection> connections_;
    wxSizerItem* treeColumn_ = nullptr;
};

}  // namespace parts_ui
