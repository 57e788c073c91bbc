// The statements on the Documents table: a row per document of the project,
// its id, the full path it was saved under and a description. Each takes a
// connection already open; the caller holds any transaction and retry.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/db/database.h"

namespace veln::dbDocuments {

struct DocumentRow {
    std::string id;    // D_ID
    std::string name;  // D_Name: the document's full path
    std::optional<std::string> description;
};

// The row of docId, or nothing.
std::optional<DocumentRow> Find(const db::Database& database, const std::string& docId);
// Every row, in the table's own order.
std::vector<DocumentRow> All(const db::Database& database);
// Every row's id and name, in the order the rows were made.
std::vector<DocumentRow> InInsertionOrder(const db::Database& database);

// A new row; an empty description is stored as none.
void Insert(const db::Database& database, const std::string& docId, const std::string& name,
            const std::string& description);
// The row's name; database.Changes() tells whether there was a row.
void SetName(const db::Database& database, const std::string& docId, const std::string& name);
void SetNameAndDescription(const db::Database& database, const std::string& docId,
                           const std::string& name, const std::string& description);
void SetDescription(const db::Database& database, const std::string& docId,
                    const std::string& description);

}  // namespace veln::dbDocuments
