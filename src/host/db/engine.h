// What a database engine gives the database layer: connections that prepare
// statements, and statements that bind, step and read. database.cpp holds
// what is common; each engine keeps its library's types to its own file.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/db/database.h"

namespace veln::db {

class EngineStatement {
  public:
    EngineStatement() = default;
    EngineStatement(const EngineStatement&) = delete;
    EngineStatement& operator=(const EngineStatement&) = delete;
    virtual ~EngineStatement() = default;

    virtual void Bind(int index, const Value& value) = 0;
    virtual bool Step() = 0;
    virtual void Reset() = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnName(int column) const = 0;
    virtual Value Column(int column) const = 0;
};

class Engine {
  public:
    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    virtual ~Engine() = default;

    virtual EngineKind Kind() const = 0;
    virtual std::unique_ptr<EngineStatement> Prepare(std::string_view sql) = 0;
    virtual std::int64_t LastInsertRowId() = 0;
    virtual int Changes() = 0;
    // How long a statement waits for another user's lock.
    virtual void SetBusyTimeout(std::chrono::milliseconds timeout) = 0;
    // Shortens the time a user's query may run from now on (OpenMode::Query).
    virtual void LimitQueryTime(std::chrono::milliseconds time) = 0;
    // Starts a transaction that will write, taking the write lock at once
    // where the engine has one.
    virtual void BeginWrite() = 0;
    virtual void UseRollbackJournal() = 0;
};

// A file of SQLite's (sqlite_engine.cpp).
std::unique_ptr<Engine> OpenSqlite(const std::string& path, OpenMode mode, bool create);
bool SqliteUsesWriteAheadLog(const std::string& path);

// A database on a PostgreSQL server (postgres_engine.cpp).
std::unique_ptr<Engine> OpenPostgres(const std::string& uri, OpenMode mode);

}  // namespace veln::db
