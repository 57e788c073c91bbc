// Renumbering and showing numbers on a generated document of 20,000
// paragraphs with 5,000 elements in four levels (and 10,000, to see how the
// time grows), the project database's rows updated as the command does.
#include <filesystem>

#include <benchmark/benchmark.h>

#include "database/doc_variables.h"
#include "database/schema.h"
#include "elements/db_attach_document.h"
#include "elements/elements.h"
#include "generated_document.h"
#include "steady_memory.h"
#include "world.h"

namespace {

namespace fs = std::filesystem;
using namespace veln;

constexpr int PARAGRAPHS = 20000;

struct Project {
    explicit Project(int elements) {
        documentPath = folder / "doc.docx";
        databasePath = folder / test::DATABASE_FILE;
        bench::WriteGeneratedDocx(documentPath, PARAGRAPHS, elements);
        schema::CreateProjectDatabaseFile(databasePath);
        {
            // The document linked to the project, numbers and highlight on.
            auto document = host::docx::OpenDocumentFile(documentPath);
            document->SetVariableValue(VARDOC_DB_NAME, databasePath);
            document->SetVariableValue(VARDOC_DOC_ID, test::DOCUMENT_ID);
            document->SetVariableValue(VARDOC_NUMBERS, "1");
            document->SetVariableValue(VARDOC_HIGHLIGHT, "1");
            document->SetVariableValue(HIGHLIGHT_COLOR, " 5");
            document->Save();
        }
        db::Database database = db::Database::Open(databasePath);
        db::Transaction transaction(database);
        database.Execute(
            "INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2)",
            {test::DOCUMENT_ID, fs::absolute(documentPath).lexically_normal().string()});
        for (int i = 0; i < elements; ++i) {
            database.Execute("INSERT INTO Elements (E_id, E_DocId, E_level) VALUES (?1, ?2, ?3)",
                             {"ELEM" + std::to_string(10000000 + i), test::DOCUMENT_ID, Level(i)});
        }
        transaction.Commit();
        count = elements;
    }
    // Levels 1, 2, 3, 4, 2, 3, 4, 3, ... in reading order.
    static std::int16_t Level(int i) {
        return static_cast<std::int16_t>(i % 8 == 0 ? 1 : 2 + i % 3);
    }

    // A session with the document open, linked and its elements loaded.
    struct Session : test::Services {
        explicit Session(const Project& project) {
            app.OpenDocument(project.documentPath);
            utilElements::SetDocVariable(context, VARDOC_DB_NAME, project.databasePath);
            utilElements::SetDocVariable(context, VARDOC_DOC_ID, test::DOCUMENT_ID);
            for (int i = 0; i < project.count; ++i) {
                Element element;
                element.ElementID = "ELEM" + std::to_string(10000000 + i);
                element.ElementDocId = test::DOCUMENT_ID;
                element.ElementLevel = Level(i);
                context.loadedElements.Add(element);
            }
        }
    };

    test::TempDir folder;
    std::string documentPath;
    std::string databasePath;
    int count = 0;
};

void BM_RenumberElements(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    while (state.KeepRunning()) {
        state.PauseTiming();
        Project::Session session(project);
        state.ResumeTiming();
        Elements::RenumberElements(session.context);
        state.PauseTiming();
        benchmark::DoNotOptimize(session.context.loadedElements.Item(1).numbers);
        state.ResumeTiming();
    }
    state.counters["elements"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_RenumberElements)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_HideThenShowAllNumbers(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    Project::Session session(project);
    Elements::ShowAllNumbers(session.context);
    while (state.KeepRunning()) {
        Elements::HideAllNumbers(session.context);
        Elements::ShowAllNumbers(session.context);
    }
    state.counters["elements"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_HideThenShowAllNumbers)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_OpenDocument(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    while (state.KeepRunning()) {
        host::docx::DocxApplication app;
        benchmark::DoNotOptimize(app.OpenDocument(project.documentPath).StoryEnd());
    }
}
BENCHMARK(BM_OpenDocument)->Arg(5000)->Unit(benchmark::kMillisecond);

// Opening a linked document as the word processor does it: open, then attach
// (elements loaded, old markers and highlight cleared, numbers and highlight shown).
void BM_OpenAndAttach(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    while (state.KeepRunning()) {
        test::Services services;
        services.app.OpenDocument(project.documentPath);
        benchmark::DoNotOptimize(dbElements::dbAttachDocument(services.context));
    }
}
BENCHMARK(BM_OpenAndAttach)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    veln::bench::KeepFreedMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
