#include "app/sample_parts.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "app/home_folder.h"
#include "app/output_view.h"
#include "models/package_types.h"
#include "platform/atomic_file.h"
#include "platform/wide_string.h"

namespace fs = std::filesystem;

const std::array<const wchar_t*, 10> kSampleTypes = pkg::kWidePackageTypeNames;

namespace {

void LogFolderException() { LogToOutput(L"exception occured while creating folder."); }

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// True when the file at `path` is shorter than `sample` and holds its beginning.
bool IsInterruptedCopy(const fs::path& path, const std::string& sample) {
    std::string bytes;
    return ReadWholeFile(path, bytes) && bytes.size() < sample.size() &&
           sample.compare(0, bytes.size(), bytes) == 0;
}

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
        const fs::file_status status = fs::symlink_status(to);
        const bool exists = fs::exists(status);
        if (exists && !fs::is_regular_file(status)) return;
        std::string bytes;
        const bool read = ReadWholeFile(platform::PathFromWide(source), bytes);
        // Only what an interrupted copy leaves (a beginning of the sample, or nothing) is
        // replaced; a sample the user changed stays as it is.
        if (exists && (!read || !IsInterruptedCopy(to, bytes))) return;
        if (!read) throw std::runtime_error("unreadable sample");
        std::string error;
        const bool written = exists ? platform::WriteFileAtomically(to, bytes, &error)
                                    : platform::WriteNewFileAtomically(to, bytes, &error);
        if (!written) throw std::runtime_error(error);
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
