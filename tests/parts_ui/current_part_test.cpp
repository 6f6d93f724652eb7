#include "parts_ui/file_view.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <wx/choice.h>
#include <wx/imagpng.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/help_image_catalog.h"
#include "app/help_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "app/preview_view.h"
#include "app/program_settings.h"
#include "models/part_loaders.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/parts_view.h"
#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/properties_view.h"
#include "platform/temp_files.h"
#include "resources/string_ids.h"
#include "tests/models/default_parts.h"
#include "tests/support/wx_test.h"
#include "widget/controls.h"

namespace fs = std::filesystem;
namespace r = resources;

namespace {

using widget::Variant;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A main frame over a parts folder with one part of five types, a PBGA part with three
// wiring layers among them, and a file no loader reads.
class CurrentPart : public ::testing::Test {
protected:
    void SetUp() override {
        dir = platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-current-part-");
        ASSERT_FALSE(dir.empty());
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        for (const char* type : {"PBGA", "FCBGA", "QFP", "SOP", "TO-263"}) {
            fs::create_directories(dir / "parts" / type);
            auto part = default_parts::MakeDefault(type);
            if (auto* bga = dynamic_cast<pkg::bga::BGADetailedModel*>(part.get()))
                bga->board.number_of_layer = 3;
            std::ofstream out(Path(type));
            ASSERT_TRUE(part->WritePartFile(out));
        }
        std::ofstream(dir / "parts" / "PBGA" / "broken.qvx") << "<not a part/>";
        WriteHelpPictures();

        settings.PartsFolder = (dir / "parts").wstring() + L"/";
        operations.HelpImages = &help;
        frame = new MainFrame(settings, operations);
        wxTheApp->SetTopWindow(frame);
        frame->Show();
        ASSERT_TRUE(zentrik_test::WaitUntil([&] { return frame->IsShownOnScreen(); }));
        files = frame->Files();
        SetMessageBoxAnswerer([this](const wxString& text, const wxString&, long) {
            boxes.push_back(text);
            return wxOK;
        });
    }
    void TearDown() override {
        SetMessageBoxAnswerer({});
        wxTheApp->SetTopWindow(nullptr);
        frame->Destroy();
        zentrik_test::DispatchPending();
        std::error_code error;
        fs::remove_all(dir, error);
    }

    // Small pictures for the PBGA and FCBGA help lists, under the files the catalogue reads.
    void WriteHelpPictures() {
        const fs::path folder = dir / "help";
        if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
        for (int type : {2, 3}) {
            for (const auto& file : HelpImageCatalog::FilesOf(type, 9)) {
                fs::create_directories((folder / file.second).parent_path());
                ASSERT_TRUE(wxImage(4, 3).SaveFile((folder / file.second).string(),
                                                   wxBITMAP_TYPE_PNG));
            }
        }
        help.Build(folder.wstring() + L"/", 9);
    }

    fs::path Path(const std::string& type) const {
        return dir / "parts" / type / (type + "_part.qvx");
    }
    void Open(const fs::path& path) {
        auto item = operations.TreeModel->FindItemByPath(path.wstring());
        ASSERT_TRUE(item) << path;
        files->OpenPart(item);
    }
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::istringstream in(frame->GetOutputView()->TextBox()->GetValue().ToStdString());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string LastLine() const { return Log().empty() ? std::string() : Log().back(); }
    const std::shared_ptr<widget::WTreeItem>& Item(const std::wstring& key) const {
        return files->CurrentItemIndex().at(key);
    }
    std::string Written() const {
        std::ostringstream out;
        settings.CurrentPackage->WritePartFile(out);
        return out.str();
    }
    void ClickPreview() {
        widget::WButton* button = frame->Properties()->PreviewButton();
        const std::size_t before = boxes.size();
        zentrik_test::ClickAt(button, wxPoint(button->GetClientSize().x / 2,
                                              button->GetClientSize().y / 2));
        ASSERT_TRUE(zentrik_test::WaitUntil([&] { return boxes.size() > before; }));
        zentrik_test::DispatchPending();
    }

    fs::path dir;
    ProgramSettings settings;
    PartFileOperations operations;
    HelpImageCatalog help;
    MainFrame* frame = nullptr;
    FileView* files = nullptr;
    std::vector<wxString> boxes;
};

TEST_F(CurrentPart, OpenFillsEveryPaneAndAFileNoLoaderReadsChangesNothing) {
    const fs::path pbga = Path("PBGA");
    Open(pbga);
    EXPECT_EQ(LastLine(), "read from " + pbga.string());
    EXPECT_EQ(files->CurrentTypeName(), "pbga");
    EXPECT_EQ(frame->Preview()->ModelRoot.get(), &settings.CurrentModel->root);
    EXPECT_FALSE(settings.CurrentModel->root.children.empty()) << "the model is built";
    const auto gridModel = frame->Properties()->Grid()->gridModel;
    EXPECT_FALSE(gridModel->root->rows.empty());
    const auto components = frame->Components()->Tree()->treeModel;
    ASSERT_EQ(components->root->rows.size(), 7u);
    for (const auto& row : components->root->rows) EXPECT_TRUE(row[0]->checkState);
    EXPECT_EQ(frame->Preview()->VisibleComponentKeys.size(), 7u);
    wxChoice* captions = frame->Help()->PictureChoice();
    ASSERT_EQ(captions->GetCount(), HelpImageCatalog::FilesOf(2, 9).size());
    EXPECT_EQ(captions->GetString(0), r::LoadText(r::IDS_HELP_COMPONENT_NAME));

    // A caption the user picked stays picked for the next type that has it.
    captions->SetSelection(4);
    const auto rootBefore = frame->Preview()->ModelRoot;
    const fs::path broken = dir / "parts" / "PBGA" / "broken.qvx";
    Open(broken);
    EXPECT_EQ(LastLine(), "failed to open: " + broken.string());
    EXPECT_EQ(settings.CurrentPartPath, pbga.wstring());
    EXPECT_EQ(frame->Preview()->ModelRoot, rootBefore);
    EXPECT_EQ(frame->Properties()->Grid()->gridModel, gridModel);

    const std::size_t lines = Log().size();
    Open(dir / "parts" / "PBGA");  // a folder
    EXPECT_EQ(Log().size(), lines);

    // Each family by its loader, with the components of its type.
    const std::pair<const char*, const char*> types[] = {
        {"FCBGA", "fcbga"}, {"QFP", "qfp"}, {"SOP", "sop"}, {"TO-263", "TO-263"}};
    const std::size_t componentCounts[] = {6, 8, 8, 5};
    for (std::size_t i = 0; i < std::size(types); ++i) {
        Open(Path(types[i].first));
        EXPECT_EQ(files->CurrentTypeName(), types[i].second);
        EXPECT_EQ(frame->Components()->Tree()->treeModel->root->rows.size(), componentCounts[i]);
        if (i == 0) {
            EXPECT_EQ(captions->GetSelection(), 4);
        }
    }
}

TEST_F(CurrentPart, WiringLayerCountEnablesItsLayers) {
    Open(Path("PBGA"));
    const auto enabledLayers = [&](std::uint32_t group) {
        std::vector<bool> enabled;
        for (int i = 0; i < (group == r::IDS_PROP_BOARD_LAYER_THICKNESS ? 7 : 8); ++i) {
            const auto& item = Item(r::LoadText(group) + std::to_wstring(i));
            enabled.push_back(item->enabled);
            // The grid follows the item.
            if (item->property != nullptr) {
                EXPECT_EQ(item->property->IsEnabled(), item->enabled);
            }
        }
        return enabled;
    };
    const auto firstOf = [](int n, int size) {
        std::vector<bool> enabled(size, false);
        for (int i = 0; i < n && i < size; ++i) enabled[i] = true;
        return enabled;
    };
    const std::wstring count = parts_ui::PropertyKey(r::IDS_PROP_BOARD,
                                                     r::IDS_PROP_NUMBER_OF_WIRING_LAYERS);
    for (int n : {3, 8, 0, 2}) {
        if (n != 3) Item(count)->SetData(Variant::FromBstr(std::to_wstring(n)));
        EXPECT_EQ(enabledLayers(r::IDS_PROP_WIRING_LAYER_THICKNESS), firstOf(n, 8)) << n;
        EXPECT_EQ(enabledLayers(r::IDS_PROP_COPPER_COVERAGE), firstOf(n, 8)) << n;
        EXPECT_EQ(enabledLayers(r::IDS_PROP_BOARD_LAYER_THICKNESS), firstOf(n - 1, 7)) << n;
    }
    // A count that is no number leaves the layers as they were.
    Item(count)->SetData(Variant::FromBstr(L"many"));
    EXPECT_EQ(enabledLayers(r::IDS_PROP_WIRING_LAYER_THICKNESS), firstOf(2, 8));
}

TEST_F(CurrentPart, PreviewAppliesOnceAndBadValuesNeverReachThePackage) {
    const std::wstring moldThickness = parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_THICKNESS);
    for (const char* type : {"PBGA", "QFP"}) {  // the second open must not connect again
        Open(Path(type));
        Item(moldThickness)->SetData(Variant::FromR8(0.0));
        const std::string before = Written();
        boxes.clear();
        ClickPreview();
        ASSERT_EQ(boxes.size(), 1u) << type;
        EXPECT_TRUE(boxes[0].StartsWith("Specify ")) << boxes[0];
        EXPECT_EQ(Written(), before) << "a value that fails the checks is not taken";
    }

    // A valid value is taken and the preview gets the rebuilt model.
    Item(moldThickness)->SetData(Variant::FromR8(1.75));
    frame->Preview()->ModelRoot.reset();
    frame->Properties()->Changed();
    EXPECT_EQ(std::dynamic_pointer_cast<pkg::qfp::QFP>(settings.CurrentPackage)->mold.thickness, 1.75);
    EXPECT_EQ(frame->Preview()->ModelRoot.get(), &settings.CurrentModel->root);

    // A value that does not convert is reported and changes nothing.
    const std::string before = Written();
    Item(parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_X))->SetData(Variant::FromBstr(L"wide"));
    frame->Properties()->Changed();
    EXPECT_EQ(Written(), before);
    EXPECT_EQ(LastLine().rfind("failed to apply the properties: ", 0), 0u) << LastLine();
    const std::string file = ReadBytes(Path("QFP"));
    EXPECT_FALSE(files->SavePart());
    EXPECT_EQ(LastLine(), "failed to save " + Path("QFP").string());
    EXPECT_EQ(ReadBytes(Path("QFP")), file);
}

TEST_F(CurrentPart, SaveReplacesTheFileWholeOrNotAtAll) {
    const fs::path path = Path("QFP");
    Open(path);
    const std::wstring moldThickness = parts_ui::PropertyKey(r::IDS_PROP_MOLD, r::IDS_PROP_THICKNESS);
    Item(moldThickness)->SetData(Variant::FromR8(2.5));
    EXPECT_TRUE(files->SavePart());
    EXPECT_EQ(LastLine(), "saved to " + path.string());
    EXPECT_EQ(pkg::LoadQFPDetailedModel(path.wstring())->mold.thickness, 2.5);
    const std::vector<std::string> listing = Listing(path.parent_path());
    EXPECT_EQ(listing, std::vector<std::string>{"QFP_part.qvx"});

    // No file may grow past a byte while the part is written: the write fails half way.
    const std::string saved = ReadBytes(path);
    Item(moldThickness)->SetData(Variant::FromR8(3.5));
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{1, limit.rlim_max};
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = files->SavePart();
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(LastLine(), "failed to save " + path.string());
    EXPECT_EQ(ReadBytes(path), saved);
    EXPECT_EQ(Listing(path.parent_path()), listing) << "no temporary is left behind";
}

TEST_F(CurrentPart, WithoutACurrentPartApplyAndSaveDoNothing) {
    const std::size_t lines = Log().size();
    files->ApplyPropertyChanges();
    EXPECT_FALSE(files->SavePart());
    EXPECT_EQ(Log().size(), lines);

    Open(Path("TO-263"));
    const std::string file = ReadBytes(Path("TO-263"));
    frame->Reload();  // nothing is selected in the tree: no part comes back
    EXPECT_TRUE(settings.CurrentPartPath.empty());
    EXPECT_FALSE(frame->Preview()->ModelRoot);
    EXPECT_TRUE(frame->Properties()->Grid()->gridModel->root->rows.empty());
    frame->Properties()->Changed();
    EXPECT_FALSE(frame->Preview()->ModelRoot);
    EXPECT_FALSE(frame->Properties()->Save());
    EXPECT_EQ(ReadBytes(Path("TO-263")), file);
}

TEST(NewPartFolders, ASelectedFolderReplacesOnlyItsTypesDefault) {
    const auto folders = NewPartFolders(L"/p/parts/", L"/p/parts/pbga/old/boards");
    EXPECT_EQ(folders[2], L"/p/parts/pbga/old/boards");
    EXPECT_EQ(folders[0], L"/p/parts/QFP");
    EXPECT_EQ(folders[3], L"/p/parts/FCBGA");
    EXPECT_EQ(folders[9], L"/p/parts/SOT-223");
    EXPECT_EQ(NewPartFolders(L"/p/parts", L"/p/parts/TO-263")[6], L"/p/parts/TO-263");

    const auto defaults = NewPartFolders(L"/p/parts/", L"");
    for (const wchar_t* outside : {L"/p/parts/Other/PBGA", L"/p/partsX/PBGA", L"/q/PBGA/x",
                                   L"/p/parts", L"/p/parts/PBGAX"}) {
        EXPECT_EQ(NewPartFolders(L"/p/parts/", outside), defaults) << outside;
    }
}

}  // namespace
