#include "host/db/database.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <utility>

#include <sqlite3.h>

namespace veln::db {

namespace {

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

Database::Database(std::string path, int flags) : path_(std::move(path)) {
    int rc = sqlite3_open_v2(path_.c_str(), &connection_, flags | SQLITE_OPEN_EXRESCODE, nullptr);
    if (rc != SQLITE_OK) {
        std::string message =
            connection_ != nullptr ? sqlite3_errmsg(connection_) : sqlite3_errstr(rc);
        sqlite3_close_v2(connection_);
        connection_ = nullptr;
        throw DbError(rc & 0xff, path_ + ": " + message);
    }
    // Files come from other people: their schema may not run code of ours, nor
    // may SQL write to the file's inner structures.
    sqlite3_db_config(connection_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(connection_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    SetBusyTimeout(DEFAULT_BUSY_TIMEOUT);
    try {
        // Reading the schema is where a file that is not a database shows itself.
        QueryValue("SELECT count(*) FROM sqlite_master");
        if ((flags & SQLITE_OPEN_READONLY) == 0) {
            // Journal files beside the database work on shared folders.
            QueryValue("PRAGMA journal_mode=DELETE");
        }
    } catch (...) {
        Close();
        throw;
    }
}

Database Database::Open(const std::string& path, OpenMode mode) {
    return Database(path,
                    mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
}

Database Database::Create(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        throw DbError(ERR_CANT_OPEN, path + ": a file already exists");
    }
    return Database(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

Database::Database(Database&& other) noexcept
    : path_(std::move(other.path_)), connection_(std::exchange(other.connection_, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        connection_ = std::exchange(other.connection_, nullptr);
    }
    return *this;
}

Database::~Database() {
    Close();
}

void Database::Close() {
    // close_v2 waits for statements still alive instead of failing.
    sqlite3_close_v2(connection_);
    connection_ = nullptr;
}

void Database::Fail(int resultCode) const {
    std::string message =
        connection_ != nullptr ? sqlite3_errmsg(connection_) : sqlite3_errstr(resultCode);
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
    sqlite3_busy_timeout(connection_, static_cast<int>(timeout.count()));
}

Statement Database::Prepare(std::string_view sql) const {
    if (connection_ == nullptr) {
        throw DbError(ERR_CANT_OPEN, path_ + ": the database is closed");
    }
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(connection_, sql.data(), static_cast<int>(sql.size()), &statement,
                                nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        Fail(rc);
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
    return sqlite3_last_insert_rowid(connection_);
}

int Database::Changes() const {
    return sqlite3_changes(connection_);
}

// --- Statement ---------------------------------------------------------------

Statement::Statement(const Database& database, sqlite3_stmt* statement)
    : database_(&database), statement_(statement) {}

Statement::Statement(Statement&& other) noexcept
    : database_(other.database_),
      statement_(std::exchange(other.statement_, nullptr)),
      columns_(std::move(other.columns_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        database_ = other.database_;
        statement_ = std::exchange(other.statement_, nullptr);
        columns_ = std::move(other.columns_);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
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
    int rc = std::visit(Binder{statement_, index}, value.Get());
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
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(statement_);
    database_->Fail(rc);
}

void Statement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(statement_);
}

std::string Statement::ColumnName(int column) const {
    const char* name = sqlite3_column_name(statement_, column);
    return name == nullptr ? std::string() : std::string(name);
}

Value Statement::Column(int column) const {
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

int Statement::ColumnIndex(std::string_view name) const {
    for (const auto& [known, column] : columns_) {
        if (known == name) {
            return column;
        }
    }
    for (int i = 0; i < ColumnCount(); ++i) {
        if (SameName(sqlite3_column_name(statement_, i), name)) {
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
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    return sqlite3_column_int64(statement_, column);
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
