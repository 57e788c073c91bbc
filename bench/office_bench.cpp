// VELN inside LibreOffice Writer on the document of 20,000 paragraphs with
// 5,000 elements: the extension installed as a user installs it, the
// figures taken inside the office by its Measure command (across a bridge
// every call would be a round trip of its own). Writer's own loading of the
// linked and of an unlinked copy, what VELN adds to each opening (attaching
// the linked one), and Next and creating an element there. The time of an
// iteration is what VELN adds to the linked document's opening; the other
// figures are counters, in milliseconds.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include <benchmark/benchmark.h>

#include "bench_project.h"
#include "installed_office.h"

namespace {

using namespace veln;
using namespace veln::host::office;

constexpr int PARAGRAPHS = 20000;
constexpr int ELEMENTS = 5000;

std::map<std::string, double> ReadFigures(const std::string& path) {
    std::map<std::string, double> figures;
    std::ifstream in(path);
    std::string name;
    double seconds = 0;
    while (in >> name >> seconds) {
        figures[name] = seconds;
    }
    return figures;
}

void BM_InsideWriter(benchmark::State& state) {
    bench::BenchProject linked({.paragraphs = PARAGRAPHS, .elements = ELEMENTS, .linked = true});
    bench::BenchProject unlinked({.paragraphs = PARAGRAPHS, .elements = ELEMENTS});
    test::TempDir folder;
    // The add-in's settings and templates stay in the benchmark's folder.
    setenv("HOME", folder.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    test::InstalledOffice office(folder.Path().string());
    // The command runs from a window of its own.
    Reference<css::frame::XComponentLoader> loader(office.Connection().Desktop(), UNO_QUERY_THROW);
    Reference<css::text::XTextDocument> window(
        loader->loadComponentFromURL(ToOUString("private:factory/swriter"), ToOUString("_blank"), 0,
                                     {}),
        UNO_QUERY_THROW);
    const std::string output = folder / "figures.txt";
    std::map<std::string, double> sums;
    while (state.KeepRunning()) {
        try {
            test::DispatchCommand(
                office.Connection(), window, "Measure",
                NamedValues({{"Linked", css::uno::Any(ToOUString(linked.documentPath))},
                             {"Unlinked", css::uno::Any(ToOUString(unlinked.documentPath))},
                             {"Output", css::uno::Any(ToOUString(output))}}));
        } catch (const css::uno::Exception& error) {
            state.SkipWithError(("the office failed: " + FromOUString(error.Message)).c_str());
            break;
        }
        // The figures are taken on the office's main thread, after the call.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(15);
        while (!std::filesystem::exists(output) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::map<std::string, double> figures = ReadFigures(output);
        std::filesystem::remove(output);
        if (figures.empty()) {
            state.SkipWithError("the extension wrote no figures");
            break;
        }
        state.SetIterationTime(figures["veln_on_open_linked"]);
        for (const auto& [name, seconds] : figures) {
            sums[name] += seconds;
        }
    }
    for (const auto& [name, seconds] : sums) {
        state.counters[name + "_ms"] = 1000 * seconds / static_cast<double>(state.iterations());
    }
}
BENCHMARK(BM_InsideWriter)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
