// The benchmarks' figures measured inside the office, where the extension
// runs: across a bridge every call would be a round trip of its own.
#include <chrono>
#include <fstream>
#include <map>

#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XToolkitExperimental.hpp>

#include "host/office/extension_runtime.h"
#include "host/office/office_connection.h"
#include "host/word/document.h"
#include "host/word/selection.h"

namespace veln::host::office {

namespace {

double SecondsSince(std::chrono::steady_clock::time_point started) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

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
    for (const auto& [command, seconds] : addIn_->MeasureCommands()) {
        figures[command] = seconds;
    }
}

void ExtensionRuntime::Measure(const std::string& linked, const std::string& unlinked,
                               const std::string& output) {
    OfficeConnection& connection = application_->Connection();
    Reference<css::frame::XComponentLoader> loader(connection.Desktop(), UNO_QUERY_THROW);
    Reference<css::awt::XToolkitExperimental> toolkit(
        css::awt::Toolkit::create(connection.Context()), UNO_QUERY_THROW);
    // Loads as a user opens a file, the office's posted events handled too.
    auto load = [&](const std::string& path) {
        Reference<css::util::XCloseable> model(
            loader->loadComponentFromURL(FileUrl(path), ToOUString("_blank"), 0, {}),
            UNO_QUERY_THROW);
        toolkit->processEventsToIdle();
        return model;
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
        model->close(true);
        toolkit->processEventsToIdle();
    }
    std::ofstream out(output);
    for (const auto& [name, seconds] : figures) {
        out << name << " " << seconds << "\n";
    }
}

}  // namespace veln::host::office
