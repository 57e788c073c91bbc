// A new workbook as the system fills it: one sheet, the title and subject
// document properties, and its saving as an .xlsx file that the user's
// spreadsheet program opens.
#pragma once

#include <string>

#include "host/sheet/worksheet.h"

namespace veln::host {

class Workbook {
  public:
    // The sheet the system writes: the first, and only, sheet.
    Worksheet& ActiveSheet() { return sheet_; }
    const Worksheet& ActiveSheet() const { return sheet_; }

    std::string Title;
    std::string Subject;

    // Writes the workbook to path, replacing a file there only once the new
    // one is complete: a failed save leaves the old file, or nothing.
    void SaveAs(const std::string& path) const;
    // Writes the workbook into folder as "stem.xlsx", or "stem (2).xlsx",
    // "stem (3).xlsx"... when that name is taken: nothing is ever overwritten.
    // Returns the path written.
    std::string SaveAsNew(const std::string& folder, const std::string& stem) const;

  private:
    Worksheet sheet_;
};

}  // namespace veln::host
