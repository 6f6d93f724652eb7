#include <wx/app.h>

#include "app/program_settings.h"
#include "parts_ui/batch_output_dialog.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"

void PartFileOperations::Export() {
    if (!CheckSaveModifiedPart() || Settings == nullptr) return;
    parts_ui::BatchOutputDialog dialog(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, *Settings);
    dialog.exportDestination = Settings->ExportFolder;
    dialog.partsModel = TreeModel;
    dialog.ShowModal();
}
