#pragma once

#include "app/program_config_sheet.h"

class MainFrame;
class PartFileOperations;
class ProgramSettings;

// The sheet's values taken from the settings.
ProgramConfigValues ConfigValuesOf(const ProgramSettings& settings);

// Stores accepted sheet values in the settings and refreshes what depends on them. Folder
// texts get a trailing '/'; an empty one keeps its folder. A changed parts folder first
// asks to save the open part: when that is refused the parts folder stays as it was and
// nothing reloads; otherwise the frame reloads the tree. `frame` may be null.
void ApplyProgramConfiguration(const ProgramConfigValues& values, MainFrame* frame,
                               ProgramSettings& settings, PartFileOperations& operations);

// The "Program Configurations..." command: the modal sheet over the settings; OK applies.
void RunProgramConfigurations(MainFrame* frame, ProgramSettings& settings,
                              PartFileOperations& operations);
