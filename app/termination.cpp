#include "termination.h"

#include <array>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace veln::desktop {

namespace {

// The pipe the handler writes to: [0] read by the event loop, [1] written.
std::array<int, 2> signalPipe{-1, -1};

extern "C" void WriteSignal(int /*signal*/) {
    const char byte = 1;
    // All a handler may do: a full pipe already holds a byte to wake on.
    (void)!::write(signalPipe[1], &byte, 1);
}

}  // namespace

Termination::Termination(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
    if (::pipe2(signalPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("cannot make the pipe for signals");
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        std::array<char, 16> bytes{};
        while (::read(signalPipe[0], bytes.data(), bytes.size()) > 0) {
        }
        onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT}) {
        ::sigaction(signal, &action, nullptr);
    }
}

Termination::~Termination() {
    struct sigaction usual {};
    usual.sa_handler = SIG_DFL;
    sigemptyset(&usual.sa_mask);
    for (int signal : {SIGTERM, SIGINT}) {
        ::sigaction(signal, &usual, nullptr);
    }
    notifier_.reset();
    for (int& fd : signalPipe) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace veln::desktop
