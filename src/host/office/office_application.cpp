#include "host/office/office_application.h"

#include <algorithm>
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
    for (const auto& document : documents_) {
        try {
            document->Close();
        } catch (const HostError&) {
            // The office goes next, and the document with it.
        }
    }
    documents_.clear();
}

Document& OfficeApplication::DocumentItem(int index) {
    if (index < 1 || index > DocumentCount()) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return *documents_[static_cast<std::size_t>(index) - 1];
}

Document* OfficeApplication::FindDocument(std::string_view name) {
    for (const auto& document : documents_) {
        if (document->Name() == name || document->FullName() == name) {
            return document.get();
        }
    }
    return nullptr;
}

Document& OfficeApplication::Adopt(std::unique_ptr<OfficeDocument> document) {
    document->SetBeforeSave([this](Document& saved) {
        if (ApplicationEvents* events = Events()) {
            events->DocumentBeforeSave(saved);
        }
    });
    documents_.push_back(std::move(document));
    return *documents_.back();
}

void OfficeApplication::Changed() {
    if (ApplicationEvents* events = Events()) {
        events->DocumentChange();
    }
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
        active_ = &document;
        Changed();
    }
    return document;
}

Document& OfficeApplication::OpenDocument(const std::string& path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (Document* open = FindDocument(absolute)) {
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
    active_ = &adopted;
    if (ApplicationEvents* events = Events()) {
        events->DocumentOpen(adopted);
    }
    Changed();
    return adopted;
}

void OfficeApplication::Activate(Document& document) {
    if (active_ != &document) {
        active_ = &document;
        Changed();
    }
}

bool OfficeApplication::CloseDocument(Document& document) {
    auto found = std::find_if(documents_.begin(), documents_.end(),
                              [&](const auto& owned) { return owned.get() == &document; });
    if (found == documents_.end()) {
        return false;
    }
    if (ApplicationEvents* events = Events()) {
        bool cancel = false;
        events->DocumentBeforeClose(document, cancel);
        if (cancel) {
            return false;
        }
    }
    found = std::find_if(documents_.begin(), documents_.end(),
                         [&](const auto& owned) { return owned.get() == &document; });
    CommandBars.ForgetDocument(&document);
    std::unique_ptr<OfficeDocument> closing = std::move(*found);
    documents_.erase(found);
    if (active_ == &document) {
        auto visible = std::find_if(documents_.rbegin(), documents_.rend(),
                                    [](const auto& other) { return other->Visible(); });
        active_ = visible == documents_.rend() ? nullptr : visible->get();
        Changed();
    }
    closing->Close();
    return true;
}

}  // namespace veln::host::office
