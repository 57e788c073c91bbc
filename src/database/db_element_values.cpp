#include "database/db_element_values.h"

#include "database/table_lock.h"
#include "host/utf8.h"

namespace veln::dbElementValues {

namespace {

// Values are kept without control characters; those of an older project
// read as blanks.
ElementValue ValueOf(const db::Statement& row) {
    std::optional<std::string> value = row.Text("PE_value");
    if (value) {
        value = host::BlankControlCharacters(*value);
    }
    return {row.TextOrEmpty("E_id"), row.Integer("P_id").value_or(0), std::move(value)};
}

}  // namespace

std::vector<ElementValue> OfDocument(const db::Database& database, const std::string& docId) {
    // One pass over the document's values, reached through the index on
    // their element.
    db::Statement rows = database.Prepare(
        "SELECT ElemProperties.P_id, ElemProperties.E_id, ElemProperties.PE_value "
        "FROM Elements JOIN ElemProperties ON ElemProperties.E_id = Elements.E_id "
        "WHERE Elements.E_DocId = ?1");
    rows.Bind(1, docId);
    std::vector<ElementValue> values;
    while (rows.Step()) {
        values.push_back(ValueOf(rows));
    }
    return values;
}

void ForEachValue(const db::Database& database,
                  const std::function<void(const ElementValue&)>& visit) {
    db::Statement rows = database.Prepare(
        "SELECT ElemProperties.E_Id, ElemProperties.P_Id, ElemProperties.PE_Value "
        "FROM ElemProperties ORDER BY ElemProperties.E_Id, ElemProperties.P_Id");
    while (rows.Step()) {
        visit(ValueOf(rows));
    }
}

void DeleteOfProperty(const db::Database& database, std::int64_t propertyId) {
    database.Execute("DELETE FROM ElemProperties WHERE ElemProperties.P_id = ?1", {propertyId});
}

ValueWriter::ValueWriter(const db::Database& database)
    : database_(database),
      // Found through the element's few values ("+" keeps the query off the
      // property's index, which holds a value of every element).
      update_(database.Prepare("UPDATE ElemProperties SET PE_value = ?1 "
                               "WHERE +ElemProperties.P_id = ?2 AND ElemProperties.E_id = ?3")),
      insert_(database.Prepare(
          "INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (?1, ?2, ?3)")) {
    // Two users storing an element's first value at once would both insert.
    dbLocks::LockAgainstWriters(database, "ElemProperties");
}

void ValueWriter::Store(const ElementValue& value) {
    update_.Reset();
    update_.Bind(1, value.value).Bind(2, value.propertyId).Bind(3, value.elementId).Run();
    if (database_.Changes() == 0) {
        insert_.Reset();
        insert_.Bind(1, value.propertyId).Bind(2, value.elementId).Bind(3, value.value).Run();
    }
}

}  // namespace veln::dbElementValues
