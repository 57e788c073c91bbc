// The matrix as built from a project's rows, written and read back by an
// independent reader: frame, rows, columns, marks, counts, names and links.
#include <gmock/gmock.h>

#include "error_of.h"
#include "host/host_error.h"
#include "outputs_fixture.h"
#include "traceability/live_elements.h"
#include "traceability/matrix_build.h"
#include "traceability/workbook_output.h"

namespace veln {
namespace {

using test::ReadWorkbook;
using Look = test::CellLook;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* NOW = "2026-12-06 14:03:12";
constexpr const char* MARK = "\u2022";
constexpr const char* S1 = "ELEMSRC00001";
constexpr const char* S2 = "ELEMSRC00002";
constexpr const char* S3 = "ELEMSRC00003";
constexpr const char* T1 = "ELEMTGT00001";
constexpr const char* T2 = "ELEMTGT00002";

class MatrixTest : public test::OutputsTest {
  protected:
    MatrixRequest Request() const {
        MatrixRequest request;
        request.dbPath = database;
        request.source = {test::SOURCE_ID, SourcePath()};
        request.target = {test::TARGET_ID, TargetPath()};
        return request;
    }
    ReadWorkbook Matrix(const MatrixRequest& request) {
        host::Workbook workbook;
        MatrixBuild::Fill(workbook, request, context.language, NOW);
        return Saved(workbook);
    }
    ReadWorkbook Matrix() { return Matrix(Request()); }
    // Two source elements and two target elements.
    void TwoByTwo() {
        AddElement(S1, test::SOURCE_ID, {1, 0, 0, 0}, "Brakes");
        AddElement(S2, test::SOURCE_ID, {1, 1, 0, 0}, "Stop");
        AddElement(T1, test::TARGET_ID, {1, 0, 0, 0}, "Test stop");
        AddElement(T2, test::TARGET_ID, {2, 0, 0, 0}, "Test warning");
    }
    static bool Empty(const test::ReadCell& cell) { return cell.value.empty(); }
};

TEST_F(MatrixTest, WithoutLinksTheFrameNumbersLabelsAndAZeroTotal) {
    TwoByTwo();
    ReadWorkbook sheet = Matrix();
    EXPECT_EQ(sheet.sheet, "plan.docx-tests.docx");
    EXPECT_EQ(sheet.title, "matrix");
    EXPECT_EQ(sheet.subject, "matrix");
    EXPECT_THAT(sheet.Row(1), ElementsAre("Lignes : " + SourcePath() +
                                          " - Colonnes : " + TargetPath() + " - " + NOW));
    EXPECT_THAT(sheet.Row(2), ElementsAre("Number of links : ", "0", "", "1.0.0.0", "2.0.0.0"));
    EXPECT_EQ(sheet.Cell(2, 2).kind, "number");
    EXPECT_THAT(sheet.Row(3), ElementsAre("", "", "", "Test stop", "Test warning"));
    EXPECT_THAT(sheet.Row(4), IsEmpty());
    EXPECT_THAT(sheet.Row(5), ElementsAre("1.0.0.0", "Brakes"));
    EXPECT_THAT(sheet.Row(6), ElementsAre("1.1.0.0", "Stop"));
    // Links to the elements' bookmarks in their documents.
    EXPECT_EQ(sheet.Cell(5, 1).link, "file://" + SourcePath() + "#" + S1);
    EXPECT_EQ(sheet.Cell(2, 5).link, "file://" + TargetPath() + "#" + T2);
    EXPECT_EQ(sheet.Cell(5, 2).link, "");
    EXPECT_EQ(sheet.Cell(3, 4).link, "");
    // "Number of links : " is read whole; the short labels and the marks'
    // columns keep the usual width.
    EXPECT_NEAR(sheet.widths.at("A"), 19, 1);
    for (const char* usual : {"B", "D"}) {
        EXPECT_LT(sheet.widths.contains(usual) ? sheet.widths.at(usual) : 0, 10) << usual;
    }
}

TEST_F(MatrixTest, TheFrameIsBoldAndCentredAndWrapsWhenAsked) {
    TwoByTwo();
    ReadWorkbook plain = Matrix();
    EXPECT_EQ(plain.Cell(1, 1).look, Look{.bold = true});
    EXPECT_EQ(plain.Cell(5, 2).look, Look{.bold = true});
    EXPECT_EQ(plain.Cell(2, 5).look,
              (Look{.bold = true, .horizontal = "center", .underline = "single"}))
        << "a link";
    EXPECT_EQ(plain.Cell(3, 4).look, (Look{.bold = true, .horizontal = "center"}))
        << "column 4 is centred";
    EXPECT_EQ(plain.Cell(3, 5).look, Look{.bold = true}) << "only column 4 is";
    EXPECT_EQ(plain.rows[4], Look{.horizontal = "center"});
    EXPECT_EQ(plain.columns["C"], Look{.horizontal = "center"});
    EXPECT_EQ(plain.columns["A"], Look{.bold = true});

    MatrixRequest request = Request();
    request.wrap = true;
    ReadWorkbook wrapped = Matrix(request);
    for (const auto* address : {"B5", "B6", "D3", "E3"}) {
        EXPECT_TRUE(wrapped.Cell(address).look.wrap) << address;
        EXPECT_EQ(wrapped.Cell(address).look.vertical, "top") << address;
    }
    EXPECT_FALSE(wrapped.Cell("A5").look.wrap);
    EXPECT_EQ(wrapped.Cell("D2").look.vertical, "bottom");
}

TEST_F(MatrixTest, LinksInEitherDirectionMarkOneCellAndAreCounted) {
    TwoByTwo();
    AddLink(S1, test::SOURCE_ID, T1, test::TARGET_ID);
    AddLink(T1, test::TARGET_ID, S1, test::SOURCE_ID);  // the other direction
    AddLink(S2, test::SOURCE_ID, T2, test::TARGET_ID);
    AddLink(S2, test::SOURCE_ID, T2, test::TARGET_ID);        // twice
    AddLink(S2, test::SOURCE_ID, T1, test::TARGET_ID, true);  // undone
    AddLink(S1, test::SOURCE_ID, S2, test::SOURCE_ID);        // inside the source
    AddLink(T1, test::TARGET_ID, T2, test::TARGET_ID);        // inside the target
    ReadWorkbook sheet = Matrix();
    // Each element's count of links beside it: column 3 for rows, row 4 for columns.
    EXPECT_THAT(sheet.Row(4), ElementsAre("", "", "", "1", "1"));
    EXPECT_THAT(sheet.Row(5), ElementsAre("1.0.0.0", "Brakes", "1", MARK));
    EXPECT_THAT(sheet.Row(6), ElementsAre("1.1.0.0", "Stop", "1", "", MARK));
    EXPECT_EQ(sheet.Cell(5, 4).look,
              (Look{.horizontal = "center", .vertical = "center", .size = 18}));
    EXPECT_EQ(sheet.Cell(4, 5).kind, "number");
    EXPECT_EQ(sheet.Value(2, 2), "2");
}

TEST_F(MatrixTest, LinksThatFindNoCellMarkNothingButStillBringTheCounts) {
    TwoByTwo();
    AddLink(S1, test::SOURCE_ID, S2, test::SOURCE_ID);
    ReadWorkbook sheet = Matrix();
    EXPECT_EQ(sheet.Value(2, 2), "0");
    EXPECT_THAT(sheet.Row(4), ElementsAre("", "", "", "0", "0"));
    EXPECT_THAT(sheet.Row(5), ElementsAre("1.0.0.0", "Brakes", "0"));
    EXPECT_THAT(sheet.Row(6), ElementsAre("1.1.0.0", "Stop", "0"));
}

TEST_F(MatrixTest, DocumentsWithoutLiveElementsGiveNoRowsOrColumns) {
    AddElement(S1, test::SOURCE_ID, {1, 0, 0, 0}, "Gone", true);
    AddElement(T1, test::TARGET_ID, {1, 0, 0, 0}, "Test stop");
    AddLink(S1, test::SOURCE_ID, T1, test::TARGET_ID);
    ReadWorkbook noRows = Matrix();
    EXPECT_EQ(noRows.Value(2, 4), "1.0.0.0");
    EXPECT_TRUE(Empty(noRows.Cell(5, 1)));
    EXPECT_TRUE(Empty(noRows.Cell(4, 4))) << "no link was read, so no counts";
    EXPECT_EQ(noRows.Value(2, 2), "0");

    MatrixRequest swapped = Request();
    std::swap(swapped.source, swapped.target);
    ReadWorkbook noColumns = Matrix(swapped);
    EXPECT_EQ(noColumns.Value(5, 1), "1.0.0.0");
    EXPECT_TRUE(Empty(noColumns.Cell(2, 4)));
    EXPECT_TRUE(Empty(noColumns.Cell(5, 3)));
    EXPECT_EQ(noColumns.Value(2, 2), "0");
}

TEST_F(MatrixTest, TheSameDocumentOnBothSidesPlacesALinkAtItsFirstEnd) {
    AddElement(S1, test::SOURCE_ID, {1, 0, 0, 0}, "one");
    AddElement(S2, test::SOURCE_ID, {2, 0, 0, 0}, "two");
    AddElement(S3, test::SOURCE_ID, {3, 0, 0, 0}, "three");
    AddLink(S3, test::SOURCE_ID, S1, test::SOURCE_ID);
    AddLink(S2, test::SOURCE_ID, S3, test::SOURCE_ID);
    MatrixRequest request = Request();
    request.target = request.source;
    ReadWorkbook sheet = Matrix(request);
    EXPECT_EQ(sheet.sheet, "plan.docx-plan.docx");
    EXPECT_EQ(sheet.Value(2, 6), "3.0.0.0");
    EXPECT_EQ(sheet.Value(7, 1), "3.0.0.0");
    // S3-S1: row and column of S1; S2-S3: row and column of S2.
    EXPECT_EQ(sheet.Value(5, 4), MARK);
    EXPECT_EQ(sheet.Value(6, 5), MARK);
    EXPECT_EQ(sheet.Value(2, 2), "2");
    EXPECT_TRUE(Empty(sheet.Cell(7, 6)));
}

TEST_F(MatrixTest, NumbersHaveFourLevelsInNumberOrder) {
    AddElement("ELEMSRC00010", test::SOURCE_ID, {10, 0, 0, 0}, "ten");
    AddElement("ELEMSRC00002", test::SOURCE_ID, {2, 0, 0, 0}, "two");
    AddElement("ELEMSRC01234", test::SOURCE_ID, {1, 2, 3, 10}, "deep");
    AddElement("ELEMSRC00123", test::SOURCE_ID, {1, 2, 3, 4}, "deeper first");
    ReadWorkbook sheet = Matrix();
    EXPECT_THAT(sheet.Row(5), ElementsAre("1.2.3.4", "deeper first"));
    EXPECT_THAT(sheet.Row(6), ElementsAre("1.2.3.10", "deep"));
    EXPECT_THAT(sheet.Row(7), ElementsAre("2.0.0.0", "two"));
    EXPECT_THAT(sheet.Row(8), ElementsAre("10.0.0.0", "ten"));
}

TEST_F(MatrixTest, AtMost255TargetsBecomeColumnsInNumberOrder) {
    AddElement(S1, test::SOURCE_ID, {1, 0, 0, 0}, "Brakes");
    auto target = [](int k) { return "ELEMTGT" + std::to_string(10000 + k); };
    for (int k = 300; k >= 1; --k) {
        AddElement(target(k), test::TARGET_ID, {1, k, 0, 0}, "t" + std::to_string(k));
    }
    AddLink(S1, test::SOURCE_ID, target(255), test::TARGET_ID);
    AddLink(S1, test::SOURCE_ID, target(256), test::TARGET_ID);
    ReadWorkbook sheet = Matrix();
    EXPECT_EQ(sheet.Value(2, 4), "1.1.0.0");
    EXPECT_EQ(sheet.Value(2, 258), "1.255.0.0");
    EXPECT_TRUE(Empty(sheet.Cell(2, 259)));
    EXPECT_EQ(sheet.Value(5, 258), MARK);
    EXPECT_TRUE(Empty(sheet.Cell(5, 259)));
    EXPECT_EQ(sheet.Value(2, 2), "1") << "the link to the 256th has no cell";
}

TEST_F(MatrixTest, AFirstRankKeepsTheColumnsOfThatRank) {
    TwoByTwo();
    AddElement("ELEMTGT00003", test::TARGET_ID, {2, 1, 0, 0}, "Test horn");
    MatrixRequest request = Request();
    request.firstRank = 2;
    ReadWorkbook sheet = Matrix(request);
    EXPECT_THAT(sheet.Row(2), ElementsAre("Number of links : ", "0", "", "2.0.0.0", "2.1.0.0"));
    EXPECT_EQ(sheet.Value(5, 1), "1.0.0.0") << "rows are never filtered";
}

TEST_F(MatrixTest, FirstRankAnswersAreReadByTheirLeadingNumber) {
    for (auto [answer, rank] : {std::pair{"2", 2},
                                {"2abc", 2},
                                {" 3 ", 3},
                                {"2.9", 2},
                                {"256", 256},
                                {"1", 1},
                                {"1e2", 100},
                                {"+4", 4},
                                {"1) OR (1=1", 1}}) {
        EXPECT_EQ(MatrixBuild::FirstRankOf(answer), rank) << answer;
    }
    for (const char* refused :
         {"", "0", "257", "300", "-1", "abc", ".5", "0x10", "inf", "nan", " ", "1e400"}) {
        EXPECT_EQ(MatrixBuild::FirstRankOf(refused), std::nullopt) << refused;
    }
}

TEST_F(MatrixTest, SheetNamesAndLinksSurviveAwkwardPaths) {
    std::string awkward = dir / "Plan [v2]: draft? #1 é.docx";
    AddDocument("DOCAWK01", awkward);
    AddElement(S1, "DOCAWK01", {1, 0, 0, 0}, "Brakes");
    // Each "é" is six characters in a link: 60 of them make it too long.
    std::string accents;
    for (int i = 0; i < 60; ++i) {
        accents += "é";
    }
    std::string deep = dir / (accents + ".docx");
    AddDocument("DOCDEEP1", deep);
    AddElement(T1, "DOCDEEP1", {1, 0, 0, 0}, "Deep");
    MatrixRequest request = Request();
    request.source = {"DOCAWK01", awkward};
    request.target = {"DOCDEEP1", deep};
    ReadWorkbook sheet = Matrix(request);
    // "Plan [v2]: draft? #1 é.docx" and the end of the long name, cut to 30.
    EXPECT_EQ(sheet.sheet, "Plan _v2__ draft_ #1 é.docx-éé");
    EXPECT_EQ(sheet.Cell(5, 1).link, ElementAddress(awkward, S1));
    EXPECT_EQ(sheet.Cell(5, 1).link, "file://" + dir.Path().string() +
                                         "/Plan%20%5Bv2%5D%3A%20draft%3F%20%231%20%C3%A9.docx#" +
                                         S1);
    // A link longer than spreadsheets follow is left out; the number stays.
    EXPECT_EQ(sheet.Value(2, 4), "1.0.0.0");
    EXPECT_EQ(sheet.Cell(2, 4).link, "");

    // The file takes the whole names, as any system names a file, and stays
    // within a file name's 255 bytes.
    EXPECT_EQ(WorkbookStem(MatrixBuild::FileNames(request.source, request.target), NOW),
              "Plan [v2]_ draft_ #1 é.docx-" + accents + ".docx 2026-12-06 14-03-12");
    EXPECT_EQ(WorkbookStem(std::string(199, 'a') + "é", NOW),
              std::string(199, 'a') + " 2026-12-06 14-03-12")
        << "cut on a character, at 200 bytes";
}

TEST_F(MatrixTest, AnErrorLeavesWhatWasWrittenAndSaysWhere) {
    AddElement(S1, test::SOURCE_ID, {1, 0, 0, 0}, "Brakes");
    ExecuteUnchecked(
        "INSERT INTO Elements (E_id, E_DocId, E_label, E_Number1, E_Deleted) "
        "VALUES (?1, ?2, ?3, 2, 0)",
        {S2, test::SOURCE_ID, std::string(40000, 'x')});
    host::Workbook workbook;
    test::Raised failed = test::ErrorOf<host::HostError>(
        [&] { MatrixBuild::Fill(workbook, Request(), context.language, NOW); });
    EXPECT_EQ(failed.number, host::ERR_SHEET_RANGE);
    EXPECT_THAT(failed.text, ::testing::HasSubstr("row 6, column 2"));
    ReadWorkbook sheet = Saved(workbook);
    EXPECT_THAT(sheet.Row(5), ElementsAre("1.0.0.0", "Brakes"));
    EXPECT_THAT(sheet.Row(6), ElementsAre("2.0.0.0"));
}

}  // namespace
}  // namespace veln
