#include <algorithm>
#include <array>
#include <filesystem>

#include "host/docx/blank_document.h"
#include "host/docx/docx_document.h"
#include "host/docx/file_replacement.h"
#include "host/docx/package_parts.h"
#include "host/docx/xml_text.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::host::docx {

std::string DocxDocument::TextOf(long start, long end) const {
    return story_->Text(Clamp(start), Clamp(end));
}

void DocxDocument::InsertText(long position, std::string_view text) {
    if (text.empty()) {
        return;
    }
    RequireWritable(text, "The text to insert", WordError::COMMAND_FAILED, IsStoryCharacter);
    position = std::min(Clamp(position), StoryEnd() - 1);
    // Text inserted at a bookmark's start lies inside it, an empty one too:
    // its end, which stood with its start, moves after the text.
    std::vector<const Mark*> empty = bookmarks_->EmptyAt(position);
    story_->Insert(position, text);
    long length = CountCharacters(text);
    for (const Mark* mark : empty) {
        bookmarks_->MoveEnd(*mark, position + length);
    }
    selection_.Shift(position, length);
    Changed(*main_);
}

void DocxDocument::DeleteText(long start, long end) {
    start = Clamp(start);
    end = Clamp(end);
    if (start >= end) {
        return;
    }
    story_->Delete(start, end);
    selection_.Shift(start, start - end);
    Changed(*main_);
}

std::pair<long, long> DocxDocument::ParagraphAt(long position) const {
    auto [paragraph, offset] = story_->Locate(Clamp(position));
    long start = story_->StartOf(*paragraph);
    return {start, start + paragraph->length + 1};
}

int DocxDocument::HighlightOf(long start, long end) const {
    return story_->Highlight(Clamp(start), Clamp(end));
}

void DocxDocument::SetHighlight(long start, long end, int colorIndex) {
    story_->SetHighlight(Clamp(start), Clamp(end), colorIndex);
    Changed(*main_);
}

void DocxDocument::SetFontStyle(long start, long end, FontStyle style, bool on) {
    story_->SetFontStyle(Clamp(start), Clamp(end), style, on);
    Changed(*main_);
}

}  // namespace veln::host::docx
