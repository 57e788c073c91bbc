#include "traceability/element_rows.h"

#include "database/db_elements.h"

namespace veln {

std::string ElementNumberOf(const std::array<std::int64_t, 4>& numbers) {
    std::string number;
    for (std::int64_t part : numbers) {
        number += (number.empty() ? "" : ".") + std::to_string(part);
    }
    return number;
}

std::vector<ElementRow> ReadLiveElements(const db::Database& database, const std::string& docId) {
    std::vector<ElementRow> elements;
    for (auto& element : dbElements::LiveElements(database, docId)) {
        elements.push_back(
            {std::move(element.id), ElementNumberOf(element.numbers), std::move(element.label)});
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
