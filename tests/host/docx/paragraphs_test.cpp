// Paragraphs as the desktop view reads and edits them: marks put in and taken
// out anywhere, with bookmarks, properties and what the view does not show
// kept; stamps that tell which paragraphs changed; and the look of each
// paragraph (runs, styles, tables, pictures), down to the saved file.
#include <gmock/gmock.h>

#include "corpus.h"
#include "docx_fixture.h"
#include "host/docx/docx_document.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::TempDir;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A main part whose paragraphs of the body differ in every way the view shows.
constexpr const char* STYLED_BODY =
    R"(<w:p><w:pPr><w:pStyle w:val="Title2"/></w:pPr><w:r><w:t>Brakes</w:t></w:r></w:p>)"
    R"(<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Bold </w:t></w:r>)"
    R"(<w:r><w:rPr><w:i/><w:u w:val="single"/><w:highlight w:val="cyan"/></w:rPr>)"
    R"(<w:t>marked</w:t></w:r><w:r><w:rPr><w:rStyle w:val="Strong"/></w:rPr><w:t> strong</w:t></w:r>)"
    R"(<w:r><w:drawing><wp:inline xmlns:wp="urn:wp"/></w:drawing></w:r><w:r><w:t>!</w:t></w:r></w:p>)"
    R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>A1</w:t></w:r></w:p><w:p><w:r><w:t>A1b</w:t></w:r></w:p></w:tc>)"
    R"(<w:tc><w:p><w:r><w:t>B1</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"
    R"(<w:p><w:pPr><w:pStyle w:val="Heading3"/></w:pPr><w:r><w:t>Undefined style</w:t></w:r></w:p>)";

constexpr const char* STYLES =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:style w:type="paragraph" w:styleId="Title1"><w:name w:val="heading 1"/>)"
    R"(<w:rPr><w:b/></w:rPr></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="Title2"><w:name w:val="Chapter"/>)"
    R"(<w:basedOn w:val="Title1"/><w:pPr><w:outlineLvl w:val="1"/></w:pPr></w:style>)"
    R"(<w:style w:type="character" w:styleId="Strong"><w:name w:val="Strong"/>)"
    R"(<w:rPr><w:b/><w:i w:val="0"/></w:rPr></w:style></w:styles>)";

// Each run as its length and the formats it has ("6 i u h3").
std::vector<std::string> Runs(const ParagraphLook& look) {
    std::vector<std::string> runs;
    for (const FormattedRun& run : look.runs) {
        const CharacterFormat& f = run.format;
        runs.push_back(std::to_string(run.length) + (f.bold ? " b" : "") + (f.italic ? " i" : "") +
                       (f.underline ? " u" : "") + (f.link ? " link" : "") +
                       (f.highlight != 0 ? " h" + std::to_string(f.highlight) : ""));
    }
    return runs;
}

std::string Package(const TempDir& dir, const std::string& body) {
    std::string path = dir / "styled.docx";
    std::string decl = std::string(test::W_DECL);
    test::WriteZip(
        path,
        {{"[Content_Types].xml",
          R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
          R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
          R"(<Default Extension="xml" ContentType="application/xml"/>)"
          R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)"},
         {"_rels/.rels",
          R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)"},
         {"word/_rels/document.xml.rels",
          R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)"},
         {"word/styles.xml", STYLES},
         {"word/document.xml",
          "<w:document " + decl + "><w:body>" + body + "</w:body></w:document>"}});
    return path;
}

TEST(ParagraphLookTest, RunsStylesTablesAndPicturesAsTheFileHasThem) {
    TempDir dir;
    auto document = DocxDocument::Open(Package(dir, STYLED_BODY));
    ASSERT_EQ(document->ParagraphCount(), 6);
    ParagraphLook title = document->LookOfParagraph(0);
    EXPECT_EQ(title.style, "Title2");
    EXPECT_EQ(title.headingLevel, 2) << "its own outline level, under a heading it is based on";
    EXPECT_THAT(Runs(title), ElementsAre("6 b")) << "bold from the style it is based on";

    ParagraphLook body = document->LookOfParagraph(1);
    EXPECT_EQ(body.text, "Bold marked strong!");
    EXPECT_EQ(body.headingLevel, 0);
    // Cyan is wdTurquoise (3); " strong" is bold and upright by its character style.
    EXPECT_THAT(Runs(body), ElementsAre("5 b", "6 i u h3", "7 b", "1"));
    EXPECT_THAT(body.objects, ElementsAre(18)) << "the picture stands before the last character";
    EXPECT_EQ(body.start, 7);

    ParagraphLook cell = document->LookOfParagraph(2);
    EXPECT_EQ(cell.tableDepth, 1);
    EXPECT_TRUE(cell.firstInCell);
    EXPECT_FALSE(document->LookOfParagraph(3).firstInCell);
    EXPECT_TRUE(document->LookOfParagraph(4).firstInCell);
    EXPECT_EQ(document->LookOfParagraph(5).headingLevel, 3)
        << "an undefined style named as a heading";
    EXPECT_EQ(document->LookOfParagraph(5).tableDepth, 0);

    EXPECT_EQ(document->ParagraphIndexAt(9), 1);
    EXPECT_EQ(document->ParagraphStart(2), document->ParagraphAt(27).first);
}

TEST(ParagraphLookTest, TheTextOfAHyperlinkIsALinkRunAndSurvivesASave) {
    TempDir dir;
    std::string path = (dir.Path() / "links.docx").string();
    test::WriteDocx(path, R"(<w:p><w:r><w:t>See the stop here.</w:t></w:r></w:p>)");
    {
        auto document = DocxDocument::Open(path);
        document->AddHyperlink(8, 12, "file:///tmp/target.docx", "ELEM00000001", "");
        document->SaveAs(path);
    }
    auto document = DocxDocument::Open(path);
    EXPECT_THAT(Runs(document->LookOfParagraph(0)), ElementsAre("8", "4 link", "6")) << "stop";
}

TEST(ParagraphLookTest, HighlightOfEveryRunIsTheModelsInARealDocument) {
    VELN_REQUIRE_CORPUS();
    auto document = DocxDocument::Open((test::CorpusDir() / "highlight-run-styles.docx").string());
    int highlighted = 0;
    for (long i = 0; i < document->ParagraphCount(); ++i) {
        ParagraphLook look = document->LookOfParagraph(i);
        long at = look.start;
        for (const FormattedRun& run : look.runs) {
            EXPECT_EQ(run.format.highlight, document->HighlightOf(at, at + run.length))
                << "paragraph " << i << " at " << at;
            highlighted += run.format.highlight != 0 ? 1 : 0;
            at += run.length;
        }
        EXPECT_EQ(at, look.start + static_cast<long>(document->ParagraphAt(look.start).second -
                                                     document->ParagraphAt(look.start).first - 1));
    }
    EXPECT_GE(highlighted, 3);
}

TEST(ParagraphMarksTest, EnterSplitsAParagraphAndItsBookmarksFollowTheirText) {
    TempDir dir;
    test::WriteDocx(
        dir / "doc.docx",
        R"(<w:p><w:pPr><w:jc w:val="center"/></w:pPr><w:r><w:rPr><w:b/></w:rPr>)"
        R"(<w:t>Stop within</w:t></w:r><w:bookmarkStart w:id="0" w:name="Req"/>)"
        R"(<w:r><w:t xml:space="preserve"> 40 m.</w:t></w:r><w:bookmarkEnd w:id="0"/></w:p>)"
        R"(<w:p><w:r><w:t>Next</w:t></w:r></w:p>)");
    auto document = DocxDocument::Open(dir / "doc.docx");
    ParagraphStamp before = document->StampOfParagraph(0);
    ParagraphStamp next = document->StampOfParagraph(1);
    document->SplitParagraph(4);   // inside the bold run
    document->SplitParagraph(12);  // "within" ends; the bookmark starts here
    EXPECT_EQ(document->Content().Text(), "Stop\r within\r 40 m.\rNext\r");
    EXPECT_EQ(document->Bookmarks().Item("Req").Range().Text(), " 40 m.");
    EXPECT_EQ(document->StampOfParagraph(0).id, before.id);
    EXPECT_GT(document->StampOfParagraph(0).revision, before.revision);
    EXPECT_NE(document->StampOfParagraph(1).id, before.id);
    EXPECT_EQ(document->StampOfParagraph(3).id, next.id);
    EXPECT_EQ(document->StampOfParagraph(3).revision, next.revision) << "untouched";
    EXPECT_TRUE(document->LookOfParagraph(1).runs.front().format.bold) << "formatting kept";
    EXPECT_FALSE(document->Saved());

    document->SaveAs(dir / "out.docx");
    std::string xml = test::ReadZip(dir / "out.docx")["word/document.xml"];
    EXPECT_THAT(xml, HasSubstr(R"(<w:p><w:pPr><w:jc w:val="center"/></w:pPr><w:r><w:rPr><w:b/>)"))
        << "the new paragraphs take the properties";
    auto reopened = DocxDocument::Open(dir / "out.docx");
    EXPECT_EQ(reopened->Content().Text(), "Stop\r within\r 40 m.\rNext\r");
    EXPECT_EQ(reopened->Bookmarks().Item("Req").Range().Text(), " 40 m.");
}

TEST(ParagraphMarksTest, JoiningTakesTheNextParagraphAndRefusesWhatItCannotDoCleanly) {
    TempDir dir;
    test::WriteDocx(dir / "doc.docx",
                    R"(<w:p><w:r><w:t>One</w:t></w:r></w:p><w:bookmarkStart w:id="0" w:name="B"/>)"
                    R"(<w:p><w:r><w:t>Two</w:t></w:r><w:bookmarkEnd w:id="0"/></w:p>)"
                    R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>A</w:t></w:r></w:p></w:tc>)"
                    R"(<w:tc><w:p><w:r><w:t>B</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"
                    R"(<w:p><w:pPr><w:sectPr/></w:pPr><w:r><w:t>End</w:t></w:r></w:p>)"
                    R"(<w:p><w:r><w:t>Last</w:t></w:r></w:p>)");
    auto document = DocxDocument::Open(dir / "doc.docx");
    document->JoinParagraphs(3);
    EXPECT_EQ(document->Content().Text(), "OneTwo\rA\rB\rEnd\rLast\r");
    EXPECT_EQ(document->Bookmarks().Item("B").Range().Text(), "Two") << "it stood between them";
    std::string text = document->Content().Text();
    EXPECT_THROW(document->JoinParagraphs(8), HostError) << "two table cells";
    EXPECT_THROW(document->JoinParagraphs(6), HostError) << "out of the table";
    EXPECT_THROW(document->JoinParagraphs(14), HostError) << "a section ends there";
    EXPECT_THROW(document->JoinParagraphs(2), HostError) << "no mark there";
    EXPECT_THROW(document->JoinParagraphs(19), HostError) << "the last mark";
    EXPECT_EQ(document->Content().Text(), text) << "a refused join changes nothing";

    document->SplitParagraph(3);
    document->SaveAs(dir / "out.docx");
    auto reopened = DocxDocument::Open(dir / "out.docx");
    EXPECT_EQ(reopened->Content().Text(), "One\rTwo\rA\rB\rEnd\rLast\r");
    EXPECT_EQ(reopened->Bookmarks().Item("B").Range().Text(), "Two");
}

TEST(ParagraphMarksTest, ContainersAreCutInTwoAndFieldsAndSectionsStayWhole) {
    TempDir dir;
    test::WriteDocx(
        dir / "doc.docx",
        R"(<w:p><w:hyperlink w:anchor="Target"><w:r><w:t>Linked words</w:t></w:r></w:hyperlink></w:p>)"
        R"(<w:p><w:fldSimple w:instr="FILENAME"><w:r><w:t>name.docx</w:t></w:r></w:fldSimple></w:p>)"
        R"(<w:p><w:pPr><w:sectPr><w:pgSz w:w="11906"/></w:sectPr></w:pPr><w:r><w:t>Section</w:t></w:r></w:p>)"
        R"(<w:p><w:r><w:drawing/><w:t>Tail</w:t></w:r></w:p>)");
    auto document = DocxDocument::Open(dir / "doc.docx");
    document->SplitParagraph(6);
    EXPECT_THROW(document->SplitParagraph(17), HostError) << "inside a simple field";
    document->SplitParagraph(27);  // "Sec" | "tion": the break stays with the section's last mark
    // At the start of a paragraph that opens with a picture: the picture
    // stays, and the text goes to the new paragraph.
    document->SplitParagraph(33);
    EXPECT_EQ(document->Content().Text(), "Linked\r words\rname.docx\rSec\rtion\r\rTail\r");
    document->SaveAs(dir / "out.docx");
    std::string xml = test::ReadZip(dir / "out.docx")["word/document.xml"];
    EXPECT_THAT(xml, HasSubstr(R"(<w:hyperlink w:anchor="Target"><w:r><w:t xml:space="preserve">)"
                               R"( words</w:t></w:r></w:hyperlink>)"));
    EXPECT_THAT(xml, HasSubstr(R"(<w:p><w:r><w:t xml:space="preserve">Sec</w:t></w:r></w:p>)"));
    EXPECT_THAT(xml, HasSubstr(R"(<w:sectPr><w:pgSz w:w="11906"/></w:sectPr></w:pPr><w:r><w:t)"));
    EXPECT_THAT(xml, HasSubstr("<w:drawing/>")) << "the picture passes through";
}

}  // namespace
}  // namespace veln::host::docx
