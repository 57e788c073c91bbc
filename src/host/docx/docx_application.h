// The word processor without a screen: documents over .docx files, one of
// them active. The one header of the .docx model that code above the host
// layer includes: it shows documents as host::Document and nothing of the
// libraries beneath.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "host/word/application.h"
#include "host/word/open_documents.h"

namespace veln::host {
class Ui;
}

namespace veln::host::docx {

class DocxDocument;

class DocxApplication : public Application {
  public:
    // dialogs: where the word processor's own questions go (a document
    // locked by another program, a file changed on disk); none answers No.
    // log: where what the reader passed over or mended is written.
    explicit DocxApplication(Ui* dialogs = nullptr, std::ostream* log = nullptr);
    ~DocxApplication() override;
    DocxApplication(const DocxApplication&) = delete;
    DocxApplication& operator=(const DocxApplication&) = delete;

    int DocumentCount() const override { return documents_.Count(); }
    Document& DocumentItem(int index) override;
    Document* FindDocument(std::string_view name) override;
    Document& AddDocument(bool visible = true) override;
    Document& OpenDocument(const std::string& path) override;
    bool CloseDocument(Document& document) override;
    Document* ActiveDocument() override { return documents_.Active(); }
    void Activate(Document& document) override;

  protected:
    // The word processor's own word before a document goes, once
    // DocumentBeforeClose let it: false keeps it open.
    virtual bool QueryClose(Document& /*document*/) { return true; }
    // The document goes now: whatever shows it lets go of it first.
    virtual void Closing(Document& /*document*/) {}

  private:
    // The document joins the open ones; its saves raise DocumentBeforeSave.
    Document& Adopt(std::unique_ptr<DocxDocument> document);

    Ui* dialogs_;
    std::ostream* log_;
    OpenDocuments<DocxDocument> documents_;
    int created_ = 0;
};

// A .docx file opened as a document of its own, outside any application:
// no lock, no questions. Refused files raise a HostError naming the reason.
std::unique_ptr<Document> OpenDocumentFile(const std::string& path);

}  // namespace veln::host::docx
