// The hyperlinks of a document's main story.
#pragma once

#include <string>

#include "host/word/document_roles.h"
#include "host/word/range.h"

namespace veln::host {

class Hyperlinks {
  public:
    explicit Hyperlinks(HyperlinkStore& document) : document_(&document) {}

    int Count() const;
    HyperlinkInfo Item(int index) const;  // index from 1
    // A hyperlink over the anchor; with a text to display, that text replaces
    // the anchor's. address is an outside file or page, subAddress a bookmark in it.
    HyperlinkInfo Add(const Range& anchor, const std::string& address,
                      const std::string& subAddress = "",
                      const std::string& textToDisplay = "") const;

  private:
    HyperlinkStore* document_;
};

}  // namespace veln::host
