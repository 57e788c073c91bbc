#include "host/sheet/spreadsheet_program.h"

namespace veln::host {

namespace {

// The desktop's own opener of files, which picks the user's program for each.
constexpr const char* DESKTOP_OPENER = "xdg-open";

}  // namespace

std::string SheetViewer(const System& system) {
    std::string viewer = system.Environment(SHEET_VIEWER_VARIABLE);
    return viewer.empty() ? std::string(DESKTOP_OPENER) : viewer;
}

bool OpenInSpreadsheetProgram(System& system, const std::string& path) {
    if (system.Environment("DISPLAY").empty() && system.Environment("WAYLAND_DISPLAY").empty()) {
        return false;
    }
    return system.StartProcess(SheetViewer(system), {path});
}

}  // namespace veln::host
