#include "shell/main_frame.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

#include <wx/accel.h>
#include <wx/aui/floatpane.h>
#include <wx/display.h>
#include <wx/icon.h>
#include <wx/imagpng.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/mstream.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include "app/command_ids.h"
#include "app/help_view.h"
#include "app/home_folder.h"
#include "app/output_view.h"
#include "app/preview_view.h"
#include "app/program_settings.h"
#include "models/package_types.h"
#include "parts_ui/file_view.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/parts_view.h"
#include "parts_ui/properties_view.h"
#include "platform/gtk_window.h"
#include "platform/registry.h"
#include "platform/wide_string.h"
#include "resources/icons.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "widget/tree_ctrl.h"
#include "widget/tree_item.h"
#include "widget/variant.h"

const wchar_t MainFrame::kRectValue[] = L"MainFrameRect";
const wchar_t MainFrame::kLayoutValue[] = L"MainFrameLayout";

namespace {

constexpr int kSeparator = 0;

// The display that holds most of a rectangle, or wxNOT_FOUND when it overlaps none.
int DisplayMostUnder(int x, int y, int width, int height) {
    int best = wxNOT_FOUND;
    long long most = 0;
    for (unsigned d = 0; d < wxDisplay::GetCount(); ++d) {
        const wxRect screen = wxDisplay(d).GetGeometry();
        const long long across =
            std::min<long long>(static_cast<long long>(x) + width, screen.GetRight() + 1LL) -
            std::max<long long>(x, screen.x);
        const long long down =
            std::min<long long>(static_cast<long long>(y) + height, screen.GetBottom() + 1LL) -
            std::max<long long>(y, screen.y);
        if (across > 0 && down > 0 && across * down > most) {
            most = across * down;
            best = static_cast<int>(d);
        }
    }
    return best;
}

// One entry of the menu: a command with its texts, a separator, or a submenu's title.
struct MenuText {
    int command;  // kSeparator, or -1 for a submenu title
    const wchar_t* english;
    const wchar_t* japanese;
};

const std::vector<MenuText> kMenu = {
    {-1, L"&File", L"ファイル(&F)"},
    {ID_NEW_PART, L"&New Part\tCtrl+N", L"新規パーツ(&N)\tCtrl+N"},
    {kSeparator, nullptr, nullptr},
    {ID_EXPORT, L"&Export", L"エクスポート(&E)"},
    {kSeparator, nullptr, nullptr},
    {ID_NEW_FOLDER, L"New &Folder", L"新規フォルダー(&F)"},
    {ID_DELETE, L"&Delete", L"削除(&D)"},
    {ID_RENAME, L"Rename", L"名前の変更"},
    {kSeparator, nullptr, nullptr},
    {ID_APP_EXIT, L"E&xit Zentrik", L"Zentrik の終了(&X)"},
    {-1, L"&View", L"表示(&V)"},
    {ID_FILE_VIEW, L"File view", L"ファイル ビュー"},
    {ID_VIEW_PROPERTIES, L"Property", L"プロパティ"},
    {ID_HELP_VIEW, L"Help view", L"ヘルプ ビュー"},
    {ID_VIEW_COMPONENTS, L"Components", L"構成要素"},
    {ID_VIEW_OUTPUT, L"Output", L"出力"},
    {kSeparator, nullptr, nullptr},
    {ID_REFRESH, L"&Refresh", L"最新の情報に更新(&R)"},
    {-1, L"&Option", L"オプション(&O)"},
    {ID_MOUSE_THREE_BUTTON, L"(Mouse) 3Button Mode", L"(マウス) 3ボタン モード"},
    {ID_MOUSE_ONE_BUTTON, L"(Mouse) 1Button Mode", L"(マウス) 1ボタン モード"},
    {kSeparator, nullptr, nullptr},
    {ID_ROTATE_3D, L"3D rotation", L"3D 回転"},
    {ID_ROTATE_2D, L"2D rotation", L"2D 回転"},
    {ID_TRANSLATE, L"Translation", L"平行移動"},
    {ID_SCALE, L"Scaling", L"拡大縮小"},
    {kSeparator, nullptr, nullptr},
    {ID_PROGRAM_CONFIGURATIONS, L"Program Configurations...", L"プログラムの設定..."},
    {-1, L"&Help", L"ヘルプ(&H)"},
    {ID_USERS_GUIDE, L"&User's Guide", L"ユーザーズ ガイド(&U)"},
    {ID_MANUAL, L"&Manual", L"マニュアル(&M)"},
    {kSeparator, nullptr, nullptr},
    {ID_APP_ABOUT, L"&About Zentrik...", L"バージョン情報 Zentrik(&A)..."},
};

bool IsCheckItem(int command) {
    switch (command) {
        case ID_FILE_VIEW: case ID_VIEW_PROPERTIES: case ID_HELP_VIEW:
        case ID_VIEW_COMPONENTS: case ID_VIEW_OUTPUT: case ID_MOUSE_THREE_BUTTON:
        case ID_MOUSE_ONE_BUTTON: case ID_ROTATE_3D: case ID_ROTATE_2D: case ID_TRANSLATE:
        case ID_SCALE:
            return true;
        default:
            return false;
    }
}

wxString UiText(std::uint32_t id) { return wxString(resources::LoadText(id)); }

constexpr int kFrameWidth = 1280;
constexpr int kFrameHeight = 800;
constexpr int kOutputWidth = 400;
constexpr int kOutputHeight = 200;
// The least each pane and the preview are laid out at: a caption, a few rows, a button.
const wxSize kPreviewMinSize(160, 120);
const wxSize kPaneMinSize(120, 80);
const wxSize kOutputMinSize(200, 60);

// Counts the program's open modal windows, message boxes included, which a floating pane
// must never cover.
class ModalWindows : public wxModalDialogHook {
public:
    ModalWindows() { Register(); }
    ~ModalWindows() override { Unregister(); }
    int open = 0;

protected:
    int Enter(wxDialog*) override {
        ++open;
        return wxID_NONE;
    }
    void Exit(wxDialog*) override { --open; }
};

ModalWindows& OpenModalWindows() {
    static ModalWindows windows;
    return windows;
}

}  // namespace

wxBitmap IconBitmap(const unsigned char* bytes, std::size_t size) {
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    wxMemoryInputStream stream(bytes, size);
    wxImage image(stream, wxBITMAP_TYPE_PNG);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

MainFrame::MainFrame(ProgramSettings& settings, PartFileOperations& operations,
                     bool highColorIcons)
    : wxFrame(nullptr, wxID_ANY, UiText(resources::IDS_APP_TITLE), wxPoint(0, 0),
              wxSize(kFrameWidth, kFrameHeight)),
      settings_(settings),
      operations_(operations) {
    // The count starts with the frame, so that a dialog already open when the floating panes
    // are first raised is known.
    OpenModalWindows();
    RestoreRectangle();
    wxIcon icon;
    icon.CopyFromBitmap(IconBitmap(resources::kIcon128, resources::kIcon128Size));
    SetIcon(icon);
    BuildMenuBar();
    manager_.Manage(this);

    preview_ = new PreviewView(this);
    manager_.AddCentrePane(preview_, pane_names::kPreview, kPreviewMinSize);
    CreateDockingWindows(highColorIcons);

    operations_.Files = files_;
    operations_.Properties = properties_;
    operations_.Help = help_;
    operations_.Settings = &settings_;
    Reload();
    preview_->BackgroundType = settings_.BackgroundType;
    preview_->TopColor = settings_.BackgroundTopColor;
    preview_->BottomColor = settings_.BackgroundBottomColor;
    preview_->MouseMode = settings_.MouseMode;
    preview_->OneButtonOperation = settings_.OneButtonOperation;
    operations_.Preview = preview_;
    ComponentKeysForType(std::string());
    manager_.Relayout();

    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    Bind(wxEVT_ACTIVATE, &MainFrame::OnActivate, this);
    // The size it has when neither maximised nor minimised, to come back to.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        KeepNormalRectLater();
    });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& event) {
        event.Skip();
        KeepNormalRectLater();
    });
    Bind(wxEVT_SYS_COLOUR_CHANGED, &MainFrame::OnSysColourChanged, this);
    for (int command : {ID_FILE_VIEW, ID_VIEW_PROPERTIES, ID_HELP_VIEW, ID_VIEW_COMPONENTS,
                        ID_VIEW_OUTPUT}) {
        Bind(wxEVT_MENU, [this, command](wxCommandEvent&) { OnViewPane(command); },
             WxId(command));
        Bind(wxEVT_UPDATE_UI,
             [this, command](wxUpdateUIEvent& event) { OnUpdateViewPane(event, command); },
             WxId(command));
    }
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { SetMouseMode(0); }, WxId(ID_MOUSE_THREE_BUTTON));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { SetMouseMode(1); }, WxId(ID_MOUSE_ONE_BUTTON));
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(settings_.MouseMode == 0); },
         WxId(ID_MOUSE_THREE_BUTTON));
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(settings_.MouseMode == 1); },
         WxId(ID_MOUSE_ONE_BUTTON));
    const int operationCommands[] = {ID_ROTATE_3D, ID_ROTATE_2D, ID_TRANSLATE, ID_SCALE};
    for (int operation = 0; operation < 4; ++operation) {
        const int id = WxId(operationCommands[operation]);
        Bind(wxEVT_MENU, [this, operation](wxCommandEvent&) { SetOneButtonOperation(operation); },
             id);
        Bind(wxEVT_UPDATE_UI,
             [this, operation](wxUpdateUIEvent& e) {
                 e.Check(settings_.OneButtonOperation == operation);
                 e.Enable(settings_.MouseMode == 1);
             },
             id);
    }
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, WxId(ID_APP_EXIT));
}

MainFrame::~MainFrame() {
    // The model lives on in the tree until the children go; it must call no slot of a
    // frame that is being destroyed.
    componentConnections_.clear();
    // The manager may still hold the frame's event handler when the frame is destroyed
    // without going through OnClose (for example in a test).
    if (manager_.GetManagedWindow() != nullptr) manager_.UnInit();
}

bool MainFrame::Show(bool show) {
    if (show && !IsShown()) platform::SizeBeforeFirstShow(GetHandle(), GetSize().x, GetSize().y);
    return wxFrame::Show(show);
}

void MainFrame::BuildMenuBar() {
    const bool japanese = resources::ThreadLanguage() == resources::kLanguageJapanese;
    auto* bar = new wxMenuBar;
    wxMenu* menu = nullptr;
    wxString title;
    for (const MenuText& entry : kMenu) {
        const wxString text = japanese ? entry.japanese : entry.english;
        if (entry.command == -1) {
            if (menu != nullptr) bar->Append(menu, title);
            menu = new wxMenu;
            title = text;
        } else if (entry.command == kSeparator) {
            menu->AppendSeparator();
        } else {
            menu->Append(WxId(entry.command), text, wxEmptyString,
                         IsCheckItem(entry.command) ? wxITEM_CHECK : wxITEM_NORMAL);
        }
    }
    bar->Append(menu, title);
    // Without an installed user's guide its item would only ever report a failure.
    std::error_code error;
    const std::wstring guide = FindUsersGuide(resources::ThreadLanguage());
    wxMenu* help = nullptr;
    wxMenuItem* item = bar->FindItem(WxId(ID_USERS_GUIDE), &help);
    if ((guide.empty() || !std::filesystem::exists(platform::PathFromWide(guide), error)) &&
        item != nullptr && help != nullptr)
        help->Destroy(item);
    SetMenuBar(bar);
    wxAcceleratorEntry entries[1];
    entries[0].Set(wxACCEL_CTRL, 'N', WxId(ID_NEW_PART));
    SetAcceleratorTable(wxAcceleratorTable(1, entries));
}

void MainFrame::CreateDockingWindows(bool highColorIcons) {
    const wxSize client = GetClientSize();
    const wxSize half(client.GetWidth() / 2, client.GetHeight() / 2);

    files_ = new FileView(this, ID_FILE_VIEW, operations_, settings_);
    output_ = new OutputView(this, ID_OUTPUT_PANE);
    properties_ = new PropertiesView(this);
    properties_->SetId(ID_PROPERTIES_PANE);
    help_ = new HelpView(this, ID_HELP_VIEW);
    components_ = new PartsView(this, ID_COMPONENTS_PANE);

    manager_.AddDockingPane(files_, wxAuiPaneInfo()
                                 .Name(pane_names::kFileView)
                                 .Caption(UiText(resources::IDS_FILE_VIEW))
                                 .Left()
                                 .Position(0)
                                 .BestSize(200, 200)
                                 .MinSize(kPaneMinSize)
                                 .Icon(highColorIcons
                                           ? IconBitmap(resources::kIcon162, resources::kIcon162Size)
                                           : IconBitmap(resources::kIcon161, resources::kIcon161Size)));
    manager_.AddDockingPane(components_, wxAuiPaneInfo()
                                      .Name(pane_names::kComponents)
                                      .Caption(UiText(resources::IDS_COMPONENTS_VIEW))
                                      .Left()
                                      .Position(1)
                                      .Gripper()
                                      .BestSize(150, 200)
                                      .MinSize(kPaneMinSize));
    manager_.AddDockingPane(properties_, wxAuiPaneInfo()
                                      .Name(pane_names::kProperties)
                                      .Caption(UiText(resources::IDS_PROPERTIES_VIEW))
                                      .Bottom()
                                      .Row(0)
                                      .Position(0)
                                      .Gripper()
                                      .BestSize(half)
                                      .MinSize(kPaneMinSize)
                                      .Icon(highColorIcons
                                                ? IconBitmap(resources::kIcon168, resources::kIcon168Size)
                                                : IconBitmap(resources::kIcon167, resources::kIcon167Size)));
    manager_.AddDockingPane(help_, wxAuiPaneInfo()
                                .Name(pane_names::kHelp)
                                .Caption(UiText(resources::IDS_HELP_VIEW))
                                .Bottom()
                                .Row(0)
                                .Position(1)
                                .Gripper()
                                .BestSize(half)
                                .MinSize(kPaneMinSize));
    // Docked until the frame is shown; ArrangeFloatingPanes floats it.
    manager_.AddDockingPane(output_, wxAuiPaneInfo()
                                  .Name(pane_names::kOutput)
                                  .Caption(UiText(resources::IDS_OUTPUT_VIEW))
                                  .Bottom()
                                  .Row(1)
                                  .Gripper()
                                  .BestSize(100, 100)
                                  .MinSize(kOutputMinSize)
                                  .FloatingSize(kOutputWidth, kOutputHeight)
                                  .Icon(highColorIcons
                                            ? IconBitmap(resources::kIcon166, resources::kIcon166Size)
                                            : IconBitmap(resources::kIcon165, resources::kIcon165Size)));
}

void MainFrame::RestoreRectangle() {
    const auto text =
        platform::Registry::ReadString(platform::RegistryRoot::CurrentUser, GetProductKey(),
                                       kRectValue);
    if (!text) return;
    std::wistringstream in(*text);
    int x = 0, y = 0, width = 0, height = 0, maximized = 0;
    wchar_t comma1 = 0, comma2 = 0, comma3 = 0, comma4 = 0;
    in >> x >> comma1 >> y >> comma2 >> width >> comma3 >> height;
    if (!in || comma1 != L',' || comma2 != L',' || comma3 != L',') return;
    // The maximised state follows the rectangle; a value without it is not maximised.
    if (in >> comma4 >> maximized && comma4 != L',') return;
    // A rectangle off every screen (a display that is gone) keeps the default place; one
    // larger than its screen (a damaged or foreign value) is fitted onto it, and so is one
    // whose corner stood just off it, as a window manager may report a frame it is placing.
    const int display = DisplayMostUnder(x, y, width, height);
    if (width >= 200 && height >= 150 && display != wxNOT_FOUND) {
        const wxRect rect =
            MovedOnto(wxRect(x, y, width, height), wxDisplay(display).GetClientArea());
        SetSize(rect);
        normalRect_ = rect;
    }
    // Wherever its rectangle lay, a frame left maximised comes back maximised.
    if (maximized == 1) Maximize();
}

void MainFrame::KeepNormalRect() {
    if (!IsShown() || IsMaximized() || IsIconized() || IsFullScreen()) return;
    // Asked of the display server: a frame resized just before it is closed has not yet
    // been told its new size.
    platform::ScreenRect now;
    normalRect_ = platform::FrameRectangle(GetHandle(), now)
                      ? wxRect(now.x, now.y, now.width, now.height)
                      : GetRect();
}

void MainFrame::KeepNormalRectLater() {
    // A window manager that maximises the frame moves and sizes it first and says that it
    // is maximised afterwards; the rectangle is taken once those messages have all come in,
    // so that the maximised one is never kept as the frame's own.
    if (normalRectPending_) return;
    normalRectPending_ = true;
    CallAfter([this] {
        normalRectPending_ = false;
        KeepNormalRect();
    });
}

void MainFrame::ArrangeFloatingPanes() {
    const auto layout =
        platform::Registry::ReadString(platform::RegistryRoot::CurrentUser, GetProductKey(),
                                       kLayoutValue);
    // A layout of another version, or of other panes, gives way to the first-start layout.
    if (layout && manager_.LoadLayout(wxString(*layout))) {
        RaiseFloatingPanes();
        return;
    }
    const wxSize client = GetClientSize();
    const wxPoint clientTopLeft = ClientToScreen(wxPoint(0, 0));
    const wxPoint topLeft(clientTopLeft.x + client.GetWidth() - kOutputWidth,
                          clientTopLeft.y + client.GetHeight() - kOutputHeight);
    wxAuiPaneInfo& pane = manager_.GetPane(output_);
    pane.Float().FloatingPosition(topLeft).FloatingSize(kOutputWidth, kOutputHeight).Show();
    manager_.Relayout();
    if (pane.frame != nullptr) pane.frame->SetSize(wxRect(topLeft, wxSize(kOutputWidth, kOutputHeight)));
    RaiseFloatingPanes();
}

void MainFrame::ArrangeFloatingPanesWhenPlaced() {
    // The frame is placed when it is first activated, or when the manager moves it once it
    // is on screen (a manager that does not give it the focus), or maximises it.
    const auto arrange = [this](wxEvent& event) {
        event.Skip();
        if (floatingArranged_) return;
        if (event.GetEventType() == wxEVT_MOVE && !platform::IsMapped(GetHandle())) return;
        floatingArranged_ = true;
        // A frame closed meanwhile has let its panes go.
        CallAfter([this] {
            if (!closing_) ArrangeFloatingPanes();
        });
    };
    Bind(wxEVT_MOVE, arrange);
    Bind(wxEVT_ACTIVATE, arrange);
    Bind(wxEVT_MAXIMIZE, arrange);
}

bool MainFrame::IsModalWindowOpen() { return OpenModalWindows().open > 0; }

void MainFrame::RaiseFloatingPanes() {
    // Only over the active frame: never over a dialog or message box of the program, which
    // may be on its way to the screen while the frame is still active.
    if (!IsActive() || IsModalWindowOpen()) return;
    // Not the toolkit's raise: it would take the keyboard focus from the frame.
    wxAuiPaneInfoArray& panes = manager_.GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        if (panes[i].IsFloating() && panes[i].IsShown() && panes[i].frame != nullptr)
            platform::RaiseWithoutFocus(panes[i].frame->GetHandle());
    }
}

void MainFrame::OnActivate(wxActivateEvent& event) {
    event.Skip();
    // The frame comes to the front when it is activated; without a window manager nothing
    // else would keep its floating panes above it. The one place they are raised: after the
    // activation is handled, when a dialog opened meanwhile is known.
    if (event.GetActive()) CallAfter(&MainFrame::RaiseFloatingPanes);
}

void MainFrame::SaveLayout() {
    KeepNormalRect();
    const wxRect rect = normalRect_.IsEmpty() ? GetRect() : normalRect_;
    std::wostringstream out;
    out << rect.x << L',' << rect.y << L',' << rect.width << L',' << rect.height << L','
        << (IsMaximized() ? 1 : 0);
    platform::Registry::WriteString(GetProductKey(), kRectValue, out.str());
    platform::Registry::WriteString(GetProductKey(), kLayoutValue,
                                    manager_.SaveLayout().ToStdWstring());
}

void MainFrame::Reload() {
    const std::wstring selected = files_->GetSelectedPath();
    preview_->ModelRoot.reset();
    preview_->VisibleComponentKeys.clear();
    properties_->SetModel(std::make_shared<widget::WTreeItemModel>());
    settings_.ClearCurrentPart();
    std::wstring root = settings_.PartsFolder;
    if (!root.empty() && root.back() != L'/') root += L'/';
    files_->RootFolder = root;
    operations_.TreeModel =
        BuildFileViewModel(root, [](const std::wstring& line) { LogToOutput("%s", line); });
    files_->SetModel(operations_.TreeModel);
    if (!selected.empty()) {
        const wxTreeItemId node = files_->FindItemByPath(selected);
        if (node.IsOk()) {
            files_->OpenPart(files_->Tree()->NodeItem(node));
            // The new tree shows the same selection again, so that the next reload finds it;
            // the part being open already, selecting it opens nothing twice.
            if (!IsPartFileName(selected) || settings_.CurrentPartPath == selected)
                files_->SelectItemByPath(selected);
        }
    }
    // No part came back: the components and help panes would describe one that is gone.
    if (settings_.CurrentPartPath.empty()) {
        ClearComponentsTree();
        help_->Clear();
    }
    preview_->Refresh();
    properties_->Refresh();
}

void MainFrame::SetPreviewModel(std::shared_ptr<const pkg::Group> root) {
    const std::shared_ptr<widget::WTreeItemModel> model = components_->Tree()->treeModel;
    preview_->VisibleComponentKeys = CollectTickedComponentKeys(model.get());
    preview_->ModelRoot = std::move(root);
    preview_->Refresh();
}

void MainFrame::ComponentKeysForType(const std::string& typeName) {
    componentTable_.clear();
    for (const pkg::ComponentKey& row : pkg::ComponentKeysOf(typeName)) {
        componentTable_.push_back({row.text, row.key});
    }
}

std::shared_ptr<widget::WTreeItemModel> MainFrame::MakeComponentsModel() const {
    auto model = std::make_shared<widget::WTreeItemModel>();
    for (const ComponentEntry& entry : componentTable_) {
        auto item = widget::MakeTreeItem();
        item->text = resources::LoadText(entry.id);
        item->value = widget::Variant::FromUInt(entry.id);
        model->AppendRow(item);
    }
    return model;
}

void MainFrame::BuildComponentsTree() {
    widget::WTreeCtrl* tree = components_->Tree();
    // The old model's slots go before it does.
    componentConnections_.clear();
    const std::shared_ptr<widget::WTreeItemModel> model = MakeComponentsModel();
    tree->SetModel(model);
    tree->Rebuild();
    componentConnections_.emplace_back(model->dataChanged.connect(
        [this](widget::WTreeItem* item) { UpdateVisibleComponents(item); }));
    componentConnections_.emplace_back(model->dataChanged.connect(
        [this](widget::WTreeItem* item) { PostPreviewPaint(item); }));
    const widget::WTreeItemGrid rows = model->root->rows;
    for (const widget::WTreeItemRow& row : rows) {
        if (row.empty() || !row[0]) continue;
        row[0]->checkState = true;
        model->dataChanged(row[0].get());
    }
}

void MainFrame::ClearComponentsTree() {
    componentConnections_.clear();
    components_->Tree()->SetModel(std::make_shared<widget::WTreeItemModel>());
    components_->Tree()->Rebuild();
}

std::vector<std::shared_ptr<widget::WTreeItem>> MainFrame::TickedComponentItems(
    const widget::WTreeItemModel* model) {
    std::vector<std::shared_ptr<widget::WTreeItem>> ticked;
    if (model == nullptr || !model->root) return ticked;
    for (const widget::WTreeItemRow& row : model->root->rows) {
        if (!row.empty() && row[0] && row[0]->checkState) ticked.push_back(row[0]);
    }
    return ticked;
}

std::vector<std::string> MainFrame::CollectTickedComponentKeys(
    const widget::WTreeItemModel* model) const {
    std::vector<std::string> keys;
    for (const auto& item : TickedComponentItems(model)) {
        std::uint32_t id = 0;
        try {
            id = item->value.ChangeType(widget::VT_UINT).UInt();
        } catch (const widget::ComError&) {
            // This runs in a check-box handler, where an exception would end the program;
            // a value that is no id simply matches no component.
            continue;
        }
        for (const ComponentEntry& entry : componentTable_) {
            if (entry.id == id) {
                keys.push_back(entry.key);
                break;
            }
        }
    }
    return keys;
}

void MainFrame::UpdateVisibleComponents(widget::WTreeItem* changed) {
    preview_->VisibleComponentKeys =
        CollectTickedComponentKeys(changed != nullptr ? changed->model : nullptr);
    preview_->Refresh(true);
}

void MainFrame::PostPreviewPaint(widget::WTreeItem*) { preview_->Refresh(); }

wxWindow* MainFrame::PaneOfCommand(int commandId) const {
    switch (commandId) {
        case ID_FILE_VIEW: return files_;
        case ID_VIEW_PROPERTIES: return properties_;
        case ID_HELP_VIEW: return help_;
        case ID_VIEW_COMPONENTS: return components_;
        case ID_VIEW_OUTPUT: return output_;
        default: return nullptr;
    }
}

void MainFrame::OnViewPane(int commandId) {
    wxWindow* pane = PaneOfCommand(commandId);
    manager_.ShowPane(pane, !manager_.IsPaneShown(pane));
}

void MainFrame::OnUpdateViewPane(wxUpdateUIEvent& event, int commandId) {
    event.Check(manager_.IsPaneShown(PaneOfCommand(commandId)));
}

void MainFrame::SetMouseMode(int mode) {
    settings_.MouseMode = mode;
    preview_->MouseMode = mode;
}

void MainFrame::SetOneButtonOperation(int operation) {
    settings_.OneButtonOperation = operation;
    preview_->OneButtonOperation = operation;
}

void MainFrame::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && !operations_.CheckSaveModifiedPart()) {
        event.Veto();
        return;
    }
    closing_ = true;
    SaveLayout();
    // The panes go with the frame; the operations must not reach them afterwards.
    operations_.Files = nullptr;
    operations_.Properties = nullptr;
    operations_.Help = nullptr;
    operations_.Preview = nullptr;
    manager_.UnInit();
    Destroy();
}

void MainFrame::OnSysColourChanged(wxSysColourChangedEvent& event) {
    event.Skip();
    output_->TextBox()->SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    output_->TextBox()->Refresh();
}
