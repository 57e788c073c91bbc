// A document's live elements as the element lists show them: the id in a
// hidden column, the number and the label, in number order.
#pragma once

#include <array>
#include <cstdint>
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

// An element's four numbers as text, always four parts ("2.1.0.0").
std::string ElementNumberOf(const std::array<std::int64_t, 4>& numbers);
// The elements of the document not marked deleted, in number order, ties in
// the order they were made.
std::vector<ElementRow> ReadLiveElements(const db::Database& database, const std::string& docId);
// Three columns: id (hidden), number, label. The rows replace the list's
// content, and nothing is current or selected.
void FillElementList(host::ListBox& list, const std::vector<ElementRow>& rows);

}  // namespace veln
