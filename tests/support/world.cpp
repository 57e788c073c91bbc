#include "world.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <tuple>

#include "addin/this_application.h"
#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/db/database.h"
#include "host/word/range.h"
#include "postgres_server.h"

namespace veln::test {

host::EnvironmentLookup UserEnvironment(const TempDir& folder, const std::string& locale) {
    std::map<std::string, std::string> variables{{"HOME", folder.Path().string()},
                                                 {"XDG_CONFIG_HOME", folder / "config"},
                                                 {"XDG_DATA_HOME", folder / "data"},
                                                 {"LANG", locale}};
    // The program folder of the build tree, which the test runner names.
    if (const char* home = std::getenv("VELN_HOME")) {  // NOLINT(concurrency-mt-unsafe)
        variables["VELN_HOME"] = home;
    }
    return host::FixedEnvironment(std::move(variables));
}

bool OnServer() {
    const char* engine = std::getenv("VELN_TEST_DATABASE");  // NOLINT(concurrency-mt-unsafe)
    return engine != nullptr && std::string(engine) == "postgresql";
}

ProjectStore::ProjectStore(const TempDir& dir) {
    if (!OnServer()) {
        database = dir / DATABASE_FILE;
        return;
    }
    static int made = 0;
    serverDatabase = "project" + std::to_string(++made);
    database = SharedPostgresServer().CreateDatabase(serverDatabase);
}

ProjectStore::~ProjectStore() {
    if (!serverDatabase.empty()) {
        try {
            SharedPostgresServer().DropDatabase(serverDatabase);
        } catch (const std::exception&) {
            // The server goes with the program.
        }
    }
}

World::World(const std::string& locale)
    : ProjectStore(dir), Services(UserEnvironment(dir, locale)) {
    schema::CreateProjectDatabaseFile(database);
    app.StartupPath = system.StartupFolder();
}

host::Document& World::NewDocument(const std::vector<std::string>& paragraphs,
                                   const std::string& fileName, const std::string& docId) {
    host::Document& document = app.AddDocument();
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        document.Content().InsertAfter((i == 0 ? "" : "\r") + paragraphs[i]);
    }
    document.SaveAs(dir / fileName);
    if (!docId.empty()) {
        db::Database::Open(database).Execute("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2)",
                                             {docId, document.FullName()});
        utilElements::SetDocVariable(context, VARDOC_DB_NAME, database);
        utilElements::SetDocVariable(context, VARDOC_DOC_ID, docId);
    }
    return document;
}

host::Document& World::EightParagraphs(const std::string& fileName) {
    std::vector<std::string> paragraphs;
    for (int i = 1; i <= 8; ++i) {
        paragraphs.push_back("P" + std::to_string(i) + " text of paragraph " + std::to_string(i));
    }
    return NewDocument(paragraphs, fileName);
}

std::pair<long, long> World::Paragraph(int n) {
    long at = 0;
    for (int i = 1; i < n; ++i) {
        at = Document().ParagraphAt(at).second;
    }
    return Document().ParagraphAt(at);
}

void AddLinkedProjectRows(const std::string& database) {
    db::Database project = db::Database::Open(database);
    for (auto [id, doc, number, label] : {std::tuple{"R1", REQUIREMENTS_DOC, 1, "Stop within 40 m"},
                                          std::tuple{"R2", REQUIREMENTS_DOC, 2, "Stop straight"},
                                          std::tuple{"T1", TESTS_DOC, 1, "Dry road test"},
                                          std::tuple{"T2", TESTS_DOC, 2, "Lane test"}}) {
        project.Execute(
            "INSERT INTO Elements (E_id, E_DocId, E_Number1, E_Number2, E_Number3, E_Number4, "
            "E_level, E_label, E_Deleted) VALUES (?1, ?2, ?3, 0, 0, 0, 1, ?4, 0)",
            {id, doc, number, label});
    }
    project.Execute(
        "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_Deleted) "
        "VALUES ('R2', ?1, 'T2', ?2, 0)",
        {REQUIREMENTS_DOC, TESTS_DOC});
}

void World::MakeStartupTemplate() {
    std::filesystem::create_directories(system.StartupFolder());
    host::Document& blank = app.AddDocument(false);
    blank.SaveAs((std::filesystem::path(system.StartupFolder()) / addin::GLOBAL_TEMPLATE).string(),
                 host::SaveFormat::Template);
    app.CloseDocument(blank);
}

std::string World::Query(const std::string& sql) const {
    return db::Database::Open(database).QueryValue(sql).ToString();
}

}  // namespace veln::test
