#include "batch_common.h"

#include <optional>

#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/db/db_error.h"
#include "host/docx/docx_application.h"
#include "host/host_error.h"
#include "output_target.h"

namespace veln::cli {

namespace {

// The id of the row a document file is linked to, as the file itself says;
// "" when it says none or cannot be read.
std::string IdCarriedBy(const std::string& path) {
    try {
        std::optional<std::string> id =
            host::docx::OpenDocumentFile(path)->VariableValue(VARDOC_DOC_ID);
        return id ? *id : std::string();
    } catch (const host::HostError&) {
        return {};
    }
}

}  // namespace

const ProjectDocument& Named(const std::vector<ProjectDocument>& documents, const std::string& name,
                             const std::string& database) {
    std::vector<const ProjectDocument*> named = ProjectDocumentsNamed(documents, name);
    if (named.empty()) {
        throw BatchError("no document of the project " + database + " is \"" + name +
                         "\": give its id or its path as the project stores it");
    }
    if (named.size() == 1) {
        if (named.front()->id.empty()) {
            throw BatchError("the project's row for \"" + name +
                             "\" has no id (D_ID): the project database is damaged");
        }
        return *named.front();
    }
    // Rows of a file unlinked and linked again: the live one is the row the
    // file itself is linked to.
    std::string carried = IdCarriedBy(named.front()->path);
    std::string ids;
    for (const ProjectDocument* document : named) {
        if (document->id == carried) {
            return *document;
        }
        ids += (ids.empty() ? "" : ", ") + document->id;
    }
    throw BatchError("\"" + name + "\" names " + std::to_string(named.size()) +
                     " documents of the project " + database + " (ids " + ids +
                     ") and the file is linked to none of them: give the id of the one to use");
}

std::vector<ProjectDocument> DocumentsOf(const std::string& database) {
    return ReadProjectDocuments(schema::OpenProjectDatabase(database, db::OpenMode::ReadOnly));
}

int Reported(const char* command, std::ostream& err, const std::function<void()>& write) {
    try {
        write();
        return 0;
    } catch (const BatchError& error) {
        err << "veln " << command << ": " << error.what() << "\n";
    } catch (const OutputRefused& error) {
        err << "veln " << command << ": " << error.what() << "\n";
    } catch (const db::DbError& error) {
        err << "veln " << command << ": " << error.Description() << " (error " << error.Number()
            << ")\n";
    } catch (const host::HostError& error) {
        err << "veln " << command << ": " << error.Description() << " (error " << error.Number()
            << ")\n";
    } catch (const std::exception& error) {
        // What the project's data brought that no rule above foresaw.
        err << "veln " << command << ": " << error.what() << "\n";
    }
    return 1;
}

}  // namespace veln::cli
