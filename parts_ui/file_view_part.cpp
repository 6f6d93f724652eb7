#include "parts_ui/file_view.h"

void FileView::OpenPart(const std::shared_ptr<widget::WTreeItem>&) {}
void FileView::ApplyPropertyChanges() {}
bool FileView::SavePart() { return false; }
