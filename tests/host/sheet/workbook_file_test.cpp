// Saving workbooks: a file is complete or absent, new files never overwrite,
// and LibreOffice Calc reads what is written.
#include <cstdlib>
#include <filesystem>

#include <gmock/gmock.h>
#include <sys/stat.h>

#include "error_of.h"
#include "host/host_error.h"
#include "host/sheet/workbook.h"
#include "libreoffice.h"
#include "shell_output.h"
#include "temp_dir.h"
#include "workbook_reader.h"

namespace veln::host {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr const char* STEM = "Plan-Tests 2026-12-06 14-03-12";
constexpr const char* OLD_CONTENT = "the user's own file";

class WorkbookFileTest : public ::testing::Test {
  protected:
    WorkbookFileTest() { workbook.ActiveSheet().SetText(1, 1, "new"); }
    std::size_t FilesIn(const fs::path& folder) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
    }

    test::TempDir dir;
    Workbook workbook;
};

TEST_F(WorkbookFileTest, NewFilesNeverOverwrite) {
    test::WriteFile(dir / (std::string(STEM) + ".xlsx"), OLD_CONTENT);
    test::WriteFile(dir / (std::string(STEM) + " (2).xlsx"), OLD_CONTENT);
    std::string written = workbook.SaveAsNew(dir.Path().string(), STEM);
    EXPECT_EQ(written, dir / (std::string(STEM) + " (3).xlsx"));
    EXPECT_EQ(test::ReadBack(written).Value(1, 1), "new");
    EXPECT_EQ(test::ReadFile(dir / (std::string(STEM) + ".xlsx")), OLD_CONTENT);
    EXPECT_EQ(test::ReadFile(dir / (std::string(STEM) + " (2).xlsx")), OLD_CONTENT);
    std::string fourth = workbook.SaveAsNew(dir.Path().string(), STEM);
    EXPECT_EQ(fourth, dir / (std::string(STEM) + " (4).xlsx"));
    EXPECT_EQ(test::ReadBack(fourth).Value(1, 1), "new");
    EXPECT_EQ(FilesIn(dir.Path()), 4U) << "nothing half-written is left beside them";
}

TEST_F(WorkbookFileTest, SaveAsReplacesOnlyWithACompleteFile) {
    std::string path = dir / "out.xlsx";
    test::WriteFile(path, OLD_CONTENT);
    workbook.SaveAs(path);
    EXPECT_EQ(test::ReadBack(path).Value(1, 1), "new");
    EXPECT_EQ(FilesIn(dir.Path()), 1U);

    // A folder in the way, or no folder at all: an error naming the path, and
    // nothing written.
    fs::create_directory(dir / "taken.xlsx");
    EXPECT_THAT(test::ErrorOf<HostError>([&] { workbook.SaveAs(dir / "taken.xlsx"); }).text,
                HasSubstr("taken.xlsx"));
    EXPECT_THROW(workbook.SaveAs(dir / "missing/out.xlsx"), HostError);
    EXPECT_THROW(workbook.SaveAsNew(dir / "missing", STEM), HostError);
    // A file where the folder should be (which even root cannot write into).
    EXPECT_THAT(test::ErrorOf<HostError>([&] { workbook.SaveAsNew(path, STEM); }).text,
                HasSubstr("cannot write a file in " + path));
    EXPECT_EQ(FilesIn(dir.Path()), 2U);
}

// Workbooks are the user's files like any other: a new one takes 0666 less the
// umask, a replaced one keeps its mode.
TEST_F(WorkbookFileTest, AWorkbookTakesTheModeOfTheUsersFiles) {
    auto modeOf = [](const std::string& path) {
        return static_cast<int>(fs::status(path).permissions() & fs::perms::mask);
    };
    const mode_t before = umask(022);
    std::string fresh = workbook.SaveAsNew(dir.Path().string(), STEM);
    EXPECT_EQ(modeOf(fresh), 0644);
    umask(027);
    workbook.SaveAs(dir / "out.xlsx");
    EXPECT_EQ(modeOf(dir / "out.xlsx"), 0640);
    fs::permissions(dir / "out.xlsx", fs::perms(0664));
    workbook.SaveAs(dir / "out.xlsx");
    EXPECT_EQ(modeOf(dir / "out.xlsx"), 0664) << "a replaced file keeps its mode";
    umask(before);
}

// Characters XML 1.0 cannot hold (U+0001, U+FFFE, U+FFFF) are written as
// escapes in cells and left out of names, properties and links, so every
// part stays well-formed.
TEST_F(WorkbookFileTest, TextsXmlCannotHoldKeepEveryPartWellFormed) {
    const std::string bad = "\x01\xEF\xBF\xBE\xEF\xBF\xBF";
    workbook.Title = "Matrix" + bad;
    workbook.Subject = bad + "elements";
    Worksheet& sheet = workbook.ActiveSheet();
    sheet.SetName("plan" + bad + ".docx");
    sheet.SetText(2, 1, "Brakes" + bad + " stop");
    sheet.SetText(3, 1, "1.0.0.0");
    ASSERT_TRUE(sheet.AddHyperlink(3, 1, "file:///p/plan.docx#ELEM" + bad + "0001"));
    std::string path = dir / "awkward.xlsx";
    workbook.SaveAs(path);
    test::ShellRun check = test::RunShell("python3 '" VELN_CHECK_PACKAGE "' '" + path + "'");
    EXPECT_EQ(check.status, 0) << check.output;
    test::ReadWorkbook read = test::ReadBack(path);
    EXPECT_EQ(read.sheet, "plan.docx");
    EXPECT_EQ(read.title, "Matrix");
    EXPECT_EQ(read.subject, "elements");
    EXPECT_EQ(read.Value(2, 1), "Brakes" + bad + " stop") << "a cell's text stays exactly";
    EXPECT_EQ(read.Cell(3, 1).link, "file:///p/plan.docx#ELEM0001");
}

// LibreOffice Calc, converting the workbook to a flat OpenDocument
// spreadsheet, finds the sheet name, values, link and formats.
TEST_F(WorkbookFileTest, LibreOfficeCalcReadsTheWorkbook) {
    Worksheet& sheet = workbook.ActiveSheet();
    sheet.SetName("plan.docx-tests.docx");
    sheet.SetText(2, 1, "Number of links : ");
    sheet.SetNumber(2, 2, 3);
    sheet.SetText(5, 1, "1.2.0.0");
    ASSERT_TRUE(sheet.AddHyperlink(5, 1, "file:///projects/plan%20a.docx#ELEM00000001"));
    sheet.SetText(5, 4, "\u2022");
    sheet.Cells(5, 4).SetHorizontalAlignment(xlCenter).SetVerticalAlignment(xlCenter).SetFontSize(
        18);
    sheet.Rows(2).SetBold(true);
    sheet.SetText(6, 1, "code _x0041_ stays");
    std::string path = dir / "matrix.xlsx";
    workbook.SaveAs(path);

    ASSERT_EQ(test::ConvertWithSoffice(dir.Path(), path, "fods", dir.Path(), dir / "matrix.fods"),
              "");
    std::string content = test::ReadFile(dir / "matrix.fods");
    for (const char* part :
         {"table:name=\"plan.docx-tests.docx\"", "<text:p>Number of links : </text:p>",
          "office:value-type=\"float\" office:value=\"3\"",
          // LibreOffice keeps the link relative to where the file is.
          "plan%20a.docx#ELEM00000001\"", ">1.2.0.0</text:a>", "<text:p>\u2022</text:p>",
          "<text:p>code _x0041_ stays</text:p>", "fo:font-size=\"18pt\"", "fo:font-weight=\"bold\"",
          "style:vertical-align=\"middle\""}) {
        EXPECT_NE(content.find(part), std::string::npos) << "not in the converted sheet: " << part;
    }
}

}  // namespace
}  // namespace veln::host
