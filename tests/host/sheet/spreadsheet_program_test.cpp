// Handing a workbook to the spreadsheet program: the user's viewer or the
// desktop's opener, the path as one argument that no shell ever reads, and
// nothing started without a display.
#include "host/sheet/spreadsheet_program.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <unistd.h>

#include "host/system/posix_system.h"
#include "temp_dir.h"

namespace veln::host {
namespace {

namespace fs = std::filesystem;

class SpreadsheetProgramTest : public ::testing::Test {
  protected:
    SpreadsheetProgramTest() {
        // Writes how many arguments it got and the first, then signs off.
        test::WriteFile(viewer, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" + seen +
                                    ".part' && mv '" + seen + ".part' '" + seen + "'\n");
        fs::permissions(viewer, fs::perms::owner_all);
    }
    // Waits for the viewer to sign off; a ceiling, not a measure.
    std::string Seen() {
        for (int i = 0; i < 3000 && !fs::exists(seen); ++i) {
            usleep(10000);
        }
        return test::ReadFile(seen);
    }

    test::TempDir dir;
    std::string viewer = dir / "viewer";
    std::string seen = dir / "seen";
};

TEST_F(SpreadsheetProgramTest, TheViewerGetsThePathAsOneArgumentAndNoShellSeesIt) {
    std::string marker = dir / "run-by-a-shell";
    std::string path = dir / ("Plan $(touch " + marker + "); `touch " + marker + "` 'x'.xlsx");
    PosixSystem system(FixedEnvironment({{"DISPLAY", ":0"}, {SHEET_VIEWER_VARIABLE, viewer}}));
    EXPECT_EQ(SheetViewer(system), viewer);
    ASSERT_TRUE(OpenInSpreadsheetProgram(system, path));
    EXPECT_EQ(Seen(), "1\n" + path + "\n");
    EXPECT_FALSE(fs::exists(marker));

    PosixSystem wayland(
        FixedEnvironment({{"WAYLAND_DISPLAY", "wayland-0"}, {SHEET_VIEWER_VARIABLE, viewer}}));
    fs::remove(seen);
    ASSERT_TRUE(OpenInSpreadsheetProgram(wayland, "/tmp/b.xlsx"));
    EXPECT_EQ(Seen(), "1\n/tmp/b.xlsx\n");
}

TEST_F(SpreadsheetProgramTest, NoDisplayOrNoProgramStartsNothing) {
    PosixSystem headless(FixedEnvironment({{SHEET_VIEWER_VARIABLE, viewer}}));
    EXPECT_FALSE(OpenInSpreadsheetProgram(headless, "/tmp/a.xlsx"));
    PosixSystem missing(
        FixedEnvironment({{"DISPLAY", ":0"}, {SHEET_VIEWER_VARIABLE, dir / "no-such-viewer"}}));
    EXPECT_FALSE(OpenInSpreadsheetProgram(missing, "/tmp/a.xlsx"));
    EXPECT_EQ(SheetViewer(PosixSystem(FixedEnvironment({}))), "xdg-open");
    // Had either started it, it would have signed off with a.xlsx first.
    PosixSystem shown(FixedEnvironment({{"DISPLAY", ":0"}, {SHEET_VIEWER_VARIABLE, viewer}}));
    ASSERT_TRUE(OpenInSpreadsheetProgram(shown, "/tmp/c.xlsx"));
    EXPECT_EQ(Seen(), "1\n/tmp/c.xlsx\n");
}

}  // namespace
}  // namespace veln::host
