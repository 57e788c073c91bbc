// The statements on the ElemProperties table: an element's value of a
// property definition, a row per pair that was ever given one. Each takes a
// connection already open; the caller holds any transaction.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/db/database.h"

namespace veln::dbElementValues {

struct ElementValue {
    std::string elementId;        // E_id
    std::int64_t propertyId = 0;  // P_id
    std::optional<std::string> value;
};

// The values of the document's elements, deleted elements' too, in the
// table's own order.
std::vector<ElementValue> OfDocument(const db::Database& database, const std::string& docId);
// Calls visit for every value of the project, by element then property.
void ForEachValue(const db::Database& database,
                  const std::function<void(const ElementValue&)>& visit);
// Removes every value of the property definition.
void DeleteOfProperty(const db::Database& database, std::int64_t propertyId);

// Stores values, each over the pair's row or in a new one, with the two
// statements prepared once for many values. Made within a transaction.
class ValueWriter {
  public:
    explicit ValueWriter(const db::Database& database);
    void Store(const ElementValue& value);

  private:
    const db::Database& database_;
    db::Statement update_;
    db::Statement insert_;
};

}  // namespace veln::dbElementValues
