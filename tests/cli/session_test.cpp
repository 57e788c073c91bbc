// Whole scripts played by the session as the command line plays them: the
// failures a user meets name the line and what is wrong, and change nothing.
#include "session.h"

#include <sstream>

#include <gmock/gmock.h>

#include "addin/operations.h"
#include "host/db/database.h"
#include "host/system/posix_system.h"
#include "temp_dir.h"

namespace veln::cli {
namespace {

using ::testing::HasSubstr;

class SessionTest : public ::testing::Test {
  protected:
    // Plays script; returns the failure, "" when it ran to its end.
    std::string Play(const std::string& script) {
        std::istringstream in(script);
        host::PosixSystem system;
        Session session(system);
        std::string failure;
        transcript.str("");
        session.Play(ReadScript(in), transcript, failure);
        return failure;
    }

    test::TempDir dir;
    std::ostringstream transcript;
};

TEST_F(SessionTest, BookmarkNumbersOutOfRangeAreRefusedNotWrapped) {
    std::string start = "new\nappend \"Brakes\"\nselect range 0 3\nbookmark add First\n";
    for (std::string number : {"4294967297", "0", "99999999999999999999999"}) {
        EXPECT_EQ(Play(start + "bookmark delete " + number + "\nprint bookmarks\n"),
                  "line 5: there is no bookmark " + number + " (the document has 1)");
    }
    EXPECT_EQ(Play(start + "bookmark delete 1\nprint bookmarks\n"), "");
    EXPECT_EQ(transcript.str(), "bookmarks 0\n");
}

TEST_F(SessionTest, OperationArgumentsOfTheWrongFormAreUsageErrors) {
    for (std::string length : {"2147483648", "99999", "3x"}) {
        EXPECT_EQ(Play("call RandomId " + length + "\n"),
                  "line 1: RandomId: LENGTH must be a whole number from 0 to 32767, not \"" +
                      length + "\"");
    }
    EXPECT_EQ(Play("call RandomId\n"), "line 1: usage: RandomId LENGTH");
    EXPECT_EQ(Play("call GetDocId extra\n"), "line 1: GetDocId takes no argument");
    EXPECT_EQ(Play("new\ncall CreateElementFromSelection 5 label\n"),
              "line 2: CreateElementFromSelection: LEVEL must be a whole number from 1 to 4, "
              "not \"5\"");
    EXPECT_EQ(Play("new\ncall RemoveDocumentElements yes\n"),
              "line 2: RemoveDocumentElements: True|False must be True or False, not \"yes\"");
    EXPECT_EQ(Play("call RandomId 12\n"), "");
    EXPECT_THAT(transcript.str(), ::testing::MatchesRegex("result \"[0-9A-Z]{12}\"\n"));
}

TEST_F(SessionTest, CommandsTakeTheirNumberOfWords) {
    EXPECT_EQ(Play("open\n"), "line 1: usage: open PATH");
    EXPECT_EQ(Play("new now\n"), "line 1: usage: new");
    EXPECT_EQ(Play("teleport home\n"), "line 1: unknown command: teleport");
    EXPECT_EQ(Play("\"new\"\n"), "line 1: unknown command: new") << "a quoted word is a text";
    EXPECT_THAT(Session::Help(), HasSubstr("Documents:  open PATH\n            new\n"));
}

TEST_F(SessionTest, PrintSqlWritesEachRowAsItComes) {
    // The third row fails in the engine: the first two are out already, so a
    // result of any size is never held whole.
    std::string database = dir / "rows.db";
    db::Database rows = db::Database::Create(database);
    rows.Execute("CREATE TABLE t (x INTEGER)");
    rows.Execute("INSERT INTO t VALUES (1), (2), (3), (4)");
    std::string failure = Play("print sql " + database +
                               " \"SELECT x, CASE WHEN x = 3 THEN abs(-9223372036854775807 - 1) "
                               "ELSE x * 10 END AS y FROM t\"\n");
    EXPECT_THAT(failure, HasSubstr("integer overflow"));
    EXPECT_EQ(transcript.str(), "sql x | y\n  1 | 10\n  2 | 20\n");
    EXPECT_EQ(Play("expect sql " + database + " \"SELECT sum(x) FROM t\" 10\n"), "");
}

TEST(OperationTableTest, EveryOperationIsNamedOnceAndFoundByName) {
    std::string previous;
    for (const addin::Operation& operation : addin::Operations()) {
        EXPECT_LT(previous, operation.name) << "sorted, each name once";
        previous = operation.name;
        EXPECT_EQ(addin::FindOperation(operation.name), &operation);
    }
    EXPECT_EQ(addin::FindOperation("NoSuchOperation"), nullptr);
    EXPECT_EQ(addin::FindOperation("dbInsertDocument")->ParameterCount(), 2U);
}

}  // namespace
}  // namespace veln::cli
