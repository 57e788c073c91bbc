// Twenty users writing to one project at once, each a process of its own:
// they create elements, link them and store values for a few seconds, on a
// project on a real PostgreSQL server and on a file in a local folder. What
// the project holds afterwards is what the users were told they did: no row
// lost, none twice, every id once.
#include <iostream>
#include <map>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "concurrent_writers.h"
#include "database/db_properties.h"
#include "database/schema.h"
#include "postgres_server.h"
#include "properties/property_definitions.h"

namespace veln::test {
namespace {

using ::testing::IsEmpty;

constexpr int WRITERS = 20;
constexpr int SECONDS = 3;

// The expression over every row of the query, named name.
std::multiset<std::string> Column(const db::Database& database, const std::string& expression,
                                  const std::string& from, const std::string& name = "") {
    std::multiset<std::string> values;
    db::Statement rows = database.Prepare("SELECT " + expression + " " + from);
    while (rows.Step()) {
        values.insert(rows.Field(name.empty() ? expression : name).ToString());
    }
    return values;
}

class ConcurrencyTest : public ::testing::TestWithParam<db::EngineKind> {
  protected:
    ConcurrencyTest() {
        if (GetParam() == db::EngineKind::Postgres) {
            project = SharedPostgresServer().CreateDatabase("concurrency");
        } else {
            project = dir / "project.mdb";
        }
        schema::CreateProjectDatabaseFile(project);
        db::Database database = schema::OpenProjectDatabase(project);
        dbProperties::Insert(database, {0, "Status", Properties::TYPE_TEXT, {}, {}},
                             "2026-12-08 10:00:00");
        propertyId = dbProperties::LiveProperties(database).front().id;
    }

    TempDir dir;
    std::string project;
    std::int64_t propertyId = 0;
};

TEST_P(ConcurrencyTest, TwentyWritersAtOnceLoseNothingAndRepeatNothing) {
    const WritersTally tally = RunWriters(project, dir, WRITERS, SECONDS, propertyId);
    std::cout << tally.created.size() << " elements, " << tally.linked.size() << " links, "
              << tally.valued.size() << " values; " << tally.retried << " waits answered Retry; "
              << tally.refused.size() << " commands refused\n";
    EXPECT_EQ(tally.failed, 0) << "every writer ends well";
    if (GetParam() == db::EngineKind::Postgres) {
        // A file may refuse a reader that waited past the busy timeout
        // behind twenty writers ("locked by another user; try again later");
        // the server lets readers read.
        EXPECT_THAT(tally.refused, IsEmpty());
    }
    ASSERT_GT(tally.created.size(), static_cast<std::size_t>(WRITERS)) << "each made some";

    db::Database database = schema::OpenProjectDatabase(project, db::OpenMode::Snapshot);
    EXPECT_EQ(Column(database, "D_ID", "FROM Documents").size(), static_cast<std::size_t>(WRITERS));
    const std::multiset<std::string> created(tally.created.begin(), tally.created.end());
    EXPECT_EQ(Column(database, "E_id", "FROM Elements"), created)
        << "every element made is there once, and nothing else";
    EXPECT_EQ(std::set<std::string>(created.begin(), created.end()).size(), created.size());

    std::multiset<std::string> linked;
    for (const auto& [source, target] : tally.linked) {
        linked.insert(source + ">" + target);
    }
    EXPECT_EQ(
        Column(database, "L_Id1 || '>' || L_Id2 AS ends", "FROM Links WHERE L_Deleted = 0", "ends"),
        linked);

    // Many users stored values of the same few elements: each element has
    // one row, holding the value the last of them stored.
    std::map<std::string, int> valueRows;
    for (const std::string& element : Column(database, "E_id", "FROM ElemProperties")) {
        ++valueRows[element];
    }
    std::map<std::string, int> twice;
    for (const auto& [element, count] : valueRows) {
        if (count > 1) {
            twice.emplace(element, count);
        }
    }
    EXPECT_THAT(twice, IsEmpty()) << "a value stored by two users at once is one row";
    std::set<std::string> valued(tally.valued.begin(), tally.valued.end());
    EXPECT_EQ(valueRows.size(), valued.size());
}

INSTANTIATE_TEST_SUITE_P(BothEngines, ConcurrencyTest,
                         ::testing::Values(db::EngineKind::Postgres, db::EngineKind::Sqlite),
                         [](const ::testing::TestParamInfo<db::EngineKind>& info) {
                             return info.param == db::EngineKind::Postgres ? "OnServer" : "OnFile";
                         });

}  // namespace
}  // namespace veln::test
