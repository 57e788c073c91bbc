// LibreOffice Writer as the word processor: documents the office loads and
// edits, one of them active. The one header of the office host that code
// above the host layer includes: nothing of UNO shows through it.
#pragma once

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

  private:
    explicit OfficeApplication(std::unique_ptr<OfficeConnection> connection);
    Document& Adopt(std::unique_ptr<OfficeDocument> document);

    std::unique_ptr<OfficeConnection> connection_;
    OpenDocuments<OfficeDocument> documents_;
    int created_ = 0;
};

}  // namespace veln::host::office
