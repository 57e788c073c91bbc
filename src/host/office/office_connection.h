// A LibreOffice the office host talks to. Across processes: an office this
// program starts headless, in a private user profile, reached over a UNO
// bridge on a named pipe; every call across it is bounded in time, and the
// office is stopped with the connection. In the office's own process (the
// extension) the same calls go straight to its component context.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include <com/sun/star/bridge/XBridge.hpp>

#include "host/host_error.h"
#include "host/office/office_options.h"
#include "host/office/uno.h"

namespace veln::host::office {

class OfficeProcess;

class OfficeConnection {
  public:
    // Starts an office as options say and connects to it; a missing office,
    // one that does not start or does not answer in time, raise a HostError
    // naming the cause, and nothing is left running.
    static std::unique_ptr<OfficeConnection> Start(const OfficeOptions& options);
    // The office this code runs inside.
    explicit OfficeConnection(const Reference<css::uno::XComponentContext>& context);
    ~OfficeConnection();
    OfficeConnection(const OfficeConnection&) = delete;
    OfficeConnection& operator=(const OfficeConnection&) = delete;

    const Reference<css::uno::XComponentContext>& Context() const { return context_; }
    Reference<css::frame::XDesktop2> Desktop() const;

    // Runs call; what the office raises becomes a HostError of number
    // failure whose description begins with what. Across processes a call
    // that does not return in time drops the bridge: the call fails, and
    // so does every later one, each saying why.
    template <class Call>
    decltype(auto) Run(std::string_view what, Call&& call, long failure);

  private:
    OfficeConnection() = default;
    void Connect(const OfficeOptions& options);
    // One try at the bridge; false while the office is not yet serving.
    bool TryConnect(const Reference<css::uno::XComponentContext>& local,
                    const rtl::OUString& address);
    void Watch();
    void Begin();
    void End();
    // The bridge is gone: this and every later call fail, saying why.
    [[noreturn]] void Lost(std::string_view what, long failure);

    std::unique_ptr<OfficeProcess> process_;
    Reference<css::uno::XComponentContext> context_;
    Reference<css::bridge::XBridge> bridge_;
    // The watch over calls across the bridge.
    std::chrono::seconds callLimit_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    int depth_ = 0;
    std::chrono::steady_clock::time_point deadline_;
    bool stopping_ = false;
    bool dropped_ = false;  // the bridge was dropped: the office did not answer in time
    std::string lost_;      // why the office is out of reach, once it is
    std::thread watcher_;
};

template <class Call>
decltype(auto) OfficeConnection::Run(std::string_view what, Call&& call, long failure) {
    if (!lost_.empty()) {
        throw HostError(failure, std::string(what) + ": " + lost_);
    }
    struct Scope {
        OfficeConnection& connection;
        explicit Scope(OfficeConnection& c) : connection(c) { connection.Begin(); }
        ~Scope() { connection.End(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    } scope(*this);
    try {
        return std::forward<Call>(call)();
    } catch (const css::lang::DisposedException&) {
        if (process_ != nullptr) {
            Lost(what, failure);
        }
        throw HostError(failure, std::string(what) + ": the document was closed");
    } catch (const css::uno::Exception& error) {
        throw HostError(failure, std::string(what) + ": " + FromOUString(error.Message));
    }
}

}  // namespace veln::host::office
