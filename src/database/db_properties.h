// The statements on the Properties table: the property definitions of a
// project. A deleted definition is marked so, and its row stays. Each takes a
// connection already open; the caller holds any transaction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/db/database.h"

namespace veln::dbProperties {

struct PropertyRow {
    std::int64_t id = 0;  // P_Autonum
    std::string label;
    std::string type;
    std::optional<std::string> defaultValue;
    std::optional<std::string> comboValues;
};

// The live definitions, in the order they were added.
std::vector<PropertyRow> LiveProperties(const db::Database& database);
// The live definitions' ids and labels only, in the table's own order.
std::vector<PropertyRow> LiveLabels(const db::Database& database);
// The number of live definitions.
long CountLive(const db::Database& database);
// The definition of id, deleted or not; nothing without a row.
std::optional<PropertyRow> Find(const db::Database& database, std::int64_t id);

// A new definition, made at now.
void Insert(const db::Database& database, const PropertyRow& definition, const std::string& now);
// A choice list's label, values and default.
void UpdateChoiceList(const db::Database& database, std::int64_t id, const std::string& label,
                      const std::string& comboValues, const std::string& defaultValue);
// The label and default of any other type.
void UpdateLabelAndDefault(const db::Database& database, std::int64_t id, const std::string& label,
                           const std::string& defaultValue);
void MarkDeleted(const db::Database& database, std::int64_t id);

}  // namespace veln::dbProperties
