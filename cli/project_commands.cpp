#include "project_commands.h"

#include "batch_common.h"
#include "database/project_copy.h"
#include "database/schema.h"

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

}  // namespace veln::cli
