// The extension's one runtime in the office's process: the application over
// the office, the add-in the program connected to it, the office's document
// events turned into the application's, and the listeners that show the
// toolbar's and the menu's commands enabled or not. Made when the office
// first asks for the protocol handler; it lives as long as the office.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <com/sun/star/frame/XStatusListener.hpp>
#include <com/sun/star/util/URL.hpp>

#include "host/office/office_application.h"
#include "host/office/office_extension.h"
#include "host/office/uno.h"

namespace veln::host::office {

class OfficeDocument;

class ExtensionRuntime {
  public:
    // The runtime of this office, made at the first call.
    static ExtensionRuntime& Get(const Reference<css::uno::XComponentContext>& context);

    // Runs a command of the scheme ("oAdd1", "Popup2"); chosen: the entry
    // a user picked in a pop-up's drop-down list, "" for a button.
    void Dispatch(std::string_view command, std::string_view chosen);
    // Whether the command's control is there and enabled for the active document.
    bool Enabled(std::string_view command);
    // The captions of a pop-up's entries; empty for anything else.
    std::vector<std::string> Entries(std::string_view command);

    void AddListener(const Reference<css::frame::XStatusListener>& listener,
                     const css::util::URL& url);
    void RemoveListener(const Reference<css::frame::XStatusListener>& listener,
                        const css::util::URL& url);
    // Tells every listener the state of its command now.
    void Broadcast();

    // The benchmarks' figures inside the office, written to output as
    // "name seconds" lines: Writer's own loading of each document, what
    // VELN adds to it (attaching the linked one, looking at the unlinked
    // one), and the add-in's commands on the linked one. Taken on the
    // office's main thread, as a click runs, once the call has returned:
    // the file appears, whole, when they are.
    void Measure(const std::string& linked, const std::string& unlinked, const std::string& output);
    // While muted (Writer's own loading measured) the office's events are not VELN's.
    bool Muted() const { return muted_; }

    // --- the office's document events ------------------------------------------------------
    // A text document made (created) or loaded by the office joins the open ones.
    void Joined(const Reference<css::text::XTextDocument>& model, bool created);
    void Focused(const Reference<css::uno::XInterface>& model);
    void Saving(const Reference<css::uno::XInterface>& model);
    // false when the add-in asks to keep the document open.
    bool MayClose(const Reference<css::uno::XInterface>& model);
    void Closed(const Reference<css::uno::XInterface>& model);
    // The document was edited (by the user or by VELN).
    void Modified(const Reference<css::uno::XInterface>& model);

  private:
    explicit ExtensionRuntime(const Reference<css::uno::XComponentContext>& context);
    void Listen();
    OfficeDocument* Find(const Reference<css::uno::XInterface>& model);
    // The add-in's control of a command; none while the runtime starts.
    CommandBarControl* Control(std::string_view command);
    void ShowError(const std::string& message);
    void MeasureInto(const std::string& linked, const std::string& unlinked,
                     const std::string& output);
    void MeasureCommands(std::map<std::string, double>& figures);
    // Runs what the add-in does on an event or a command; a failure is shown, never thrown
    // into the office.
    template <class Work>
    void Guarded(Work&& work);

    // Writer lays out and repaints after each edit while a document's
    // controllers are unlocked: a command's thousands of edits are laid out
    // once, as it ends.
    std::vector<Reference<css::frame::XModel>> LockDocuments();
    struct Unlocking {
        explicit Unlocking(std::vector<Reference<css::frame::XModel>> locked)
            : models(std::move(locked)) {}
        ~Unlocking();
        Unlocking(const Unlocking&) = delete;
        Unlocking& operator=(const Unlocking&) = delete;
        std::vector<Reference<css::frame::XModel>> models;
    };

    struct Listener {
        Reference<css::frame::XStatusListener> listener;
        css::util::URL url;
    };

    std::unique_ptr<OfficeApplication> application_;
    std::unique_ptr<ExtensionAddIn> addIn_;
    std::vector<Listener> listeners_;
    Reference<css::uno::XInterface> events_;
    bool muted_ = false;
    // Seconds spent in Joined since the last reset: what VELN adds to an opening.
    double joinSeconds_ = 0;
};

template <class Work>
void ExtensionRuntime::Guarded(Work&& work) {
    const Unlocking unlocking(LockDocuments());
    try {
        std::forward<Work>(work)();
    } catch (const std::exception& error) {
        ShowError(error.what());
    } catch (const css::uno::Exception& error) {
        ShowError(FromOUString(error.Message));
    }
    Broadcast();
}

}  // namespace veln::host::office
