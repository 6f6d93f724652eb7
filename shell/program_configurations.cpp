#include "shell/program_configurations.h"

#include "shell/main_frame.h"
#include "app/preview_view.h"
#include "app/program_settings.h"
#include "parts_ui/part_file_operations.h"

namespace {

std::wstring WithSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'/') folder += L'/';
    return folder;
}

}  // namespace

ProgramConfigValues ConfigValuesOf(const ProgramSettings& settings) {
    ProgramConfigValues values;
    values.PartsFolder = settings.PartsFolder;
    values.ExportFolder = settings.ExportFolder;
    values.Background = settings.BackgroundType;
    values.FluidConductivity = settings.FluidConductivity;
    values.StandardLength = {settings.StandardLength.x, settings.StandardLength.y,
                             settings.StandardLength.z};
    values.Threshold = {settings.Threshold.x, settings.Threshold.y, settings.Threshold.z};
    return values;
}

void ApplyProgramConfiguration(const ProgramConfigValues& values, MainFrame* frame,
                               ProgramSettings& settings, PartFileOperations& operations) {
    const std::wstring oldParts = WithSeparator(settings.PartsFolder);
    // The package type of a part is read after the parts folder, so the folder must end
    // with a separator.
    if (!values.PartsFolder.empty()) settings.PartsFolder = WithSeparator(values.PartsFolder);
    if (!values.ExportFolder.empty()) settings.ExportFolder = WithSeparator(values.ExportFolder);

    if (values.Background != settings.BackgroundType) {
        if (values.Background >= 0 && values.Background <= 2) {
            settings.BackgroundType = values.Background;
        }
        if (frame != nullptr) {
            PreviewView* preview = frame->Preview();
            preview->BackgroundType = settings.BackgroundType;
            preview->TopColor = settings.BackgroundTopColor;
            preview->BottomColor = settings.BackgroundBottomColor;
            preview->Refresh();
        }
    }

    settings.FluidConductivity = values.FluidConductivity;
    settings.StandardLength = {values.StandardLength[0], values.StandardLength[1],
                               values.StandardLength[2]};
    settings.Threshold = {values.Threshold[0], values.Threshold[1], values.Threshold[2]};

    // Folders differing only in letter case are different folders here.
    if (WithSeparator(settings.PartsFolder) != oldParts && frame != nullptr) {
        if (!operations.CheckSaveModifiedPart()) {
            settings.PartsFolder = oldParts;
            return;
        }
        frame->Reload();
    }
}

void RunProgramConfigurations(MainFrame* frame, ProgramSettings& settings,
                              PartFileOperations& operations) {
    ProgramConfigSheet sheet(frame);
    sheet.SetValues(ConfigValuesOf(settings));
    if (sheet.ShowModal() != wxID_OK) return;
    ApplyProgramConfiguration(sheet.GetValues(), frame, settings, operations);
}
