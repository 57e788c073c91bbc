// A created project database read back through SQLite's own catalogue: the five
// tables, their fields in order, the rules on their values, and six indexes.
#include "database/schema.h"

#include <cstdio>
#include <memory>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "temp_dir.h"

namespace veln::schema {
namespace {

using test::TempDir;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::string> Column(const db::Database& db, const std::string& sql, const char* field) {
    std::vector<std::string> values;
    db::Statement statement = db.Prepare(sql);
    while (statement.Step()) {
        values.push_back(statement.Field(field).ToString());
    }
    return values;
}

class SchemaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateProjectDatabaseFile(dir / "project.mdb");
        db = std::make_unique<db::Database>(OpenProjectDatabase(dir / "project.mdb"));
    }
    bool Accepts(const std::string& sql, const std::vector<db::Value>& values = {}) {
        try {
            db->Execute(sql, values);
            return true;
        } catch (const db::DbError&) {
            return false;
        }
    }

    TempDir dir;
    std::unique_ptr<db::Database> db;
};

TEST_F(SchemaTest, TablesAndFieldsAreAsDefinedInOrder) {
    EXPECT_THAT(Column(*db,
                       "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                       "LIKE 'sqlite_%' ORDER BY rootpage",
                       "name"),
                ElementsAre("Documents", "Elements", "Properties", "Links", "ElemProperties"));
    const std::map<std::string, std::vector<std::string>> fields{
        {"Documents", {"D_ID", "D_Name", "D_Description"}},
        {"Elements",
         {"E_id", "E_label", "E_DocId", "E_CreateDate", "E_ModifDate", "E_DeleteDate", "E_Number1",
          "E_Number2", "E_Number3", "E_Number4", "E_level", "E_Deleted"}},
        {"Properties",
         {"P_Autonum", "P_Label", "P_Type", "P_CreationDate", "P_DefaultValue", "P_MinValue",
          "P_MaxValue", "P_ComboValues", "P_Deleted"}},
        {"Links",
         {"L_Autonum", "L_Id1", "L_DocId1", "L_Id2", "L_DocId2", "L_CreateDate", "L_DeleteDate",
          "L_Deleted", "L_Notes"}},
        {"ElemProperties", {"P_id", "E_id", "PE_value"}},
    };
    for (const auto& [table, names] : fields) {
        EXPECT_THAT(Column(*db, "PRAGMA table_info(\"" + table + "\")", "name"),
                    ElementsAreArray(names))
            << table;
    }
    EXPECT_THAT(Column(*db, "PRAGMA table_info(\"Elements\")", "type"),
                ElementsAre("TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "INTEGER", "INTEGER",
                            "INTEGER", "INTEGER", "INTEGER", "INTEGER"));
    EXPECT_THAT(Column(*db, "PRAGMA table_info(\"Elements\")", "notnull"),
                ElementsAre("0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1"))
        << "only the Boolean refuses Null";
    EXPECT_THAT(Column(*db, "PRAGMA table_info(\"Links\")", "pk"),
                ElementsAre("1", "0", "0", "0", "0", "0", "0", "0", "0"));
}

TEST_F(SchemaTest, SixIndexesUniqueAsDefined) {
    std::map<std::string, std::pair<std::string, std::string>> indexes;  // name -> (unique, field)
    for (const char* table : {"Documents", "Elements", "Properties", "Links", "ElemProperties"}) {
        db::Statement list = db->Prepare(std::string("PRAGMA index_list(\"") + table + "\")");
        while (list.Step()) {
            std::string name = list.TextOrEmpty("name");
            if (name.starts_with("sqlite_")) {
                continue;
            }
            auto fields = Column(*db, "PRAGMA index_info(\"" + name + "\")", "name");
            ASSERT_EQ(fields.size(), 1U) << name;
            indexes[name] = {list.Field("unique").ToString(), fields[0]};
        }
    }
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(indexes, (std::map<std::string, P>{{"Documents_Primary Key", P{"1", "D_ID"}},
                                                 {"Elements_Primary Key", P{"1", "E_id"}},
                                                 {"Properties_Primary Key", P{"1", "P_Autonum"}},
                                                 {"Links_Primary Key", P{"1", "L_Autonum"}},
                                                 {"ElemProperties_E_id", P{"0", "E_id"}},
                                                 {"ElemProperties_P_id", P{"0", "P_id"}}}));
}

TEST_F(SchemaTest, ValuesKeepTheirWidthsAndEmptyRules) {
    // Widths: at the limit accepted, one more refused; counted in characters.
    EXPECT_TRUE(Accepts("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2)",
                        {"ABCDEFGH", std::string(255, 'n')}));
    EXPECT_FALSE(Accepts("INSERT INTO Documents (D_ID) VALUES ('ABCDEFGHI')"));
    EXPECT_FALSE(
        Accepts("INSERT INTO Documents (D_ID, D_Name) VALUES ('X', ?1)", {std::string(256, 'n')}));
    std::string accents;
    for (int i = 0; i < 255; ++i) {
        accents += "é";
    }
    EXPECT_TRUE(
        Accepts("INSERT INTO Elements (E_id, E_label) VALUES ('ELEM00000001', ?1)", {accents}));
    // The empty text: refused where not allowed, accepted where allowed; Null always.
    EXPECT_FALSE(Accepts("INSERT INTO Documents (D_ID, D_Name) VALUES ('Y', '')"));
    EXPECT_TRUE(Accepts("INSERT INTO Documents (D_ID, D_Description) VALUES ('Z', '')"));
    EXPECT_TRUE(Accepts("INSERT INTO Documents (D_ID, D_Name) VALUES ('W', NULL)"));
    EXPECT_FALSE(Accepts("INSERT INTO Properties (P_Label, P_Type) VALUES ('Risk', 'TEXTS')"));
    EXPECT_FALSE(Accepts("INSERT INTO Properties (P_Label, P_ComboValues) VALUES ('Risk', '')"));
    EXPECT_TRUE(Accepts("INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (1, 'E', '')"));
    EXPECT_TRUE(Accepts("INSERT INTO Links (L_Id1, L_Notes) VALUES ('E', '')"));
    // No uniqueness on the (property, element) pair; unique ids elsewhere.
    EXPECT_TRUE(Accepts("INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (1, 'E', 'x')"));
    EXPECT_FALSE(Accepts("INSERT INTO Documents (D_ID) VALUES ('ABCDEFGH')"));
}

TEST_F(SchemaTest, BooleansAreFalseUntilWrittenAndAutoNumbersCount) {
    db->Execute("INSERT INTO Properties (P_Label, P_Type) VALUES ('Risk', 'COMB')");
    db->Execute("INSERT INTO Properties (P_Label, P_Type) VALUES ('Owner', 'TEXT')");
    db->Execute("INSERT INTO Links (L_Id1) VALUES ('ELEMA')");
    db->Execute("INSERT INTO Elements (E_id) VALUES ('ELEMA')");
    EXPECT_THAT(Column(*db, "SELECT P_Autonum FROM Properties ORDER BY 1", "P_Autonum"),
                ElementsAre("1", "2"));
    EXPECT_EQ(db->QueryValue("SELECT L_Autonum FROM Links").ToString(), "1");
    EXPECT_EQ(db->QueryValue("SELECT count(*) FROM Properties WHERE P_Deleted = 0").ToString(),
              "2");
    EXPECT_EQ(db->QueryValue("SELECT L_Deleted FROM Links").ToString(), "0");
    EXPECT_EQ(db->QueryValue("SELECT E_Deleted FROM Elements").ToString(), "0");
    EXPECT_EQ(db->QueryValue("SELECT E_label IS NULL FROM Elements").ToString(), "1");
    // An id is never handed out twice, even after the last row is gone.
    db->Execute("DELETE FROM Properties WHERE P_Autonum = 2");
    db->Execute("INSERT INTO Properties (P_Label, P_Type) VALUES ('Level', 'CHCK')");
    EXPECT_EQ(db->QueryValue("SELECT max(P_Autonum) FROM Properties").ToString(), "3");
}

TEST_F(SchemaTest, TheSqliteShellSeesTheFiveTables) {
    std::string command = "sqlite3 '" + (dir / "project.mdb") + "' '.tables' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> shell(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(shell);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, shell.get()) != nullptr) {
        output += buffer;
    }
    std::vector<std::string> tables;
    std::istringstream words(output);
    for (std::string word; words >> word;) {
        tables.push_back(word);
    }
    EXPECT_THAT(tables,
                ElementsAre("Documents", "ElemProperties", "Elements", "Links", "Properties"))
        << output;
}

TEST(OpenProjectDatabaseTest, ADatabaseWithoutTheTablesIsRefused) {
    TempDir dir;
    db::Database::Create(dir / "other.mdb").Execute("CREATE TABLE Documents (D_ID TEXT)");
    try {
        OpenProjectDatabase(dir / "other.mdb");
        FAIL();
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.Number(), db::ERR_NOT_A_DATABASE);
        EXPECT_THAT(error.Description(), ::testing::HasSubstr("no table Elements"));
    }
}

}  // namespace
}  // namespace veln::schema
