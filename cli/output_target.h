// Where a command-line output may be written. A pipeline's -o replaces what
// is there, so it may name only a new file or a regular file that is none of
// the project's own: never the project database, a document the project
// registers, a folder, a device, a pipe or a socket.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "traceability/document_chooser.h"

namespace veln::cli {

// Says which rule refused the output, naming it.
class OutputRefused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The file to write for output: output itself, or the regular file a
// symbolic link leads to (a save writes through links). Raises OutputRefused.
std::string OutputTarget(const std::string& output, const std::string& database,
                         const std::vector<ProjectDocument>& documents);

}  // namespace veln::cli
