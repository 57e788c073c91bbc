#include "host/word/document.h"

#include "host/word/bookmarks.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "host/word/variables.h"

namespace veln::host {

Range Document::Content() {
    return Range(*this, 0, StoryEnd());
}

Range Document::MakeRange(long start, long end) {
    return Range(*this, start, end);
}

host::Selection Document::Selection() {
    return host::Selection(*this);
}

host::Bookmarks Document::Bookmarks() {
    return host::Bookmarks(*this);
}

host::Variables Document::Variables() {
    return host::Variables(*this);
}

host::Hyperlinks Document::Hyperlinks() {
    return host::Hyperlinks(*this);
}

std::string Document::AttachedTemplateName() const {
    if (AttachedTemplate.empty()) {
        return NORMAL_TEMPLATE;
    }
    auto slash = AttachedTemplate.rfind('/');
    return slash == std::string::npos ? AttachedTemplate : AttachedTemplate.substr(slash + 1);
}

}  // namespace veln::host
