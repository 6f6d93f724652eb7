#include "app/help_image_catalog.h"

#include <cstring>
#include <fstream>

#include <wx/filefn.h>
#include <wx/imagpng.h>
#include <wx/log.h>

#include "app/home_folder.h"
#include "app/output_view.h"
#include "app/ui_language.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

struct TypePictures {
    const wchar_t* folder;
    const wchar_t* prefix;
    std::vector<std::pair<std::uint32_t, const wchar_t*>> pictures;  // caption id, file suffix
};

const std::vector<std::pair<std::uint32_t, const wchar_t*>> kLeadFrame = {
    {resources::IDS_HELP_COMPONENT_NAME, L"_all.png"},
    {resources::IDS_HELP_MOLD_SIZE, L"_mold.png"},
    {resources::IDS_HELP_LEAD_FRAME_SIZE, L"_lead.png"},
    {resources::IDS_HELP_CHIP_AND_DIE_PAD_SIZE, L"_die+diepad.png"}};
const std::vector<std::pair<std::uint32_t, const wchar_t*>> kBoard = {
    {resources::IDS_HELP_COMPONENT_NAME, L"_all.png"},
    {resources::IDS_HELP_MOLD_SIZE, L"_mold.png"},
    {resources::IDS_HELP_CHIP_AND_DIE_PAD_SIZE, L"_die+diepad.png"},
    {resources::IDS_HELP_BOARD_SIZE, L"_board.png"},
    {resources::IDS_HELP_BOARD_DETAILS, L"_board-detail.png"},
    {resources::IDS_HELP_SOLDER_BALL, L"_solder.png"}};
const std::vector<std::pair<std::uint32_t, const wchar_t*>> kPowerDevice = {
    {resources::IDS_HELP_OUTLINE, L"_outline.png"}, {resources::IDS_HELP_INSIDE, L"_inside.png"}};

const TypePictures kTypes[] = {
    {L"qfp", L"qfp", kLeadFrame},         {L"sop", L"sop", kLeadFrame},
    {L"pbga", L"pbga", kBoard},           {L"fcbga", L"fcbga", kBoard},
    {L"to220", L"to-220", kPowerDevice},  {L"to247", L"to-247", kPowerDevice},
    {L"to263", L"to-263", kPowerDevice},  {L"to252", L"to-252", kPowerDevice},
    {L"sot89", L"sot-89", kPowerDevice},  {L"sot223", L"sot-223", kPowerDevice},
};

const HelpImageCatalog::PictureList kNoPictures;

// The decoder allocates the whole bitmap from the header's size before it reads a pixel:
// a picture larger than any help picture needs is refused from its header alone.
constexpr std::uint32_t kMaxHelpImageSide = 8192;
constexpr std::uint64_t kMaxHelpImagePixels = 4096 * 4096;

std::uint32_t BigEndian32(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

}  // namespace

bool ReadPngHeaderSize(const std::wstring& path, std::uint32_t& width, std::uint32_t& height) {
    // Signature, then the first chunk, which must be IHDR: length, type, width, height.
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    unsigned char header[24] = {};
    std::ifstream in(platform::PathFromWide(path), std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    if (std::memcmp(header, kSignature, sizeof kSignature) != 0 ||
        std::memcmp(header + 12, "IHDR", 4) != 0) {
        return false;
    }
    width = BigEndian32(header + 16);
    height = BigEndian32(header + 20);
    return true;
}

bool IsHelpImageSizeSane(std::uint32_t width, std::uint32_t height) {
    return width > 0 && height > 0 && width <= kMaxHelpImageSide &&
           height <= kMaxHelpImageSide &&
           std::uint64_t{width} * height <= kMaxHelpImagePixels;
}

HelpImageCatalog::FileList HelpImageCatalog::FilesOf(int packageTypeIndex, int uiLanguage) {
    FileList files;
    if (packageTypeIndex < 0 || packageTypeIndex >= static_cast<int>(std::size(kTypes)))
        return files;
    const TypePictures& type = kTypes[packageTypeIndex];
    std::wstring folder = type.folder;
    if (uiLanguage == kUiLanguageJapanese) folder += L"_ja";
    for (const auto& [caption, suffix] : type.pictures) {
        files.emplace_back(caption, folder + L"/" + type.prefix + suffix);
    }
    return files;
}

void HelpImageCatalog::Build(const std::wstring& helpFolder, int uiLanguage) {
    for (int index = 0; index < static_cast<int>(std::size(kTypes)); ++index) {
        LoadImages(helpFolder, index, FilesOf(index, uiLanguage));
    }
}

void HelpImageCatalog::Build() {
    const int language = resources::ThreadLanguage() == resources::kLanguageJapanese
                             ? kUiLanguageJapanese
                             : kUiLanguageEnglish;
    Build(GetProgramFolder() + L"qvx/help/", language);
}

void HelpImageCatalog::LoadImages(const std::wstring& helpFolder, int packageTypeIndex,
                                  const FileList& files) {
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    PictureList& list = lists_[packageTypeIndex];
    for (const auto& [captionId, file] : files) {
        auto picture = std::make_shared<HelpImage>();
        std::wstring caption;
        if (!resources::LoadString(captionId, caption)) continue;
        picture->Caption = caption;
        const std::wstring path = helpFolder + file;
        bool loaded = false;
        {
            // A missing or broken file is reported below, not in a dialog.
            wxLogNull quiet;
            std::uint32_t width = 0;
            std::uint32_t height = 0;
            loaded = wxFileExists(path) && ReadPngHeaderSize(path, width, height) &&
                     IsHelpImageSizeSane(width, height) &&
                     picture->Image.LoadFile(path, wxBITMAP_TYPE_PNG) && picture->Image.IsOk();
        }
        if (!loaded) {
            LogToOutput(L"failed to load help file %s", path);
            continue;
        }
        list.push_back(std::move(picture));
    }
}

const HelpImageCatalog::PictureList& HelpImageCatalog::Pictures(int packageTypeIndex) const {
    const auto found = lists_.find(packageTypeIndex);
    return found == lists_.end() ? kNoPictures : found->second;
}
