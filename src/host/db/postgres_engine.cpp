// Project databases on a PostgreSQL server, through libpq. Statements come
// written for both engines, with "?" or "?N" placeholders: they are numbered
// here as the server wants them ($N). Results are read whole, in text, and
// typed by their columns' types, so that values read back as from SQLite.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <libpq-fe.h>
#include <unistd.h>

#include "host/db/engine.h"

namespace veln::db {

namespace {

// Column types of the server's catalogue (pg_type.oid).
constexpr Oid BOOL_TYPE = 16;
constexpr Oid INT8_TYPE = 20;
constexpr Oid INT2_TYPE = 21;
constexpr Oid INT4_TYPE = 23;
constexpr Oid OID_TYPE = 26;
constexpr Oid FLOAT4_TYPE = 700;
constexpr Oid FLOAT8_TYPE = 701;
constexpr Oid NUMERIC_TYPE = 1700;

// The numbers SQLite gives these errors, which callers read.
constexpr long ERR_GENERIC = 1;
constexpr long ERR_READ_ONLY = 8;
constexpr long ERR_INTERRUPTED = 9;
constexpr long ERR_AUTH = 23;

// A statement's longest wait in any case, a user's query's shorter one.
constexpr std::chrono::milliseconds STATEMENT_TIME{60000};

// "?" and "?N" outside quotes become "$N".
std::string NumberedPlaceholders(std::string_view sql) {
    std::string out;
    out.reserve(sql.size() + 8);
    int next = 0;
    char quote = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote != 0) {
            quote = c == quote ? '\0' : quote;
            out += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c == '?') {
            std::size_t digits = i + 1;
            while (digits < sql.size() && sql[digits] >= '0' && sql[digits] <= '9') {
                ++digits;
            }
            if (digits > i + 1) {
                out += "$" + std::string(sql.substr(i + 1, digits - i - 1));
                i = digits - 1;
            } else {
                out += "$" + std::to_string(++next);
            }
        } else {
            out += c;
        }
    }
    return out;
}

// A password written in the name would end up in documents: refused.
void RefusePassword(const std::string& uri) {
    const std::size_t start = uri.find("://") + 3;
    const std::size_t end = uri.find_first_of("/?", start);
    const std::string authority = uri.substr(start, end == std::string::npos ? end : end - start);
    const std::size_t at = authority.rfind('@');
    const bool inUser =
        at != std::string::npos && authority.substr(0, at).find(':') != std::string::npos;
    const bool inQuery = uri.find("password=") != std::string::npos;
    if (inUser || inQuery) {
        throw DbError(ERR_CANT_OPEN,
                      "A project database's name may not hold a password (it is stored in "
                      "documents): give it in ~/.pgpass, PGPASSWORD or a service file instead");
    }
}

// Connections closed by one command, kept for the next of the same name and
// mode: a server starts a process for each new connection, the cost of a
// few statements, and one command opens its project several times.
class IdleConnections {
  public:
    PGconn* Take(const std::string& uri, OpenMode mode) {
        const std::lock_guard<std::mutex> lock(mutex_);
        // A process forked from the one that opened them shares their
        // sockets: it forgets them, and closing them would end the parent's.
        std::erase_if(idle_, [](const Entry& entry) { return entry.process != ::getpid(); });
        for (auto entry = idle_.begin(); entry != idle_.end(); ++entry) {
            if (entry->uri == uri && entry->mode == mode) {
                PGconn* connection = entry->connection;
                idle_.erase(entry);
                return connection;
            }
        }
        return nullptr;
    }
    // Keeps a connection left as it was opened, closes any other.
    void Give(const std::string& uri, OpenMode mode, PGconn* connection) {
        if (PQstatus(connection) != CONNECTION_OK ||
            PQtransactionStatus(connection) != PQTRANS_IDLE) {
            PQfinish(connection);
            return;
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        if (idle_.size() >= MOST) {
            if (idle_.front().process == ::getpid()) {
                PQfinish(idle_.front().connection);
            }
            idle_.erase(idle_.begin());
        }
        idle_.push_back({uri, mode, connection, ::getpid()});
    }
    IdleConnections() = default;
    IdleConnections(const IdleConnections&) = delete;
    IdleConnections& operator=(const IdleConnections&) = delete;
    ~IdleConnections() {
        for (const Entry& entry : idle_) {
            if (entry.process == ::getpid()) {
                PQfinish(entry.connection);
            }
        }
    }

  private:
    static constexpr std::size_t MOST = 4;
    struct Entry {
        std::string uri;
        OpenMode mode;
        PGconn* connection;
        pid_t process;
    };
    std::mutex mutex_;
    std::vector<Entry> idle_;
};

IdleConnections& Idle() {
    static IdleConnections idle;
    return idle;
}

class PostgresEngine;

class PostgresStatement : public EngineStatement {
  public:
    PostgresStatement(PostgresEngine& engine, std::string sql)
        : engine_(engine), sql_(std::move(sql)) {}
    PostgresStatement(const PostgresStatement&) = delete;
    PostgresStatement& operator=(const PostgresStatement&) = delete;
    ~PostgresStatement() override {
        PQclear(result_);
        PQclear(described_);
    }

    void Bind(int index, const Value& value) override;
    bool Step() override;
    void Reset() override {
        Clear();
        values_.clear();
        types_.clear();
    }
    int ColumnCount() const override { return PQnfields(Shape()); }
    std::string ColumnName(int column) const override;
    Value Column(int column) const override;

  private:
    void Clear() {
        PQclear(result_);
        result_ = nullptr;
        row_ = -1;
    }
    // The result, or before the statement has run, the server's description
    // of the rows it will return.
    const PGresult* Shape() const;

    PostgresEngine& engine_;
    std::string sql_;
    mutable PGresult* described_ = nullptr;
    std::vector<std::optional<std::string>> values_;
    std::vector<Oid> types_;
    PGresult* result_ = nullptr;
    int row_ = -1;
};

class PostgresEngine : public Engine {
  public:
    PostgresEngine(std::string uri, OpenMode mode);
    PostgresEngine(const PostgresEngine&) = delete;
    PostgresEngine& operator=(const PostgresEngine&) = delete;
    ~PostgresEngine() override {
        if (process_ != ::getpid()) {
            return;  // the parent's connection, which a forked process leaves alone
        }
        if (customized_) {
            PQfinish(connection_);
        } else {
            Idle().Give(uri_, mode_, connection_);
        }
    }

    EngineKind Kind() const override { return EngineKind::Postgres; }
    std::unique_ptr<EngineStatement> Prepare(std::string_view sql) override;
    std::int64_t LastInsertRowId() override;
    int Changes() override { return changes_; }
    // A connection whose settings changed is not kept for another command.
    void SetBusyTimeout(std::chrono::milliseconds timeout) override {
        customized_ = true;
        WaitForLocks(timeout);
    }
    void LimitQueryTime(std::chrono::milliseconds time) override {
        customized_ = true;
        LimitStatements(time);
    }
    void BeginWrite() override { Run("BEGIN"); }
    void UseRollbackJournal() override {}

    // Runs a statement; the result is the caller's. Fails as the error says.
    PGresult* Execute(const std::string& sql, const std::vector<std::optional<std::string>>& values,
                      const std::vector<Oid>& types);
    [[noreturn]] void Fail(const PGresult* result) const;
    // The columns a statement will return, without running it.
    PGresult* Describe(const std::string& sql);

  private:
    void Run(const std::string& sql) { PQclear(Execute(sql, {}, {})); }
    void WaitForLocks(std::chrono::milliseconds timeout) {
        Run("SET lock_timeout = " + std::to_string(timeout.count()));
    }
    void LimitStatements(std::chrono::milliseconds time) {
        Run("SET statement_timeout = " + std::to_string(time.count()));
    }

    std::string uri_;
    OpenMode mode_;
    PGconn* connection_ = nullptr;
    int changes_ = 0;
    bool customized_ = false;
    pid_t process_ = ::getpid();
};

PostgresEngine::PostgresEngine(std::string uri, OpenMode mode) : uri_(std::move(uri)), mode_(mode) {
    RefusePassword(uri_);
    connection_ = Idle().Take(uri_, mode_);
    if (connection_ != nullptr) {
        return;
    }
    // The session's settings travel with the connection request: no round
    // trip of their own. Earlier keywords are defaults the URI may override.
    const std::chrono::milliseconds statementTime =
        mode == OpenMode::Query ? Database::QUERY_TIME : STATEMENT_TIME;
    const std::string options =
        "-c lock_timeout=" + std::to_string(Database::DEFAULT_BUSY_TIMEOUT.count()) +
        " -c statement_timeout=" + std::to_string(statementTime.count()) +
        (mode == OpenMode::ReadWrite ? "" : " -c default_transaction_read_only=on");
    const std::array<const char*, 6> keywords{
        "connect_timeout", "application_name", "client_encoding", "options", "dbname", nullptr};
    const std::array<const char*, 6> values{"10",         "veln", "UTF8", options.c_str(),
                                            uri_.c_str(), nullptr};
    connection_ = PQconnectdbParams(keywords.data(), values.data(), 1);
    if (connection_ == nullptr || PQstatus(connection_) != CONNECTION_OK) {
        std::string message = connection_ != nullptr ? PQerrorMessage(connection_) : "no memory";
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
            message.pop_back();
        }
        PQfinish(connection_);
        connection_ = nullptr;
        throw DbError(ERR_CANT_OPEN,
                      "The server of " + uri_ + " cannot be reached (" + message + ")");
    }
    PQsetNoticeProcessor(
        connection_, [](void*, const char*) {}, nullptr);
}

PGresult* PostgresEngine::Execute(const std::string& sql,
                                  const std::vector<std::optional<std::string>>& values,
                                  const std::vector<Oid>& types) {
    std::vector<const char*> pointers;
    pointers.reserve(values.size());
    for (const auto& value : values) {
        pointers.push_back(value ? value->c_str() : nullptr);
    }
    PGresult* result =
        PQexecParams(connection_, sql.c_str(), static_cast<int>(values.size()),
                     types.empty() ? nullptr : types.data(), pointers.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const std::unique_ptr<PGresult, decltype(&PQclear)> failed(result, PQclear);
        Fail(failed.get());
    }
    const char* changed = PQcmdTuples(result);
    if (status == PGRES_COMMAND_OK && changed != nullptr && *changed != '\0') {
        changes_ = std::atoi(changed);
    }
    return result;
}

void PostgresEngine::Fail(const PGresult* result) const {
    std::string message = result != nullptr ? PQresultErrorMessage(result) : "";
    if (message.empty()) {
        message = PQerrorMessage(connection_);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    const char* field = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const std::string state = field != nullptr ? field : "";
    if (PQstatus(connection_) != CONNECTION_OK || state.starts_with("08")) {
        throw DbError(ERR_CANT_OPEN,
                      "The server of " + uri_ + " cannot be reached (" + message + ")");
    }
    if (state == "57014" && mode_ == OpenMode::Query) {
        throw DbError(ERR_INTERRUPTED, uri_ + ": the query ran past its time and was stopped");
    }
    if (state == "40001" || state == "40P01" || state == "55P03" || state == "57014") {
        throw DbError(ERR_LOCKED, "The database " + uri_ +
                                      " is locked by another user; try again later (" + message +
                                      ")");
    }
    if (state == "25006" && mode_ == OpenMode::Query) {
        throw DbError(ERR_AUTH,
                      uri_ + ": only queries that read (SELECT) may run here (" + message + ")");
    }
    if (state == "25006" || state == "42501") {
        throw DbError(ERR_READ_ONLY,
                      uri_ + ": this user may only read the project database (" + message + ")");
    }
    if (state.starts_with("23")) {
        throw DbError(ERR_CONSTRAINT, uri_ + ": " + message);
    }
    throw DbError(ERR_GENERIC, uri_ + ": " + message);
}

PGresult* PostgresEngine::Describe(const std::string& sql) {
    const std::unique_ptr<PGresult, decltype(&PQclear)> prepared(
        PQprepare(connection_, "", sql.c_str(), 0, nullptr), PQclear);
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
        Fail(prepared.get());
    }
    PGresult* described = PQdescribePrepared(connection_, "");
    if (PQresultStatus(described) != PGRES_COMMAND_OK) {
        const std::unique_ptr<PGresult, decltype(&PQclear)> failed(described, PQclear);
        Fail(failed.get());
    }
    return described;
}

std::unique_ptr<EngineStatement> PostgresEngine::Prepare(std::string_view sql) {
    if (connection_ == nullptr) {
        throw DbError(ERR_CANT_OPEN, uri_ + ": the database is closed");
    }
    if (mode_ == OpenMode::Query) {
        // One statement only: the server would run each of several.
        std::string_view rest = sql.substr(std::min(sql.find(';'), sql.size()));
        if (rest.find_first_not_of(" \t\r\n;") != std::string_view::npos) {
            throw DbError(ERR_AUTH, uri_ + ": only one query that reads (SELECT) may run here");
        }
    }
    return std::make_unique<PostgresStatement>(*this, NumberedPlaceholders(sql));
}

std::int64_t PostgresEngine::LastInsertRowId() {
    // The last value a sequence gave in this session: the identity of the row
    // just inserted.
    PGresult* result = PQexec(connection_, "SELECT lastval()");
    std::int64_t id = 0;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1) {
        id = std::strtoll(PQgetvalue(result, 0, 0), nullptr, 10);
    }
    PQclear(result);
    return id;
}

void PostgresStatement::Bind(int index, const Value& value) {
    if (index < 1) {
        throw DbError(ERR_GENERIC, "no parameter " + std::to_string(index));
    }
    const auto at = static_cast<std::size_t>(index - 1);
    if (values_.size() <= at) {
        values_.resize(at + 1);
        types_.resize(at + 1, 0);
    }
    struct Text {
        std::optional<std::string> operator()(std::monostate) const { return std::nullopt; }
        std::optional<std::string> operator()(std::int64_t v) const { return std::to_string(v); }
        std::optional<std::string> operator()(double v) const {
            std::array<char, 32> text{};
            std::snprintf(text.data(), text.size(), "%.17g", v);
            return std::string(text.data());
        }
        std::optional<std::string> operator()(const std::string& v) const { return v; }
    };
    values_[at] = std::visit(Text{}, value.Get());
    // Numbers are typed; texts and nulls take the type of where they go.
    types_[at] = std::holds_alternative<std::int64_t>(value.Get()) ? INT8_TYPE
                 : std::holds_alternative<double>(value.Get())     ? FLOAT8_TYPE
                                                                   : 0;
}

const PGresult* PostgresStatement::Shape() const {
    if (result_ != nullptr) {
        return result_;
    }
    if (described_ == nullptr) {
        described_ = engine_.Describe(sql_);
    }
    return described_;
}

std::string PostgresStatement::ColumnName(int column) const {
    const char* field = PQfname(Shape(), column);
    std::string name = field == nullptr ? std::string() : std::string(field);
    // The server folds unquoted names to lower case: the name is given as
    // the statement spells it, as SQLite gives it.
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    auto identifier = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    };
    for (auto at = sql_.begin();
         (at = std::search(at, sql_.end(), name.begin(), name.end(), same)) != sql_.end(); ++at) {
        const bool starts = at == sql_.begin() || !identifier(*(at - 1));
        const auto end = at + static_cast<std::ptrdiff_t>(name.size());
        if (starts && (end == sql_.end() || !identifier(*end))) {
            return {at, end};
        }
    }
    return name;
}

bool PostgresStatement::Step() {
    if (result_ == nullptr) {
        result_ = engine_.Execute(sql_, values_, types_);
    }
    return ++row_ < PQntuples(result_);
}

Value PostgresStatement::Column(int column) const {
    if (result_ == nullptr || row_ < 0 || row_ >= PQntuples(result_) ||
        PQgetisnull(result_, row_, column) != 0) {
        return {};
    }
    const char* text = PQgetvalue(result_, row_, column);
    switch (PQftype(result_, column)) {
        case BOOL_TYPE:
            return std::int64_t{text[0] == 't' ? 1 : 0};
        case INT2_TYPE:
        case INT4_TYPE:
        case INT8_TYPE:
        case OID_TYPE:
            return static_cast<std::int64_t>(std::strtoll(text, nullptr, 10));
        case NUMERIC_TYPE:
            // Sums of integers are numeric: whole ones read as integers.
            if (std::string_view(text).find_first_of(".eE") == std::string_view::npos) {
                return static_cast<std::int64_t>(std::strtoll(text, nullptr, 10));
            }
            return std::strtod(text, nullptr);
        case FLOAT4_TYPE:
        case FLOAT8_TYPE:
            return std::strtod(text, nullptr);
        default:
            return std::string(text, static_cast<std::size_t>(PQgetlength(result_, row_, column)));
    }
}

}  // namespace

std::unique_ptr<Engine> OpenPostgres(const std::string& uri, OpenMode mode) {
    return std::make_unique<PostgresEngine>(uri, mode);
}

}  // namespace veln::db
