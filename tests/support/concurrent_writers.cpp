#include "concurrent_writers.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;  // NOLINT(readability-redundant-declaration): POSIX names it, no header does

namespace veln::test {

namespace {

void ReadTally(const std::string& file, WritersTally& tally) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "created") {
            fields >> tally.created.emplace_back();
        } else if (kind == "linked") {
            auto& [source, target] = tally.linked.emplace_back();
            fields >> source >> target;
        } else if (kind == "valued") {
            fields >> tally.valued.emplace_back();
        } else if (kind == "ms") {
            fields >> tally.commandMs.emplace_back();
        } else if (kind == "refused") {
            std::getline(fields >> std::ws, tally.refused.emplace_back());
        } else if (kind == "retried") {
            int retried = 0;
            fields >> retried;
            tally.retried += retried;
        }
    }
}

pid_t Start(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));  // NOLINT: spawn's signature
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + arguments[0]);
    }
    return pid;
}

}  // namespace

double WritersTally::Percentile(double share) const {
    if (commandMs.empty()) {
        return 0;
    }
    std::vector<double> sorted = commandMs;
    std::sort(sorted.begin(), sorted.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

WritersTally RunWriters(const std::string& project, const TempDir& folder, int writers, int seconds,
                        std::int64_t propertyId) {
    std::vector<std::pair<pid_t, std::string>> started;
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 1; i <= writers; ++i) {
        const std::string own = folder / ("writer" + std::to_string(i));
        std::filesystem::create_directories(own);
        const std::string output = own + "/tally";
        started.emplace_back(Start({VELN_TEST_WRITER, project, own, std::to_string(seconds),
                                    std::to_string(propertyId), output}),
                             output);
    }
    WritersTally tally;
    for (const auto& [pid, output] : started) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            ++tally.failed;
        }
        ReadTally(output, tally);
    }
    tally.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    return tally;
}

}  // namespace veln::test
