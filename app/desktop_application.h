// The word processor of the desktop program: the document model's
// application, which raises the application events, with windows. It tells
// the windows when a document comes and goes, asks its own question before a
// changed document closes, and gives DoEvents its effect: the windows are
// drawn and kept responsive while long work runs.
#pragma once

#include "host/docx/docx_application.h"

namespace veln::desktop {

class DesktopApplication : public host::docx::DocxApplication {
  public:
    // What shows the documents.
    class Windows {
      public:
        virtual ~Windows() = default;
        // A visible document was made or opened: it gets its window.
        virtual void Shown(host::Document& document) = 0;
        // The word processor's own question before a changed document goes;
        // false keeps it open.
        virtual bool AskToSave(host::Document& document) = 0;
        // The document goes now: its window lets go of it.
        virtual void Gone(host::Document& document) = 0;
        // Pending messages processed in the middle of long work.
        virtual void Pending() = 0;
    };

    void SetWindows(Windows* windows) { windows_ = windows; }

    host::Document& AddDocument(bool visible = true) override;
    host::Document& OpenDocument(const std::string& path) override;
    void DoEvents() override;

  protected:
    bool QueryClose(host::Document& document) override;
    void Closing(host::Document& document) override;

  private:
    Windows* windows_ = nullptr;
};

}  // namespace veln::desktop
