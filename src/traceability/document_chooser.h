// The project's documents as the choosers of the link, tree and output
// dialogs offer them: the id in a hidden column, the stored path shortened
// for display.
#pragma once

#include <string>
#include <vector>

#include "host/db/database.h"
#include "host/ui/controls.h"

namespace veln {

struct ProjectDocument {
    std::string id;    // D_ID
    std::string path;  // D_Name: the full path stored when the document was linked
};

// The longest path a chooser shows unshortened.
inline constexpr int CHOOSER_PATH_LENGTH = 60;

// Every document row of the project, in the order the rows were made.
std::vector<ProjectDocument> ReadProjectDocuments(const db::Database& database);
// The path as a chooser shows it.
std::string ChooserText(const std::string& path);
// Two columns: the id (hidden) and the path as shown. No row is chosen.
void FillDocumentChooser(host::ComboBox& chooser, const std::vector<ProjectDocument>& documents);
// Chooses the row of the document stored under path (the active document's
// full name); none chosen when no row has it.
void ChooseDocumentAt(host::ComboBox& chooser, const std::vector<ProjectDocument>& documents,
                      const std::string& path);
// The id of the chooser's current row, "" when it has none.
std::string ChosenDocumentId(const host::ComboBox& chooser);

}  // namespace veln
