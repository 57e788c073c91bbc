// The benchmarks' figures measured inside the office, where the extension
// runs: across a bridge every call would be a round trip of its own.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/XCallback.hpp>
#include <cppuhelper/implbase1.hxx>

#include "host/office/extension_runtime.h"
#include "host/office/office_connection.h"
#include "host/word/document.h"
#include "host/word/selection.h"

namespace veln::host::office {

namespace {

double SecondsSince(std::chrono::steady_clock::time_point started) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// Work the office's main thread runs when it next can.
class Later : public cppu::WeakImplHelper1<css::awt::XCallback> {
  public:
    explicit Later(std::function<void()> work) : work_(std::move(work)) {}
    void SAL_CALL notify(const css::uno::Any& /*data*/) override { work_(); }

  private:
    std::function<void()> work_;
};

}  // namespace

void ExtensionRuntime::MeasureCommands(std::map<std::string, double>& figures) {
    constexpr int TIMES = 20;
    if (Document* document = application_->ActiveDocument()) {
        document->Selection().SetRange(0, 0);
    }
    // Next as a click runs it: the command, then every state told.
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < TIMES; ++i) {
        Dispatch("oNext", "");
    }
    figures["next"] = SecondsSince(started) / TIMES;
    if (addIn_ == nullptr) {
        return;
    }
    for (const auto& [command, seconds] : addIn_->MeasureCommands()) {
        figures[command] = seconds;
    }
}

void ExtensionRuntime::Measure(const std::string& linked, const std::string& unlinked,
                               const std::string& output) {
    // No figures is the failure the benchmark reports; the reason is shown.
    Reference<css::awt::XRequestCallback> later =
        css::awt::AsyncCallback::create(application_->Connection().Context());
    later->addCallback(new Later([this, linked, unlinked, output] {
                           Guarded([&] { MeasureInto(linked, unlinked, output); });
                       }),
                       css::uno::Any());
}

void ExtensionRuntime::MeasureInto(const std::string& linked, const std::string& unlinked,
                                   const std::string& output) {
    OfficeConnection& connection = application_->Connection();
    Reference<css::frame::XComponentLoader> loader(connection.Desktop(), UNO_QUERY_THROW);
    // Loads as a user opens a file. Unless muted, VELN has joined the
    // document when the load returns, by the office's event or here.
    auto load = [&](const std::string& path) {
        Reference<css::text::XTextDocument> model(
            loader->loadComponentFromURL(FileUrl(path), ToOUString("_blank"), 0, {}),
            UNO_QUERY_THROW);
        if (!muted_ && Find(model) == nullptr) {
            Joined(model, false);
        }
        return Reference<css::util::XCloseable>(model, UNO_QUERY_THROW);
    };
    std::map<std::string, double> figures;
    for (const auto& [path, name] :
         {std::pair{linked, std::string("linked")}, std::pair{unlinked, std::string("unlinked")}}) {
        muted_ = true;
        auto started = std::chrono::steady_clock::now();
        load(path)->close(true);
        figures["writer_load_" + name] = SecondsSince(started);
        muted_ = false;
        joinSeconds_ = 0;
        started = std::chrono::steady_clock::now();
        Reference<css::util::XCloseable> model = load(path);
        figures["open_with_veln_" + name] = SecondsSince(started);
        figures["veln_on_open_" + name] = joinSeconds_;
        if (name == "linked") {
            MeasureCommands(figures);
        }
        // Closed as the benchmark's: nothing asked.
        muted_ = true;
        model->close(true);
        muted_ = false;
    }
    {
        std::ofstream out(output + ".part");
        for (const auto& [name, seconds] : figures) {
            out << name << " " << seconds << "\n";
        }
    }
    std::filesystem::rename(output + ".part", output);
}

}  // namespace veln::host::office
