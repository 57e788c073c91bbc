#include "tracking/element_suspects.h"

#include "database/db_stamps.h"
#include "traceability/element_rows.h"

namespace veln::tracking {

std::string ElementShown(dbElements::ElementFinder& finder, const std::string& elementId) {
    std::optional<dbElements::NumberedElement> element = finder.Find(elementId);
    return element ? ElementNumberOf(element->numbers) + " " + element->label : elementId;
}

std::map<std::string, std::vector<std::string>> SuspectEndsByElement(const db::Database& database,
                                                                     const std::string& docId) {
    std::map<std::string, std::vector<std::string>> ends;
    dbElements::ElementFinder finder(database);
    for (const dbStamps::LinkState& link : dbStamps::LinkStates(database, {docId}, false)) {
        if (!link.Suspect()) {
            continue;
        }
        if (link.source.docId == docId) {
            ends[link.source.elementId].push_back(ElementShown(finder, link.target.elementId));
        }
        if (link.target.docId == docId) {
            ends[link.target.elementId].push_back(ElementShown(finder, link.source.elementId));
        }
    }
    return ends;
}

}  // namespace veln::tracking
