#include "host/docx/docx_application.h"

#include <algorithm>
#include <filesystem>

namespace veln::host::docx {

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

Document& DocxApplication::AddDocument(bool visible) {
    documents_.push_back(DocxDocument::New("Document" + std::to_string(++created_), visible));
    if (visible) {
        active_ = documents_.back().get();
    }
    return *documents_.back();
}

Document& DocxApplication::OpenDocument(const std::string& path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (Document* open = FindDocument(absolute)) {
        active_ = open;
        return *open;
    }
    documents_.push_back(DocxDocument::Open(path));
    active_ = documents_.back().get();
    return *active_;
}

void DocxApplication::CloseDocument(Document& document) {
    auto found = std::find_if(documents_.begin(), documents_.end(),
                              [&](const auto& owned) { return owned.get() == &document; });
    if (found == documents_.end()) {
        return;
    }
    documents_.erase(found);
    if (active_ == &document) {
        // The most recent visible document takes over.
        auto visible = std::find_if(documents_.rbegin(), documents_.rend(),
                                    [](const auto& other) { return other->Visible(); });
        active_ = visible == documents_.rend() ? nullptr : visible->get();
    }
}

}  // namespace veln::host::docx
