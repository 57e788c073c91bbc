#include "host/word/document.h"

#include <algorithm>

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

void Document::SetSelection(long start, long end) {
    // The last paragraph mark cannot be passed.
    long last = std::max(0L, StoryEnd() - 1);
    selStart_ = std::clamp(std::min(start, end), 0L, last);
    selEnd_ = std::clamp(std::max(start, end), selStart_, StoryEnd());
}

void Document::ShiftSelection(long position, long delta) {
    // Positions after the edit move with their text; a deletion pulls those
    // inside it back to its start.
    for (long* at : {&selStart_, &selEnd_}) {
        if (*at > position) {
            *at = delta < 0 ? std::max(position, *at + delta) : *at + delta;
        }
    }
}

}  // namespace veln::host
