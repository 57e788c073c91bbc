#include "host/office/office_process.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/host_error.h"
#include "host/word/document.h"

namespace veln::host::office {

namespace {

// soffice.bin's exit status when it wants to be started again.
constexpr int RESTART_STATUS = 81;
constexpr int MAX_RESTARTS = 3;

std::string RandomSuffix() {
    std::random_device device;
    return std::to_string(::getpid()) + "-" + std::to_string(device());
}

// file:// URL of a folder: the office takes its profile as one.
std::string FolderUrl(const std::filesystem::path& folder) {
    return "file://" + std::filesystem::absolute(folder).lexically_normal().string();
}

}  // namespace

OfficeProcess::OfficeProcess(const std::string& program, const OfficeOptions& options)
    : program_(program),
      pipe_("veln-" + RandomSuffix()),
      profile_(options.profile),
      dialogs_(options.dialogs),
      display_(options.display) {
    if (::access(program.c_str(), X_OK) != 0) {
        throw HostError(WordError::COMMAND_FAILED,
                        "LibreOffice is not installed: " + program + " was not found");
    }
    if (profile_.empty()) {
        profile_ = (std::filesystem::temp_directory_path() / ("veln-office-" + pipe_)).string();
        ownProfile_ = true;
    }
    std::filesystem::create_directories(profile_);
    if (dialogs_) {
        QuietProfile();
    }
    Launch();
}

// An office whose dialogs run shows its own at a first start (the tip of
// the day): a profile of ours is told it has seen them, beside what is set
// in it already (an extension installed there first).
void OfficeProcess::QuietProfile() const {
    const std::filesystem::path settings =
        std::filesystem::path(profile_) / "user" / "registrymodifications.xcu";
    constexpr std::string_view SEEN =
        R"(<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>99.0</value></prop></item>
)";
    constexpr std::string_view END = "</oor:items>";
    std::string text;
    if (std::ifstream in(settings); in) {
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (text.find("ShowTipOfTheDay") != std::string::npos) {
        return;
    }
    const std::size_t end = text.rfind(END);
    if (end == std::string::npos) {
        text = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
)" + std::string(SEEN) +
               std::string(END) + "\n";
    } else {
        text.insert(end, SEEN);
    }
    std::filesystem::create_directories(settings.parent_path());
    std::ofstream(settings) << text;
}

void OfficeProcess::Launch() {
    std::vector<std::string> args = {program_,
                                     "--invisible",
                                     "--norestore",
                                     "--nologo",
                                     "--nodefault",
                                     "--nolockcheck",
                                     "-env:UserInstallation=" + FolderUrl(profile_),
                                     "--accept=pipe,name=" + pipe_ + ";urp;"};
    if (!dialogs_) {
        args.insert(args.begin() + 1, "--headless");
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> environment = Environment();
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    // VELN_OFFICE_LOG names a file for the office's own output, to see why
    // an office failed; otherwise its output is not ours to show.
    const char* log = std::getenv("VELN_OFFICE_LOG");  // NOLINT(concurrency-mt-unsafe)
    const std::string logPath = log == nullptr ? "/dev/null" : log;
    pid_ = ::fork();
    if (pid_ < 0) {
        throw HostError(WordError::COMMAND_FAILED, "LibreOffice could not be started: fork failed");
    }
    if (pid_ == 0) {
        // Its own group, so that stopping it stops what it starts.
        ::setpgid(0, 0);
        int null = ::open("/dev/null", O_RDWR);
        int output = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(null, STDIN_FILENO);
        ::dup2(output < 0 ? null : output, STDOUT_FILENO);
        ::dup2(output < 0 ? null : output, STDERR_FILENO);
        ::execve(program_.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);
}

std::vector<std::string> OfficeProcess::Environment() const {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry(*variable);
        if (dialogs_ &&
            (entry.starts_with("DISPLAY=") || entry.starts_with("SAL_USE_VCLPLUGIN="))) {
            continue;
        }
        environment.emplace_back(entry);
    }
    if (dialogs_ && display_.empty()) {
        // Drawn in memory: dialogs run, and no screen is needed.
        environment.emplace_back("SAL_USE_VCLPLUGIN=svp");
    } else if (dialogs_) {
        environment.emplace_back("DISPLAY=" + display_);
        environment.emplace_back("SAL_USE_VCLPLUGIN=gen");
    }
    return environment;
}

OfficeProcess::~OfficeProcess() {
    Stop(std::chrono::milliseconds(0));
}

bool OfficeProcess::Running(std::string& why) {
    if (pid_ < 0) {
        why = "LibreOffice has stopped";
        return false;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_) {
        return true;
    }
    pid_ = -1;
    // The office asks to be started again once it has made a new profile,
    // as its own launcher would.
    if (WIFEXITED(status) && WEXITSTATUS(status) == RESTART_STATUS && restarts_ < MAX_RESTARTS) {
        ++restarts_;
        Launch();
        return true;
    }
    if (WIFEXITED(status)) {
        why = WEXITSTATUS(status) == 127
                  ? "LibreOffice could not be started"
                  : "LibreOffice ended with status " + std::to_string(WEXITSTATUS(status));
    } else {
        why = "LibreOffice was ended by signal " + std::to_string(WTERMSIG(status));
    }
    return false;
}

void OfficeProcess::Stop(std::chrono::milliseconds limit) {
    if (pid_ > 0) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline) {
                ::kill(-pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // Whatever the office started in its group goes with it.
        ::kill(-pid_, SIGKILL);
        pid_ = -1;
    }
    if (ownProfile_) {
        std::error_code ignored;
        std::filesystem::remove_all(profile_, ignored);
        ownProfile_ = false;
    }
}

}  // namespace veln::host::office
