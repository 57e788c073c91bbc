#include "virtual_display.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veln::test {

namespace fs = std::filesystem;

VirtualDisplay::VirtualDisplay() {
    for (int number = 91; number < 120 && name_.empty(); ++number) {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
            continue;
        }
        if (Start(number, socket)) {
            name_ = ":" + std::to_string(number);
        }
    }
    if (name_.empty()) {
        throw std::runtime_error("no display could be started with Xvfb: is it installed?");
    }
}

VirtualDisplay::~VirtualDisplay() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

// Xvfb on that display, serving once its socket is there; false when it
// ended first (another took the display meanwhile).
bool VirtualDisplay::Start(int number, const std::string& socket) {
    std::vector<std::string> args{
        "Xvfb", ":" + std::to_string(number), "-screen", "0", "1600x1000x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            return false;
        }
        if (fs::exists(socket)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    return false;
}

bool GrabScreen(const std::string& grabber, const std::string& display, const ScreenArea& area,
                const std::string& file) {
    // Qt wants a runtime folder of the user's own.
    const fs::path runtime = fs::temp_directory_path() / ("veln-grab-" + std::to_string(getuid()));
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    const std::string command = "DISPLAY=" + display + " XDG_RUNTIME_DIR='" + runtime.string() +
                                "' '" + grabber + "' " + std::to_string(area.x) + " " +
                                std::to_string(area.y) + " " + std::to_string(area.width) + " " +
                                std::to_string(area.height) + " '" + file + "'";
    const bool saved = std::system(command.c_str()) == 0;  // NOLINT(cert-env33-c)
    std::cout << (saved ? "wrote " : "could not write ") << file << "\n";
    return saved;
}

}  // namespace veln::test
