#include "database/read_transaction.h"

namespace veln {

ReadTransaction::ReadTransaction(const db::Database& database) : database_(database) {
    // A plain BEGIN defers the lock to the first read.
    database_.Execute("BEGIN");
}

ReadTransaction::~ReadTransaction() {
    try {
        database_.Execute("COMMIT");
    } catch (const db::DbError&) {
        // Closing the connection ends it all the same.
    }
}

}  // namespace veln
