// Character positions over a Writer document. The system counts the
// characters of the main story, each paragraph mark one; Writer counts
// nothing. The index keeps each paragraph of the body (tables' cells
// included, in reading order) with its start, found from a range by a
// binary search over the paragraphs of its text; it is rebuilt after the
// document changes, and kept up to date by the host's own edits within a
// paragraph.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/office/uno.h"

namespace veln::host::office {

struct IndexedParagraph {
    Reference<css::text::XTextRange> range;
    rtl::OUString string;  // its characters as the office gives them
    long start = 0;
    long length = 0;        // characters as the system counts them
    std::size_t block = 0;  // the text it belongs to: 0 the body, then each cell
};

class ParagraphIndex {
  public:
    explicit ParagraphIndex(const Reference<css::text::XTextDocument>& document)
        : document_(document) {}

    void Invalidate() { valid_ = false; }
    // The host's own edit within one paragraph, none of its marks touched:
    // the paragraph that holds position grew by delta characters (shrank,
    // when negative). It reads its text anew and the later ones move, with
    // no walk over the document. An unexpected length rebuilds the index:
    // false then.
    bool Resized(long position, long delta);
    const std::vector<IndexedParagraph>& Paragraphs();
    // One past the last paragraph mark.
    long End();
    // The paragraph that holds position.
    std::size_t IndexAt(long position);
    // The position where point begins.
    long PositionOf(const Reference<css::text::XTextRange>& point);
    // A cursor over [start, end), both in one text (the body or one cell).
    Reference<css::text::XTextCursor> CursorAt(long start, long end);
    // The text that holds the paragraph of that index.
    const Reference<css::text::XText>& TextOf(std::size_t index);

  private:
    void Build();
    void AddText(const Reference<css::text::XText>& text, int depth);
    Reference<css::text::XTextCursor> CursorAtParagraph(std::size_t index, long offset);

    Reference<css::text::XTextDocument> document_;
    bool valid_ = false;
    std::vector<IndexedParagraph> paragraphs_;
    // The body, then each table cell, and the paragraphs of each in order.
    std::vector<Reference<css::text::XText>> blocks_;
    std::vector<std::vector<std::size_t>> blockParagraphs_;
};

// The office's characters as the system's: a line break is 11, a
// non-breaking hyphen 30, an optional hyphen 31.
std::string StoryCharacters(const rtl::OUString& text);
// How many characters the system counts in text.
long CharacterCount(const rtl::OUString& text);
// The UTF-16 offset of the character of that index.
sal_Int32 Utf16Offset(const rtl::OUString& text, long characters);

}  // namespace veln::host::office
