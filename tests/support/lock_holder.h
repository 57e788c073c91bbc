// Another process that holds a database's write lock until released: the
// other user of a shared project database.
#pragma once

#include <stdexcept>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "host/db/database.h"

namespace veln::test {

class LockHolder {
  public:
    // Takes the lock, runs sql (if any) inside it, and waits to be released.
    explicit LockHolder(const std::string& path, const std::string& sql = "") {
        int ready[2];
        int release[2];
        if (pipe(ready) != 0 || pipe(release) != 0) {
            throw std::runtime_error("pipe");
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(release[1]);
            char byte = 0;
            {
                db::Database database = db::Database::Open(path);
                db::Transaction transaction(database);
                if (!sql.empty()) {
                    database.Execute(sql);
                }
                (void)!write(ready[1], "r", 1);
                (void)!read(release[0], &byte, 1);
                transaction.Commit();
            }
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char byte = 0;
        (void)!read(ready[0], &byte, 1);
        close(ready[0]);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    ~LockHolder() { Release(); }

    void Release() {
        if (release_ >= 0) {
            (void)!write(release_, "x", 1);
            close(release_);
            release_ = -1;
            waitpid(pid_, nullptr, 0);
        }
    }

  private:
    pid_t pid_ = -1;
    int release_ = -1;
};

}  // namespace veln::test
