// A project database, a file of SQLite's or a database on a PostgreSQL
// server, chosen by its name: open or create, statements with bound
// parameters only (written once with "?" or "?N"), fields read by name,
// transactions. The connection is closed when the Database goes; nothing is
// held between operations. The engines' own types stay in their files.
#pragma once

#include <chrono>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/db/db_error.h"

namespace veln::db {

// A value bound to a parameter or read from a field: Null, an integer (Booleans
// are 0 and 1), a real or a text.
class Value {
  public:
    Value() = default;
    Value(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
    template <std::integral T>
    Value(T value)
        : value_(static_cast<std::int64_t>(value)) {}         // NOLINT(google-explicit-constructor)
    Value(double value) : value_(value) {}                    // NOLINT(google-explicit-constructor)
    Value(std::string value) : value_(std::move(value)) {}    // NOLINT(google-explicit-constructor)
    Value(const char* value) : value_(std::string(value)) {}  // NOLINT(google-explicit-constructor)
    Value(std::string_view value)
        : value_(std::string(value)) {}               // NOLINT(google-explicit-constructor)
    Value(const std::optional<std::string>& value) {  // NOLINT(google-explicit-constructor)
        if (value) {
            value_ = *value;
        }
    }

    bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
    const std::variant<std::monostate, std::int64_t, double, std::string>& Get() const {
        return value_;
    }
    // The printed form: NULL, the number, or the text.
    std::string ToString() const;

  private:
    std::variant<std::monostate, std::int64_t, double, std::string> value_;
};

class Database;
class Engine;
class EngineStatement;

enum class EngineKind { Sqlite, Postgres };

class Statement {
  public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Binds parameter 1, 2, ... in order.
    Statement& Bind(int index, const Value& value);
    Statement& BindAll(const std::vector<Value>& values);
    // Runs to the next row; false when there are no more.
    bool Step();
    // Runs a statement that returns no rows.
    void Run() {
        while (Step()) {
        }
    }
    void Reset();

    int ColumnCount() const;
    std::string ColumnName(int column) const;
    Value Column(int column) const;

    // Fields of the current row by name, matched without regard to case.
    Value Field(std::string_view name) const;
    bool IsNull(std::string_view name) const { return Field(name).IsNull(); }
    std::optional<std::string> Text(std::string_view name) const;
    std::string TextOrEmpty(std::string_view name) const { return Text(name).value_or(""); }
    std::optional<std::int64_t> Integer(std::string_view name) const;
    bool Boolean(std::string_view name) const { return Integer(name).value_or(0) != 0; }

  private:
    friend class Database;
    Statement(const Database& database, std::unique_ptr<EngineStatement> statement);
    int ColumnIndex(std::string_view name) const;

    const Database* database_;
    std::unique_ptr<EngineStatement> statement_;
    long rows_ = 0;
    // Field names asked for, with their columns: rows are read by name in loops.
    mutable std::vector<std::pair<std::string, int>> columns_;
};

enum class OpenMode {
    ReadWrite,
    ReadOnly,
    // Reads the file as it lies, touching nothing beside it: no lock, no
    // journal, no write-ahead log read or made. For a first look at a file
    // that may belong to another program.
    Snapshot,
    // Read-only for queries typed by a user: only SELECT statements run, for
    // at most QUERY_TIME and QUERY_ROWS rows.
    Query
};

class Database {
  public:
    // Opens an existing database: a file, or a server's database named
    // postgresql://host[:port]/dbname[?sslmode=...]. A file that is not a
    // SQLite database is refused with ERR_NOT_A_DATABASE; a missing one, or
    // one that is not a regular file, with ERR_CANT_OPEN, as is a server
    // that cannot be reached or refuses the user. Opening changes nothing.
    static Database Open(const std::string& name, OpenMode mode = OpenMode::ReadWrite);
    // Creates a new, empty database file; an existing file is an error. A
    // server's database is made by its administrator: Create opens it.
    static Database Create(const std::string& name);
    // Whether a project database's name is a server's (a URI) or a file's.
    static bool IsServerName(std::string_view name);

    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    Statement Prepare(std::string_view sql) const;
    // Runs one statement with its parameters and no result rows.
    void Execute(std::string_view sql, const std::vector<Value>& parameters = {}) const;
    // The first field of the first row, Null when there is none.
    Value QueryValue(std::string_view sql, const std::vector<Value>& parameters = {}) const;

    // Journal files beside the database, which work on shared folders: a file
    // in write-ahead-log mode is switched back. Nothing on a server.
    void UseRollbackJournal() const;
    // True when the file's header says it is in write-ahead-log mode.
    static bool UsesWriteAheadLog(const std::string& path);

    EngineKind Kind() const;

    std::int64_t LastInsertRowId() const;
    int Changes() const;
    void SetBusyTimeout(std::chrono::milliseconds timeout);
    const std::string& Path() const { return path_; }
    void Close();

    // The busy timeout every connection starts with.
    static constexpr std::chrono::milliseconds DEFAULT_BUSY_TIMEOUT{2000};
    // What a query of OpenMode::Query may take.
    static constexpr std::chrono::milliseconds QUERY_TIME{10000};
    static constexpr long QUERY_ROWS = 100000;
    // Shortens the time a query may run from now on (OpenMode::Query).
    void LimitQueryTime(std::chrono::milliseconds time);

  private:
    friend class Statement;
    friend class Transaction;
    Database(std::string name, OpenMode mode, std::unique_ptr<Engine> engine);
    Engine& Connected() const;

    std::string path_;
    OpenMode mode_ = OpenMode::ReadWrite;
    std::unique_ptr<Engine> engine_;
};

// One transaction that takes the write lock at its start, so a locked database
// is found before any work is done. Rolled back unless committed.
class Transaction {
  public:
    explicit Transaction(const Database& database);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void Commit();

  private:
    const Database& database_;
    bool open_ = true;
};

}  // namespace veln::db
