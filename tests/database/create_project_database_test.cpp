// Creating a project database as the user does it: each answer of the flow,
// and the template fallback when the engine cannot build the file.
#include <filesystem>
#include <iterator>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/db_elements.h"
#include "database/schema.h"
#include "host/system/posix_system.h"
#include "host/ui/scripted_ui.h"
#include "shell_output.h"
#include "temp_dir.h"

namespace veln::dbElements {
namespace {

namespace fs = std::filesystem;
using host::MsgBoxResult::vbNo;
using host::MsgBoxResult::vbOK;
using host::MsgBoxResult::vbYes;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

class CreateProjectDatabaseTest : public ::testing::Test {
  protected:
    CreateProjectDatabaseTest() {
        fs::create_directories(programFolder);
        fs::create_directories(projects);
    }

    void Run(const std::string& locale = "en_US.UTF-8") {
        host::PosixSystem system(host::FixedEnvironment(
            {{"VELN_HOME", programFolder}, {"XDG_CONFIG_HOME", dir / "config"}, {"LANG", locale}}));
        CoreContext context(ui, system);
        dbCreateProjectDatabase(context);
        EXPECT_TRUE(ui.UnusedAnswers().empty()) << ui.UnusedAnswers()[0];
    }
    // Answers the folder and the name, then each message box in turn.
    void Answer(const std::optional<std::string>& folder, const std::string& name,
                std::initializer_list<int> messages) {
        ui.AnswerFolder(folder);
        ui.AnswerInput(name);
        for (int answer : messages) {
            ui.AnswerMsgBox(answer);
        }
    }
    void SupplyTemplate() {
        schema::CreateProjectDatabaseFile(programFolder + "/ModeleBaseProjet.mdb");
    }
    std::vector<std::string> FilesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    std::string programFolder = dir / "program";
    std::string projects = dir / "projects";
    host::ScriptedUi ui;
};

TEST_F(CreateProjectDatabaseTest, CreatesTheDatabaseAfterEachQuestion) {
    Answer(projects, "Brakes", {vbYes, vbOK});
    Run();
    const std::string path = projects + "/Brakes.mdb";
    EXPECT_THAT(
        ui.Transcript(),
        ElementsAre("folder \"Select a directory in which to Create the project database.\" -> \"" +
                        projects + "\"",
                    "input \"Create the project database\" \"Enter a valid filename without "
                    "extensions or Click Cancel.\" default=\"Project Name\" -> \"Brakes\"",
                    "msgbox \"Creation of the project database\" flags=36 \"Creation of the "
                    "project database : " +
                        path + " ?\" -> yes",
                    "msgbox \"Creation of the project database\" flags=64 \"The database " + path +
                        " is ready. You can now link documents.\" -> ok"));
    EXPECT_NO_THROW(schema::OpenProjectDatabase(path));
    EXPECT_THAT(FilesIn(projects), ElementsAre("Brakes.mdb")) << "no journal is left";
    // The sqlite3 shell reads the file made through the dialogs.
    std::string output = test::RunShell("sqlite3 '" + path + "' .tables").output;
    std::istringstream words(output);
    std::vector<std::string> tables{std::istream_iterator<std::string>(words),
                                    std::istream_iterator<std::string>()};
    EXPECT_THAT(tables,
                ElementsAre("Documents", "ElemProperties", "Elements", "Links", "Properties"))
        << output;
}

TEST_F(CreateProjectDatabaseTest, SpeaksFrenchWhenTheSystemDoes) {
    Answer(projects + "/", "Freins", {vbYes, vbOK});
    Run("fr_FR.UTF-8");
    const std::string path = projects + "/Freins.mdb";
    ASSERT_EQ(ui.Transcript().size(), 4U);
    EXPECT_EQ(ui.Transcript()[1],
              "input \"Créer la base projet\" \"Entrez un nom de fichier valide sans extension ou "
              "Annuler.\" default=\"nom projet\" -> \"Freins\"");
    EXPECT_EQ(ui.Transcript()[3], "msgbox \"Création de la base projet\" flags=64 \"La base " +
                                      path + " est créée. Vous pouvez lier des documents.\" -> ok")
        << "a folder that ends with the separator gets no second one";
}

TEST_F(CreateProjectDatabaseTest, CancelAnEmptyNameOrNoCreateNothing) {
    // Cancelling the folder browser ends the command: no database at the root.
    ui.AnswerFolder(std::nullopt);
    Run();
    EXPECT_EQ(ui.Transcript().size(), 1U);

    ui.AnswerFolder(projects);
    ui.AnswerInput(std::nullopt);
    Run();
    Answer(projects, "", {});
    Run();
    Answer(projects, "Brakes", {vbNo});
    Run();
    EXPECT_TRUE(FilesIn(projects).empty());
    EXPECT_FALSE(fs::exists("/Brakes.mdb"));
}

TEST_F(CreateProjectDatabaseTest, ANameWithTheExtensionGetsASecondOne) {
    Answer(projects, "Brakes.mdb", {vbYes, vbOK});
    Run();
    EXPECT_THAT(FilesIn(projects), ElementsAre("Brakes.mdb.mdb"));
}

TEST_F(CreateProjectDatabaseTest, AnExistingFileIsReplacedOnlyOnYes) {
    const std::string path = projects + "/Brakes.mdb";
    WriteFile(path, "old contents");
    fs::permissions(path, fs::perms::owner_read);

    Answer(projects, "Brakes", {vbYes, vbNo});
    Run();
    EXPECT_EQ(ui.Transcript().back(),
              "msgbox \"Creation of the project database\" flags=308 \"The database : " + path +
                  " already exists. Overwrite the file?\" -> no");
    EXPECT_EQ(ReadFile(path), "old contents");

    Answer(projects, "Brakes", {vbYes, vbYes, vbOK});
    Run();
    EXPECT_NO_THROW(schema::OpenProjectDatabase(path)) << "a read-only file is replaced too";
}

TEST_F(CreateProjectDatabaseTest, AnEngineFailureFallsBackOnTheTemplate) {
    SupplyTemplate();
    // A folder where the engine's journal must go makes the build fail half way.
    fs::create_directory(projects + "/Brakes.mdb-journal");
    Answer(projects, "Brakes", {vbYes, vbOK});
    Run();
    const std::string path = projects + "/Brakes.mdb";
    EXPECT_EQ(ui.Transcript().back(),
              "msgbox \"Creation of the project database\" flags=64 \"The "
              "database " +
                  path + " is ready. You can now link documents.\" -> ok");
    fs::remove(projects + "/Brakes.mdb-journal");
    EXPECT_NO_THROW(schema::OpenProjectDatabase(path))
        << "the copy of the template is a project database";
}

TEST_F(CreateProjectDatabaseTest, WithoutATemplateAFailureEndsSilentlyAndLeavesNothing) {
    fs::create_directory(projects + "/Brakes.mdb-journal");
    Answer(projects, "Brakes", {vbYes});
    Run();
    EXPECT_EQ(ui.Transcript().size(), 3U);
    EXPECT_THAT(FilesIn(projects), ElementsAre("Brakes.mdb-journal")) << "no partial database";
}

TEST_F(CreateProjectDatabaseTest, AnUnwritableFolderOrABadNameIsMessage225) {
    SupplyTemplate();
    WriteFile(dir / "plain", "a file where a folder should be");
    const std::string fatal =
        "msgbox \"Fatal Error\" flags=16 \"Impossible to Create the project database \" -> ok";
    for (const auto& [folder, name] :
         std::vector<std::pair<std::string, std::string>>{{dir / "plain", "Brakes"},
                                                          {dir / "no/such/folder", "Brakes"},
                                                          {projects, "sub/Brakes"},
                                                          {projects, std::string(300, 'n')}}) {
        ui.ClearTranscript();
        Answer(folder, name, {vbYes, vbOK});
        Run();
        EXPECT_EQ(ui.Transcript().back(), fatal) << folder << " " << name;
    }
    fs::create_directory(projects + "/sub");
    ui.ClearTranscript();
    Answer(projects, "sub/Brakes", {vbYes, vbOK});
    Run();
    EXPECT_EQ(ui.Transcript().back(), fatal) << "a name is one file name, never a path";
    EXPECT_THAT(FilesIn(projects), ElementsAre("sub"));
    EXPECT_TRUE(FilesIn(projects + "/sub").empty());
}

TEST_F(CreateProjectDatabaseTest, AnExistingDatabaseIsNeverDeletedForANameNoFileCanHave) {
    SupplyTemplate();
    fs::create_directory(projects + "/sub");
    schema::CreateProjectDatabaseFile(projects + "/sub/Keep.mdb");
    const std::string before = ReadFile(projects + "/sub/Keep.mdb");
    Answer(projects, "sub/Keep", {vbYes, vbOK});
    Run();
    EXPECT_EQ(
        ui.Transcript().back(),
        "msgbox \"Fatal Error\" flags=16 \"Impossible to Create the project database \" -> ok")
        << "no overwrite question for a name that is refused anyway";
    EXPECT_EQ(ReadFile(projects + "/sub/Keep.mdb"), before);
}

}  // namespace
}  // namespace veln::dbElements
