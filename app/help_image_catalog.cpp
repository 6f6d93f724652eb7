#include "app/help_image_catalog.h"

#include <cstring>
#include <fstream>

#include <wx/filefn.h>
#include <wx/imagpng.h>
#include <wx/log.h>

#include "app/home_folder.h"
#include "app/output_view.h"
#include "app/ui_language.h"
#include "models/package_types.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

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
    if (packageTypeIndex < 0 || packageTypeIndex >= pkg::kPackageTypeCount) return files;
    const pkg::HelpPictures& help = pkg::kPackageTypes[packageTypeIndex].help;
    std::wstring folder = help.folder;
    if (uiLanguage == kUiLanguageJapanese) folder += L"_ja";
    for (const pkg::HelpPicture& picture : help.pictures) {
        files.emplace_back(picture.caption, folder + L"/" + help.prefix + picture.suffix);
    }
    return files;
}

void HelpImageCatalog::Build(const std::wstring& helpFolder, int uiLanguage) {
    for (int index = 0; index < pkg::kPackageTypeCount; ++index) {
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
