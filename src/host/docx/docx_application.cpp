#include "host/docx/docx_application.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "host/docx/docx_document.h"
#include "host/docx/lock_file.h"
#include "host/ui/ui.h"

namespace veln::host::docx {

DocxApplication::DocxApplication(Ui* dialogs, std::ostream* log)
    : dialogs_(dialogs), log_(log != nullptr ? log : &std::clog) {}

DocxApplication::~DocxApplication() = default;

Document& DocxApplication::DocumentItem(int index) {
    if (index < 1 || index > DocumentCount()) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return *documents_[static_cast<std::size_t>(index) - 1];
}

Document* DocxApplication::FindDocument(std::string_view name) {
    for (const auto& document : documents_) {
        if (document->Name() == name || document->FullName() == name) {
            return document.get();
        }
    }
    return nullptr;
}

Document& DocxApplication::Adopt(std::unique_ptr<DocxDocument> document) {
    document->StartEditing(dialogs_);
    document->SetBeforeSave([this](Document& saved) {
        if (ApplicationEvents* events = Events()) {
            events->DocumentBeforeSave(saved);
        }
    });
    documents_.push_back(std::move(document));
    return *documents_.back();
}

void DocxApplication::Changed() {
    if (ApplicationEvents* events = Events()) {
        events->DocumentChange();
    }
}

Document& DocxApplication::AddDocument(bool visible) {
    Document& document = Adopt(DocxDocument::New("Document" + std::to_string(++created_), visible));
    if (ApplicationEvents* events = Events()) {
        events->NewDocument(document);
    }
    if (visible) {
        active_ = &document;
        Changed();
    }
    return document;
}

Document& DocxApplication::OpenDocument(const std::string& path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (Document* open = FindDocument(absolute)) {
        Activate(*open);
        return *open;
    }
    // Someone has the file open for editing (LibreOffice, or VELN elsewhere):
    // ask, as they would ask, before two people change it at once.
    if (std::optional<LockOwner> owner = ReadLock(absolute); owner && dialogs_ != nullptr) {
        using namespace MsgBoxStyle;
        std::string question = "The document " + absolute + " is locked for editing by " +
                               owner->Who() +
                               (owner->since.empty() ? "" : " since " + owner->since) +
                               ".\rOpen it anyway? Changes saved by either of you may overwrite "
                               "the other's.";
        if (dialogs_->MsgBox(question, vbYesNo + vbExclamation + vbDefaultButton2) !=
            MsgBoxResult::vbYes) {
            throw HostError(WordError::FILE_IN_USE,
                            path + ": not opened, it is locked for editing by " + owner->Who());
        }
    }
    std::unique_ptr<DocxDocument> document = DocxDocument::Open(path);
    for (const std::string& note : document->Notes()) {
        *log_ << "veln: " << absolute << ": " << note << "\n";
    }
    Document& adopted = Adopt(std::move(document));
    active_ = &adopted;
    if (ApplicationEvents* events = Events()) {
        events->DocumentOpen(adopted);
    }
    Changed();
    return adopted;
}

void DocxApplication::Activate(Document& document) {
    if (active_ != &document) {
        active_ = &document;
        Changed();
    }
}

bool DocxApplication::CloseDocument(Document& document) {
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
    if (!QueryClose(document)) {
        return false;
    }
    Closing(document);
    // Dialogs of the close may have opened or closed others meanwhile.
    found = std::find_if(documents_.begin(), documents_.end(),
                         [&](const auto& owned) { return owned.get() == &document; });
    CommandBars.ForgetDocument(&document);
    documents_.erase(found);
    if (active_ == &document) {
        // The most recent visible document takes over.
        auto visible = std::find_if(documents_.rbegin(), documents_.rend(),
                                    [](const auto& other) { return other->Visible(); });
        active_ = visible == documents_.rend() ? nullptr : visible->get();
        Changed();
    }
    return true;
}

std::unique_ptr<Document> OpenDocumentFile(const std::string& path) {
    return DocxDocument::Open(path);
}

}  // namespace veln::host::docx
