// Linking a document to a project: the command that registers it, the one
// that edits its description, the file-open dialog and paths for display.
#pragma once

#include <string>

#include "database/document_context.h"

namespace veln::utilElements {

// The path a user chose in the file-open dialog, "" when cancelled. filter
// holds "Description|pattern" pairs; a name chosen without an extension is
// looked for with defaultExtension; with OFN_FILEMUSTEXIST a file that does
// not exist is never returned.
std::string ShowOpen(CoreContext& context, const std::string& filter,
                     const std::string& defaultExtension, const std::string& initialFolder,
                     int flags);

// True when the chosen file is a project database; otherwise says what it is
// (not a database, or a database of another program), before anything else
// is asked, and false. The file is only read.
bool IsProjectDatabaseOrSay(CoreContext& context, const std::string& path);

// Links the active document to a project database the user chooses: a new
// Documents row, and the variables that name the database and the row.
// False, with the variables as they were, when nothing was linked.
bool RegisterDocument(DocumentContext& context);

// Lets the user change the description stored in the document's row.
void EditDocumentDescription(DocumentContext& context);

// The path, or a shorter form of it for display ("/home/.../plan.docx").
std::string ShortenPath(const std::string& path, int maxLength);

}  // namespace veln::utilElements
