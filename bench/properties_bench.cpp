// The element editor on a project of 5,000 elements with a value of each of
// 20 properties (100,000 value rows), and of half and twice that, to see how
// the time grows: opening on the first element, walking Next through 100
// elements with one value changed on each, and closing, which saves them.
#include <benchmark/benchmark.h>

#include "bench_project.h"
#include "elements/elements.h"
#include "properties/frm_elem_properties.h"
#include "properties/property_definitions.h"

namespace {

using namespace veln;

constexpr int PARAGRAPHS_PER_ELEMENT = 4;
constexpr int PROPERTIES = Properties::MAX_PROPERTIES;
constexpr int WALK = 100;

// Text, choice and check properties in turn, and a value of each on every element.
struct Project : bench::BenchProject {
    explicit Project(int elements)
        : BenchProject({.paragraphs = elements * PARAGRAPHS_PER_ELEMENT, .elements = elements}) {
        db::Database database = db::Database::Open(databasePath);
        db::Transaction transaction(database);
        for (int k = 0; k < PROPERTIES; ++k) {
            const char* type = k % 3 == 0   ? Properties::TYPE_TEXT
                               : k % 3 == 1 ? Properties::TYPE_COMBO
                                            : Properties::TYPE_CHECK;
            database.Execute(
                "INSERT INTO Properties (P_Label, P_Type, P_DefaultValue, P_ComboValues) "
                "VALUES (?1, ?2, ?3, ?4)",
                {"Property " + std::to_string(k), type, k % 3 == 2 ? "0" : "",
                 k % 3 == 1 ? db::Value("High;Medium;Low;") : db::Value()});
        }
        db::Statement value = database.Prepare(
            "INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (?1, ?2, ?3)");
        for (int i = 0; i < elements; ++i) {
            for (int k = 0; k < PROPERTIES; ++k) {
                value.Reset();
                value.Bind(1, k + 1)
                    .Bind(2, ElementId(i))
                    .Bind(3, k % 3 == 0   ? "note " + std::to_string(i)
                             : k % 3 == 1 ? std::string("Medium")
                                          : std::string("True"))
                    .Run();
            }
        }
        transaction.Commit();
    }
    using Session = bench::BenchSession;
};

void BM_ElementEditorWalk(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    Project::Session session(project);
    int round = 0;
    while (state.KeepRunning()) {
        state.PauseTiming();
        Elements::GoFirstElement(session.context);
        // A new text each round, so that every round has values to save.
        const std::string typed = "walked " + std::to_string(++round);
        state.ResumeTiming();

        frmElemProperties editor(session.context);
        editor.Load();
        for (int step = 0; step < WALK; ++step) {
            editor.Slot(0).tbProperty.Type(typed);
            editor.CommandButtonNext.Click();
        }
        editor.Unload();

        state.PauseTiming();
        benchmark::DoNotOptimize(editor.CurrentId());
        state.ResumeTiming();
    }
    state.counters["values"] = static_cast<double>(state.range(0) * PROPERTIES);
}
BENCHMARK(BM_ElementEditorWalk)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Opening and closing alone: reading the definitions and every value of the document.
void BM_ElementEditorOpenClose(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    Project::Session session(project);
    Elements::GoFirstElement(session.context);
    while (state.KeepRunning()) {
        frmElemProperties editor(session.context);
        editor.Load();
        benchmark::DoNotOptimize(editor.Values().Count());
        editor.Unload();
    }
    state.counters["values"] = static_cast<double>(state.range(0) * PROPERTIES);
}
BENCHMARK(BM_ElementEditorOpenClose)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
