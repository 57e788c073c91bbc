// Number markers over whole sessions: each element shows at most one marker,
// the right one, whatever the user does (show, hide, toggle, renumber, save,
// reopen, attach), elements without text and the last paragraph included;
// and state the walks change comes back after an error.
#include <gmock/gmock.h>

#include "database/doc_variables.h"
#include "elements/db_attach_document.h"
#include "elements/elements.h"
#include "error_of.h"
#include "host/db/database.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "world.h"

namespace veln {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* FIRST = "First requirement.";
constexpr const char* SECOND = "Second requirement.";

// The number of markers (any numbers) in text.
int Markers(const std::string& text) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        count += MarkerLength(std::string_view(text).substr(at)) > 0 ? 1 : 0;
    }
    return count;
}

class MarkersTest : public ::testing::Test, public test::World {
  protected:
    // Creates an element of level at the caret, described as label.
    std::string CreateAtCaret(long position, std::int16_t level, const std::string& label) {
        Document().Selection().SetRange(position, position);
        ui.AnswerInput(label);
        EXPECT_TRUE(Elements::CreateElement(context, level));
        return Elements::CurrentElementId(context).empty()
                   ? context.loadedElements.Item(context.loadedElements.Count()).ElementID
                   : Elements::CurrentElementId(context);
    }
    std::string Text() { return Document().Content().Text(); }
    std::string ElementText(const std::string& id) {
        return Document().Bookmarks().Item(id).Range().Text();
    }
    // Closes the document and opens it again as the word processor would,
    // with the open-time check.
    void SaveCloseReopen() {
        std::string path = Document().FullName();
        Document().Save();
        app.CloseDocument(Document());
        app.OpenDocument(path);
        EXPECT_TRUE(dbElements::dbAttachDocument(context));
    }
};

TEST_F(MarkersTest, AnElementWithoutTextTakesItsMarkerInAndNeverPilesThemUp) {
    // The empty last paragraph many documents end with.
    NewDocument({FIRST, ""}, "requirements.docx");
    long last = Paragraph(2).first;
    std::string id = CreateAtCaret(last, 1, "Empty one");
    EXPECT_EQ(ElementText(id), "//1.0.0.0// \r") << "the marker, and the paragraph mark";

    Elements::ToggleNumbers(context);  // the variable is empty: hides
    EXPECT_EQ(Markers(Text()), 0);
    Elements::ToggleNumbers(context);
    Elements::ToggleNumbers(context);
    Elements::ToggleNumbers(context);
    EXPECT_EQ(Markers(Text()), 1) << Text();
    EXPECT_EQ(ElementText(id), "//1.0.0.0// \r");

    // An element before it: renumbering gives it 2, with no stale 1 beside it.
    CreateAtCaret(0, 1, "First");
    Elements::RenumberElements(context);
    EXPECT_EQ(Text(), "//1.0.0.0// First requirement.\r//2.0.0.0// \r");

    for (int round = 0; round < 3; ++round) {
        SaveCloseReopen();
        EXPECT_EQ(Text(), "//1.0.0.0// First requirement.\r//2.0.0.0// \r") << "round " << round;
    }
    Elements::MarkElementDeleted(context, id);
    EXPECT_EQ(Text(), "//1.0.0.0// First requirement.\r\r") << "deletion takes its marker out";
}

TEST_F(MarkersTest, ADocumentOfOneEmptyParagraphAndAnInsertionPointTakeTheirMarkers) {
    NewDocument({""}, "empty.docx");
    std::string id = CreateAtCaret(0, 1, "Nothing yet");
    Elements::HideAllNumbers(context);
    Elements::ShowAllNumbers(context);
    Elements::ShowAllNumbers(context);
    Elements::HideAllNumbers(context);
    Elements::ShowAllNumbers(context);
    EXPECT_EQ(Text(), "//1.0.0.0// \r");
    EXPECT_EQ(ElementText(id), "//1.0.0.0// \r");

    // At an insertion point, without questions (the element editor's way).
    Document().Content().InsertAfter(std::string("\r") + SECOND);
    long at = Paragraph(2).first + 7;
    Document().Selection().SetRange(at, at);
    Elements::CreateElementFromSelection(context, 1, "At a point");
    Elements::HideAllNumbers(context);
    Elements::ShowAllNumbers(context);
    EXPECT_EQ(Text(), "//1.0.0.0// \rSecond //2.0.0.0// requirement.\r");
    Elements::HideAllNumbers(context);
    EXPECT_EQ(Text(), "\rSecond requirement.\r");
}

TEST_F(MarkersTest, RenumberingWhileNumbersAreHiddenThenShowingGivesOneMarker) {
    NewDocument({FIRST, SECOND}, "requirements.docx");
    CreateAtCaret(Paragraph(1).first, 1, "First");
    CreateAtCaret(Paragraph(2).first, 2, "Second");
    Elements::ToggleNumbers(context);     // hidden, the variable "0"
    Elements::RenumberElements(context);  // shown whatever the variable says
    Elements::ToggleNumbers(context);     // "0": shows
    EXPECT_EQ(Text(), "//1.0.0.0// First requirement.\r//1.1.0.0// Second requirement.\r");
    // Two elements starting together keep a marker each.
    Document().Selection().SetRange(Paragraph(1).first, Paragraph(1).first + 20);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);  // over another
    ui.AnswerInput("Nested");
    std::int16_t level = 2;
    ASSERT_TRUE(Elements::CreateElement(context, level));
    Elements::ShowAllNumbers(context);
    EXPECT_EQ(Markers(Document().TextOf(Paragraph(1).first, Paragraph(1).second)), 2);
}

TEST_F(MarkersTest, AnElementWhoseTextTheUserDeletedStillShowsOneMarker) {
    NewDocument({FIRST, SECOND}, "requirements.docx");
    std::string id = CreateAtCaret(Paragraph(1).first, 1, "First");
    Elements::HideAllNumbers(context);
    // The user selects the element's text, its mark left, and deletes it.
    Document().DeleteText(Paragraph(1).first, Paragraph(1).second - 1);
    Elements::ShowAllNumbers(context);
    Elements::ToggleNumbers(context);
    Elements::ToggleNumbers(context);
    EXPECT_EQ(ElementText(id), "//1.0.0.0// \r");
    EXPECT_EQ(Markers(Text()), 1);
}

TEST_F(MarkersTest, TheLastParagraphIsTakenWholeWithItsMark) {
    NewDocument({FIRST, SECOND}, "requirements.docx");
    utilElements::SetDocVariable(context, VARDOC_NUMBERS, "1");
    CreateAtCaret(Paragraph(1).first + 3, 1, "First");
    std::string last = CreateAtCaret(Paragraph(2).first + 3, 2, "Second");
    EXPECT_EQ(ElementText(last), "//1.1.0.0// Second requirement.\r");
    EXPECT_EQ(Document().Bookmarks().Item(last).End(), Document().StoryEnd());
    Elements::GoLastElement(context);
    EXPECT_EQ(Document().Selection().Range().Text(), "//1.1.0.0// Second requirement.\r");

    SaveCloseReopen();
    EXPECT_EQ(ElementText(last), "//1.1.0.0// Second requirement.\r") << "as saved";
    Elements::GoLastElement(context);
    EXPECT_TRUE(Elements::IsLastElement(context));
}

TEST_F(MarkersTest, HidingTakesOnlyTheMarkerAtTheElementsStart) {
    NewDocument({"See clause //4.2// before use.", "Keep //1.2.3.4// here too.", SECOND},
                "requirements.docx");
    CreateAtCaret(Paragraph(1).first, 1, "Clause");
    CreateAtCaret(Paragraph(2).first, 1, "Keep");
    Elements::HideAllNumbers(context);
    EXPECT_EQ(Text(),
              "See clause //4.2// before use.\rKeep //1.2.3.4// here too.\rSecond requirement.\r")
        << "text that looks like a marker, inside an element, is the user's";

    // Stale copies an older version left at an element's start go with it.
    Elements::ShowAllNumbers(context);
    Document().InsertText(Paragraph(2).first, "//7.0.0.0// //9.9.0.0// ");
    Elements::HideAllNumbers(context);
    EXPECT_EQ(Document().TextOf(Paragraph(2).first, Paragraph(2).second),
              "Keep //1.2.3.4// here too.\r");
    // Long runs of digits are no marker, and cost no more than a marker.
    std::string digits = "//" + std::string(100000, '7') + "// ";
    EXPECT_EQ(MarkerLength(digits), 0U);
    EXPECT_EQ(MarkerLength("//1.2.3// "), 0U);
    EXPECT_EQ(MarkerLength("//1.2.3.4//"), 0U) << "the blank belongs to the marker";
    EXPECT_EQ(MarkerLength("//32767.0.0.123// x"), 18U);
    EXPECT_EQ(MarkerLength("//-1.0.0.0// "), 0U);
}

TEST_F(MarkersTest, RenumberingOneDocumentLeavesTheOthersNumbers) {
    NewDocument({FIRST, SECOND}, "other.docx", "DOC00002");
    CreateAtCaret(0, 1, "Other");
    CreateAtCaret(Paragraph(2).first, 1, "Other again");
    Elements::RenumberElements(context);
    host::Document& other = Document();
    EXPECT_EQ(other.Content().Text(),
              "//1.0.0.0// First requirement.\r//2.0.0.0// Second requirement.\r");

    NewDocument({FIRST, SECOND}, "requirements.docx");
    CreateAtCaret(Paragraph(2).first, 1, "Second");
    Elements::RenumberElements(context);
    app.Activate(other);
    Elements::HideAllNumbers(context);
    Elements::ShowAllNumbers(context);
    EXPECT_THAT(other.Content().Text(), Not(HasSubstr("//0.0.0.0//")));
    EXPECT_EQ(Markers(other.Content().Text()), 2);
}

TEST_F(MarkersTest, ARowWithNumbersOutOfRangeIsDamagedNotText) {
    NewDocument({FIRST}, "requirements.docx");
    std::string id = CreateAtCaret(0, 1, "First");
    Document().Save();
    db::Database::Open(database).Execute("UPDATE Elements SET E_Number2 = -5 WHERE E_id = ?1",
                                         {id});
    test::Raised damaged = test::ErrorOf<db::DbError>(
        [&] { Elements::LoadDocumentElements(context, database, test::DOCUMENT_ID); });
    EXPECT_EQ(damaged.number, db::ERR_CORRUPT);
    EXPECT_THAT(damaged.text,
                HasSubstr("damaged: element " + id + " holds -5 in E_Number2, outside 0 to 32767"));
    EXPECT_TRUE(app.ScreenUpdating) << "the failed walk gives the screen back";
    db::Database::Open(database).Execute("UPDATE Elements SET E_Number2 = 70000, E_Number1 = 1");
    EXPECT_THROW(Elements::LoadDocumentElements(context, database, test::DOCUMENT_ID), db::DbError);
    EXPECT_THAT(Text(), Not(HasSubstr("70000")));
}

TEST_F(MarkersTest, WalksKeepTheScreenFrozenUntilTheOutermostEnds) {
    NewDocument({FIRST, SECOND}, "requirements.docx");
    CreateAtCaret(0, 1, "First");
    CreateAtCaret(Paragraph(2).first, 1, "Second");
    // What the screen was at each pause of the walks inside the toggle.
    struct Watcher : host::docx::DocxApplication {
        std::vector<bool> seen;
        void DoEvents() override { seen.push_back(ScreenUpdating); }
    };
    Elements::ToggleNumbers(context);
    EXPECT_TRUE(app.ScreenUpdating);
    app.Overtype = true;
    Elements::ToggleNumbers(context);
    EXPECT_TRUE(app.Overtype) << "overtype is given back after the insertions";
    EXPECT_EQ(Markers(Text()), 2);
    // The same walks on a watched application: never updating midway.
    Watcher watcher;
    Context watched(ui, system, watcher);
    watcher.OpenDocument(Document().FullName());
    for (int p = 1; p <= context.loadedElements.Count(); ++p) {
        watched.loadedElements.Add(context.loadedElements.Item(p));
    }
    utilElements::SetDocVariable(watched, VARDOC_NUMBERS, "0");
    Elements::ToggleNumbers(watched);
    Elements::ToggleNumbers(watched);
    ASSERT_FALSE(watcher.seen.empty());
    EXPECT_THAT(watcher.seen, ::testing::Each(false));
    EXPECT_TRUE(watcher.ScreenUpdating);
}

}  // namespace
}  // namespace veln
