#include "database/db_properties.h"

namespace veln::dbProperties {

namespace {

PropertyRow RowOf(const db::Statement& row) {
    return {row.Integer("P_Autonum").value_or(0), row.TextOrEmpty("P_Label"),
            row.TextOrEmpty("P_Type"), row.Text("P_DefaultValue"), row.Text("P_ComboValues")};
}

}  // namespace

std::vector<PropertyRow> LiveProperties(const db::Database& database) {
    db::Statement rows = database.Prepare(
        "SELECT Properties.* FROM Properties WHERE Properties.P_Deleted = 0 "
        "ORDER BY Properties.P_Autonum");
    std::vector<PropertyRow> definitions;
    while (rows.Step()) {
        definitions.push_back(RowOf(rows));
    }
    return definitions;
}

std::vector<PropertyRow> LiveLabels(const db::Database& database) {
    db::Statement rows = database.Prepare(
        "SELECT Properties.P_Autonum, Properties.P_Label FROM Properties "
        "WHERE Properties.P_Deleted = 0");
    std::vector<PropertyRow> definitions;
    while (rows.Step()) {
        PropertyRow& definition = definitions.emplace_back();
        definition.id = rows.Integer("P_Autonum").value_or(0);
        definition.label = rows.TextOrEmpty("P_Label");
    }
    return definitions;
}

long CountLive(const db::Database& database) {
    db::Value count =
        database.QueryValue("SELECT count(*) FROM Properties WHERE Properties.P_Deleted = 0");
    return static_cast<long>(std::get<std::int64_t>(count.Get()));
}

std::optional<PropertyRow> Find(const db::Database& database, std::int64_t id) {
    db::Statement row =
        database.Prepare("SELECT Properties.* FROM Properties WHERE Properties.P_Autonum = ?1");
    row.Bind(1, id);
    if (!row.Step()) {
        return std::nullopt;
    }
    return RowOf(row);
}

void Insert(const db::Database& database, const PropertyRow& definition, const std::string& now) {
    database.Execute(
        "INSERT INTO Properties (P_Label, P_Type, P_CreationDate, P_DefaultValue, P_ComboValues) "
        "VALUES (?1, ?2, ?3, ?4, ?5)",
        {definition.label, definition.type, now, definition.defaultValue, definition.comboValues});
}

void UpdateChoiceList(const db::Database& database, std::int64_t id, const std::string& label,
                      const std::string& comboValues, const std::string& defaultValue) {
    database.Execute(
        "UPDATE Properties SET P_Label = ?1, P_ComboValues = ?2, P_DefaultValue = ?3 "
        "WHERE Properties.P_Autonum = ?4",
        {label, comboValues, defaultValue, id});
}

void UpdateLabelAndDefault(const db::Database& database, std::int64_t id, const std::string& label,
                           const std::string& defaultValue) {
    database.Execute(
        "UPDATE Properties SET P_Label = ?1, P_DefaultValue = ?2 "
        "WHERE Properties.P_Autonum = ?3",
        {label, defaultValue, id});
}

void MarkDeleted(const db::Database& database, std::int64_t id) {
    database.Execute("UPDATE Properties SET P_Deleted = 1 WHERE Properties.P_Autonum = ?1", {id});
}

}  // namespace veln::dbProperties
