#include <libintl.h>

#include <clocale>
#include <cstdio>
#include <string>

#include <wx/init.h>
#include <wx/translation.h>

#include "app/home_folder.h"
#include "app/ui_language.h"
#include "platform/registry.h"
#include "platform/wide_string.h"
#include "resources/string_table.h"
#include "temp_env.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using platform::Registry;
using platform::RegistryRoot;

class StartUp : public TempEnvironment {
protected:
    std::wstring Config() const { return platform::PathToWide(dir / "config"); }
    std::optional<std::wstring> Recorded() const {
        return Registry::ReadString(RegistryRoot::CurrentUser, GetProductKey(), L"EnvHomeDirectory");
    }
};

TEST_F(StartUp, ProgramFolderAndTitleComeFromTheRunningFile) {
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(GetProgramFileTitle(), L"app_start_up_test");
    EXPECT_EQ(GetProgramFolder(), platform::PathToWide(self.parent_path()) + L"/");
    EXPECT_EQ(GetProductKey(), L"Ostrel\\Zentrik2020\\app_start_up_test");
}

TEST_F(StartUp, FirstStartRecordsTheDefaultHomeFolder) {
    const std::wstring expected = Config() + L"/Ostrel/Zentrik2020/app_start_up_test/";
    EXPECT_EQ(GetDefaultHomeDirectory(), expected);
    EXPECT_FALSE(ReadHomeDirectoryFromRegistry());
    EXPECT_EQ(InitHomeDirectory(), expected);
    EXPECT_TRUE(fs::is_directory(platform::PathFromWide(expected)));
    EXPECT_EQ(Recorded(), expected);
    EXPECT_TRUE(fs::is_regular_file(dir / "config/Ostrel/Zentrik2020/app_start_up_test/registry.ini"));
}

TEST_F(StartUp, RecordedHomeFolderGainsItsSeparatorInMemoryOnly) {
    const std::wstring work = platform::PathToWide(dir / "work");
    ASSERT_TRUE(Registry::WriteString(GetProductKey(), L"EnvHomeDirectory", work));
    EXPECT_EQ(InitHomeDirectory(), work + L"/");
    EXPECT_EQ(Recorded(), work);
    EXPECT_TRUE(fs::is_directory(dir / "work"));
}

TEST_F(StartUp, EmptyRecordedHomeFolderCountsAsMissing) {
    ASSERT_TRUE(Registry::WriteString(GetProductKey(), L"EnvHomeDirectory", L""));
    EXPECT_EQ(InitHomeDirectory(), GetDefaultHomeDirectory());
    EXPECT_EQ(Recorded(), GetDefaultHomeDirectory());
}

// A home folder taken against the working directory would put folders and a settings file
// wherever the program was started: a relative or unexpanded record gives way to the
// default, once said, and is left for the user to mend.
TEST_F(StartUp, ARecordedHomeFolderThatIsNotAbsoluteGivesWayToTheDefault) {
    for (const std::wstring value : {L"relhome", L"$HOME/x/", L"~/x", L"/home/${USER}/x",
                                     L"C:\\work", L"/work/$u"}) {
        SCOPED_TRACE(platform::WideToUtf8(value));
        ASSERT_TRUE(Registry::WriteString(GetProductKey(), L"EnvHomeDirectory", value));
        std::vector<std::wstring> notes;
        EXPECT_EQ(InitHomeDirectory(&notes), GetDefaultHomeDirectory());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find(L"\"" + value + L"\""), std::wstring::npos);
        EXPECT_EQ(Recorded(), value);
    }
    EXPECT_FALSE(fs::exists(fs::current_path() / "relhome"));
    // A '$' that starts no variable's name is a folder's own character.
    const std::wstring priced = platform::PathToWide(dir / "price$5");
    ASSERT_TRUE(Registry::WriteString(GetProductKey(), L"EnvHomeDirectory", priced));
    std::vector<std::wstring> notes;
    EXPECT_EQ(InitHomeDirectory(&notes), priced + L"/");
    EXPECT_TRUE(notes.empty());
}

// A key file past the bound is read as empty and never written over: the start takes the
// default home folder, records nothing and says why once.
TEST_F(StartUp, AnOversizedKeyFileIsLeftAloneAndSaidOnce) {
    const fs::path file = Registry::UserKeyFile(GetProductKey());
    fs::create_directories(file.parent_path());
    const std::string work = (dir / "work").string();
    std::string bytes = "EnvHomeDirectory=" + work + "\nMainFrameRect=0,0,100000,100000,0\n";
    WriteBytes(file, bytes);
    EXPECT_EQ(InitHomeDirectory(), platform::Utf8ToWide(work) + L"/");
    EXPECT_TRUE(RefusedProductKeyLine().empty());

    bytes.resize(Registry::kMaxKeyFileBytes, ' ');
    WriteBytes(file, bytes);
    EXPECT_EQ(Recorded(), platform::Utf8ToWide(work));  // exactly at the bound: read
    bytes += '\n';
    WriteBytes(file, bytes);
    EXPECT_FALSE(Recorded());
    EXPECT_EQ(InitHomeDirectory(), GetDefaultHomeDirectory());
    EXPECT_FALSE(Registry::WriteString(GetProductKey(), L"MainFrameRect", L"1,2,300,400,0"));
    EXPECT_EQ(ReadBytes(file), bytes);
    const std::wstring line = RefusedProductKeyLine();
    EXPECT_NE(line.find(platform::PathToWide(file)), std::wstring::npos);
    EXPECT_NE(line.find(L"larger than 1 MiB"), std::wstring::npos);

    // A folder in the file's place is refused as well; a missing file is no refusal.
    fs::remove(file);
    EXPECT_TRUE(RefusedProductKeyLine().empty());
    fs::create_directory(file);
    EXPECT_FALSE(RefusedProductKeyLine().empty());
    EXPECT_FALSE(Registry::WriteString(GetProductKey(), L"PaneLayout", L"x"));
}

// A key file holds values of its top group only. A group nested deeper than the stack
// allows (what crashed the reader) is refused like an oversized file; the program never
// writes a file it would refuse, so a write past the size bound keeps the older file.
TEST_F(StartUp, AKeyFileBeyondWhatTheProgramWritesIsRefusedAndNeverWritten) {
    const fs::path file = Registry::UserKeyFile(GetProductKey());
    fs::create_directories(file.parent_path());
    const std::string work = (dir / "work").string();
    std::string deep = "EnvHomeDirectory=" + work + "\n[";
    for (int level = 0; level < 150000; ++level) deep += "a/";
    deep += "a]\nx=1\n";
    for (const std::string& refused :
         {deep, "EnvHomeDirectory=" + work + "\n \t[g]\n", "EnvHomeDirectory=" + work + "\nx=\0\n"s,
          "\xFF\xFE" "E\0=\0"s, "EnvHomeDirectory=" + work + std::string(1025, '\n')}) {
        WriteBytes(file, refused);
        EXPECT_FALSE(Recorded());
        EXPECT_EQ(InitHomeDirectory(), GetDefaultHomeDirectory());
        EXPECT_FALSE(RefusedProductKeyLine().empty());
        EXPECT_EQ(ReadBytes(file), refused);
    }
    // A '[' within a value is no group; 1024 lines are still a key.
    WriteBytes(file, "EnvHomeDirectory=" + work + "[1]" + std::string(1024, '\n'));
    EXPECT_EQ(Recorded(), platform::Utf8ToWide(work + "[1]"));

    // One value more would pass the bound: refused, said, and the file left as it was; a
    // file the write leaves exactly at the bound is written.
    const std::string line = "MainFrameRect=1,2,300,400,0\n";
    std::string full = "EnvHomeDirectory=" + work + "\nPad=";
    full += std::string(Registry::kMaxKeyFileBytes - full.size() - line.size(), 'x');
    full.back() = '\n';
    WriteBytes(file, full + "x");
    std::string reason;
    EXPECT_FALSE(Registry::WriteString(GetProductKey(), L"MainFrameRect", L"1,2,300,400,0", &reason));
    EXPECT_NE(reason.find("larger than 1 MiB"), std::string::npos) << reason;
    EXPECT_EQ(ReadBytes(file), full + "x");
    EXPECT_EQ(Recorded(), platform::Utf8ToWide(work));
    WriteBytes(file, full);
    EXPECT_TRUE(Registry::WriteString(GetProductKey(), L"MainFrameRect", L"1,2,300,400,0"));
    EXPECT_EQ(ReadBytes(file).size(), Registry::kMaxKeyFileBytes);
    EXPECT_EQ(Recorded(), platform::Utf8ToWide(work));
    EXPECT_FALSE(Registry::WriteString(GetProductKey(), L"Other", std::wstring(L"a\0b", 3)));
}

TEST_F(StartUp, RegistryValuesKeepTheirTextAndStayInsideTheirBase) {
    const std::wstring odd = L"C:\\dir \"q\" $HOME ${USER} 部品 ";
    ASSERT_TRUE(Registry::WriteString(L"Maker\\Tool", L"Path", odd));
    EXPECT_EQ(ReadRegistryString(RegistryRoot::CurrentUser, L"Maker\\Tool", L"Path"), odd);
    EXPECT_FALSE(ReadRegistryString(RegistryRoot::CurrentUser, L"Maker\\Tool", L"Other"));
    EXPECT_FALSE(ReadRegistryString(RegistryRoot::CurrentUser, L"Maker\\None", L"Path"));

    ASSERT_TRUE(Registry::WriteString(L"Maker\\Tool", L"Long", std::wstring(1000, L'a')));
    EXPECT_FALSE(ReadRegistryString(RegistryRoot::CurrentUser, L"Maker\\Tool", L"Long"));
    ASSERT_TRUE(Registry::WriteString(L"Maker\\Tool", L"Long", std::wstring(999, L'a')));
    EXPECT_TRUE(ReadRegistryString(RegistryRoot::CurrentUser, L"Maker\\Tool", L"Long"));

    EXPECT_TRUE(Registry::KeyFile(dir, L"a\\..\\..\\b").empty());
    EXPECT_FALSE(Registry::WriteString(L"..\\escape", L"Path", L"x"));
    EXPECT_FALSE(fs::exists(dir / "escape"));

    fs::create_directories(dir / "machine2" / "Maker" / "Tool");
    WriteBytes(dir / "machine2" / "Maker" / "Tool" / "registry.ini", "Guide=/opt/guide.pdf\n");
    setenv("XDG_CONFIG_DIRS", (":" + (dir / "machine1").string() + ":" + (dir / "machine2").string()).c_str(), 1);
    EXPECT_EQ(ReadRegistryString(RegistryRoot::LocalMachine, L"Maker\\Tool", L"Guide"),
              L"/opt/guide.pdf");
}

TEST(UiLanguage, LocaleAndMarkersDecide) {
    EXPECT_EQ(UserDefaultLanguageId(nullptr, nullptr, "ja_JP.UTF-8"), 1041u);
    EXPECT_EQ(UserDefaultLanguageId("C", nullptr, "ja_JP.UTF-8"), 1033u);
    EXPECT_EQ(UserDefaultLanguageId("", "ja", "en_US.UTF-8"), 1041u);
    EXPECT_EQ(UserDefaultLanguageId(nullptr, nullptr, nullptr), 1033u);
    EXPECT_EQ(UserDefaultLanguageId(nullptr, nullptr, "de_DE.utf8"), 1033u);

    const fs::path folder = platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-lang-");
    ASSERT_FALSE(folder.empty());
    const std::wstring program = platform::PathToWide(folder) + L"/";
    EXPECT_EQ(ChooseUiLanguage(program, 1033), kUiLanguageEnglish);
    EXPECT_EQ(ChooseUiLanguage(program, 1041), kUiLanguageJapanese);
    std::ofstream(folder / "ostrel_lang_eng").put('\n');
    EXPECT_EQ(ChooseUiLanguage(program, 1041), kUiLanguageEnglish);
    std::ofstream(folder / "ostrel_lang_jpn").put('\n');
    EXPECT_EQ(ChooseUiLanguage(program, 1033), kUiLanguageJapanese);  // the last rule wins
    fs::remove_all(folder);

    SetUILanguage(kUiLanguageJapanese);
    EXPECT_EQ(resources::ThreadLanguage(), resources::kLanguageJapanese);
    SetUILanguage(kUiLanguageEnglish);
    EXPECT_EQ(resources::ThreadLanguage(), resources::kLanguageEnglish);
}

TEST(UiLanguage, JapaneseTakesTheToolkitsOwnCatalogue) {
    // The stock buttons' texts come from the toolkit's catalogue (Debian wx3.2-i18n).
    wxInitializer toolkit;  // the catalogue search asks the application's name
    ASSERT_TRUE(LoadToolkitTranslations(kUiLanguageJapanese));
    EXPECT_EQ(wxGetTranslation("&Yes"), wxString::FromUTF8("はい (&Y)"));
    EXPECT_EQ(wxGetTranslation("Cancel"), wxString::FromUTF8("キャンセル"));
    EXPECT_FALSE(LoadToolkitTranslations(kUiLanguageEnglish));
    EXPECT_EQ(wxGetTranslation("Cancel"), "Cancel");
}

TEST(UiLanguage, MessagesLocaleFollowsTheInterfaceAndLeavesNumbersAlone) {
    // GTK's stock buttons are looked up in its own catalogue through LC_MESSAGES alone.
    bind_textdomain_codeset("gtk30", "UTF-8");  // as GTK binds it
    const auto gtkText = [](const char* text) { return std::string(dgettext("gtk30", text)); };
    const auto category = [](int which) { return std::string(std::setlocale(which, nullptr)); };
    const auto numberText = [] {
        char text[16];
        std::snprintf(text, sizeof text, "%g", 0.5);
        return std::string(text);
    };
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    unsetenv("LANGUAGE");
    const std::string numeric = category(LC_NUMERIC);
    const std::string number = numberText();
    for (const char* lang : {"ja_JP.UTF-8", "C.UTF-8"}) {  // the user's own, a marker's
        SCOPED_TRACE(lang);
        setenv("LANG", lang, 1);
        ASSERT_TRUE(SetMessagesLocale(kUiLanguageJapanese));
        EXPECT_EQ(category(LC_MESSAGES).substr(0, 2), "ja");
        EXPECT_EQ(gtkText("_Cancel"), "キャンセル(_C)");
        EXPECT_EQ(gtkText("_No"), "いいえ(_N)");
        EXPECT_EQ(category(LC_NUMERIC), numeric);
        EXPECT_EQ(numberText(), number);
    }
    // English whatever the user's locale says.
    setenv("LANG", "ja_JP.UTF-8", 1);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_FALSE(SetMessagesLocale(kUiLanguageEnglish));
    EXPECT_EQ(category(LC_MESSAGES), "C");
    EXPECT_EQ(gtkText("_Cancel"), "_Cancel");
    unsetenv("LC_ALL");
    unsetenv("LANG");
}

TEST(DriverSwitch, OnlyTheFirstCharacterCounts) {
    EXPECT_EQ(ParseDriverSwitch("0"), DriverPreload::Load);
    EXPECT_EQ(ParseDriverSwitch(nullptr), DriverPreload::Load);
    EXPECT_EQ(ParseDriverSwitch(""), DriverPreload::Load);
    EXPECT_EQ(ParseDriverSwitch("1"), DriverPreload::LoadWhileMarkedDebugged);
    EXPECT_EQ(ParseDriverSwitch("10"), DriverPreload::LoadWhileMarkedDebugged);
    EXPECT_EQ(ParseDriverSwitch("2"), DriverPreload::None);

    setenv("OSTREL_PSEUDO_DEBUGGEE", "2", 1);
    EXPECT_FALSE(PreloadOpenGLDriver());
    setenv("OSTREL_PSEUDO_DEBUGGEE", "1", 1);
    PreloadOpenGLDriver();  // a machine without the driver simply goes on
    unsetenv("OSTREL_PSEUDO_DEBUGGEE");
}

}  // namespace
