// Errors of the database layer: a number and a description. A database locked
// by another user past the busy timeout is number 3008, the number the system
// answers with its Retry/Cancel question; other errors carry SQLite's result code.
#pragma once

#include <stdexcept>
#include <string>

namespace veln::db {

// The database is locked by another user (past the busy timeout).
inline constexpr long ERR_LOCKED = 3008;
// The file is not a database, or not a project database.
inline constexpr long ERR_NOT_A_DATABASE = 26;
// The file, or a row of it, is damaged (SQLite's own number for it).
inline constexpr long ERR_CORRUPT = 11;
// The file could not be opened or created.
inline constexpr long ERR_CANT_OPEN = 14;
// A row would break a check or a unique field (SQLite's own number for it).
inline constexpr long ERR_CONSTRAINT = 19;

class DbError : public std::runtime_error {
  public:
    DbError(long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    long Number() const { return number_; }
    std::string Description() const { return what(); }

  private:
    long number_;
};

}  // namespace veln::db
