// Writes that look for a row, then update it or insert it, must not run side
// by side for the same rows, or both insert. A SQLite file lets one writer at
// a time in; on a server, the table is locked against other such writers
// (readers go on) until the transaction ends, a wait bounded by the lock
// timeout like any other.
#pragma once

#include "host/db/database.h"

namespace veln::dbLocks {

// Within a transaction: holds table against other writers until it ends.
void LockAgainstWriters(const db::Database& database, const char* table);

}  // namespace veln::dbLocks
