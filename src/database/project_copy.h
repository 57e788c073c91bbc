// A whole project copied from one project database to another: a file to a
// server, a server to a file, or between two of either. The target is made
// (a file) or must be empty (a server's database); everything is written in
// one transaction and every table's rows and values read back and compared
// before it commits.
#pragma once

#include <string>
#include <vector>

#include "host/db/database.h"

namespace veln::dbProject {

struct CopiedTable {
    std::string name;
    long rows = 0;
};

// Copies the project at from into the new project database to; returns the
// tables copied and their rows. A failure, or a copy that does not read back
// as the original, raises and leaves no project at to (a file made is
// removed again).
std::vector<CopiedTable> Copy(const std::string& from, const std::string& to);

}  // namespace veln::dbProject
