// One transaction over reads: what is read inside it sees one state of the
// project, and the file is locked once rather than once per statement.
#pragma once

#include "host/db/database.h"

namespace veln {

class ReadTransaction {
  public:
    explicit ReadTransaction(const db::Database& database);
    // Ends it; nothing was written, so ending only lets the file go.
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

  private:
    const db::Database& database_;
};

}  // namespace veln
