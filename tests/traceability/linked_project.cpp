#include "linked_project.h"

#include "host/db/database.h"

namespace veln::test {

LinkedProject::LinkedProject() {
    NewDocument({"Requirements"}, "requirements.docx", REQUIREMENTS);
    NewDocument({"Design"}, "design.docx", DESIGN);
    NewDocument({"Tests"}, "tests.docx", TESTS);
}

void LinkedProject::AddElement(const std::string& id, const std::string& docId, std::int16_t n1,
                               std::int16_t n2, const std::string& label, bool deleted) {
    db::Database::Open(database).Execute(
        "INSERT INTO Elements (E_id, E_DocId, E_Number1, E_Number2, E_Number3, E_Number4, "
        "E_level, E_label, E_Deleted) VALUES (?1, ?2, ?3, ?4, 0, 0, ?5, ?6, ?7)",
        {id, docId, n1, n2, n2 == 0 ? 1 : 2, label, deleted ? 1 : 0});
}

void LinkedProject::AddLink(const std::string& sourceId, const std::string& sourceDocId,
                            const std::string& targetId, const std::string& targetDocId,
                            bool deleted) {
    db::Database::Open(database).Execute(
        "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_Deleted) "
        "VALUES (?1, ?2, ?3, ?4, ?5)",
        {sourceId, sourceDocId, targetId, targetDocId, deleted ? 1 : 0});
}

std::string LinkedProject::Rows(const std::string& sql) const {
    db::Database connection = db::Database::Open(database);
    db::Statement rows = connection.Prepare(sql);
    std::string all;
    for (bool first = true; rows.Step(); first = false) {
        all += first ? "" : ",";
        for (int c = 0; c < rows.ColumnCount(); ++c) {
            all += (c == 0 ? "" : "|") + rows.Column(c).ToString();
        }
    }
    return all;
}

std::string LinkedProject::PathOf(const std::string& docId) const {
    return db::Database::Open(database)
        .QueryValue("SELECT D_Name FROM Documents WHERE D_ID = ?1", {docId})
        .ToString();
}

}  // namespace veln::test
