#include "bench_project.h"

#include <filesystem>
#include <utility>

#include "database/doc_variables.h"
#include "database/schema.h"
#include "elements/elements.h"
#include "generated_document.h"
#include "host/db/database.h"
#include "host/docx/docx_application.h"
#include "postgres_server.h"

namespace veln::bench {

namespace {

void Link(const BenchProject& project) {
    auto document = host::docx::OpenDocumentFile(project.documentPath);
    document->SetVariableValue(VARDOC_DB_NAME, project.databasePath);
    document->SetVariableValue(VARDOC_DOC_ID, test::DOCUMENT_ID);
    document->SetVariableValue(VARDOC_NUMBERS, "1");
    document->SetVariableValue(VARDOC_HIGHLIGHT, "1");
    document->SetVariableValue(HIGHLIGHT_COLOR, " 5");
    document->Save();
}

void Register(const BenchProject& project) {
    db::Database database = db::Database::Open(project.databasePath);
    db::Transaction transaction(database);
    database.Execute("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2)",
                     {test::DOCUMENT_ID,
                      std::filesystem::absolute(project.documentPath).lexically_normal().string()});
    db::Statement element = database.Prepare(
        "INSERT INTO Elements (E_id, E_DocId, E_level, E_Number1) VALUES (?1, ?2, ?3, ?4)");
    for (int i = 0; i < project.shape.elements; ++i) {
        element.BindAll({BenchProject::ElementId(i), test::DOCUMENT_ID, project.shape.level(i),
                         project.shape.numbered ? db::Value(std::int64_t{i + 1}) : db::Value()});
        element.Run();
        element.Reset();
    }
    transaction.Commit();
}

}  // namespace

BenchProject::BenchProject(ProjectShape chosen)
    : shape(std::move(chosen)),
      documentPath(folder / "doc.docx"),
      databasePath(folder / test::DATABASE_FILE) {
    if (test::OnServer()) {
        // VELN_TEST_DATABASE=postgresql: the project on the program's own server.
        static int made = 0;
        databasePath =
            test::SharedPostgresServer().CreateDatabase("benchproject" + std::to_string(++made));
    }
    WriteGeneratedDocx(documentPath, shape.paragraphs, shape.elements);
    schema::CreateProjectDatabaseFile(databasePath);
    if (shape.linked) {
        Link(*this);
    }
    Register(*this);
}

std::string BenchProject::ElementId(int i) {
    return "ELEM" + std::to_string(10000000 + i);
}

BenchSession::BenchSession(const BenchProject& project) {
    app.OpenDocument(project.documentPath);
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, project.databasePath);
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, test::DOCUMENT_ID);
    for (int i = 0; i < project.shape.elements; ++i) {
        Element element;
        element.ElementID = BenchProject::ElementId(i);
        element.ElementDocId = test::DOCUMENT_ID;
        element.ElementLevel = project.shape.level(i);
        context.loadedElements.Add(element);
    }
}

}  // namespace veln::bench
