// LibreOffice Writer as the word processor: documents the office loads and
// edits, one of them active. The one header of the office host that code
// above the host layer includes: nothing of UNO shows through it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/office/office_options.h"
#include "host/word/application.h"
#include "host/word/open_documents.h"

namespace veln::host::office {

class OfficeConnection;
class OfficeDocument;

class OfficeApplication : public Application {
  public:
    // Starts a headless office as options say and connects to it; a
    // HostError names what failed (no office installed, no answer).
    static std::unique_ptr<OfficeApplication> Start(const OfficeOptions& options = {});
    // The office this code runs inside (the extension): the documents are the
    // user's, and they come and go through the office's own events.
    static std::unique_ptr<OfficeApplication> InOffice(
        std::unique_ptr<OfficeConnection> connection);
    // Closes its documents without saving, then stops the office it started.
    ~OfficeApplication() override;
    OfficeApplication(const OfficeApplication&) = delete;
    OfficeApplication& operator=(const OfficeApplication&) = delete;

    int DocumentCount() const override { return documents_.Count(); }
    Document& DocumentItem(int index) override;
    Document* FindDocument(std::string_view name) override;
    Document& AddDocument(bool visible = true) override;
    Document& OpenDocument(const std::string& path) override;
    bool CloseDocument(Document& document) override;
    Document* ActiveDocument() override { return documents_.Active(); }
    void Activate(Document& document) override;

    OfficeConnection& Connection() const { return *connection_; }

    // Whether the document may close: the add-in is asked
    // (DocumentBeforeClose), then what stands beside the document goes
    // first (BeforeClosing).
    bool MayClose(Document& document);
    // Set by the office's dialogs: closes the forms opened on the document.
    std::function<void(Document&)> BeforeClosing;

    // --- the office's own events, in the extension ------------------------------------------
    // The open document over the same office document, nullptr when none.
    OfficeDocument* FindSame(const OfficeDocument& document);
    // A document the user made (created) or loaded joins the open ones and
    // NewDocument or DocumentOpen is raised; one already open is returned as is.
    Document& Join(std::unique_ptr<OfficeDocument> document, bool created);
    // The office closed the document: it leaves the open ones, with no event.
    void Forget(Document& document);
    // The name of the next document made and never saved ("Document2").
    std::string NextNewName() { return "Document" + std::to_string(++created_); }

  private:
    OfficeApplication(std::unique_ptr<OfficeConnection> connection, bool inOffice);
    Document& Adopt(std::unique_ptr<OfficeDocument> document);

    std::unique_ptr<OfficeConnection> connection_;
    OpenDocuments<OfficeDocument> documents_;
    int created_ = 0;
    // In the office's own process the user sees the documents, and the
    // office's events announce them and their saves.
    bool inOffice_ = false;
};

}  // namespace veln::host::office
