// A real PostgreSQL server for the tests: made in a temporary folder,
// listening on a Unix socket only, started once per test program and stopped
// at its end. The server refuses to run as root: under root it runs as the
// system's "postgres" user, and root is its superuser.
#pragma once

#include <string>

namespace veln::test {

class PostgresServer {
  public:
    // A server in a new temporary folder, stopped and removed with this.
    PostgresServer();
    // The server of folder: started there when start, which makes the
    // folder; otherwise the one running there. Left running unless Stop.
    PostgresServer(std::string folder, bool start);
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // A new, empty database on the server, and its project database name
    // (postgresql:///NAME?host=SOCKET).
    std::string CreateDatabase(const std::string& name);
    void DropDatabase(const std::string& name);
    // The name of a database on this server.
    std::string Uri(const std::string& database) const;
    // Runs SQL as the superuser in database.
    void Execute(const std::string& database, const std::string& sql);
    // Stops the server and removes its folder.
    void Stop();

  private:
    void Start();

    std::string folder_;
    std::string bin_;
    bool owned_ = false;  // stopped by the destructor
};

// The server of this test program, started at the first call.
PostgresServer& SharedPostgresServer();

}  // namespace veln::test
