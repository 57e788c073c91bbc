// Comparing two versions of the 20,000-paragraph generated document, the
// second with 1% of its paragraphs edited (words changed, paragraphs taken
// out and put in): the time of the comparison, and the memory it takes at
// its peak beside the two main parts' XML.
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "generated_document.h"
#include "host/docx/docx_document.h"
#include "steady_memory.h"

namespace {

using veln::host::docx::DocxDocument;
namespace fs = std::filesystem;

constexpr int PARAGRAPHS = 20000;
constexpr int BOOKMARKS = 5000;
// One paragraph in a hundred is edited.
constexpr int EDIT_EVERY = 100;

struct Versions {
    fs::path folder;
    std::string ours;
    std::string theirs;
    std::size_t xmlBytes = 0;  // both main parts
};

// A line of /proc/self/status, in kB.
long StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key + ":")) {
            return std::stol(line.substr(key.size() + 1));
        }
    }
    return 0;
}

const Versions& Made() {
    static const Versions versions = [] {
        Versions made;
        made.folder = fs::temp_directory_path() / ("veln-compare-" + std::to_string(::getpid()));
        fs::create_directories(made.folder);
        made.ours = (made.folder / "v1.docx").string();
        made.theirs = (made.folder / "v2.docx").string();
        veln::bench::GeneratedDocument generated =
            veln::bench::WriteGeneratedDocx(made.ours, PARAGRAPHS, BOOKMARKS);
        auto edited = DocxDocument::Open(made.ours);
        // From the end back, so that the positions before stay.
        for (long index = PARAGRAPHS - EDIT_EVERY / 2; index > 0; index -= EDIT_EVERY) {
            long start = edited->ParagraphStart(index);
            long end = edited->ParagraphStart(index + 1) - 1;
            switch ((index / EDIT_EVERY) % 3) {
                case 0:  // words changed
                    edited->DeleteText(start + 4, std::min(start + 12, end));
                    edited->InsertText(start + 4, "edited words ");
                    break;
                case 1:  // the paragraph taken out
                    edited->DeleteText(start, end);
                    edited->JoinParagraphs(start);
                    break;
                default:  // a paragraph put in
                    edited->SplitParagraph(end);
                    edited->InsertText(end + 1, "A paragraph of the new version.");
                    break;
            }
        }
        edited->SaveAs(made.theirs);
        made.xmlBytes = generated.documentXml.size() * 2;
        return made;
    }();
    return versions;
}

void BM_Compare(benchmark::State& state) {
    const Versions& versions = Made();
    double peakRatio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto ours = DocxDocument::Open(versions.ours);
        long before = StatusKb("VmRSS");
        // The peak resident size starts again from here.
        std::ofstream("/proc/self/clear_refs") << "5";
        state.ResumeTiming();
        ours->Compare(versions.theirs);
        state.PauseTiming();
        long peak = StatusKb("VmHWM");
        peakRatio =
            static_cast<double>(peak - before) * 1024.0 / static_cast<double>(versions.xmlBytes);
        benchmark::DoNotOptimize(ours->StoryEnd());
        ours.reset();
        state.ResumeTiming();
    }
    state.counters["peak_over_both_xml"] = peakRatio;
    state.counters["both_xml_MiB"] = static_cast<double>(versions.xmlBytes) / (1 << 20);
}
BENCHMARK(BM_Compare)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    veln::bench::KeepFreedMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(Made().folder, ignored);
    return 0;
}
