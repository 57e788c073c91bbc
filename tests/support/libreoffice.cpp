#include "libreoffice.h"

#include <cstdlib>
#include <string_view>

#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

namespace veln::test {

std::string MissingSoffice() {
    const char* path = std::getenv("PATH");  // NOLINT(concurrency-mt-unsafe)
    std::string_view rest = path != nullptr ? path : "";
    while (true) {
        std::size_t colon = rest.find(':');
        std::string folder(rest.substr(0, colon));
        if (!folder.empty() && access((folder + "/soffice").c_str(), X_OK) == 0) {
            return "";
        }
        if (colon == std::string_view::npos) {
            return "soffice is not on PATH: these tests need LibreOffice "
                   "(scripts/setup installs it)";
        }
        rest.remove_prefix(colon + 1);
    }
}

bool SofficeRun::Succeeded() const {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

SofficeRun RunSoffice(const std::filesystem::path& work, const std::string& arguments,
                      int timeoutSeconds) {
    // Each run its own profile and log: a suite may run soffice several times.
    static int runs = 0;
    std::string run = std::to_string(++runs);
    std::filesystem::path log = work / ("soffice" + run + ".log");
    SofficeRun result;
    result.command = "cd " + Quoted(work.string()) + " && HOME=" + Quoted(work.string()) +
                     " timeout " + std::to_string(timeoutSeconds) + " soffice " +
                     Quoted("-env:UserInstallation=file://" + (work / ("profile" + run)).string()) +
                     " --headless --norestore " + arguments + " >" + Quoted(log.string()) + " 2>&1";
    result.status = std::system(result.command.c_str());  // NOLINT(concurrency-mt-unsafe)
    result.log = std::filesystem::exists(log) ? ReadFile(log.string()) : std::string();
    return result;
}

std::string ConvertWithSoffice(const std::filesystem::path& work, const std::string& file,
                               const std::string& format, const std::string& outDir,
                               const std::string& expected) {
    SofficeRun run = RunSoffice(work, "--convert-to " + Quoted(format) + " --outdir " +
                                          Quoted(outDir) + " " + Quoted(file));
    if (!run.Succeeded() || !std::filesystem::exists(expected)) {
        return "soffice did not write " + expected + " (status " + std::to_string(run.status) +
               "): " + run.command + "\n" + run.log;
    }
    return "";
}

}  // namespace veln::test
