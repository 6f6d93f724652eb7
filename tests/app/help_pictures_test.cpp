// The help pictures that the build draws beside the program: every file the catalogue
// names is there and decodes, in both languages, and the Japanese set is its own.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/help_image_catalog.h"
#include "app/ui_language.h"

namespace {

const std::wstring kHelpFolder = L"" ZENTRIK_HELP_FOLDER;

// Without a wx application nothing frees the PNG handler that the catalogue installs.
struct ImageHandlers : testing::Environment {
    void TearDown() override { wxImage::CleanUpHandlers(); }
};
const testing::Environment* const kImageHandlers =
    testing::AddGlobalTestEnvironment(new ImageHandlers);

std::string Bytes(const std::wstring& file) {
    std::ifstream in(std::string(kHelpFolder.begin(), kHelpFolder.end()) +
                         std::string(file.begin(), file.end()),
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HelpPictures, EveryCataloguedPictureIsBuiltAndDecodesInBothLanguages) {
    for (int language : {kUiLanguageEnglish, kUiLanguageJapanese}) {
        HelpImageCatalog catalog;
        catalog.Build(kHelpFolder, language);
        for (int type = 0; type < 10; ++type) {
            const auto files = HelpImageCatalog::FilesOf(type, language);
            const auto& pictures = catalog.Pictures(type);
            ASSERT_EQ(pictures.size(), files.size()) << "type " << type << ", language " << language;
            for (const auto& picture : pictures) {
                EXPECT_EQ(picture->Image.GetSize(), wxSize(480, 360)) << picture->Caption;
            }
        }
    }
}

TEST(HelpPictures, JapanesePicturesAreDrawnApartFromTheEnglishOnes) {
    for (int type = 0; type < 10; ++type) {
        const auto english = HelpImageCatalog::FilesOf(type, kUiLanguageEnglish);
        const auto japanese = HelpImageCatalog::FilesOf(type, kUiLanguageJapanese);
        ASSERT_EQ(english.size(), japanese.size());
        for (std::size_t i = 0; i < english.size(); ++i) {
            const std::string a = Bytes(english[i].second);
            ASSERT_FALSE(a.empty()) << english[i].second;
            EXPECT_NE(a, Bytes(japanese[i].second)) << japanese[i].second;
        }
    }
}

}  // namespace
