#include "app/sample_parts.h"

#include <filesystem>
#include <system_error>

#include "app/home_folder.h"
#include "app/output_view.h"
#include "platform/wide_string.h"

namespace fs = std::filesystem;

const std::array<const wchar_t*, 10> kSampleTypes = {
    L"QFP", L"SOP", L"PBGA", L"FCBGA", L"TO-220", L"TO-247", L"TO-263", L"TO-252", L"SOT-89",
    L"SOT-223"};

namespace {

void LogFolderException() { LogToOutput(L"exception occured while creating folder."); }

std::wstring WithSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'/') folder += L'/';
    return folder;
}

}  // namespace

std::wstring SampleFileName(const std::wstring& type) { return type + L"_Sample_1.qvx"; }

std::wstring SampleSourceFolder() { return GetProgramFolder() + L"qvx/samples/"; }

bool CreateFolderIfMissing(const std::wstring& path) {
    std::wstring folder = path;
    if (!folder.empty() && folder.back() == L'/') folder.pop_back();
    try {
        const fs::path target = platform::PathFromWide(folder);
        if (!fs::exists(target)) return fs::create_directories(target);
        if (fs::is_directory(target)) return true;
        // A file is in the way: creating the folder fails with an error.
        return fs::create_directory(target);
    } catch (const std::exception&) {
        LogFolderException();
        return false;
    }
}

void CopySampleFile(const std::wstring& source, const std::wstring& destination) {
    try {
        const fs::path to = platform::PathFromWide(destination);
        if (fs::exists(fs::symlink_status(to))) return;
        fs::copy_file(platform::PathFromWide(source), to, fs::copy_options::none);
        LogToOutput(L"copy %s to %s.", source, destination);
    } catch (const std::exception&) {
        LogToOutput(L"failed to copy %s to %s.", source, destination);
    }
}

void InstallSamples(const std::wstring& partsFolder, const std::wstring& sourceFolder) {
    LogToOutput(L"install samples...");
    try {
        if (!fs::is_directory(platform::PathFromWide(sourceFolder))) {
            LogToOutput(L"not found sample files.");
            return;
        }
    } catch (const std::exception&) {
        LogFolderException();
    }
    if (!CreateFolderIfMissing(partsFolder)) {
        LogToOutput(L"failed to create folder:%s", partsFolder);
        return;
    }
    const std::wstring parts = WithSeparator(partsFolder);
    const std::wstring source = WithSeparator(sourceFolder);
    for (const wchar_t* type : kSampleTypes) {
        const std::wstring folder = parts + type;
        if (!CreateFolderIfMissing(folder)) {
            LogToOutput(L"failed to create folder:%s", folder);
            return;
        }
    }
    for (const wchar_t* type : kSampleTypes) {
        const std::wstring name = SampleFileName(type);
        CopySampleFile(source + type + L"/" + name, parts + type + L"/" + name);
    }
}

void InstallSamples(const std::wstring& partsFolder) {
    InstallSamples(partsFolder, SampleSourceFolder());
}
