// Documents linked to their project: ids, the Documents and Elements rows, the
// document variables, and the commands that register a document and edit its
// description, on real project databases and .docx files.
#include "database/linking.h"

#include <filesystem>
#include <set>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/random_id.h"
#include "database/schema.h"
#include "host/word/range.h"
#include "host/word/variables.h"
#include "lock_holder.h"
#include "world.h"

namespace veln {
namespace {

namespace fs = std::filesystem;
using host::MsgBoxResult::vbCancel;
using host::MsgBoxResult::vbOK;
using host::MsgBoxResult::vbRetry;
using test::WriteFile;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(RandomIdTest, DrawsEveryCharacterOfTheAlphabetAndNothingElse) {
    std::set<char> seen;
    std::set<std::string> ids;
    for (int i = 0; i < 2000; ++i) {
        std::string id = dbElements::RandomId(8);
        ASSERT_EQ(id.size(), 8U);
        for (char c : id) {
            ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << id;
            seen.insert(c);
        }
        ids.insert(id);
    }
    EXPECT_EQ(seen.size(), 36U);
    EXPECT_EQ(ids.size(), 2000U) << "calls in one clock tick draw different ids";
    EXPECT_EQ(dbElements::RandomId(0), "");
    EXPECT_EQ(dbElements::RandomId(-3), "");
}

// A project database, a saved document not linked yet, and the services around them.
class LinkingTest : public ::testing::Test, public test::World {
  protected:
    LinkingTest() { NewDocument({"Requirements"}, "brakes.docx", ""); }
    std::string Variable(const char* name) { return utilElements::GetDocVariable(context, name); }
};

TEST_F(LinkingTest, InsertedDocumentsGetTheirRowAndAFreshId) {
    std::string first = dbElements::dbInsertDocument(context, database, "");
    std::string second = dbElements::dbInsertDocument(context, database, "Braking system");
    EXPECT_EQ(first.size(), 8U);
    EXPECT_NE(first, second);
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), "2");
    EXPECT_EQ(Query("SELECT D_Name FROM Documents WHERE D_ID = '" + first + "'"),
              Document().FullName());
    EXPECT_EQ(Query("SELECT D_Description IS NULL FROM Documents WHERE D_ID = '" + first + "'"),
              "1")
        << "no description is Null, not empty";
    EXPECT_EQ(Query("SELECT D_Description FROM Documents WHERE D_ID = '" + second + "'"),
              "Braking system");
    EXPECT_TRUE(ui.Transcript().empty());
}

TEST_F(LinkingTest, AFileThatIsNotAProjectDatabaseIsAFatalErrorNeverACrash) {
    WriteFile(dir / "notes.mdb", "meeting notes\n");
    std::string jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    WriteFile(dir / "legacy.mdb", jet);
    WriteFile(dir / "truncated.mdb", test::ReadFile(database).substr(0, 60));
    db::Database::Create(dir / "other.mdb").Execute("CREATE TABLE T (x)");
    for (const char* name :
         {"notes.mdb", "legacy.mdb", "truncated.mdb", "other.mdb", "missing.mdb"}) {
        ui.ClearTranscript();
        ui.AnswerMsgBox(vbOK);
        EXPECT_EQ(dbElements::dbInsertDocument(context, dir / name, ""), "") << name;
        EXPECT_THAT(
            ui.Transcript(),
            ElementsAre(AllOf(HasSubstr("msgbox \"Erreur fatale\" flags=16 \"Error number "),
                              HasSubstr(name),
                              HasSubstr("\\rNe plus utiliser les commandes VELN!\" -> ok"))));
    }
    EXPECT_FALSE(fs::exists(dir / "missing.mdb")) << "a missing database is not created";
    EXPECT_EQ(test::ReadFile(dir / "notes.mdb"), "meeting notes\n");
}

TEST_F(LinkingTest, ALockedDatabaseAsksToRetryOrCancel) {
    if (test::OnServer()) {
        GTEST_SKIP() << "the lock is another process's on the file; a server's locks give the "
                        "same error (EnginesTest)";
    }
    {
        test::LockHolder holder(database);
        ui.AnswerMsgBox(vbCancel);
        EXPECT_EQ(dbElements::dbInsertDocument(context, database, ""), "");
        EXPECT_THAT(ui.Transcript(),
                    ElementsAre(AllOf(HasSubstr("msgbox \"Erreur grave : Corriger ou abandonner\" "
                                                "flags=21 \"Error number 3008: "),
                                      HasSubstr("-> cancel"))));
    }
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), "0") << "Cancel changes nothing";

    // Retry succeeds once the other user lets go.
    test::LockHolder holder(database);
    ui.ClearTranscript();
    ui.AnswerMsgBox(vbRetry);
    std::thread releaser([&] {
        // Between the first attempt's timeout (2 s) and the retry's (4 s).
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        holder.Release();
    });
    std::string id = dbElements::dbInsertDocument(context, database, "");
    releaser.join();
    EXPECT_EQ(id.size(), 8U);
    EXPECT_EQ(ui.Transcript().size(), 1U);
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), "1");
}

TEST_F(LinkingTest, TwoProcessesRegisteringAtOnceGetDistinctRowsAndIds) {
    constexpr int EACH = 200;
    auto registerMany = [&](const std::string& name) {
        host::docx::DocxApplication ownApp;
        host::ScriptedUi ownUi;
        DocumentContext own(ownUi, system, ownApp);
        ownApp.AddDocument().SaveAs(dir / name);
        // A machine slow enough to outlast the busy timeout gets the user's Retry.
        for (int i = 0; i < 50; ++i) {
            ownUi.AnswerMsgBox(vbRetry);
        }
        int made = 0;
        for (int i = 0; i < EACH; ++i) {
            made += dbElements::dbInsertDocument(own, database, "").empty() ? 0 : 1;
        }
        return made;
    };
    pid_t child = fork();
    if (child == 0) {
        int made = 0;
        try {
            made = registerMany("child.docx");
        } catch (...) {
            _exit(2);
        }
        _exit(made == EACH ? 0 : 1);
    }
    EXPECT_EQ(registerMany("parent.docx"), EACH);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), std::to_string(2 * EACH));
    EXPECT_EQ(Query("SELECT count(DISTINCT D_ID) FROM Documents"), std::to_string(2 * EACH));
}

TEST_F(LinkingTest, StoredNamesAreComparedExactlyAndUpdated) {
    utilElements::SetDocVariable(context, VARDOC_DOC_ID,
                                 dbElements::dbInsertDocument(context, database, "kept"));
    EXPECT_EQ(dbElements::dbGetDocumentName(context, database), "");
    std::string upper = Document().FullName();
    upper.back() = 'X';  // brakes.docX
    db::Database::Open(database).Execute("UPDATE Documents SET D_Name = ?1", {upper});
    EXPECT_EQ(dbElements::dbGetDocumentName(context, database), upper) << "case counts";
    EXPECT_TRUE(dbElements::dbUpdateDocumentName(context, database));
    EXPECT_EQ(dbElements::dbGetDocumentName(context, database), "");
    EXPECT_EQ(Query("SELECT D_Description FROM Documents"), "kept");

    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "NOSUCHID");
    EXPECT_EQ(dbElements::dbGetDocumentName(context, database), dbElements::DOC_NAME_ERROR);
    EXPECT_FALSE(dbElements::dbUpdateDocumentName(context, database));
}

TEST_F(LinkingTest, ReplacingKeepsTheDescriptionUnlessAnotherIsGiven) {
    std::string id = dbElements::dbInsertDocument(context, database, "first");
    app.AddDocument().SaveAs(dir / "new version.docx");
    EXPECT_TRUE(dbElements::dbReplaceDocument(context, database, id, ""));
    EXPECT_EQ(Query("SELECT D_Name || '|' || D_Description FROM Documents"),
              (dir.Path() / "new version.docx").string() + "|first");
    EXPECT_TRUE(dbElements::dbReplaceDocument(context, database, id, "second"));
    EXPECT_EQ(Query("SELECT D_Description FROM Documents"), "second");
    EXPECT_FALSE(dbElements::dbReplaceDocument(context, database, "NOSUCHID", "x"));
}

TEST_F(LinkingTest, ElementsAreMarkedDeletedOnlyInTheirDocumentAndNeverReused) {
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "DOC00001");
    db::Database db = db::Database::Open(database);
    db.Execute("INSERT INTO Elements (E_id, E_DocId) VALUES ('ELEMAAAAAAAA', 'DOC00001')");
    db.Execute("INSERT INTO Elements (E_id, E_DocId) VALUES ('ELEMBBBBBBBB', 'OTHERDOC')");
    dbElements::dbMarkDeleteElement(context, database, "ELEMAAAAAAAA");
    dbElements::dbMarkDeleteElement(context, database, "ELEMBBBBBBBB");
    dbElements::dbMarkDeleteElement(context, database, "ELEMMISSING0");
    EXPECT_EQ(Query("SELECT E_Deleted || '|' || coalesce(E_DeleteDate, '-') FROM Elements WHERE "
                    "E_id = 'ELEMAAAAAAAA'"),
              "1|" + system.Now());
    EXPECT_EQ(Query("SELECT E_Deleted || '|' || coalesce(E_DeleteDate, '-') FROM Elements WHERE "
                    "E_id = 'ELEMBBBBBBBB'"),
              "0|-")
        << "another document's element is left alone";
    EXPECT_TRUE(dbElements::dbElementExists(database, "ELEMAAAAAAAA")) << "deleted ones too";
    EXPECT_TRUE(dbElements::dbElementExists(database, "ELEMBBBBBBBB"));
    EXPECT_FALSE(dbElements::dbElementExists(database, "ELEMCCCCCCCC"));
}

TEST_F(LinkingTest, VariablesReadExactlyAndDeletingSavesOnlyWhenOneExisted) {
    EXPECT_EQ(Variable(VARDOC_DOC_ID), "") << "a missing variable reads as empty";
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "ABCD1234");
    utilElements::SetDocVariable(context, "vardoc_doc_id", "lower");
    EXPECT_EQ(utilElements::GetDocId(context), "ABCD1234");
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, database);
    EXPECT_EQ(utilElements::GetDbName(context), database);
    Document().Save();

    utilElements::DeleteDocVariable(context, "NotThere");
    EXPECT_TRUE(Document().Saved());
    Document().InsertText(0, "Draft ");
    utilElements::DeleteDocVariable(context, "NotThere");
    EXPECT_FALSE(Document().Saved()) << "nothing deleted, nothing saved";
    utilElements::DeleteDocVariable(context, VARDOC_DOC_ID);
    EXPECT_TRUE(Document().Saved());
    auto onDisk = host::docx::OpenDocumentFile(dir / "brakes.docx");
    EXPECT_EQ(onDisk->VariableValue(VARDOC_DOC_ID), std::nullopt);
    EXPECT_EQ(onDisk->VariableValue("vardoc_doc_id"), "lower");
    EXPECT_EQ(onDisk->Content().Text(), "Draft Requirements\r");
}

TEST_F(LinkingTest, RegisteringLinksTheDocumentAndRepointsItTheSecondTime) {
    ui.AnswerOpen(std::nullopt);
    EXPECT_FALSE(utilElements::RegisterDocument(context));
    EXPECT_EQ(Document().VariableNames().size(), 0U);

    ui.AnswerOpen(database);
    ui.AnswerInput(std::nullopt);
    context.elementColour = 3;
    EXPECT_TRUE(utilElements::RegisterDocument(context));
    std::string firstId = Variable(VARDOC_DOC_ID);
    EXPECT_EQ(Variable(VARDOC_DB_NAME), database);
    EXPECT_EQ(firstId.size(), 8U);
    EXPECT_EQ(Variable(VARDOC_HIGHLIGHT), "1");
    EXPECT_EQ(Variable(VARDOC_NUMBERS), "1");
    EXPECT_EQ(Variable(HIGHLIGHT_COLOR), " 5");
    EXPECT_EQ(context.elementColour, 5);
    EXPECT_EQ(Query("SELECT D_Description IS NULL FROM Documents"), "1");

    ui.AnswerOpen(database);
    ui.AnswerInput(std::string(300, 'd'));
    EXPECT_TRUE(utilElements::RegisterDocument(context));
    EXPECT_NE(Variable(VARDOC_DOC_ID), firstId);
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), "2");
    EXPECT_EQ(Query("SELECT length(D_Description) FROM Documents WHERE D_ID = '" +
                    Variable(VARDOC_DOC_ID) + "'"),
              "255");
    EXPECT_THAT(ui.Transcript()[1],
                AllOf(HasSubstr("open filter=\"Database files (*.mdb)|*.mdb|All files (*.*)|*.*\" "
                                "ext=\"txt\""),
                      HasSubstr("flags=4096")));
    EXPECT_THAT(ui.Transcript()[2],
                HasSubstr("input \"Document Description\" \"Enter a document description "
                          "(optional)\" default=\"\""));
}

TEST_F(LinkingTest, AFailedRegistrationLeavesTheLinkAsItWas) {
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, "/old/project.mdb");
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "OLDID123");
    WriteFile(dir / "notes.mdb", "not a database");
    ui.AnswerOpen(dir / "notes.mdb");
    ui.AnswerInput("description");
    ui.AnswerMsgBox(vbOK);
    EXPECT_FALSE(utilElements::RegisterDocument(context));
    EXPECT_EQ(Variable(VARDOC_DB_NAME), "/old/project.mdb");
    EXPECT_EQ(Variable(VARDOC_DOC_ID), "OLDID123");
}

TEST_F(LinkingTest, TheFileDialogAddsTheDefaultExtensionAndWantsAnExistingFile) {
    WriteFile(dir / "notes.txt", "x");
    ui.AnswerOpen(dir / "notes");
    ui.AnswerOpen(dir / "nothing.mdb");
    EXPECT_EQ(dbElements::dbChooseDatabase(context), dir / "notes.txt");
    EXPECT_EQ(dbElements::dbChooseDatabase(context), "") << "the file must exist";
}

TEST_F(LinkingTest, EditingTheDescriptionShowsTheCurrentOneAndKeepsItOnEmpty) {
    ui.AnswerOpen(database);
    ui.AnswerInput("first");
    ASSERT_TRUE(utilElements::RegisterDocument(context));
    ui.ClearTranscript();
    ui.AnswerInput("");
    utilElements::EditDocumentDescription(context);
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("default=\"first\" -> \"\""));
    EXPECT_EQ(Query("SELECT D_Description FROM Documents"), "first");
    ui.AnswerInput("second");
    utilElements::EditDocumentDescription(context);
    EXPECT_EQ(Query("SELECT D_Description FROM Documents"), "second");

    // Without a row nothing is written and nothing is raised.
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "NOSUCHID");
    ui.ClearTranscript();
    ui.AnswerInput("third");
    EXPECT_NO_THROW(utilElements::EditDocumentDescription(context));
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("default=\"\""));
    EXPECT_EQ(Query("SELECT group_concat(D_Description) FROM Documents"), "second");
}

TEST(ShortenPathTest, PathsOfEveryShape) {
    using utilElements::ShortenPath;
    const std::string path = "C:/Projects/Spec/Draft/plan.doc";  // 31 characters
    EXPECT_EQ(ShortenPath(path, 31), path) << "exactly at the limit";
    EXPECT_EQ(ShortenPath(path, 60), path);
    EXPECT_EQ(ShortenPath(path, 26), "C:/Projects/.../plan.doc");
    EXPECT_EQ(ShortenPath(path, 20), "C:/.../plan.doc");
    EXPECT_EQ(ShortenPath(path, 5), "C:/.../plan.doc") << "as short as it gets";
    EXPECT_EQ(ShortenPath("C:/plan.doc", 5), "C:/.../plan.doc") << "one separator";
    EXPECT_EQ(ShortenPath("plan-without-separator.doc", 5),
              "plan-without-separator.doc/.../plan-without-separator.doc");
    EXPECT_EQ(ShortenPath("/home/ana/projects/brakes/requirements.docx", 30),
              "/home/.../requirements.docx")
        << "a leading separator: an empty first part";
    EXPECT_EQ(ShortenPath("/home/ana/é/ü/x.docx", 20), "/home/ana/é/ü/x.docx")
        << "characters, not bytes";
    EXPECT_EQ(ShortenPath("/home/ana/é/ü/x.docx", 19), "/home/.../x.docx");
}

}  // namespace
}  // namespace veln
