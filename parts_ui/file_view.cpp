#include "parts_ui/file_view.h"

#include "parts_ui/file_view_model.h"
#include "widget/controls.h"

ViewTree::ViewTree(wxWindow* parent, wxWindowID id)
    : widget::WTreeCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                        wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_EDIT_LABELS) {}

FileView::FileView(wxWindow* parent, wxWindowID id, PartFileOperations& operations,
                   ProgramSettings& settings)
    : wxPanel(parent, id), operations_(operations), settings_(settings) {
    tree_ = new ViewTree(this, 4);
}

FileView::~FileView() = default;

void FileView::SetModel(std::shared_ptr<FileViewModel> model) {
    model_ = model;
    tree_->SetModel(model);
    tree_->Rebuild();
    tree_->ExpandAll();
}

std::wstring FileView::GetSelectedFolder() const { return {}; }
bool FileView::IsFolderSelected() const { return false; }
std::wstring FileView::GetSelectedPath() const { return {}; }
bool FileView::IsRenamableSelected() const { return false; }
void FileView::SelectItemByPath(const std::wstring&) {}
wxTreeItemId FileView::FindItemByPath(const std::wstring&) const { return {}; }
void FileView::OnRename() {}
