// The office host against a headless Writer: text and positions, bookmarks,
// highlight, variables and hyperlinks, read back by the .docx model from the
// files Writer saves, and the other way round.

#include "host/office/office_document.h"

#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <gmock/gmock.h>

#include "docx_fixture.h"
#include "error_of.h"
#include "host/docx/docx_application.h"
#include "host/office/office_connection.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/variables.h"
#include "libreoffice.h"
#include "office_fixture.h"

namespace veln::test {
namespace {

using host::Document;
using host::WdColorIndex::wdBrightGreen;
using host::WdColorIndex::wdNoHighlight;
using host::WdColorIndex::wdUndefined;
using host::WdColorIndex::wdYellow;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class OfficeDocumentTest : public OfficeTest {
  protected:
    // A new Writer document holding text.
    Document& Written(const std::string& text) {
        Document& document = Office().AddDocument();
        document.InsertText(0, text);
        return document;
    }
};

TEST_F(OfficeDocumentTest, CountsCharactersAsTheSystemDoes) {
    Document& document = Written("Alpha\rBéta\tγ\rLast");
    EXPECT_EQ(document.StoryEnd(), 18);
    EXPECT_EQ(document.TextOf(0, document.StoryEnd()), "Alpha\rBéta\tγ\rLast\r");
    EXPECT_EQ(document.TextOf(6, 10), "Béta");
    EXPECT_EQ(document.ParagraphAt(8), std::pair(6L, 13L));
    EXPECT_EQ(document.ParagraphCount(), 3);
    EXPECT_EQ(document.ParagraphStart(2), 13);

    document.DeleteText(6, 8);
    EXPECT_EQ(document.TextOf(0, 12), "Alpha\rta\tγ\rL");
    document.JoinParagraphs(5);
    EXPECT_EQ(document.TextOf(0, document.StoryEnd()), "Alphata\tγ\rLast\r");
}

TEST_F(OfficeDocumentTest, BookmarksKeepTheirTextAndTakeWhatIsInsertedAtTheirStart) {
    Document& document = Written("The system shall brake.\rSecond.");
    document.SetBookmark("ELEM10000001", 4, 10);
    document.SetBookmark("_Toc1", 0, 3);
    EXPECT_EQ(document.BookmarkCount(false), 1);
    EXPECT_EQ(document.BookmarkCount(true), 2);
    EXPECT_EQ(document.BookmarkItem(1, false).name, "ELEM10000001");

    document.InsertText(4, "[1.0] ");
    auto found = document.FindBookmark("ELEM10000001");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(document.TextOf(found->start, found->end), "[1.0] system");
    EXPECT_EQ(document.BookmarkIdAt(8, false), 1);
    EXPECT_EQ(document.BookmarkIdAt(20, false), 0);
    EXPECT_EQ(document.FirstBookmarkFrom(5, false), 2);

    document.SetBookmark("ELEM10000001", 30, 37);
    EXPECT_EQ(document.TextOf(document.FindBookmark("ELEM10000001")->start,
                              document.FindBookmark("ELEM10000001")->end),
              "Second.");
    document.RemoveBookmark("ELEM10000001");
    EXPECT_FALSE(document.FindBookmark("ELEM10000001").has_value());
    EXPECT_EQ(ErrorOf<host::HostError>([&] { document.RemoveBookmark("ELEM10000001"); }).number,
              host::WordError::NO_SUCH_BOOKMARK);
}

// Numbers put where bookmarks start: inside them, with the formatting of
// the character there, in Writer as in the .docx model, and the bookmarks
// Writer holds where the host believes they are.
TEST_F(OfficeDocumentTest, TextPutWhereBookmarksStartTakesTheFormattingThere) {
    auto numbered = [](Document& document) {
        document.InsertText(0, "Brake.\rStop.\r\rX");
        document.SetHighlight(0, 1, wdYellow);
        document.SetBookmark("ELEM10000001", 0, 7);
        document.SetBookmark("ELEM10000002", 7, 8);    // a mark right after its first character
        document.SetBookmark("ELEM10000003", 13, 14);  // an empty paragraph
        document.InsertText(13, "3 ");
        document.InsertText(7, "2 ");
        document.InsertText(0, "1 ");
        std::string seen = document.TextOf(0, document.StoryEnd());
        for (const char* name : {"ELEM10000001", "ELEM10000002", "ELEM10000003"}) {
            auto bookmark = document.FindBookmark(name);
            seen += "|" + document.TextOf(bookmark->start, bookmark->end);
        }
        return seen + "|" + std::to_string(document.HighlightOf(0, 3)) + " " +
               std::to_string(document.HighlightOf(3, 4));
    };
    host::docx::DocxApplication model;
    const std::string inModel = numbered(model.AddDocument());
    EXPECT_EQ(inModel, "1 Brake.\r2 Stop.\r3 \rX\r|1 Brake.\r|2 S|3 \r|" +
                           std::to_string(wdYellow) + " " + std::to_string(wdNoHighlight));

    Document& inWriter = Office().AddDocument();
    EXPECT_EQ(numbered(inWriter), inModel);
    // Where Writer holds them: read from the file it saves.
    inWriter.SaveAs(dir / "numbered.odt", std::nullopt);
    Office().CloseDocument(inWriter);
    Document& reopened = Office().OpenDocument(dir / "numbered.odt");
    EXPECT_EQ(reopened.FindBookmark("ELEM10000001")->end, 9);
    EXPECT_EQ(std::pair(reopened.FindBookmark("ELEM10000002")->start,
                        reopened.FindBookmark("ELEM10000002")->end),
              std::pair(9L, 12L));
    EXPECT_EQ(std::pair(reopened.FindBookmark("ELEM10000003")->start,
                        reopened.FindBookmark("ELEM10000003")->end),
              std::pair(17L, 20L));
}

TEST_F(OfficeDocumentTest, HighlightIsReadAsTheColourIndexAndMixedAsUndefined) {
    Document& document = Written("one two three");
    EXPECT_EQ(document.HighlightOf(0, 3), wdNoHighlight);
    document.SetHighlight(4, 7, wdBrightGreen);
    EXPECT_EQ(document.HighlightOf(4, 7), wdBrightGreen);
    EXPECT_EQ(document.HighlightOf(0, 7), wdUndefined);
    document.SetHighlight(4, 7, wdNoHighlight);
    EXPECT_EQ(document.HighlightOf(0, 13), wdNoHighlight);
}

TEST_F(OfficeDocumentTest, SelectionIsTheViewCursor) {
    Document& document = Written("Alpha\rBeta");
    document.SetSelection(8, 2);
    EXPECT_EQ(document.SelectionStart(), 2);
    EXPECT_EQ(document.SelectionEnd(), 8);
    document.SetSelection(0, 100);
    EXPECT_EQ(document.SelectionEnd(), document.StoryEnd() - 1);
}

// What Writer saves as .docx is what the .docx model reads, and back: the
// variables through their mirror in the custom properties.
TEST_F(OfficeDocumentTest, ADocumentMarkedInWriterIsReadByTheDocxModel) {
    Document& document = Written("Title\rThe brake shall hold.");
    document.SetBookmark("ELEM10000001", 6, 26);
    document.SetHighlight(6, 26, wdYellow);
    document.SetVariableValue("VARDOC_DOC_ID", "42");
    document.AddHyperlink(0, 5, "other.docx", "ELEM10000002", "");
    document.SaveAs(dir / "marked.docx", std::nullopt);
    EXPECT_TRUE(document.Saved());
    EXPECT_EQ(document.Name(), "marked.docx");

    host::docx::DocxApplication model;
    Document& read = model.OpenDocument(dir / "marked.docx");
    EXPECT_EQ(read.TextOf(0, read.StoryEnd()), "Title\rThe brake shall hold.\r");
    auto bookmark = read.FindBookmark("ELEM10000001");
    ASSERT_TRUE(bookmark.has_value());
    EXPECT_EQ(std::pair(bookmark->start, bookmark->end), std::pair(6L, 26L));
    EXPECT_EQ(read.HighlightOf(6, 26), wdYellow);
    EXPECT_EQ(read.VariableValue("VARDOC_DOC_ID"), "42");
    ASSERT_EQ(read.HyperlinkList().size(), 1U);
    EXPECT_EQ(read.HyperlinkList()[0].address, "other.docx");
    EXPECT_EQ(read.HyperlinkList()[0].subAddress, "ELEM10000002");
    EXPECT_EQ(read.HyperlinkList()[0].text, "Title");
}

TEST_F(OfficeDocumentTest, ADocumentMarkedByTheDocxModelOpensMarkedInWriter) {
    {
        host::docx::DocxApplication model;
        Document& document = model.AddDocument();
        document.InsertText(0, "Intro\rThe pump shall stop.");
        document.SetBookmark("ELEM10000007", 6, 25);
        document.SetHighlight(6, 25, wdBrightGreen);
        document.SetVariableValue("VARDOC_DB_NAME", "/projects/p.db");
        document.SaveAs(dir / "linked.docx");
    }
    Document& document = Office().OpenDocument(dir / "linked.docx");
    EXPECT_EQ(document.TextOf(0, document.StoryEnd()), "Intro\rThe pump shall stop.\r");
    auto bookmark = document.FindBookmark("ELEM10000007");
    ASSERT_TRUE(bookmark.has_value());
    EXPECT_EQ(std::pair(bookmark->start, bookmark->end), std::pair(6L, 25L));
    EXPECT_EQ(document.HighlightOf(6, 25), wdBrightGreen);
    EXPECT_EQ(document.VariableValue("VARDOC_DB_NAME"), "/projects/p.db");
    EXPECT_THAT(document.VariableNames(), ElementsAre("VARDOC_DB_NAME"));
    document.RemoveVariable("VARDOC_DB_NAME");
    EXPECT_FALSE(document.VariableValue("VARDOC_DB_NAME").has_value());
}

TEST_F(OfficeDocumentTest, ADocumentSavedAsOdtStaysLinkedAndMarkedInWriter) {
    Document& document = Written("Intro\rThe valve shall close.");
    document.SetBookmark("ELEM10000009", 6, 27);
    document.SetVariableValue("VARDOC_DB_NAME", "/projects/p.db");
    document.SaveAs(dir / "linked.odt", std::nullopt);
    Office().CloseDocument(document);

    Document& reopened = Office().OpenDocument(dir / "linked.odt");
    EXPECT_EQ(reopened.VariableValue("VARDOC_DB_NAME"), "/projects/p.db");
    auto bookmark = reopened.FindBookmark("ELEM10000009");
    ASSERT_TRUE(bookmark.has_value());
    EXPECT_EQ(std::pair(bookmark->start, bookmark->end), std::pair(6L, 27L));
    // Saved in its own format: still an OpenDocument text.
    reopened.Save();
    EXPECT_THAT(ReadFile(dir / "linked.odt").substr(0, 80),
                HasSubstr("application/vnd.oasis.opendocument.text"));
}

// The links tree's export: a link whose text is put where there was none.
TEST_F(OfficeDocumentTest, AHyperlinkWithTextToDisplayReplacesItsAnchor) {
    Document& document = Written("Level 1\r");
    std::string target = "a.docx";
    host::HyperlinkInfo added =
        document.AddHyperlink(8, 8, target, "ELEM10000003", "1.0.0.0 - Braking");
    EXPECT_EQ(std::pair(added.start, added.end), std::pair(8L, 25L));
    auto links = document.HyperlinkList();
    ASSERT_EQ(links.size(), 1U);
    EXPECT_EQ(links[0].address, target);
    EXPECT_EQ(links[0].subAddress, "ELEM10000003");
    EXPECT_EQ(links[0].text, "1.0.0.0 - Braking");
    EXPECT_EQ(std::pair(links[0].start, links[0].end), std::pair(8L, 25L));

    document.SaveAs(dir / "tree.docx", std::nullopt);
    host::docx::DocxApplication model;
    Document& read = model.OpenDocument(dir / "tree.docx");
    ASSERT_EQ(read.HyperlinkList().size(), 1U);
    EXPECT_EQ(read.HyperlinkList()[0].subAddress, "ELEM10000003");
}

// A hyperlink to an element (the element editor's, the links tree's),
// followed as Writer follows a click on it: the office opens the address
// and goes to its jump mark, the element's bookmark.
TEST_F(OfficeDocumentTest, AHyperlinkToAnElementOpensItsDocumentAtTheElement) {
    namespace office = host::office;
    namespace css = office::css;
    Document& target = Written("Intro\rThe pump shall stop.");
    target.SetBookmark("ELEM10000007", 6, 25);
    target.SaveAs(dir / "pump.docx", std::nullopt);
    Office().CloseDocument(target);
    auto& source = dynamic_cast<office::OfficeDocument&>(Written("See the pump."));
    source.AddHyperlink(8, 12, "file://" + (dir / "pump.docx"), "ELEM10000007", "");

    office::OfficeConnection& connection = Office().Connection();
    const bool atElement = connection.Run(
        "following the hyperlink",
        [&] {
            office::Reference<css::text::XTextCursor> inLink =
                source.Model()->getText()->createTextCursor();
            inLink->goRight(9, false);
            rtl::OUString url;
            office::Reference<css::beans::XPropertySet>(inLink, office::UNO_QUERY_THROW)
                ->getPropertyValue(office::ToOUString("HyperLinkURL")) >>= url;
            office::Reference<css::frame::XDispatchProvider> frame(
                office::Reference<css::frame::XModel>(source.Model(), office::UNO_QUERY_THROW)
                    ->getCurrentController()
                    ->getFrame(),
                office::UNO_QUERY_THROW);
            css::frame::DispatchHelper::create(connection.Context())
                ->executeDispatch(frame, url, office::ToOUString("_default"), 0, {});
            office::Reference<css::frame::XModel> opened(
                office::Reference<css::frame::XDesktop>(connection.Desktop(),
                                                        office::UNO_QUERY_THROW)
                    ->getCurrentComponent(),
                office::UNO_QUERY_THROW);
            EXPECT_THAT(office::FromOUString(opened->getURL()), HasSubstr("pump.docx"));
            office::Reference<css::text::XTextRange> element(
                office::Reference<css::text::XTextContent>(
                    office::Reference<css::text::XBookmarksSupplier>(opened,
                                                                     office::UNO_QUERY_THROW)
                        ->getBookmarks()
                        ->getByName(office::ToOUString("ELEM10000007")),
                    office::UNO_QUERY_THROW)
                    ->getAnchor());
            office::Reference<css::text::XTextRange> caret(
                office::Reference<css::text::XTextViewCursorSupplier>(
                    opened->getCurrentController(), office::UNO_QUERY_THROW)
                    ->getViewCursor(),
                office::UNO_QUERY_THROW);
            const bool at = office::Reference<css::text::XTextRangeCompare>(element->getText(),
                                                                            office::UNO_QUERY_THROW)
                                ->compareRegionStarts(caret, element) == 0;
            office::Reference<css::util::XCloseable>(opened, office::UNO_QUERY_THROW)->close(true);
            return at;
        },
        0);
    EXPECT_TRUE(atElement) << "the caret is at the element's start";
}

TEST_F(OfficeDocumentTest, AFileWriterCannotOpenIsRefusedWithItsReason) {
    EXPECT_EQ(ErrorOf<host::HostError>([&] { Office().OpenDocument(dir / "missing.docx"); }).number,
              host::WordError::FILE_NOT_FOUND);
    // A package whose parts are cut short: no filter of the office reads it.
    WriteFile(dir / "broken.docx", std::string("PK\x03\x04", 4) + std::string(200, '\x7f'));
    auto refused = ErrorOf<host::HostError>([&] { Office().OpenDocument(dir / "broken.docx"); });
    EXPECT_EQ(refused.number, host::WordError::FILE_CORRUPT) << refused.text;
    EXPECT_THAT(refused.text,
                HasSubstr((dir / "broken.docx") + ": LibreOffice Writer cannot open"));
    EXPECT_EQ(Office().DocumentCount(), 0);
    Document& document = Written("kept");
    document.SaveAs(dir / "kept.docx", std::nullopt);
    EXPECT_THAT(ErrorOf<host::HostError>([&] {
                    document.SaveAs("/proc/unwritable/x.docx", std::nullopt);
                }).text,
                HasSubstr("saving as /proc/unwritable/x.docx"));
    EXPECT_EQ(document.Name(), "kept.docx");
}

// Versions compared: two files that differ in a word, a paragraph taken
// out and one put in, with bookmarks on the paragraphs that stay, each with
// its mark (its end at the start of the next paragraph, where the .docx
// model and Word write it).
class OfficeCompareTest : public OfficeTest {
  protected:
    void SetUp() override {
        WriteDocx(
            dir / "ours.docx",
            R"(<w:p><w:bookmarkStart w:id="1" w:name="ELEM10000001"/><w:r><w:t>)"
            R"(The vehicle shall stop within 40 m.</w:t></w:r></w:p>)"
            R"(<w:p><w:bookmarkEnd w:id="1"/><w:r><w:t>Stopping is checked weekly.</w:t></w:r></w:p>)"
            R"(<w:p><w:r><w:t>The stop shall be straight.</w:t></w:r></w:p>)"
            R"(<w:p><w:bookmarkStart w:id="2" w:name="ELEM10000002"/><w:r><w:t>)"
            R"(The brake light shall come on.</w:t></w:r></w:p><w:bookmarkEnd w:id="2"/>)");
        WriteDocx(dir / "theirs.docx",
                  R"(<w:p><w:r><w:t>The vehicle shall stop within 30 m.</w:t></w:r></w:p>)"
                  R"(<w:p><w:r><w:t>Stopping is checked weekly.</w:t></w:r></w:p>)"
                  R"(<w:p><w:r><w:t>The brake light shall come on.</w:t></w:r></w:p>)"
                  R"(<w:p><w:r><w:t>The horn shall sound twice.</w:t></w:r></w:p>)");
    }

    // What a reader of the main story sees: its text, each bookmark.
    static std::string Seen(const Document& document) {
        std::string seen = document.TextOf(0, document.StoryEnd());
        for (int i = 1; i <= document.BookmarkCount(true); ++i) {
            host::BookmarkInfo bookmark = document.BookmarkItem(i, true);
            seen += "|" + bookmark.name + " " + std::to_string(bookmark.start) + " " +
                    std::to_string(bookmark.end);
        }
        return seen;
    }
};

TEST_F(OfficeCompareTest, WriterComparesAsTheDocxModelAndBothReadTheResultAlike) {
    std::string byModel;
    {
        host::docx::DocxApplication model;
        Document& document = model.OpenDocument(dir / "ours.docx");
        document.Compare(dir / "theirs.docx");
        byModel = Seen(document);
        document.SaveAs(dir / "by-model.docx", std::nullopt);
    }
    EXPECT_EQ(byModel,
              "The vehicle shall stop within 30 m.\rStopping is checked weekly.\r\r"
              "The brake light shall come on.\rThe horn shall sound twice.\r"
              "|ELEM10000001 0 36|ELEM10000002 65 96");

    Document& inWriter = Office().OpenDocument(dir / "ours.docx");
    inWriter.Compare(dir / "theirs.docx");
    EXPECT_EQ(Seen(inWriter), byModel);
    EXPECT_FALSE(inWriter.Saved());
    // Positions past a deletion count only what shows.
    inWriter.SetBookmark("ELEM10000003", 30, 32);
    EXPECT_EQ(inWriter.TextOf(30, 32), "30");
    EXPECT_EQ(inWriter.FindBookmark("ELEM10000003")->end, 32);
    inWriter.RemoveBookmark("ELEM10000003");
    inWriter.SaveAs(dir / "in-writer.docx", std::nullopt);
    Office().CloseDocument(inWriter);

    // Each host reads the changes the other tracked as it reads its own.
    {
        host::docx::DocxApplication model;
        EXPECT_EQ(Seen(model.OpenDocument(dir / "in-writer.docx")), byModel);
    }
    EXPECT_EQ(Seen(Office().OpenDocument(dir / "by-model.docx")), byModel);
}

TEST_F(OfficeCompareTest, EqualVersionsChangeNothingAndAMissingOneIsRefused) {
    Document& document = Office().OpenDocument(dir / "ours.docx");
    const std::string before = Seen(document);
    document.Compare(dir / "ours.docx");
    EXPECT_TRUE(document.Saved());
    EXPECT_EQ(ErrorOf<host::HostError>([&] { document.Compare(dir / "gone.docx"); }).number,
              host::WordError::FILE_NOT_FOUND);
    EXPECT_EQ(Seen(document), before);
    EXPECT_TRUE(document.Saved());
}

TEST_F(OfficeCompareTest, TablesThatDifferAreRefusedBeforeAnyChange) {
    auto table = [](const std::string& cell) {
        return R"(<w:p><w:r><w:t>Before</w:t></w:r></w:p><w:tbl><w:tr><w:tc><w:p><w:r><w:t>)" +
               cell + R"(</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/>)";
    };
    WriteDocx(dir / "ours.docx", table("within 40 m"));
    WriteDocx(dir / "theirs.docx", table("within 40 m") + table("new"));
    Document& document = Office().OpenDocument(dir / "ours.docx");
    const std::string before = Seen(document);
    EXPECT_THAT(ErrorOf<host::HostError>([&] { document.Compare(dir / "theirs.docx"); }).text,
                HasSubstr("tables differ"));
    EXPECT_EQ(Seen(document), before);
    EXPECT_TRUE(document.Saved());
}

// An office that goes away in the middle of a session: each later call
// fails at once, naming why, and nothing hangs.
TEST(OfficeStart, AnOfficeThatEndsIsNamedAsTheCauseOfEachLaterFailure) {
    TempDir dir;
    host::office::OfficeOptions options;
    options.profile = dir / "profile";
    auto office = host::office::OfficeApplication::Start(options);
    Document& document = office->AddDocument();
    document.InsertText(0, "kept");
    // "[s]office" keeps pkill from matching the shell that runs it.
    ASSERT_EQ(
        std::system(("pkill -KILL -f -- " + Quoted("[s]office.bin.*" + options.profile)).c_str()),
        0);
    auto failure = ErrorOf<host::HostError>([&] { document.InsertText(0, "lost"); });
    EXPECT_THAT(failure.text, HasSubstr(": LibreOffice was ended by signal 9"));
    EXPECT_THAT(ErrorOf<host::HostError>([&] { (void)document.StoryEnd(); }).text,
                HasSubstr("LibreOffice was ended by signal 9"));
}

// An office that stops answering (here: stopped by a signal) fails the call
// within the bound, and the program goes on.
TEST(OfficeStart, AnOfficeThatDoesNotAnswerFailsTheCallWithinItsBound) {
    TempDir dir;
    host::office::OfficeOptions options;
    options.profile = dir / "profile";
    options.callSeconds = 2;
    auto office = host::office::OfficeApplication::Start(options);
    Document& document = office->AddDocument();
    const std::string pattern = Quoted("[s]office.bin.*" + options.profile);
    ASSERT_EQ(std::system(("pkill -STOP -f -- " + pattern).c_str()), 0);
    auto failure = ErrorOf<host::HostError>([&] { document.InsertText(0, "late"); });
    std::system(("pkill -CONT -f -- " + pattern).c_str());
    EXPECT_THAT(failure.text, HasSubstr("LibreOffice did not answer within 2 s"));
}

TEST(OfficeStart, NoOfficeInstalledIsSaidPlainly) {
    host::office::OfficeOptions options;
    options.programFolder = "/nonexistent/libreoffice/program";
    auto failure =
        ErrorOf<host::HostError>([&] { host::office::OfficeApplication::Start(options); });
    EXPECT_THAT(failure.text, HasSubstr("LibreOffice is not installed"));
}

}  // namespace
}  // namespace veln::test
