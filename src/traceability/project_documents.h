// The project's documents as the outputs name them: the chooser's current
// document, a document named on the command line, and the part of a
// chooser's text that names a sheet.
#pragma once

#include <string>
#include <vector>

#include "traceability/document_chooser.h"

namespace veln {

// The document of the chooser's current row; an empty one when none.
ProjectDocument ChosenDocument(const host::ComboBox& chooser,
                               const std::vector<ProjectDocument>& documents);

// The documents a command line names: the one of that id, else every row
// whose stored path is the name (a relative path taken from the current
// folder). A file unlinked and linked again has several rows.
std::vector<const ProjectDocument*> ProjectDocumentsNamed(
    const std::vector<ProjectDocument>& documents, const std::string& name);

// The part of a chooser's text after the last separator, its last length
// characters: how sheets are named after documents.
std::string FileNamePart(const std::string& chooserText, std::size_t length);

}  // namespace veln
