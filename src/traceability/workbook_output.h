// Handing an output workbook to the user: written into the project
// database's folder under a name of its own, then shown; and the message a
// failed output shows.
#pragma once

#include <functional>
#include <string>

#include "host/sheet/workbook.h"
#include "settings/core_context.h"

namespace veln {

// "plan.docx-tests.docx 2026-12-06 14-03-12": the whole names of the
// documents (the sheet's name is cut to 31 characters, the file's is not)
// and the time, as a file may be named on any system the file is copied
// to: the characters one of them refuses become '_', and the names are cut
// to leave the name within a file name's length.
std::string WorkbookStem(const std::string& names, const std::string& now);

// Where outputs are written: the project database's folder, or for a
// project on a server the user's home folder.
std::string OutputFolder(const CoreContext& context, const std::string& dbPath);

// Builds a workbook with fill and shows it to the user from the output
// folder (OutputFolder), in a file named after names (WorkbookStem). A host or
// database error on the way is shown as the outputs' failure message, and
// what was written by then is shown all the same, as a spreadsheet program
// would have kept it.
void BuildAndShowWorkbook(CoreContext& context, const std::string& dbPath, const std::string& names,
                          const std::function<void(host::Workbook&, const std::string& now)>& fill);

// The failure message of the outputs: the error's description, and its
// number in the title.
void ShowOutputError(CoreContext& context, long number, const std::string& description);

}  // namespace veln
