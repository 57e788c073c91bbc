#include "host/docx/docx_application.h"

#include <filesystem>
#include <iostream>

#include "host/docx/docx_document.h"
#include "host/docx/lock_file.h"
#include "host/ui/ui.h"

namespace veln::host::docx {

DocxApplication::DocxApplication(Ui* dialogs, std::ostream* log)
    : dialogs_(dialogs), log_(log != nullptr ? log : &std::clog) {}

DocxApplication::~DocxApplication() = default;

// Defined here, where a DocxDocument is known to be a Document.
Document& DocxApplication::DocumentItem(int index) {
    return documents_.Item(index);
}

Document* DocxApplication::FindDocument(std::string_view name) {
    return documents_.Find(name);
}

Document& DocxApplication::Adopt(std::unique_ptr<DocxDocument> document) {
    document->StartEditing(dialogs_);
    document->SetBeforeSave([this](Document& saved) {
        if (ApplicationEvents* events = Events()) {
            events->DocumentBeforeSave(saved);
        }
    });
    return documents_.Add(std::move(document));
}

Document& DocxApplication::AddDocument(bool visible) {
    Document& document = Adopt(DocxDocument::New("Document" + std::to_string(++created_), visible));
    if (ApplicationEvents* events = Events()) {
        events->NewDocument(document);
    }
    if (visible) {
        documents_.Activate(document);
        RaiseDocumentChange();
    }
    return document;
}

Document& DocxApplication::OpenDocument(const std::string& path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (Document* open = documents_.Find(absolute)) {
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
    documents_.Activate(adopted);
    if (ApplicationEvents* events = Events()) {
        events->DocumentOpen(adopted);
    }
    RaiseDocumentChange();
    return adopted;
}

void DocxApplication::Activate(Document& document) {
    if (documents_.Activate(document)) {
        RaiseDocumentChange();
    }
}

bool DocxApplication::CloseDocument(Document& document) {
    if (!documents_.Contains(document)) {
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
    CommandBars.ForgetDocument(&document);
    // Dialogs of the close may have closed it meanwhile.
    bool activeChanged = false;
    if (documents_.Contains(document)) {
        documents_.Take(document, activeChanged);
    }
    if (activeChanged) {
        RaiseDocumentChange();
    }
    return true;
}

std::unique_ptr<Document> OpenDocumentFile(const std::string& path) {
    return DocxDocument::Open(path);
}

}  // namespace veln::host::docx
