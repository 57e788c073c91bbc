#include "host/db/database.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <utility>

#include "host/db/engine.h"

namespace veln::db {

namespace {

// The numbers SQLite gives these errors, kept for both engines.
constexpr long ERR_ABORT = 4;
constexpr long ERR_RANGE = 25;

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
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

Database::Database(std::string name, OpenMode mode, std::unique_ptr<Engine> engine)
    : path_(std::move(name)), mode_(mode), engine_(std::move(engine)) {}

bool Database::IsServerName(std::string_view name) {
    return name.starts_with("postgresql://") || name.starts_with("postgres://");
}

Database Database::Open(const std::string& name, OpenMode mode) {
    if (IsServerName(name)) {
        return {name, mode, OpenPostgres(name, mode)};
    }
    return {name, mode, OpenSqlite(name, mode, false)};
}

Database Database::Create(const std::string& name) {
    if (IsServerName(name)) {
        return Open(name);
    }
    std::error_code error;
    if (std::filesystem::exists(name, error) || std::filesystem::is_symlink(name, error)) {
        throw DbError(ERR_CANT_OPEN, name + ": a file already exists");
    }
    Database database(name, OpenMode::ReadWrite, OpenSqlite(name, OpenMode::ReadWrite, true));
    database.UseRollbackJournal();
    return database;
}

Database::Database(Database&& other) noexcept = default;
Database& Database::operator=(Database&& other) noexcept = default;
Database::~Database() = default;

Engine& Database::Connected() const {
    if (!engine_) {
        throw DbError(ERR_CANT_OPEN, path_ + ": the database is closed");
    }
    return *engine_;
}

EngineKind Database::Kind() const {
    return Connected().Kind();
}

void Database::LimitQueryTime(std::chrono::milliseconds time) {
    if (mode_ == OpenMode::Query) {
        Connected().LimitQueryTime(time);
    }
}

void Database::UseRollbackJournal() const {
    Connected().UseRollbackJournal();
}

bool Database::UsesWriteAheadLog(const std::string& path) {
    return !IsServerName(path) && SqliteUsesWriteAheadLog(path);
}

void Database::Close() {
    engine_.reset();
}

void Database::SetBusyTimeout(std::chrono::milliseconds timeout) {
    Connected().SetBusyTimeout(timeout);
}

Statement Database::Prepare(std::string_view sql) const {
    return {*this, Connected().Prepare(sql)};
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
    return Connected().LastInsertRowId();
}

int Database::Changes() const {
    return Connected().Changes();
}

// --- Statement ---------------------------------------------------------------

Statement::Statement(const Database& database, std::unique_ptr<EngineStatement> statement)
    : database_(&database), statement_(std::move(statement)) {}

Statement::Statement(Statement&& other) noexcept = default;
Statement& Statement::operator=(Statement&& other) noexcept = default;
Statement::~Statement() = default;

Statement& Statement::Bind(int index, const Value& value) {
    statement_->Bind(index, value);
    return *this;
}

Statement& Statement::BindAll(const std::vector<Value>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        Bind(static_cast<int>(i) + 1, values[i]);
    }
    return *this;
}

bool Statement::Step() {
    if (!statement_->Step()) {
        return false;
    }
    if (database_->mode_ == OpenMode::Query && ++rows_ > Database::QUERY_ROWS) {
        throw DbError(ERR_ABORT, database_->Path() + ": the query returns more than " +
                                     std::to_string(Database::QUERY_ROWS) + " rows");
    }
    return true;
}

void Statement::Reset() {
    statement_->Reset();
    rows_ = 0;
}

int Statement::ColumnCount() const {
    return statement_->ColumnCount();
}

std::string Statement::ColumnName(int column) const {
    return statement_->ColumnName(column);
}

Value Statement::Column(int column) const {
    return statement_->Column(column);
}

int Statement::ColumnIndex(std::string_view name) const {
    for (const auto& [known, column] : columns_) {
        if (known == name) {
            return column;
        }
    }
    for (int i = 0; i < ColumnCount(); ++i) {
        if (SameName(statement_->ColumnName(i), name)) {
            columns_.emplace_back(name, i);
            return i;
        }
    }
    throw DbError(ERR_RANGE, database_->Path() + ": no field named " + std::string(name));
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
    struct Reader {
        std::optional<std::int64_t> operator()(std::monostate) const { return std::nullopt; }
        std::optional<std::int64_t> operator()(std::int64_t v) const { return v; }
        std::optional<std::int64_t> operator()(double v) const {
            return static_cast<std::int64_t>(v);
        }
        // As SQLite reads a text as a number: its leading digits, 0 for none.
        std::optional<std::int64_t> operator()(const std::string& v) const {
            std::string_view text = v;
            text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
            if (text.starts_with('+')) {
                text.remove_prefix(1);
            }
            std::int64_t number = 0;
            std::from_chars(text.data(), text.data() + text.size(), number);
            return number;
        }
    };
    return std::visit(Reader{}, Field(name).Get());
}

// --- Transaction -------------------------------------------------------------

Transaction::Transaction(const Database& database) : database_(database) {
    database_.Connected().BeginWrite();
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
