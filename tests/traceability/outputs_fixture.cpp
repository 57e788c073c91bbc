#include "outputs_fixture.h"

#include <algorithm>
#include <filesystem>

#include "database/doc_variables.h"
#include "host/db/database.h"
#include "host/sheet/workbook.h"

namespace veln::test {

OutputsTest::OutputsTest() {
    AddDocument(SOURCE_ID, SourcePath());
    AddDocument(TARGET_ID, TargetPath());
}

void OutputsTest::AddDocument(const std::string& id, const std::string& path) {
    db::Database::Open(database).Execute("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2)",
                                         {id, path});
}

void OutputsTest::OpenSource() {
    NewDocument({"Brakes"}, SOURCE_FILE, "");
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, database);
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, SOURCE_ID);
}

void OutputsTest::AddElement(const std::string& id, const std::string& docId,
                             std::array<int, 4> numbers, const std::string& label, bool deleted) {
    db::Database::Open(database).Execute(
        "INSERT INTO Elements (E_id, E_DocId, E_label, E_Number1, E_Number2, E_Number3, "
        "E_Number4, E_level, E_Deleted) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 1, ?8)",
        {id, docId, label, numbers[0], numbers[1], numbers[2], numbers[3], deleted});
}

void OutputsTest::AddLink(const std::string& id1, const std::string& docId1, const std::string& id2,
                          const std::string& docId2, bool deleted) {
    db::Database::Open(database).Execute(
        "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_Deleted) "
        "VALUES (?1, ?2, ?3, ?4, ?5)",
        {id1, docId1, id2, docId2, deleted});
}

std::int64_t OutputsTest::AddProperty(const std::string& label, bool deleted) {
    db::Database db = db::Database::Open(database);
    db.Execute("INSERT INTO Properties (P_Label, P_Type, P_Deleted) VALUES (?1, 'TEXT', ?2)",
               {label, deleted});
    return db.LastInsertRowId();
}

void OutputsTest::AddValue(std::int64_t propertyId, const std::string& elementId,
                           const std::string& value) {
    db::Database::Open(database).Execute(
        "INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (?1, ?2, ?3)",
        {propertyId, elementId, value});
}

void OutputsTest::ExecuteUnchecked(const std::string& sql,
                                   const std::vector<db::Value>& parameters) {
    db::Database db = db::Database::Open(database);
    db.Execute("PRAGMA ignore_check_constraints = ON");
    db.Execute(sql, parameters);
}

std::vector<std::string> OutputsTest::Workbooks() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        if (entry.path().extension() == ".xlsx") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

ReadWorkbook OutputsTest::Saved(const host::Workbook& workbook, const std::string& name) {
    std::string path = (dir.Path() / "saved" / name).string();
    std::filesystem::create_directories(dir.Path() / "saved");
    workbook.SaveAs(path);
    return ReadBack(path);
}

}  // namespace veln::test
