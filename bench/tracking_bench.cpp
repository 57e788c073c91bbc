// Suspect links and coverage at scale. Reading the 5,000 elements of the
// 20,000-paragraph document into the project, which a save adds to the save
// itself (shown beside it); and the reports of a project of 5,000 source and
// 20,000 target elements with 40,000 links, every end read and every link
// reviewed, one link in a hundred suspect.
#include <random>

#include <benchmark/benchmark.h>

#include "bench_project.h"
#include "database/db_stamps.h"
#include "database/schema.h"
#include "host/db/database.h"
#include "host/word/document.h"
#include "temp_dir.h"
#include "tracking/coverage.h"
#include "tracking/document_stamps.h"
#include "tracking/fingerprint.h"

namespace {

using namespace veln;

constexpr const char* SOURCE_ID = "DOCSRC01";
constexpr const char* TARGET_ID = "DOCTGT01";
constexpr int SOURCES = 5000;
constexpr int TARGETS = 20000;
constexpr int LINKS = 40000;

// The document of the elements benchmarks, linked, its elements joined by
// 20,000 links made before any reading: the first save reviews them all,
// the next ones weigh them again.
struct LinkedDocument : bench::BenchProject {
    LinkedDocument() : BenchProject({.paragraphs = 20000, .elements = 5000, .linked = true}) {
        db::Database database = db::Database::Open(databasePath);
        db::Transaction transaction(database);
        db::Statement link = database.Prepare(
            "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2) VALUES (?1, ?2, ?3, ?2)");
        std::mt19937 random(18);
        std::uniform_int_distribution<int> any(0, 4999);
        for (int k = 0; k < 20000; ++k) {
            link.BindAll({ElementId(any(random)), test::DOCUMENT_ID, ElementId(any(random))});
            link.Run();
            link.Reset();
        }
        transaction.Commit();
    }
};

void BM_SaveTheDocument(benchmark::State& state) {
    LinkedDocument project;
    bench::BenchSession session(project);
    host::Document& document = *session.app.ActiveDocument();
    while (state.KeepRunning()) {
        // A user's edit, so that the save writes the story again.
        document.InsertText(1, "x");
        document.DeleteText(1, 2);
        document.Save();
    }
}
BENCHMARK(BM_SaveTheDocument)->Unit(benchmark::kMillisecond);

// What a save adds: every element read, fingerprinted and recorded.
void BM_ReadTheElementsAtSave(benchmark::State& state) {
    LinkedDocument project;
    bench::BenchSession session(project);
    tracking::StampActiveDocument(session.context);
    while (state.KeepRunning()) {
        tracking::StampActiveDocument(session.context);
    }
    state.counters["elements"] = SOURCES;
    state.counters["links"] = 20000;
}
BENCHMARK(BM_ReadTheElementsAtSave)->Unit(benchmark::kMillisecond);

std::string Id(const char* prefix, int i) {
    return std::string(prefix) + std::to_string(10000000 + i);
}

// The large project, every end read and every link reviewed; one link in a
// hundred has an end read otherwise since.
struct ReviewedProject {
    ReviewedProject() {
        path = folder / "project.mdb";
        schema::CreateProjectDatabaseFile(path);
        db::Database database = db::Database::Open(path);
        schema::EnsureTrackingTables(database);
        db::Transaction transaction(database);
        database.Execute("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2), (?3, ?4)",
                         {SOURCE_ID, folder / "plan.docx", TARGET_ID, folder / "tests.docx"});
        db::Statement element = database.Prepare(
            "INSERT INTO Elements (E_id, E_DocId, E_label, E_Number1, E_Number2, E_Number3, "
            "E_Number4, E_level) VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, 2)");
        db::Statement stamp = database.Prepare(
            "INSERT INTO ElementStamps (S_ElementId, S_Fingerprint, S_Text, S_Date) "
            "VALUES (?1, ?2, ?3, '2026-12-01 10:00:00')");
        auto add = [&](const std::string& id, const char* docId, int i) {
            element.BindAll({id, docId, "Label " + std::to_string(i), 1 + i / 100, 1 + i % 100});
            element.Run();
            element.Reset();
            const std::string text = "The text of " + id;
            stamp.BindAll({id, tracking::Fingerprint(text), text});
            stamp.Run();
            stamp.Reset();
        };
        for (int i = 0; i < SOURCES; ++i) {
            add(Id("ELEMS", i), SOURCE_ID, i);
        }
        for (int i = 0; i < TARGETS; ++i) {
            add(Id("ELEMT", i), TARGET_ID, i);
        }
        std::mt19937 random(29);
        // A tenth of the sources stay uncovered.
        std::uniform_int_distribution<int> anySource(0, SOURCES * 9 / 10 - 1);
        std::uniform_int_distribution<int> anyTarget(0, TARGETS - 1);
        db::Statement link = database.Prepare(
            "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2) VALUES (?1, ?2, ?3, ?4)");
        db::Statement review = database.Prepare(
            "INSERT INTO LinkReviews (R_LinkId, R_Fingerprint1, R_Fingerprint2, R_Date, R_Suspect) "
            "VALUES (?1, ?2, ?3, '2026-12-01 10:00:00', ?4)");
        for (int k = 0; k < LINKS; ++k) {
            const std::string source = Id("ELEMS", anySource(random));
            const std::string target = Id("ELEMT", anyTarget(random));
            link.BindAll({source, SOURCE_ID, target, TARGET_ID});
            link.Run();
            link.Reset();
            const std::string reviewed = k % 100 == 0 ? "another text" : "The text of " + source;
            review.BindAll({database.LastInsertRowId(), tracking::Fingerprint(reviewed),
                            tracking::Fingerprint("The text of " + target), k % 100 == 0});
            review.Run();
            review.Reset();
        }
        transaction.Commit();
    }

    test::TempDir folder;
    std::string path;
};

const ReviewedProject& Reviewed() {
    static const ReviewedProject project;
    return project;
}

void BM_Coverage(benchmark::State& state) {
    const ReviewedProject& project = Reviewed();
    while (state.KeepRunning()) {
        tracking::CoverageReport report = tracking::BuildCoverage(
            schema::OpenProjectDatabase(project.path, db::OpenMode::ReadOnly), SOURCE_ID,
            TARGET_ID);
        benchmark::DoNotOptimize(tracking::CoverageText(report));
        state.counters["percent"] = report.Percent();
        state.counters["suspect"] = report.Count(tracking::Coverage::Suspect);
    }
}
BENCHMARK(BM_Coverage)->Unit(benchmark::kMillisecond);

void BM_SuspectLinks(benchmark::State& state) {
    const ReviewedProject& project = Reviewed();
    while (state.KeepRunning()) {
        std::vector<dbStamps::LinkState> states = dbStamps::LinkStates(
            schema::OpenProjectDatabase(project.path, db::OpenMode::ReadOnly), {}, false);
        benchmark::DoNotOptimize(tracking::SuspectText(states));
        state.counters["links"] = static_cast<double>(states.size());
    }
}
BENCHMARK(BM_SuspectLinks)->Unit(benchmark::kMillisecond);

}  // namespace
