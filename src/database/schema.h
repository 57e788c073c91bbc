// The five tables of a project database, field by field, and their indexes:
// the one definition that creating a database, checking one and the tests read.
// Beside them, the tracking tables: the element texts read and the links
// reviewed, which a project gets at the first write that needs them.
#pragma once

#include <string>
#include <vector>

#include "host/db/database.h"

namespace veln::schema {

enum class FieldType { Text, Memo, Integer, Long, Boolean, Date };

struct FieldDef {
    std::string name;
    FieldType type;
    int width = 0;            // maximum length of a Text field
    bool allowEmpty = false;  // a Text or Memo field that accepts ""
    bool autoIncrement = false;
};

struct IndexDef {
    std::string name;  // as the system names it ("Primary Key")
    std::string field;
    bool unique = false;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
};

// Documents, Elements, Properties, Links, ElemProperties, in creation order.
const std::vector<TableDef>& ProjectTables();

// The width of a Text field ("Documents", "D_Name" gives 255).
int FieldWidth(const std::string& table, const std::string& field);

// SQLite index names are database-wide, so each carries its table's name.
std::string SqlIndexName(const TableDef& table, const IndexDef& index);
std::string CreateTableSql(const TableDef& table, bool ifMissing = false,
                           db::EngineKind kind = db::EngineKind::Sqlite);

// ElementStamps (an element's last reading: fingerprint, text, date) and
// LinkReviews (a link's ends as last reviewed: fingerprints, texts, date,
// user, and whether an end read otherwise since, kept with each reading so
// that the outputs find suspect links without weighing every link). Older
// programs see a project with them as they saw it before.
const std::vector<TableDef>& TrackingTables();
// Makes the tracking tables that are missing, in one transaction.
void EnsureTrackingTables(const db::Database& database);
// Whether the project has both: reading a project never makes them.
bool HasTrackingTables(const db::Database& database);

// Builds the five tables and their indexes in one transaction.
void CreateProjectSchema(const db::Database& database);
// The same inside the caller's transaction, the tracking tables too when asked.
void CreateProjectTables(const db::Database& database, bool tracking);
// Whether the database holds any table: a project is made only in an empty one.
bool HasAnyTable(const db::Database& database);

// Creates a new project database file at path. On failure nothing is left at
// path (nor its journal) and the error is raised. A server's database (a
// postgresql:// name) must exist and be empty; it is left so on failure.
void CreateProjectDatabaseFile(const std::string& path);

// Opens a project database, refusing with ERR_NOT_A_DATABASE a file that is
// not a database or lacks one of the five tables.
db::Database OpenProjectDatabase(const std::string& path,
                                 db::OpenMode mode = db::OpenMode::ReadWrite);

}  // namespace veln::schema
