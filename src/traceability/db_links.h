// The Links rows that the link dialog writes: links from one source element
// to target elements, made and undone. A link is live while L_Deleted is
// false; undoing one marks it deleted with the time, and the row stays.
// Direction matters: (source, target) is stored as (L_Id1, L_Id2).
#pragma once

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
// now; the document ids play no part in that test. In one transaction.
// Returns the number of links made.
int Link(const db::Database& database, const LinkSource& source,
         const std::vector<std::string>& targetIds, const std::string& now);

// Marks the live links from sourceId to targetId deleted at now; true when
// there was one. Every live row of the pair goes, so none is left behind.
bool Unlink(const db::Database& database, const std::string& sourceId, const std::string& targetId,
            const std::string& now);

}  // namespace veln::dbLinks
