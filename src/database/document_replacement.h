// The replace command: the active document, a later version of a registered
// document, takes over that document's row in its project.
#pragma once

#include "database/document_context.h"

namespace veln::utilElements {

// Asks, then lets the user choose the project database and the document to
// replace (frmListDocs). True when the active document took the row over.
bool ReplaceDocument(DocumentContext& context);

}  // namespace veln::utilElements
