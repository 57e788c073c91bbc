// Twenty users writing to one project at once, each a process of its own
// creating elements, linking them and storing values for ten seconds: the
// elements created per second by all of them, and the time within which
// 95 % of their commands ended, on a PostgreSQL server and on a SQLite file
// in a local folder.
#include <benchmark/benchmark.h>

#include "concurrent_writers.h"
#include "database/db_properties.h"
#include "database/schema.h"
#include "postgres_server.h"
#include "properties/property_definitions.h"

namespace {

using namespace veln;

constexpr int WRITERS = 20;
constexpr int SECONDS = 10;

void TwentyWriters(benchmark::State& state, bool onServer) {
    static int made = 0;
    while (state.KeepRunning()) {
        state.PauseTiming();
        test::TempDir folder;
        const std::string project =
            onServer
                ? test::SharedPostgresServer().CreateDatabase("writers" + std::to_string(++made))
                : folder / "project.mdb";
        schema::CreateProjectDatabaseFile(project);
        std::int64_t propertyId = 0;
        {
            db::Database database = schema::OpenProjectDatabase(project);
            dbProperties::Insert(database, {0, "Status", Properties::TYPE_TEXT, {}, {}},
                                 "2026-12-08 10:00:00");
            propertyId = dbProperties::LiveProperties(database).front().id;
        }
        state.ResumeTiming();
        const test::WritersTally tally =
            test::RunWriters(project, folder, WRITERS, SECONDS, propertyId);
        state.counters["creations_per_s"] = static_cast<double>(tally.created.size()) / SECONDS;
        state.counters["p50_ms"] = tally.Percentile(0.5);
        state.counters["p95_ms"] = tally.Percentile(0.95);
        state.counters["commands"] = static_cast<double>(tally.commandMs.size());
        state.counters["retried"] = tally.retried;
        state.counters["refused"] = static_cast<double>(tally.refused.size());
        state.counters["failed"] = tally.failed;
    }
}

void BM_TwentyWritersOnServer(benchmark::State& state) {
    TwentyWriters(state, true);
}
BENCHMARK(BM_TwentyWritersOnServer)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_TwentyWritersOnFile(benchmark::State& state) {
    TwentyWriters(state, false);
}
BENCHMARK(BM_TwentyWritersOnFile)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
