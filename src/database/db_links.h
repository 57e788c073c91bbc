// The statements on the Links table: links from one source element to
// target elements, made and undone by the link dialog, and read by the
// outputs. A link is live while L_Deleted is
// false; undoing one marks it deleted with the time, and the row stays.
// Direction matters: (source, target) is stored as (L_Id1, L_Id2).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/db/database.h"

namespace veln::dbLinks {

// The ends a new link records besides the target element.
struct LinkSource {
    std::string elementId;
    std::string docId;
    std::string targetDocId;
};

// The targets of the source element's live links into targetDocId, in the
// order the links were made.
std::vector<std::string> LiveTargets(const db::Database& database, const std::string& sourceId,
                                     const std::string& targetDocId);

// A live link from the source to each target that has none yet, made at
// now and reviewed by user as its ends read now; the document ids play no
// part in that test. In one transaction. Returns the number of links made.
int Link(const db::Database& database, const LinkSource& source,
         const std::vector<std::string>& targetIds, const std::string& now,
         const std::string& user = "");

// Marks the live links from sourceId to targetId deleted at now; true when
// there was one. Every live row of the pair goes, so none is left behind.
bool Unlink(const db::Database& database, const std::string& sourceId, const std::string& targetId,
            const std::string& now);

// The two ends of a link as stored.
struct LinkEnds {
    std::string source;  // L_Id1
    std::string target;  // L_Id2
};

// The live links into the document, in the order they were made.
std::vector<LinkEnds> LiveLinksInto(const db::Database& database, const std::string& docId);

// Calls visit for each live link whose two ends lie in either document
// (links within each one included), in the table's own order.
void ForEachLiveLinkBetween(const db::Database& database, const std::string& firstDocId,
                            const std::string& secondDocId,
                            const std::function<void(const LinkEnds&)>& visit);

}  // namespace veln::dbLinks
