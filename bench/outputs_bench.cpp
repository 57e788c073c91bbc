// The traceability outputs on a large project: the matrix of a 5,000-element
// source against a 5,000-element target (255 columns placed) with 20,000 live
// links, and the list of 5,000 elements with 20 properties (100,000 values);
// then twice and ten times as much of everything (50,000 elements, 200,000
// links, a million values), to see how the time grows; and the first two
// with the project on a PostgreSQL server of the benchmark's own. Each figure is
// the build from the database and the .xlsx file written; the heap the sheet
// holds once built is reported beside it.
#include <ctime>
#include <filesystem>
#include <random>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include "database/schema.h"
#include "host/db/database.h"
#include "host/sheet/workbook.h"
#include "postgres_server.h"
#include "temp_dir.h"
#include "traceability/element_value_list.h"
#include "traceability/matrix_build.h"

namespace {

using namespace veln;

constexpr const char* SOURCE_ID = "DOCSRC01";
constexpr const char* TARGET_ID = "DOCTGT01";
constexpr int LINKS_PER_ELEMENT = 4;
constexpr int PROPERTIES = 20;
// Target elements of first rank 1, the rank the matrix keeps: more than the
// 255 columns placed.
constexpr int RANK_ONE_TARGETS = 300;

std::string Id(const char* prefix, int i) {
    return std::string(prefix) + std::to_string(10000000 + i);
}

// Every element read and every link reviewed, one link in a hundred
// suspect since: the matrix then marks those apart.
void ReviewAll(const db::Database& database) {
    schema::EnsureTrackingTables(database);
    database.Execute(
        "INSERT INTO ElementStamps (S_ElementId, S_Fingerprint, S_Text, S_Date) "
        "SELECT E_id, 'fingerprint of ' || E_id, E_label, '2026-12-01 10:00:00' FROM Elements");
    database.Execute(
        "INSERT INTO LinkReviews (R_LinkId, R_Fingerprint1, R_Fingerprint2, R_Date, R_Suspect) "
        "SELECT L_Autonum, CASE WHEN L_Autonum % 100 = 0 THEN 'before' ELSE "
        "'fingerprint of ' || L_Id1 END, 'fingerprint of ' || L_Id2, '2026-12-01 10:00:00', "
        "CASE WHEN L_Autonum % 100 = 0 THEN 1 ELSE 0 END FROM Links");
}

enum class Engine { File, Server };

struct Project {
    explicit Project(int elements, bool reviewed = false, Engine engine = Engine::File) {
        if (engine == Engine::Server) {
            static int made = 0;
            path = test::SharedPostgresServer().CreateDatabase("bench" + std::to_string(++made));
        } else {
            path = folder / "project.mdb";
        }
        schema::CreateProjectDatabaseFile(path);
        db::Database database = db::Database::Open(path);
        db::Transaction transaction(database);
        database.Execute("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2), (?3, ?4)",
                         {SOURCE_ID, folder / "plan.docx", TARGET_ID, folder / "tests.docx"});
        db::Statement element = database.Prepare(
            "INSERT INTO Elements (E_id, E_DocId, E_label, E_Number1, E_Number2, E_Number3, "
            "E_Number4, E_level) VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, 2)");
        for (int i = 0; i < elements; ++i) {
            element.BindAll({Id("ELEMS", i), SOURCE_ID, "Requirement label " + std::to_string(i),
                             1 + i / 100, 1 + i % 100, i % 7});
            element.Run();
            element.Reset();
            int rank = i < RANK_ONE_TARGETS ? 1 : 2 + i / 100;
            element.BindAll({Id("ELEMT", i), TARGET_ID, "Test label " + std::to_string(i), rank,
                             1 + i % 100, i % 5});
            element.Run();
            element.Reset();
        }
        // Half the links reach the columns placed, half the others; a quarter
        // are stored from the target to the source.
        std::mt19937 random(14);
        std::uniform_int_distribution<int> anySource(0, elements - 1);
        std::uniform_int_distribution<int> placed(0, RANK_ONE_TARGETS - 1);
        std::uniform_int_distribution<int> anyTarget(0, elements - 1);
        db::Statement link = database.Prepare(
            "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2) VALUES (?1, ?2, ?3, ?4)");
        for (int k = 0; k < LINKS_PER_ELEMENT * elements; ++k) {
            std::string source = Id("ELEMS", anySource(random));
            std::string target = Id("ELEMT", k % 2 == 0 ? placed(random) : anyTarget(random));
            if (k % 4 == 3) {
                link.BindAll({target, TARGET_ID, source, SOURCE_ID});
            } else {
                link.BindAll({source, SOURCE_ID, target, TARGET_ID});
            }
            link.Run();
            link.Reset();
        }
        db::Statement property =
            database.Prepare("INSERT INTO Properties (P_Label, P_Type) VALUES (?1, 'TEXT')");
        db::Statement value = database.Prepare(
            "INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (?1, ?2, ?3)");
        for (int p = 1; p <= PROPERTIES; ++p) {
            property.BindAll({"Property " + std::to_string(p)});
            property.Run();
            property.Reset();
            for (int i = 0; i < elements; ++i) {
                value.BindAll({p, Id("ELEMS", i), "value " + std::to_string(p * i)});
                value.Run();
                value.Reset();
            }
        }
        transaction.Commit();
        if (reviewed) {
            ReviewAll(database);
        }
    }

    test::TempDir folder;
    std::string path;
};

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// The processor time this thread has used, in milliseconds: on a shared
// machine the figure that does not depend on the other programs running.
double CpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The two halves of each figure in processor time, averaged over the
// iterations: the build from the database into the sheet, and the file written.
struct Halves {
    double build = 0;
    double save = 0;
    void Report(benchmark::State& state) const {
        auto iterations = static_cast<double>(state.iterations());
        state.counters["build_cpu_ms"] = build / iterations;
        state.counters["save_cpu_ms"] = save / iterations;
    }
};

void MatrixOf(benchmark::State& state, bool reviewed, Engine engine = Engine::File) {
    Project project(static_cast<int>(state.range(0)), reviewed, engine);
    MatrixRequest request;
    request.dbPath = project.path;
    request.source = {SOURCE_ID, project.folder / "plan.docx"};
    request.target = {TARGET_ID, project.folder / "tests.docx"};
    request.firstRank = 1;
    Language english;
    std::string output = project.folder / "matrix.xlsx";
    double sheetHeap = 0;
    std::size_t cells = 0;
    Halves halves;
    while (state.KeepRunning()) {
        std::size_t before = HeapInUse();
        double start = CpuMilliseconds();
        host::Workbook workbook;
        MatrixBuild::Fill(workbook, request, english, "2026-12-06 14:03:12");
        halves.build += CpuMilliseconds() - start;
        sheetHeap = static_cast<double>(HeapInUse() - before);
        cells = workbook.ActiveSheet().CellCount();
        start = CpuMilliseconds();
        workbook.SaveAs(output);
        halves.save += CpuMilliseconds() - start;
    }
    halves.Report(state);
    state.counters["elements"] = static_cast<double>(state.range(0));
    state.counters["links"] = static_cast<double>(LINKS_PER_ELEMENT * state.range(0));
    state.counters["cells"] = static_cast<double>(cells);
    state.counters["sheet_MB"] = sheetHeap / 1e6;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(output)) / 1e6;
}
void BM_Matrix(benchmark::State& state) {
    MatrixOf(state, false);
}
BENCHMARK(BM_Matrix)->Arg(5000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// The same project with every link reviewed and one in a hundred suspect.
void BM_MatrixWithSuspectLinks(benchmark::State& state) {
    MatrixOf(state, true);
}
BENCHMARK(BM_MatrixWithSuspectLinks)->Arg(5000)->Unit(benchmark::kMillisecond);

// The same project on a server: the processor figures are this program's
// share only, the time is the whole.
void BM_MatrixOnServer(benchmark::State& state) {
    MatrixOf(state, false, Engine::Server);
}
BENCHMARK(BM_MatrixOnServer)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

void ElementValueListOf(benchmark::State& state, Engine engine) {
    Project project(static_cast<int>(state.range(0)), false, engine);
    ElementValueListRequest request;
    request.dbPath = project.path;
    request.document = {SOURCE_ID, project.folder / "plan.docx"};
    std::string output = project.folder / "list.xlsx";
    double sheetHeap = 0;
    std::size_t cells = 0;
    Halves halves;
    while (state.KeepRunning()) {
        std::size_t before = HeapInUse();
        double start = CpuMilliseconds();
        host::Workbook workbook;
        ElementValueList::Fill(workbook, request);
        halves.build += CpuMilliseconds() - start;
        sheetHeap = static_cast<double>(HeapInUse() - before);
        cells = workbook.ActiveSheet().CellCount();
        start = CpuMilliseconds();
        workbook.SaveAs(output);
        halves.save += CpuMilliseconds() - start;
    }
    halves.Report(state);
    state.counters["elements"] = static_cast<double>(state.range(0));
    state.counters["values"] = static_cast<double>(PROPERTIES * state.range(0));
    state.counters["cells"] = static_cast<double>(cells);
    state.counters["sheet_MB"] = sheetHeap / 1e6;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(output)) / 1e6;
}
void BM_ElementValueList(benchmark::State& state) {
    ElementValueListOf(state, Engine::File);
}
BENCHMARK(BM_ElementValueList)->Arg(5000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_ElementValueListOnServer(benchmark::State& state) {
    ElementValueListOf(state, Engine::Server);
}
BENCHMARK(BM_ElementValueListOnServer)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
