// The word processor without a screen: documents over .docx files, one of
// them active.
#pragma once

#include <memory>
#include <vector>

#include "host/docx/docx_document.h"
#include "host/word/application.h"

namespace veln::host::docx {

class DocxApplication : public Application {
  public:
    int DocumentCount() const override { return static_cast<int>(documents_.size()); }
    Document& DocumentItem(int index) override;
    Document* FindDocument(std::string_view name) override;
    Document& AddDocument(bool visible = true) override;
    Document& OpenDocument(const std::string& path) override;
    bool CloseDocument(Document& document) override;
    Document* ActiveDocument() override { return active_; }
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
    void Changed();

    std::vector<std::unique_ptr<DocxDocument>> documents_;
    Document* active_ = nullptr;
    int created_ = 0;
};

}  // namespace veln::host::docx
