#include "host/office/extension_runtime.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/document/DocumentEvent.hpp>
#include <com/sun/star/document/XDocumentEventBroadcaster.hpp>
#include <com/sun/star/document/XDocumentEventListener.hpp>
#include <com/sun/star/frame/ControlCommand.hpp>
#include <com/sun/star/frame/FeatureStateEvent.hpp>
#include <com/sun/star/frame/theGlobalEventBroadcaster.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseBroadcaster.hpp>
#include <com/sun/star/util/XCloseListener.hpp>
#include <com/sun/star/util/XModifyBroadcaster.hpp>
#include <com/sun/star/util/XModifyListener.hpp>
#include <cppuhelper/implbase3.hxx>

#include "host/office/office_connection.h"
#include "host/office/office_document.h"

namespace veln::host::office {

namespace {

std::string CommandOf(const css::util::URL& url) {
    return CommandOfUrl(FromOUString(url.Complete));
}

bool Hidden(const Reference<css::text::XTextDocument>& model) {
    const css::uno::Sequence<css::beans::PropertyValue> arguments =
        Reference<css::frame::XModel>(model, UNO_QUERY_THROW)->getArgs();
    for (const css::beans::PropertyValue& argument : arguments) {
        bool hidden = false;
        if (argument.Name == "Hidden" && (argument.Value >>= hidden)) {
            return hidden;
        }
    }
    return false;
}

// The office's events about documents, and the closing and the edits of
// each text document, handed to the runtime.
class DocumentEvents
    : public cppu::WeakImplHelper3<css::document::XDocumentEventListener, css::util::XCloseListener,
                                   css::util::XModifyListener> {
  public:
    explicit DocumentEvents(ExtensionRuntime& runtime) : runtime_(runtime) {}

    void SAL_CALL documentEventOccured(const css::document::DocumentEvent& event) override {
        if (runtime_.Muted()) {
            return;
        }
        const std::string name = FromOUString(event.EventName);
        if (name == "OnNew" || name == "OnLoad") {
            Reference<css::text::XTextDocument> text(event.Source, UNO_QUERY);
            if (text.is()) {
                Watch(text);
                runtime_.Joined(text, name == "OnNew");
            }
        } else if (name == "OnFocus") {
            runtime_.Focused(event.Source);
        } else if (name == "OnSave" || name == "OnSaveAs") {
            runtime_.Saving(event.Source);
        } else if (name == "OnUnload") {
            runtime_.Closed(event.Source);
        }
    }

    // Closing a document asks the add-in first: it may keep the document open.
    void SAL_CALL queryClosing(const css::lang::EventObject& event,
                               sal_Bool /*getsOwnership*/) override {
        if (!runtime_.MayClose(event.Source)) {
            throw css::util::CloseVetoException(ToOUString("VELN keeps the document open"),
                                                static_cast<cppu::OWeakObject*>(this));
        }
    }
    void SAL_CALL notifyClosing(const css::lang::EventObject& event) override {
        runtime_.Closed(event.Source);
    }
    void SAL_CALL disposing(const css::lang::EventObject& /*event*/) override {}

    // Every edit, the user's or VELN's: positions are read anew when next asked.
    void SAL_CALL modified(const css::lang::EventObject& event) override {
        runtime_.Modified(event.Source);
    }

    void Watch(const Reference<css::text::XTextDocument>& model) {
        Reference<css::util::XCloseBroadcaster> closing(model, UNO_QUERY);
        if (closing.is()) {
            closing->addCloseListener(this);
        }
        Reference<css::util::XModifyBroadcaster> edits(model, UNO_QUERY);
        if (edits.is()) {
            edits->addModifyListener(this);
        }
    }

  private:
    ExtensionRuntime& runtime_;
};

}  // namespace

ExtensionRuntime& ExtensionRuntime::Get(const Reference<css::uno::XComponentContext>& context) {
    // Made once and never destroyed: the office ends its process after it
    // has let go of its components, when UNO references may no longer be
    // released. Starting it may open a window (the add-in's first run makes
    // its template), whose toolbar asks for a handler again: that one finds
    // the runtime there, still starting.
    static ExtensionRuntime* runtime = nullptr;
    if (runtime == nullptr) {
        runtime = new ExtensionRuntime(context);
        runtime->addIn_ = ConnectExtensionAddIn(*runtime->application_);
        runtime->Listen();
    }
    return *runtime;
}

ExtensionRuntime::ExtensionRuntime(const Reference<css::uno::XComponentContext>& context)
    : application_(OfficeApplication::InOffice(std::make_unique<OfficeConnection>(context))) {}

void ExtensionRuntime::Listen() {
    OfficeConnection& connection = application_->Connection();
    auto* events = new DocumentEvents(*this);
    events_ = static_cast<cppu::OWeakObject*>(events);
    Reference<css::document::XDocumentEventBroadcaster> broadcaster(
        css::frame::theGlobalEventBroadcaster::get(connection.Context()), UNO_QUERY_THROW);
    broadcaster->addDocumentEventListener(events);
    // The documents the office opened before it first asked for the extension.
    Reference<css::container::XEnumeration> open =
        connection.Desktop()->getComponents()->createEnumeration();
    while (open->hasMoreElements()) {
        Reference<css::text::XTextDocument> text(open->nextElement(), UNO_QUERY);
        if (text.is()) {
            events->Watch(text);
            Joined(text, Reference<css::frame::XModel>(text, UNO_QUERY_THROW)->getURL().isEmpty());
        }
    }
    Focused(connection.Desktop()->getCurrentComponent());
}

std::vector<Reference<css::frame::XModel>> ExtensionRuntime::LockDocuments() {
    std::vector<Reference<css::frame::XModel>> locked;
    for (int i = 1; i <= application_->DocumentCount(); ++i) {
        Reference<css::frame::XModel> model(
            static_cast<OfficeDocument&>(application_->DocumentItem(i)).Model(), UNO_QUERY);
        try {
            if (model.is()) {
                model->lockControllers();
                locked.push_back(model);
            }
        } catch (const css::uno::Exception&) {
            // Closed already: the office's closing event is on its way.
        }
    }
    return locked;
}

ExtensionRuntime::Unlocking::~Unlocking() {
    for (const Reference<css::frame::XModel>& model : models) {
        try {
            model->unlockControllers();
        } catch (const css::uno::Exception&) {
            // Closed by the command.
        }
    }
}

void ExtensionRuntime::ShowError(const std::string& message) {
    // Also in the office's own output, for whoever reads why a command failed.
    std::cerr << "VELN: " << message << std::endl;
    if (addIn_ != nullptr) {
        addIn_->ShowError(message);
    }
}

CommandBarControl* ExtensionRuntime::Control(std::string_view command) {
    return addIn_ == nullptr ? nullptr : addIn_->Control(command);
}

void ExtensionRuntime::Modified(const Reference<css::uno::XInterface>& model) {
    OfficeDocument* document = Find(model);
    if (document != nullptr && !document->Busy()) {
        document->ForgetPositions();
    }
}

OfficeDocument* ExtensionRuntime::Find(const Reference<css::uno::XInterface>& model) {
    for (int i = 1; i <= application_->DocumentCount(); ++i) {
        auto& document = static_cast<OfficeDocument&>(application_->DocumentItem(i));
        if (document.Model() == model) {
            return &document;
        }
    }
    return nullptr;
}

// --- commands ------------------------------------------------------------------------------

void ExtensionRuntime::Dispatch(std::string_view command, std::string_view chosen) {
    Guarded([&] {
        CommandBarControl* control = Control(command);
        if (control != nullptr && control->Type() == ControlType::Popup) {
            CommandBarControls& entries = control->Controls();
            control = nullptr;
            for (int i = 1; i <= entries.Count(); ++i) {
                if (entries.Item(i).Visible &&
                    ShownCaption(entries.Item(i).Caption, '\0') == chosen) {
                    control = &entries.Item(i);
                }
            }
        }
        if (control != nullptr) {
            application_->Press(*control);
        }
    });
}

bool ExtensionRuntime::Enabled(std::string_view command) {
    const CommandBarControl* control = Control(command);
    return control != nullptr && control->Visible &&
           control->EnabledFor(application_->ActiveDocument());
}

std::vector<std::string> ExtensionRuntime::Entries(std::string_view command) {
    std::vector<std::string> captions;
    CommandBarControl* control = Control(command);
    if (control != nullptr && control->Type() == ControlType::Popup) {
        const CommandBarControls& entries = control->Controls();
        for (int i = 1; i <= entries.Count(); ++i) {
            if (entries.Item(i).Visible) {
                captions.push_back(ShownCaption(entries.Item(i).Caption, '\0'));
            }
        }
    }
    return captions;
}

void ExtensionRuntime::AddListener(const Reference<css::frame::XStatusListener>& listener,
                                   const css::util::URL& url) {
    listeners_.push_back({listener, url});
    Broadcast();
}

void ExtensionRuntime::RemoveListener(const Reference<css::frame::XStatusListener>& listener,
                                      const css::util::URL& url) {
    std::erase_if(listeners_, [&](const Listener& known) {
        return known.listener == listener && known.url.Complete == url.Complete;
    });
}

void ExtensionRuntime::Broadcast() {
    std::vector<Listener> gone;
    for (const Listener& known : listeners_) {
        css::frame::FeatureStateEvent state;
        state.Source = events_;
        state.FeatureURL = known.url;
        const std::string command = CommandOf(known.url);
        state.IsEnabled = Enabled(command);
        // A pop-up is a drop-down button: its list is the pop-up's entries.
        std::vector<std::string> entries = Entries(command);
        if (!entries.empty()) {
            css::uno::Sequence<rtl::OUString> list(static_cast<sal_Int32>(entries.size()));
            std::transform(entries.begin(), entries.end(), list.getArray(), ToOUString);
            css::frame::ControlCommand setList;
            setList.Command = ToOUString("SetList");
            const css::beans::NamedValue argument(ToOUString("List"), css::uno::Any(list));
            setList.Arguments = css::uno::Sequence<css::beans::NamedValue>(&argument, 1);
            state.State <<= setList;
        }
        try {
            known.listener->statusChanged(state);
        } catch (const css::uno::RuntimeException&) {
            gone.push_back(known);  // a toolbar already gone
        }
    }
    for (const Listener& known : gone) {
        RemoveListener(known.listener, known.url);
    }
}

// --- the office's document events ----------------------------------------------------------

void ExtensionRuntime::Joined(const Reference<css::text::XTextDocument>& model, bool created) {
    const auto started = std::chrono::steady_clock::now();
    const Unlocking unlocking({Reference<css::frame::XModel>(model, UNO_QUERY_THROW)});
    unlocking.models.front()->lockControllers();
    Guarded([&] {
        const std::string path =
            PathOfUrl(Reference<css::frame::XModel>(model, UNO_QUERY_THROW)->getURL());
        std::string name =
            created ? application_->NextNewName() : std::filesystem::path(path).filename().string();
        application_->Join(std::make_unique<OfficeDocument>(application_->Connection(), model,
                                                            std::move(name), !Hidden(model)),
                           created);
    });
    joinSeconds_ +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void ExtensionRuntime::Focused(const Reference<css::uno::XInterface>& model) {
    Guarded([&] {
        if (OfficeDocument* document = Find(model)) {
            application_->Activate(*document);
        }
    });
}

void ExtensionRuntime::Saving(const Reference<css::uno::XInterface>& model) {
    Guarded([&] {
        OfficeDocument* document = Find(model);
        ApplicationEvents* events = application_->Events();
        if (document != nullptr && events != nullptr) {
            events->DocumentBeforeSave(*document);
        }
    });
}

bool ExtensionRuntime::MayClose(const Reference<css::uno::XInterface>& model) {
    bool cancel = false;
    if (muted_) {
        return true;
    }
    Guarded([&] {
        if (OfficeDocument* document = Find(model)) {
            // The add-in asks about the active document, as in the word processor.
            application_->Activate(*document);
            cancel = !application_->MayClose(*document);
        }
    });
    return !cancel;
}

void ExtensionRuntime::Closed(const Reference<css::uno::XInterface>& model) {
    Guarded([&] {
        if (OfficeDocument* document = Find(model)) {
            application_->Forget(*document);
        }
    });
}

}  // namespace veln::host::office
