// LibreOffice Writer as the word processor: documents the office loads and
// edits, one of them active. The one header of the office host that code
// above the host layer includes: nothing of UNO shows through it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/office/office_options.h"
#include "host/word/application.h"

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

    int DocumentCount() const override { return static_cast<int>(documents_.size()); }
    Document& DocumentItem(int index) override;
    Document* FindDocument(std::string_view name) override;
    Document& AddDocument(bool visible = true) override;
    Document& OpenDocument(const std::string& path) override;
    bool CloseDocument(Document& document) override;
    Document* ActiveDocument() override { return active_; }
    void Activate(Document& document) override;

  private:
    explicit OfficeApplication(std::unique_ptr<OfficeConnection> connection);
    Document& Adopt(std::unique_ptr<OfficeDocument> document);
    void Changed();

    std::unique_ptr<OfficeConnection> connection_;
    std::vector<std::unique_ptr<OfficeDocument>> documents_;
    Document* active_ = nullptr;
    int created_ = 0;
};

}  // namespace veln::host::office
