#include "traceability/element_rows.h"

namespace veln {

std::string ElementNumberOf(const db::Statement& row) {
    std::string number;
    for (const char* field : {"E_Number1", "E_Number2", "E_Number3", "E_Number4"}) {
        number += (number.empty() ? "" : ".") + std::to_string(row.Integer(field).value_or(0));
    }
    return number;
}

std::vector<ElementRow> ReadLiveElements(const db::Database& database, const std::string& docId) {
    db::Statement rows = database.Prepare(
        "SELECT Elements.E_id, Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
        "Elements.E_Number4, Elements.E_Label FROM Elements "
        "WHERE Elements.E_DocId = ?1 AND Elements.E_Deleted = 0 "
        "ORDER BY Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
        "Elements.E_Number4, Elements.rowid");
    rows.Bind(1, docId);
    std::vector<ElementRow> elements;
    while (rows.Step()) {
        elements.push_back(
            {rows.TextOrEmpty("E_id"), ElementNumberOf(rows), rows.TextOrEmpty("E_Label")});
    }
    return elements;
}

void FillElementList(host::ListBox& list, const std::vector<ElementRow>& rows) {
    list.Clear();
    list.ColumnCount = 3;
    list.HiddenColumns = {0};
    for (const auto& element : rows) {
        int row = list.ListCount();
        list.AddItem(element.id);
        list.SetList(row, 1, element.number);
        list.SetList(row, 2, element.label);
    }
}

}  // namespace veln
