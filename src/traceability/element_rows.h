// A document's live elements as the element lists show them: the id in a
// hidden column, the number and the label, in number order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/db/database.h"
#include "host/ui/controls.h"

namespace veln {

struct ElementRow {
    std::string id;
    std::string number;  // "2.1.0.0"
    std::string label;
};

// The four numbers of the current row of a statement that reads E_Number1 to
// E_Number4, always four parts ("2.1.0.0"); a number never set counts 0.
std::string ElementNumberOf(const db::Statement& row);
// The elements of the document not marked deleted, in number order.
std::vector<ElementRow> ReadLiveElements(const db::Database& database, const std::string& docId);
// Three columns: id (hidden), number, label. The rows replace the list's
// content, and nothing is current or selected.
void FillElementList(host::ListBox& list, const std::vector<ElementRow>& rows);

}  // namespace veln
