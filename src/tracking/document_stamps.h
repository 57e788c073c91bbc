// Reading a linked document's elements into the project: each element's
// fingerprint and text, when the document is attached and when it is saved.
#pragma once

#include <string>
#include <vector>

#include "database/db_stamps.h"
#include "database/document_context.h"

namespace veln::tracking {

// The readings of the elements of the document (bookmarks named as
// elements), in the document's order.
std::vector<dbStamps::Reading> ReadElements(const host::Document& document);
// Records the readings of the active document when it is linked to a project;
// nothing otherwise. The user is the one the system runs for.
void StampActiveDocument(DocumentContext& context);

}  // namespace veln::tracking
