#include "host/word/hyperlinks.h"

#include "host/word/document.h"

namespace veln::host {

int Hyperlinks::Count() const {
    return static_cast<int>(document_->HyperlinkList().size());
}

HyperlinkInfo Hyperlinks::Item(int index) const {
    auto links = document_->HyperlinkList();
    if (index < 1 || index > static_cast<int>(links.size())) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return links[static_cast<std::size_t>(index) - 1];
}

HyperlinkInfo Hyperlinks::Add(const Range& anchor, const std::string& address,
                              const std::string& subAddress,
                              const std::string& textToDisplay) const {
    return document_->AddHyperlink(anchor.Start(), anchor.End(), address, subAddress,
                                   textToDisplay);
}

}  // namespace veln::host
