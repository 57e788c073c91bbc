// The document model on a generated document of 20,000 paragraphs (about
// 1,000 pages), each figure beside its floor: opening beside unzipping and
// parsing the main part with pugixml alone, saving beside deflating the
// rewritten part with zlib at the same level.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>

#include <benchmark/benchmark.h>
#include <malloc.h>  // mallinfo2, for the memory figure
#include <unistd.h>
#include <zlib.h>

#include "bench_main.h"
#include "generated_document.h"
#include "host/docx/docx_document.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "parse_floor.h"

namespace {

using veln::host::docx::DocxDocument;
namespace fs = std::filesystem;

constexpr int PARAGRAPHS = 20000;

const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("veln-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

// The generated documents, by number of bookmarks, made once per run.
const veln::bench::GeneratedDocument& Generated(int bookmarks) {
    static std::map<int, veln::bench::GeneratedDocument> documents;
    auto found = documents.find(bookmarks);
    if (found == documents.end()) {
        std::string path = (Folder() / ("doc-" + std::to_string(bookmarks) + ".docx")).string();
        found =
            documents
                .emplace(bookmarks, veln::bench::WriteGeneratedDocx(path, PARAGRAPHS, bookmarks))
                .first;
    }
    return found->second;
}

std::string PathOf(int bookmarks) {
    Generated(bookmarks);
    return (Folder() / ("doc-" + std::to_string(bookmarks) + ".docx")).string();
}

// Floor: unzip word/document.xml and parse it with pugixml, nothing else.
void OpenFloor(const std::string& path) {
    benchmark::DoNotOptimize(veln::bench::ParseMainPart(path)->document.first_child());
}

void BM_OpenFloor(benchmark::State& state) {
    std::string path = PathOf(5000);
    while (state.KeepRunning()) {
        OpenFloor(path);
    }
}
BENCHMARK(BM_OpenFloor)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State& state) {
    std::string path = PathOf(5000);
    while (state.KeepRunning()) {
        auto document = DocxDocument::Open(path);
        benchmark::DoNotOptimize(document->StoryEnd());
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

// Memory held by an open document, per byte of its uncompressed main part.
void BM_OpenMemory(benchmark::State& state) {
    std::string path = PathOf(5000);
    double ratio = 0;
    while (state.KeepRunning()) {
        std::size_t before = mallinfo2().uordblks;
        auto document = DocxDocument::Open(path);
        std::size_t after = mallinfo2().uordblks;
        ratio = static_cast<double>(after - before) /
                static_cast<double>(Generated(5000).documentXml.size());
        benchmark::DoNotOptimize(document->StoryEnd());
    }
    state.counters["bytes_per_xml_byte"] = ratio;
    state.counters["xml_MiB"] = static_cast<double>(Generated(5000).documentXml.size()) / (1 << 20);
}
BENCHMARK(BM_OpenMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// A marker before every bookmark, then every bookmark highlighted.
void MarkAll(DocxDocument& document) {
    veln::host::Bookmarks bookmarks = document.Bookmarks();
    int count = bookmarks.Count();
    for (int i = 1; i <= count; ++i) {
        veln::host::Range range = bookmarks.Item(i).Range();
        range.InsertBefore("//1.0.0.0// ");
    }
    for (int i = 1; i <= count; ++i) {
        bookmarks.Item(i).Range().SetHighlightColorIndex(5);
    }
}

void BM_MarkAndHighlight(benchmark::State& state) {
    std::string path = PathOf(static_cast<int>(state.range(0)));
    while (state.KeepRunning()) {
        state.PauseTiming();
        auto document = DocxDocument::Open(path);
        state.ResumeTiming();
        MarkAll(*document);
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    state.counters["bookmarks"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_MarkAndHighlight)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Floor: deflate the part a save rewrites, at the level the model writes it.
uLong Deflate(std::string& xml) {
    static std::string out;
    out.resize(compressBound(static_cast<uLong>(xml.size())));
    z_stream stream{};
    // Level 6 as the model asks of libzip, and the memory level libzip gives zlib (9).
    deflateInit2(&stream, 6, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(xml.data());
    stream.avail_in = static_cast<uInt>(xml.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    return stream.total_out;
}

void BM_SaveFloor(benchmark::State& state) {
    auto document = DocxDocument::Open(PathOf(5000));
    MarkAll(*document);
    std::string saved = (Folder() / "floor.docx").string();
    document->SaveAs(saved);
    std::string xml = veln::bench::ReadMainPart(saved);
    while (state.KeepRunning()) {
        benchmark::DoNotOptimize(Deflate(xml));
    }
}
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    auto document = DocxDocument::Open(PathOf(5000));
    MarkAll(*document);
    std::string saved = (Folder() / "saved.docx").string();
    while (state.KeepRunning()) {
        state.PauseTiming();
        // Keep the main part changed, so every save rewrites it.
        document->InsertText(0, "x");
        document->DeleteText(0, 1);
        state.ResumeTiming();
        document->SaveAs(saved);
    }
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// The machine's speed drifts over seconds, so each figure is also taken in
// pairs with its floor, one right after the other, and the median of the
// ratios reported.
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double MedianRatio(const std::function<void()>& ours, const std::function<void()>& floor,
                   int pairs) {
    std::vector<double> ratios;
    for (int i = 0; i < pairs; ++i) {
        double floorTime = Seconds(floor);
        ratios.push_back(Seconds(ours) / floorTime);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

void BM_PairedRatios(benchmark::State& state) {
    std::string path = PathOf(5000);
    std::string twice = PathOf(10000);
    double open = 0;
    double scaling = 0;
    double save = 0;
    while (state.KeepRunning()) {
        open = MedianRatio([&] { DocxDocument::Open(path); }, [&] { OpenFloor(path); }, 15);
        // Twice the bookmarks against once, opening left out of both.
        std::vector<double> scalings;
        for (int i = 0; i < 9; ++i) {
            auto once = DocxDocument::Open(path);
            double onceTime = Seconds([&] { MarkAll(*once); });
            auto doubled = DocxDocument::Open(twice);
            scalings.push_back(Seconds([&] { MarkAll(*doubled); }) / onceTime);
        }
        std::sort(scalings.begin(), scalings.end());
        scaling = scalings[scalings.size() / 2];
        auto document = DocxDocument::Open(path);
        MarkAll(*document);
        std::string saved = (Folder() / "paired.docx").string();
        document->SaveAs(saved);
        std::string xml = veln::bench::ReadMainPart(saved);
        save = MedianRatio(
            [&] {
                document->InsertText(0, "x");
                document->DeleteText(0, 1);
                document->SaveAs(saved);
            },
            [&] { benchmark::DoNotOptimize(Deflate(xml)); }, 9);
    }
    state.counters["open_over_floor"] = open;
    state.counters["mark_10k_over_5k"] = scaling;
    state.counters["save_over_floor"] = save;
}
BENCHMARK(BM_PairedRatios)->Unit(benchmark::kMillisecond)->Iterations(1);

// The generated documents go with the program.
// A hook that cannot be registered ends the program before any run.
const veln::bench::RunHooks CLEAN_UP(  // NOLINT(cert-err58-cpp)
    nullptr, [] {
        std::error_code ignored;
        fs::remove_all(Folder(), ignored);
    });

}  // namespace
