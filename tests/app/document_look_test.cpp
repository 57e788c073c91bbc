// The document looks as its author laid it out: list labels counted from the
// numbering part, table rows as grids of cells side by side, sizes and
// colours of the styles part, the page's width and margins; and Ctrl+B,
// Ctrl+I and Ctrl+U format the selection in a way LibreOffice reads back.
#include <QTest>
#include <algorithm>
#include <filesystem>

#include <gmock/gmock.h>

#include "corpus.h"
#include "desktop_fixture.h"
#include "docx_fixture.h"
#include "host/word/range.h"
#include "libreoffice.h"

namespace veln::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class DocumentLookTest : public DesktopTest {
  protected:
    host::ParagraphLook Look(long index) { return Shown().LookOfParagraph(index); }
    // The index of the first paragraph whose text is text.
    long IndexOf(const std::string& text) {
        for (long index = 0; index < Shown().ParagraphCount(); ++index) {
            if (Look(index).text == text) {
                return index;
            }
        }
        ADD_FAILURE() << "no paragraph \"" << text << "\"";
        return 0;
    }
    void OpenCorpus(const char* file) {
        Start({QString::fromStdString((CorpusDir() / file).string())});
    }
};

// The document says what each label must be: "expect IV" follows "IV.".
TEST_F(DocumentLookTest, ListLabelsAreCountedAsTheNumberingPartSays) {
    VELN_REQUIRE_CORPUS();
    OpenCorpus("word-for-web-numbering.docx");
    int checked = 0;
    for (long index = 0; index < Shown().ParagraphCount(); ++index) {
        host::ParagraphLook look = Look(index);
        if (!look.text.starts_with("expect ")) {
            continue;
        }
        std::string label = look.listLabel;
        std::erase_if(label, [](char c) { return c == '.' || c == '(' || c == ')'; });
        EXPECT_EQ(label, look.text.substr(7)) << "paragraph " << index;
        ++checked;
    }
    EXPECT_GE(checked, 10);
}

TEST_F(DocumentLookTest, StylesGiveHeadingsTheirSizeAndColourAndListsTheirIndent) {
    VELN_REQUIRE_CORPUS();
    OpenCorpus("strict-ooxml-full-featured.docx");
    host::ParagraphLook heading = Look(IndexOf("Heading 1"));
    host::ParagraphLook body = Look(IndexOf("Heading 1") + 2);
    ASSERT_FALSE(heading.runs.empty());
    ASSERT_FALSE(body.runs.empty());
    EXPECT_GT(heading.runs.front().format.size, body.runs.front().format.size);
    EXPECT_GE(heading.runs.front().format.colour, 0) << "a heading of the theme's colour";
    EXPECT_EQ(body.runs.front().format.colour, -1);

    host::ParagraphLook item =
        Look(IndexOf("Video provides a powerful way to help you prove your point."));
    host::ParagraphLook subItem =
        Look(IndexOf("When you click Online Video, you can paste in the embed code for the video "
                     "you want to add."));
    EXPECT_EQ(item.listLabel, "1)");
    EXPECT_EQ(subItem.listLabel, "a)");
    EXPECT_GT(subItem.indent, item.indent) << "measures of a strict file: \"72pt\"";
    EXPECT_LT(item.firstLine, 0) << "hanging";
    host::PageLook page = Shown().LookOfPage();
    EXPECT_EQ(page.width, 12240) << "Letter";
    EXPECT_EQ(page.marginLeft, 1440);
}

TEST_F(DocumentLookTest, TableRowsAreGridsOfCellsSideBySide) {
    VELN_REQUIRE_CORPUS();
    OpenCorpus("table-merged-cells-column-bookmark.docx");
    // The second table: its middle row's first cell spans two columns.
    std::vector<host::ParagraphLook> cells;
    for (long index = 0; index < Shown().ParagraphCount(); ++index) {
        if (Look(index).tableDepth > 0) {
            cells.push_back(Look(index));
        }
    }
    ASSERT_GE(cells.size(), 17U);
    auto place = [&](std::size_t at) {
        return std::make_tuple(cells[at].text, cells[at].cell.column, cells[at].cell.span,
                               cells[at].cell.firstInRow);
    };
    EXPECT_EQ(place(0), std::make_tuple(std::string("1"), 0, 1, true));
    EXPECT_EQ(place(1), std::make_tuple(std::string("2"), 1, 1, false));
    EXPECT_EQ(place(3), std::make_tuple(std::string("4"), 0, 1, true));
    EXPECT_EQ(place(12), std::make_tuple(std::string("4"), 0, 2, true));
    EXPECT_EQ(place(13), std::make_tuple(std::string("6"), 2, 1, false));

    // On screen: a row's cells side by side, the next row below.
    auto shownAt = [&](const char* text) { return View().PositionRect(Look(IndexOf(text)).start); };
    QRect one = shownAt("1");
    QRect two = shownAt("2");
    QRect four = shownAt("4");
    ASSERT_FALSE(one.isEmpty());
    EXPECT_EQ(two.top(), one.top());
    EXPECT_GT(two.left(), one.left() + 100);
    EXPECT_EQ(four.left(), one.left());
    EXPECT_GT(four.top(), one.bottom() - 1);
    View().Select(0, 0);
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, two.center() + QPoint(2, 0));
    EXPECT_EQ(View().Caret(), Look(IndexOf("2")).start) << "a click lands in its cell";
}

TEST_F(DocumentLookTest, CtrlBIAndUFormatTheSelectionUndoAndLibreOfficeReadsThem) {
    Start({SavedDocument({"The vehicle shall stop.", "Plain."}, "format.docx", "")});
    View().Select(4, 11);  // "vehicle"
    QTest::keyClick(&View(), Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(&View(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(View().Anchor(), 4) << "the selection stays";
    EXPECT_EQ(View().Caret(), 11);
    auto formatAt = [&](long position) {
        host::ParagraphLook look = Look(Shown().ParagraphIndexAt(position));
        long at = look.start;
        for (const host::FormattedRun& run : look.runs) {
            if (position < at + run.length) {
                return run.format;
            }
            at += run.length;
        }
        return host::CharacterFormat{};
    };
    EXPECT_TRUE(formatAt(4).bold);
    EXPECT_TRUE(formatAt(10).underline);
    EXPECT_FALSE(formatAt(11).bold);
    EXPECT_FALSE(formatAt(3).underline);

    View().Select(0, 11);
    QTest::keyClick(&View(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(formatAt(0).bold) << "part bold: all of it bold";
    QTest::keyClick(&View(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_FALSE(formatAt(5).bold) << "all bold: none";
    View().Undo();
    View().Undo();
    EXPECT_FALSE(formatAt(0).bold);
    EXPECT_TRUE(formatAt(4).bold) << "undone step by step";
    View().Select(12, 17);  // "shall"
    QTest::keyClick(&View(), Qt::Key_I, Qt::ControlModifier);
    ASSERT_TRUE(Window().Save());

    const std::filesystem::path work(dir / "lo");
    std::filesystem::create_directories(work);
    const std::string html = (work / "html" / "format.html").string();
    ASSERT_EQ(ConvertWithSoffice(work, Shown().FullName(), "html", (work / "html").string(), html),
              "");
    const std::string page = ReadFile(html);
    EXPECT_THAT(page, HasSubstr("<u><b>vehicle</b></u>"));
    EXPECT_THAT(page, HasSubstr("<i>shall</i>"));
    EXPECT_THAT(page, Not(HasSubstr("<b>The")));
}

}  // namespace
}  // namespace veln::test
