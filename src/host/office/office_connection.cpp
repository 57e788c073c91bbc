#include "host/office/office_connection.h"

#include <csignal>

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridgeFactory2.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include "host/office/office_process.h"
#include "host/word/document.h"

namespace veln::host::office {

namespace {

std::string ProgramFolder(const OfficeOptions& options) {
    return options.programFolder.empty() ? std::string(VELN_OFFICE_PROGRAM_DIR)
                                         : options.programFolder;
}

// This process's own UNO runtime, bootstrapped from the office's ini file;
// made once, it outlives every connection.
Reference<css::uno::XComponentContext> LocalContext(const std::string& programFolder) {
    static Reference<css::uno::XComponentContext> local = [&] {
        // The office's fundamental ini names its type and service files.
        rtl::Bootstrap::set(
            ToOUString("URE_BOOTSTRAP"),
            ToOUString("vnd.sun.star.pathname:" + programFolder + "/fundamentalrc"));
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return local;
}

// Whether the office still runs after a while: a bridge that drops as the
// office dies is seen a moment before the process ends. why says how it did.
bool EndedWithin(OfficeProcess& process, std::chrono::milliseconds limit, std::string& why) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (process.Running(why)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace

OfficeConnection::OfficeConnection(const Reference<css::uno::XComponentContext>& context)
    : context_(context) {}

std::unique_ptr<OfficeConnection> OfficeConnection::Start(const OfficeOptions& options) {
    // The bridge writes to a pipe the office may have closed by dying: the
    // write must fail and be reported, not end this program.
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<OfficeConnection> connection(new OfficeConnection());
    connection->process_ =
        std::make_unique<OfficeProcess>(ProgramFolder(options) + "/soffice.bin", options);
    connection->Connect(options);
    connection->callLimit_ = std::chrono::seconds(options.callSeconds);
    connection->watcher_ = std::thread([raw = connection.get()] { raw->Watch(); });
    return connection;
}

void OfficeConnection::Connect(const OfficeOptions& options) {
    Reference<css::uno::XComponentContext> local;
    try {
        local = LocalContext(ProgramFolder(options));
    } catch (const css::uno::Exception& error) {
        throw HostError(WordError::COMMAND_FAILED, "LibreOffice's runtime could not be started: " +
                                                       FromOUString(error.Message));
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.startSeconds);
    const rtl::OUString address = ToOUString("pipe,name=" + process_->PipeName());
    std::string why;
    while (process_->Running(why)) {
        if (TryConnect(local, address)) {
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            process_->Stop(std::chrono::milliseconds(0));
            throw HostError(WordError::COMMAND_FAILED, "LibreOffice did not answer within " +
                                                           std::to_string(options.startSeconds) +
                                                           " s of its start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    throw HostError(WordError::COMMAND_FAILED, why);
}

OfficeConnection::~OfficeConnection() {
    if (process_ != nullptr) {
        if (lost_.empty() && context_.is()) {
            try {
                Run(
                    "stopping LibreOffice", [&] { return Desktop()->terminate(); },
                    WordError::COMMAND_FAILED);
            } catch (const HostError&) {
                // It is stopped below all the same.
            }
        }
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (watcher_.joinable()) {
            watcher_.join();
        }
        if (Reference<css::lang::XComponent> bridge{bridge_, UNO_QUERY}; bridge.is()) {
            try {
                bridge->dispose();
            } catch (const css::uno::Exception&) {
                // Already gone.
            }
        }
        context_.clear();
        bridge_.clear();
        // An office that no longer answers will not end by itself.
        process_->Stop(lost_.empty() ? std::chrono::seconds(10) : std::chrono::seconds(0));
    }
}

bool OfficeConnection::TryConnect(const Reference<css::uno::XComponentContext>& local,
                                  const rtl::OUString& address) {
    try {
        Reference<css::connection::XConnection> pipe =
            css::connection::Connector::create(local)->connect(address);
        bridge_ = css::bridge::BridgeFactory::create(local)->createBridge(
            rtl::OUString(), ToOUString("urp"), pipe, nullptr);
        context_.set(bridge_->getInstance(ToOUString("StarOffice.ComponentContext")),
                     UNO_QUERY_THROW);
        return true;
    } catch (const css::connection::NoConnectException&) {
        return false;  // not listening yet
    } catch (const css::uno::Exception&) {
        return false;  // listening, not yet serving
    }
}

Reference<css::frame::XDesktop2> OfficeConnection::Desktop() const {
    return css::frame::Desktop::create(context_);
}

void OfficeConnection::Begin() {
    std::lock_guard lock(mutex_);
    if (depth_++ == 0) {
        deadline_ = std::chrono::steady_clock::now() + callLimit_;
        changed_.notify_all();
    }
}

void OfficeConnection::End() {
    std::lock_guard lock(mutex_);
    --depth_;
}

// Drops the bridge under a call that has run past its limit: the office may
// be busy forever (a dialog of its own, a hang), and the user's program must
// not be.
void OfficeConnection::Watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (depth_ == 0) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && depth_ > 0 &&
            std::chrono::steady_clock::now() >= deadline_ && !dropped_) {
            dropped_ = true;
            lock.unlock();
            if (Reference<css::lang::XComponent> bridge{bridge_, UNO_QUERY}; bridge.is()) {
                bridge->dispose();
            }
            lock.lock();
        }
    }
}

void OfficeConnection::Lost(std::string_view what, long failure) {
    bool dropped = false;
    {
        std::lock_guard lock(mutex_);
        dropped = dropped_;
    }
    std::string why;
    if (dropped) {
        lost_ = "LibreOffice did not answer within " + std::to_string(callLimit_.count()) +
                " s; the connection to it was closed";
    } else if (!EndedWithin(*process_, std::chrono::seconds(2), why)) {
        lost_ = why;
    } else {
        lost_ = "the connection to LibreOffice was lost";
    }
    throw HostError(failure, std::string(what) + ": " + lost_);
}

}  // namespace veln::host::office
