// Elements on real .docx documents and project databases: numbering,
// navigation, deletion, display and the element list.
#include "elements/elements.h"

#include <filesystem>

#include <gmock/gmock.h>

#include "database/doc_variables.h"
#include "database/schema.h"
#include "elements/db_attach_document.h"
#include "elements/frm_list_elem.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "world.h"

namespace veln {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// A linked document of paragraphs "P1 ..." to "P8 ...", and its project.
class ElementsTest : public ::testing::Test, public test::World {
  protected:
    ElementsTest() { EightParagraphs("brakes.docx"); }
    // An element over [start, end) with its row.
    Element& Make(const std::string& id, long start, long end, std::int16_t level,
                  const std::string& docId = test::DOCUMENT_ID) {
        Document().Bookmarks().Add(id, Document().MakeRange(start, end));
        db::Database::Open(database).Execute(
            "INSERT INTO Elements (E_id, E_DocId, E_level, E_label) VALUES (?1, ?2, ?3, ?4)",
            {id, docId, level, "label " + id});
        Element element;
        element.ElementID = id;
        element.ElementDocId = docId;
        element.ElementLevel = level;
        element.ElementLabel = "label " + id;
        return context.loadedElements.Add(element);
    }
    Element& OverParagraph(const std::string& id, int n, std::int16_t level) {
        auto [start, end] = Paragraph(n);
        return Make(id, start, end, level);
    }
    std::string Numbers() {
        std::string all;
        for (int p = 1; p <= context.loadedElements.Count(); ++p) {
            all += (p == 1 ? "" : " ") + context.loadedElements.Item(p).ElementNumber();
        }
        return all;
    }
    std::string Selected() { return Document().Selection().Range().Text(); }
    std::string Variable(const char* name) { return utilElements::GetDocVariable(context, name); }
};

TEST_F(ElementsTest, RenumberingFollowsReadingOrderAndLevels) {
    // Created out of order: the loaded order is not the reading order.
    OverParagraph("ELEM00000005", 5, 1);
    OverParagraph("ELEM00000001", 1, 1);
    OverParagraph("ELEM00000002", 2, 2);
    OverParagraph("ELEM00000003", 3, 2);
    OverParagraph("ELEM00000004", 4, 3);
    OverParagraph("ELEM00000006", 6, 2);
    Elements::RenumberElements(context);
    EXPECT_EQ(Numbers(), "2.0.0.0 1.0.0.0 1.1.0.0 1.2.0.0 1.2.1.0 2.1.0.0");
    EXPECT_EQ(Query("SELECT group_concat(E_Number1 || '.' || E_Number2 || '.' || E_Number3 || '.' "
                    "|| E_Number4 || ':' || E_level, ' ') FROM (SELECT * FROM Elements ORDER BY "
                    "E_id) AS e"),
              "1.0.0.0:1 1.1.0.0:2 1.2.0.0:2 1.2.1.0:3 2.0.0.0:1 2.1.0.0:2");
    EXPECT_EQ(Query("SELECT count(*) FROM Elements WHERE E_ModifDate IS NULL"), "0");
    EXPECT_EQ(Variable(VARDOC_CHANGEELEM), "")
        << "renumbering is no element change of the document";
    // Markers shown, inside each bookmark; the first element selected.
    EXPECT_EQ(Document().Bookmarks().Item("ELEM00000004").Range().Text(),
              "//1.2.1.0// P4 text of paragraph 4\r");
    EXPECT_EQ(Selected(), "//1.0.0.0// P1 text of paragraph 1\r");
    // Again: old markers go before new ones come.
    Elements::RenumberElements(context);
    EXPECT_EQ(Document().Bookmarks().Item("ELEM00000004").Range().Text(),
              "//1.2.1.0// P4 text of paragraph 4\r");
}

TEST_F(ElementsTest, AFirstElementOfADeeperLevelIsNumberedAsTheFirst) {
    OverParagraph("ELEM00000002", 2, 2);
    OverParagraph("ELEM00000003", 3, 3);
    Elements::RenumberElements(context);
    EXPECT_EQ(Numbers(), "1.0.0.0 1.0.1.0");
    EXPECT_EQ(context.loadedElements.Item(1).ElementLevel, 2) << "its level stays";

    // Creating a level-2 element with nothing before it lowers it to level 1.
    Element& early = OverParagraph("ELEM00000001", 1, 2);
    Document().Bookmarks().Item("ELEM00000001").Range().Select();
    std::int16_t level = 2;
    Elements::computeLevel(context, 3, level);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(early.ElementLevel, 1);
    EXPECT_EQ(early.ElementNumber(), "2.0.0.0") << "the next level-1 number of the document";
}

TEST_F(ElementsTest, ElementsStartingAtTheSameCharacterAreReachedOnce) {
    auto [start, end] = Paragraph(2);
    OverParagraph("ELEM00000001", 1, 1);
    Make("ELEMOUTER000", start, end, 2);
    Make("ELEMINNER000", start, start + 2, 3);
    Elements::RenumberElements(context);
    EXPECT_EQ(Numbers(), "1.0.0.0 1.1.0.0 0.0.0.0");
    EXPECT_EQ(Query("SELECT E_ModifDate IS NULL FROM Elements WHERE E_id = 'ELEMINNER000'"), "1");
}

TEST_F(ElementsTest, NavigationSkipsOtherDocumentsButCountsThem) {
    auto [s3, e3] = Paragraph(3);
    // Another document's element, whose name even has a bookmark here.
    Make("ELEMOTHER000", s3, e3, 1, "OTHERDOC");
    OverParagraph("ELEM00000002", 2, 1);
    OverParagraph("ELEM00000001", 1, 1);
    OverParagraph("ELEM00000004", 4, 1);

    Document().Selection().SetRange(0, 0);
    EXPECT_EQ(Elements::FindElement(context, Elements::Previous), 0);
    EXPECT_EQ(Elements::FindElement(context, Elements::Current), 3);
    Elements::GoPreviousElement(context);
    EXPECT_EQ(Document().SelectionStart(), 0) << "nothing before: the selection stays";
    Elements::GoNextElement(context);
    EXPECT_THAT(Selected(), HasSubstr("P2 text"));
    Elements::GoNextElement(context);
    EXPECT_THAT(Selected(), HasSubstr("P4 text")) << "the other document's element is skipped";
    EXPECT_TRUE(Elements::IsLastElement(context));
    Elements::GoFirstElement(context);
    EXPECT_EQ(Elements::FindElement(context, Elements::First), 3);
    EXPECT_TRUE(Elements::IsFirstElement(context));
    EXPECT_EQ(Elements::FindElement(context, Elements::Last), 4);
    // An element at the very first character: found by Previous from after it.
    Document().Selection().SetRange(5, 5);
    EXPECT_EQ(Elements::FindElement(context, Elements::Previous), 3);
    EXPECT_EQ(Elements::FindElement(context, 9), 0) << "no such mode";
    EXPECT_EQ(Elements::CurrentElementId(context), "ELEM00000001");
}

// Elements sharing a start are met as loaded, whatever their bookmarks'
// order; bookmarks that are no elements are passed by.
TEST_F(ElementsTest, ElementsOfOneStartAreFoundInTheOrderTheyWereLoaded) {
    auto [s2, e2] = Paragraph(2);
    const long s3 = Paragraph(3).first;
    Make("ELEMINNER000", s2, s2 + 2, 3);
    OverParagraph("ELEM00000001", 1, 1);
    Make("ELEMOUTER000", s2, e2, 2);
    Document().Bookmarks().Add("Plain", Document().MakeRange(s3, s3 + 2));
    OverParagraph("ELEM00000004", 4, 1);

    Document().Selection().SetRange(0, 0);
    EXPECT_EQ(Elements::FindElement(context, Elements::Next), 1) << "the first loaded of two";
    Document().Selection().SetRange(s2, s2);
    EXPECT_EQ(Elements::FindElement(context, Elements::Current), 3) << "the last loaded";
    EXPECT_EQ(Elements::FindElement(context, Elements::Next), 4) << "past a plain bookmark";
    EXPECT_EQ(Elements::FindElement(context, Elements::Previous), 2);
    Document().Selection().SetRange(s3, s3);
    EXPECT_EQ(Elements::FindElement(context, Elements::Previous), 1);
    EXPECT_EQ(Elements::FindElement(context, Elements::Current), 0) << "a plain bookmark";
    EXPECT_EQ(Elements::FindElement(context, Elements::Last), 4);
    EXPECT_EQ(Elements::FindElement(context, Elements::First), 2);
}

TEST_F(ElementsTest, ABookmarkDeletedByHandIsMarkedDeletedWhenMet) {
    OverParagraph("ELEM00000001", 1, 1);
    OverParagraph("ELEM00000002", 2, 1);
    OverParagraph("ELEM00000003", 3, 1);
    Document().Bookmarks().Item("ELEM00000002").Delete();
    Document().Selection().SetRange(0, 0);
    Elements::GoNextElement(context);
    EXPECT_THAT(Selected(), HasSubstr("P3 text")) << "navigation skips it";
    Elements::GoToElement(context, "ELEM00000002");
    EXPECT_EQ(Query("SELECT E_Deleted FROM Elements WHERE E_id = 'ELEM00000002'"), "1");
    EXPECT_EQ(Elements::IndexOfElement(context, "ELEM00000002"), 0);
    EXPECT_EQ(Variable(VARDOC_CHANGEELEM), "1");

    // And by the list, which leaves it out.
    Document().Bookmarks().Item("ELEM00000003").Delete();
    ui.AnswerForm("frmListElem", {{"print", "ListBoxElements", {}},
                                  {"dblclick", "ListBoxElements", {"0"}},
                                  {"click", "CommandButtonCancel", {}}});
    auto list = std::make_shared<frmListElem>(context);
    ui.Show(list, true);
    EXPECT_EQ(Query("SELECT group_concat(E_id) FROM Elements WHERE E_Deleted = 1"),
              "ELEM00000002,ELEM00000003");
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("form frmListElem modal \"Navigation Across Elements\"",
                            "  ListBoxElements: 1 rows, index -1\n"
                            "      0.0.0.0 | label ELEM00000001",
                            "  dblclick ListBoxElements \"0\"", "  click CommandButtonCancel",
                            "end form frmListElem"));
    EXPECT_THAT(Selected(), HasSubstr("P1 text")) << "a double-click goes to the element";
    EXPECT_EQ(list->BackColor, 14263669);
    EXPECT_EQ(list->Icon, 101);
}

TEST_F(ElementsTest, HidingNumbersTakesOnlyMarkersNotTheUsersSlashes) {
    auto [start, end] = Paragraph(2);
    Document().InsertText(start + 3, "see //draft// here ");
    end += 19;
    OverParagraph("ELEM00000001", 1, 1);
    Make("ELEMOUTER000", start, end, 1);
    Make("ELEMINNER000", start + 3, start + 17, 2);
    Elements::RenumberElements(context);
    EXPECT_EQ(Document().Bookmarks().Item("ELEMOUTER000").Range().Text(),
              "//2.0.0.0// P2 //2.1.0.0// see //draft// here text of paragraph 2\r");
    Elements::HideAllNumbers(context);
    EXPECT_EQ(Document().TextOf(Paragraph(2).first, Paragraph(2).second),
              "P2 see //draft// here text of paragraph 2\r")
        << "markers of nested elements go; the user's text stays";
    EXPECT_EQ(Document().Bookmarks().Item("ELEMINNER000").Range().Text(), "see //draft// ");
}

TEST_F(ElementsTest, TogglesAndColours) {
    OverParagraph("ELEM00000001", 1, 1);
    Elements::ShowAllNumbers(context);
    // An empty variable hides (whatever there is) and stores "0"; the next shows.
    Elements::ToggleNumbers(context);
    EXPECT_EQ(Variable(VARDOC_NUMBERS), "0");
    EXPECT_THAT(Document().Content().Text(), ::testing::Not(HasSubstr("//0.0.0.0// ")));
    Elements::ToggleNumbers(context);
    EXPECT_EQ(Variable(VARDOC_NUMBERS), "1");
    EXPECT_THAT(Document().Content().Text(), HasSubstr("//0.0.0.0// P1"));
    EXPECT_TRUE(app.ScreenUpdating);

    host::Range range = Document().Bookmarks().Item("ELEM00000001").Range();
    Elements::SetHighlightColour(context, 3);
    EXPECT_EQ(range.HighlightColorIndex(), 3);
    EXPECT_EQ(Variable(HIGHLIGHT_COLOR), " 3");
    Elements::SetHighlightColour(context, 0);
    EXPECT_EQ(range.HighlightColorIndex(), 0);
    EXPECT_EQ(Variable(HIGHLIGHT_COLOR), " 0");
    EXPECT_EQ(context.elementColour, 0);

    Elements::ToggleDelimiters(context);
    EXPECT_TRUE(Document().ShowBookmarks);
    Elements::ToggleDelimiters(context);
    EXPECT_FALSE(Document().ShowBookmarks);
}

TEST_F(ElementsTest, RenumberingADocumentWithoutElementsChangesNothing) {
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, dir / "no such database.mdb");
    std::string before = Document().Content().Text();
    EXPECT_NO_THROW(Elements::RenumberElements(context));
    EXPECT_EQ(Document().Content().Text(), before);

    // The command asks first; Cancel does nothing.
    ui.AnswerMsgBox(host::MsgBoxResult::vbCancel);
    Elements::RenumberElementsCommand(context);
    EXPECT_THAT(
        ui.Transcript().back(),
        HasSubstr("msgbox \"Renumber Elements\" flags=305 \"This operation is irreversible. "
                  "Continue ?\" -> cancel"));
}

TEST_F(ElementsTest, DeletingTheCurrentElementAsksAndTakesItAllOut) {
    OverParagraph("ELEM00000001", 1, 1);
    OverParagraph("ELEM00000002", 2, 1);
    Elements::RenumberElements(context);
    Elements::HighlightAll(context);
    Document().Selection().SetRange(Paragraph(2).first + 15, Paragraph(2).first + 15);
    ui.AnswerMsgBox(host::MsgBoxResult::vbCancel);
    Elements::MarkCurrentElementDeleted(context);
    EXPECT_EQ(context.loadedElements.Count(), 2);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    Elements::MarkCurrentElementDeleted(context);
    EXPECT_THAT(
        ui.Transcript().back(),
        HasSubstr("msgbox \"Delete Element\" flags=33 \"Mark the selected Element as deleted?\""));
    EXPECT_EQ(context.loadedElements.Count(), 1);
    EXPECT_FALSE(Document().Bookmarks().Exists("ELEM00000002"));
    EXPECT_EQ(Document().TextOf(Paragraph(2).first, Paragraph(2).second),
              "P2 text of paragraph 2\r")
        << "marker and highlight go with it";
    EXPECT_EQ(
        Document().MakeRange(Paragraph(2).first, Paragraph(2).second - 1).HighlightColorIndex(), 0);
    EXPECT_EQ(Query("SELECT E_Deleted FROM Elements WHERE E_id = 'ELEM00000002'"), "1");

    // Every element of the document, and every "ELEM" bookmark, goes.
    Make("ELEMOTHER000", 0, 2, 1, "OTHERDOC");
    Document().Bookmarks().Add("ELEMSTRAY000", Document().MakeRange(40, 45));
    Elements::RemoveDocumentElements(context, true);
    EXPECT_EQ(context.loadedElements.Count(), 1) << "the other document's element stays loaded";
    EXPECT_EQ(Document().Bookmarks().Count(), 0);
    EXPECT_EQ(Query("SELECT count(*) FROM Elements WHERE E_Deleted = 1"), "2");
}

TEST_F(ElementsTest, LabelsAndIdentifiers) {
    EXPECT_EQ(Elements::SanitizeLabel("\t  two\vwords \r"), "two words");
    std::string longText(300, 'x');
    longText.replace(0, 3, " \ta");
    Document().InsertText(Paragraph(3).first, longText);
    Document().Selection().SetRange(Paragraph(3).first + 10, Paragraph(3).first + 10);
    std::string label = Elements::LabelFromDocument(context);
    EXPECT_EQ(label.size(), 252U) << "254 characters, then the leading blank and tab trimmed";
    EXPECT_EQ(label.substr(0, 3), "axx");
    Document().Selection().SetRange(0, 2);
    EXPECT_EQ(Elements::LabelFromDocument(context), "P1");

    std::string id = Elements::NewElementId(context);
    EXPECT_EQ(id.size(), 12U);
    EXPECT_TRUE(id.starts_with("ELEM"));
    Document().Bookmarks().Add("Other", Document().MakeRange(0, 5));
    Document().Selection().SetRange(2, 2);
    EXPECT_EQ(Elements::CurrentElementId(context), "") << "in a bookmark of another name";
    EXPECT_EQ(Elements::GetElementInfo(context, "NOTLOADED").number, "");
}

TEST_F(ElementsTest, CreatingAtACaretTakesTheParagraphAndCutsLongDescriptions) {
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, test::DOCUMENT_ID);
    Document().Selection().SetRange(Paragraph(3).first + 4, Paragraph(3).first + 4);
    ui.AnswerInput(std::string(300, 'd'));
    std::int16_t level = 3;
    ASSERT_TRUE(Elements::CreateElement(context, level));
    EXPECT_EQ(level, 1) << "nothing before it: level 1";
    const Element& created = context.loadedElements.Item(1);
    EXPECT_EQ(created.ElementLabel.size(), 255U) << "the label column's width";
    EXPECT_EQ(Document().Bookmarks().Item(created.ElementID).Range().Text(),
              "//1.0.0.0// P3 text of paragraph 3\r")
        << "the whole paragraph, its mark included, with its marker";
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("default=\"P3 text of paragraph 3\""));
    EXPECT_EQ(
        Query("SELECT E_level || '|' || E_Number1 || '|' || length(E_label) || '|' || "
              "(E_CreateDate IS NOT NULL) || '|' || E_Deleted || '|' || (E_ModifDate IS NULL) "
              "FROM Elements"),
        "1|1|255|1|0|1");
    EXPECT_EQ(Variable(VARDOC_CHANGEELEM), "1");
}

TEST_F(ElementsTest, AnIdAnotherUserTakesMeanwhileIsDrawnAgain) {
    // Another user's row of the same id lands just before ours: the trigger
    // adds it and fails our insertion as the unique index would, keeping its
    // row (FAIL, unlike ABORT, undoes nothing the statement did before).
    db::Database::Open(database).Execute(
        "CREATE TRIGGER other_user BEFORE INSERT ON Elements "
        "WHEN NOT EXISTS (SELECT 1 FROM Elements WHERE E_DocId = 'DOCOTHER') BEGIN "
        "INSERT INTO Elements (E_id, E_DocId) VALUES (NEW.E_id, 'DOCOTHER'); "
        "SELECT RAISE(FAIL, 'UNIQUE constraint failed: Elements.E_id'); END");
    Document().Selection().SetRange(Paragraph(2).first, Paragraph(2).second - 1);
    Elements::CreateElementFromSelection(context, 1, "Stop");

    const std::string taken = Query("SELECT E_id FROM Elements WHERE E_DocId = 'DOCOTHER'");
    const std::string mine = Query("SELECT E_id FROM Elements WHERE E_DocId = 'DOC00001'");
    ASSERT_FALSE(taken.empty());
    EXPECT_NE(mine, taken);
    EXPECT_EQ(context.loadedElements.Count(), 1);
    EXPECT_EQ(context.loadedElements.Item(1).ElementID, mine);
    EXPECT_FALSE(Document().Bookmarks().Exists(taken));
    EXPECT_EQ(Document().Bookmarks().Item(mine).Range().Text(),
              "//1.0.0.0// P2 text of paragraph 2");
}

TEST_F(ElementsTest, ATypedDescriptionWithControlCharactersIsOfferedAgainWithBlanks) {
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, test::DOCUMENT_ID);
    Document().Selection().SetRange(Paragraph(3).first + 4, Paragraph(3).first + 4);
    ui.AnswerInput("Brake\x01pads\rwear");
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    ui.AnswerInput("Brake pads wear");
    std::int16_t level = 1;
    ASSERT_TRUE(Elements::CreateElement(context, level));
    EXPECT_THAT(ui.Transcript(),
                Contains(HasSubstr("The label held control characters, which a label cannot "
                                   "hold: they are now blanks. Check it, then confirm it again.")));
    EXPECT_THAT(ui.Transcript().back(), HasSubstr("default=\"Brake pads wear\""))
        << "offered again with blanks";
    EXPECT_EQ(Query("SELECT E_label FROM Elements"), "Brake pads wear");
    EXPECT_EQ(Elements::SanitizeLabel("\u0085Brake\uFFFF"), "Brake") << "C1 and U+FFFF too";
}

TEST_F(ElementsTest, LoadingRetiresRowsWhoseBookmarkIsGoneAndKeepsOnePerId) {
    OverParagraph("ELEM00000001", 1, 1);
    OverParagraph("ELEM00000002", 2, 2);
    OverParagraph("ELEM00000003", 3, 2);
    Elements::RenumberElements(context);
    Document().Bookmarks().Item("ELEM00000002").Delete();
    utilElements::SetDocVariable(context, VARDOC_NUMBERS, "0");
    utilElements::SetDocVariable(context, VARDOC_HIGHLIGHT, "1");
    Elements::LoadDocumentElements(context, database, test::DOCUMENT_ID);
    Elements::LoadDocumentElements(context, database, test::DOCUMENT_ID);
    EXPECT_EQ(Query("SELECT E_Deleted || '|' || (E_DeleteDate IS NULL) FROM Elements WHERE E_id = "
                    "'ELEM00000002'"),
              "1|1")
        << "flagged, its delete date left empty";
    EXPECT_EQ(context.loadedElements.Count(), 3) << "one element per identifier";
    EXPECT_EQ(context.loadedElements.Item(3).ElementNumber(), "1.2.0.0") << "the row's values";
    // The loaded elements' markers are cleared and none shown (numbers are
    // off); the marker of the element whose bookmark went by hand is plain
    // text now, and stays.
    EXPECT_EQ(
        Document().TextOf(0, Paragraph(3).second),
        "P1 text of paragraph 1\r//1.1.0.0// P2 text of paragraph 2\rP3 text of paragraph 3\r");
    EXPECT_EQ(Document().Bookmarks().Item("ELEM00000001").Range().HighlightColorIndex(), 5);
}

TEST_F(ElementsTest, AttachingWithoutAFullLinkAsksNothing) {
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, "");
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "");
    utilElements::SetDocVariable(context, HIGHLIGHT_COLOR, " 3");
    EXPECT_FALSE(dbElements::dbAttachDocument(context)) << "neither variable";
    EXPECT_EQ(context.elementColour, 3) << "the colour is read all the same";

    // Only one of the two: linked without a test, and the document counts as saved.
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, test::DOCUMENT_ID);
    EXPECT_FALSE(Document().Saved());
    EXPECT_TRUE(dbElements::dbAttachDocument(context));
    EXPECT_TRUE(Document().Saved());
    EXPECT_TRUE(ui.Transcript().empty());
}

TEST_F(ElementsTest, AttachingComparesTheStoredNameExactly) {
    std::string upper = Document().FullName();
    upper.back() = 'X';
    db::Database::Open(database).Execute("UPDATE Documents SET D_Name = ?1 WHERE D_ID = ?2",
                                         {upper, test::DOCUMENT_ID});
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    EXPECT_TRUE(dbElements::dbAttachDocument(context));
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("msgbox \"Change the document name\" flags=33"));
    EXPECT_EQ(Query("SELECT D_Name FROM Documents"), Document().FullName());
    EXPECT_EQ(Variable(VARDOC_NUMBERS), "1") << "empty ones default";
    EXPECT_EQ(Variable(VARDOC_HIGHLIGHT), "1");
    ui.ClearTranscript();
    EXPECT_TRUE(dbElements::dbAttachDocument(context));
    EXPECT_TRUE(ui.Transcript().empty()) << "the same name asks nothing";
}

TEST_F(ElementsTest, AProjectFolderCopiedElsewhereUsesItsOwnDatabase) {
    utilElements::SetDbName(context, database);
    EXPECT_EQ(Variable(VARDOC_DB_RELATIVE), test::DATABASE_FILE);
    Document().Save();
    const std::string original = Document().FullName();
    test::TempDir elsewhere;
    std::filesystem::copy(dir.Path(), elsewhere.Path() / "copy",
                          std::filesystem::copy_options::recursive);
    const std::string copy = elsewhere / "copy/brakes.docx";
    const std::string copiedDatabase = elsewhere / (std::string("copy/") + test::DATABASE_FILE);

    app.OpenDocument(copy);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);  // the new name, in the copy's own project
    EXPECT_TRUE(dbElements::dbAttachDocument(context));
    EXPECT_EQ(Variable(VARDOC_DB_NAME), copiedDatabase);
    EXPECT_EQ(ui.Transcript().front(),
              "status \"Project database found beside the document, used from now on: " +
                  copiedDatabase + "\"");
    EXPECT_EQ(Query("SELECT D_Name FROM Documents"), original) << "the original project untouched";
    db::Database copied = db::Database::Open(copiedDatabase);
    EXPECT_EQ(copied.QueryValue("SELECT D_Name FROM Documents").ToString(), copy);

    // Moved alone, the document finds its project by the absolute path.
    Document().Save();
    app.CloseDocument(Document());
    std::filesystem::rename(copy, elsewhere / "alone.docx");
    app.OpenDocument(elsewhere / "alone.docx");
    ui.ClearTranscript();
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    EXPECT_TRUE(dbElements::dbAttachDocument(context));
    EXPECT_EQ(Variable(VARDOC_DB_NAME), copiedDatabase);
    EXPECT_THAT(ui.Transcript(), Not(Contains(HasSubstr("status"))));
}

TEST_F(ElementsTest, ADocumentThatLeavesItsProjectLosesBothLinkVariablesInOneSave) {
    db::Database::Open(database).Execute("UPDATE Documents SET D_Name = 'moved.docx'");
    const std::string rows = Query("SELECT group_concat(E_id || E_Deleted) FROM Elements");
    int saves = 0;
    Document().SetBeforeSave([&saves](host::Document&) { ++saves; });
    ui.AnswerMsgBox(host::MsgBoxResult::vbCancel);
    EXPECT_FALSE(dbElements::dbAttachDocument(context));
    EXPECT_EQ(Variable(VARDOC_DB_NAME), "");
    EXPECT_EQ(Variable(VARDOC_DOC_ID), "");
    EXPECT_EQ(saves, 1) << "both variables go, then one save";
    EXPECT_FALSE(Document().Bookmarks().Exists("ELEM00000001"));
    EXPECT_EQ(Query("SELECT group_concat(E_id || E_Deleted) FROM Elements"), rows)
        << "the rows stay as they are";
}

}  // namespace
}  // namespace veln
