#include "batch_outputs.h"

#include <functional>
#include <optional>
#include <stdexcept>

#include "batch_common.h"
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
