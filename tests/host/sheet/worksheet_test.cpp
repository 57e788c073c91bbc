// The sheet as the system fills it, written to .xlsx and read back by an
// independent reader: values, formats of rows, columns and cells, names,
// hyperlinks and the limits spreadsheet programs set.
#include "host/sheet/worksheet.h"

#include <gmock/gmock.h>

#include "error_of.h"
#include "host/host_error.h"
#include "host/sheet/workbook.h"
#include "temp_dir.h"
#include "workbook_reader.h"

namespace veln::host {
namespace {

using test::ReadWorkbook;
using Look = test::CellLook;
using ::testing::ElementsAre;

constexpr const char* LINK = "file:///projects/plan%20a.docx#ELEM00000001";

class WorksheetTest : public ::testing::Test {
  protected:
    Worksheet& Sheet() { return workbook.ActiveSheet(); }
    ReadWorkbook WrittenAndRead() {
        std::string path = dir / "sheet.xlsx";
        workbook.SaveAs(path);
        return test::ReadBack(path);
    }

    test::TempDir dir;
    Workbook workbook;
};

TEST_F(WorksheetTest, CellsWrittenInAnyOrderReadBackInPlace) {
    // Rows and columns out of order, and one cell written twice: the file is
    // written row after row, whatever order the cells came in.
    Sheet().SetNumber(5, 3, 12);
    Sheet().SetText(1, 1, "title");
    Sheet().SetText(5, 1, "first");
    Sheet().SetText(2, 260, "far");
    Sheet().SetText(1, 1, "title again");
    Sheet().SetText(3, 2, "");
    workbook.Title = "matrix";
    workbook.Subject = "elements";
    ReadWorkbook read = WrittenAndRead();
    EXPECT_EQ(read.sheets, 1);
    EXPECT_EQ(read.title, "matrix");
    EXPECT_EQ(read.subject, "elements");
    EXPECT_EQ(read.Cell("A1").value, "title again");
    EXPECT_EQ(read.Cell("A5").value, "first");
    EXPECT_EQ(read.Cell("C5").kind, "number");
    EXPECT_EQ(read.Cell("C5").value, "12");
    EXPECT_EQ(read.Cell(2, 260).value, "far");
    EXPECT_EQ(read.cells.size(), 4U) << "an empty text without a format writes nothing";
}

TEST_F(WorksheetTest, TextStaysTextExactly) {
    const std::string literal = "code _x0041_ stays";
    Sheet().SetText(1, 1, "12");
    Sheet().SetText(1, 2, "1/2");
    Sheet().SetText(1, 3, literal);
    Sheet().SetText(1, 4, "bell\x07 tab\t line\nend");
    Sheet().SetText(1, 5, "broken \xC3( and \xED\xA0\x80 surrogate");
    Sheet().SetText(1, 6, "Élément «1» & <2>");
    ReadWorkbook read = WrittenAndRead();
    EXPECT_EQ(read.Cell("A1").kind, "text") << "never read as a number, nor 1/2 as a date";
    EXPECT_THAT(
        read.Row(1),
        ElementsAre("12", "1/2", literal, "bell\x07 tab\t line\nend",
                    "broken \xEF\xBF\xBD( and \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD surrogate",
                    "Élément «1» & <2>"));
}

TEST_F(WorksheetTest, AFullCellOfEscapePatternsIsWrittenWhole) {
    // 32,767 characters within the limit, escaped to nearly twice as many.
    std::string patterns;
    while (patterns.size() + 7 + 2 <= MAX_CELL_TEXT) {
        patterns += "_x0041_";
    }
    patterns += std::string(MAX_CELL_TEXT - patterns.size() - 2, '&') + "\x01<";
    Sheet().SetText(1, 1, patterns);
    Sheet().SetText(2, 1, "beside");
    Sheet().SetText(3, 1, patterns);
    EXPECT_TRUE(Sheet().AddHyperlink(3, 1, LINK));
    ReadWorkbook read = WrittenAndRead();
    EXPECT_EQ(read.Cell("A1").value, patterns);
    EXPECT_EQ(read.Cell("A2").value, "beside");
    EXPECT_EQ(read.Cell("A3").value, patterns);
    EXPECT_EQ(read.Cell("A3").link, LINK);
}

TEST_F(WorksheetTest, ColumnsFitTheirLongestLineUpToABound) {
    Sheet().SetText(1, 1, "A title far longer than its column, above the fitted rows");
    Sheet().SetText(2, 1, "Number of links : ");
    Sheet().SetText(2, 2, std::string(200, 'l'));
    Sheet().SetText(3, 3, "twenty characters on\nshort");
    Sheet().SetNumber(3, 4, 1234567);
    Sheet().SetText(3, 5, "short");
    Sheet().SetText(3, 6, std::string(30, 'x'));
    Sheet().FitColumns(2, 1, 5, 60);
    ReadWorkbook read = WrittenAndRead();
    EXPECT_NEAR(read.widths.at("A"), 19, 1) << "row 1 is not fitted";
    EXPECT_NEAR(read.widths.at("B"), 60, 1) << "the bound";
    EXPECT_NEAR(read.widths.at("C"), 21, 1) << "the longest line";
    EXPECT_FALSE(read.widths.contains("D")) << "seven digits: narrower than the default";
    EXPECT_FALSE(read.widths.contains("E")) << "narrower than the default: kept";
    EXPECT_FALSE(read.widths.contains("F")) << "past the last column fitted";
}

TEST_F(WorksheetTest, CellsBeyondTheSheetOrTooLongAreRefused) {
    for (auto cell :
         {std::pair{0, 1}, {1, 0}, {MAX_SHEET_ROWS + 1, 1}, {1, MAX_SHEET_COLUMNS + 1}}) {
        EXPECT_EQ(
            test::ErrorOf<HostError>([&] { Sheet().SetText(cell.first, cell.second, "x"); }).number,
            ERR_SHEET_RANGE)
            << cell.first << "," << cell.second;
    }
    EXPECT_THROW(Sheet().Rows(0), HostError);
    EXPECT_THROW(Sheet().Columns(MAX_SHEET_COLUMNS + 1), HostError);
    // The limit counts characters, not bytes.
    Sheet().SetText(1, 1, std::string(MAX_CELL_TEXT, 'a'));
    std::string accents;
    for (std::size_t i = 0; i < MAX_CELL_TEXT; ++i) {
        accents += "é";
    }
    Sheet().SetText(1, 2, accents);
    EXPECT_THROW(Sheet().SetText(1, 3, accents + "é"), HostError);
    EXPECT_THROW(Sheet().Cells(1, 1).SetHorizontalAlignment(12), HostError);
    EXPECT_THROW(Sheet().Cells(1, 1).SetFontSize(0), HostError);
    EXPECT_EQ(Sheet().Find(1, 3), nullptr) << "a refused text leaves no cell";
}

// Formats of rows and columns reach the cells written before and after them;
// where both cross, the later setting wins, as in a spreadsheet program.
TEST_F(WorksheetTest, RowColumnAndCellFormatsCombine) {
    Sheet().SetText(3, 2, "before");
    Sheet().Columns(2).SetBold(true).SetWrapText(true).SetVerticalAlignment(xlTop);
    Sheet().Rows(3).SetHorizontalAlignment(xlCenter).SetBold(false);
    Sheet().Rows(4).SetBold(true);
    Sheet().Columns(4).SetHorizontalAlignment(xlCenter);
    Sheet().SetText(3, 5, "row only");
    Sheet().SetText(6, 2, "column only");
    Sheet().SetText(4, 4, "crossing");
    Sheet().SetText(7, 7, "plain");
    Sheet().Cells(6, 2).SetBold(false).SetFontSize(18);
    ReadWorkbook read = WrittenAndRead();

    EXPECT_EQ(read.Cell("B3").look, (Look{.horizontal = "center", .vertical = "top", .wrap = true}))
        << "the row was made plain after the column bold";
    EXPECT_EQ(read.Cell("E3").look, Look{.horizontal = "center"});
    EXPECT_EQ(read.Cell("D4").look, (Look{.bold = true, .horizontal = "center"}));
    EXPECT_EQ(read.Cell("B6").look, (Look{.vertical = "top", .wrap = true, .size = 18}))
        << "the cell's own setting came last";
    EXPECT_EQ(read.Cell("G7").look, Look{});
    // Empty cells where a formatted row crosses a formatted column keep both.
    EXPECT_EQ(read.Cell("B4").kind, "blank");
    EXPECT_EQ(read.Cell("B4").look, (Look{.bold = true, .vertical = "top", .wrap = true}));
    // The whole rows and columns carry their format for what the user types.
    EXPECT_EQ(read.rows[4], Look{.bold = true});
    EXPECT_EQ(read.columns["D"], Look{.horizontal = "center"});
}

TEST_F(WorksheetTest, NamesAreMadeAcceptable) {
    EXPECT_EQ(Worksheet::AcceptedName("plan.docx-tests.docx"), "plan.docx-tests.docx");
    EXPECT_EQ(Worksheet::AcceptedName("a[b]:c*d?e/f\\g"), "a_b__c_d_e_f_g");
    EXPECT_EQ(Worksheet::AcceptedName("'quoted'"), "_quoted_");
    EXPECT_EQ(Worksheet::AcceptedName("tab\there"), "tab_here");
    EXPECT_EQ(Worksheet::AcceptedName(""), "Sheet1");
    EXPECT_EQ(Worksheet::AcceptedName("History"), "History_");
    std::string accents;
    for (int i = 0; i < 40; ++i) {
        accents += "é";
    }
    std::string cut = Worksheet::AcceptedName(accents);
    EXPECT_EQ(cut.size(), 2 * MAX_SHEET_NAME) << "31 characters, none split";

    Sheet().SetName("Plan [draft]: v2?.docx-Tests/*all*.docx and more");
    ReadWorkbook read = WrittenAndRead();
    EXPECT_EQ(read.sheet, "Plan _draft__ v2_.docx-Tests__a");
}

TEST_F(WorksheetTest, HyperlinksKeepTheirTextAndTarget) {
    Sheet().SetText(2, 1, "1.0.0.0");
    Sheet().Columns(1).SetBold(true);
    EXPECT_TRUE(Sheet().AddHyperlink(2, 1, LINK));
    EXPECT_TRUE(Sheet().AddHyperlink(3, 1, "file:///projects/b.docx"));
    Sheet().SetNumber(4, 2, 7);
    EXPECT_TRUE(Sheet().AddHyperlink(4, 2, "file:///projects/c.docx#ELEM3"));
    ReadWorkbook read = WrittenAndRead();
    EXPECT_EQ(read.Cell("A2").value, "1.0.0.0");
    EXPECT_EQ(read.Cell("A2").link, LINK);
    EXPECT_EQ(read.Cell("A2").look, (Look{.bold = true, .underline = "single"}));
    EXPECT_EQ(read.Cell("A3").value, "file:///projects/b.docx")
        << "an empty cell shows its address";
    EXPECT_EQ(read.Cell("B4").kind, "number");
    EXPECT_EQ(read.Cell("B4").link, "file:///projects/c.docx#ELEM3");
}

TEST_F(WorksheetTest, LinksPastTheLimitsAreLeftOutAndTheTextStays) {
    Sheet().SetText(1, 1, "long");
    std::string address = "file:///" + std::string(MAX_HYPERLINK - 8, 'a');
    EXPECT_TRUE(Sheet().AddHyperlink(2, 1, address)) << "255 characters are allowed";
    EXPECT_FALSE(Sheet().AddHyperlink(1, 1, address + "b"));
    EXPECT_FALSE(Sheet().AddHyperlink(3, 1, ""));
    ReadWorkbook read = WrittenAndRead();
    EXPECT_EQ(read.Cell("A1").value, "long");
    EXPECT_EQ(read.Cell("A1").link, "");
    EXPECT_EQ(read.Cell("A1").look, Look{});
    EXPECT_EQ(read.Cell("A2").link, address);
    EXPECT_EQ(read.cells.count("A3"), 0U);

    Worksheet many;
    for (std::size_t i = 1; i <= MAX_SHEET_HYPERLINKS; ++i) {
        ASSERT_TRUE(many.AddHyperlink(static_cast<int>(i), 1, "file:///x"));
    }
    EXPECT_FALSE(many.AddHyperlink(1, 2, "file:///x")) << "one link more than the sheet holds";
    EXPECT_TRUE(many.AddHyperlink(1, 1, "file:///y")) << "a cell's link can still change";
}

}  // namespace
}  // namespace veln::host
