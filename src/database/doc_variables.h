// The document variables that link a document to its project, and their
// reading and writing on the active document.
#pragma once

#include <initializer_list>
#include <string>

#include "database/document_context.h"

namespace veln {

inline constexpr const char* VARDOC_DB_NAME = "VARDOC_DB_NAME";
// The project database's path relative to the document's folder, so that a
// project folder copied or moved whole finds its own database.
inline constexpr const char* VARDOC_DB_RELATIVE = "VARDOC_DB_RELATIVE";
inline constexpr const char* VARDOC_DOC_ID = "VARDOC_DOC_ID";
inline constexpr const char* VARDOC_HIGHLIGHT = "VARDOC_HIGHLIGHT";
inline constexpr const char* VARDOC_NUMBERS = "VARDOC_NUMBERS";
inline constexpr const char* HIGHLIGHT_COLOR = "HIGHLIGHT_COLOR";
inline constexpr const char* VARDOC_CHANGEELEM = "VARDOC_CHANGEELEM";

namespace utilElements {

// The variable's value in the active document, "" when it has none (or no
// document is open).
std::string GetDocVariable(DocumentContext& context, const std::string& name);
// Sets the value, adding the variable when needed.
void SetDocVariable(DocumentContext& context, const std::string& name, const std::string& value);
// Deletes the variable and saves the document, when the variable exists.
void DeleteDocVariable(DocumentContext& context, const std::string& name);
// Deletes those of the variables that exist, then saves the document once:
// a failing save leaves the file with all of them, never with some.
void DeleteDocVariables(DocumentContext& context, std::initializer_list<const char*> names);
std::string GetDbName(DocumentContext& context);
// Names the project database of the active document: its path, and its path
// from the document's folder when the document has one.
void SetDbName(DocumentContext& context, const std::string& dbPath);
// Brings the relative path in step with where the document and its database
// are now (before a save: no change of its own is made to a document).
void RefreshDbRelative(DocumentContext& context);
std::string GetDocId(DocumentContext& context);

}  // namespace utilElements
}  // namespace veln
