// Highlight, find and replace with wildcards, and hyperlinks, down to the XML
// the word processors read.
#include <gmock/gmock.h>

#include "docx_fixture.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/word/application.h"
#include "host/word/bookmarks.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "host/word/wildcards.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::TempDir;
using ::testing::HasSubstr;

TEST(HighlightTest, SplitsRunsAtTheRangeEndsAndKeepsTheirFormatting) {
    TempDir dir;
    test::WriteDocx(
        dir / "doc.docx",
        R"(<w:p><w:r w:rsidR="00AB"><w:rPr><w:b/><w:u w:val="single"/></w:rPr>)"
        R"(<w:t>Bold and underlined</w:t></w:r><w:r><w:t xml:space="preserve"> plain</w:t></w:r></w:p>)"
        R"(<w:p><w:r><w:t>Next</w:t></w:r></w:p>)");
    auto document = DocxDocument::Open(dir / "doc.docx");
    document->MakeRange(5, 22).SetHighlightColorIndex(WdColorIndex::wdYellow);
    EXPECT_EQ(document->MakeRange(5, 22).HighlightColorIndex(), WdColorIndex::wdYellow);
    EXPECT_EQ(document->MakeRange(0, 5).HighlightColorIndex(), 0);
    EXPECT_EQ(document->MakeRange(0, 10).HighlightColorIndex(), WdColorIndex::wdUndefined);
    EXPECT_EQ(document->Content().Text(), "Bold and underlined plain\rNext\r") << "text unchanged";
    document->SaveAs(dir / "out.docx");
    std::string xml = test::ReadZip(dir / "out.docx")["word/document.xml"];
    // The schema orders run properties: w:b, then w:highlight, then w:u.
    EXPECT_THAT(
        xml,
        HasSubstr(
            R"(<w:r w:rsidR="00AB"><w:rPr><w:b/><w:u w:val="single"/></w:rPr>)"
            R"(<w:t xml:space="preserve">Bold </w:t></w:r>)"
            R"(<w:r w:rsidR="00AB"><w:rPr><w:b/><w:highlight w:val="yellow"/>)"
            R"(<w:u w:val="single"/></w:rPr><w:t xml:space="preserve">and underlined</w:t></w:r>)"
            R"(<w:r><w:rPr><w:highlight w:val="yellow"/></w:rPr><w:t xml:space="preserve"> pl</w:t></w:r>)"));

    auto reopened = DocxDocument::Open(dir / "out.docx");
    reopened->MakeRange(0, 30).SetHighlightColorIndex(WdColorIndex::wdNoHighlight);
    EXPECT_EQ(reopened->Content().HighlightColorIndex(), 0);
}

TEST(HighlightTest, EveryColourIndexComesBackAfterSaving) {
    TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    std::string text;
    for (int i = 0; i <= 16; ++i) {
        text += "ab";
    }
    document.Content().InsertAfter(text);
    for (long i = 0; i <= 16; ++i) {
        document.MakeRange(2 * i, 2 * i + 2).SetHighlightColorIndex(static_cast<int>(i));
    }
    EXPECT_THROW(document.MakeRange(0, 1).SetHighlightColorIndex(17), HostError);
    document.SaveAs(dir / "colours.docx");
    auto reopened = DocxDocument::Open(dir / "colours.docx");
    for (long i = 0; i <= 16; ++i) {
        EXPECT_EQ(reopened->MakeRange(2 * i, 2 * i + 2).HighlightColorIndex(), i);
    }
}

TEST(FindTest, WildcardsFindTheShortestRunWithinAParagraph) {
    auto find = [](const char* text, const char* pattern) {
        std::vector<std::string> found;
        std::string_view view(text);
        for (const auto& match : FindMatches(text, pattern, true)) {
            found.emplace_back(view.substr(static_cast<std::size_t>(match.start),
                                           static_cast<std::size_t>(match.length)));
        }
        return found;
    };
    EXPECT_THAT(find("//1.2.0.0// A //3.0.0.0// B", "//*// "),
                ::testing::ElementsAre("//1.2.0.0// ", "//3.0.0.0// "));
    EXPECT_THAT(find("see //draft// here //1.0.0.0// x", "//[0-9.]@// "),
                ::testing::ElementsAre("//1.0.0.0// "));
    EXPECT_THAT(find("//a\r// b", "//*// "), ::testing::ElementsAre()) << "not over a mark";
    EXPECT_THAT(find("cat cot cut", "c[!u]t"), ::testing::ElementsAre("cat", "cot"));
    EXPECT_THAT(find("a.b a+b", "a.b"), ::testing::ElementsAre("a.b")) << "a dot is a dot";
    EXPECT_THAT(find("a*b a+b", "a\\*b"), ::testing::ElementsAre("a*b"));
    EXPECT_THAT(find("aaa", "a{2}"), ::testing::ElementsAre("aa"));
    EXPECT_THROW(find("x", "[abc"), HostError);
    // Positions count characters, not bytes.
    auto matches = FindMatches("éé //1// x", "//*// ", true);
    ASSERT_EQ(matches.size(), 1U);
    EXPECT_EQ(matches[0].start, 3);
    EXPECT_EQ(matches[0].length, 6);
}

TEST(FindTest, ReplaceAllRemovesOnlyInsideTheRange) {
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("//1.0.0.0// One //draft// \r//2.0.0.0// Two");
    Range second = document.MakeRange(27, 42);
    EXPECT_EQ(second.ReplaceAll("//[0-9.]@// ", ""), 1);
    EXPECT_EQ(second.Text(), "Two");
    EXPECT_EQ(document.Content().Text(), "//1.0.0.0// One //draft// \rTwo\r");
    EXPECT_EQ(document.Content().ReplaceAll("//*// ", ""), 2);
    EXPECT_EQ(document.Content().Text(), "One \rTwo\r");
}

TEST(HyperlinkTest, LinksCarryAddressBookmarkAndText) {
    TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("See the requirement here.");
    HyperlinkInfo over = document.Hyperlinks().Add(document.MakeRange(8, 19),
                                                   "file:///projects/brakes.docx", "ELEM12345678");
    EXPECT_EQ(over.text, "requirement");
    document.InsertText(document.StoryEnd() - 1, " ");
    Range end(document, document.StoryEnd() - 1, document.StoryEnd() - 1);
    HyperlinkInfo inserted = document.Hyperlinks().Add(end, "file:///projects/other.docx",
                                                       "ELEMAAAABBBB", "1.2.0.0 Brakes");
    EXPECT_EQ(inserted.text, "1.2.0.0 Brakes");
    EXPECT_EQ(document.Content().Text(), "See the requirement here. 1.2.0.0 Brakes\r");
    EXPECT_THROW(document.Hyperlinks().Add(document.Content(), "file:///x", ""), HostError)
        << "within one paragraph";
    document.SaveAs(dir / "links.docx");

    auto reopened = DocxDocument::Open(dir / "links.docx");
    ASSERT_EQ(reopened->Hyperlinks().Count(), 2);
    HyperlinkInfo first = reopened->Hyperlinks().Item(1);
    EXPECT_EQ(first.address, "file:///projects/brakes.docx");
    EXPECT_EQ(first.subAddress, "ELEM12345678");
    EXPECT_EQ(first.text, "requirement");
    EXPECT_EQ(first.start, 8);
    EXPECT_EQ(reopened->Hyperlinks().Item(2).text, "1.2.0.0 Brakes");
    auto parts = test::ReadZip(dir / "links.docx");
    EXPECT_THAT(parts["word/_rels/document.xml.rels"],
                HasSubstr(R"(Target="file:///projects/brakes.docx" TargetMode="External")"));
}

// LibreOffice writes a link to a place in another file as a HYPERLINK
// field, its place after \l and sometimes also as the target's fragment.
TEST(HyperlinkTest, HyperlinkFieldsAreLinksAndOtherFieldsAreNot) {
    TempDir dir;
    auto run = [](const std::string& inside) { return "<w:r>" + inside + "</w:r>"; };
    auto field = [&](const std::string& instruction, const std::string& result) {
        return run(R"(<w:fldChar w:fldCharType="begin"/>)") +
               run("<w:instrText xml:space=\"preserve\">" + instruction + "</w:instrText>") +
               run(R"(<w:fldChar w:fldCharType="separate"/>)") + result +
               run(R"(<w:fldChar w:fldCharType="end"/>)");
    };
    test::WriteDocx(
        dir / "fields.docx",
        "<w:p>" + run("<w:t xml:space=\"preserve\">See </w:t>") +
            field(R"( HYPERLINK "../req.docx" \l "ELEM10000001" \o "tip" )",
                  run("<w:t>1.0.0.0 -</w:t>") + run("<w:t xml:space=\"preserve\"> Brakes</w:t>")) +
            run("<w:t xml:space=\"preserve\"> and </w:t>") +
            field(R"( HYPERLINK "file:///p/d.docx#ELEM10000002" \l "ELEM10000002")",
                  run("<w:t>pads</w:t>")) +
            field(" PAGE ", run("<w:t>7</w:t>")) + "</w:p>");
    auto document = DocxDocument::Open(dir / "fields.docx");
    EXPECT_EQ(document->TextOf(0, document->StoryEnd()), "See 1.0.0.0 - Brakes and pads7\r");
    std::vector<HyperlinkInfo> links = document->HyperlinkList();
    ASSERT_EQ(links.size(), 2U);
    EXPECT_EQ(links[0].address, "../req.docx");
    EXPECT_EQ(links[0].subAddress, "ELEM10000001");
    EXPECT_EQ(links[0].text, "1.0.0.0 - Brakes") << "one link over the runs of its result";
    EXPECT_EQ(std::pair(links[0].start, links[0].end), std::pair(4L, 20L));
    EXPECT_EQ(links[1].address, "file:///p/d.docx") << "the fragment is the place named after \\l";
    EXPECT_EQ(links[1].subAddress, "ELEM10000002");
    EXPECT_EQ(links[1].text, "pads");
}

TEST(SpecialCharacterTest, InsertedTabsBreaksAndHyphensAreWrittenAsTheirElements) {
    TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("Level\tone");
    Range bold = document.MakeRange(0, 5);
    bold.SetHighlightColorIndex(WdColorIndex::wdYellow);
    // Into the highlighted word, at the end, and in text of its own.
    document.InsertText(2, "\t");
    document.Content().InsertAfter("\t\vnext\fpage\x0e\x1e\x1f");
    const std::string text = "Le\tvel\tone\t\vnext\fpage\x0e\x1e\x1f\r";
    EXPECT_EQ(document.Content().Text(), text);
    EXPECT_EQ(document.MakeRange(0, 6).HighlightColorIndex(), WdColorIndex::wdYellow)
        << "the tab takes the formatting of the text it was inserted into";
    document.SaveAs(dir / "tabs.docx");
    std::string xml = test::ReadZip(dir / "tabs.docx")["word/document.xml"];
    EXPECT_EQ(xml.find('\t'), std::string::npos) << "no tab character in the XML";
    EXPECT_THAT(xml, HasSubstr("<w:tab/>"));
    EXPECT_THAT(xml, HasSubstr(R"(<w:br w:type="page"/>)"));
    EXPECT_THAT(xml, HasSubstr(R"(<w:br w:type="column"/>)"));
    EXPECT_THAT(xml, HasSubstr("<w:noBreakHyphen/>"));
    EXPECT_THAT(xml, HasSubstr("<w:softHyphen/>"));
    EXPECT_EQ(DocxDocument::Open(dir / "tabs.docx")->TextOf(0, 100), text);

    // A control character XML cannot hold is refused, and nothing changes.
    EXPECT_THROW(document.Content().InsertAfter("ab\x01"
                                                "cd"),
                 HostError);
    EXPECT_EQ(document.Content().Text(), text);
}

TEST(HyperlinkTest, NewLinksTakeIdsAfterTheDocumentsOwnAndLinksToOneFileShareOne) {
    TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("a");
    document.Hyperlinks().Add(document.MakeRange(0, 1), "file:///one.docx", "A");
    document.SaveAs(dir / "one.docx");
    auto reopened = DocxDocument::Open(dir / "one.docx");
    for (int i = 0; i < 3; ++i) {
        for (const char* address : {"file:///two.docx", "file:///three.docx"}) {
            long end = reopened->StoryEnd() - 1;
            reopened->AddHyperlink(end, end, address, "B" + std::to_string(i), "b");
        }
    }
    reopened->SaveAs(dir / "two.docx");
    std::string rels = test::ReadZip(dir / "two.docx")["word/_rels/document.xml.rels"];
    // The settings part's rId1, the first link's rId2, then one for each
    // new file, however many links go to it.
    std::size_t ids = 0;
    for (std::size_t at = rels.find(" Id=\""); at != std::string::npos;
         at = rels.find(" Id=\"", at + 1)) {
        ++ids;
    }
    EXPECT_EQ(ids, 4U);
    for (const char* id : {"rId1", "rId2", "rId3", "rId4"}) {
        EXPECT_THAT(rels, HasSubstr(std::string(" Id=\"") + id + "\""));
    }
    auto links = DocxDocument::Open(dir / "two.docx");
    ASSERT_EQ(links->Hyperlinks().Count(), 7);
    EXPECT_EQ(links->Hyperlinks().Item(1).address, "file:///one.docx");
    for (int item = 2; item <= 7; ++item) {
        EXPECT_EQ(links->Hyperlinks().Item(item).address,
                  item % 2 == 0 ? "file:///two.docx" : "file:///three.docx");
    }
    EXPECT_EQ(links->Hyperlinks().Item(7).subAddress, "B2");
}

TEST(CleanStringTest, ControlCharactersBecomeBlanksOrGo) {
    EXPECT_EQ(CleanString("a\tb\rc\vd\fe"), "a b c d e");
    EXPECT_EQ(CleanString("x\x1ey\x1fz\x07"), "x-yz");
    EXPECT_EQ(CleanString("non\xc2\xa0"
                          "breaking é"),
              "non breaking é");
}

}  // namespace
}  // namespace veln::host::docx
