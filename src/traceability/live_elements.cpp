#include "traceability/live_elements.h"

#include "database/db_elements.h"
#include "elements/element.h"
#include "traceability/file_address.h"

namespace veln {

void ForEachLiveElement(const db::Database& database, const std::string& docId,
                        std::optional<int> firstRank,
                        const std::function<bool(const LiveElement&)>& visit) {
    Element element;
    LiveElement live;
    dbElements::ForEachLiveElement(
        database, docId, firstRank, [&](const dbElements::NumberedElement& row) {
            for (std::size_t level = 0; level < row.numbers.size(); ++level) {
                element.numbers.at(level) = static_cast<std::int16_t>(row.numbers.at(level));
            }
            live.id = row.id;
            live.number = element.ElementNumber();
            live.label = row.label;
            return visit(live);
        });
}

std::string ElementAddress(const std::string& documentPath, const std::string& elementId) {
    return FileAddress(documentPath) + "#" + elementId;
}

}  // namespace veln
