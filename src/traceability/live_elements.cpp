#include "traceability/live_elements.h"

#include "database/db_elements.h"
#include "traceability/file_address.h"

namespace veln {

namespace {

// The number as stored: a value past what a document's element holds (16 bits)
// is shown as it is, as the links tree shows it, never wrapped.
std::string NumberText(const std::array<std::int64_t, 4>& numbers) {
    return std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." +
           std::to_string(numbers[2]) + "." + std::to_string(numbers[3]);
}

}  // namespace

void ForEachLiveElement(const db::Database& database, const std::string& docId,
                        std::optional<int> firstRank,
                        const std::function<bool(const LiveElement&)>& visit) {
    LiveElement live;
    dbElements::ForEachLiveElement(database, docId, firstRank,
                                   [&](const dbElements::NumberedElement& row) {
                                       live.id = row.id;
                                       live.number = NumberText(row.numbers);
                                       live.label = row.label;
                                       return visit(live);
                                   });
}

std::string ElementAddress(const std::string& documentPath, const std::string& elementId) {
    return FileAddress(documentPath) + "#" + elementId;
}

}  // namespace veln
