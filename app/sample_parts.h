#pragma once

#include <array>
#include <string>

// The sample parts copied into the parts folder at a start without a settings file. Every
// step is reported in the output pane; nothing is shown in a message box.

// The ten package types in installation order; each is also its folder's name.
extern const std::array<const wchar_t*, 10> kSampleTypes;

// The sample file name of a type: "<TYPE>_Sample_1.qvx".
std::wstring SampleFileName(const std::wstring& type);

// The program folder followed by "qvx/samples/".
std::wstring SampleSourceFolder();

// Creates the parts folder and one folder per type, then copies each type's sample from
// `sourceFolder` (ending with '/') unless its destination exists and is not what an
// interrupted copy left.
void InstallSamples(const std::wstring& partsFolder, const std::wstring& sourceFolder);
void InstallSamples(const std::wstring& partsFolder);

// True when `path` (a trailing '/' is ignored) is a folder afterwards; creates it with its
// parents when nothing is there.
bool CreateFolderIfMissing(const std::wstring& path);

// Copies `source` to `destination` unless the destination exists, through a temporary
// renamed into place, so a kill never leaves a partial sample. A destination that an
// interrupted copy left (empty, or a beginning of the sample) is replaced.
void CopySampleFile(const std::wstring& source, const std::wstring& destination);
