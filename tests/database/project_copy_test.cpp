// A whole project copied between a SQLite file and a database on a real
// PostgreSQL server, both ways, and read back row by row: what the copy
// holds, the ids the copy draws next, and the targets it refuses.
#include "database/project_copy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/db_stamps.h"
#include "database/schema.h"
#include "error_of.h"
#include "postgres_server.h"
#include "world.h"

namespace veln::dbProject {
namespace {

using test::ErrorOf;
using test::Raised;
using ::testing::HasSubstr;

// Every row of every table of a project, in the order made, one line each.
std::string Contents(const std::string& name) {
    db::Database database = schema::OpenProjectDatabase(name, db::OpenMode::ReadOnly);
    std::vector<schema::TableDef> tables = schema::ProjectTables();
    if (schema::HasTrackingTables(database)) {
        tables.insert(tables.end(), schema::TrackingTables().begin(),
                      schema::TrackingTables().end());
    }
    std::string text;
    for (const schema::TableDef& table : tables) {
        db::Statement rows = database.Prepare("SELECT * FROM " + table.name + " ORDER BY rowid");
        while (rows.Step()) {
            text += table.name;
            for (const schema::FieldDef& field : table.fields) {
                text += "|" + rows.Field(field.name).ToString();
            }
            text += "\n";
        }
    }
    return text;
}

// A project of two documents with an element each, a property, a value, a
// link and their readings.
class ProjectCopyTest : public ::testing::Test, public test::World {
  protected:
    ProjectCopyTest() {
        db::Database db = schema::OpenProjectDatabase(database);
        db.Execute(
            "INSERT INTO Documents (D_ID, D_Name, D_Description) VALUES "
            "('DOCREQ01', '/work/req.docx', 'Requirements'), "
            "('DOCDES02', '/work/design.docx', NULL)");
        db.Execute(
            "INSERT INTO Elements (E_id, E_label, E_DocId, E_CreateDate, E_Number1, "
            "E_Number2, E_Number3, E_Number4, E_level, E_Deleted) VALUES "
            "('ELEMREQ1', 'Stop «vite»', 'DOCREQ01', '2026-12-08 10:00:00', 1, 0, 0, 0, "
            "1, 0), ('ELEMDES1', 'Discs', 'DOCDES02', NULL, 70000, 0, 0, 0, 1, 1)");
        db.Execute(
            "INSERT INTO Properties (P_Label, P_Type, P_ComboValues, P_Deleted) VALUES "
            "('Status', 'COMB', 'Draft;Done', 0)");
        db.Execute(
            "INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (1, 'ELEMREQ1', "
            "'Done')");
        db.Execute(
            "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_Deleted, L_Notes) "
            "VALUES ('ELEMREQ1', 'DOCREQ01', 'ELEMDES1', 'DOCDES02', 0, 'it''s so')");
        dbStamps::Record(db, "DOCREQ01", {{"ELEMREQ1", "abc", "Stop quickly"}}, "now", "tester");
    }

    test::PostgresServer& server = test::SharedPostgresServer();
};

TEST_F(ProjectCopyTest, AProjectGoesToAServerAndBackAsItWas) {
    static int made = 0;
    const std::string name = "copied" + std::to_string(++made);
    const std::string onServer = server.CreateDatabase(name);
    const std::vector<CopiedTable> copied = Copy(database, onServer);
    ASSERT_EQ(copied.size(), 7U);
    EXPECT_EQ(copied[1].name, "Elements");
    EXPECT_EQ(copied[1].rows, 2);
    EXPECT_EQ(Contents(onServer), Contents(database));

    Copy(onServer, dir / "back.mdb");
    EXPECT_EQ(Contents(dir / "back.mdb"), Contents(database));

    // The copy draws its next ids after the rows it took over.
    for (const std::string& copy : {onServer, dir / "back.mdb"}) {
        db::Database db = schema::OpenProjectDatabase(copy);
        db.Execute(
            "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2) VALUES "
            "('ELEMDES1', 'DOCDES02', 'ELEMREQ1', 'DOCREQ01')");
        EXPECT_EQ(db.QueryValue("SELECT max(L_Autonum) FROM Links").ToString(), "2") << copy;
    }
    server.DropDatabase(name);
}

TEST_F(ProjectCopyTest, ATargetThatHoldsSomethingIsRefusedAndKeptAsItWas) {
    // A file that exists, even an empty project's.
    schema::CreateProjectDatabaseFile(dir / "other.mdb");
    const std::string before = Contents(dir / "other.mdb");
    Raised refused = ErrorOf<db::DbError>([&] { Copy(database, dir / "other.mdb"); });
    EXPECT_EQ(refused.number, db::ERR_CANT_OPEN);
    EXPECT_EQ(Contents(dir / "other.mdb"), before);

    // A server database with a table of its own.
    const std::string busy = server.CreateDatabase("busy");
    server.Execute("busy", "CREATE TABLE Notes (N_Text TEXT)");
    refused = ErrorOf<db::DbError>([&] { Copy(database, busy); });
    EXPECT_THAT(refused.text, HasSubstr("already holds tables"));
    EXPECT_EQ(db::Database::Open(busy)
                  .QueryValue("SELECT count(*) FROM information_schema.tables "
                              "WHERE table_schema = 'public'")
                  .ToString(),
              "1");
    server.DropDatabase("busy");

    // What is not a project is never copied, and no file is left behind.
    test::WriteFile(dir / "notes.txt", "notes\n");
    refused = ErrorOf<db::DbError>([&] { Copy(dir / "notes.txt", dir / "fresh.mdb"); });
    EXPECT_EQ(refused.number, db::ERR_NOT_A_DATABASE);
    EXPECT_FALSE(std::filesystem::exists(dir / "fresh.mdb"));
}

}  // namespace
}  // namespace veln::dbProject
