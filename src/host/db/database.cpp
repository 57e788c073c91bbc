#include "host/db/database.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veln::db {

// What a user's query may still take.
struct QueryLimits {
    std::chrono::milliseconds time{0};
    std::chrono::steady_clock::time_point deadline;
    bool expired = false;
};

namespace {

sqlite3* Connection(void* connection) {
    return static_cast<sqlite3*>(connection);
}

sqlite3_stmt* Prepared(void* statement) {
    return static_cast<sqlite3_stmt*>(statement);
}

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

int StopLateQuery(void* data) {
    auto* limits = static_cast<QueryLimits*>(data);
    limits->expired = std::chrono::steady_clock::now() > limits->deadline;
    return limits->expired ? 1 : 0;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

bool IsLock(int resultCode) {
    int primary = resultCode & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace

std::string Value::ToString() const {
    struct Printer {
        std::string operator()(std::monostate) const { return "NULL"; }
        std::string operator()(std::int64_t v) const { return std::to_string(v); }
        std::string operator()(double v) const {
            std::string text = std::to_string(v);
            text.erase(text.find_last_not_of('0') + 1);
            if (!text.empty() && text.back() == '.') {
                text.pop_back();
            }
            return text;
        }
        std::string operator()(const std::string& v) const { return v; }
    };
    return std::visit(Printer{}, value_);
}

// --- Database ----------------------------------------------------------------

Database::Database(std::string path, OpenMode mode, bool create)
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
    sqlite3* connection = nullptr;
    int rc = sqlite3_open_v2(name.c_str(), &connection, flags, nullptr);
    connection_ = connection;
    if (rc != SQLITE_OK) {
        std::string message =
            connection != nullptr ? sqlite3_errmsg(connection) : sqlite3_errstr(rc);
        Close();
        throw DbError(rc & 0xff, path_ + ": " + message);
    }
    // Files come from other people: their schema may not run code of ours, nor
    // may SQL write to the file's inner structures.
    sqlite3_db_config(connection, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(connection, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    SetBusyTimeout(DEFAULT_BUSY_TIMEOUT);
    try {
        // Reading the schema is where a file that is not a database shows itself.
        QueryValue("SELECT count(*) FROM sqlite_master");
    } catch (...) {
        Close();
        throw;
    }
    if (mode == OpenMode::Query) {
        LimitQueries();
    }
}

Database Database::Open(const std::string& path, OpenMode mode) {
    return {path, mode};
}

Database Database::Create(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error) || std::filesystem::is_symlink(path, error)) {
        throw DbError(ERR_CANT_OPEN, path + ": a file already exists");
    }
    Database database(path, OpenMode::ReadWrite, true);
    database.UseRollbackJournal();
    return database;
}

Database::Database(Database&& other) noexcept
    : path_(std::move(other.path_)),
      connection_(std::exchange(other.connection_, nullptr)),
      mode_(other.mode_),
      limits_(std::move(other.limits_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        connection_ = std::exchange(other.connection_, nullptr);
        mode_ = other.mode_;
        limits_ = std::move(other.limits_);
    }
    return *this;
}

void Database::LimitQueries() {
    limits_ = std::make_unique<QueryLimits>();
    LimitQueryTime(QUERY_TIME);
    sqlite3_set_authorizer(Connection(connection_), AuthorizeQuery, nullptr);
    // The clock is read every thousand steps of the engine.
    constexpr int STEPS = 1000;
    sqlite3_progress_handler(Connection(connection_), STEPS, StopLateQuery, limits_.get());
}

void Database::LimitQueryTime(std::chrono::milliseconds time) {
    if (limits_) {
        limits_->time = time;
        limits_->deadline = std::chrono::steady_clock::now() + time;
    }
}

void Database::UseRollbackJournal() const {
    QueryValue("PRAGMA journal_mode=DELETE");
}

bool Database::UsesWriteAheadLog(const std::string& path) {
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

Database::~Database() {
    Close();
}

void Database::Close() {
    // close_v2 waits for statements still alive instead of failing.
    sqlite3_close_v2(Connection(connection_));
    connection_ = nullptr;
}

void Database::Fail(int resultCode) const {
    std::string message = connection_ != nullptr ? sqlite3_errmsg(Connection(connection_))
                                                 : sqlite3_errstr(resultCode);
    if (limits_ && limits_->expired) {
        throw DbError(SQLITE_INTERRUPT, path_ + ": the query ran past its time (" +
                                            std::to_string(limits_->time.count()) +
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

void Database::SetBusyTimeout(std::chrono::milliseconds timeout) {
    sqlite3_busy_timeout(Connection(connection_), static_cast<int>(timeout.count()));
}

Statement Database::Prepare(std::string_view sql) const {
    if (connection_ == nullptr) {
        throw DbError(ERR_CANT_OPEN, path_ + ": the database is closed");
    }
    sqlite3_stmt* statement = nullptr;
    const char* rest = nullptr;
    int rc = sqlite3_prepare_v2(Connection(connection_), sql.data(), static_cast<int>(sql.size()),
                                &statement, &rest);
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
    return Statement(*this, statement);
}

void Database::Execute(std::string_view sql, const std::vector<Value>& parameters) const {
    Prepare(sql).BindAll(parameters).Run();
}

Value Database::QueryValue(std::string_view sql, const std::vector<Value>& parameters) const {
    Statement statement = Prepare(sql);
    statement.BindAll(parameters);
    return statement.Step() ? statement.Column(0) : Value();
}

std::int64_t Database::LastInsertRowId() const {
    return sqlite3_last_insert_rowid(Connection(connection_));
}

int Database::Changes() const {
    return sqlite3_changes(Connection(connection_));
}

// --- Statement ---------------------------------------------------------------

Statement::Statement(const Database& database, void* statement)
    : database_(&database), statement_(statement) {}

Statement::Statement(Statement&& other) noexcept
    : database_(other.database_),
      statement_(std::exchange(other.statement_, nullptr)),
      rows_(other.rows_),
      columns_(std::move(other.columns_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(Prepared(statement_));
        database_ = other.database_;
        statement_ = std::exchange(other.statement_, nullptr);
        rows_ = other.rows_;
        columns_ = std::move(other.columns_);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(Prepared(statement_));
}

Statement& Statement::Bind(int index, const Value& value) {
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
    int rc = std::visit(Binder{Prepared(statement_), index}, value.Get());
    if (rc != SQLITE_OK) {
        database_->Fail(rc);
    }
    return *this;
}

Statement& Statement::BindAll(const std::vector<Value>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        Bind(static_cast<int>(i) + 1, values[i]);
    }
    return *this;
}

bool Statement::Step() {
    int rc = sqlite3_step(Prepared(statement_));
    if (rc == SQLITE_ROW) {
        if (database_->mode_ == OpenMode::Query && ++rows_ > Database::QUERY_ROWS) {
            throw DbError(SQLITE_ABORT, database_->Path() + ": the query returns more than " +
                                            std::to_string(Database::QUERY_ROWS) + " rows");
        }
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(Prepared(statement_));
    database_->Fail(rc);
}

void Statement::Reset() {
    sqlite3_reset(Prepared(statement_));
    sqlite3_clear_bindings(Prepared(statement_));
    rows_ = 0;
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(Prepared(statement_));
}

std::string Statement::ColumnName(int column) const {
    const char* name = sqlite3_column_name(Prepared(statement_), column);
    return name == nullptr ? std::string() : std::string(name);
}

Value Statement::Column(int column) const {
    sqlite3_stmt* statement = Prepared(statement_);
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
            return sqlite3_column_int64(statement, column);
        case SQLITE_FLOAT:
            return sqlite3_column_double(statement, column);
        case SQLITE_NULL:
            return {};
        default: {
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            int bytes = sqlite3_column_bytes(statement, column);
            return std::string(text == nullptr ? "" : text, static_cast<std::size_t>(bytes));
        }
    }
}

int Statement::ColumnIndex(std::string_view name) const {
    for (const auto& [known, column] : columns_) {
        if (known == name) {
            return column;
        }
    }
    for (int i = 0; i < ColumnCount(); ++i) {
        if (SameName(sqlite3_column_name(Prepared(statement_), i), name)) {
            columns_.emplace_back(name, i);
            return i;
        }
    }
    throw DbError(SQLITE_RANGE, database_->Path() + ": no field named " + std::string(name));
}

Value Statement::Field(std::string_view name) const {
    return Column(ColumnIndex(name));
}

std::optional<std::string> Statement::Text(std::string_view name) const {
    Value value = Field(name);
    if (value.IsNull()) {
        return std::nullopt;
    }
    return value.ToString();
}

std::optional<std::int64_t> Statement::Integer(std::string_view name) const {
    int column = ColumnIndex(name);
    if (sqlite3_column_type(Prepared(statement_), column) == SQLITE_NULL) {
        return std::nullopt;
    }
    return sqlite3_column_int64(Prepared(statement_), column);
}

// --- Transaction -------------------------------------------------------------

Transaction::Transaction(const Database& database) : database_(database) {
    database_.Execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (open_) {
        try {
            database_.Execute("ROLLBACK");
        } catch (const DbError&) {
            // The engine has already rolled back after the failure that brought us here.
        }
    }
}

void Transaction::Commit() {
    database_.Execute("COMMIT");
    open_ = false;
}

}  // namespace veln::db
