// Project database files over SQLite.
#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/db/engine.h"

namespace veln::db {

namespace {

// A file name as a URI path: what a URI gives a meaning to is escaped.
std::string UriPath(const std::string& path) {
    std::string uri;
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            constexpr const char* DIGITS = "0123456789ABCDEF";
            auto byte = static_cast<unsigned char>(c);
            uri += '%';
            uri += DIGITS[byte >> 4];
            uri += DIGITS[byte & 0x0F];
        } else {
            uri += c;
        }
    }
    return uri;
}

// The pragmas that describe a schema and never write, whatever their argument.
bool DescribesSchema(std::string_view pragma) {
    for (std::string_view known : {"table_info", "table_xinfo", "table_list", "index_list",
                                   "index_info", "index_xinfo", "foreign_key_list"}) {
        if (pragma == known) {
            return true;
        }
    }
    return false;
}

// Only reading, for queries a user typed: no write, no other file attached,
// no pragma that sets anything, no extension loaded.
int AuthorizeQuery(void*, int action, const char* first, const char* second, const char*,
                   const char*) {
    std::string_view name = first != nullptr ? first : "";
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        case SQLITE_PRAGMA:
            return second == nullptr || DescribesSchema(name) ? SQLITE_OK : SQLITE_DENY;
        case SQLITE_UPDATE:
            // The engine asks this of itself when a pragma is read as a
            // table; the connection is read-only all the same.
            return name == "sqlite_master" ? SQLITE_OK : SQLITE_DENY;
        case SQLITE_FUNCTION:
            return name == "load_extension" ? SQLITE_DENY : SQLITE_OK;
        default:
            return SQLITE_DENY;
    }
}

// What a user's query may still take.
struct QueryLimits {
    std::chrono::milliseconds time{0};
    std::chrono::steady_clock::time_point deadline;
    bool expired = false;
};

int StopLateQuery(void* data) {
    auto* limits = static_cast<QueryLimits*>(data);
    limits->expired = std::chrono::steady_clock::now() > limits->deadline;
    return limits->expired ? 1 : 0;
}

bool IsLock(int resultCode) {
    int primary = resultCode & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

class SqliteEngine;

class SqliteStatement : public EngineStatement {
  public:
    SqliteStatement(SqliteEngine& engine, sqlite3_stmt* statement)
        : engine_(engine), statement_(statement) {}
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement() override { sqlite3_finalize(statement_); }

    void Bind(int index, const Value& value) override;
    bool Step() override;
    void Reset() override {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    int ColumnCount() const override { return sqlite3_column_count(statement_); }
    std::string ColumnName(int column) const override {
        const char* name = sqlite3_column_name(statement_, column);
        return name == nullptr ? std::string() : std::string(name);
    }
    Value Column(int column) const override;

  private:
    SqliteEngine& engine_;
    sqlite3_stmt* statement_;
};

class SqliteEngine : public Engine {
  public:
    SqliteEngine(std::string path, OpenMode mode, bool create);
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;
    // close_v2 waits for statements still alive instead of failing.
    ~SqliteEngine() override { sqlite3_close_v2(connection_); }

    EngineKind Kind() const override { return EngineKind::Sqlite; }
    std::unique_ptr<EngineStatement> Prepare(std::string_view sql) override;
    std::int64_t LastInsertRowId() override { return sqlite3_last_insert_rowid(connection_); }
    int Changes() override { return sqlite3_changes(connection_); }
    void SetBusyTimeout(std::chrono::milliseconds timeout) override { WaitForLocks(timeout); }
    void LimitQueryTime(std::chrono::milliseconds time) override { LimitQueries(time); }
    void BeginWrite() override { Run("BEGIN IMMEDIATE"); }
    void UseRollbackJournal() override { Run("PRAGMA journal_mode=DELETE"); }

    // Raises the error of the last call on this connection, given its result code.
    [[noreturn]] void Fail(int resultCode) const;

  private:
    sqlite3_stmt* Compile(std::string_view sql);
    void Run(std::string_view sql) {
        SqliteStatement statement(*this, Compile(sql));
        while (statement.Step()) {
        }
    }
    void WaitForLocks(std::chrono::milliseconds timeout) {
        sqlite3_busy_timeout(connection_, static_cast<int>(timeout.count()));
    }
    void LimitQueries(std::chrono::milliseconds time) {
        limits_.time = time;
        limits_.deadline = std::chrono::steady_clock::now() + time;
    }

    std::string path_;
    OpenMode mode_;
    sqlite3* connection_ = nullptr;
    QueryLimits limits_;
};

SqliteEngine::SqliteEngine(std::string path, OpenMode mode, bool create)
    : path_(std::move(path)), mode_(mode) {
    // Named pipes and devices would block or never end: only files are opened.
    struct stat status {};
    if (::stat(path_.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        throw DbError(ERR_CANT_OPEN, path_ + " is not a regular file");
    }
    int flags = SQLITE_OPEN_EXRESCODE;
    std::string name = path_;
    switch (mode) {
        case OpenMode::ReadWrite:
            flags |= SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
            break;
        case OpenMode::ReadOnly:
        case OpenMode::Query:
            flags |= SQLITE_OPEN_READONLY;
            break;
        case OpenMode::Snapshot:
            flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
            name = "file:" + UriPath(path_) + "?immutable=1";
            break;
    }
    int rc = sqlite3_open_v2(name.c_str(), &connection_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message =
            connection_ != nullptr ? sqlite3_errmsg(connection_) : sqlite3_errstr(rc);
        sqlite3_close_v2(connection_);
        throw DbError(rc & 0xff, path_ + ": " + message);
    }
    // Files come from other people: their schema may not run code of ours, nor
    // may SQL write to the file's inner structures.
    sqlite3_db_config(connection_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(connection_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    WaitForLocks(Database::DEFAULT_BUSY_TIMEOUT);
    try {
        // Reading the schema is where a file that is not a database shows itself.
        Run("SELECT count(*) FROM sqlite_master");
    } catch (...) {
        sqlite3_close_v2(connection_);
        throw;
    }
    if (mode == OpenMode::Query) {
        LimitQueries(Database::QUERY_TIME);
        sqlite3_set_authorizer(connection_, AuthorizeQuery, nullptr);
        // The clock is read every thousand steps of the engine.
        constexpr int STEPS = 1000;
        sqlite3_progress_handler(connection_, STEPS, StopLateQuery, &limits_);
    }
}

void SqliteEngine::Fail(int resultCode) const {
    std::string message =
        connection_ != nullptr ? sqlite3_errmsg(connection_) : sqlite3_errstr(resultCode);
    if (limits_.expired) {
        throw DbError(SQLITE_INTERRUPT, path_ + ": the query ran past its time (" +
                                            std::to_string(limits_.time.count()) +
                                            " ms at most) and was stopped");
    }
    if (mode_ == OpenMode::Query &&
        ((resultCode & 0xff) == SQLITE_AUTH || message == "not authorized")) {
        throw DbError(SQLITE_AUTH,
                      path_ + ": only queries that read (SELECT) may run here (" + message + ")");
    }
    if (IsLock(resultCode)) {
        throw DbError(ERR_LOCKED, "The database " + path_ +
                                      " is locked by another user; try again later (" + message +
                                      ")");
    }
    int primary = resultCode & 0xff;
    if (primary == SQLITE_NOTADB) {
        throw DbError(ERR_NOT_A_DATABASE, path_ + " is not a database (" + message + ")");
    }
    throw DbError(primary, path_ + ": " + message);
}

std::unique_ptr<EngineStatement> SqliteEngine::Prepare(std::string_view sql) {
    return std::make_unique<SqliteStatement>(*this, Compile(sql));
}

sqlite3_stmt* SqliteEngine::Compile(std::string_view sql) {
    sqlite3_stmt* statement = nullptr;
    const char* rest = nullptr;
    int rc = sqlite3_prepare_v2(connection_, sql.data(), static_cast<int>(sql.size()), &statement,
                                &rest);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        Fail(rc);
    }
    if (mode_ == OpenMode::Query) {
        // One statement, and one that only reads (VACUUM INTO writes a file).
        bool more = rest != nullptr &&
                    std::string_view(rest).find_first_not_of(" \t\r\n;") != std::string_view::npos;
        if (more || (statement != nullptr && sqlite3_stmt_readonly(statement) == 0)) {
            sqlite3_finalize(statement);
            throw DbError(SQLITE_AUTH, path_ + ": only one query that reads (SELECT) may run here");
        }
    }
    return statement;
}

void SqliteStatement::Bind(int index, const Value& value) {
    struct Binder {
        sqlite3_stmt* s;
        int i;
        int operator()(std::monostate) const { return sqlite3_bind_null(s, i); }
        int operator()(std::int64_t v) const { return sqlite3_bind_int64(s, i, v); }
        int operator()(double v) const { return sqlite3_bind_double(s, i, v); }
        int operator()(const std::string& v) const {
            return sqlite3_bind_text64(s, i, v.data(), v.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
    };
    int rc = std::visit(Binder{statement_, index}, value.Get());
    if (rc != SQLITE_OK) {
        engine_.Fail(rc);
    }
}

bool SqliteStatement::Step() {
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(statement_);
    engine_.Fail(rc);
}

Value SqliteStatement::Column(int column) const {
    switch (sqlite3_column_type(statement_, column)) {
        case SQLITE_INTEGER:
            return sqlite3_column_int64(statement_, column);
        case SQLITE_FLOAT:
            return sqlite3_column_double(statement_, column);
        case SQLITE_NULL:
            return {};
        default: {
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
            int bytes = sqlite3_column_bytes(statement_, column);
            return std::string(text == nullptr ? "" : text, static_cast<std::size_t>(bytes));
        }
    }
}

}  // namespace

std::unique_ptr<Engine> OpenSqlite(const std::string& path, OpenMode mode, bool create) {
    return std::make_unique<SqliteEngine>(path, mode, create);
}

bool SqliteUsesWriteAheadLog(const std::string& path) {
    // Bytes 18 and 19 of the header, the file format's write and read
    // versions, are 2 in write-ahead-log mode. A pipe is never waited on.
    constexpr std::size_t HEADER = 20;
    std::array<char, HEADER> header{};
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    bool read = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                ::read(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size());
    ::close(fd);
    return read &&
           std::string_view(header.data(), 16) == std::string_view("SQLite format 3\0", 16) &&
           (header[18] == 2 || header[19] == 2);
}

}  // namespace veln::db
