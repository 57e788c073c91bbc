#include "database/schema.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace veln::schema {

namespace {

// The version of the table layout, kept in the file for later upgrades.
constexpr int SCHEMA_VERSION = 1;

FieldDef TextField(const char* name, int width, bool allowEmpty = false) {
    return {name, FieldType::Text, width, allowEmpty};
}
FieldDef Of(const char* name, FieldType type) {
    return {name, type};
}
FieldDef AutoNumber(const char* name) {
    return {name, FieldType::Long, 0, false, true};
}

std::string Quoted(const std::string& identifier) {
    return "\"" + identifier + "\"";
}

std::string ColumnSql(const FieldDef& field) {
    std::string name = Quoted(field.name);
    std::string sql = name;
    switch (field.type) {
        case FieldType::Text:
            sql += " TEXT CHECK (length(" + name + ") <= " + std::to_string(field.width) + ")";
            break;
        case FieldType::Memo:
        case FieldType::Date:
            sql += " TEXT";
            break;
        case FieldType::Integer:
        case FieldType::Long:
            sql += field.autoIncrement ? " INTEGER PRIMARY KEY AUTOINCREMENT" : " INTEGER";
            break;
        case FieldType::Boolean:
            sql += " INTEGER NOT NULL DEFAULT 0";
            break;
    }
    bool textual = field.type == FieldType::Text || field.type == FieldType::Memo;
    if (textual && !field.allowEmpty) {
        sql += " CHECK (" + name + " <> '')";
    }
    return sql;
}

}  // namespace

const std::vector<TableDef>& ProjectTables() {
    static const std::vector<TableDef> tables{
        {"Documents",
         {TextField("D_ID", 8), TextField("D_Name", 255), TextField("D_Description", 255, true)},
         {{"Primary Key", "D_ID", true}}},
        {"Elements",
         {TextField("E_id", 16), TextField("E_label", 255, true), TextField("E_DocId", 16),
          Of("E_CreateDate", FieldType::Date), Of("E_ModifDate", FieldType::Date),
          Of("E_DeleteDate", FieldType::Date), Of("E_Number1", FieldType::Integer),
          Of("E_Number2", FieldType::Integer), Of("E_Number3", FieldType::Integer),
          Of("E_Number4", FieldType::Integer), Of("E_level", FieldType::Integer),
          Of("E_Deleted", FieldType::Boolean)},
         {{"Primary Key", "E_id", true}}},
        {"Properties",
         {AutoNumber("P_Autonum"), TextField("P_Label", 50), TextField("P_Type", 4),
          Of("P_CreationDate", FieldType::Date), TextField("P_DefaultValue", 16, true),
          TextField("P_MinValue", 16, true), TextField("P_MaxValue", 16, true),
          TextField("P_ComboValues", 64), Of("P_Deleted", FieldType::Boolean)},
         {{"Primary Key", "P_Autonum", true}}},
        {"Links",
         {AutoNumber("L_Autonum"), TextField("L_Id1", 16), TextField("L_DocId1", 16),
          TextField("L_Id2", 16), TextField("L_DocId2", 16), Of("L_CreateDate", FieldType::Date),
          Of("L_DeleteDate", FieldType::Date), Of("L_Deleted", FieldType::Boolean),
          FieldDef{"L_Notes", FieldType::Memo, 0, true}},
         {{"Primary Key", "L_Autonum", true}}},
        {"ElemProperties",
         {Of("P_id", FieldType::Long), TextField("E_id", 16), TextField("PE_value", 64, true)},
         {{"E_id", "E_id", false}, {"P_id", "P_id", false}}},
    };
    return tables;
}

int FieldWidth(const std::string& table, const std::string& field) {
    for (const auto& definition : ProjectTables()) {
        for (const auto& column : definition.fields) {
            if (definition.name == table && column.name == field) {
                return column.width;
            }
        }
    }
    return 0;
}

std::string SqlIndexName(const TableDef& table, const IndexDef& index) {
    return table.name + "_" + index.name;
}

std::string CreateTableSql(const TableDef& table, bool ifMissing) {
    std::string sql = std::string(ifMissing ? "CREATE TABLE IF NOT EXISTS " : "CREATE TABLE ") +
                      Quoted(table.name) + " (";
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        sql += (i == 0 ? "\n  " : ",\n  ") + ColumnSql(table.fields[i]);
    }
    return sql + "\n)";
}

namespace {

void CreateTables(const db::Database& database, const std::vector<TableDef>& tables,
                  bool ifMissing) {
    const std::string missing = ifMissing ? "IF NOT EXISTS " : "";
    for (const auto& table : tables) {
        database.Execute(CreateTableSql(table, ifMissing));
        for (const auto& index : table.indexes) {
            database.Execute(std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                             missing + Quoted(SqlIndexName(table, index)) + " ON " +
                             Quoted(table.name) + " (" + Quoted(index.field) + ")");
        }
    }
}

bool HasTable(const db::Database& database, const std::string& name) {
    return database
               .QueryValue(
                   "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                   "COLLATE NOCASE",
                   {name})
               .ToString() != "0";
}

}  // namespace

void CreateProjectSchema(const db::Database& database) {
    db::Transaction transaction(database);
    CreateTables(database, ProjectTables(), false);
    database.Execute("PRAGMA user_version = " + std::to_string(SCHEMA_VERSION));
    transaction.Commit();
}

const std::vector<TableDef>& TrackingTables() {
    static const std::vector<TableDef> tables{
        {"ElementStamps",
         {TextField("S_ElementId", 16), TextField("S_Fingerprint", 64),
          FieldDef{"S_Text", FieldType::Memo, 0, true}, Of("S_Date", FieldType::Date)},
         {{"Primary Key", "S_ElementId", true}}},
        {"LinkReviews",
         {Of("R_LinkId", FieldType::Long), TextField("R_Fingerprint1", 64),
          FieldDef{"R_Text1", FieldType::Memo, 0, true}, TextField("R_Fingerprint2", 64),
          FieldDef{"R_Text2", FieldType::Memo, 0, true}, Of("R_Date", FieldType::Date),
          TextField("R_User", 64, true), Of("R_Suspect", FieldType::Boolean)},
         {{"Primary Key", "R_LinkId", true}, {"Suspect", "R_Suspect", false}}},
    };
    return tables;
}

void EnsureTrackingTables(const db::Database& database) {
    if (HasTrackingTables(database)) {
        return;
    }
    db::Transaction transaction(database);
    CreateTables(database, TrackingTables(), true);
    transaction.Commit();
}

bool HasTrackingTables(const db::Database& database) {
    return std::all_of(TrackingTables().begin(), TrackingTables().end(),
                       [&](const TableDef& table) { return HasTable(database, table.name); });
}

void CreateProjectDatabaseFile(const std::string& path) {
    // Create refuses an existing file, so whatever is at path from here on is ours.
    std::optional<db::Database> database;
    database.emplace(db::Database::Create(path));
    try {
        CreateProjectSchema(*database);
        database->Close();
    } catch (const db::DbError&) {
        database.reset();
        for (const std::string& file : {path, path + "-journal"}) {
            std::error_code ignored;
            if (std::filesystem::is_regular_file(file, ignored)) {
                std::filesystem::remove(file, ignored);
            }
        }
        throw;
    }
}

namespace {

void RequireProjectTables(const db::Database& database, const std::string& path) {
    for (const auto& table : ProjectTables()) {
        if (!HasTable(database, table.name)) {
            throw db::DbError(
                db::ERR_NOT_A_DATABASE,
                path + " is not a project database (it has no table " + table.name + ")");
        }
    }
}

}  // namespace

db::Database OpenProjectDatabase(const std::string& path, db::OpenMode mode) {
    // Another program's file is refused without a byte of it changing: a file
    // in write-ahead-log mode, which even a read would change, is looked at
    // as it lies first.
    if (mode == db::OpenMode::ReadWrite && db::Database::UsesWriteAheadLog(path)) {
        RequireProjectTables(db::Database::Open(path, db::OpenMode::Snapshot), path);
    }
    db::Database database = db::Database::Open(path, mode);
    RequireProjectTables(database, path);
    if (mode == db::OpenMode::ReadWrite) {
        database.UseRollbackJournal();
    }
    return database;
}

}  // namespace veln::schema
