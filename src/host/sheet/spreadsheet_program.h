// Handing a written workbook to the user's spreadsheet program.
#pragma once

#include <string>

#include "host/system/system.h"

namespace veln::host {

// The environment variable naming the program that shows workbooks.
inline constexpr const char* SHEET_VIEWER_VARIABLE = "VELN_SHEET_VIEWER";

// The program that shows workbooks: $VELN_SHEET_VIEWER, else xdg-open.
std::string SheetViewer(const System& system);

// Starts the sheet viewer with the workbook's path as its one argument, as a
// separate process and never through a shell, when there is a display to
// show it on ($DISPLAY or $WAYLAND_DISPLAY). False when nothing was started:
// the caller then tells the user where the file is.
bool OpenInSpreadsheetProgram(System& system, const std::string& path);

}  // namespace veln::host
