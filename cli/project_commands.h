// The commands on whole project databases: veln project create NAME and
// veln project copy FROM TO, a NAME being a file or a server's database
// (postgresql://host[:port]/dbname[?sslmode=...]).
#pragma once

#include <ostream>
#include <string>

namespace veln::cli {

struct ProjectOptions {
    std::string name;  // create: the project database to make
    std::string from;  // copy
    std::string to;
};

// Each says what it did on out and returns 0, or 1 after a message on err.
int CreateProject(const ProjectOptions& options, std::ostream& out, std::ostream& err);
int CopyProject(const ProjectOptions& options, std::ostream& out, std::ostream& err);

}  // namespace veln::cli
