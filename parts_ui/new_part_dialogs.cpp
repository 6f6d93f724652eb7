#include "parts_ui/new_part_dialogs.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <system_error>

#include "app/message_box.h"
#include "parts_ui/part_name_rules.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

wxString Text(std::uint32_t id) { return wxString(resources::LoadText(id)); }

wxString Message(std::uint32_t id, const std::wstring& argument) {
    std::wstring format;
    resources::LoadString(id, format);
    return wxString(resources::FormatString1(format, argument));
}

void Refuse(const wxString& message, long icon) {
    ShowMessageBox(message, Text(resources::IDS_APP_TITLE), wxOK | icon);
}

// True unless the path is known to be free: something there, or a failure to find out
// (no access to the folder), both count as taken, so a name is never handed out twice.
bool PathTaken(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    return status.type() != std::filesystem::file_type::not_found;
}

// True when the folder holds an entry named `fileName` in some other letter case: the tree
// and Rename take names that differ only in case for one, and so does the export's list of
// output names. A folder that cannot be listed counts as holding it; an absent one does not.
bool FolderHoldsNameInOtherCase(const std::filesystem::path& folder, const std::wstring& fileName) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory;
    const wxString wanted(fileName);
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (wanted.CmpNoCase(wxString(platform::PathToWide(it->path().filename()))) == 0) {
            return true;
        }
    }
    return static_cast<bool>(ec);
}

// The first character of `name` no file name may hold; 0 when there is none.
wchar_t FirstInvalidPathCharacter(const std::wstring& name) {
    for (wchar_t c : name) {
        if (IsInvalidPathCharacter(c)) return c;
    }
    return 0;
}

wxSizerFlags Label() { return wxSizerFlags().CenterVertical().Border(wxRIGHT, 8); }

}  // namespace

NewPartDialog::NewPartDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, Text(resources::IDS_NEW_PART_TITLE)) {
    BuildLayout();
    Bind(wxEVT_CHOICE, &NewPartDialog::OnTypeSelChange, this, typeChoice_->GetId());
    Bind(wxEVT_BUTTON, &NewPartDialog::OnOK, this, wxID_OK);
}

void NewPartDialog::BuildLayout() {
    typeChoice_ = new wxChoice(this, wxID_ANY);
    for (const std::wstring& name : typeNames) typeChoice_->Append(wxString(name));
    nameEdit_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(180, -1));
    folderEdit_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(380, -1),
                                 wxTE_READONLY);

    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_NEW_PART_TYPE)), Label());
    grid->Add(typeChoice_);
    grid->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_NEW_PART_NAME)), Label());
    grid->Add(nameEdit_);
    grid->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_NEW_PART_DESTINATION)), Label());
    grid->Add(folderEdit_, wxSizerFlags().Expand().CenterVertical());

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, wxSizerFlags().Expand().Border(wxALL, 10));
    top->Add(CreateButtonSizer(wxOK | wxCANCEL), wxSizerFlags().Right().Border(wxALL, 10));
    SetSizerAndFit(top);
}

bool NewPartDialog::TransferDataToWindow() {
    nameEdit_->ChangeValue(wxString(partName));
    folderEdit_->ChangeValue(wxString(destinationFolder));
    return true;
}

bool NewPartDialog::TransferDataFromWindow() {
    partName = nameEdit_->GetValue().ToStdWstring();
    destinationFolder = folderEdit_->GetValue().ToStdWstring();
    return true;
}

void NewPartDialog::OnTypeSelChange(wxCommandEvent&) {
    const int selection = typeChoice_->GetSelection();
    if (selection < 0 || selection >= static_cast<int>(typeNames.size())) return;
    // Only the folder follows the type: a name typed meanwhile stays as typed.
    destinationFolder = defaultFolders[selection];
    folderEdit_->ChangeValue(wxString(destinationFolder));
}

void NewPartDialog::RefuseName(const wxString& message) {
    Refuse(message, wxICON_ERROR);
    nameEdit_->SetFocus();
    // After the focus has arrived: taking the focus would otherwise move the caret again.
    CallAfter([this] {
        nameEdit_->SelectAll();
        nameEdit_->ShowPosition(0);
    });
}

void NewPartDialog::OnOK(wxCommandEvent&) {
    if (!TransferDataFromWindow()) return;
    const int selection = typeChoice_->GetSelection();
    if (selection == wxNOT_FOUND) {
        Refuse(Text(resources::IDS_SELECT_PART_TYPE), wxICON_ERROR);
        typeChoice_->SetFocus();
        return;
    }
    std::wstring message;
    if (!CheckPartName(partName, message)) {
        Refuse(wxString(message), wxICON_ERROR);
        return;
    }
    if (wchar_t c = FirstInvalidPathCharacter(partName)) {
        RefuseName(Message(resources::IDS_NAME_HAS_CHARACTER, std::wstring(1, c)));
        return;
    }
    for (wchar_t c : ForbiddenNameCharacters) {
        if (partName.find(c) != std::wstring::npos) {
            RefuseName(Message(resources::IDS_NAME_HAS_CHARACTER, std::wstring(1, c)));
            return;
        }
    }
    const std::wstring fileName = partName + L".qvx";
    const std::filesystem::path folder = platform::PathFromWide(destinationFolder);
    if (PathTaken(folder / platform::PathFromWide(fileName)) ||
        FolderHoldsNameInOtherCase(folder, fileName)) {
        RefuseName(Message(resources::IDS_PART_EXISTS, partName));
        return;
    }
    chosenType = typeChoice_->GetString(selection).ToStdWstring();
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}

NewFolderDialog::NewFolderDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, Text(resources::IDS_NEW_FOLDER_TITLE)) {
    nameEdit_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(180, -1));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_NEW_FOLDER_NAME)), Label());
    row->Add(nameEdit_, wxSizerFlags(1));
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(row, wxSizerFlags().Expand().Border(wxALL, 10));
    top->Add(CreateButtonSizer(wxOK | wxCANCEL), wxSizerFlags().Right().Border(wxALL, 10));
    SetSizerAndFit(top);
    Bind(wxEVT_BUTTON, &NewFolderDialog::OnOK, this, wxID_OK);
    // The name is all the dialog asks for: typing goes there at once, and Enter takes it.
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        event.Skip();
        nameEdit_->SetFocus();
    });
}

bool NewFolderDialog::TransferDataToWindow() {
    nameEdit_->ChangeValue(wxString(folderName));
    return true;
}

bool NewFolderDialog::TransferDataFromWindow() {
    folderName = nameEdit_->GetValue().ToStdWstring();
    return true;
}

void NewFolderDialog::OnOK(wxCommandEvent&) {
    if (!TransferDataFromWindow()) return;
    if (folderName.empty()) {
        Refuse(Text(resources::IDS_FOLDER_NAME_EMPTY), 0);
        return;
    }
    if (wchar_t c = FirstInvalidPathCharacter(folderName)) {
        Refuse(Message(resources::IDS_FOLDER_NAME_HAS_CHARACTER, std::wstring(1, c)), 0);
        return;
    }
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}
