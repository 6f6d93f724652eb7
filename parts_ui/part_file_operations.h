#pragma once

#include <wx/string.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class FileView;
class FileViewModel;
class HelpImageCatalog;
class HelpView;
class PropertiesView;
class PreviewView;
class ProgramSettings;

namespace widget {
class WTreeItem;
}

// What the file operations ask of the desktop, replaceable so that tests need none and
// can make each step fail. An empty member means the real one.
struct FileOperationSeams {
    // Renames without ever replacing an existing target.
    std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to,
                       std::string& error)>
        rename;
    // Sends a file or folder to the user's trash.
    std::function<bool(const std::filesystem::path& path, std::string& error)> trash;
    // Opens a file in the desktop's default program.
    std::function<bool(const wxString& url)> launch;
    // Receives each line meant for the output pane.
    std::function<void(const wxString& line)> log;
};

// Installs `seams` for the file operations below; default members restore the real ones.
void SetFileOperationSeams(FileOperationSeams seams);

// What became of the open part's file before it is written over, renamed or moved.
enum class PartFileChoice {
    Unchanged,  // the file is as this program read or wrote it last (or is gone)
    Overwrite,  // it changed on disk, and the user chose to put this program's version there
    Reloaded,   // it changed on disk, and its version was read again, dropping the edits
    Cancelled,  // it changed on disk, and the user cancelled (or its version could not be read)
};

// The file and part commands over the parts folder; the main frame fills in the panes
// they update. None of the pointers is owned.
class PartFileOperations {
  public:
    // Asks to save the open part's unsaved edits; false when the user cancels or saving
    // fails, so the caller goes no further.
    bool CheckSaveModifiedPart();

    // When the open part's file changed on disk since this program read or wrote it, asks
    // whether to overwrite it, keep the version on disk (read again) or cancel; keeping
    // the version on disk is the default. With `affected`, asks only when the open part is
    // that file or lies in that folder. Overwrite takes the file's state as seen, so the
    // question is not asked again for the same change.
    PartFileChoice CheckChangedOnDisk(const std::wstring& affected = std::wstring());

    // Writes a new default part of package type `type_index` (0-9) as `name`.qvx in
    // `folder`, making the folder when missing. An existing file is never replaced.
    void CreatePartFile(int type_index, const std::wstring& name, const std::wstring& folder);

    // Inserts one item below the tree item of `parent_folder`, in the scan's order.
    void AddTreeItem(const std::wstring& name, bool is_folder, const std::wstring& parent_folder);

    // Moves the dragged item's file or folder into the folder of `drop_folder`: on disk
    // first, then in the tree; a move that cannot be made leaves both as they were. A move
    // out of the item's package-type folder is refused with a message.
    void MovePartFile(const std::shared_ptr<widget::WTreeItem>& source,
                      const std::shared_ptr<widget::WTreeItem>& drop_folder);

    // Adds `item` and its subtree below the tree item of `destination`.
    void ReinsertMovedItem(const widget::WTreeItem& item, const std::wstring& destination);

    // After a question, sends the file or folder at `path` to the trash and removes its
    // item; the open part is closed only when it is `path` or lies below it.
    void DeletePartFile(const std::wstring& path);

    // After the save question, asks for a package type, a name and a folder and creates
    // the part there.
    void NewPart();
    // Asks for a name and creates that folder in the selected folder.
    void NewFolder();
    // After the save question, runs the export list dialog over the parts tree.
    void Export();
    // Fills the help pane with the pictures of package type `type_name` ("qfp", "TO-220", ...).
    void ShowHelpImagesForType(const std::string& type_name);

    FileView* Files = nullptr;
    PropertiesView* Properties = nullptr;
    HelpView* Help = nullptr;
    PreviewView* Preview = nullptr;
    ProgramSettings* Settings = nullptr;
    HelpImageCatalog* HelpImages = nullptr;
    std::shared_ptr<FileViewModel> TreeModel;
};

// The folders New Part proposes, one per package type in index order: `parts_folder`
// joined with the type's folder name, except that `selected` (when not empty) replaces the
// folder of the type it lies under, its first folder below `parts_folder` compared
// without regard to case. A folder outside the type folders changes nothing.
std::array<std::wstring, 10> NewPartFolders(const std::wstring& parts_folder,
                                            const std::wstring& selected);

// The manual's start page for the user-interface language (17 Japanese): the program
// folder, then "qvx/manual/", "jpn" or "eng", then "/index.html".
std::wstring ManualPath(const std::wstring& program_folder, int language);
// Opens the manual in the default browser when it exists; nothing otherwise. A launch that
// fails (no browser set) is said in the output pane.
void OpenManual(int language);

// The user's guide start page below the folder recorded system-wide; empty when none is.
std::wstring FindUsersGuide(int language);
// Opens the user's guide, or says "Failed to open user's guide".
void OpenUsersGuide(int language);
