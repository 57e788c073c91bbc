// Bookmarks: their numbering, the bookmark enclosing a position, and how they
// follow edits and survive saving.
#include "host/word/bookmarks.h"

#include <gmock/gmock.h>

#include "docx_fixture.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::TempDir;
using ::testing::ElementsAre;

std::vector<std::string> Names(Document& document) {
    std::vector<std::string> names;
    for (int i = 1; i <= document.Bookmarks().Count(); ++i) {
        names.push_back(document.Bookmarks().Item(i).Name());
    }
    return names;
}

std::string TextOf(Document& document, const char* name) {
    return document.Bookmarks().Item(name).Range().Text();
}

class BookmarksTest : public ::testing::Test {
  protected:
    BookmarksTest() : document(app.AddDocument()) {
        //                         0         1          2
        //                         0123456789 0123456789 012345
        document.Content().InsertAfter("First line\rSecond one\rThird");
    }
    DocxApplication app;
    Document& document;
};

TEST_F(BookmarksTest, NumberedInDocumentOrderOfTheirStarts) {
    Bookmarks bookmarks = document.Bookmarks();
    bookmarks.Add("ELEMLATE", document.MakeRange(11, 17));
    bookmarks.Add("ELEMFIRST", document.MakeRange(0, 5));
    bookmarks.Add("ELEMOUTER", document.MakeRange(11, 22));  // same start as ELEMLATE, added later
    bookmarks.Add("ELEMEMPTY", document.MakeRange(6, 6));
    EXPECT_THAT(Names(document), ElementsAre("ELEMFIRST", "ELEMEMPTY", "ELEMLATE", "ELEMOUTER"));
    EXPECT_EQ(bookmarks.Count(), 4);
    EXPECT_TRUE(bookmarks.Exists("ELEMLATE"));
    EXPECT_FALSE(bookmarks.Exists("elemlate"));
    EXPECT_THROW(bookmarks.Item(5), HostError);
    EXPECT_THROW(bookmarks.Item("NOPE"), HostError);
    EXPECT_EQ(TextOf(document, "ELEMOUTER"), "Second one\r");

    // The enclosing bookmark with the greatest start, ties to the greatest number.
    EXPECT_EQ(document.MakeRange(2, 2).BookmarkID(), 1);
    EXPECT_EQ(document.MakeRange(5, 5).BookmarkID(), 0) << "the end is outside";
    EXPECT_EQ(document.MakeRange(6, 6).BookmarkID(), 2) << "an empty bookmark encloses its place";
    EXPECT_EQ(document.MakeRange(12, 12).BookmarkID(), 4);
    EXPECT_EQ(document.MakeRange(18, 18).BookmarkID(), 4);
    document.Selection().SetRange(14, 14);
    EXPECT_EQ(document.Selection().BookmarkID(), 4);
    EXPECT_EQ(document.MakeRange(25, 25).BookmarkID(), 0);
}

TEST_F(BookmarksTest, TextInsertedAtTheStartLiesInsideAndMovesTheRest) {
    Bookmarks bookmarks = document.Bookmarks();
    bookmarks.Add("ELEMA", document.MakeRange(11, 17));  // "Second"
    bookmarks.Add("ELEMB", document.MakeRange(11, 22));  // "Second one\r"
    bookmarks.Add("ELEMC", document.MakeRange(22, 27));  // "Third"
    bookmarks.Add("ELEMD", document.MakeRange(0, 11));   // "First line\r", ends where B starts
    Range marker = bookmarks.Item("ELEMA").Range();
    marker.InsertBefore("//1.0.0.0// ");
    EXPECT_EQ(marker.Text(), "//1.0.0.0// Second");
    EXPECT_EQ(TextOf(document, "ELEMA"), "//1.0.0.0// Second");
    EXPECT_EQ(TextOf(document, "ELEMB"), "//1.0.0.0// Second one\r")
        << "every bookmark starting there grows";
    EXPECT_EQ(TextOf(document, "ELEMD"), "First line\r") << "one ending there does not";
    EXPECT_EQ(TextOf(document, "ELEMC"), "Third");
    EXPECT_EQ(bookmarks.Item("ELEMC").Range().Start(), 34);

    // Inserting in the middle of a bookmark and at its end.
    document.InsertText(bookmarks.Item("ELEMC").Start() + 2, "i");
    document.InsertText(bookmarks.Item("ELEMC").End(), " part");
    EXPECT_EQ(TextOf(document, "ELEMC"), "Thiird");
    EXPECT_EQ(document.Content().Text(), "First line\r//1.0.0.0// Second one\rThiird part\r");

    // Removing a marker's text leaves the bookmarks over what remains.
    EXPECT_EQ(document.Content().ReplaceAll("//*// ", ""), 1);
    EXPECT_EQ(TextOf(document, "ELEMA"), "Second");
    EXPECT_EQ(TextOf(document, "ELEMB"), "Second one\r");
}

TEST_F(BookmarksTest, AddingAnExistingNameMovesItAndCopyMakesASecond) {
    Bookmarks bookmarks = document.Bookmarks();
    bookmarks.Add("ELEMA", document.MakeRange(0, 5));
    bookmarks.Add("ELEMA", document.MakeRange(22, 27));
    EXPECT_EQ(bookmarks.Count(), 1);
    EXPECT_EQ(TextOf(document, "ELEMA"), "Third");
    Bookmark copy = bookmarks.Item("ELEMA").Copy("ELEMCOPY");
    EXPECT_EQ(copy.Range().Text(), "Third");
    EXPECT_EQ(bookmarks.Count(), 2);
    bookmarks.Item("ELEMA").Delete();
    EXPECT_FALSE(bookmarks.Exists("ELEMA"));
    EXPECT_EQ(TextOf(document, "ELEMCOPY"), "Third");
    EXPECT_EQ(document.Content().Text(), "First line\rSecond one\rThird\r") << "text is untouched";
    EXPECT_THROW(bookmarks.Add("9starts", document.MakeRange(0, 1)), HostError);
    EXPECT_THROW(bookmarks.Add("has space", document.MakeRange(0, 1)), HostError);
    EXPECT_THROW(bookmarks.Add(std::string(41, 'a'), document.MakeRange(0, 1)), HostError);
    // A copy of the paragraph: the bookmark takes the paragraph mark with it.
    document.Selection().SetRange(13, 13);
    bookmarks.Item(BOOKMARK_PARA).Copy("ELEMPARA");
    EXPECT_EQ(TextOf(document, "ELEMPARA"), "Second one\r");
    EXPECT_EQ(document.MakeRange(22, 22).BookmarkID(), 2) << "ELEMCOPY, not the paragraph before";
}

TEST_F(BookmarksTest, HiddenBookmarksAreCountedOnlyWhenShown) {
    Bookmarks bookmarks = document.Bookmarks();
    bookmarks.Add("_Toc1", document.MakeRange(0, 27));
    bookmarks.Add("ELEMA", document.MakeRange(11, 17));
    EXPECT_EQ(bookmarks.Count(), 1);
    EXPECT_EQ(bookmarks.Item(1).Name(), "ELEMA");
    EXPECT_EQ(document.MakeRange(2, 2).BookmarkID(), 0);
    EXPECT_TRUE(bookmarks.Exists("_Toc1"));
    bookmarks.SetShowHidden(true);
    EXPECT_EQ(bookmarks.Count(), 2);
    EXPECT_EQ(document.MakeRange(2, 2).BookmarkID(), 1);
    EXPECT_EQ(document.MakeRange(12, 12).BookmarkID(), 2);
}

TEST_F(BookmarksTest, BookmarksSurviveSavingAndReopening) {
    TempDir dir;
    Bookmarks bookmarks = document.Bookmarks();
    bookmarks.Add("ELEMA", document.MakeRange(3, 14));   // across a paragraph mark
    bookmarks.Add("ELEMB", document.MakeRange(22, 28));  // to the very end
    bookmarks.Add("ELEMC", document.MakeRange(11, 11));
    document.SaveAs(dir / "marks.docx");
    Document& reopened = app.OpenDocument(dir / "marks.docx");
    EXPECT_EQ(&reopened, &document) << "an open file is not opened twice";
    auto fresh = DocxDocument::Open(dir / "marks.docx");
    EXPECT_THAT(Names(*fresh), ElementsAre("ELEMA", "ELEMC", "ELEMB"));
    EXPECT_EQ(TextOf(*fresh, "ELEMA"), "st line\rSec");
    EXPECT_EQ(TextOf(*fresh, "ELEMB"), "Third\r") << "the last paragraph mark included";
    EXPECT_EQ(fresh->Bookmarks().Item("ELEMC").Range().Start(), 11);
}

TEST(BookmarksFromFilesTest, MarkersBetweenBlocksAndInCellsHaveTheirPlaces) {
    TempDir dir;
    test::WriteDocx(
        dir / "doc.docx",
        R"(<w:bookmarkStart w:id="5" w:name="Whole"/><w:p><w:r><w:t>One</w:t></w:r></w:p>)"
        R"(<w:tbl><w:tr><w:bookmarkStart w:id="6" w:name="Row" w:colFirst="0" w:colLast="1"/>)"
        R"(<w:tc><w:p><w:r><w:t>A</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>B</w:t></w:r>)"
        R"(</w:p></w:tc><w:bookmarkEnd w:id="6"/></w:tr></w:tbl>)"
        R"(<w:p><w:bookmarkStart w:id="7" w:name="Dup"/><w:r><w:t>Two</w:t></w:r><w:bookmarkEnd w:id="7"/>)"
        R"(<w:bookmarkStart w:id="8" w:name="Dup"/><w:bookmarkEnd w:id="8"/><w:bookmarkStart w:id="9" w:name="Open"/></w:p>)"
        R"(<w:bookmarkEnd w:id="5"/><w:sectPr/>)");
    auto document = DocxDocument::Open(dir / "doc.docx");
    EXPECT_THAT(Names(*document), ElementsAre("Whole", "Row", "Dup"))
        << "a repeated name and a start without an end are left to the file";
    EXPECT_EQ(TextOf(*document, "Whole"), "One\rA\rB\rTwo\r");
    EXPECT_EQ(TextOf(*document, "Row"), "A\rB\r");
    EXPECT_EQ(TextOf(*document, "Dup"), "Two");
    // A new bookmark gets an id no marker of the part uses.
    document->Bookmarks().Add("New", document->MakeRange(0, 1));
    document->SaveAs(dir / "again.docx");
    std::string xml = test::ReadZip(dir / "again.docx")["word/document.xml"];
    EXPECT_NE(xml.find(R"(w:id="10" w:name="New")"), std::string::npos) << xml;
}

}  // namespace
}  // namespace veln::host::docx
