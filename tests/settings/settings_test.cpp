// The string table, the language offset chosen at start-up, and the language
// dialog, over a real settings file.
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

TEST(StringTableTest, EveryEnglishEntryHasItsFrenchTwin) {
    std::set<int> english;
    std::set<int> french;
    for (const auto& entry : StringTable::Entries()) {
        (entry.id < FRENCH_OFFSET ? english : french).insert(entry.id);
    }
    EXPECT_EQ(english.size(), 127U);
    EXPECT_EQ(*english.begin(), 102);
    EXPECT_EQ(*english.rbegin(), 258);
    std::set<int> twins;
    for (int id : english) {
        twins.insert(id + FRENCH_OFFSET);
    }
    EXPECT_EQ(french, twins);
    for (int unused : {101, 114, 126, 196, 259, 501, 659}) {
        EXPECT_FALSE(StringTable::Find(unused)) << unused;
    }
}

TEST(StringTableTest, TextsComeBackExactly) {
    const std::map<int, std::string_view> exact{
        {102, "&Create a project"},
        {502, "&Créer un projet"},
        {135, "Create Level 1 Element "},
        {535, "Créer élément niveau 1"},
        {140, "Go To Previous Element"},
        {540, "Aller à l'élément précedent"},
        {149, "Values delimited by ';'"},
        {195, ""},
        {595, ""},
        {197, "The current Document :"},
        {597, "Le document actif : "},
        {198, "  is linked as :"},
        {598, " est lié comme : "},
        {207, " is ready. You can now link documents."},
        {209, " already exists. Overwrite the file?"},
        {604, "nom projet"},
        {624, "Erreur Fatale"},
        {225, "Impossible to Create the project database "},
        {255, "\\veln en.chm"},
        {655, "\\veln.chm"},
        {258,
         "VELN has created \"Veln.dot\" in the \"Startup\" folder. You have to restart Word "
         "for Veln to be fully functional."},
        {658,
         "Veln a créé \"Veln.dot\" dans le dossier \"Démarrage\". Vous devez relancer Word "
         "pour que Veln soit totalement fonctionnel."},
    };
    for (const auto& [id, text] : exact) {
        EXPECT_EQ(StringTable::Find(id), text) << id;
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
