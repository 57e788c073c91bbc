// The commands on whole project databases: veln project create NAME,
// veln project copy FROM TO and veln project relink DOC... --to NAME, a NAME
// being a file or a server's database
// (postgresql://host[:port]/dbname[?sslmode=...]).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace veln::cli {

struct ProjectOptions {
    std::string name;                    // create: the project database to make
    std::string from;                    // copy
    std::string to;                      // copy, relink
    std::vector<std::string> documents;  // relink
};

// Each says what it did on out and returns 0, or 1 after a message on err.
int CreateProject(const ProjectOptions& options, std::ostream& out, std::ostream& err);
int CopyProject(const ProjectOptions& options, std::ostream& out, std::ostream& err);
// Links each document to the project database to, which must hold its row
// (as a copy of its project does); a document that cannot be is left as it
// was, and the others are linked all the same.
int RelinkDocuments(const ProjectOptions& options, std::ostream& out, std::ostream& err);

}  // namespace veln::cli
