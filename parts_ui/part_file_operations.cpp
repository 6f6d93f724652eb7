#include "parts_ui/part_file_operations.h"

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <cwctype>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/help_image_catalog.h"
#include "app/help_view.h"
#include "app/home_folder.h"
#include "app/image_view.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "app/preview_view.h"
#include "app/program_settings.h"
#include "app/shell_frame.h"
#include "models/package_types.h"
#include "models/part_loaders.h"
#include "parts_ui/file_view.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/new_part_dialogs.h"
#include "parts_ui/properties_view.h"
#include "platform/atomic_file.h"
#include "platform/file_identity.h"
#include "platform/file_moves.h"
#include "platform/registry.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolderImage = 0;
constexpr int kPartImage = 1;
constexpr int kLanguageJapanese = 17;

FileOperationSeams& Seams() {
    static FileOperationSeams seams;
    return seams;
}

bool Rename(const fs::path& from, const fs::path& to, std::string& error) {
    if (Seams().rename) return Seams().rename(from, to, error);
    return platform::RenameNoReplace(from, to, error);
}

bool Trash(const fs::path& path, std::string& error) {
    if (Seams().trash) return Seams().trash(path, error);
    return platform::MoveToTrash(path, error);
}

bool Launch(const wxString& url) {
    if (Seams().launch) return Seams().launch(url);
    return wxLaunchDefaultBrowser(url);
}

void Log(const wxString& line) {
    if (Seams().log) {
        Seams().log(line);
    } else {
        LogToOutput("%s", line);
    }
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// `path` is `folder` itself or lies somewhere below it.
bool IsSameOrBelow(const std::wstring& path, const std::wstring& folder) {
    if (path == folder) return true;
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == L'/';
}

// Writes the part whole or not at all, and only where nothing exists yet: an existing file
// is never replaced, and a failure leaves no temporary behind.
bool WritePartBeside(const pkg::SemiconductorPackage& package, const fs::path& target,
                     std::string& error) {
    std::ostringstream out;
    if (!package.WritePartFile(out)) {
        error = "the part could not be written";
        return false;
    }
    return platform::WriteNewFileAtomically(target, out.str(), &error);
}

}  // namespace

void SetFileOperationSeams(FileOperationSeams seams) { Seams() = std::move(seams); }

bool PartFileOperations::CheckSaveModifiedPart() {
    if (Properties == nullptr || !Properties->IsModified()) return true;
    const std::wstring path = Settings ? Settings->CurrentPartPath : std::wstring();
    const std::wstring name = platform::PathToWide(platform::PathFromWide(path).stem());
    const int answer = ShowMessageBox(
        resources::FormatString1(resources::LoadText(resources::IDS_PART_MODIFIED_OVERWRITE), name),
        resources::LoadText(resources::IDS_EXIT), wxYES_NO | wxCANCEL | wxICON_QUESTION);
    if (answer == wxYES) return Properties->Save();
    if (answer == wxNO) {
        Properties->Reset();
        return true;
    }
    return false;
}

PartFileChoice PartFileOperations::CheckChangedOnDisk(const std::wstring& affected) {
    if (Settings == nullptr || Settings->CurrentPartPath.empty()) return PartFileChoice::Unchanged;
    const std::wstring path = Settings->CurrentPartPath;
    if (!affected.empty() && !IsSameOrBelow(path, affected)) return PartFileChoice::Unchanged;
    // A part never read from its file has nothing to compare with; a file that is gone
    // holds nothing that a save could destroy.
    if (!Settings->CurrentPartFile.exists) return PartFileChoice::Unchanged;
    const platform::FileIdentity now = platform::ReadFileIdentity(platform::PathFromWide(path));
    if (!now.exists || now == Settings->CurrentPartFile) return PartFileChoice::Unchanged;
    const std::wstring name = platform::PathToWide(platform::PathFromWide(path).filename());
    const int answer = ShowMessageBox(
        resources::FormatString1(resources::LoadText(resources::IDS_PART_CHANGED_ON_DISK), name),
        resources::LoadText(resources::IDS_APP_TITLE),
        wxYES_NO | wxCANCEL | wxNO_DEFAULT | wxICON_WARNING,
        resources::LoadText(resources::IDS_PART_CHANGED_OVERWRITE),
        resources::LoadText(resources::IDS_PART_CHANGED_KEEP_DISK),
        resources::LoadText(resources::IDS_PART_CHANGED_CANCEL));
    if (answer == wxYES) {
        Settings->CurrentPartFile = now;
        return PartFileChoice::Overwrite;
    }
    if (answer != wxNO || Files == nullptr) return PartFileChoice::Cancelled;
    std::shared_ptr<widget::WTreeItem> item = TreeModel ? TreeModel->FindItemByPath(path) : nullptr;
    if (!item) {
        item = widget::MakeTreeItem();
        item->value = widget::Variant::FromBstr(path);
    }
    Files->OpenPart(item);
    // A version on disk that no loader reads leaves this program's part open, unsaved.
    const bool reloaded = Settings->CurrentPartPath == path && Settings->CurrentPartFile == now;
    return reloaded ? PartFileChoice::Reloaded : PartFileChoice::Cancelled;
}

void PartFileOperations::CreatePartFile(int type_index, const std::wstring& name,
                                        const std::wstring& folder) {
    const auto package = pkg::MakeDefaultPackage(type_index);
    if (!package) return;
    const fs::path folder_path = platform::PathFromWide(folder);
    std::error_code ec;
    if (!fs::is_directory(folder_path, ec)) {
        if (!fs::create_directory(folder_path, ec) || ec) {
            Log(wxString::Format("failed to create folder: %s", folder));
            return;
        }
        Log(wxString::Format("folder was created: %s", folder));
        AddTreeItem(platform::PathToWide(folder_path.filename()), true,
                    platform::PathToWide(folder_path.parent_path()));
    }
    const std::wstring path = JoinPath(folder, name + L".qvx");
    std::string error;
    if (!WritePartBeside(*package, platform::PathFromWide(path), error)) {
        Log("Failed to create a new part file.");
        Log(wxString::Format("%s: %s", path, wxString::FromUTF8(error)));
        return;
    }
    Log(wxString::Format("part file was created: %s", path));
    AddTreeItem(name, false, folder);
    if (Files) Files->SelectItemByPath(path);
}

void PartFileOperations::AddTreeItem(const std::wstring& name, bool is_folder,
                                     const std::wstring& parent_folder) {
    if (!TreeModel) return;
    const std::shared_ptr<widget::WTreeItem> parent = TreeModel->FindItemByPath(parent_folder);
    if (!parent) return;
    const int count = static_cast<int>(parent->rows.size());
    int row = 0;
    for (; row < count; ++row) {
        const std::shared_ptr<widget::WTreeItem> child = parent->Child(row, 0);
        const bool child_is_folder = !IsPartFileName(StoredPath(*child));
        if (is_folder) {
            if (!child_is_folder || TreeTextLess(name, child->text)) break;
        } else if (!child_is_folder && TreeTextLess(name, child->text)) {
            break;
        }
    }
    auto item = widget::MakeTreeItem();
    item->text = name;
    item->value =
        widget::Variant::FromBstr(JoinPath(parent_folder, is_folder ? name : name + L".qvx"));
    item->image = is_folder ? kFolderImage : kPartImage;
    item->flags |= widget::kItemMovable;
    parent->InsertRow(row, item);
    TreeModel->AttachItem(item);
    TreeModel->rowInserted(parent.get(), row);
    TreeModel->dataChanged(item.get());
}

void PartFileOperations::MovePartFile(const std::shared_ptr<widget::WTreeItem>& source,
                                      const std::shared_ptr<widget::WTreeItem>& drop_folder) {
    if (!source || !drop_folder) return;
    const std::wstring source_path = StoredPath(*source);
    const std::wstring destination = StoredPath(*drop_folder);
    if (source_path.empty() || destination.empty()) return;
    if (platform::PathToWide(platform::PathFromWide(source_path).parent_path()) == destination)
        return;
    // The type folder a part lies in decides its package type: a move into another type's
    // folder would leave parts that open as one type and export as none.
    if (Settings && Settings->PartTypeFromPath(source_path) !=
                        Settings->PartTypeFromPath(destination)) {
        ShowMessageBox(resources::FormatString1(resources::LoadText(resources::IDS_MOVE_TO_OTHER_TYPE),
                                                source->text),
                       resources::LoadText(resources::IDS_APP_TITLE), wxOK | wxICON_ERROR);
        return;
    }
    const bool is_part = IsPartFileName(source_path);
    if (!is_part && IsSameOrBelow(destination, source_path)) {
        Log(wxString::Format("Can't move %s into itself.", source_path));
        return;
    }
    const std::wstring target =
        JoinPath(destination, is_part ? source->text + L".qvx" : source->text);
    if (Exists(platform::PathFromWide(target))) {
        Log(wxString::Format("Can't copy %s. %s exists.", source_path, target));
        return;
    }
    if (CheckChangedOnDisk(source_path) == PartFileChoice::Cancelled) return;
    std::string error;
    if (!Rename(platform::PathFromWide(source_path), platform::PathFromWide(target), error)) {
        Log(wxString::Format("failed to move %s to %s: %s", source_path, target,
                             wxString::FromUTF8(error)));
        return;
    }
    ReinsertMovedItem(*source, destination);
    if (TreeModel && source->parent) TreeModel->RemoveRow(source->row, source->parent);
    if (Settings) Settings->FollowMovedPath(source_path, target);
    Log(wxString::Format("moved %s to %s", source_path, target));
}

void PartFileOperations::ReinsertMovedItem(const widget::WTreeItem& item,
                                           const std::wstring& destination) {
    if (!TreeModel) return;
    const std::shared_ptr<widget::WTreeItem> parent = TreeModel->FindItemByPath(destination);
    if (!parent) return;
    const bool is_part = IsPartFileName(StoredPath(item));
    const std::wstring path = JoinPath(destination, is_part ? item.text + L".qvx" : item.text);
    for (int r = 0; r < static_cast<int>(parent->rows.size()); ++r) {
        if (StoredPath(*parent->Child(r, 0)) == path) return;
    }
    AddTreeItem(item.text, !is_part, destination);
    for (int r = 0; r < static_cast<int>(item.rows.size()); ++r) {
        ReinsertMovedItem(*item.Child(r, 0), path);
    }
}

void PartFileOperations::DeletePartFile(const std::wstring& path) {
    const std::wstring name = platform::PathToWide(platform::PathFromWide(path).filename());
    const int answer =
        ShowMessageBox(resources::FormatString1(resources::LoadText(resources::IDS_DELETE_QUESTION), name),
                       resources::LoadText(resources::IDS_DELETE_CAPTION), wxYES_NO | wxICON_QUESTION);
    if (answer != wxYES) return;
    std::string error;
    if (!Trash(platform::PathFromWide(path), error)) {
        Log(wxString::Format("failed to move %s to the trash: %s", path,
                             wxString::FromUTF8(error)));
        return;
    }
    // Only the open part, or a folder holding it, takes unsaved edits with it.
    if (Settings && !Settings->CurrentPartPath.empty() &&
        IsSameOrBelow(Settings->CurrentPartPath, path)) {
        if (Preview) {
            Preview->ModelRoot.reset();
            Preview->VisibleComponentKeys.clear();
            Preview->Refresh();
        }
        if (Properties) {
            Properties->SetModel(std::make_shared<widget::WTreeItemModel>());
            Properties->Refresh();
        }
        // The components and help panes describe the open part too.
        if (Help) Help->Clear();
        if (ShellFrame* frame = ShellFrame::Current()) frame->ClearComponentsTree();
        Settings->ClearCurrentPart();
    }
    if (TreeModel) {
        if (auto item = TreeModel->FindItemByPath(path); item && item->parent) {
            TreeModel->RemoveRow(item->row, item->parent);
        }
    }
    Log(wxString::Format("deleted part file: %s", path));
}

std::array<std::wstring, 10> NewPartFolders(const std::wstring& parts_folder,
                                            const std::wstring& selected) {
    std::array<std::wstring, 10> folders;
    for (int i = 0; i < 10; ++i) {
        folders[i] = JoinPath(parts_folder, wxString(pkg::kPackageTypeNames[i]).ToStdWstring());
    }
    std::wstring root = parts_folder;
    while (!root.empty() && root.back() == L'/') root.pop_back();
    if (selected.size() <= root.size() + 1 || selected.compare(0, root.size(), root) != 0 ||
        selected[root.size()] != L'/') {
        return folders;
    }
    const std::size_t start = root.size() + 1;
    const std::wstring type = selected.substr(start, selected.find(L'/', start) - start);
    for (int i = 0; i < 10; ++i) {
        const wxString name(pkg::kPackageTypeNames[i]);
        if (name.CmpNoCase(wxString(type)) == 0) folders[i] = selected;
    }
    return folders;
}

void PartFileOperations::NewPart() {
    if (!CheckSaveModifiedPart()) return;
    NewPartDialog dialog(wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr);
    dialog.defaultFolders = NewPartFolders(Settings ? Settings->PartsFolder : std::wstring(),
                                           Files ? Files->GetSelectedFolder() : std::wstring());
    if (dialog.ShowModal() != wxID_OK) return;
    for (int index = 0; index < static_cast<int>(dialog.typeNames.size()); ++index) {
        if (dialog.chosenType == dialog.typeNames[index]) {
            CreatePartFile(index, dialog.partName, dialog.destinationFolder);
            return;
        }
    }
}

void PartFileOperations::NewFolder() {
    NewFolderDialog dialog(wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr);
    if (dialog.ShowModal() != wxID_OK) return;
    const std::wstring parent = Files ? Files->GetSelectedFolder() : std::wstring();
    // Without a selected folder there is no place for it (the command is disabled then).
    if (parent.empty()) return;
    const std::wstring path = JoinPath(parent, dialog.folderName);
    std::error_code ec;
    if (!fs::create_directory(platform::PathFromWide(path), ec) || ec) {
        Log(wxString::Format("Failed to create a new folder: %s: %s", path,
                             wxString::FromUTF8(ec ? ec.message() : std::string("it exists"))));
        return;
    }
    Log(wxString::Format("Created a new folder: %s", path));
    AddTreeItem(dialog.folderName, true, parent);
    if (Files) Files->SelectItemByPath(path);
}

void PartFileOperations::ShowHelpImagesForType(const std::string& type_name) {
    if (Help == nullptr || Help->PackageType == type_name) return;
    const pkg::PackageType* type = pkg::FindPackageTypeByTypeName(type_name);
    if (type == nullptr) return;
    const int index = static_cast<int>(type - pkg::kPackageTypes);
    const HelpImageCatalog::PictureList pictures =
        HelpImages ? HelpImages->Pictures(index) : HelpImageCatalog::PictureList();
    const int previous = Help->PictureChoice()->GetSelection();
    Help->SetPictures(pictures);
    Help->PackageType = type_name;
    // The pane shows the first picture; the position the user had chosen is kept when the
    // new type has one there.
    if (previous > 0 && previous < static_cast<int>(pictures.size())) {
        Help->PictureChoice()->SetSelection(previous);
        Help->Picture()->SetImage(&pictures[previous]->Image);
    }
}

std::wstring ManualPath(const std::wstring& program_folder, int language) {
    return program_folder + L"qvx/manual/" + (language == kLanguageJapanese ? L"jpn" : L"eng") +
           L"/index.html";
}

void OpenManual(int language) {
    const std::wstring path = ManualPath(GetProgramFolder(), language);
    if (!Exists(platform::PathFromWide(path))) return;
    // Without a default browser the command would otherwise end without a trace.
    if (!Launch(wxFileName::FileNameToURL(wxFileName(path)))) {
        Log(resources::FormatString1(resources::LoadText(resources::IDS_MANUAL_NOT_OPENED), path));
    }
}

std::wstring FindUsersGuide(int language) {
    const std::optional<std::wstring> folder = ReadRegistryString(
        platform::RegistryRoot::LocalMachine, L"Ostrel\\Vexa2020", L"Vx2020Folder");
    if (!folder) return {};
    std::wstring base = *folder;
    if (!base.empty() && base.back() != L'/') base += L'/';
    return base + L"Manuals/HTML/" +
           (language == kLanguageJapanese ? L"Zentrik_jpn/index.html" : L"Zentrik_eng/index.html");
}

void OpenUsersGuide(int language) {
    const std::wstring path = FindUsersGuide(language);
    if (path.empty() || !Exists(platform::PathFromWide(path)) ||
        !Launch(wxFileName::FileNameToURL(wxFileName(path)))) {
        ShowMessageBox("Failed to open user's guide", wxString(resources::LoadText(resources::IDS_APP_TITLE)),
                       wxOK | wxICON_ERROR);
    }
}
