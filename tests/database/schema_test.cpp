// A created project database read back through SQLite's own shell and
// catalogue: the reviewed schema, the rules on values, and automatic numbers.
#include "database/schema.h"

#include <memory>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "error_of.h"
#include "shell_output.h"
#include "temp_dir.h"

namespace veln::schema {
namespace {

using test::TempDir;
using ::testing::ElementsAre;

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
        return test::ErrorOf<db::DbError>([&] { db->Execute(sql, values); }).number == -1;
    }

    TempDir dir;
    std::unique_ptr<db::Database> db;
};

// The schema as SQLite's own shell prints it, against the reviewed text
// checked in beside this test: tables, fields in order, types, rules, keys
// and indexes. A change of the schema changes that file in the same commit.
TEST_F(SchemaTest, TheSqliteShellPrintsTheReviewedSchema) {
    std::string printed =
        test::RunShell("sqlite3 '" + (dir / "project.mdb") + "' '.schema'").output;
    EXPECT_EQ(printed, test::ReadFile(VELN_PROJECT_SCHEMA)) << "sqlite3 .schema printed:\n"
                                                            << printed;
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

TEST(OpenProjectDatabaseTest, ADatabaseWithoutTheTablesIsRefused) {
    TempDir dir;
    db::Database::Create(dir / "other.mdb").Execute("CREATE TABLE Documents (D_ID TEXT)");
    test::Raised error =
        test::ErrorOf<db::DbError>([&] { OpenProjectDatabase(dir / "other.mdb"); });
    EXPECT_EQ(error.number, db::ERR_NOT_A_DATABASE);
    EXPECT_THAT(error.text, ::testing::HasSubstr("no table Elements"));
}

}  // namespace
}  // namespace veln::schema
