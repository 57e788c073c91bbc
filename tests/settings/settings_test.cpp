// The string table, the language offset chosen at start-up, and the language
// dialog, over a real settings file.
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "host/system/posix_system.h"
#include "host/ui/scripted_ui.h"
#include "settings/core_context.h"
#include "settings/frm_language.h"
#include "settings/string_table.h"
#include "settings/util_ini_file.h"
#include "temp_dir.h"

namespace veln {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

// The table's data file read independently of the generator that compiles it:
// id, name, English text, French text, each text between its outer quotes.
struct Row {
    int id = 0;
    std::string english;
    std::string french;
};

std::vector<Row> DataFile() {
    std::vector<Row> rows;
    std::istringstream lines(ReadFile(VELN_STRING_TABLE_TSV));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.starts_with("#")) {
            continue;
        }
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) {
            fields.push_back(cell);
        }
        EXPECT_EQ(fields.size(), 4U) << line;
        auto unquoted = [](const std::string& text) { return text.substr(1, text.size() - 2); };
        rows.push_back({std::stoi(fields.at(0)), unquoted(fields.at(2)), unquoted(fields.at(3))});
    }
    return rows;
}

TEST(StringTableTest, EveryTextOfTheDataFileComesBackExactlyInBothLanguages) {
    std::vector<Row> rows = DataFile();
    ASSERT_EQ(rows.size(), 147U);
    for (const Row& row : rows) {
        EXPECT_EQ(StringTable::Find(row.id), row.english) << row.id;
        EXPECT_EQ(StringTable::Find(row.id + FRENCH_OFFSET), row.french) << row.id;
    }
    EXPECT_EQ(StringTable::Entries().size(), 2 * rows.size()) << "nothing but the data file";
    for (int unused : {101, 114, 126, 196, 279, 501, 679}) {
        EXPECT_FALSE(StringTable::Find(unused)) << unused;
    }
}

TEST(LanguageTest, LoadTextAddsTheOffsetToTheEnglishId) {
    Language language;
    EXPECT_EQ(language.LoadText(203), "Create the project database");
    language.offset = FRENCH_OFFSET;
    EXPECT_EQ(language.LoadText(203), "Créer la base projet");
    EXPECT_EQ(language.LoadText(114), "") << "an id the table does not hold";
}

// A system whose settings file lives in a temporary folder and whose locale is given.
struct Machine {
    explicit Machine(const std::string& locale) {
        std::map<std::string, std::string> env{{"XDG_CONFIG_HOME", dir.Path().string()}};
        if (!locale.empty()) {
            env["LANG"] = locale;
        }
        system = std::make_unique<host::PosixSystem>(host::FixedEnvironment(env));
    }
    std::string Ini() const { return system->SettingsFilePath(); }

    TempDir dir;
    std::unique_ptr<host::PosixSystem> system;
};

TEST(LanguageTest, OffsetAtStartUpForEverySettingAndSystemLanguage) {
    // nullptr: no settings file; "<dir>": a folder in its place, which cannot be read.
    const std::vector<const char*> settings{"FR", "EN",    "AUTO",  "fr",
                                            "",   nullptr, "<dir>", "<nokey>"};
    const std::map<std::string, std::int16_t> systems{
        {"fr_FR.UTF-8", FRENCH_OFFSET},
        {"fr_CA.UTF-8", FRENCH_OFFSET},
        {"fy_NL.UTF-8", FRENCH_OFFSET},  // Frisian's name begins with "Fr" too
        {"en_US.UTF-8", ENGLISH_OFFSET},
        {"de_DE.UTF-8", ENGLISH_OFFSET},
        {"xx_YY", ENGLISH_OFFSET},  // a language without a name
        {"", ENGLISH_OFFSET}};
    for (const char* setting : settings) {
        for (const auto& [locale, systemOffset] : systems) {
            Machine machine(locale);
            std::string value = setting == nullptr ? "(none)" : setting;
            if (value == "<dir>") {
                std::filesystem::create_directories(machine.Ini());
            } else if (value == "<nokey>") {
                WriteFile(machine.Ini(), "[Locale]\nother=FR\n");
            } else if (setting != nullptr) {
                WriteFile(machine.Ini(), "[Locale]\nlanguage=" + value + "\n");
            }
            std::int16_t expected = value == "FR"   ? FRENCH_OFFSET
                                    : value == "EN" ? ENGLISH_OFFSET
                                                    : systemOffset;
            EXPECT_EQ(Language::ChooseOffset(*machine.system), expected)
                << "setting " << value << ", locale " << locale;
        }
    }
}

TEST(LanguageTest, SettingsFileReadsAutoWhenMissingAndEmptyWhenBlank) {
    Machine machine("en_US");
    EXPECT_FALSE(UtilIniFile::IniFileExists(*machine.system));
    EXPECT_EQ(UtilIniFile::ReadIniValue(*machine.system, "Locale", "language"), "AUTO");
    ASSERT_TRUE(UtilIniFile::WriteIniValue(*machine.system, "Locale", "language", ""));
    EXPECT_TRUE(UtilIniFile::IniFileExists(*machine.system));
    EXPECT_EQ(UtilIniFile::ReadIniValue(*machine.system, "Locale", "language"), "");

    int id = 0;
    std::string name;
    Machine french("fr_BE.UTF-8");
    Language::GetSystemLanguage(*french.system, id, name);
    EXPECT_EQ(id, 0x40C);
    EXPECT_EQ(name, "French");
}

// The language dialog driven as a user would.
struct LanguageDialog {
    explicit LanguageDialog(const std::string& locale) : machine(locale) {}

    void Run(std::vector<host::FormAction> actions) {
        CoreContext context(ui, *machine.system);
        context.language.offset = offsetBefore;
        ui.AnswerForm("frmLanguage", std::move(actions));
        auto form = std::make_shared<frmLanguage>(context);
        ui.Show(form, false);
        offsetAfter = context.language.offset;
    }

    Machine machine;
    host::ScriptedUi ui;
    std::int16_t offsetBefore = ENGLISH_OFFSET;
    std::int16_t offsetAfter = -1;
};

TEST(FrmLanguageTest, LoadSelectsTheStoredChoiceWithFixedCaptions) {
    for (const auto& [stored, selected] :
         std::vector<std::pair<std::string, std::string>>{{"FR", "OButtonFrench"},
                                                          {"EN", "OButtonEnglish"},
                                                          {"AUTO", "OButtonAuto"},
                                                          {"fr", "OButtonAuto"},
                                                          {"(none)", "OButtonAuto"}}) {
        LanguageDialog dialog("fr_FR");
        if (stored != "(none)") {
            WriteFile(dialog.machine.Ini(), "[Locale]\nlanguage=" + stored + "\n");
        }
        dialog.Run({{"print", "OButtonEnglish", {}},
                    {"print", "OButtonFrench", {}},
                    {"print", "OButtonAuto", {}}});
        const auto& lines = dialog.ui.Transcript();
        ASSERT_EQ(lines.size(), 6U);
        EXPECT_EQ(lines[0], "form frmLanguage modeless \"Language\"");
        for (int i = 1; i <= 3; ++i) {
            bool isSelected = lines[static_cast<std::size_t>(i)].starts_with("  " + selected + ":");
            EXPECT_EQ(lines[static_cast<std::size_t>(i)].ends_with(": 1"), isSelected)
                << stored << ": " << lines[static_cast<std::size_t>(i)];
        }
    }

    host::ScriptedUi ui;
    Machine machine("en_US");
    CoreContext context(ui, *machine.system);
    frmLanguage form(context);
    EXPECT_EQ(form.OButtonFrench.Caption, "Français");
    EXPECT_EQ(form.CancelButton.Caption, "Annuler");
    EXPECT_EQ(form.Icon, 0) << "the language dialog keeps the default window icon";
    form.Load();
    EXPECT_EQ(form.BackColor, 14263669);
}

TEST(FrmLanguageTest, OkWritesTheChoiceAndChangesTheOffsetAtOnce) {
    const std::string restart =
        "  msgbox \"VELN\" flags=64 \"Close and restart Word(c) for changes to take effect. "
        "\\rFermez et relancez Word(c) pour que les changements prennent effet.\" -> ok";
    struct Case {
        const char* option;
        const char* locale;
        const char* written;
        std::int16_t offset;
    };
    for (const Case& c : {Case{"OButtonFrench", "en_US", "FR", FRENCH_OFFSET},
                          Case{"OButtonEnglish", "fr_FR", "EN", ENGLISH_OFFSET},
                          Case{"OButtonAuto", "fr_CA", "AUTO", FRENCH_OFFSET},
                          Case{"OButtonAuto", "de_DE", "AUTO", ENGLISH_OFFSET}}) {
        LanguageDialog dialog(c.locale);
        dialog.offsetBefore = c.offset == FRENCH_OFFSET ? ENGLISH_OFFSET : FRENCH_OFFSET;
        if (std::string(c.option) == "OButtonAuto") {
            WriteFile(dialog.machine.Ini(), "[Locale]\nlanguage=EN\n");
        }
        dialog.ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
        dialog.Run({{"option", c.option, {}}, {"click", "OKButton", {}}});
        EXPECT_EQ(dialog.offsetAfter, c.offset) << c.option << " " << c.locale;
        EXPECT_EQ(ReadFile(dialog.machine.Ini()),
                  std::string("[Locale]\nlanguage=") + c.written + "\n");
        EXPECT_THAT(dialog.ui.Transcript(),
                    ElementsAre("form frmLanguage modeless \"Language\"",
                                std::string("  option ") + c.option, "  click OKButton", restart,
                                "end form frmLanguage"));
    }
}

TEST(FrmLanguageTest, CancelAndTheCloseBoxWriteNothing) {
    for (const char* ending : {"CancelButton", "(close box)"}) {
        LanguageDialog absent("en_US");
        std::vector<host::FormAction> actions{{"option", "OButtonFrench", {}}};
        if (std::string(ending) == "CancelButton") {
            actions.push_back({"click", "CancelButton", {}});
        }
        absent.Run(actions);
        EXPECT_FALSE(std::filesystem::exists(absent.machine.Ini())) << ending;
        EXPECT_EQ(absent.offsetAfter, ENGLISH_OFFSET);

        LanguageDialog present("en_US");
        WriteFile(present.machine.Ini(), "[Locale]\nlanguage=EN\n");
        present.Run(actions);
        EXPECT_EQ(ReadFile(present.machine.Ini()), "[Locale]\nlanguage=EN\n") << ending;
    }
}

TEST(FrmLanguageTest, AFailedWriteShowsNothingMoreThanTheRestartMessage) {
    LanguageDialog dialog("en_US");
    // The settings folder is a file: the write fails and nothing is said of it.
    WriteFile((dialog.machine.dir.Path() / "veln").string(), "in the way");
    dialog.ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    dialog.Run({{"option", "OButtonFrench", {}}, {"click", "OKButton", {}}});
    EXPECT_EQ(dialog.offsetAfter, FRENCH_OFFSET);
    EXPECT_EQ(dialog.ui.Transcript().size(), 5U);
    EXPECT_EQ(ReadFile((dialog.machine.dir.Path() / "veln").string()), "in the way");
}

}  // namespace
}  // namespace veln
