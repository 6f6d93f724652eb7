#include "app/program_config_sheet.h"

#include <charconv>
#include <cmath>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/listbook.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/browse_for_folder.h"
#include "app/message_box.h"
#include "export/export_runs.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

wxString Text(std::uint32_t id) { return wxString(resources::LoadText(id)); }

constexpr int kListWidth = 100;

}  // namespace

bool ParseConfigNumber(const wxString& text, double& value) {
    const std::string narrow = text.Strip(wxString::both).ToStdString(wxConvUTF8);
    if (narrow.empty()) return false;
    double parsed = 0;
    const char* end = narrow.data() + narrow.size();
    const auto [ptr, error] = std::from_chars(narrow.data(), end, parsed);
    if (error != std::errc() || ptr != end || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

wxString FormatConfigNumber(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return wxString::FromAscii(buffer, result.ptr - buffer);
}

ProgramConfigSheet::ProgramConfigSheet(wxWindow* parent) {
    SetSheetStyle(wxPROPSHEET_LISTBOOK);
    Create(parent, wxID_ANY, Text(resources::IDS_PROGRAM_CONFIGURATIONS), wxPoint(80, 80));
    wxBookCtrlBase* book = GetBookCtrl();
    book->AddPage(BuildFolderPage(), Text(resources::IDS_CONFIG_FOLDER_PAGE), true);
    book->AddPage(BuildBackgroundPage(), Text(resources::IDS_CONFIG_BACKGROUND_PAGE));
    book->AddPage(BuildMaterialPage(), Text(resources::IDS_CONFIG_MATERIAL_PAGE));
    book->AddPage(BuildMeshPage(), Text(resources::IDS_CONFIG_MESH_PAGE));
    if (auto* list = dynamic_cast<wxListbook*>(book)) {
        list->GetListView()->SetMinSize(wxSize(kListWidth, -1));
    }
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    for (size_t page = 0; page < book->GetPageCount(); ++page) {
        for (wxWindow* child : book->GetPage(page)->GetChildren()) child->SetFont(font);
    }
    CreateButtons(wxOK | wxCANCEL);
    LayoutDialog();

    book->Bind(wxEVT_LISTBOOK_PAGE_CHANGING, [this](wxBookCtrlEvent& event) {
        if (event.GetOldSelection() != wxNOT_FOUND && !CheckPage(event.GetOldSelection()))
            event.Veto();
    });
    Bind(wxEVT_BUTTON, &ProgramConfigSheet::OnOk, this, wxID_OK);
}

wxWindow* ProgramConfigSheet::BuildFolderPage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* grid = new wxFlexGridSizer(3, 4, 6);
    grid->AddGrowableCol(1);
    auto addRow = [&](std::uint32_t label, wxWindowID editId, wxWindowID buttonId) {
        auto* text = new wxTextCtrl(page, editId, wxEmptyString, wxDefaultPosition,
                                    wxSize(300, -1));
        // As narrow as its label allows: a fixed width below the theme's padding hides it.
        auto* button = new wxButton(page, buttonId, Text(resources::IDS_CONFIG_BROWSE),
                                    wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
        button->Bind(wxEVT_BUTTON, [this, text](wxCommandEvent&) { Browse(text); });
        grid->Add(new wxStaticText(page, wxID_ANY, Text(label)), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(text, 1, wxEXPAND);
        grid->Add(button);
        return text;
    };
    parts_ = addRow(resources::IDS_CONFIG_PARTS_FOLDER, 1008, 1009);
    export_ = addRow(resources::IDS_CONFIG_EXPORT_DESTINATION, 1010, 1011);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(grid, 0, wxEXPAND | wxALL, 10);
    page->SetSizer(sizer);
    return page;
}

wxWindow* ProgramConfigSheet::BuildBackgroundPage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* box = new wxStaticBoxSizer(wxVERTICAL, page, Text(resources::IDS_CONFIG_BACKGROUND_COLOR));
    const std::uint32_t labels[] = {resources::IDS_CONFIG_BLACK, resources::IDS_CONFIG_WHITE,
                                    resources::IDS_CONFIG_GRADATION};
    for (int index = 0; index < 3; ++index) {
        background_[index] = new wxRadioButton(box->GetStaticBox(), 1018 + index,
                                               Text(labels[index]), wxDefaultPosition,
                                               wxDefaultSize, index == 0 ? wxRB_GROUP : 0);
        box->Add(background_[index], 0, wxALL, 4);
    }
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(box, 0, wxEXPAND | wxALL, 10);
    page->SetSizer(sizer);
    return page;
}

wxWindow* ProgramConfigSheet::BuildMaterialPage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    conductivity_ = new wxTextCtrl(page, 1011);
    row->Add(new wxStaticText(page, wxID_ANY, Text(resources::IDS_CONFIG_FLUID_CONDUCTIVITY)), 0,
             wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    row->Add(conductivity_, 0, wxRIGHT, 6);
    row->Add(new wxStaticText(page, wxID_ANY, Text(resources::IDS_CONFIG_CONDUCTIVITY_UNIT)), 0,
             wxALIGN_CENTER_VERTICAL);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(row, 0, wxALL, 10);
    page->SetSizer(sizer);
    return page;
}

wxWindow* ProgramConfigSheet::BuildMeshPage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const std::uint32_t axes[] = {resources::IDS_CONFIG_AXIS_X, resources::IDS_CONFIG_AXIS_Y,
                                  resources::IDS_CONFIG_AXIS_Z};
    auto addGroup = [&](std::uint32_t title, wxWindowID firstId, std::array<wxTextCtrl*, 3>& edits) {
        auto* box = new wxStaticBoxSizer(wxHORIZONTAL, page, Text(title));
        for (int axis = 0; axis < 3; ++axis) {
            auto* column = new wxBoxSizer(wxVERTICAL);
            column->Add(new wxStaticText(box->GetStaticBox(), wxID_ANY, Text(axes[axis])));
            edits[axis] = new wxTextCtrl(box->GetStaticBox(), firstId + axis);
            column->Add(edits[axis]);
            box->Add(column, 0, wxALL, 4);
        }
        sizer->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
    };
    addGroup(resources::IDS_CONFIG_STANDARD_LENGTH, 1010, standard_);
    addGroup(resources::IDS_CONFIG_THRESHOLD, 1013, threshold_);
    sizer->Add(new wxStaticText(page, wxID_ANY, Text(resources::IDS_CONFIG_MESH_NOTE)), 0,
               wxALL, 10);
    page->SetSizer(sizer);
    return page;
}

void ProgramConfigSheet::SetValues(const ProgramConfigValues& values) {
    parts_->ChangeValue(values.PartsFolder);
    export_->ChangeValue(values.ExportFolder);
    for (int index = 0; index < 3; ++index) background_[index]->SetValue(index == values.Background);
    conductivity_->ChangeValue(FormatConfigNumber(values.FluidConductivity));
    for (int axis = 0; axis < 3; ++axis) {
        standard_[axis]->ChangeValue(FormatConfigNumber(values.StandardLength[axis]));
        threshold_[axis]->ChangeValue(FormatConfigNumber(values.Threshold[axis]));
    }
}

ProgramConfigValues ProgramConfigSheet::GetValues() const {
    ProgramConfigValues values;
    values.PartsFolder = parts_->GetValue().ToStdWstring();
    values.ExportFolder = export_->GetValue().ToStdWstring();
    values.Background = -1;
    for (int index = 0; index < 3; ++index) {
        if (background_[index]->GetValue()) values.Background = index;
    }
    ParseConfigNumber(conductivity_->GetValue(), values.FluidConductivity);
    for (int axis = 0; axis < 3; ++axis) {
        ParseConfigNumber(standard_[axis]->GetValue(), values.StandardLength[axis]);
        ParseConfigNumber(threshold_[axis]->GetValue(), values.Threshold[axis]);
    }
    return values;
}

bool ProgramConfigSheet::CheckNumber(wxTextCtrl* text, double& value) {
    if (ParseConfigNumber(text->GetValue(), value)) return true;
    ShowMessageBox(Text(resources::IDS_ENTER_NUMBER), GetTitle(), wxOK | wxICON_EXCLAMATION);
    text->SetFocus();
    text->SelectAll();
    return false;
}

bool ProgramConfigSheet::CheckPositive(wxTextCtrl* text, std::uint32_t nameId, double& value) {
    if (!CheckNumber(text, value)) return false;
    if (pkg::IsValidMeshOrFluidValue(value)) return true;
    ShowMessageBox(wxString(resources::FormatString1(
                       resources::LoadText(resources::IDS_SPECIFY_GREATER_THAN_ZERO),
                       resources::LoadText(nameId))),
                   GetTitle(), wxOK | wxICON_EXCLAMATION);
    text->SetFocus();
    text->SelectAll();
    return false;
}

bool ProgramConfigSheet::CheckPage(int page) {
    double value = 0;
    if (page == kMaterialPage) {
        return CheckPositive(conductivity_, resources::IDS_NAME_FLUID_CONDUCTIVITY, value);
    }
    if (page != kMeshPage) return true;
    std::array<double, 3> standard{};
    std::array<double, 3> threshold{};
    for (int axis = 0; axis < 3; ++axis) {
        const std::uint32_t name = resources::IDS_NAME_STANDARD_LENGTH_X + axis;
        if (!CheckPositive(standard_[axis], name, standard[axis])) return false;
    }
    for (int axis = 0; axis < 3; ++axis) {
        const std::uint32_t name = resources::IDS_NAME_THRESHOLD_X + axis;
        if (!CheckPositive(threshold_[axis], name, threshold[axis])) return false;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (threshold[axis] > standard[axis]) {
            ShowMessageBox(Text(resources::IDS_MESH_THRESHOLD_ABOVE_STANDARD), GetTitle(),
                           wxOK | wxICON_ERROR);
            return false;
        }
    }
    return true;
}

void ProgramConfigSheet::Browse(wxTextCtrl* text) {
    wxString chosen;
    if (BrowseForFolder(this, text->GetValue(), wxEmptyString, chosen)) text->ChangeValue(chosen);
}

void ProgramConfigSheet::OnOk(wxCommandEvent& event) {
    // A page is checked when it is left; the page still showing is checked here, and the
    // others once more so a value never reaches the settings unchecked.
    const int current = GetBookCtrl()->GetSelection();
    if (!CheckPage(current)) return;
    for (int page : {kMaterialPage, kMeshPage}) {
        if (page == current) continue;
        GetBookCtrl()->ChangeSelection(page);
        if (!CheckPage(page)) return;
        GetBookCtrl()->ChangeSelection(current);
    }
    event.Skip();
}
