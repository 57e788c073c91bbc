#include "host/system/posix_system.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veln::host {

namespace fs = std::filesystem;

namespace {

std::string ExecutableFolder() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

}  // namespace

EnvironmentLookup ProcessEnvironment() {
    return [](const char* name) -> const char* {
        return std::getenv(name);
    };  // NOLINT(concurrency-mt-unsafe)
}

EnvironmentLookup FixedEnvironment(std::map<std::string, std::string> variables) {
    return [vars = std::move(variables)](const char* name) -> const char* {
        auto found = vars.find(name);
        return found == vars.end() ? nullptr : found->second.c_str();
    };
}

PosixSystem::PosixSystem(EnvironmentLookup environment) : environment_(std::move(environment)) {}

std::string PosixSystem::Variable(const char* name) const {
    const char* value = environment_(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string PosixSystem::Home() const {
    std::string home = Variable("HOME");
    return home.empty() ? std::string("/") : home;
}

std::string PosixSystem::ProgramFolder() const {
    std::string home = Variable("VELN_HOME");
    if (!home.empty()) {
        return home;
    }
    std::string exeFolder = ExecutableFolder();
    if (!exeFolder.empty()) {
        fs::path installed = fs::path(exeFolder).parent_path() / "share" / "veln";
        std::error_code error;
        if (fs::is_directory(installed, error)) {
            return installed.string();
        }
    }
#ifdef VELN_BUILD_DATA_DIR
    return VELN_BUILD_DATA_DIR;
#else
    return exeFolder;
#endif
}

std::string PosixSystem::SettingsFilePath() const {
    std::string config = Variable("XDG_CONFIG_HOME");
    fs::path base = config.empty() ? fs::path(Home()) / ".config" : fs::path(config);
    return (base / "veln" / "VELN.ini").string();
}

std::string PosixSystem::StartupFolder() const {
    std::string data = Variable("XDG_DATA_HOME");
    fs::path base = data.empty() ? fs::path(Home()) / ".local" / "share" : fs::path(data);
    return (base / "veln" / "startup").string();
}

SystemLanguage PosixSystem::DefaultLanguage() const {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string locale = Variable(name);
        if (!locale.empty()) {
            return LanguageOfLocale(locale);
        }
    }
    return LanguageOfLocale("");
}

std::string PosixSystem::Now() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::array<char, 32> text{};
    std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text.data(), length);
}

bool PosixSystem::FileExists(const std::string& path) const {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

bool PosixSystem::DeleteFile(const std::string& path) {
    // Unlinking needs no write permission on the file itself, so read-only
    // files go as well.
    std::error_code error;
    return fs::remove(path, error) && !error;
}

bool PosixSystem::CopyFile(const std::string& from, const std::string& to) {
    // Copy beside the target, then rename: a failed copy leaves nothing at `to`.
    std::error_code error;
    fs::path target(to);
    fs::path partial = target;
    partial += ".part" + std::to_string(::getpid());
    if (!fs::copy_file(from, partial, fs::copy_options::overwrite_existing, error)) {
        fs::remove(partial, error);
        return false;
    }
    fs::rename(partial, target, error);
    if (error) {
        fs::remove(partial, error);
        return false;
    }
    return true;
}

namespace {

// The program and its arguments as exec takes them, pointing into words.
std::vector<char*> ArgumentVector(std::vector<std::string>& words) {
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

bool PosixSystem::StartProcess(const std::string& program,
                               const std::vector<std::string>& arguments) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = ArgumentVector(words);
    // The grandchild runs the program, so that nobody has to wait for it;
    // a pipe closed on exec tells whether it started.
    int started[2];
    if (pipe2(started, O_CLOEXEC) != 0) {
        return false;
    }
    pid_t child = fork();
    if (child < 0) {
        close(started[0]);
        close(started[1]);
        return false;
    }
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            execvp(argv[0], argv.data());
            int failure = errno;
            (void)!write(started[1], &failure, sizeof failure);
        }
        _exit(0);
    }
    close(started[1]);
    waitpid(child, nullptr, 0);
    int failure = 0;
    ssize_t got = 0;
    do {
        got = read(started[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    close(started[0]);
    return got == 0;
}

int PosixSystem::RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                            std::string& output) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = ArgumentVector(words);
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDERR_FILENO);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe[1]);
    if (spawned != 0) {
        close(pipe[0]);
        return -1;
    }
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t got = read(pipe[0], buffer.data(), buffer.size());
        if (got > 0) {
            output.append(buffer.data(), static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipe[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace veln::host
