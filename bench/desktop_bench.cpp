// The desktop program on the benchmark document (20,000 paragraphs, 5,000
// elements, numbers and highlight shown; and the long document of
// 100,000 paragraphs and 25,000 elements), on the offscreen platform: the
// time to the first window drawn, the time a command takes to show its result
// in the view, the time the element editor takes to show from its Designer
// file, the time from a key to its paint, and the memory of the window
// beside that of the model alone; and a paragraph of 50 MB drawn.
#include <QApplication>
#include <QTest>
#include <map>
#include <memory>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include "bench_main.h"
#include "bench_project.h"
#include "desktop.h"
#include "document_view.h"
#include "document_window.h"
#include "elements/db_attach_document.h"
#include "form_dialog.h"
#include "host/docx/docx_application.h"
#include "host/word/range.h"
#include "properties/frm_elem_properties.h"
#include "toolbar_view.h"
#include "world.h"

namespace {

using namespace veln;

constexpr int PARAGRAPHS = 20000;
constexpr int LONG_PARAGRAPHS = 100000;

// The document of that many paragraphs, an element every four, linked to its
// project with every element's row, numbers and highlight switched on; made
// once.
struct Project : bench::BenchProject {
    explicit Project(int paragraphs)
        : BenchProject({.paragraphs = paragraphs,
                        .elements = paragraphs / 4,
                        .linked = true,
                        .numbered = true}),
          document(documentPath) {}
    std::string document;
};

Project& TheProject(int paragraphs = PARAGRAPHS) {
    static std::map<int, std::unique_ptr<Project>> projects;
    std::unique_ptr<Project>& project = projects[paragraphs];
    if (!project) {
        project = std::make_unique<Project>(paragraphs);
    }
    return *project;
}

// The program started on the document, its window drawn.
struct Running {
    explicit Running(int paragraphs = PARAGRAPHS)
        : services(test::UserEnvironment(home)), desktop(services.ui, services.system) {
        desktop.Start({QString::fromStdString(TheProject(paragraphs).document)});
        window = desktop.Windows().front();
        window->resize(1000, 720);
        window->show();
        Draw();
    }
    void Draw() { window->View().viewport()->grab(); }
    void Click(const char* member) {
        host::CommandBarControl* control = desktop.connection().Instance()->Member(member);
        window->Toolbar().ActionOf(control->Id())->trigger();
        Draw();
    }
    test::TempDir home;  // the user's folders: the global template goes there
    test::Services services;
    desktop::Desktop desktop;
    desktop::DocumentWindow* window = nullptr;
};

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_WindowShowsTheDocument(benchmark::State& state) {
    const auto paragraphs = static_cast<int>(state.range(0));
    TheProject(paragraphs);
    while (state.KeepRunning()) {
        auto running = std::make_unique<Running>(paragraphs);
        state.PauseTiming();
        running.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowShowsTheDocument)
    ->Arg(PARAGRAPHS)
    ->Arg(LONG_PARAGRAPHS)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_NextElementShown(benchmark::State& state) {
    Running running(static_cast<int>(state.range(0)));
    running.window->View().Select(0, 0);
    while (state.KeepRunning()) {
        running.Click("oNext");
    }
}
BENCHMARK(BM_NextElementShown)
    ->Arg(PARAGRAPHS)
    ->Arg(LONG_PARAGRAPHS)
    ->Unit(benchmark::kMillisecond);

void BM_CreateElementShown(benchmark::State& state) {
    Running running;
    long paragraph = 1;
    while (state.KeepRunning()) {
        state.PauseTiming();
        // A paragraph without an element: every fourth holds one.
        long at = running.window->Document().ParagraphStart(paragraph);
        paragraph += 4;
        running.window->View().Select(at, at);
        running.services.ui.AnswerInput("New element");
        state.ResumeTiming();
        running.Click("oAdd2");
    }
}
BENCHMARK(BM_CreateElementShown)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ToggleNumbersShown(benchmark::State& state) {
    Running running(static_cast<int>(state.range(0)));
    while (state.KeepRunning()) {
        running.Click("oShowNumber");
    }
}
BENCHMARK(BM_ToggleNumbersShown)
    ->Arg(PARAGRAPHS)
    ->Arg(LONG_PARAGRAPHS)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_HighlightColourShown(benchmark::State& state) {
    Running running;
    bool cyan = false;
    while (state.KeepRunning()) {
        running.Click((cyan = !cyan) ? "oButtonCyan" : "oButtonYellow");
    }
}
BENCHMARK(BM_HighlightColourShown)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_KeyToPaint(benchmark::State& state) {
    const auto paragraphs = static_cast<int>(state.range(0));
    Running running(paragraphs);
    desktop::DocumentView& view = running.window->View();
    long middle = running.window->Document().ParagraphStart(paragraphs / 2) + 5;
    view.Select(middle, middle);
    running.Draw();
    while (state.KeepRunning()) {
        QTest::keyClick(&view, Qt::Key_A);
        running.Draw();
    }
}
BENCHMARK(BM_KeyToPaint)->Arg(PARAGRAPHS)->Arg(LONG_PARAGRAPHS)->Unit(benchmark::kMillisecond);

// The element editor opened on an element in the middle of the document:
// its Designer file loaded and bound, the form's load (the project's
// definitions and the values of the document's 5,000 elements read), the
// window drawn; then closed.
void BM_ElementEditorShown(benchmark::State& state) {
    Running running;
    long middle = running.window->Document().ParagraphStart(PARAGRAPHS / 2) + 2;
    running.window->View().Select(middle, middle);
    auto run = [&](const std::function<void()>& handler) { handler(); };
    while (state.KeepRunning()) {
        auto form = std::make_shared<frmElemProperties>(running.desktop.context());
        desktop::FormDialog dialog(form, run, nullptr);
        form->Load();
        dialog.Push();
        dialog.show();
        dialog.grab();
        form->Unload();
    }
}
BENCHMARK(BM_ElementEditorShown)->Unit(benchmark::kMillisecond)->Iterations(20);

// Heap in use by the model alone (opened and attached as the program does),
// then by the program with its window drawn, in the same process.
void BM_WindowMemory(benchmark::State& state) {
    const auto paragraphs = static_cast<int>(state.range(0));
    TheProject(paragraphs);
    while (state.KeepRunning()) {
        std::size_t before = HeapInUse();
        std::size_t model = 0;
        {
            test::TempDir home;
            test::Services services(test::UserEnvironment(home));
            services.app.OpenDocument(TheProject(paragraphs).document);
            dbElements::dbAttachDocument(services.context);
            model = HeapInUse() - before;
        }
        before = HeapInUse();
        std::size_t window = 0;
        {
            Running running(paragraphs);
            window = HeapInUse() - before;
        }
        state.counters["model_MB"] = static_cast<double>(model) / 1e6;
        state.counters["program_MB"] = static_cast<double>(window) / 1e6;
        state.counters["ratio"] = static_cast<double>(window) / static_cast<double>(model);
    }
}
BENCHMARK(BM_WindowMemory)
    ->Arg(PARAGRAPHS)
    ->Arg(LONG_PARAGRAPHS)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A document of one paragraph of 50 MB of words, made once.
struct LongParagraph {
    LongParagraph() {
        std::string text;
        text.reserve(LENGTH + 16);
        while (text.size() < LENGTH) {
            text += "The brake shall hold the vehicle still on a slope of twenty percent. ";
        }
        host::docx::DocxApplication app;
        host::Document& document = app.AddDocument();
        document.Content().InsertAfter(text);
        document.SaveAs(path);
    }
    static constexpr std::size_t LENGTH = 50'000'000;
    test::TempDir folder;
    std::string path = folder / "long.docx";
};

// The window drawn on the long paragraph, then the caret taken to its end
// and drawn again: the time, and the heap the window takes beside the model.
void BM_LongParagraphShown(benchmark::State& state) {
    static LongParagraph paragraph;
    while (state.KeepRunning()) {
        test::TempDir home;
        test::Services services(test::UserEnvironment(home));
        desktop::Desktop desktop(services.ui, services.system);
        std::size_t before = HeapInUse();
        desktop.Start({QString::fromStdString(paragraph.path)});
        desktop::DocumentWindow* window = desktop.Windows().front();
        std::size_t model = HeapInUse() - before;
        window->resize(1000, 720);
        window->show();
        window->View().viewport()->grab();
        QTest::keyClick(&window->View(), Qt::Key_End, Qt::ControlModifier);
        window->View().viewport()->grab();
        state.counters["program_over_model_MB"] =
            static_cast<double>(HeapInUse() - before - model) / 1e6;
        state.counters["model_MB"] = static_cast<double>(model) / 1e6;
    }
}
BENCHMARK(BM_LongParagraphShown)->Unit(benchmark::kMillisecond)->Iterations(1);

// Qt's application on the offscreen platform for the whole run.
std::unique_ptr<QApplication> application;
// A hook that cannot be registered ends the program before any run.
const veln::bench::RunHooks QT_APPLICATION(  // NOLINT(cert-err58-cpp)
    [](int& argc, char** argv) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);  // NOLINT(concurrency-mt-unsafe)
        application = std::make_unique<QApplication>(argc, argv);
    },
    [] { application.reset(); });

}  // namespace
