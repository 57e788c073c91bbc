// Versions of a linked document: comparing it with another version once its
// numbers and highlight are out of the text, and unlinking it (its elements
// marked deleted, the two link variables gone in one save, the rest kept).
#include "elements/document_versions.h"

#include <gmock/gmock.h>

#include "database/doc_variables.h"
#include "elements/elements.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "world.h"

namespace veln {
namespace {

using host::MsgBoxResult::vbCancel;
using host::MsgBoxResult::vbOK;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* STOP = "The vehicle shall stop within 40 m.";
constexpr const char* STOP_30 = "The vehicle shall stop within 30 m.";
constexpr const char* STRAIGHT = "The stop shall be straight.";
constexpr const char* LIGHT = "The brake light shall come on.";
constexpr const char* OTHER_ID = "DOC00002";

// Two documents of one project, each with elements; the brakes active.
class DocumentVersionsTest : public ::testing::Test, public test::World {
  protected:
    DocumentVersionsTest() {
        NewDocument({"The light shall come on."}, "lights.docx", OTHER_ID);
        CreateOver(1, "light");
        host::Document& brakes = NewDocument({STOP, STRAIGHT, LIGHT}, "brakes.docx");
        utilElements::SetDocVariable(context, VARDOC_HIGHLIGHT, "1");
        utilElements::SetDocVariable(context, VARDOC_NUMBERS, "1");
        utilElements::SetDocVariable(context, HIGHLIGHT_COLOR, " 5");
        CreateOver(1, "stop");
        CreateOver(3, "light on");
        brakes.Save();
        brakes.SetBeforeSave([this](host::Document&) { ++saves; });
    }
    void CreateOver(int paragraph, const std::string& label) {
        auto [start, end] = Paragraph(paragraph);
        Document().Selection().SetRange(start, end - 1);
        Elements::CreateElementFromSelection(context, 1, label);
    }
    std::string Deleted(const std::string& docId) {
        return Query("SELECT count(*) FROM Elements WHERE E_Deleted = 1 AND E_DocId = '" + docId +
                     "'");
    }

    int saves = 0;
};

TEST_F(DocumentVersionsTest, UnlinkingMarksThisDocumentsElementsAndRemovesTheLinkInOneSave) {
    ASSERT_EQ(Document().Bookmarks().Count(), 2);
    ui.AnswerMsgBox(vbOK);
    Elements::UnlinkDocument(context);
    EXPECT_EQ(Deleted(test::DOCUMENT_ID), "2");
    EXPECT_EQ(Deleted(OTHER_ID), "0") << "the other document's elements are untouched";
    EXPECT_EQ(Query("SELECT count(*) FROM Documents"), "2") << "the row stays";
    EXPECT_EQ(Document().Bookmarks().Count(), 0);
    EXPECT_EQ(saves, 1) << "both variables go, then one save";
    std::unique_ptr<host::Document> saved = host::docx::OpenDocumentFile(Document().FullName());
    EXPECT_EQ(saved->VariableNames(), (std::vector<std::string>{HIGHLIGHT_COLOR, VARDOC_CHANGEELEM,
                                                                VARDOC_HIGHLIGHT, VARDOC_NUMBERS}));
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("msgbox \"Unlink\" flags=305 \"Mark all elements deleted and unlink "
                            "the document from the project.\\nThis operation is irreversible. "
                            "Continue ?\" -> ok"));
}

TEST_F(DocumentVersionsTest, UnlinkingCancelledChangesNothing) {
    const std::string text = Document().Content().Text();
    ui.AnswerMsgBox(vbCancel);
    Elements::UnlinkDocument(context);
    EXPECT_EQ(Deleted(test::DOCUMENT_ID), "0");
    EXPECT_EQ(Document().Content().Text(), text);
    EXPECT_EQ(utilElements::GetDocId(context), test::DOCUMENT_ID);
    EXPECT_EQ(saves, 0);
}

TEST_F(DocumentVersionsTest, ComparingTakesTheMarkersOutThenTracksOnlyTheRealChanges) {
    ASSERT_THAT(Document().Content().Text(), HasSubstr("//1.0.0.0// "));
    host::Document& other = app.AddDocument();
    other.Content().InsertAfter(std::string(STOP_30) + "\r" + LIGHT);
    other.SaveAs(dir / "brakes-v2.docx");
    app.CloseDocument(other);

    // Cancel at the question, then at the file: nothing changes.
    const std::string text = Document().Content().Text();
    ui.AnswerMsgBox(vbCancel);
    Elements::CompareDocuments(context);
    ui.AnswerMsgBox(vbOK);
    ui.AnswerOpen(std::nullopt);
    Elements::CompareDocuments(context);
    EXPECT_EQ(Document().Content().Text(), text);

    ui.AnswerMsgBox(vbOK);
    ui.AnswerOpen(dir / "brakes-v2.docx");
    Elements::CompareDocuments(context);
    EXPECT_EQ(Document().Content().Text(), std::string(STOP_30) + "\r\r" + LIGHT + "\r")
        << "what the changes leave, the deleted paragraph's mark until accepted";
    EXPECT_EQ(Document().Bookmarks().Count(), 2);
    EXPECT_EQ(Document().Bookmarks().Item(2).Range().Text(), LIGHT);
    EXPECT_EQ(Document().Content().HighlightColorIndex(), 0);
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("msgbox \"New Version\" flags=65"));
    EXPECT_THAT(ui.Transcript().back(),
                HasSubstr("open filter=\"Word documents (*.docx;*.docm;*.dotx;*.dotm)|"
                          "*.docx;*.docm;*.dotx;*.dotm|All files (*.*)|*.*\" ext=\"docx\" "
                          "folder=\"" +
                          dir.Path().string() + "\""));
    Document().Save();
    std::unique_ptr<host::Document> saved = host::docx::OpenDocumentFile(dir / "brakes.docx");
    EXPECT_EQ(saved->Content().Text(), Document().Content().Text());
}

}  // namespace
}  // namespace veln
