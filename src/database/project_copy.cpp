#include "database/project_copy.h"

#include <filesystem>
#include <optional>

#include "database/schema.h"

namespace veln::dbProject {

namespace {

// The table's fields, in their order, as a statement's list.
std::string FieldList(const schema::TableDef& table) {
    std::string list;
    for (const schema::FieldDef& field : table.fields) {
        list += (list.empty() ? "" : ", ") + field.name;
    }
    return list;
}

// Every row in the order it was made: what is copied, and compared after.
std::string ReadAll(const schema::TableDef& table) {
    return "SELECT " + FieldList(table) + " FROM " + table.name + " ORDER BY rowid";
}

long CopyRows(const db::Database& from, const db::Database& to, const schema::TableDef& table) {
    std::string placeholders;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        placeholders += i == 0 ? "?" : ", ?";
    }
    db::Statement insert = to.Prepare("INSERT INTO " + table.name + " (" + FieldList(table) +
                                      ") VALUES (" + placeholders + ")");
    db::Statement rows = from.Prepare(ReadAll(table));
    long copied = 0;
    while (rows.Step()) {
        insert.Reset();
        for (int column = 0; column < static_cast<int>(table.fields.size()); ++column) {
            insert.Bind(column + 1, rows.Column(column));
        }
        insert.Run();
        ++copied;
    }
    return copied;
}

// A server draws the next ids of a table from a sequence that rows written
// with their own ids leave behind: it is moved past them.
void FollowIds(const db::Database& to, const schema::TableDef& table) {
    if (to.Kind() != db::EngineKind::Postgres) {
        return;
    }
    for (const schema::FieldDef& field : table.fields) {
        if (field.autoIncrement) {
            to.QueryValue("SELECT setval(pg_get_serial_sequence(?1, lower(?2)), coalesce(max(" +
                              field.name + "), 0) + 1, false) FROM " + table.name,
                          {table.name, field.name});
        }
    }
}

// Both tables read alike, row by row and value by value.
void Compare(const db::Database& from, const db::Database& to, const schema::TableDef& table) {
    db::Statement original = from.Prepare(ReadAll(table));
    db::Statement copy = to.Prepare(ReadAll(table));
    long row = 0;
    for (;;) {
        const bool more = original.Step();
        if (more != copy.Step()) {
            throw db::DbError(db::ERR_CORRUPT, "the copy of " + table.name +
                                                   " does not hold as many rows as the original");
        }
        if (!more) {
            return;
        }
        ++row;
        for (int column = 0; column < static_cast<int>(table.fields.size()); ++column) {
            const db::Value a = original.Column(column);
            const db::Value b = copy.Column(column);
            if (a.IsNull() != b.IsNull() || a.ToString() != b.ToString()) {
                throw db::DbError(db::ERR_CORRUPT,
                                  "the copy of " + table.name + " differs at row " +
                                      std::to_string(row) + ", field " +
                                      table.fields[static_cast<std::size_t>(column)].name);
            }
        }
    }
}

std::vector<CopiedTable> CopyInto(const db::Database& from, const db::Database& to) {
    std::vector<schema::TableDef> tables = schema::ProjectTables();
    const bool tracked = schema::HasTrackingTables(from);
    if (tracked) {
        tables.insert(tables.end(), schema::TrackingTables().begin(),
                      schema::TrackingTables().end());
    }
    db::Transaction transaction(to);
    schema::CreateProjectTables(to, tracked);
    std::vector<CopiedTable> copied;
    for (const schema::TableDef& table : tables) {
        copied.push_back({table.name, CopyRows(from, to, table)});
        FollowIds(to, table);
    }
    for (const schema::TableDef& table : tables) {
        Compare(from, to, table);
    }
    transaction.Commit();
    return copied;
}

}  // namespace

std::vector<CopiedTable> Copy(const std::string& from, const std::string& to) {
    db::Database source = schema::OpenProjectDatabase(from, db::OpenMode::ReadOnly);
    const bool server = db::Database::IsServerName(to);
    std::optional<db::Database> target;
    target.emplace(db::Database::Create(to));
    try {
        if (server && schema::HasAnyTable(*target)) {
            throw db::DbError(db::ERR_CANT_OPEN,
                              to + " already holds tables: a project is copied into an empty "
                                   "database");
        }
        return CopyInto(source, *target);
    } catch (...) {
        target.reset();
        if (!server) {
            std::error_code ignored;
            for (const std::string& file : {to, to + "-journal"}) {
                std::filesystem::remove(file, ignored);
            }
        }
        throw;
    }
}

}  // namespace veln::dbProject
