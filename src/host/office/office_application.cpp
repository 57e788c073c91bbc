#include "host/office/office_application.h"

#include <filesystem>

#include "host/office/office_connection.h"
#include "host/office/office_document.h"

namespace veln::host::office {

namespace {

// Across processes documents load hidden: the office runs without a
// screen. A document the office cannot show as text is refused rather than
// opened in another module.
css::uno::Sequence<css::beans::PropertyValue> LoadArguments(bool hidden) {
    return NamedValues(
        {{"Hidden", css::uno::Any(hidden)},
         {"ReadOnly", css::uno::Any(false)},
         {"DocumentService", css::uno::Any(ToOUString("com.sun.star.text.TextDocument"))}});
}

}  // namespace

std::unique_ptr<OfficeApplication> OfficeApplication::Start(const OfficeOptions& options) {
    return std::unique_ptr<OfficeApplication>(
        new OfficeApplication(OfficeConnection::Start(options), false));
}

std::unique_ptr<OfficeApplication> OfficeApplication::InOffice(
    std::unique_ptr<OfficeConnection> connection) {
    return std::unique_ptr<OfficeApplication>(new OfficeApplication(std::move(connection), true));
}

OfficeApplication::OfficeApplication(std::unique_ptr<OfficeConnection> connection, bool inOffice)
    : connection_(std::move(connection)), inOffice_(inOffice) {}

OfficeApplication::~OfficeApplication() {
    if (inOffice_) {
        return;  // the user's documents stay open in the office
    }
    while (documents_.Count() > 0) {
        bool activeChanged = false;
        std::unique_ptr<OfficeDocument> document =
            documents_.Take(documents_.Item(1), activeChanged);
        try {
            document->Close();
        } catch (const HostError&) {
            // The office goes next, and the document with it.
        }
    }
}

// Defined here, where an OfficeDocument is known to be a Document.
Document& OfficeApplication::DocumentItem(int index) {
    return documents_.Item(index);
}

Document* OfficeApplication::FindDocument(std::string_view name) {
    return documents_.Find(name);
}

Document& OfficeApplication::Adopt(std::unique_ptr<OfficeDocument> document) {
    // In the office, its own event announces every save, VELN's included.
    if (!inOffice_) {
        document->SetBeforeSave([this](Document& saved) {
            if (ApplicationEvents* events = Events()) {
                events->DocumentBeforeSave(saved);
            }
        });
    }
    return documents_.Add(std::move(document));
}

OfficeDocument* OfficeApplication::FindSame(const OfficeDocument& document) {
    for (int i = 1; i <= documents_.Count(); ++i) {
        OfficeDocument& open = documents_.Item(i);
        if (open.Model() == document.Model()) {
            return &open;
        }
    }
    return nullptr;
}

Document& OfficeApplication::Join(std::unique_ptr<OfficeDocument> document, bool created) {
    if (OfficeDocument* same = FindSame(*document)) {
        return *same;
    }
    if (!created) {
        document->JoinSplitBookmarks();
    }
    const bool visible = document->Visible();
    Document& joined = Adopt(std::move(document));
    ApplicationEvents* events = Events();
    if (created && events != nullptr) {
        events->NewDocument(joined);
    }
    if (visible) {
        documents_.Activate(joined);
    }
    if (!created && events != nullptr) {
        events->DocumentOpen(joined);
    }
    if (visible) {
        RaiseDocumentChange();
    }
    return joined;
}

void OfficeApplication::Forget(Document& document) {
    if (!documents_.Contains(document)) {
        return;
    }
    CommandBars.ForgetDocument(&document);
    bool activeChanged = false;
    std::unique_ptr<OfficeDocument> gone = documents_.Take(document, activeChanged);
    if (activeChanged) {
        RaiseDocumentChange();
    }
}

Document& OfficeApplication::AddDocument(bool visible) {
    Reference<css::text::XTextDocument> model = connection_->Run(
        "creating a document",
        [&] {
            Reference<css::frame::XComponentLoader> loader(connection_->Desktop(), UNO_QUERY_THROW);
            return Reference<css::text::XTextDocument>(
                loader->loadComponentFromURL(ToOUString("private:factory/swriter"),
                                             ToOUString("_blank"), 0,
                                             LoadArguments(!inOffice_ || !visible)),
                UNO_QUERY_THROW);
        },
        WordError::COMMAND_FAILED);
    return Join(std::make_unique<OfficeDocument>(*connection_, model, NextNewName(), visible),
                true);
}

Document& OfficeApplication::OpenDocument(const std::string& path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (Document* open = documents_.Find(absolute)) {
        Activate(*open);
        return *open;
    }
    if (!std::filesystem::is_regular_file(absolute, error)) {
        throw HostError(WordError::FILE_NOT_FOUND, "This file could not be found: " + path);
    }
    Reference<css::text::XTextDocument> model = connection_->Run(
        "opening " + path,
        [&] {
            Reference<css::frame::XComponentLoader> loader(connection_->Desktop(), UNO_QUERY_THROW);
            Reference<css::lang::XComponent> component = loader->loadComponentFromURL(
                FileUrl(absolute), ToOUString("_blank"), 0, LoadArguments(!inOffice_));
            Reference<css::text::XTextDocument> text(component, UNO_QUERY);
            if (!text.is()) {
                if (component.is()) {
                    component->dispose();
                }
                throw HostError(
                    WordError::FILE_CORRUPT,
                    path + ": LibreOffice Writer cannot open this file as a text document");
            }
            return text;
        },
        WordError::FILE_CORRUPT);
    Document& opened =
        Join(std::make_unique<OfficeDocument>(
                 *connection_, model, std::filesystem::path(absolute).filename().string(), true),
             false);
    // The office's own event may have announced it already, before it was active.
    Activate(opened);
    return opened;
}

void OfficeApplication::Activate(Document& document) {
    if (documents_.Activate(document)) {
        RaiseDocumentChange();
    }
}

bool OfficeApplication::MayClose(Document& document) {
    if (ApplicationEvents* events = Events()) {
        bool cancel = false;
        events->DocumentBeforeClose(document, cancel);
        if (cancel) {
            return false;
        }
    }
    if (BeforeClosing && documents_.Contains(document)) {
        BeforeClosing(document);
    }
    return true;
}

bool OfficeApplication::CloseDocument(Document& document) {
    if (!documents_.Contains(document)) {
        return false;
    }
    if (!MayClose(document)) {
        return false;
    }
    if (!documents_.Contains(document)) {
        return true;
    }
    CommandBars.ForgetDocument(&document);
    bool activeChanged = false;
    std::unique_ptr<OfficeDocument> closing = documents_.Take(document, activeChanged);
    if (activeChanged) {
        RaiseDocumentChange();
    }
    closing->Close();
    return true;
}

}  // namespace veln::host::office
