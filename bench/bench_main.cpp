#include "bench_main.h"

#include <utility>
#include <vector>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace veln::bench {
namespace {

struct Hooks {
    std::vector<std::function<void(int&, char**)>> before;
    std::vector<std::function<void()>> after;
};

// Built on first use: hooks register during static initialisation.
Hooks& Registered() {
    static Hooks hooks;
    return hooks;
}

}  // namespace

RunHooks::RunHooks(std::function<void(int& argc, char** argv)> before,
                   std::function<void()> after) {
    if (before) {
        Registered().before.push_back(std::move(before));
    }
    if (after) {
        Registered().after.push_back(std::move(after));
    }
}

}  // namespace veln::bench

int main(int argc, char** argv) {
    // Freed memory stays with the process rather than each figure paying for
    // fresh pages from the kernel.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    for (const auto& before : veln::bench::Registered().before) {
        before(argc, argv);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& after : veln::bench::Registered().after) {
        after();
    }
    return 0;
}
