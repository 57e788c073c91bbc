// SIGTERM and SIGINT end veln-desktop as a quit that asks nothing. The
// signal handler only writes a byte to a pipe; the event loop, which reads
// it, runs what the program gives for the end.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace veln::desktop {

class Termination : public QObject {
  public:
    // onSignal runs in the event loop when either signal comes.
    explicit Termination(std::function<void()> onSignal);
    Termination(const Termination&) = delete;
    Termination& operator=(const Termination&) = delete;
    ~Termination() override;

  private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace veln::desktop
