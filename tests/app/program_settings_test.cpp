#include "app/program_settings.h"

#include <sys/resource.h>

#include <csignal>

#include "platform/wide_string.h"
#include "temp_env.h"

namespace fs = std::filesystem;

namespace {

class Settings : public TempEnvironment {
protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        folder = dir / "settings";
        fs::create_directories(folder);
    }

    // Settings loaded from a file holding `xml`, starting from the defaults.
    ProgramSettings LoadFrom(const std::string& xml) {
        WriteBytes(folder / "zentrik.xml", xml);
        ProgramSettings settings;
        settings.HomeFolder = platform::PathToWide(folder) + L"/";
        settings.Load();
        return settings;
    }

    static std::string Wrap(const std::string& body) {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<trelvo version=\"2020\">" + body +
               "</trelvo>\n";
    }

    static void ExpectSameSettings(const ProgramSettings& a, const ProgramSettings& b) {
        EXPECT_EQ(a.PartsFolder, b.PartsFolder);
        EXPECT_EQ(a.ExportFolder, b.ExportFolder);
        for (auto [x, y] : {std::pair{a.StandardLength, b.StandardLength}, {a.Threshold, b.Threshold}}) {
            EXPECT_EQ(x.x, y.x);
            EXPECT_EQ(x.y, y.y);
            EXPECT_EQ(x.z, y.z);
        }
        EXPECT_EQ(a.BackgroundType, b.BackgroundType);
        EXPECT_EQ(a.BackgroundTopColor, b.BackgroundTopColor);
        EXPECT_EQ(a.BackgroundBottomColor, b.BackgroundBottomColor);
        EXPECT_EQ(a.FluidConductivity, b.FluidConductivity);
        EXPECT_EQ(a.OutputListFile, b.OutputListFile);
        EXPECT_EQ(a.SimpleModeling, b.SimpleModeling);
        EXPECT_EQ(a.MouseMode, b.MouseMode);
        EXPECT_EQ(a.OneButtonOperation, b.OneButtonOperation);
    }

    fs::path folder;
};

TEST_F(Settings, DefaultsAreWrittenInTheFileLayout) {
    setenv("HOME", "/home/zentrik", 1);  // no user-dirs.dirs: Documents is the home folder
    ProgramSettings settings;
    EXPECT_EQ(settings.PartsFolder, L"/home/zentrik/Ostrel/Zentrik2020/parts/");
    settings.HomeFolder = platform::PathToWide(folder) + L"/";
    EXPECT_EQ(settings.GetFilePath(), settings.HomeFolder + L"zentrik.xml");
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(ReadBytes(folder / "zentrik.xml"),
              ReadBytes(fs::path(ZENTRIK_TEST_DATA) / "app" / "settings_defaults.xml"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(Settings, DocumentsFolderComesFromTheUserDirectories) {
    fs::create_directories(dir / "home" / "Dokumente");
    WriteBytes(dir / "config" / "user-dirs.dirs",
               "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(ProgramSettings().ExportFolder,
              platform::PathToWide(dir / "home") + L"/Dokumente/Ostrel/Zentrik2020/library/");
    fs::remove(dir / "home" / "Dokumente");  // a named folder that is gone counts as none
    EXPECT_EQ(ProgramSettings().ExportFolder,
              platform::PathToWide(dir / "home") + L"/Ostrel/Zentrik2020/library/");
}

TEST_F(Settings, ChangedValuesSurviveARoundTrip) {
    ProgramSettings saved;
    saved.HomeFolder = platform::PathToWide(folder) + L"/";
    saved.PartsFolder = L"/data/部品 & <parts>/";
    saved.ExportFolder = L"/data/out/";
    saved.StandardLength = {0.3, 1.0 / 3.0, 12.5};
    saved.Threshold = {0.05, 0.2, 1e-7};
    saved.BackgroundType = 1;
    saved.BackgroundTopColor = 0;
    saved.BackgroundBottomColor = 4294967295u;
    saved.FluidConductivity = 0.03;
    saved.OutputListFile = true;
    saved.SimpleModeling = true;
    saved.MouseMode = 1;
    saved.OneButtonOperation = 3;
    ASSERT_TRUE(saved.Save());
    ProgramSettings loaded;
    loaded.HomeFolder = saved.HomeFolder;
    loaded.Load();
    ExpectSameSettings(loaded, saved);
}

TEST_F(Settings, TwoProgramsOnOneHomeKeepEachOthersChanges) {
    ProgramSettings first = LoadFrom("<trelvo version=\"2020\"/>");
    ProgramSettings second = first;
    second.Load();
    first.FluidConductivity = 0.03;
    first.StandardLength.y = 2.0;
    first.PartsFolder = L"/first/parts/";
    ASSERT_TRUE(first.Save());
    second.StandardLength.x = 3.0;
    second.PartsFolder = L"/second/parts/";  // both changed it: the later save wins
    ASSERT_TRUE(second.Save());

    ProgramSettings read;
    read.HomeFolder = first.HomeFolder;
    read.Load();
    EXPECT_EQ(read.FluidConductivity, 0.03);
    EXPECT_EQ(read.StandardLength.x, 3.0);
    EXPECT_EQ(read.StandardLength.y, 2.0);
    EXPECT_EQ(read.StandardLength.z, 4.0);
    EXPECT_EQ(read.PartsFolder, L"/second/parts/");
    EXPECT_EQ(second.FluidConductivity, 0.0256) << "the program's own values stay as they are";
}

TEST_F(Settings, EveryFieldAnotherProgramSavedIsKeptBySavingUnchangedValues) {
    ProgramSettings program = LoadFrom("<trelvo version=\"2020\"/>");
    // Meanwhile another program saves a change of every field.
    std::string mesh;
    const char* const values[] = {"0.5", "1", "2", "4", "8", "16"};
    const char* const* value = values;
    for (const char* name : {"standard_length", "threshold"}) {
        for (const char* direction : {"x", "y", "z"}) {
            mesh += std::string("<") + name + " direction=\"" + direction + "\"><value>" +
                    *value++ + "</value></" + name + ">";
        }
    }
    WriteBytes(folder / "zentrik.xml",
               Wrap("<folder><parts>/other/parts/</parts><export>/other/out/</export></folder>"
                    "<mesh_division>" + mesh + "</mesh_division>"
                    "<preview><back_ground><color><type>black</type><top>1</top><bottom>2</bottom>"
                    "</color></back_ground></preview>"
                    "<material_property><fluid_thermal_conductivity>0.5"
                    "</fluid_thermal_conductivity></material_property>"
                    "<solver><listfile><outputs>true</outputs></listfile>"
                    "<modeling_type>simple</modeling_type></solver>"
                    "<mouse><operation_type>1Button</operation_type>"
                    "<one_button_mode>Translation</one_button_mode></mouse>"));
    ProgramSettings newer;
    newer.HomeFolder = program.HomeFolder;
    ASSERT_EQ(newer.Load(), SettingsFileState::Read);
    ASSERT_TRUE(program.Save());

    ProgramSettings read;
    read.HomeFolder = program.HomeFolder;
    read.Load();
    ExpectSameSettings(read, newer);
    EXPECT_EQ(read.Threshold.z, 16.0) << "the other program's file was read";
}

TEST_F(Settings, UnreadableFilesChangeNothing) {
    const ProgramSettings defaults;
    ExpectSameSettings(LoadFrom("<trelvo><folder><parts>/x/</parts>"), defaults);
    ExpectSameSettings(LoadFrom("<other><folder><parts>/x/</parts></folder></other>"), defaults);
    ExpectSameSettings(LoadFrom(Wrap("")), defaults);
    fs::remove(folder / "zentrik.xml");
    ProgramSettings missing;
    missing.HomeFolder = platform::PathToWide(folder) + L"/";
    missing.Load();
    ExpectSameSettings(missing, defaults);
}

TEST_F(Settings, UnusableFilesAreKeptAsideAndNeverOverwritten) {
    const ProgramSettings defaults;
    const fs::path file = folder / "zentrik.xml";
    const fs::path aside = folder / "zentrik.xml.bad";
    ProgramSettings settings;
    settings.HomeFolder = platform::PathToWide(folder) + L"/";
    EXPECT_EQ(settings.Load(), SettingsFileState::Missing);
    EXPECT_TRUE(settings.KeepUnusableFileAside().empty());

    // Nested far deeper than the reader's stack allows; an older kept file is replaced.
    std::string deep;
    for (int i = 0; i < 30000; ++i) deep += "<folder>";
    WriteBytes(file, Wrap(deep));
    WriteBytes(aside, "older");
    EXPECT_EQ(settings.Load(), SettingsFileState::Unusable);
    ExpectSameSettings(settings, defaults);
    EXPECT_FALSE(settings.Save());
    EXPECT_EQ(ReadBytes(file), Wrap(deep));
    EXPECT_EQ(settings.KeepUnusableFileAside(), platform::PathToWide(aside));
    EXPECT_EQ(ReadBytes(aside), Wrap(deep));
    EXPECT_TRUE(settings.Save());

    // Larger than any settings file, a UTF-16 text, and a folder in the file's place.
    const std::string padded = Wrap("<folder><parts>/x/</parts></folder>" +
                                    std::string(1 << 20, ' '));
    const std::string utf16("\xFF\xFE<\0t\0r\0e\0l\0v\0o\0/\0>\0", 18);
    for (const std::string& bytes : {padded, utf16}) {
        WriteBytes(file, bytes);
        EXPECT_EQ(settings.Load(), SettingsFileState::Unusable);
        ExpectSameSettings(settings, defaults);
    }
    fs::remove(file);
    fs::create_directories(file / "inside");
    EXPECT_EQ(settings.Load(), SettingsFileState::Unusable);
    EXPECT_EQ(settings.KeepUnusableFileAside(), platform::PathToWide(aside));
    EXPECT_TRUE(fs::is_directory(aside / "inside"));
    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(settings.Load(), SettingsFileState::Read);
}

TEST_F(Settings, OutOfRangeNumbersKeepTheirValues) {
    const auto entry = [](const char* name, const char* direction, const char* value) {
        return std::string("<") + name + " direction=\"" + direction + "\"><value>" + value +
               "</value></" + name + ">";
    };
    const ProgramSettings s = LoadFrom(Wrap(
        "<mesh_division>" + entry("standard_length", "x", "0") +
        entry("standard_length", "y", "-0.5") + entry("standard_length", "z", "inf") +
        entry("threshold", "x", "nan") + entry("threshold", "y", "1e400") +
        entry("threshold", "z", "0.25") + "</mesh_division><material_property>"
        "<fluid_thermal_conductivity>-0.03</fluid_thermal_conductivity></material_property>"));
    const ProgramSettings defaults;
    EXPECT_EQ(s.StandardLength.x, defaults.StandardLength.x);
    EXPECT_EQ(s.StandardLength.y, defaults.StandardLength.y);
    EXPECT_EQ(s.StandardLength.z, defaults.StandardLength.z);
    EXPECT_EQ(s.Threshold.x, defaults.Threshold.x);
    EXPECT_EQ(s.Threshold.y, defaults.Threshold.y);
    EXPECT_EQ(s.Threshold.z, 0.25);
    EXPECT_EQ(s.FluidConductivity, defaults.FluidConductivity);
}

TEST_F(Settings, FoldersThatAreNotUtf8SurviveByteForByte) {
    ProgramSettings saved;
    saved.HomeFolder = platform::PathToWide(folder) + L"/";
    saved.PartsFolder = platform::Utf8ToWide("/data/caf\xE9/");
    saved.ExportFolder = platform::Utf8ToWide("/data/\xEF\xBF\xBD/");
    ASSERT_TRUE(saved.Save());
    EXPECT_NE(ReadBytes(folder / "zentrik.xml").find("<parts>/data/caf\xE9/</parts>"),
              std::string::npos);
    ProgramSettings loaded;
    loaded.HomeFolder = saved.HomeFolder;
    EXPECT_EQ(loaded.Load(), SettingsFileState::Read);
    EXPECT_EQ(platform::WideToUtf8(loaded.PartsFolder), "/data/caf\xE9/");
    EXPECT_EQ(platform::WideToUtf8(loaded.ExportFolder), "/data/\xEF\xBF\xBD/");

    // A part of such a name renames, and the current part follows, byte for byte.
    WriteBytes(folder / "caf\xE9.qvx", "x");
    loaded.CurrentPartPath = platform::PathToWide(folder / "caf\xE9.qvx");
    std::wstring line;
    ASSERT_TRUE(loaded.RenamePartFile(loaded.CurrentPartPath,
                                      platform::PathToWide(folder / "caf\xE9 2.qvx"), line));
    EXPECT_TRUE(fs::exists(folder / "caf\xE9 2.qvx"));
    EXPECT_EQ(platform::PathFromWide(loaded.CurrentPartPath), folder / "caf\xE9 2.qvx");
}

TEST_F(Settings, MeshEntriesByExactDirectionLastOneWins) {
    const auto entry = [](const char* name, const char* direction, const char* value) {
        return std::string("<") + name + " direction=\"" + direction + "\"><value>" + value +
               "</value></" + name + ">";
    };
    const ProgramSettings s = LoadFrom(Wrap(
        "<mesh_division>" + entry("standard_length", "x", "0.7") + entry("standard_length", "X", "9") +
        entry("standard_length", "y", "0.5abc") + entry("standard_length", "z", " 6 ") +
        entry("standard_length", "x", "0.8") + entry("threshold", "z", "nan") +
        entry("threshold", "y", "0.25") + entry("size", "x", "3") +
        "<threshold><value>7</value></threshold></mesh_division>"));
    EXPECT_EQ(s.StandardLength.x, 0.8);
    EXPECT_EQ(s.StandardLength.y, 0.5);
    EXPECT_EQ(s.StandardLength.z, 6.0);
    EXPECT_EQ(s.Threshold.x, 0.1);
    EXPECT_EQ(s.Threshold.y, 0.25);
    EXPECT_EQ(s.Threshold.z, 0.1);
}

TEST_F(Settings, FoldersGainASeparatorOnlyWhenTheyNeedOne) {
    const ProgramSettings defaults;
    ProgramSettings s = LoadFrom(Wrap("<folder><parts>/data/parts</parts><export>/data/lib/</export></folder>"));
    EXPECT_EQ(s.PartsFolder, L"/data/parts/");
    EXPECT_EQ(s.ExportFolder, L"/data/lib/");
    s = LoadFrom(Wrap("<folder><parts>D:\\parts\\</parts><export></export></folder>"));
    EXPECT_EQ(s.PartsFolder, L"D:\\parts\\");
    EXPECT_EQ(s.ExportFolder, defaults.ExportFolder);  // empty keeps the folder, never "/"
}

TEST_F(Settings, WordsAndSwitchesAreExact) {
    ProgramSettings s = LoadFrom(Wrap(
        "<preview><back_ground><color><type>White</type><top>-1</top><bottom>255</bottom>"
        "</color></back_ground></preview><material_property><fluid_thermal_conductivity>"
        "0.5abc</fluid_thermal_conductivity></material_property><solver><listfile><outputs>1"
        "</outputs></listfile><modeling_type>Simple</modeling_type></solver>"
        "<mouse><one_button_mode>Scaling</one_button_mode></mouse>"));
    EXPECT_EQ(s.BackgroundType, 2);
    EXPECT_EQ(s.BackgroundTopColor, 0xFF7E00u);
    EXPECT_EQ(s.BackgroundBottomColor, 255u);
    EXPECT_EQ(s.FluidConductivity, 0.0256);
    EXPECT_TRUE(s.OutputListFile);
    EXPECT_FALSE(s.SimpleModeling);
    EXPECT_EQ(s.OneButtonOperation, 0);  // not read without operation_type

    s = LoadFrom(Wrap("<preview><back_ground><color><type>black</type></color></back_ground>"
                      "</preview><solver><modeling_type>simple</modeling_type></solver><mouse>"
                      "<operation_type>2Button</operation_type><one_button_mode>Translation"
                      "</one_button_mode></mouse>"));
    EXPECT_EQ(s.BackgroundType, 0);
    EXPECT_TRUE(s.SimpleModeling);
    EXPECT_EQ(s.MouseMode, 0);
    EXPECT_EQ(s.OneButtonOperation, 2);
}

TEST_F(Settings, AFailedSaveKeepsTheOldFile) {
    ProgramSettings settings;
    settings.HomeFolder = platform::PathToWide(folder) + L"/";
    ASSERT_TRUE(settings.Save());
    const std::string before = ReadBytes(folder / "zentrik.xml");

    // Writes past 64 bytes fail, as on a full disk.
    settings.PartsFolder = L"/elsewhere/";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = settings.Save();
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(folder / "zentrik.xml"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    settings.HomeFolder = platform::PathToWide(dir / "missing") + L"/";
    EXPECT_FALSE(settings.Save());
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

}  // namespace
