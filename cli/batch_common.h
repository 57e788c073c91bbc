// What the batch commands share: the project's documents named by the user,
// and every failure turned into a message and status 1.
#pragma once

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "traceability/project_documents.h"

namespace veln::cli {

// What the user asked for does not fit the project.
class BatchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The project's document named by its id or its stored path; a name that
// fits none, or several the file itself does not choose between, is a
// BatchError.
const ProjectDocument& Named(const std::vector<ProjectDocument>& documents, const std::string& name,
                             const std::string& database);
// The documents of the project database at path, read only.
std::vector<ProjectDocument> DocumentsOf(const std::string& database);
// Runs write and turns every failure into a message on err and status 1.
int Reported(const char* command, std::ostream& err, const std::function<void()>& write);

}  // namespace veln::cli
