#include "parts_ui/batch_output_dialog.h"

#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cwctype>
#include <system_error>

#include "app/browse_for_folder.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "app/program_settings.h"
#include "models/package_types.h"
#include "models/semiconductor_package.h"
#include "parts_ui/file_tree_images.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/modeling_type_dialog.h"
#include "parts_ui/output_progress_dialog.h"
#include "parts_ui/part_name_edit.h"
#include "parts_ui/part_name_rules.h"
#include "widget/drag_image.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "widget/controls.h"

namespace parts_ui {

namespace {

namespace fs = std::filesystem;

// Whether a part of folder type `type` may be exported as `kind`; a type the program does
// not know refuses nothing.
bool Exports(const std::wstring& type, pkg::ExportKind kind) {
    const pkg::PackageType* row = pkg::FindPackageType(type);
    return row == nullptr || row->Exports(kind);
}

wxString Text(std::uint32_t id) { return wxString(resources::LoadText(id)); }

int ShowError(const wxString& message) {
    return ShowMessageBox(message, Text(resources::IDS_APP_TITLE), wxOK | wxICON_ERROR);
}

std::wstring ValueText(const std::shared_ptr<widget::WTreeItem>& item) {
    if (!item || item->value.IsEmpty()) return std::wstring();
    try {
        return item->value.ChangeType(widget::VT_BSTR).Bstr();
    } catch (const widget::ComError&) {
        return std::wstring();
    }
}

// A part file holds a part; a folder holds one when anything below it, depth first, does.
bool HoldsPart(const std::shared_ptr<widget::WTreeItem>& item) {
    if (!item) return false;
    if (IsPartFileName(StoredPath(*item))) return true;
    for (int r = 0; r < static_cast<int>(item->rows.size()); ++r) {
        if (HoldsPart(item->Child(r, 0))) return true;
    }
    return false;
}

std::wstring UpperTypeName(const char* name) {
    std::wstring upper;
    for (const char* c = name; c != nullptr && *c != '\0'; ++c) {
        upper += static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(*c)));
    }
    return upper;
}

bool MakeFolders(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return !ec && fs::is_directory(folder, ec);
}

}  // namespace

BatchOutputDialog::BatchOutputDialog(wxWindow* parent, const ProgramSettings& settings)
    : wxDialog(parent, wxID_ANY, Text(resources::IDS_EXPORT_TITLE), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      settings_(settings) {
    kinds_ = {resources::LoadText(resources::IDS_KIND_SIMPLE),
              resources::LoadText(resources::IDS_KIND_DETAIL),
              resources::LoadText(resources::IDS_KIND_TWO_RESISTOR),
              resources::LoadText(resources::IDS_KIND_THREE_RESISTOR),
              resources::LoadText(resources::IDS_KIND_DELPHI)};
    const std::pair<const std::wstring*, pkg::ExportKind> optional[] = {
        {&kinds_.simple, pkg::kExportsSimple},
        {&kinds_.threeResistor, pkg::kExportsThreeResistor},
        {&kinds_.twoResistor, pkg::kExportsTwoResistor},
        {&kinds_.delphi, pkg::kExportsDelphi}};
    for (const pkg::PackageType& type : pkg::kPackageTypes) {
        for (const auto& [text, kind] : optional) {
            if (!type.Exports(kind)) ModelingTypeExclusions.emplace_back(type.wide_folder, *text);
        }
    }
    createFolder = MakeFolders;
    browseForFolder = [this](const wxString& initial, wxString& chosen) {
        return BrowseForFolder(this, initial, wxEmptyString, chosen);
    };

    kindDelegate = std::make_shared<widget::WComboBoxDelegate>();
    kindDelegate->SetEditorFactory(
        []() -> wxWindow* { return new widget::WDropDownListComboBox(); });
    kindDelegate->SetOptionListProvider(
        [this](const widget::WModelIndex& index) { return ModelingTypeOptions(index); });
    nameDelegate = std::make_shared<PartNameEditDelegate>();
    nameDelegate->SetEditorFactory([]() -> wxWindow* { return new PartNameEdit(); });

    BuildLayout();

    Bind(wxEVT_INIT_DIALOG, &BatchOutputDialog::OnInitDialog, this);
    addButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddToList(); });
    deleteButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDeleteFromList(); });
    changeKindButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnChangeModelingType(); });
    browseButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBrowseExportFolder(); });
    exportButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnExport(); });
    treeView->Bind(wxEVT_TREE_BEGIN_DRAG, &BatchOutputDialog::OnBeginDragPart, this);
    treeView->Bind(wxEVT_TREE_END_DRAG, &BatchOutputDialog::OnEndDragPart, this);
    treeView->Bind(wxEVT_MOTION, [this](wxMouseEvent& event) {
        event.Skip();
        if (dragImage_ != nullptr)
            dragImage_->FollowPointer(treeView->ClientToScreen(event.GetPosition()));
    });
    treeView->Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent& event) {
        event.Skip();
        EndDragImage();
    });
}

BatchOutputDialog::~BatchOutputDialog() {
    // The controls go after this body: none of their signals may reach the dialog then.
    connections_.clear();
}

void BatchOutputDialog::BuildLayout() {
    treeView = new widget::WTreeCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxBORDER_SUNKEN);
    listView =
        new widget::WListView(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN);
    listView->SetFitColumnsToTexts(true);
    // The columns' widths must not move the lists' division: the list scrolls instead.
    listView->SetMinSize(wxSize(100, 100));
    addButton = new wxButton(this, wxID_ANY, Text(resources::IDS_EXPORT_ADD));
    deleteButton = new wxButton(this, wxID_ANY, Text(resources::IDS_EXPORT_DELETE));
    changeKindButton = new wxButton(this, wxID_ANY, Text(resources::IDS_EXPORT_CHANGE_KIND));
    destinationBox = new wxTextCtrl(this, wxID_ANY);
    destinationBox->SetMaxLength(999);
    browseButton = new wxButton(this, wxID_ANY, Text(resources::IDS_EXPORT_BROWSE),
                                wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    exportButton = new wxButton(this, wxID_ANY, Text(resources::IDS_EXPORT_RUN));
    auto* closeButton = new wxButton(this, wxID_CANCEL, Text(resources::IDS_EXPORT_CLOSE));

    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_EXPORT_PARTS)),
              wxSizerFlags().Border(wxBOTTOM, 4));
    left->Add(treeView, wxSizerFlags(1).Expand());
    auto* middle = new wxBoxSizer(wxVERTICAL);
    middle->AddStretchSpacer();
    for (wxButton* button : {addButton, deleteButton, changeKindButton}) {
        middle->Add(button, wxSizerFlags().Expand().Border(wxBOTTOM, 8));
    }
    middle->AddStretchSpacer();
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_EXPORT_LIST)),
               wxSizerFlags().Border(wxBOTTOM, 4));
    right->Add(listView, wxSizerFlags(1).Expand());
    auto* lists = new wxBoxSizer(wxHORIZONTAL);
    treeColumn_ = lists->Add(left, wxSizerFlags(1).Expand());
    lists->Add(middle, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, 8));
    lists->Add(right, wxSizerFlags(2).Expand());

    auto* destination = new wxBoxSizer(wxHORIZONTAL);
    destination->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_EXPORT_DESTINATION)),
                     wxSizerFlags().CenterVertical().Border(wxRIGHT, 8));
    destination->Add(destinationBox, wxSizerFlags(1).CenterVertical());
    destination->Add(browseButton, wxSizerFlags().CenterVertical().Border(wxLEFT, 4));
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(exportButton, wxSizerFlags().Border(wxRIGHT, 8));
    buttons->Add(closeButton);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(lists, wxSizerFlags(1).Expand().Border(wxALL, 10));
    top->Add(destination, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, 10));
    top->Add(buttons, wxSizerFlags().Expand().Border(wxALL, 10));
    SetSizer(top);
    SetSize(ConvertDialogToPixels(wxSize(505, 293)));
    Layout();
    CentreOnParent();
}

void BatchOutputDialog::OnInitDialog(wxInitDialogEvent& event) {
    event.Skip();
    if (listModel) return;

    treeView->AssignImageList(MakeFileTreeImages());
    treeView->SetModel(partsModel);
    treeView->Rebuild();
    treeView->ExpandAll();
    FitTreeWidth();
    connections_.emplace_back(
        treeView->selChanged.connect([this](wxTreeItemId) { UpdateAddButton(); }));

    listModel = std::make_shared<widget::WTreeItemModel>();
    listModel->headers = {resources::LoadText(resources::IDS_EXPORT_PART_NAME),
                          resources::LoadText(resources::IDS_EXPORT_PART_TYPE),
                          resources::LoadText(resources::IDS_EXPORT_MODELING_TYPE),
                          resources::LoadText(resources::IDS_EXPORT_OUTPUT_NAME)};
    listModel->root->columnCount = 4;
    listView->SetModel(listModel);
    listView->SetItemDelegateForColumn(kExportKind, kindDelegate);
    listView->SetItemDelegateForColumn(kExportOutputName, nameDelegate);
    listView->Rebuild();

    // The view's own slots were connected first, so it has followed each change already.
    connections_.emplace_back(listModel->dataChanged.connect(
        [this](widget::WTreeItem* item) { OnModelingTypeChanged(item); }));
    connections_.emplace_back(
        listModel->rowInserted.connect([this](widget::WTreeItem*, int) { UpdateListButtons(); }));
    // Removed rows take their selection with them.
    connections_.emplace_back(
        listModel->rowRemoved.connect([this](widget::WTreeItem*, int) { UpdateListButtons(); }));
    connections_.emplace_back(
        listView->selectionModel->selectionChanged.connect([this] { UpdateListButtons(); }));

    destinationBox->ChangeValue(exportDestination);
    UpdateAddButton();
    UpdateListButtons();
    // The keys (Escape as Close among them) reach the dialog from the start.
    treeView->SetFocus();
}

void BatchOutputDialog::FitTreeWidth() {
    const int needed =
        treeView->GetBestSize().x + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, treeView);
    const int share = treeColumn_->GetSize().x;
    if (share <= 0) return;
    treeView->SetMinSize(wxSize(std::min(needed, share), -1));
    treeColumn_->SetProportion(0);
    Layout();
}

void BatchOutputDialog::UpdateAddButton() {
    const wxTreeItemId selected = treeView->GetSelection();
    addButton->Enable(selected.IsOk() && HoldsPart(treeView->NodeItem(selected)));
}

void BatchOutputDialog::UpdateListButtons() {
    const bool rows = listView->GetItemCount() > 0;
    changeKindButton->Enable(rows);
    exportButton->Enable(rows);
    // The generic list's selection count lags behind deleted rows; the rows' states do not.
    deleteButton->Enable(listView->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED) >= 0);
}

void BatchOutputDialog::OnAddToList() {
    const wxTreeItemId selected = treeView->GetSelection();
    if (selected.IsOk()) AddTreeItem(selected);
}

void BatchOutputDialog::AddTreeItem(const wxTreeItemId& node) { AddPart(treeView->NodeItem(node)); }

void BatchOutputDialog::AddPart(const std::shared_ptr<widget::WTreeItem>& item) {
    if (!item || !listModel) return;
    const std::wstring path = StoredPath(*item);
    // Folders are told by the stored path, so a folder whose name holds a dot is one too.
    if (!IsPartFileName(path)) {
        for (int r = 0; r < static_cast<int>(item->rows.size()); ++r) AddPart(item->Child(r, 0));
        return;
    }
    std::shared_ptr<pkg::SemiconductorPackage> package;
    try {
        package = settings_.LoadDetailedModelByType(path);
    } catch (...) {
        // A path outside the parts folder or a malformed value: the file is no usable part.
        package.reset();
    }
    if (!package) {
        LogToOutput("invalid part file: %s", path);
        return;
    }
    const std::wstring name = platform::PathToWide(platform::PathFromWide(path).stem());
    if (ContainsPart(path)) {
        LogToOutput("%s has been alread in the output list", name);
        return;
    }
    auto first = widget::MakeTreeItem();
    first->text = name;
    first->value = widget::Variant::FromBstr(path);
    listModel->AppendRow(first);
    const int row = first->row;
    listModel->root->Child(row, kExportKind)->SetData(widget::Variant::FromBstr(kinds_.detail));
    listModel->root->Child(row, kExportPartType)
        ->SetData(widget::Variant::FromBstr(UpperTypeName(package->TypeName())));
    listModel->root->Child(row, kExportOutputName)
        ->SetData(widget::Variant::FromBstr(name + L"_detail"));
}

// Paths are compared exactly: two files whose names differ only in case are two parts.
bool BatchOutputDialog::ContainsPart(const std::wstring& path) const {
    if (!listModel) return false;
    for (int r = 0; r < static_cast<int>(listModel->root->rows.size()); ++r) {
        const auto first = listModel->root->Child(r, kExportPartName);
        if (first && StoredPath(*first) == path) return true;
    }
    return false;
}

std::vector<wxString> BatchOutputDialog::ModelingTypeOptions(
    const widget::WModelIndex& index) const {
    const std::wstring type =
        listModel ? ValueText(listModel->root->Child(index.row, kExportPartType)) : std::wstring();
    std::vector<wxString> options;
    for (const std::wstring* kind : {&kinds_.simple, &kinds_.detail, &kinds_.twoResistor,
                                     &kinds_.threeResistor, &kinds_.delphi}) {
        const bool excluded =
            std::find(ModelingTypeExclusions.begin(), ModelingTypeExclusions.end(),
                      std::make_pair(type, *kind)) != ModelingTypeExclusions.end();
        if (!excluded) options.emplace_back(*kind);
    }
    return options;
}

// A kind the row's part type does not allow goes back to "Detail", whose own change then
// names the output; an allowed kind renames the output, replacing a typed name.
void BatchOutputDialog::OnModelingTypeChanged(widget::WTreeItem* item) {
    if (item == nullptr || !listModel || item->parent != listModel->root.get() ||
        item->column != kExportKind) {
        return;
    }
    const int row = item->row;
    const std::wstring kind = ValueText(listModel->root->Child(row, kExportKind));
    const std::wstring type = ValueText(listModel->root->Child(row, kExportPartType));
    std::wstring suffix;
    bool refused = false;
    if (kind == kinds_.detail) {
        suffix = L"_detail";
    } else if (kind == kinds_.simple) {
        refused = !Exports(type, pkg::kExportsSimple);
        suffix = L"_simple";
    } else if (kind == kinds_.twoResistor) {
        refused = !Exports(type, pkg::kExportsTwoResistor);
        suffix = L"_2resistance";
    } else if (kind == kinds_.delphi) {
        refused = !Exports(type, pkg::kExportsDelphi);
        suffix = L"_DELPHI";
    } else if (kind == kinds_.threeResistor) {
        refused = !Exports(type, pkg::kExportsThreeResistor);
        suffix = L"_3resistance";
    }
    if (refused) {
        item->SetData(widget::Variant::FromBstr(kinds_.detail));
        return;
    }
    const auto first = listModel->root->Child(row, kExportPartName);
    const auto output = listModel->root->Child(row, kExportOutputName);
    if (first && output) output->SetData(widget::Variant::FromBstr(first->text + suffix));
}

void BatchOutputDialog::OnDeleteFromList() {
    std::vector<int> rows;
    for (long r = listView->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); r >= 0;
         r = listView->GetNextItem(r, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        rows.push_back(static_cast<int>(r));
    }
    // From the last up, so that no removal shifts a row still to be removed.
    std::sort(rows.rbegin(), rows.rend());
    for (int r : rows) listModel->RemoveRow(r, listModel->root.get());
}

void BatchOutputDialog::OnChangeModelingType() {
    ModelingTypeDialog dialog(this);
    dialog.kindTexts = {kinds_.simple, kinds_.detail, kinds_.twoResistor, kinds_.threeResistor,
                        kinds_.delphi};
    if (dialog.ShowModal() != wxID_OK) return;
    if (std::find(dialog.kindTexts.begin(), dialog.kindTexts.end(), dialog.chosenText) ==
        dialog.kindTexts.end()) {
        return;
    }
    for (int r = 0; r < static_cast<int>(listModel->root->rows.size()); ++r) {
        listModel->root->Child(r, kExportKind)
            ->SetData(widget::Variant::FromBstr(dialog.chosenText));
    }
}

// The box may have been typed into: what it shows is the destination.
void BatchOutputDialog::ReadDestinationBox() {
    exportDestination = destinationBox->GetValue().ToStdWstring();
}

void BatchOutputDialog::OnBrowseExportFolder() {
    ReadDestinationBox();
    wxString chosen;
    if (!browseForFolder || !browseForFolder(wxString(exportDestination), chosen)) return;
    exportDestination = chosen.ToStdWstring();
    destinationBox->ChangeValue(chosen);
}

bool BatchOutputDialog::CheckRows() {
    const std::vector<std::wstring> kinds = {kinds_.simple, kinds_.detail, kinds_.twoResistor,
                                             kinds_.threeResistor, kinds_.delphi};
    const int rows = static_cast<int>(listModel->root->rows.size());
    for (int r = 0; r < rows; ++r) {
        const std::wstring kind = ValueText(listModel->root->Child(r, kExportKind));
        if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) {
            ShowError(Text(resources::IDS_MODELING_TYPE_NOT_SET));
            return false;
        }
        const std::wstring name = ValueText(listModel->root->Child(r, kExportOutputName));
        std::wstring message;
        // The name becomes the cabinet's file name: it is held to what Rename allows.
        if (!CheckPartFileName(name, message)) {
            ShowError(wxString(message));
            return false;
        }
        for (int earlier = 0; earlier < r; ++earlier) {
            const wxString other = ValueText(listModel->root->Child(earlier, kExportOutputName));
            if (other.CmpNoCase(wxString(name)) == 0) {
                ShowError(wxString(resources::FormatString1(
                    resources::LoadText(resources::IDS_SAME_OUTPUT_FILE), name)));
                return false;
            }
        }
    }
    return true;
}

bool BatchOutputDialog::EnsureDestination() {
    const fs::path folder = platform::PathFromWide(exportDestination);
    std::error_code ec;
    if (!exportDestination.empty() && fs::exists(fs::status(folder, ec)) && !ec) return true;
    std::wstring shown = exportDestination;
    if (!shown.empty() && shown.back() == L'/') shown.pop_back();
    const int answer =
        ShowMessageBox(wxString(resources::FormatString1(
                           resources::LoadText(resources::IDS_FOLDER_MISSING_CREATE), shown)),
                       Text(resources::IDS_APP_TITLE), wxYES_NO | wxICON_QUESTION);
    if (answer != wxYES) return false;
    bool made = false;
    try {
        made = createFolder && createFolder(folder);
    } catch (...) {
        made = false;
    }
    if (!made) {
        ShowError(Text(resources::IDS_FOLDER_CREATE_FAILED));
        return false;
    }
    return true;
}

void BatchOutputDialog::OnExport() {
    if (!listModel) return;
    ReadDestinationBox();
    if (!CheckRows()) return;
    auto progress = MakeProgressModel(*listModel);
    if (!EnsureDestination()) return;

    OutputProgressDialog dialog(this);
    dialog.listView->SetModel(progress);
    dialog.AddJob(ExportJob({listModel, kinds_, exportDestination}, progress,
                            std::make_shared<SettingsExportServices>(settings_), &dialog));
    dialog.ShowModal();
}

void BatchOutputDialog::OnBeginDragPart(wxTreeEvent& event) {
    const auto item = treeView->NodeItem(event.GetItem());
    if (!HoldsPart(item)) return;
    treeView->SelectItem(event.GetItem());
    dragImage_ = widget::DragImage::OfTreeNode(treeView, event.GetItem());
    if (dragImage_ == nullptr) return;
    dragImage_->FollowPointer(wxGetMousePosition());
    dragged_ = item;
    // The tree follows the mouse and reports the release.
    event.Allow();
}

void BatchOutputDialog::EndDragImage() {
    if (dragImage_ != nullptr) dragImage_->Destroy();
    dragImage_ = nullptr;
}

// Only a release over the export list adds the part.
void BatchOutputDialog::OnEndDragPart(wxTreeEvent& event) {
    const auto item = dragged_.lock();
    dragged_.reset();
    EndDragImage();
    if (!item) return;
    const wxPoint screen = treeView->ClientToScreen(event.GetPoint());
    if (listView->GetScreenRect().Contains(screen)) AddPart(item);
}

}  // namespace parts_ui
