// The sqlite3 shell, or psql for a server's database, run on a project
// database: what another program reading it finds there, rather than what
// our own database layer says.
#pragma once

#include <array>
#include <stdexcept>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace veln::test {

// The rows of a query, cells joined by "|", rows by a line feed.
inline std::string Sqlite3(const std::string& database, const std::string& sql) {
    int output[2];
    if (pipe(output) != 0) {
        throw std::runtime_error("pipe");
    }
    pid_t child = fork();
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        if (database.starts_with("postgresql://")) {
            execlp("psql", "psql", "-X", "-q", "-A", "-t", "-F", "|", "-v", "ON_ERROR_STOP=1", "-d",
                   database.c_str(), "-c", sql.c_str(), static_cast<char*>(nullptr));
        } else {
            execlp("sqlite3", "sqlite3", "-batch", "-noheader", "-separator", "|", "-readonly",
                   database.c_str(), sql.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    close(output[1]);
    std::string rows;
    std::array<char, 4096> buffer{};
    for (ssize_t got = 0; (got = read(output[0], buffer.data(), buffer.size())) > 0;) {
        rows.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(output[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the reader failed on " + database + ": " + sql);
    }
    if (!rows.empty() && rows.back() == '\n') {
        rows.pop_back();
    }
    return rows;
}

}  // namespace veln::test
