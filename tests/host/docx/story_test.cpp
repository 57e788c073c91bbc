// Positions of the main story: what counts as a character, and how edits move
// the text, the paragraphs and the selection.
#include <gtest/gtest.h>

#include "docx_fixture.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::TempDir;
using test::WriteDocx;

std::unique_ptr<DocxDocument> Body(const TempDir& dir, const std::string& body) {
    WriteDocx(dir / "doc.docx", body);
    return DocxDocument::Open(dir / "doc.docx");
}

TEST(StoryTest, CountsCharactersAsTheWordProcessorDoes) {
    TempDir dir;
    auto document = Body(
        dir,
        R"(<w:p><w:pPr><w:rPr><w:b/></w:rPr></w:pPr><w:r><w:t>é</w:t><w:tab/><w:t>a</w:t><w:br/>)"
        R"(<w:br w:type="page"/><w:noBreakHyphen/><w:softHyphen/><w:sym w:font="Symbol" w:char="F0B7"/></w:r></w:p>)"
        // a field: its instruction does not count, its result does
        R"(<w:p><w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText> PAGE </w:instrText></w:r>)"
        R"(<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>7</w:t></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r></w:p>)"
        // tracked changes: deleted text does not count, inserted text does
        R"(<w:p><w:del w:id="1" w:author="a"><w:r><w:delText>gone</w:delText></w:r></w:del>)"
        R"(<w:ins w:id="2" w:author="a"><w:r><w:t>new</w:t></w:r></w:ins></w:p>)"
        // a table: the paragraphs of its cells, in order
        R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>c1</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>c2</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"
        // text in a text box and in a content control
        R"(<w:p><w:r><mc:AlternateContent xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006">)"
        R"(<mc:Choice Requires="wps"><w:drawing><w:txbxContent><w:p><w:r><w:t>boxed</w:t></w:r></w:p></w:txbxContent></w:drawing></mc:Choice>)"
        R"(</mc:AlternateContent></w:r><w:sdt><w:sdtContent><w:r><w:t xml:space="preserve"> ok </w:t></w:r></w:sdtContent></w:sdt></w:p>)"
        R"(<w:sectPr/>)");
    EXPECT_EQ(document->TextOf(0, document->StoryEnd()),
              "é\ta\v\f\x1e\x1f\xef\x82\xb7\r7\rnew\rc1\rc2\r ok \r");
    EXPECT_EQ(document->StoryEnd(), 26);
    EXPECT_EQ(document->ParagraphAt(0), std::make_pair(0L, 9L));
    EXPECT_EQ(document->ParagraphAt(9), std::make_pair(9L, 11L));
    EXPECT_EQ(document->ParagraphAt(17), std::make_pair(15L, 18L)) << "a cell's paragraph";
    EXPECT_EQ(document->TextOf(1, 3), "\ta");
}

TEST(StoryTest, InsertedTextTakesItsPlaceAndMovesWhatFollows) {
    DocxApplication app;
    Document& document = app.AddDocument();
    EXPECT_EQ(document.Name(), "Document1");
    EXPECT_EQ(document.StoryEnd(), 1) << "a new document is one empty paragraph";
    EXPECT_TRUE(document.Saved());
    document.Content().InsertAfter("Alpha beta\rGamma");
    EXPECT_FALSE(document.Saved());
    EXPECT_EQ(document.Content().Text(), "Alpha beta\rGamma\r");

    document.MakeRange(11, 13).Select();
    Range at = document.MakeRange(6, 6);
    at.InsertBefore("new ");
    EXPECT_EQ(at.Text(), "new ") << "the range widens over what it inserted";
    EXPECT_EQ(document.Content().Text(), "Alpha new beta\rGamma\r");
    EXPECT_EQ(document.Selection().Range().Text(), "Ga") << "the selection stays on its text";

    document.DeleteText(0, 6);
    EXPECT_EQ(document.Content().Text(), "new beta\rGamma\r");
    EXPECT_EQ(document.Selection().Start(), 9);
    document.InsertText(document.StoryEnd() - 1, " end\rLast");
    EXPECT_EQ(document.Content().Text(), "new beta\rGamma end\rLast\r");
    EXPECT_THROW(document.InsertText(2, "a\rb"), HostError)
        << "a paragraph mark goes only at the end of a paragraph";
    EXPECT_EQ(document.Content().Text(), "new beta\rGamma end\rLast\r") << "and nothing is changed";
    EXPECT_THROW(document.DeleteText(5, 12), HostError) << "deletion stays within a paragraph";
    document.DeleteText(0, 8);
    EXPECT_EQ(document.Content().Text(), "\rGamma end\rLast\r") << "an emptied paragraph stays";
}

TEST(StoryTest, SelectionGrowsToItsParagraphAndCollapses) {
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("One\rTwo two\rThree");
    Selection selection = document.Selection();
    selection.SetRange(6, 6);
    EXPECT_EQ(selection.Type(), wdSelectionIP);
    EXPECT_EQ(document.Bookmarks().Item(BOOKMARK_PARA).Range().Text(), "Two two\r");
    selection.EndOf(WdUnits::wdParagraph, WdMovementType::wdExtend);
    selection.StartOf(WdUnits::wdParagraph, WdMovementType::wdExtend);
    EXPECT_EQ(selection.Start(), 4);
    EXPECT_EQ(selection.End(), 12);
    EXPECT_EQ(selection.Type(), wdSelectionNormal);
    selection.Collapse();
    EXPECT_EQ(selection.End(), 4);
    Range end = document.Bookmarks().Item(BOOKMARK_END_OF_DOC).Range();
    EXPECT_EQ(end.Start(), document.StoryEnd() - 1);
    EXPECT_EQ(end.Start(), end.End());
    selection.SetRange(100, 200);
    EXPECT_EQ(selection.Start(), document.StoryEnd() - 1) << "positions stay inside the story";
}

}  // namespace
}  // namespace veln::host::docx
