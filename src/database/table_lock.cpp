#include "database/table_lock.h"

#include <string>

namespace veln::dbLocks {

void LockAgainstWriters(const db::Database& database, const char* table) {
    if (database.Kind() == db::EngineKind::Postgres) {
        // The weakest mode that conflicts with itself and lets readers in.
        database.Execute(std::string("LOCK TABLE ") + table + " IN SHARE ROW EXCLUSIVE MODE");
    }
}

}  // namespace veln::dbLocks
