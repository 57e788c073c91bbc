#include "project_commands.h"

#include "batch_common.h"
#include "database/db_documents.h"
#include "database/doc_variables.h"
#include "database/project_copy.h"
#include "database/schema.h"
#include "host/docx/docx_application.h"
#include "host/system/posix_system.h"
#include "host/ui/scripted_ui.h"

namespace veln::cli {

int CreateProject(const ProjectOptions& options, std::ostream& out, std::ostream& err) {
    return Reported("project create", err, [&] {
        schema::CreateProjectDatabaseFile(options.name);
        out << "project database created: " << options.name << "\n";
    });
}

int CopyProject(const ProjectOptions& options, std::ostream& out, std::ostream& err) {
    return Reported("project copy", err, [&] {
        for (const dbProject::CopiedTable& table : dbProject::Copy(options.from, options.to)) {
            out << table.name << ": " << table.rows << " row" << (table.rows == 1 ? "" : "s")
                << " copied and compared\n";
        }
        out << "project copied: " << options.from << " -> " << options.to << "\n";
    });
}

int RelinkDocuments(const ProjectOptions& options, std::ostream& out, std::ostream& err) {
    std::optional<db::Database> project;
    int status = Reported("project relink", err, [&] {
        project.emplace(schema::OpenProjectDatabase(options.to, db::OpenMode::Snapshot));
    });
    if (status != 0) {
        return status;
    }
    for (const std::string& path : options.documents) {
        status |= Reported("project relink", err, [&] {
            // Nobody answers: a question of the word processor is an error.
            host::ScriptedUi nobody;
            host::PosixSystem system;
            host::docx::DocxApplication app;
            DocumentContext context(nobody, system, app);
            host::Document& document = app.OpenDocument(path);
            const std::string docId = utilElements::GetDocId(context);
            if (docId.empty()) {
                throw BatchError(path + " is linked to no project");
            }
            if (!dbDocuments::Find(*project, docId)) {
                throw BatchError(path + ": its document " + docId + " is not in " + options.to);
            }
            utilElements::SetDbName(context, options.to);
            document.Save();
            out << path << ": linked to " << options.to << "\n";
        });
    }
    return status;
}

}  // namespace veln::cli
