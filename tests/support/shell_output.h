// What a shell command prints, both streams, and how it ended: the tests read
// files back through the tools of other programs.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace veln::test {

struct ShellRun {
    int status = -1;
    std::string output;
};

// Runs command in the shell, its error stream with its output.
inline ShellRun RunShell(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    ShellRun run;
    if (!pipe) {
        run.output = "cannot run " + command;
        return run;
    }
    std::array<char, 4096> buffer{};
    while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
        run.output.append(buffer.data(), got);
    }
    run.status = pclose(pipe.release());
    return run;
}

}  // namespace veln::test
