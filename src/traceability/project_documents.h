// The documents of a project as the output dialogs and the command line offer
// them: id and stored path, in the order the database gives them.
#pragma once

#include <string>
#include <vector>

#include "host/db/database.h"
#include "host/ui/controls.h"

namespace veln {

struct ProjectDocument {
    std::string id;    // D_ID, "" when no document is chosen
    std::string path;  // D_Name, the full path stored for it
};

// Every row of the Documents table.
std::vector<ProjectDocument> ReadProjectDocuments(const db::Database& database);

// How a chooser shows a document: its path, shortened for display.
std::string ChooserText(const ProjectDocument& document);

// Gives the documents to a chooser: column 0 the id (not shown), column 1
// the path as shown. Nothing is selected.
void FillDocumentChooser(host::ComboBox& chooser, const std::vector<ProjectDocument>& documents);

// The document of the chooser's current row; an empty one when none.
ProjectDocument ChosenDocument(const host::ComboBox& chooser,
                               const std::vector<ProjectDocument>& documents);

// The document a command line names: by its id, else by its stored path (a
// relative path taken from the current folder); nullptr when none matches.
const ProjectDocument* FindProjectDocument(const std::vector<ProjectDocument>& documents,
                                           const std::string& name);

// The part of a chooser's text after the last separator, its last length
// characters: how sheets are named after documents.
std::string FileNamePart(const std::string& chooserText, std::size_t length);

}  // namespace veln
