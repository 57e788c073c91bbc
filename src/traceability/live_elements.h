// The live elements of a document in number order, as the outputs list them,
// and the addresses of their links.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/db/database.h"

namespace veln {

struct LiveElement {
    std::string id;
    std::string number;  // all four levels, "2.1.0.0"
    std::string label;
};

// Calls visit for each live element of the document, in number order; only
// those of first-level number firstRank when one is given. visit returns
// false to stop.
void ForEachLiveElement(const db::Database& database, const std::string& docId,
                        std::optional<int> firstRank,
                        const std::function<bool(const LiveElement&)>& visit);

// The address spreadsheets follow to an element: its document's file
// address, and the element's id (its bookmark) as the fragment.
std::string ElementAddress(const std::string& documentPath, const std::string& elementId);

}  // namespace veln
