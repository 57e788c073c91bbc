#include "host/word/range.h"

#include <algorithm>

#include "host/utf8.h"
#include "host/word/bookmarks.h"
#include "host/word/document.h"
#include "host/word/wildcards.h"

namespace veln::host {

Range::Range(Document& document, long start, long end) : document_(&document) {
    SetRange(start, end);
}

void Range::SetRange(long start, long end) {
    long storyEnd = document_->StoryEnd();
    start_ = std::clamp(std::min(start, end), 0L, storyEnd);
    end_ = std::clamp(std::max(start, end), start_, storyEnd);
}

std::string Range::Text() const {
    return document_->TextOf(start_, end_);
}

int Range::BookmarkID() const {
    return document_->BookmarkIdAt(start_, document_->BookmarkShowHidden);
}

void Range::Select() const {
    document_->SetSelection(start_, end_);
}

void Range::InsertBefore(std::string_view text) {
    document_->InsertText(start_, text);
    end_ += CountCharacters(text);
}

void Range::InsertAfter(std::string_view text) {
    // After the last paragraph mark nothing can stand: text goes before it.
    long at = std::min(end_, document_->StoryEnd() - 1);
    document_->InsertText(at, text);
    end_ = at + CountCharacters(text) + (end_ - at);
}

int Range::HighlightColorIndex() const {
    return document_->HighlightOf(start_, end_);
}

void Range::SetHighlightColorIndex(int colorIndex) const {
    document_->SetHighlight(start_, end_, colorIndex);
}

int Range::ReplaceAll(std::string_view pattern, std::string_view replacement, bool wildcards) {
    std::string text = document_->TextOf(start_, end_);
    std::vector<TextMatch> matches = FindMatches(text, pattern, wildcards);
    // From the last match back, so earlier positions stay true.
    long removed = 0;
    for (std::size_t i = matches.size(); i-- > 0;) {
        const TextMatch& match = matches[i];
        long from = start_ + match.start;
        document_->DeleteText(from, from + match.length);
        if (!replacement.empty()) {
            document_->InsertText(from, replacement);
        }
        removed += match.length - CountCharacters(replacement);
    }
    end_ -= removed;
    return static_cast<int>(matches.size());
}

}  // namespace veln::host
