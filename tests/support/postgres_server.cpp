#include "postgres_server.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <utility>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "host/db/database.h"

namespace veln::test {

namespace {

// Debian's server programs, of the newest version installed.
std::string ServerPrograms() {
    std::string newest;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
        const std::string bin = (entry.path() / "bin").string();
        if (std::filesystem::exists(bin + "/initdb") && bin > newest) {
            newest = bin;
        }
    }
    if (newest.empty()) {
        throw std::runtime_error("no PostgreSQL server is installed (scripts/setup installs it)");
    }
    return newest;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs a command of the server's, as its owner; throws with its output.
void RunAsOwner(const std::string& command, const std::string& log) {
    const std::string asOwner =
        ::geteuid() == 0 ? "runuser -u postgres -- sh -c " + Quoted(command) : command;
    if (std::system((asOwner + " > " + Quoted(log) + " 2>&1").c_str()) != 0) {
        std::string output;
        if (FILE* file = std::fopen(log.c_str(), "r")) {
            std::array<char, 4096> buffer{};
            output.assign(buffer.data(), std::fread(buffer.data(), 1, buffer.size(), file));
            std::fclose(file);
        }
        throw std::runtime_error("the test server could not start: " + command + "\n" + output);
    }
}

std::string UserName() {
    const passwd* user = ::getpwuid(::geteuid());
    return user != nullptr ? user->pw_name : "postgres";
}

}  // namespace

PostgresServer::PostgresServer() : bin_(ServerPrograms()), owned_(true) {
    std::string pattern = (std::filesystem::temp_directory_path() / "veln-pg.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("no folder for the test server");
    }
    folder_ = pattern;
    Start();
}

PostgresServer::PostgresServer(std::string folder, bool start)
    : folder_(std::move(folder)), bin_(ServerPrograms()) {
    if (start) {
        std::filesystem::create_directories(folder_);
        Start();
    }
}

void PostgresServer::Start() {
    if (::geteuid() == 0) {
        // The server's own user owns its folder; root reaches it as superuser.
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        if (std::system(("chown postgres " + Quoted(folder_)).c_str()) != 0) {
            throw std::runtime_error("the test server's folder cannot be given to postgres");
        }
    }
    RunAsOwner(bin_ + "/initdb -D " + Quoted(folder_ + "/data") + " -A trust -U " +
                   Quoted(UserName()) + " -E UTF8 --locale=C.UTF-8",
               folder_ + "/initdb.log");
    RunAsOwner(bin_ + "/pg_ctl -D " + Quoted(folder_ + "/data") + " -o " +
                   Quoted("-k " + folder_ + " -c listen_addresses='' -c fsync=off") + " -l " +
                   Quoted(folder_ + "/server.log") + " -w start",
               folder_ + "/pg_ctl.log");
}

void PostgresServer::Stop() {
    try {
        RunAsOwner(bin_ + "/pg_ctl -D " + Quoted(folder_ + "/data") + " -m immediate -w stop",
                   folder_ + "/stop.log");
    } catch (const std::exception&) {
        // The folder goes all the same.
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

PostgresServer::~PostgresServer() {
    if (owned_) {
        Stop();
    }
}

std::string PostgresServer::Uri(const std::string& database) const {
    return "postgresql:///" + database + "?host=" + folder_;
}

void PostgresServer::Execute(const std::string& database, const std::string& sql) {
    db::Database::Open(Uri(database)).Execute(sql);
}

std::string PostgresServer::CreateDatabase(const std::string& name) {
    Execute("postgres", "CREATE DATABASE \"" + name + "\"");
    // SQLite's group_concat, which the tests' own queries use to read rows.
    Execute(name,
            "CREATE FUNCTION test_concat(a text, b text) RETURNS text LANGUAGE SQL IMMUTABLE "
            "AS $$ SELECT CASE WHEN a IS NULL THEN b WHEN b IS NULL THEN a "
            "ELSE a || ',' || b END $$");
    Execute(name, "CREATE AGGREGATE group_concat(text) (SFUNC = test_concat, STYPE = text)");
    Execute(name,
            "CREATE FUNCTION test_concat(a text, b text, separator text) RETURNS text LANGUAGE "
            "SQL IMMUTABLE AS $$ SELECT CASE WHEN a IS NULL THEN b WHEN b IS NULL THEN a "
            "ELSE a || separator || b END $$");
    Execute(name, "CREATE AGGREGATE group_concat(text, text) (SFUNC = test_concat, STYPE = text)");
    return Uri(name);
}

void PostgresServer::DropDatabase(const std::string& name) {
    Execute("postgres", "DROP DATABASE IF EXISTS \"" + name + "\" WITH (FORCE)");
}

PostgresServer& SharedPostgresServer() {
    static PostgresServer server;
    return server;
}

}  // namespace veln::test
