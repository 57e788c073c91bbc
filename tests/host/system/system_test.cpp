// The platform services: the system language from the POSIX locale, the XDG
// folders, file copies that leave nothing behind, and the profile file.
#include <filesystem>

#include <gtest/gtest.h>
#include <unistd.h>

#include "host/system/posix_system.h"
#include "host/system/profile.h"
#include "temp_dir.h"

namespace veln::host {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(SystemLanguageTest, LocaleNamesGiveTheLanguagesEnglishName) {
    struct Case {
        const char* locale;
        const char* name;
        int id;
    };
    for (const Case& c :
         {Case{"fr_FR.UTF-8", "French", 0x40C}, Case{"fr_CA.UTF-8", "French", 0x40C},
          Case{"fr_BE@euro", "French", 0x40C}, Case{"fr", "French", 0x40C},
          Case{"FR_ch", "French", 0x40C}, Case{"fy_NL", "Frisian", 0x462},
          Case{"de_DE.UTF-8", "German", 0x407}, Case{"en_GB", "English", 0x409},
          Case{"C", "English", 0x409}, Case{"C.UTF-8", "English", 0x409},
          Case{"POSIX", "English", 0x409}, Case{"", "English", 0x409}, Case{"xx_YY", "", 0}}) {
        SystemLanguage language = LanguageOfLocale(c.locale);
        EXPECT_EQ(language.name, c.name) << c.locale;
        EXPECT_EQ(language.id, c.id) << c.locale;
    }
}

TEST(SystemLanguageTest, LcAllThenLcMessagesThenLangDecide) {
    auto nameWith = [](std::map<std::string, std::string> env) {
        return PosixSystem(FixedEnvironment(std::move(env))).DefaultLanguage().name;
    };
    EXPECT_EQ(nameWith({{"LC_ALL", "de_DE"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "en_US"}}),
              "German");
    EXPECT_EQ(nameWith({{"LC_MESSAGES", "fr_FR"}, {"LANG", "en_US"}}), "French");
    EXPECT_EQ(nameWith({{"LC_ALL", ""}, {"LANG", "fr_CA.UTF-8"}}), "French")
        << "an empty variable is skipped";
    EXPECT_EQ(nameWith({}), "English");
}

TEST(PosixSystemTest, FoldersFollowXdgAndHome) {
    PosixSystem xdg(FixedEnvironment(
        {{"HOME", "/home/ana"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "/data"}}));
    EXPECT_EQ(xdg.SettingsFilePath(), "/cfg/veln/VELN.ini");
    EXPECT_EQ(xdg.StartupFolder(), "/data/veln/startup");
    PosixSystem home(FixedEnvironment({{"HOME", "/home/ana"}, {"VELN_HOME", "/opt/veln"}}));
    EXPECT_EQ(home.SettingsFilePath(), "/home/ana/.config/veln/VELN.ini");
    EXPECT_EQ(home.StartupFolder(), "/home/ana/.local/share/veln/startup");
    EXPECT_EQ(home.ProgramFolder(), "/opt/veln");
}

TEST(PosixSystemTest, NowIsLocalDateAndTime) {
    std::string now = PosixSystem().Now();
    ASSERT_EQ(now.size(), 19U) << now;
    EXPECT_EQ(now[4], '-');
    EXPECT_EQ(now[10], ' ');
    EXPECT_EQ(now[13], ':');
}

TEST(PosixSystemTest, FilesAreCopiedWholeOrNotAtAll) {
    TempDir dir;
    PosixSystem system;
    WriteFile(dir / "template.mdb", "template bytes");
    EXPECT_TRUE(system.CopyFile(dir / "template.mdb", dir / "copy.mdb"));
    EXPECT_EQ(ReadFile(dir / "copy.mdb"), "template bytes");

    EXPECT_FALSE(system.CopyFile(dir / "missing.mdb", dir / "none.mdb"));
    EXPECT_FALSE(system.FileExists(dir / "none.mdb"));
    // A target inside a "folder" that is a file cannot be written.
    EXPECT_FALSE(system.CopyFile(dir / "template.mdb", dir / "template.mdb/inside.mdb"));
    // A target that is a folder is not replaced.
    fs::create_directory(dir / "folder.mdb");
    EXPECT_FALSE(system.CopyFile(dir / "template.mdb", dir / "folder.mdb"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3)
        << "no partial copies are left behind";

    fs::permissions(dir / "copy.mdb", fs::perms::owner_read);
    EXPECT_TRUE(system.DeleteFile(dir / "copy.mdb")) << "read-only files are deleted too";
    EXPECT_FALSE(system.FileExists(dir / "copy.mdb"));
    EXPECT_FALSE(system.FileExists(dir / "folder.mdb")) << "a folder is not a file";
}

TEST(ProfileTest, ReadsValuesAsTheProfileFunctionsDo) {
    TempDir dir;
    std::string ini = dir / "VELN.ini";
    WriteFile(ini,
              "\xEF\xBB\xBF; settings\r\n[Other]\r\nlanguage=DE\r\n[locale]\r\n"
              "  Language =  FR  \r\nempty=\r\nquoted=\" spaced \"\r\nlong=abcdefghij\r\n");
    auto read = [&](const char* section, const char* key, std::size_t size = 255) {
        return ReadProfileString(ini, section, key, "AUTO", size);
    };
    EXPECT_EQ(read("Locale", "language"), "FR") << "names match without regard to case";
    EXPECT_EQ(read("Other", "language"), "DE");
    EXPECT_EQ(read("Locale", "empty"), "");
    EXPECT_EQ(read("Locale", "quoted"), " spaced ");
    EXPECT_EQ(read("Locale", "missing"), "AUTO");
    EXPECT_EQ(read("Missing", "language"), "AUTO");
    EXPECT_EQ(read("Locale", "long", 5), "abcd");
    EXPECT_EQ(ReadProfileString(dir / "absent.ini", "Locale", "language", "AUTO", 255), "AUTO");
    fs::create_directory(dir / "folder.ini");
    EXPECT_EQ(ReadProfileString(dir / "folder.ini", "Locale", "language", "AUTO", 255), "AUTO")
        << "a file that cannot be read behaves as absent";
}

TEST(ProfileTest, WritesReplaceOrAddTheKeyAndKeepTheRest) {
    TempDir dir;
    std::string ini = dir / "cfg/veln/VELN.ini";
    ASSERT_TRUE(WriteProfileString(ini, "Locale", "language", "FR"));
    EXPECT_EQ(ReadFile(ini), "[Locale]\nlanguage=FR\n") << "file and folders are created";

    WriteFile(ini, "; mine\n[Locale]\nLANGUAGE=FR\nother=1\n\n[Next]\nx=2\n");
    ASSERT_TRUE(WriteProfileString(ini, "locale", "language", "EN"));
    EXPECT_EQ(ReadFile(ini), "; mine\n[Locale]\nlanguage=EN\nother=1\n\n[Next]\nx=2\n");
    ASSERT_TRUE(WriteProfileString(ini, "Next", "y", "3"));
    EXPECT_EQ(ReadFile(ini), "; mine\n[Locale]\nlanguage=EN\nother=1\n\n[Next]\nx=2\ny=3\n");
    ASSERT_TRUE(WriteProfileString(ini, "Locale", "new", ""));
    EXPECT_EQ(ReadProfileString(ini, "Locale", "new", "AUTO", 255), "");
    EXPECT_EQ(ReadProfileString(ini, "Locale", "other", "AUTO", 255), "1");
}

TEST(ProfileTest, AFailedWriteLeavesThePreviousFileWhole) {
    TempDir dir;
    std::string ini = dir / "VELN.ini";
    WriteFile(ini, "[Locale]\nlanguage=FR\n");
    // The new file is written beside the old one; a folder in its way makes it fail.
    fs::create_directory(ini + ".new" + std::to_string(::getpid()));
    EXPECT_FALSE(WriteProfileString(ini, "Locale", "language", "EN"));
    EXPECT_EQ(ReadFile(ini), "[Locale]\nlanguage=FR\n");

    WriteFile(dir / "plain", "a file, not a folder");
    EXPECT_FALSE(WriteProfileString(dir / "plain/VELN.ini", "Locale", "language", "EN"));
    fs::create_directory(dir / "dir.ini");
    EXPECT_FALSE(WriteProfileString(dir / "dir.ini", "Locale", "language", "EN"));
}

}  // namespace
}  // namespace veln::host
