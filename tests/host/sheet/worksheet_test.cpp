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
    EXPECT_EQ(read.Cell("A1").kind, "text") << "never read as a number";
    EXPECT_EQ(read.Cell("B1").value, "1/2") << "never read as a date";
    EXPECT_EQ(read.Cell("C1").value, literal);
    EXPECT_EQ(read.Cell("D1").value, "bell\x07 tab\t line\nend");
    EXPECT_EQ(read.Cell("E1").value,
              "broken \xEF\xBF\xBD( and \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD "
              "surrogate");
    EXPECT_EQ(read.Cell("F1").value, "Élément «1» & <2>");
}

TEST_F(WorksheetTest, CellsBeyondTheSheetOrTooLongAreRefused) {
    for (auto [row, column] :
         {std::pair{0, 1}, {1, 0}, {MAX_SHEET_ROWS + 1, 1}, {1, MAX_SHEET_COLUMNS + 1}}) {
        EXPECT_EQ(test::ErrorOf<HostError>([&] { Sheet().SetText(row, column, "x"); }).number,
                  ERR_SHEET_RANGE)
            << row << "," << column;
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

    const test::CellLook& before = read.Cell("B3").look;
    EXPECT_FALSE(before.bold) << "the row was made plain after the column bold";
    EXPECT_EQ(before.horizontal, "center");
    EXPECT_EQ(before.vertical, "top");
    EXPECT_TRUE(before.wrap);
    EXPECT_EQ(read.Cell("E3").look.horizontal, "center");
    EXPECT_EQ(read.Cell("E3").look.vertical, "bottom");
    const test::CellLook& crossing = read.Cell("D4").look;
    EXPECT_TRUE(crossing.bold);
    EXPECT_EQ(crossing.horizontal, "center");
    EXPECT_FALSE(read.Cell("B6").look.bold) << "the cell's own setting came last";
    EXPECT_TRUE(read.Cell("B6").look.wrap);
    EXPECT_EQ(read.Cell("B6").look.size, 18);
    EXPECT_EQ(read.Cell("G7").look.size, 11);
    EXPECT_FALSE(read.Cell("G7").look.bold);
    // Empty cells where a formatted row crosses a formatted column keep both.
    EXPECT_EQ(read.Cell("B4").kind, "blank");
    EXPECT_TRUE(read.Cell("B4").look.bold);
    EXPECT_TRUE(read.Cell("B4").look.wrap);
    // The whole rows and columns carry their format for what the user types.
    ASSERT_TRUE(read.rows.contains(4));
    EXPECT_TRUE(read.rows.at(4).bold);
    ASSERT_TRUE(read.columns.contains("D"));
    EXPECT_EQ(read.columns.at("D").horizontal, "center");
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
    const test::ReadCell& linked = read.Cell("A2");
    EXPECT_EQ(linked.value, "1.0.0.0");
    EXPECT_EQ(linked.link, LINK);
    EXPECT_TRUE(linked.look.bold);
    EXPECT_EQ(linked.look.underline, "single");
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
    EXPECT_EQ(read.Cell("A1").look.underline, "none");
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
