// Handing an output workbook to the user: written into the project
// database's folder under a name of its own, then shown; and the message a
// failed output shows.
#pragma once

#include <functional>
#include <string>

#include "host/sheet/workbook.h"
#include "settings/core_context.h"

namespace veln {

// "Plan-Tests 2026-12-06 14-03-12": the sheet's name and the time, as a
// file may be named.
std::string WorkbookStem(const std::string& sheetName, const std::string& now);

// Builds a workbook with fill and shows it to the user from the project
// database's folder. A host or database error on the way is shown as the
// outputs' failure message, and what was written by then is shown all the
// same, as a spreadsheet program would have kept it.
void BuildAndShowWorkbook(CoreContext& context, const std::string& dbPath,
                          const std::function<void(host::Workbook&, const std::string& now)>& fill);

// The failure message of the outputs: the error's description, and its
// number in the title.
void ShowOutputError(CoreContext& context, long number, const std::string& description);

}  // namespace veln
