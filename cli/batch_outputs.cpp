#include "batch_outputs.h"

#include <functional>
#include <optional>
#include <stdexcept>

#include "database/doc_variables.h"
#include "database/document_context.h"
#include "database/schema.h"
#include "host/db/db_error.h"
#include "host/docx/docx_application.h"
#include "host/host_error.h"
#include "host/sheet/workbook.h"
#include "host/ui/scripted_ui.h"
#include "output_target.h"
#include "settings/language.h"
#include "traceability/element_value_list.h"
#include "traceability/links_tree_export.h"
#include "traceability/matrix_build.h"
#include "traceability/project_documents.h"

namespace veln::cli {

namespace {

// What the user asked for does not fit the project.
class BatchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

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

// Runs write and turns every failure into a message and status 1.
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

}  // namespace

int WriteMatrix(const MatrixOptions& options, host::System& system, std::ostream& err) {
    return Reported("matrix", err, [&] {
        std::vector<ProjectDocument> documents = DocumentsOf(options.database);
        MatrixRequest request;
        request.dbPath = options.database;
        request.source = Named(documents, options.source, options.database);
        request.target = Named(documents, options.target, options.database);
        request.hyperlinks = options.hyperlinks;
        request.wrap = options.wrap;
        MatrixBuild::Size size = MatrixBuild::CountElements(request);
        if (size.columns > MatrixBuild::COLUMN_LIMIT) {
            if (!options.firstRank) {
                throw BatchError("the target has " + std::to_string(size.columns) +
                                 " live elements, more than the " +
                                 std::to_string(MatrixBuild::COLUMN_LIMIT) +
                                 " columns of a matrix: give --first-rank N to keep those of "
                                 "first-level number N, or swap source and target");
            }
            request.firstRank = options.firstRank;
        }
        Language language{Language::ChooseOffset(system)};
        host::Workbook workbook;
        std::string target = OutputTarget(options.output, options.database, documents);
        MatrixBuild::Fill(workbook, request, language, system.Now());
        workbook.SaveAs(target);
    });
}

int WriteList(const ListOptions& options, std::ostream& err) {
    return Reported("list", err, [&] {
        std::vector<ProjectDocument> documents = DocumentsOf(options.database);
        ElementValueListRequest request;
        request.dbPath = options.database;
        request.document = Named(documents, options.document, options.database);
        request.hyperlinks = options.hyperlinks;
        std::string target = OutputTarget(options.output, options.database, documents);
        host::Workbook workbook;
        ElementValueList::Fill(workbook, request);
        workbook.SaveAs(target);
    });
}

int WriteTree(const TreeOptions& options, host::System& system, std::ostream& err) {
    return Reported("tree", err, [&] {
        std::vector<ProjectDocument> documents = DocumentsOf(options.database);
        LinksTreeDocuments levels;
        levels.rootDocId = Named(documents, options.root, options.database).id;
        levels.treeDocId = Named(documents, options.tree, options.database).id;
        if (!options.leaf.empty()) {
            levels.leafDocId = Named(documents, options.leaf, options.database).id;
        }
        // The dialog builds nothing for a root that is also the tree or the
        // leaf; a pipeline is told so rather than given an empty file.
        if (levels.rootDocId == levels.treeDocId || levels.rootDocId == levels.leafDocId ||
            (!levels.leafDocId.empty() && levels.treeDocId == levels.leafDocId)) {
            throw BatchError("the documents of the three levels must differ");
        }
        std::string target = OutputTarget(options.output, options.database, documents);
        LinksTreeExportOptions look;
        look.hyperlink = options.hyperlinks;
        look.showNumbers = options.numbers;
        look.showLabel = options.labels;
        // Nobody answers: a question of the word processor is an error.
        host::ScriptedUi nobody;
        host::docx::DocxApplication app;
        DocumentContext context(nobody, system, app);
        ExportLinksTree(context, options.database, levels, look).SaveAs(target);
    });
}

}  // namespace veln::cli
