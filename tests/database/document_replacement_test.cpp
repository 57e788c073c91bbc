// Replacing a registered document by its new version: the question, the
// list of the project's documents, the description, the row taken over and
// the variables that link the new version, and every way out that changes
// nothing.
#include "database/document_replacement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/doc_variables.h"
#include "database/frm_list_docs.h"
#include "host/db/database.h"
#include "host/word/variables.h"
#include "world.h"

namespace veln {
namespace {

using host::MsgBoxResult::vbCancel;
using host::MsgBoxResult::vbOK;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr const char* STORED_DESCRIPTION = "Braking, first version";
constexpr const char* OTHER_ID = "DOC00002";

// The old version registered (with a description), another document of the
// project, and the new version: saved, not linked, active.
class DocumentReplacementTest : public ::testing::Test, public test::World {
  protected:
    DocumentReplacementTest() {
        oldVersion = NewDocument({"The vehicle shall stop."}, "brakes-v1.docx").FullName();
        NewDocument({"The light shall come on."}, "lights.docx", OTHER_ID);
        db::Database::Open(database).Execute(
            "UPDATE Documents SET D_Description = ?1 WHERE D_ID = ?2",
            {STORED_DESCRIPTION, test::DOCUMENT_ID});
        NewDocument({"The vehicle shall stop within 40 m."}, "brakes-v2.docx", "");
    }
    // The user's answers up to the list, where the row of the old version is chosen.
    void ChooseOldVersion() {
        ui.AnswerMsgBox(vbOK);
        ui.AnswerOpen(database);
        ui.AnswerForm("frmListDocs", {{"print", "CommandButtonOk", {}},
                                      {"print", "ListBoxDocs", {}},
                                      {"select", "ListBoxDocs", {"0"}},
                                      {"click", "CommandButtonOk", {}}});
    }
    std::string StoredName() const {
        return Query("SELECT D_Name FROM Documents WHERE D_ID = 'DOC00001'");
    }

    std::string oldVersion;
};

TEST_F(DocumentReplacementTest, ADocumentLinkedAsAnotherRowCannotTakeOneOver) {
    NewDocument({"Other text."}, "other.docx", "DOC00003");
    ChooseOldVersion();
    ui.AnswerMsgBox(vbOK);
    EXPECT_FALSE(utilElements::ReplaceDocument(context));
    EXPECT_EQ(StoredName(), oldVersion) << "the old version keeps its row";
    EXPECT_EQ(utilElements::GetDocId(context), "DOC00003");
    EXPECT_THAT(ui.Transcript(),
                ::testing::Contains(HasSubstr("linked to a project as DOC00003: it cannot take "
                                              "over the row of DOC00001")));
}

TEST_F(DocumentReplacementTest, TheNewVersionTakesOverTheRowAndIsLinkedAsSaved) {
    ChooseOldVersion();
    ui.AnswerInput(std::nullopt);
    context.elementColour = 3;
    EXPECT_TRUE(utilElements::ReplaceDocument(context));
    EXPECT_EQ(StoredName(), Document().FullName());
    EXPECT_EQ(Query("SELECT D_Description FROM Documents WHERE D_ID = 'DOC00001'"),
              STORED_DESCRIPTION)
        << "an empty description keeps the stored one";
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), "2");
    // A file's place is also kept relative to the document; a server's is not.
    std::vector<std::string> variables{HIGHLIGHT_COLOR, VARDOC_DB_NAME,   VARDOC_DB_RELATIVE,
                                       VARDOC_DOC_ID,   VARDOC_HIGHLIGHT, VARDOC_NUMBERS};
    if (test::OnServer()) {
        std::erase(variables, VARDOC_DB_RELATIVE);
    }
    EXPECT_EQ(Document().VariableNames(), variables);
    EXPECT_EQ(utilElements::GetDocId(context), test::DOCUMENT_ID);
    EXPECT_EQ(utilElements::GetDbName(context), database);
    EXPECT_EQ(utilElements::GetDocVariable(context, HIGHLIGHT_COLOR), " 5");
    EXPECT_EQ(utilElements::GetDocVariable(context, VARDOC_NUMBERS), "1");
    EXPECT_EQ(context.elementColour, 5);
    EXPECT_TRUE(Document().Saved()) << "taking over the row is no change to save";
    EXPECT_THAT(
        ui.Transcript(),
        ElementsAre("msgbox \"Base projet\" flags=1 \"Select the project database for the "
                    "document to be replaced in the project.\\nThe new document must be a copy, "
                    "the result of a merge, of a save, or the move of the previous version.\" "
                    "-> ok",
                    "form frmListDocs modal \"Document To Replace\"",
                    ::testing::StartsWith("  open filter=\"Database files (*.mdb)"),
                    "  CommandButtonOk: \"Ok\" (disabled)",
                    "  ListBoxDocs: 2 rows, index -1\n      DOC00001 | " + oldVersion + " | " +
                        STORED_DESCRIPTION + "\n      " + OTHER_ID + " | " + (dir / "lights.docx") +
                        " | ",
                    "  select ListBoxDocs \"0\"", "  click CommandButtonOk",
                    "  input \"Document Description\" \"Enter a document description (optional)\" "
                    "default=\"\" -> cancel",
                    "end form frmListDocs"));
}

TEST_F(DocumentReplacementTest, ADescriptionTypedReplacesTheStoredOneCutTo255Characters) {
    ChooseOldVersion();
    ui.AnswerInput(std::string(300, 'd'));
    EXPECT_TRUE(utilElements::ReplaceDocument(context));
    EXPECT_EQ(Query("SELECT D_Description FROM Documents WHERE D_ID = 'DOC00001'"),
              std::string(255, 'd'));
}

TEST_F(DocumentReplacementTest, ARowGoneBeforeOkLeavesTheDocumentAsItWas) {
    ui.AnswerOpen(database);
    ui.AnswerInput("New description");
    frmListDocs form(context);
    form.Load();
    ASSERT_EQ(form.ListBoxDocs.ListCount(), 2);
    db::Database::Open(database).Execute("DELETE FROM Documents WHERE D_ID = ?1",
                                         {test::DOCUMENT_ID});
    form.ListBoxDocs.Select({0});
    form.CommandButtonOk.Click();
    EXPECT_FALSE(context.replaced);
    EXPECT_THAT(Document().VariableNames(), IsEmpty());
    EXPECT_TRUE(Document().Saved());
    EXPECT_FALSE(form.IsOpen());
}

TEST_F(DocumentReplacementTest, CancelOrQuitAnywhereChangesNothing) {
    ui.AnswerMsgBox(vbCancel);
    EXPECT_FALSE(utilElements::ReplaceDocument(context));

    // No database chosen: an empty list, OK disabled, Quit.
    ui.AnswerMsgBox(vbOK);
    ui.AnswerOpen(std::nullopt);
    ui.AnswerForm("frmListDocs", {{"print", "ListBoxDocs", {}},
                                  {"click", "CommandButtonOk", {}},
                                  {"click", "CommandButtonCancel", {}}});
    EXPECT_FALSE(utilElements::ReplaceDocument(context));

    // A row chosen, then Quit.
    ui.AnswerMsgBox(vbOK);
    ui.AnswerOpen(database);
    ui.AnswerForm("frmListDocs",
                  {{"select", "ListBoxDocs", {"1"}}, {"click", "CommandButtonCancel", {}}});
    EXPECT_FALSE(utilElements::ReplaceDocument(context));

    EXPECT_EQ(StoredName(), oldVersion);
    EXPECT_THAT(Document().VariableNames(), IsEmpty());
    EXPECT_TRUE(ui.UnusedAnswers().empty());
    EXPECT_THAT(ui.Transcript(), ::testing::Contains("  ListBoxDocs: 0 rows, index -1"));
}

TEST_F(DocumentReplacementTest, OkWaitsForARowAndADatabaseWithoutOneOffersNone) {
    // A project without documents.
    db::Database::Open(database).Execute("DELETE FROM Documents");
    ui.AnswerOpen(database);
    frmListDocs empty(context);
    empty.Load();
    EXPECT_EQ(empty.ListBoxDocs.ListCount(), 0);
    EXPECT_FALSE(empty.CommandButtonOk.Enabled);

    // A file that is no project database: said so, and nothing listed.
    ui.AnswerOpen(oldVersion);
    ui.AnswerMsgBox(vbOK);
    frmListDocs foreign(context);
    foreign.Load();
    EXPECT_EQ(foreign.ListBoxDocs.ListCount(), 0);
    EXPECT_FALSE(foreign.CommandButtonOk.Enabled);
    EXPECT_THAT(ui.Transcript().back(), HasSubstr("is not a database"));
    foreign.ListBoxDocs.Select({});
    foreign.CommandButtonOk.Click();
    EXPECT_FALSE(context.replaced);
}

}  // namespace
}  // namespace veln
