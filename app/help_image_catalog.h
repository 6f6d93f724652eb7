#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <wx/image.h>
#include <wx/string.h>

// The width and height a PNG file's header declares; false when the file does not start
// as a PNG does.
bool ReadPngHeaderSize(const std::wstring& path, std::uint32_t& width, std::uint32_t& height);
// Whether a help picture of that size may be decoded: bounded so that a broken or hostile
// file cannot take the memory of the whole program.
bool IsHelpImageSizeSane(std::uint32_t width, std::uint32_t height);

// One explanatory picture of a package type with its caption.
struct HelpImage {
    wxString Caption;
    wxImage Image;
};

// The help pictures per package type (numbered as in pkg::kPackageTypes), each list in its
// fixed order, holding only the pictures that loaded. The application owns it and frees it after every window is gone.
class HelpImageCatalog {
public:
    using PictureList = std::vector<std::shared_ptr<const HelpImage>>;
    // (caption string id, file name relative to the help folder)
    using FileList = std::vector<std::pair<std::uint32_t, std::wstring>>;

    // The list of a type's pictures; "_ja" is added to the folder name for Japanese (17).
    static FileList FilesOf(int packageTypeIndex, int uiLanguage);

    // Loads every type's pictures from `helpFolder` (ending with '/'); Build() uses
    // the program folder's "qvx/help/" and the program's UI language.
    void Build(const std::wstring& helpFolder, int uiLanguage);
    void Build();

    // Appends the pictures of `files` that load to the list of `packageTypeIndex`. A
    // caption that the string table lacks drops its picture silently; a file that does
    // not load is reported in the output pane.
    void LoadImages(const std::wstring& helpFolder, int packageTypeIndex, const FileList& files);

    // The pictures of a type; empty for a type not built.
    const PictureList& Pictures(int packageTypeIndex) const;

private:
    std::map<int, PictureList> lists_;
};
