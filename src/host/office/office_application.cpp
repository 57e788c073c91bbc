#include "host/office/office_application.h"

#include <filesystem>

#include "host/office/office_connection.h"
#include "host/office/office_document.h"

namespace veln::host::office {

namespace {

// Documents load hidden: the office runs without a screen, and a document
// it cannot show as text is refused rather than opened in another module.
css::uno::Sequence<css::beans::PropertyValue> LoadArguments() {
    return NamedValues(
        {{"Hidden", css::uno::Any(true)},
         {"ReadOnly", css::uno::Any(false)},
         {"DocumentService", css::uno::Any(ToOUString("com.sun.star.text.TextDocument"))}});
}

}  // namespace

std::unique_ptr<OfficeApplication> OfficeApplication::Start(const OfficeOptions& options) {
    return std::unique_ptr<OfficeApplication>(
        new OfficeApplication(OfficeConnection::Start(options)));
}

OfficeApplication::OfficeApplication(std::unique_ptr<OfficeConnection> connection)
    : connection_(std::move(connection)) {}

OfficeApplication::~OfficeApplication() {
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
    document->SetBeforeSave([this](Document& saved) {
        if (ApplicationEvents* events = Events()) {
            events->DocumentBeforeSave(saved);
        }
    });
    return documents_.Add(std::move(document));
}

Document& OfficeApplication::AddDocument(bool visible) {
    Reference<css::text::XTextDocument> model = connection_->Run(
        "creating a document",
        [&] {
            Reference<css::frame::XComponentLoader> loader(connection_->Desktop(), UNO_QUERY_THROW);
            return Reference<css::text::XTextDocument>(
                loader->loadComponentFromURL(ToOUString("private:factory/swriter"),
                                             ToOUString("_blank"), 0, LoadArguments()),
                UNO_QUERY_THROW);
        },
        WordError::COMMAND_FAILED);
    Document& document = Adopt(std::make_unique<OfficeDocument>(
        *connection_, model, "Document" + std::to_string(++created_), visible));
    if (ApplicationEvents* events = Events()) {
        events->NewDocument(document);
    }
    if (visible) {
        documents_.Activate(document);
        RaiseDocumentChange();
    }
    return document;
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
                FileUrl(absolute), ToOUString("_blank"), 0, LoadArguments());
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
    auto document = std::make_unique<OfficeDocument>(
        *connection_, model, std::filesystem::path(absolute).filename().string(), true);
    document->JoinSplitBookmarks();
    Document& adopted = Adopt(std::move(document));
    documents_.Activate(adopted);
    if (ApplicationEvents* events = Events()) {
        events->DocumentOpen(adopted);
    }
    RaiseDocumentChange();
    return adopted;
}

void OfficeApplication::Activate(Document& document) {
    if (documents_.Activate(document)) {
        RaiseDocumentChange();
    }
}

bool OfficeApplication::CloseDocument(Document& document) {
    if (!documents_.Contains(document)) {
        return false;
    }
    if (ApplicationEvents* events = Events()) {
        bool cancel = false;
        events->DocumentBeforeClose(document, cancel);
        if (cancel || !documents_.Contains(document)) {
            return !cancel;
        }
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
