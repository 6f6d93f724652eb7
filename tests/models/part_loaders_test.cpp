#include "models/part_loaders.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/wide_string.h"
#include "tests/models/default_parts.h"

namespace {

namespace fs = std::filesystem;

// Every loader with the type folder whose default part it reads.
struct Loader {
    const char* folder;
    std::function<std::shared_ptr<pkg::DetailedModel>(const std::wstring&)> load;
};

template <class F>
Loader Make(const char* folder, F f) {
    return {folder, [f](const std::wstring& path) -> std::shared_ptr<pkg::DetailedModel> {
                return f(path);
            }};
}

const Loader kLoaders[] = {
    Make("PBGA", pkg::LoadBGADetailedModel),      Make("QFP", pkg::LoadQFPDetailedModel),
    Make("TO-220", pkg::LoadTO220DetailedModel),  Make("TO-247", pkg::LoadTO247DetailedModel),
    Make("TO-263", pkg::LoadTO263DetailedModel),  Make("TO-252", pkg::LoadTO252DetailedModel),
    Make("SOT-89", pkg::LoadSOT89DetailedModel),  Make("SOT-223", pkg::LoadSOT223DetailedModel),
    Make("PBGA", pkg::LoadBGASimplifiedModel),    Make("QFP", pkg::LoadQFPSimplifiedModel),
};

class PartLoaders : public testing::Test {
protected:
    void SetUp() override {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = fs::path(testing::TempDir()) / ("part_loaders_" + test);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::wstring Write(const std::string& folder, const std::string& name) {
        const fs::path path = dir_ / platform::PathFromWide(platform::Utf8ToWide(name));
        EXPECT_TRUE(default_parts::WriteDefaultPart(folder, path));
        return platform::PathToWide(path);
    }

    fs::path dir_;
};

TEST_F(PartLoaders, EachLoaderReadsItsTypeAndNamesTheModelAfterTheFileStem) {
    for (const Loader& loader : kLoaders) {
        SCOPED_TRACE(loader.folder);
        const auto model = loader.load(Write(loader.folder, "board A.qvx"));
        ASSERT_TRUE(model);
        EXPECT_EQ(model->Name(), L"board A");
        EXPECT_TRUE(model->root.children.empty()) << "a loaded model is not built yet";
    }
    const auto japanese = pkg::LoadQFPDetailedModel(Write("SOP", "基板 1.qvx"));
    ASSERT_TRUE(japanese);
    EXPECT_EQ(japanese->Name(), L"基板 1");
    EXPECT_TRUE(japanese->sop) << "a QFP loader reads an SOP file as an SOP";
    const auto fcbga = pkg::LoadBGASimplifiedModel(Write("FCBGA", "f.qvx"));
    ASSERT_TRUE(fcbga);
    EXPECT_EQ(fcbga->TypeString(), "fcbga");
}

TEST_F(PartLoaders, MissingMalformedAndOtherFamilyFilesGiveNoModel) {
    const std::wstring missing = platform::PathToWide(dir_ / "missing.qvx");
    const fs::path malformed = dir_ / "malformed.qvx";
    std::ofstream(malformed) << "<ostl_trelvo><type>qfp</type><mold>";
    const std::wstring other = Write("TO-263", "other.qvx");
    for (const Loader& loader : kLoaders) {
        SCOPED_TRACE(loader.folder);
        EXPECT_FALSE(loader.load(missing));
        EXPECT_FALSE(loader.load(platform::PathToWide(malformed)));
        EXPECT_FALSE(loader.load(platform::PathToWide(dir_))) << "a folder is no part file";
        if (std::string(loader.folder) != "TO-263") {
            EXPECT_FALSE(loader.load(other));
        }
    }
}

// The BGA reader takes any type text: a name no package type has, or another family's,
// would reach code that takes the object for that family.
TEST_F(PartLoaders, ATypeThatIsNoneOfTheFamilysIsRefusedAndNamed) {
    const fs::path pbga = platform::PathFromWide(Write("PBGA", "p.qvx"));
    std::ifstream in(pbga);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const std::size_t at = text.find(">pbga<");
    ASSERT_NE(at, std::string::npos);
    for (const char* type : {"xyz", "qfp", "TO-220", "", "bga"}) {
        SCOPED_TRACE(type);
        std::string changed = text;
        std::ofstream(pbga) << changed.replace(at + 1, 4, type);
        EXPECT_EQ(pkg::ReadPartFileType(platform::PathToWide(pbga)), type);
        EXPECT_EQ(bool(pkg::LoadBGADetailedModel(platform::PathToWide(pbga))),
                  std::string(type) == "bga");
    }
    EXPECT_EQ(pkg::PackageTypeReadAs("bga"), pkg::FindPackageTypeByTypeName("pbga"));
    EXPECT_FALSE(pkg::ReadPartFileType(platform::PathToWide(dir_ / "none.qvx")));
}

// A file no loader reads says why: the first thing its own type's reader refuses.
TEST_F(PartLoaders, ARefusedFileIsExplainedByItsOwnTypesReader) {
    using Kind = pkg::PartFileRefusal::Kind;
    const fs::path part = platform::PathFromWide(Write("QFP", "q.qvx"));
    std::ifstream in(part);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const auto without = [&text](const std::string& element) {
        const std::size_t from = text.find("<" + element + ">");
        const std::size_t to = text.find("</" + element + ">");
        EXPECT_NE(to, std::string::npos) << element;
        return text.substr(0, from) + text.substr(to + element.size() + 3);
    };
    std::string notNumber = text;
    const std::size_t x = notNumber.find("<x>", notNumber.find("<mold>"));
    notNumber.replace(x + 3, notNumber.find("</x>", x) - x - 3, "1.5mm");
    const struct {
        std::string content;
        Kind kind;
        std::string detail;
    } cases[] = {
        {std::string(5 << 20, ' '), Kind::kTooLarge, ""},
        {std::string(200, '<') + "a", Kind::kNotXml, "line 1: "},
        {[] { std::string deep; for (int i = 0; i < 200; ++i) deep += "<a>"; return deep; }(),
         Kind::kNestedTooDeep, ""},
        {"<other><version>1</version></other>", Kind::kNotPartFile, ""},
        {without("mold"), Kind::kMissingElement, "mold"},
        {notNumber, Kind::kNotNumber, "mold.size.x"},
        {text.substr(0, text.find(">qfp<") + 1) + "zzz" + text.substr(text.find(">qfp<") + 4),
         Kind::kUnknownType, "zzz"},
        {text, Kind::kNone, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        std::ofstream(part, std::ios::trunc) << c.content;
        const pkg::PartFileRefusal refusal =
            pkg::ExplainPartFileRefusal(platform::PathToWide(part));
        EXPECT_EQ(refusal.kind, c.kind);
        EXPECT_EQ(refusal.detail.substr(0, c.detail.size()), c.detail) << refusal.detail;
    }
    const pkg::PartFileRefusal missing =
        pkg::ExplainPartFileRefusal(platform::PathToWide(dir_ / "none.qvx"));
    EXPECT_EQ(missing.kind, Kind::kNotRead);
    EXPECT_EQ(missing.detail, std::generic_category().message(ENOENT));
}

}  // namespace
