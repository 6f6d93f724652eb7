#include "export/exporter/cab_exporter.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "models/bga/bga_detailed_model.h"
#include "platform/cabinet.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"

namespace {

namespace fs = std::filesystem;
using platform::PathFromWide;
using platform::PathToWide;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// Names of the entries `cabextract -l` lists.
std::vector<std::string> ListedNames(const fs::path& cab) {
    std::istringstream listing(Shell("cabextract -q -l " + Quoted(cab) + " 2>&1"));
    std::vector<std::string> names;
    bool in_table = false;
    for (std::string line; std::getline(listing, line);) {
        if (line.rfind("-----------+", 0) == 0) {
            in_table = true;
        } else if (in_table && line.find(" | ") != std::string::npos) {
            names.push_back(line.substr(line.rfind(" | ") + 3));
        } else {
            in_table = false;
        }
    }
    return names;
}

// The first file record of a cabinet, read from the bytes themselves.
struct CabFileRecord {
    uint32_t cabinet_size = 0;
    uint16_t files = 0;
    uint16_t date = 0;
    uint16_t time = 0;
    uint16_t attributes = 0;
    std::string name;
};

CabFileRecord ParseCabinet(const std::string& b) {
    auto u16 = [&](size_t at) { return uint16_t(uint8_t(b.at(at)) | uint8_t(b.at(at + 1)) << 8); };
    auto u32 = [&](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    CabFileRecord r;
    if (b.compare(0, 4, "MSCF") != 0) return r;
    r.cabinet_size = u32(8);
    r.files = u16(28);
    const size_t file = u32(16);
    r.date = u16(file + 10);
    r.time = u16(file + 12);
    r.attributes = u16(file + 14);
    r.name = std::string(b.c_str() + file + 16);
    return r;
}

uint16_t DosDate(const std::tm& t) {
    return uint16_t((t.tm_year - 80) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
}
uint16_t DosTime(const std::tm& t) {
    return uint16_t(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
}

size_t EntryCount(const fs::path& dir) {
    std::error_code ec;
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir, ec), fs::directory_iterator()));
}

// Every case gets its own working folder and its own temporary folder, and runs in a
// time zone far from UTC so that local and universal time differ in the cabinet.
class CabExport : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "JST-9", 1);
        ::tzset();
        dir_ = platform::MakeUniqueDirectory(platform::TempDirectory(), "cabtest_");
        ASSERT_FALSE(dir_.empty());
        tmp_ = dir_ / "tmp";
        out_ = dir_ / "out";
        fs::create_directories(tmp_);
        fs::create_directories(out_);
        const char* old = std::getenv("TMPDIR");
        old_tmpdir_ = old ? old : "";
        had_tmpdir_ = old != nullptr;
        ::setenv("TMPDIR", tmp_.c_str(), 1);
    }
    void TearDown() override {
        if (had_tmpdir_) {
            ::setenv("TMPDIR", old_tmpdir_.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        std::error_code ec;
        fs::permissions(out_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    fs::path dir_, tmp_, out_;
    std::string old_tmpdir_;
    bool had_tmpdir_ = false;
};

TEST_F(CabExport, CabinetKeepsNameAttributesAndLocalTime) {
    const fs::path source = dir_ / "a.b.xml";
    const std::string content(50000, 'z');
    WriteFile(source, content + "end");
    const std::time_t mtime = 1700000000;  // 2023-11-14 22:13:20 UTC
    const struct timeval times[2] = {{mtime, 0}, {mtime, 0}};
    ASSERT_EQ(::utimes(source.c_str(), times), 0);

    // A longer cabinet already at the target is replaced whole.
    const fs::path cab = out_ / "a.b.cab";
    WriteFile(cab, std::string(300000, 'x'));
    ASSERT_TRUE(pkg::exporter::CreateCabinet(PathToWide(cab), {PathToWide(source)}));

    const std::string bytes = ReadFile(cab);
    const CabFileRecord r = ParseCabinet(bytes);
    EXPECT_EQ(r.cabinet_size, bytes.size());
    EXPECT_EQ(r.files, 1u);
    EXPECT_EQ(r.name, "a.b.xml");
    EXPECT_EQ(r.attributes, platform::kCabArchive | platform::kCabNameIsUtf8);
    std::tm local{};
    localtime_r(&mtime, &local);
    ASSERT_EQ(local.tm_hour, 7);  // the zone is in effect
    EXPECT_EQ(r.date, DosDate(local));
    EXPECT_EQ(r.time, DosTime(local));

    EXPECT_EQ(ListedNames(cab), std::vector<std::string>{"a.b.xml"});
    const fs::path unpacked = dir_ / "unpacked";
    Shell("cabextract -q -d " + Quoted(unpacked) + " " + Quoted(cab));
    EXPECT_EQ(ReadFile(unpacked / "a.b.xml"), content + "end");
    EXPECT_EQ(EntryCount(out_), 1u);

    // A file its owner may not write is stored read-only.
    fs::permissions(source, fs::perms::owner_read);
    ASSERT_TRUE(pkg::exporter::CreateCabinet(PathToWide(cab), {PathToWide(source)}));
    EXPECT_EQ(ParseCabinet(ReadFile(cab)).attributes,
              platform::kCabArchive | platform::kCabNameIsUtf8 | platform::kCabReadOnly);
}

TEST_F(CabExport, RefusedCabinetsLeaveTheTargetAlone) {
    const fs::path cab = out_ / "m.cab";
    WriteFile(cab, "old cabinet");
    EXPECT_FALSE(pkg::exporter::CreateCabinet(PathToWide(cab), {}));
    EXPECT_FALSE(pkg::exporter::CreateCabinet(PathToWide(cab), {PathToWide(dir_ / "missing.xml")}));
    const fs::path long_name = dir_ / (std::string(252, 'n') + ".xml");
    WriteFile(long_name, "x");
    EXPECT_FALSE(pkg::exporter::CreateCabinet(PathToWide(cab), {PathToWide(long_name)}));
    EXPECT_EQ(ReadFile(cab), "old cabinet");
    EXPECT_EQ(EntryCount(out_), 1u);
}

pkg::bga::BGADetailedModel DefaultPBGAFromPartFile(const fs::path& part_file) {
    {
        std::ofstream out(part_file);
        EXPECT_TRUE(pkg::bga::BGA(false).WritePartFile(out));
    }
    pkg::bga::BGADetailedModel model(false);
    std::ifstream in(part_file);
    EXPECT_TRUE(model.ReadPartFile(in));
    model.SetName(PathToWide(part_file.stem()));
    EXPECT_EQ(model.Build(), 0);
    return model;
}

TEST_F(CabExport, DefaultPBGAEndToEnd) {
    const auto model = DefaultPBGAFromPartFile(dir_ / "PBGA_Sample_1.qvx");
    const std::wstring stem = L"Modèle ü.1";
    const fs::path cab = out_ / PathFromWide(stem + L".cab");
    const std::time_t before = std::time(nullptr);
    ASSERT_TRUE(pkg::exporter::CabExporter::write(L"PBGA", model.root, model.properties,
                                                  model.chip.rate_of_heating, PathToWide(cab)));
    const std::time_t after = std::time(nullptr);
    EXPECT_EQ(EntryCount(tmp_), 0u);
    EXPECT_EQ(EntryCount(out_), 1u);

    const std::string entry = platform::WideToUtf8(stem) + ".xml";
    EXPECT_EQ(ListedNames(cab), std::vector<std::string>{entry});
    const fs::path unpacked = dir_ / "unpacked";
    Shell("cabextract -q -d " + Quoted(unpacked) + " " + Quoted(cab));
    const fs::path expected = dir_ / "expected.xml";
    ASSERT_TRUE(pkg::exporter::WriteModelXml(L"PBGA", model.root, model.properties, stem,
                                             model.chip.rate_of_heating, PathToWide(expected)));
    const std::string xml = ReadFile(expected);
    EXPECT_EQ(ReadFile(unpacked / entry), xml);
    EXPECT_NE(xml.find("<name>PBGA_Sample_1</name>"), std::string::npos);
    EXPECT_NE(xml.find("<name>Modèle ü.1_B</name>"), std::string::npos);

    const CabFileRecord r = ParseCabinet(ReadFile(cab));
    EXPECT_EQ(r.name, entry);
    EXPECT_TRUE(r.attributes & platform::kCabNameIsUtf8);
    EXPECT_TRUE(r.attributes & platform::kCabArchive);
    // The staged file was written during the call: its local time lies in that span
    // (DOS time counts in steps of two seconds).
    std::tm lo{}, hi{};
    const std::time_t even_before = before - before % 2;
    localtime_r(&even_before, &lo);
    localtime_r(&after, &hi);
    const uint32_t stored = uint32_t(r.date) << 16 | r.time;
    EXPECT_LE(uint32_t(DosDate(lo)) << 16 | DosTime(lo), stored);
    EXPECT_GE(uint32_t(DosDate(hi)) << 16 | DosTime(hi), stored);
}

// Runs `body` as an ordinary user, so that permissions hold even when the suite runs as
// root: "true" or "false" for its result, anything else when it could not run.
std::string RunUnprivileged(const std::function<bool()>& body) {
    if (::geteuid() != 0) return body() ? "true" : "false";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status)) return "crashed";
    const int code = WEXITSTATUS(status);
    return code == 0 ? "true" : code == 1 ? "false" : "no unprivileged user";
}

TEST_F(CabExport, FailedExportsLeaveNoTemporariesAndKeepTheOldCabinet) {
    const auto model = DefaultPBGAFromPartFile(dir_ / "p.qvx");
    const fs::path cab = out_ / "p.cab";
    WriteFile(cab, "old cabinet");
    auto export_to = [&](const fs::path& target) {
        return pkg::exporter::CabExporter::write(L"PBGA", model.root, model.properties, 1.0,
                                                 PathToWide(target));
    };

    // The target folder does not take new files.
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(tmp_, fs::perms::all);
    fs::permissions(out_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
    EXPECT_EQ(RunUnprivileged([&] { return export_to(cab); }), "false");
    EXPECT_EQ(ReadFile(cab), "old cabinet");
    EXPECT_EQ(EntryCount(out_), 1u);
    EXPECT_EQ(EntryCount(tmp_), 0u);
    fs::permissions(out_, fs::perms::owner_all, fs::perm_options::add);

    // The target folder is missing.
    EXPECT_FALSE(export_to(out_ / "missing" / "p.cab"));
    EXPECT_EQ(EntryCount(tmp_), 0u);

    // No temporary folder can be made.
    ::setenv("TMPDIR", (dir_ / "no_such_tmp").c_str(), 1);
    EXPECT_FALSE(export_to(cab));
    EXPECT_EQ(ReadFile(cab), "old cabinet");
    EXPECT_EQ(EntryCount(out_), 1u);
}

TEST_F(CabExport, StagingFoldersAreUniqueAndStamped) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    EXPECT_EQ(pkg::exporter::TempExportFolderPrefix(t), "qvx_202412795");

    const std::wstring a = pkg::exporter::MakeTempExportFolder();
    const std::wstring b = pkg::exporter::MakeTempExportFolder();
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.back(), L'/');
    EXPECT_TRUE(fs::is_directory(PathFromWide(a)));
    EXPECT_EQ(PathFromWide(a).parent_path().parent_path(), tmp_);
    EXPECT_EQ(PathToWide(PathFromWide(a).parent_path().filename()).rfind(L"qvx_", 0), 0u);
}

}  // namespace
