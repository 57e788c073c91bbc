// The one main of the benchmark programs (bench_main.cpp): freed memory kept
// by the process so that figures measure the steady state, then Google
// Benchmark's run. A program that needs more before or after its runs (a
// QApplication, a folder to remove) registers it with a static RunHooks.
#pragma once

#include <functional>

namespace veln::bench {

struct RunHooks {
    RunHooks(std::function<void(int& argc, char** argv)> before, std::function<void()> after);
};

}  // namespace veln::bench
