// The suspect links of a document's elements as people read them: for each
// element, the other end of each of its suspect links, by number and label.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "database/db_elements.h"
#include "host/db/database.h"

namespace veln::tracking {

// "1.2.0.0 Label" of a stored element; its id when it is not found.
std::string ElementShown(dbElements::ElementFinder& finder, const std::string& elementId);

// Element id → the other ends of its suspect links, in the order the links
// were made. Elements of docId only; a link within the document is listed
// at both its ends.
std::map<std::string, std::vector<std::string>> SuspectEndsByElement(const db::Database& database,
                                                                     const std::string& docId);

}  // namespace veln::tracking
