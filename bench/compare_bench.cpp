// Comparing two versions of the 20,000-paragraph generated document, the
// second with 1% of its paragraphs edited (words changed, paragraphs taken
// out and put in): the time of the comparison, and the memory it takes at
// its peak beside the two main parts' XML.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include <benchmark/benchmark.h>
#include <malloc.h>  // malloc_usable_size, for the memory figure
#include <pugixml.hpp>
#include <unistd.h>

#include "bench_main.h"
#include "generated_document.h"
#include "host/docx/docx_document.h"

namespace {

// Every allocation of the program and of pugixml is counted, so that the
// figure is the comparison's peak, whatever memory the process kept.
std::atomic<long> allocated{0};
std::atomic<long> peakAllocated{0};

// Kept out of line: the replaced operators must not show the compiler a
// free() of what it takes for memory from new.
[[gnu::noinline]] void* Counted(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) {
        long now = allocated += static_cast<long>(malloc_usable_size(block));
        long peak = peakAllocated.load();
        while (now > peak && !peakAllocated.compare_exchange_weak(peak, now)) {
        }
    }
    return block;
}

[[gnu::noinline]] void Uncounted(void* block) {
    if (block != nullptr) {
        allocated -= static_cast<long>(malloc_usable_size(block));
        std::free(block);  // NOLINT(cppcoreguidelines-no-malloc)
    }
}

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
    while (state.KeepRunning()) {
        state.PauseTiming();
        auto ours = DocxDocument::Open(versions.ours);
        const long paragraphs = ours->ParagraphCount();
        const long before = allocated.load();
        peakAllocated = before;
        state.ResumeTiming();
        ours->Compare(versions.theirs);
        state.PauseTiming();
        peakRatio = static_cast<double>(peakAllocated.load() - before) /
                    static_cast<double>(versions.xmlBytes);
        state.counters["paragraphs_added"] =
            static_cast<double>(ours->ParagraphCount() - paragraphs);
        benchmark::DoNotOptimize(ours->StoryEnd());
        ours.reset();
        state.ResumeTiming();
    }
    state.counters["peak_over_both_xml"] = peakRatio;
    state.counters["both_xml_MiB"] = static_cast<double>(versions.xmlBytes) / (1 << 20);
}
BENCHMARK(BM_Compare)->Unit(benchmark::kMillisecond)->Iterations(5);

// pugixml's allocations counted from the start; the versions go at the end.
// A hook that cannot be registered ends the program before any run.
const veln::bench::RunHooks COUNTED_XML(  // NOLINT(cert-err58-cpp)
    [](int&, char**) { pugi::set_memory_management_functions(Counted, Uncounted); },
    [] {
        std::error_code ignored;
        fs::remove_all(Made().folder, ignored);
    });

}  // namespace

void* operator new(std::size_t size) {
    void* block = Counted(size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    Uncounted(block);
}
void operator delete[](void* block) noexcept {
    Uncounted(block);
}
void operator delete(void* block, std::size_t /*size*/) noexcept {
    Uncounted(block);
}
void operator delete[](void* block, std::size_t /*size*/) noexcept {
    Uncounted(block);
}
