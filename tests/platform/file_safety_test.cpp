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
    platform::FileIdentity written;
    ASSERT_TRUE(platform::WriteFileAtomically(part, "new", nullptr, &written));
    EXPECT_EQ(Read(part), "new");
    EXPECT_EQ(Mode(part), 0600u);
    EXPECT_EQ(written, platform::ReadFileIdentity(part)) << "the identity is the file's own";

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
    const long endedId = EndedProcess();
    const std::string host(platform::ThisHostMark());
    const std::string ended = std::to_string(endedId) + "." + host;
    const std::string running = std::to_string(getpid()) + "." + host;
    const auto ours = [](std::string_view prefix, bool is_folder) {
        return is_folder ? prefix == "stage_" : platform::IsBesideFilePrefixOf(prefix, {".qvx"});
    };
    fs::create_directories(dir / "QFP" / "sub");
    const fs::path deep = dir / "a" / "b" / "c";
    fs::create_directories(deep);
    const std::string stale = ".a.qvx-zt" + ended + "-Ab3dEf9h";
    const fs::path gone[] = {dir / stale, dir / "QFP" / "sub" / stale,
                             dir / (platform::BesideFilePrefix(std::string(300, 'p') + ".qvx") +
                                    "zt" + ended + "-Ab3dEf9h")};
    const fs::path kept[] = {
        dir / (".a.qvx-zt" + running + "-Ab3dEf9h"),  // a save in progress
        dir / ("a.qvx-zt" + ended + "-Ab3dEf9h"),     // not hidden: not a name we give
        dir / (".a.qvx-zt" + ended + "-Ab3dEf9"),     // one letter short
        dir / (".a.qvx-zt" + std::to_string(endedId) + "-Ab3dEf9h"),  // no machine
        // Another machine's, whose process this one cannot see (a shared folder).
        dir / (".a.qvx-zt" + std::to_string(endedId) + ".0badf00d-Ab3dEf9h"),
        // A hash where a cut name would have it, but far too short to be one.
        dir / (".notes~0123456789abcdef-zt" + ended + "-abcdefgh"),
        dir / ".a.qvx.swp",
        deep / stale,  // below the depth bound, and reached through the link below
    };
    for (const fs::path& p : gone) Write(p, "x");
    for (const fs::path& p : kept) Write(p, "x");
    fs::create_directory(dir / (".dir-zt" + ended + "-Ab3dEf9h"));
    fs::create_directory_symlink(deep, dir / "QFP" / "link");
    fs::create_symlink(dir / "QFP", dir / (".b.qvx-zt" + ended + "-Ab3dEf9h"));
    // A staging folder as ours are made goes with its files; one anybody may write into,
    // or holding what we never put there, stays with all it holds.
    const fs::path staged = dir / ("stage_zt" + ended + "-Ab3dEf9h");
    const fs::path shared = dir / ("stage_zt" + ended + "-Sh4r3dXy");
    const fs::path nested = dir / ("stage_zt" + ended + "-N3st3dXy");
    for (const fs::path& folder : {staged, shared, nested}) {
        fs::create_directory(folder);
        fs::permissions(folder, fs::perms(0700));
        Write(folder / "model.xml", "x");
    }
    fs::permissions(shared, fs::perms(0777));
    fs::create_directory(nested / "inner");
    // Another user's file (only root can give one away).
    const fs::path theirs = dir / (".c.qvx-zt" + ended + "-Ab3dEf9h");
    Write(theirs, "x");
    const bool givenAway = ::chown(theirs.c_str(), 65534, 65534) == 0;

    EXPECT_EQ(platform::RemoveStaleTemporaries(dir, 2, ours), givenAway ? 4 : 5);
    for (const fs::path& p : gone) EXPECT_FALSE(fs::exists(p)) << p;
    for (const fs::path& p : kept) EXPECT_TRUE(fs::exists(p)) << p;
    EXPECT_FALSE(fs::exists(staged));
    EXPECT_TRUE(fs::exists(shared / "model.xml"));
    EXPECT_TRUE(fs::exists(nested / "model.xml"));
    EXPECT_TRUE(fs::exists(dir / (".dir-zt" + ended + "-Ab3dEf9h")));
    EXPECT_TRUE(fs::exists(fs::symlink_status(dir / (".b.qvx-zt" + ended + "-Ab3dEf9h"))));
    EXPECT_EQ(fs::exists(theirs), givenAway);

    // A new temporary carries our mark and splits back into its prefix, process and machine.
    const platform::UniqueFile file = platform::CreateUniqueFile(dir, ".c.qvx-");
    ASSERT_GE(file.fd, 0);
    ::close(file.fd);
    std::string_view prefix;
    std::string_view machine;
    long process = 0;
    const std::string name = file.path.filename().string();
    ASSERT_TRUE(platform::SplitTempName(name, prefix, process, &machine));
    EXPECT_EQ(prefix, ".c.qvx-");
    EXPECT_EQ(process, getpid());
    EXPECT_EQ(machine, host);
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
    // Every name the program gives fits the file system's limit, the mark included.
    std::string japanese(190, 'n');  // cut inside a three-byte character
    for (int i = 0; i < 10; ++i) japanese += "\u90e8\u54c1";
    for (const std::string& target :
         {std::string(255, 'n'), japanese, std::string(249, 'c') + ".cab.l"}) {
        const std::string name = platform::UniqueTempName(platform::BesideFilePrefix(target));
        EXPECT_LE(name.size(), 255u) << target.size();
        EXPECT_TRUE(IsBesideFilePrefixOf(platform::BesideFilePrefix(target), {".cab.l"}));
        std::string_view prefix;
        long process = 0;
        EXPECT_TRUE(platform::SplitTempName(name, prefix, process));
        EXPECT_EQ(prefix, platform::BesideFilePrefix(target));
    }
}

}  // namespace
