// The documents a word processor has open, in the order they came, and the
// active one: the bookkeeping every host's application shares.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/document.h"

namespace veln::host {

template <class DocumentType>
class OpenDocuments {
  public:
    int Count() const { return static_cast<int>(documents_.size()); }

    // index from 1.
    DocumentType& Item(int index) const {
        if (index < 1 || index > Count()) {
            throw HostError(
                WordError::NO_SUCH_MEMBER,
                "The requested member of the collection does not exist: " + std::to_string(index));
        }
        return *documents_[static_cast<std::size_t>(index) - 1];
    }

    // By file name or full name; nullptr when none is open.
    DocumentType* Find(std::string_view name) const {
        for (const auto& document : documents_) {
            if (document->Name() == name || document->FullName() == name) {
                return document.get();
            }
        }
        return nullptr;
    }

    DocumentType& Add(std::unique_ptr<DocumentType> document) {
        documents_.push_back(std::move(document));
        return *documents_.back();
    }

    bool Contains(const Document& document) const {
        return std::any_of(documents_.begin(), documents_.end(),
                           [&](const auto& owned) { return owned.get() == &document; });
    }

    // Takes the document out; when it was the active one, the most recent
    // visible document takes over and activeChanged is set.
    std::unique_ptr<DocumentType> Take(const Document& document, bool& activeChanged) {
        auto found = std::find_if(documents_.begin(), documents_.end(),
                                  [&](const auto& owned) { return owned.get() == &document; });
        std::unique_ptr<DocumentType> taken = std::move(*found);
        documents_.erase(found);
        activeChanged = active_ == &document;
        if (activeChanged) {
            auto visible = std::find_if(documents_.rbegin(), documents_.rend(),
                                        [](const auto& other) { return other->Visible(); });
            active_ = visible == documents_.rend() ? nullptr : visible->get();
        }
        return taken;
    }

    Document* Active() const { return active_; }
    // True when the active document changed.
    bool Activate(Document& document) {
        const bool changed = active_ != &document;
        active_ = &document;
        return changed;
    }

  private:
    std::vector<std::unique_ptr<DocumentType>> documents_;
    Document* active_ = nullptr;
};

}  // namespace veln::host
