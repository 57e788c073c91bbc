#include "desktop_application.h"

namespace veln::desktop {

host::Document& DesktopApplication::AddDocument(bool visible) {
    host::Document& document = DocxApplication::AddDocument(visible);
    if (visible && windows_ != nullptr) {
        windows_->Shown(document);
    }
    return document;
}

host::Document& DesktopApplication::OpenDocument(const std::string& path) {
    host::Document& document = DocxApplication::OpenDocument(path);
    if (windows_ != nullptr) {
        windows_->Shown(document);
    }
    return document;
}

void DesktopApplication::DoEvents() {
    DocxApplication::DoEvents();
    if (windows_ != nullptr) {
        windows_->Pending();
    }
}

bool DesktopApplication::QueryClose(host::Document& document) {
    return windows_ == nullptr || !document.Visible() || windows_->AskToSave(document);
}

void DesktopApplication::Closing(host::Document& document) {
    if (windows_ != nullptr) {
        windows_->Gone(document);
    }
}

}  // namespace veln::desktop
