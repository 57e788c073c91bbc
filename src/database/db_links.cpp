#include "database/db_links.h"

#include <set>

#include "database/db_stamps.h"
#include "database/schema.h"
#include "database/table_lock.h"

namespace veln::dbLinks {

std::vector<std::string> LiveTargets(const db::Database& database, const std::string& sourceId,
                                     const std::string& targetDocId) {
    db::Statement rows = database.Prepare(
        "SELECT Links.L_Id2 FROM Links WHERE Links.L_Id1 = ?1 AND Links.L_DocId2 = ?2 "
        "AND Links.L_Deleted = 0 ORDER BY Links.L_Autonum");
    rows.Bind(1, sourceId).Bind(2, targetDocId);
    std::vector<std::string> targets;
    while (rows.Step()) {
        targets.push_back(rows.TextOrEmpty("L_Id2"));
    }
    return targets;
}

int Link(const db::Database& database, const LinkSource& source,
         const std::vector<std::string>& targetIds, const std::string& now,
         const std::string& user) {
    schema::EnsureTrackingTables(database);
    db::Transaction transaction(database);
    // Two users making the same link at once would both insert it.
    dbLocks::LockAgainstWriters(database, "Links");
    // The source's live links in every document: a duplicate is the same two
    // element ids, whatever documents the rows name.
    std::set<std::string> linked;
    db::Statement live = database.Prepare(
        "SELECT Links.L_Id2 FROM Links WHERE Links.L_Id1 = ?1 AND Links.L_Deleted = 0");
    live.Bind(1, source.elementId);
    while (live.Step()) {
        linked.insert(live.TextOrEmpty("L_Id2"));
    }
    db::Statement insert = database.Prepare(
        "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_CreateDate) "
        "VALUES (?1, ?2, ?3, ?4, ?5)");
    int made = 0;
    for (const auto& target : targetIds) {
        if (linked.insert(target).second) {
            insert.Reset();
            insert.BindAll({source.elementId, source.docId, target, source.targetDocId, now});
            insert.Run();
            // Made as both ends read now: trusted.
            dbStamps::ReviewNewLink(database, database.LastInsertRowId(), now, user);
            ++made;
        }
    }
    transaction.Commit();
    return made;
}

bool Unlink(const db::Database& database, const std::string& sourceId, const std::string& targetId,
            const std::string& now) {
    database.Execute(
        "UPDATE Links SET L_DeleteDate = ?3, L_Deleted = 1 "
        "WHERE Links.L_Id1 = ?1 AND Links.L_Id2 = ?2 AND Links.L_Deleted = 0",
        {sourceId, targetId, now});
    return database.Changes() > 0;
}

std::vector<LinkEnds> LiveLinksInto(const db::Database& database, const std::string& docId) {
    db::Statement rows = database.Prepare(
        "SELECT Links.L_Id1, Links.L_Id2 FROM Links "
        "WHERE Links.L_DocId2 = ?1 AND Links.L_Deleted = 0 ORDER BY Links.L_Autonum");
    rows.Bind(1, docId);
    std::vector<LinkEnds> links;
    while (rows.Step()) {
        links.push_back({rows.TextOrEmpty("L_Id1"), rows.TextOrEmpty("L_Id2")});
    }
    return links;
}

void ForEachLiveLinkBetween(const db::Database& database, const std::string& firstDocId,
                            const std::string& secondDocId,
                            const std::function<void(const LinkEnds&)>& visit) {
    db::Statement rows = database.Prepare(
        "SELECT Links.L_Id1, Links.L_Id2 FROM Links "
        "WHERE (Links.L_DocId1 = ?1 OR Links.L_DocId1 = ?2) "
        "AND (Links.L_DocId2 = ?1 OR Links.L_DocId2 = ?2) AND Links.L_Deleted = 0");
    rows.Bind(1, firstDocId).Bind(2, secondDocId);
    while (rows.Step()) {
        visit({rows.TextOrEmpty("L_Id1"), rows.TextOrEmpty("L_Id2")});
    }
}

}  // namespace veln::dbLinks
