// Renumbering and showing numbers on a generated document of 20,000
// paragraphs with 5,000 elements in four levels (and 10,000, to see how the
// time grows), the project database's rows updated as the command does; and
// going from element to element there and in a document of 100,000
// paragraphs with 25,000 elements.
#include <benchmark/benchmark.h>
#include <malloc.h>  // mallinfo2, for the memory figure

#include "bench_project.h"
#include "elements/db_attach_document.h"
#include "elements/elements.h"
#include "parse_floor.h"

namespace {

using namespace veln;

constexpr int PARAGRAPHS = 20000;
// The long document: 100,000 paragraphs for 25,000 elements.
constexpr int LONG_PARAGRAPHS = 100000;
constexpr int LONG_ELEMENTS = 25000;

// Levels 1, 2, 3, 4, 2, 3, 4, 3, ... in reading order.
std::int16_t Level(int i) {
    return static_cast<std::int16_t>(i % 8 == 0 ? 1 : 2 + i % 3);
}

// The document linked to the project, numbers and highlight on.
struct Project : bench::BenchProject {
    explicit Project(int elements, int paragraphs = 0)
        : BenchProject({.paragraphs = paragraphs > 0              ? paragraphs
                                      : elements >= LONG_ELEMENTS ? LONG_PARAGRAPHS
                                                                  : PARAGRAPHS,
                        .elements = elements,
                        .level = Level,
                        .linked = true}) {}
    using Session = bench::BenchSession;
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
BENCHMARK(BM_RenumberElements)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(LONG_ELEMENTS)
    ->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_HideThenShowAllNumbers)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(LONG_ELEMENTS)
    ->Unit(benchmark::kMillisecond);

void BM_OpenDocument(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    while (state.KeepRunning()) {
        host::docx::DocxApplication app;
        benchmark::DoNotOptimize(app.OpenDocument(project.documentPath).StoryEnd());
    }
}
BENCHMARK(BM_OpenDocument)->Arg(5000)->Arg(LONG_ELEMENTS)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_OpenAndAttach)->Arg(5000)->Arg(LONG_ELEMENTS)->Unit(benchmark::kMillisecond);

// Memory held by the opened, then attached, document beside pugixml's own
// tree of its main part (the parse floor, its text included).
void BM_OpenAndAttachMemory(benchmark::State& state) {
    Project project(static_cast<int>(state.range(0)));
    double floorBytes = 0;
    double openedBytes = 0;
    double attachedBytes = 0;
    while (state.KeepRunning()) {
        std::size_t before = mallinfo2().uordblks;
        auto floor = bench::ParseMainPart(project.documentPath);
        floorBytes = static_cast<double>(mallinfo2().uordblks - before);
        floor.reset();
        before = mallinfo2().uordblks;
        test::Services services;
        services.app.OpenDocument(project.documentPath);
        openedBytes = static_cast<double>(mallinfo2().uordblks - before);
        dbElements::dbAttachDocument(services.context);
        attachedBytes = static_cast<double>(mallinfo2().uordblks - before);
    }
    state.counters["floor_MiB"] = floorBytes / (1 << 20);
    state.counters["opened_MiB"] = openedBytes / (1 << 20);
    state.counters["attached_MiB"] = attachedBytes / (1 << 20);
    state.counters["ratio"] = attachedBytes / floorBytes;
}
BENCHMARK(BM_OpenAndAttachMemory)
    ->Arg(5000)
    ->Arg(LONG_ELEMENTS)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Next, Previous, First and Last in turn, each the command as the toolbar
// runs it: the element found and selected. An element every four paragraphs:
// 20,000 paragraphs for 5,000 elements, 100,000 for 25,000.
void BM_GoToElements(benchmark::State& state) {
    const int elements = static_cast<int>(state.range(0));
    Project project(elements, elements * 4);
    Project::Session session(project);
    Elements::GoFirstElement(session.context);
    int step = 0;
    while (state.KeepRunning()) {
        switch (step++ % 4) {
            case 0:
                Elements::GoNextElement(session.context);
                break;
            case 1:
                Elements::GoLastElement(session.context);
                break;
            case 2:
                Elements::GoPreviousElement(session.context);
                break;
            default:
                Elements::GoFirstElement(session.context);
                break;
        }
    }
    state.counters["elements"] = static_cast<double>(elements);
}
BENCHMARK(BM_GoToElements)->Arg(5000)->Arg(LONG_ELEMENTS)->Unit(benchmark::kMicrosecond);

}  // namespace
