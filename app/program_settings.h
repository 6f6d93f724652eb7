#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <boost/property_tree/ptree_fwd.hpp>

#include "platform/file_identity.h"

namespace pkg {
class SemiconductorPackage;
class DetailedModel;
struct RuleViolation;
struct NetworkFitError;
using RunFailure = RuleViolation;
}  // namespace pkg

// A per-axis triple of mesh factors.
struct AxisFactors {
    double x;
    double y;
    double z;
};

// What Load found at the settings file's path.
enum class SettingsFileState {
    Missing,   // nothing there: a first start
    Read,      // read; values that were missing, unconvertible or out of range kept theirs
    Unusable,  // something that could not be read as settings; every field kept its value
};

// The one record per process of the user's program settings, with the part that is open.
// Fields are read and changed directly; only the settings (not the current part) go to
// the settings file "zentrik.xml" in the home folder.
class ProgramSettings {
public:
    ProgramSettings();

    void ClearCurrentPart();

    // Renames the part file or folder `old_path` to `new_path`, never replacing anything;
    // true when it renamed. `line` receives the line for the output pane (the rename, or
    // why it failed); it stays empty when `old_path` does not exist.
    bool RenamePartFile(const std::wstring& old_path, const std::wstring& new_path,
                        std::wstring& line);
    // The current part path follows a move of the part itself or of a folder above it.
    void FollowMovedPath(const std::wstring& old_path, const std::wstring& new_path);

    // HomeFolder followed by "zentrik.xml".
    std::wstring GetFilePath() const;
    // Reads the settings file; a missing, unreadable, oversized, too deeply nested or
    // malformed file, or one without the root element, changes nothing, and a missing,
    // unconvertible or out-of-range value keeps its field.
    SettingsFileState Load();
    // After a Load that found the file unusable: renames it to the same name followed by
    // ".bad" (replacing an older one), so the next save cannot destroy what the user had.
    // Returns the new name, or empty when there was nothing to keep or the rename failed.
    std::wstring KeepUnusableFileAside();
    // Writes the settings file whole, through a temporary file beside it, so a failed save
    // leaves the previous file as it was. Returns false on failure, and without writing
    // while an unusable file found by Load is still in the way; nothing is reported.
    // After a Load, a value this program did not change since is taken from the file as it
    // is now, so what another program saved on the same home folder meanwhile is kept.
    bool Save() const;

    // Open the part file at `path` as the current part through one family's loader; false
    // (and the current part unchanged) when the file does not open or read as that family.
    bool TryOpenBGAPart(const std::wstring& path);
    bool TryOpenQFPPart(const std::wstring& path);
    bool TryOpenTO220Part(const std::wstring& path);
    bool TryOpenTO247Part(const std::wstring& path);
    bool TryOpenTO263Part(const std::wstring& path);
    bool TryOpenTO252Part(const std::wstring& path);
    bool TryOpenSOT89Part(const std::wstring& path);
    bool TryOpenSOT223Part(const std::wstring& path);

    // The export runs over these settings; see export/export_runs.h.
    std::wstring PartTypeFromPath(const std::wstring& part_path) const;
    std::shared_ptr<pkg::SemiconductorPackage> LoadDetailedModelByType(
        const std::wstring& part_path) const;
    bool ExportDetailedModelByType(const std::wstring& part_path,
                                   const std::wstring& cabinet_path,
                                   pkg::RunFailure* failure = nullptr) const;
    bool ExportSimplifiedModelByType(const std::wstring& part_path,
                                     const std::wstring& cabinet_path,
                                     pkg::RunFailure* failure = nullptr) const;
    bool BatchComputePart(int code, const std::wstring& part_path,
                          const std::wstring& cabinet_path,
                          std::vector<std::pair<std::wstring, std::wstring>>& links,
                          double* values, pkg::RunFailure* failure = nullptr,
                          pkg::NetworkFitError* fit_error = nullptr) const;

    // The package of the open part and the same object seen as its model (one ownership).
    std::shared_ptr<pkg::SemiconductorPackage> CurrentPackage;
    std::shared_ptr<pkg::DetailedModel> CurrentModel;
    std::wstring HomeFolder;       // ends with '/'
    std::wstring CurrentPartPath;  // empty exactly when no part is open
    // The open part's file as it was read or last written by this program.
    platform::FileIdentity CurrentPartFile;
    // The stored settings; their defaults, file keys and accepted values stand in one table
    // in program_settings.cpp, which the constructor, Load and Save all follow.
    std::wstring PartsFolder;
    std::wstring ExportFolder;
    AxisFactors StandardLength;  // multiples of the smallest part size
    AxisFactors Threshold;
    int BackgroundType;                   // 0 black, 1 white, 2 gradation
    std::uint32_t BackgroundTopColor;     // 0x00BBGGRR
    std::uint32_t BackgroundBottomColor;
    double FluidConductivity;  // W/(m·K)
    bool OutputListFile;
    bool SimpleModeling;
    int MouseMode;           // 0 three-button, 1 one-button
    int OneButtonOperation;  // 0 3-D rotation, 1 2-D rotation, 2 translation, 3 scaling

private:
    SettingsFileState LoadFile();
    void ReadSettings(const boost::property_tree::ptree& root);
    bool Write() const;

    bool unusable_file_ = false;
    // The stored values as the last Load left them.
    std::shared_ptr<const ProgramSettings> loaded_;
};

// The Documents folder with '/' then "Ostrel/Zentrik2020/"; just the product folder
// when there is no Documents folder.
std::wstring GetDocumentsProductFolder();
