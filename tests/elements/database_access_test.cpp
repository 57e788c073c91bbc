// The project database as the commands reach it: every write that finds it
// locked asks Retry or Cancel, another program's file is refused without a
// byte of it changing, a path the database cannot hold is refused with its
// limit, and a document without a project is turned away before any question.
#include <chrono>
#include <filesystem>
#include <thread>

#include <gmock/gmock.h>

#include "database/doc_variables.h"
#include "database/linking.h"
#include "database/locked_database.h"
#include "database/schema.h"
#include "elements/db_attach_document.h"
#include "elements/elements.h"
#include "error_of.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "lock_holder.h"
#include "world.h"

namespace veln {
namespace {

namespace fs = std::filesystem;
using host::MsgBoxResult::vbCancel;
using host::MsgBoxResult::vbOK;
using host::MsgBoxResult::vbRetry;
using ::testing::AllOf;
using ::testing::HasSubstr;

constexpr const char* RETRY_QUESTION =
    "msgbox \"Erreur grave : Corriger ou abandonner\" flags=21 \"Error number 3008: ";

// A linked document of three paragraphs, two of them elements, its row and
// its project.
class DatabaseAccessTest : public ::testing::Test, public test::World {
  protected:
    DatabaseAccessTest() {
        host::Document& document =
            NewDocument({"First paragraph", "Second paragraph", "Third paragraph"}, "brakes.docx");
        for (int n = 1; n <= 2; ++n) {
            std::string id = "ELEM0000000" + std::to_string(n);
            auto [start, end] = Paragraph(n);
            document.Bookmarks().Add(id, document.MakeRange(start, end));
            Execute("INSERT INTO Elements (E_id, E_DocId, E_level) VALUES (?1, ?2, 1)",
                    {id, test::DOCUMENT_ID});
            Element element;
            element.ElementID = id;
            element.ElementDocId = test::DOCUMENT_ID;
            element.ElementLevel = 1;
            context.loadedElements.Add(element);
        }
    }
    void Execute(const std::string& sql, const std::vector<db::Value>& values = {}) {
        db::Database::Open(database).Execute(sql, values);
    }
    void CaretIn(int paragraph) {
        long at = Paragraph(paragraph).first + 2;
        Document().Selection().SetRange(at, at);
    }
};

TEST_F(DatabaseAccessTest, EveryWriteToALockedDatabaseAsksRetryOrCancel) {
    Execute("UPDATE Documents SET D_Name = 'moved.docx'");
    Execute("INSERT INTO Elements (E_id, E_DocId, E_level) VALUES ('ELEM00000009', ?1, 1)",
            {test::DOCUMENT_ID});
    auto rows = [&] {
        return Query(
                   "SELECT group_concat(E_id || E_Deleted || coalesce(E_Number1, '-')) FROM "
                   "Elements") +
               Query("SELECT D_Name || coalesce(D_Description, '-') FROM Documents");
    };
    const std::string before = rows();
    // Each write with the answers it meets on its way: Cancel last.
    std::vector<std::pair<std::string, std::function<void()>>> writes{
        {"CreateElement",
         [&] {
             CaretIn(3);
             ui.AnswerInput("Braking distance");
             ui.AnswerMsgBox(vbCancel);
             std::int16_t level = 1;
             Elements::CreateElement(context, level);
         }},
        {"EditDocumentDescription",
         [&] {
             ui.AnswerInput("A new description");
             ui.AnswerMsgBox(vbCancel);
             utilElements::EditDocumentDescription(context);
         }},
        {"MarkElementDeleted",
         [&] {
             ui.AnswerMsgBox(vbCancel);
             Elements::MarkElementDeleted(context, "ELEM00000001");
         }},
        {"RenumberElements",
         [&] {
             ui.AnswerMsgBox(vbCancel);
             Elements::RenumberElements(context);
         }},
        {"LoadDocumentElements",
         [&] {
             ui.AnswerMsgBox(vbCancel);
             Elements::LoadDocumentElements(context, database, test::DOCUMENT_ID);
         }},
        {"dbAttachDocument",
         [&] {
             ui.AnswerMsgBox(vbOK);  // the stored name differs: update it
             ui.AnswerMsgBox(vbCancel);
             dbElements::dbAttachDocument(context);
         }},
    };
    {
        test::LockHolder holder(database);
        for (const auto& [name, write] : writes) {
            ui.ClearTranscript();
            EXPECT_THROW(write(), dbElements::Cancelled) << name;
            ASSERT_FALSE(ui.Transcript().empty()) << name;
            EXPECT_THAT(ui.Transcript().back(),
                        AllOf(HasSubstr(RETRY_QUESTION), HasSubstr("-> cancel")))
                << name;
            EXPECT_TRUE(ui.UnusedAnswers().empty()) << name;
        }
    }
    EXPECT_EQ(rows(), before) << "Cancel writes nothing";

    // Retry runs the write again once the other user lets go.
    test::LockHolder holder(database);
    ui.ClearTranscript();
    ui.AnswerMsgBox(vbRetry);
    std::thread releaser([&] {
        // Between the first attempt's timeout (2 s) and the retry's (4 s).
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        holder.Release();
    });
    Elements::MarkElementDeleted(context, "ELEM00000002");
    releaser.join();
    EXPECT_EQ(Query("SELECT E_Deleted FROM Elements WHERE E_id = 'ELEM00000002'"), "1");
    EXPECT_EQ(ui.Transcript().size(), 1U);
}

TEST_F(DatabaseAccessTest, AnotherProgramsDatabaseIsRefusedWithoutAByteChanged) {
    fs::create_directory(dir / "other");
    std::string other = dir / "other/notes.mdb";
    std::string command = "sqlite3 '" + other +
                          "' 'PRAGMA journal_mode=WAL; CREATE TABLE notes (x); "
                          "INSERT INTO notes VALUES (1);' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(db::Database::UsesWriteAheadLog(other));
    const std::string bytes = test::ReadFile(other);
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, other);
    CaretIn(3);
    ui.AnswerInput("Braking distance");
    std::int16_t level = 1;
    test::Raised refused =
        test::ErrorOf<db::DbError>([&] { Elements::CreateElement(context, level); });
    EXPECT_EQ(refused.number, db::ERR_NOT_A_DATABASE);
    EXPECT_THAT(refused.text, HasSubstr("is not a project database"));
    EXPECT_EQ(test::ReadFile(other), bytes) << "still in write-ahead-log mode, untouched";
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir / "other")) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_THAT(files, ::testing::ElementsAre("notes.mdb")) << "no log or index made beside it";
}

TEST_F(DatabaseAccessTest, ADocumentPathLongerThanTheDatabaseHoldsIsNotLinked) {
    fs::path deep = dir.Path() / std::string(120, 'a') / std::string(120, 'b');
    fs::create_directories(deep);
    host::Document& document = app.AddDocument();
    document.SaveAs((deep / "requirements.docx").string());
    ui.AnswerOpen(database);
    ui.AnswerInput("Long path");
    ui.AnswerMsgBox(vbOK);
    EXPECT_FALSE(utilElements::RegisterDocument(context));
    EXPECT_THAT(ui.Transcript().back(),
                AllOf(HasSubstr("longer than the 255 characters"), HasSubstr("requirements.docx")));
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), "1");
    EXPECT_TRUE(document.VariableNames().empty()) << "the document keeps no link";
}

TEST_F(DatabaseAccessTest, ADocumentWithoutAProjectIsTurnedAwayBeforeAnyQuestion) {
    host::Document& unlinked = app.AddDocument();
    unlinked.Content().InsertAfter("Not in any project");
    std::int16_t level = 1;
    EXPECT_FALSE(Elements::CreateElement(context, level));
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "DOC00002");
    EXPECT_FALSE(Elements::CreateElement(context, level)) << "linked to no database";
    EXPECT_TRUE(ui.Transcript().empty());
    EXPECT_EQ(unlinked.Bookmarks().Count(), 0);
}

}  // namespace
}  // namespace veln
