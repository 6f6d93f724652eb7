// What keeps the user's files safe: the bounded XML guard, saves over existing files, and
// the start-up removal of our own stale temporaries.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "platform/bounded_xml.h"
#include "platform/temp_files.h"

namespace {

namespace fs = std::filesystem;

class FileSafety : public testing::Test {
protected:
    void SetUp() override {
        dir = platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-safety-");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static void Write(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static unsigned Mode(const fs::path& p) {
        struct stat st {};
        ::lstat(p.c_str(), &st);
        return st.st_mode & 07777;
    }
    // The id of a process that has ended.
    static long EndedProcess() {
        const pid_t child = fork();
        if (child == 0) _exit(0);
        waitpid(child, nullptr, 0);
        return child;
    }

    fs::path dir;
};

std::string Nested(std::size_t depth) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) text += "<a>";
    for (std::size_t i = 0; i < depth; ++i) text += "</a>";
    return text;
}

TEST(BoundedXml, NestingIsCountedAsTheParserWouldSeeIt) {
    EXPECT_EQ(platform::XmlNestingDepth("<?xml version=\"1.0\"?><r><a/><b x='>' y=\"/>\"><c>"
                                        "</c></b><!-- <d><d> --><![CDATA[<e><e>]]></r>",
                                        100),
              3u);
    EXPECT_EQ(platform::XmlNestingDepth(Nested(30000), platform::kMaxXmlDepth),
              platform::kMaxXmlDepth + 1);

    std::istringstream deep(Nested(30000));
    EXPECT_FALSE(platform::ReadBoundedXml(deep, 1 << 20));
    std::istringstream large(std::string(2000, ' ') + "<r/>");
    EXPECT_FALSE(platform::ReadBoundedXml(large, 1000));
    std::istringstream fine(Nested(platform::kMaxXmlDepth));
    EXPECT_EQ(platform::ReadBoundedXml(fine, 1 << 20), Nested(platform::kMaxXmlDepth));
}

TEST_F(FileSafety, SavesKeepModesLinksAndReadOnlyFiles) {
    const fs::path part = dir / "private.qvx";
    Write(part, "old");
    fs::permissions(part, fs::perms(0600));
    ASSERT_TRUE(platform::WriteFileAtomically(part, "new"));
    EXPECT_EQ(Read(part), "new");
    EXPECT_EQ(Mode(part), 0600u);

    // A link is kept and the file it leads to is replaced, in its own folder.
    fs::create_directories(dir / "real");
    Write(dir / "real" / "shared.qvx", "old");
    fs::create_symlink("real/shared.qvx", dir / "link.qvx");
    ASSERT_TRUE(platform::WriteFileAtomically(dir / "link.qvx", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.qvx"));
    EXPECT_EQ(Read(dir / "real" / "shared.qvx"), "new");

    // A read-only file is refused with a reason, even where the system would allow it.
    Write(dir / "locked.qvx", "old");
    fs::permissions(dir / "locked.qvx", fs::perms(0444));
    std::string reason;
    EXPECT_FALSE(platform::WriteFileAtomically(dir / "locked.qvx", "new", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(Read(dir / "locked.qvx"), "old");
    EXPECT_FALSE(platform::WriteFileAtomically(dir / "real", "new", &reason));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
}

TEST_F(FileSafety, OnlyOurOwnTemporariesOfEndedProcessesAreRemoved) {
    const std::string ended = std::to_string(EndedProcess());
    const std::string running = std::to_string(getpid());
    const auto ours = [](std::string_view prefix, bool is_folder) {
        return !is_folder && platform::IsBesideFilePrefix(prefix);
    };
    fs::create_directories(dir / "QFP" / "sub");
    const fs::path deep = dir / "a" / "b" / "c";
    fs::create_directories(deep);
    const std::string stale = ".a.qvx-zt" + ended + "-Ab3dEf9h";
    const fs::path gone[] = {dir / stale, dir / "QFP" / "sub" / stale};
    const fs::path kept[] = {
        dir / (".a.qvx-zt" + running + "-Ab3dEf9h"),  // a save in progress
        dir / ("a.qvx-zt" + ended + "-Ab3dEf9h"),     // not hidden: not a name we give
        dir / (".a.qvx-zt" + ended + "-Ab3dEf9"),     // one letter short
        dir / ".a.qvx.swp",
        deep / stale,  // below the depth bound, and reached through the link below
    };
    for (const fs::path& p : gone) Write(p, "x");
    for (const fs::path& p : kept) Write(p, "x");
    fs::create_directory(dir / (".dir-zt" + ended + "-Ab3dEf9h"));
    fs::create_directory_symlink(deep, dir / "QFP" / "link");
    fs::create_symlink(dir / "QFP", dir / (".b.qvx-zt" + ended + "-Ab3dEf9h"));

    EXPECT_EQ(platform::RemoveStaleTemporaries(dir, 2, ours), 2);
    for (const fs::path& p : gone) EXPECT_FALSE(fs::exists(p)) << p;
    for (const fs::path& p : kept) EXPECT_TRUE(fs::exists(p)) << p;
    EXPECT_TRUE(fs::exists(dir / (".dir-zt" + ended + "-Ab3dEf9h")));
    EXPECT_TRUE(fs::exists(fs::symlink_status(dir / (".b.qvx-zt" + ended + "-Ab3dEf9h"))));

    // A new temporary carries our mark and splits back into its prefix and process.
    const platform::UniqueFile file = platform::CreateUniqueFile(dir, ".c.qvx-");
    ASSERT_GE(file.fd, 0);
    ::close(file.fd);
    std::string_view prefix;
    long process = 0;
    const std::string name = file.path.filename().string();
    ASSERT_TRUE(platform::SplitTempName(name, prefix, process));
    EXPECT_EQ(prefix, ".c.qvx-");
    EXPECT_EQ(process, getpid());
}

TEST(TempNames, BesidePrefixesAreTakenOnlyForTheFilesWeWrite) {
    using platform::IsBesideFilePrefixOf;
    for (const char* prefix : {".a.qvx-", ".A.QVX-", ".x.cab-", ".x.cab.l-"})
        EXPECT_TRUE(IsBesideFilePrefixOf(prefix, {".qvx", ".cab", ".cab.l"})) << prefix;
    for (const char* prefix : {".notes-", ".qvx-", ".a.qvx", "a.qvx-", ".a.qvx.bak-", ".x.cabl-"})
        EXPECT_FALSE(IsBesideFilePrefixOf(prefix, {".qvx", ".cab", ".cab.l"})) << prefix;
    // A name too long for the file system's limit loses its ending to the hash.
    const std::string hashed = platform::BesideFilePrefix(std::string(300, 'p') + ".qvx");
    EXPECT_TRUE(IsBesideFilePrefixOf(hashed, {".cab"}));
    EXPECT_FALSE(IsBesideFilePrefixOf(".photos~2024-", {".cab"}));
}

}  // namespace
