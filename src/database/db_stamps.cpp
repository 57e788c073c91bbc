#include "database/db_stamps.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "database/schema.h"
#include "host/utf8.h"

namespace veln::dbStamps {

namespace {

// A link reviewed as its ends read now: made, or made again.
constexpr const char* REVIEW_LINK =
    "INSERT INTO LinkReviews (R_LinkId, R_Fingerprint1, R_Text1, R_Fingerprint2, R_Text2, "
    "R_Date, R_User) "
    "SELECT Links.L_Autonum, S1.S_Fingerprint, S1.S_Text, S2.S_Fingerprint, S2.S_Text, ?2, ?3 "
    "FROM Links LEFT JOIN ElementStamps AS S1 ON S1.S_ElementId = Links.L_Id1 "
    "LEFT JOIN ElementStamps AS S2 ON S2.S_ElementId = Links.L_Id2 "
    "WHERE Links.L_Autonum = ?1 AND Links.L_Deleted = 0 "
    "ON CONFLICT (R_LinkId) DO UPDATE SET R_Fingerprint1 = excluded.R_Fingerprint1, "
    "R_Text1 = excluded.R_Text1, R_Fingerprint2 = excluded.R_Fingerprint2, "
    "R_Text2 = excluded.R_Text2, R_Date = excluded.R_Date, R_User = excluded.R_User, "
    "R_Suspect = 0";

// Whether an end of the review's link read otherwise since (an end never
// read, or read for the first time, is not).
constexpr const char* CHANGED_SINCE_REVIEW =
    "(CASE WHEN EXISTS (SELECT 1 FROM ElementStamps, Links "
    "WHERE Links.L_Autonum = LinkReviews.R_LinkId AND "
    "((S_ElementId = Links.L_Id1 AND S_Fingerprint <> LinkReviews.R_Fingerprint1) OR "
    "(S_ElementId = Links.L_Id2 AND S_Fingerprint <> LinkReviews.R_Fingerprint2))) "
    "THEN 1 ELSE 0 END)";

std::optional<std::string> Optional(const db::Statement& row, std::string_view field) {
    return row.Text(field);
}

// Writes each reading at now; returns the elements whose fingerprint
// differs from their last reading.
std::vector<std::string> WriteReadings(const db::Database& database,
                                       const std::vector<Reading>& readings,
                                       const std::string& now) {
    db::Statement last =
        database.Prepare("SELECT S_Fingerprint FROM ElementStamps WHERE S_ElementId = ?1");
    db::Statement stamp = database.Prepare(
        "INSERT INTO ElementStamps (S_ElementId, S_Fingerprint, S_Text, S_Date) "
        "VALUES (?1, ?2, ?3, ?4) ON CONFLICT (S_ElementId) DO UPDATE SET "
        "S_Fingerprint = excluded.S_Fingerprint, S_Text = excluded.S_Text, S_Date = "
        "excluded.S_Date");
    std::vector<std::string> changed;
    for (const Reading& reading : readings) {
        last.Reset();
        last.Bind(1, reading.elementId);
        if (last.Step() && last.TextOrEmpty("S_Fingerprint") != reading.fingerprint) {
            changed.push_back(reading.elementId);
        }
        stamp.Reset();
        stamp.BindAll({reading.elementId, reading.fingerprint,
                       host::FirstCharacters(reading.text, STORED_TEXT_CHARACTERS), now});
        stamp.Run();
    }
    return changed;
}

// An end that no reading had when its link was reviewed takes its first:
// a link is never suspect for want of a reading.
void AdoptFirstReadings(const db::Database& database, const std::string& docId) {
    for (const auto& [fingerprint, text, end] :
         {std::tuple{"R_Fingerprint1", "R_Text1", "L_Id1"},
          std::tuple{"R_Fingerprint2", "R_Text2", "L_Id2"}}) {
        const std::string source = std::string(
                                       "FROM ElementStamps, Links WHERE Links.L_Autonum = "
                                       "LinkReviews.R_LinkId AND ElementStamps.S_ElementId = "
                                       "Links.") +
                                   end;
        database.Execute(std::string("UPDATE LinkReviews SET ") + fingerprint +
                             " = (SELECT S_Fingerprint " + source + "), " + text +
                             " = (SELECT S_Text " + source + ") WHERE " + fingerprint +
                             " IS NULL AND R_LinkId IN (SELECT L_Autonum FROM Links WHERE "
                             "L_DocId1 = ?1 OR L_DocId2 = ?1) AND EXISTS (SELECT 1 " +
                             source + ")",
                         {docId});
    }
}

// Links made before links were reviewed: trusted as they read now.
void ReviewUnreviewedLinks(const db::Database& database, const std::string& docId,
                           const std::string& now, const std::string& user) {
    database.Execute(
        "INSERT INTO LinkReviews (R_LinkId, R_Fingerprint1, R_Text1, R_Fingerprint2, R_Text2, "
        "R_Date, R_User) "
        "SELECT Links.L_Autonum, S1.S_Fingerprint, S1.S_Text, S2.S_Fingerprint, S2.S_Text, ?2, ?3 "
        "FROM Links LEFT JOIN ElementStamps AS S1 ON S1.S_ElementId = Links.L_Id1 "
        "LEFT JOIN ElementStamps AS S2 ON S2.S_ElementId = Links.L_Id2 "
        "WHERE Links.L_Deleted = 0 AND (Links.L_DocId1 = ?1 OR Links.L_DocId2 = ?1) "
        "AND NOT EXISTS (SELECT 1 FROM LinkReviews WHERE LinkReviews.R_LinkId = Links.L_Autonum)",
        {docId, now, user});
}

// The links of elements that read otherwise now, weighed again: a few
// hundred elements at a time, each batch one pass over the links.
void WeighAgain(const db::Database& database, const std::vector<std::string>& changed) {
    constexpr std::size_t BATCH = 500;
    for (std::size_t first = 0; first < changed.size(); first += BATCH) {
        const std::size_t count = std::min(BATCH, changed.size() - first);
        std::string marks;
        std::vector<db::Value> ids;
        for (std::size_t i = 0; i < count; ++i) {
            marks += i == 0 ? "?" : ", ?";
            ids.emplace_back(changed[first + i]);
        }
        database.Execute(std::string("UPDATE LinkReviews SET R_Suspect = ") + CHANGED_SINCE_REVIEW +
                             " WHERE R_LinkId IN (SELECT L_Autonum FROM Links WHERE L_Id1 IN (" +
                             marks + ") OR L_Id2 IN (" + marks + "))",
                         [&] {
                             std::vector<db::Value> twice = ids;
                             twice.insert(twice.end(), ids.begin(), ids.end());
                             return twice;
                         }());
    }
}

}  // namespace

void Record(const db::Database& database, const std::string& docId,
            const std::vector<Reading>& readings, const std::string& now, const std::string& user) {
    schema::EnsureTrackingTables(database);
    db::Transaction transaction(database);
    const std::vector<std::string> changed = WriteReadings(database, readings, now);
    AdoptFirstReadings(database, docId);
    ReviewUnreviewedLinks(database, docId, now, user);
    WeighAgain(database, changed);
    transaction.Commit();
}

void ReviewNewLink(const db::Database& database, std::int64_t linkId, const std::string& now,
                   const std::string& user) {
    database.Execute(REVIEW_LINK, {linkId, now, user});
}

int Review(const db::Database& database, const std::vector<std::int64_t>& links,
           const std::string& now, const std::string& user) {
    schema::EnsureTrackingTables(database);
    db::Transaction transaction(database);
    db::Statement review = database.Prepare(REVIEW_LINK);
    int reviewed = 0;
    for (std::int64_t link : std::set<std::int64_t>(links.begin(), links.end())) {
        review.Reset();
        review.BindAll({link, now, user});
        review.Run();
        reviewed += database.Changes() > 0 ? 1 : 0;
    }
    transaction.Commit();
    return reviewed;
}

std::vector<LinkState> LinkStates(const db::Database& database,
                                  const std::vector<std::string>& docIds, bool texts) {
    const bool tracked = schema::HasTrackingTables(database);
    const std::string reviewed =
        !tracked ? "NULL AS R_Fingerprint1, NULL AS R_Text1, NULL AS R_Fingerprint2, "
                   "NULL AS R_Text2, NULL AS R_Date, NULL AS R_User, NULL AS F1, NULL AS T1, "
                   "NULL AS D1, NULL AS F2, NULL AS T2, NULL AS D2 "
        : texts  ? "R.R_Fingerprint1, R.R_Text1, R.R_Fingerprint2, R.R_Text2, R.R_Date, R.R_User, "
                   "S1.S_Fingerprint AS F1, S1.S_Text AS T1, S1.S_Date AS D1, "
                   "S2.S_Fingerprint AS F2, S2.S_Text AS T2, S2.S_Date AS D2 "
                 : "R.R_Fingerprint1, NULL AS R_Text1, R.R_Fingerprint2, NULL AS R_Text2, "
                   "R.R_Date, R.R_User, S1.S_Fingerprint AS F1, NULL AS T1, S1.S_Date AS D1, "
                   "S2.S_Fingerprint AS F2, NULL AS T2, S2.S_Date AS D2 ";
    const std::string joins = tracked ? "LEFT JOIN LinkReviews AS R ON R.R_LinkId = L.L_Autonum "
                                        "LEFT JOIN ElementStamps AS S1 ON S1.S_ElementId = L.L_Id1 "
                                        "LEFT JOIN ElementStamps AS S2 ON S2.S_ElementId = L.L_Id2 "
                                      : "";
    db::Statement rows = database.Prepare(
        "SELECT L.L_Autonum, L.L_Id1, E1.E_DocId AS Doc1, L.L_Id2, E2.E_DocId AS Doc2, " +
        reviewed +
        "FROM Links AS L JOIN Elements AS E1 ON E1.E_id = L.L_Id1 AND E1.E_Deleted = 0 "
        "JOIN Elements AS E2 ON E2.E_id = L.L_Id2 AND E2.E_Deleted = 0 " +
        joins + "WHERE L.L_Deleted = 0 ORDER BY L.L_Autonum");
    const std::set<std::string> wanted(docIds.begin(), docIds.end());
    std::vector<LinkState> states;
    while (rows.Step()) {
        LinkState state;
        state.source.docId = rows.TextOrEmpty("Doc1");
        state.target.docId = rows.TextOrEmpty("Doc2");
        if (!wanted.empty() && !wanted.contains(state.source.docId) &&
            !wanted.contains(state.target.docId)) {
            continue;
        }
        state.link = rows.Integer("L_Autonum").value_or(0);
        state.source.elementId = rows.TextOrEmpty("L_Id1");
        state.target.elementId = rows.TextOrEmpty("L_Id2");
        state.source.reviewed = Optional(rows, "R_Fingerprint1");
        state.source.reviewedText = Optional(rows, "R_Text1");
        state.target.reviewed = Optional(rows, "R_Fingerprint2");
        state.target.reviewedText = Optional(rows, "R_Text2");
        state.source.current = Optional(rows, "F1");
        state.source.currentText = Optional(rows, "T1");
        state.source.readDate = Optional(rows, "D1");
        state.target.current = Optional(rows, "F2");
        state.target.currentText = Optional(rows, "T2");
        state.target.readDate = Optional(rows, "D2");
        state.reviewDate = Optional(rows, "R_Date");
        state.reviewUser = rows.TextOrEmpty("R_User");
        states.push_back(std::move(state));
    }
    return states;
}

std::vector<std::pair<std::string, std::string>> SuspectPairs(const db::Database& database,
                                                              const std::string& firstDocId,
                                                              const std::string& secondDocId) {
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!schema::HasTrackingTables(database)) {
        return pairs;  // nothing read, nothing reviewed: nothing suspect
    }
    db::Statement rows = database.Prepare(
        "SELECT L.L_Id1, L.L_Id2 FROM LinkReviews AS R "
        "JOIN Links AS L ON L.L_Autonum = R.R_LinkId "
        "WHERE R.R_Suspect = 1 AND L.L_Deleted = 0 AND (L.L_DocId1 = ?1 OR L.L_DocId1 = ?2) "
        "AND (L.L_DocId2 = ?1 OR L.L_DocId2 = ?2)");
    rows.Bind(1, firstDocId).Bind(2, secondDocId);
    while (rows.Step()) {
        pairs.emplace_back(rows.TextOrEmpty("L_Id1"), rows.TextOrEmpty("L_Id2"));
    }
    return pairs;
}

}  // namespace veln::dbStamps
