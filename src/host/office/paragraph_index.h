// Character positions over a Writer document. The system counts the
// characters of the main story, each paragraph mark one, and not the text
// of tracked deletions (their paragraph marks stay); Writer counts nothing. The index keeps each
// paragraph of the body (tables' cells included, in reading order) with its start, found from a
// range by a binary search over the paragraphs of its text; it is rebuilt after the document
// changes, and kept up to date by the host's own edits within a paragraph.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/office/uno.h"

namespace veln::host::office {

struct IndexedParagraph {
    Reference<css::text::XTextRange> range;
    rtl::OUString string;  // its characters as the office gives them, deletions left out
    long start = 0;
    long length = 0;        // characters as the system counts them
    std::size_t block = 0;  // the text it belongs to: 0 the body, then each cell
    // The office's own string, with its tracked deletions as [from, to)
    // UTF-16 offsets, in order (none, in most documents).
    sal_Int32 officeLength = 0;
    std::vector<std::pair<sal_Int32, sal_Int32>> deleted;

    // The office's offset of the character of that index: past a deletion
    // that stands there (where a range starts), or before it (where one ends).
    sal_Int32 OfficeOffset(long characters, bool pastDeletion) const;
    // The characters the system counts before the office's offset.
    long CharactersBefore(sal_Int32 officeOffset) const;
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
    // Leaves the text of tracked deletions out of the paragraphs' strings.
    void HideDeletions();
    // The paragraph that holds point and the office's offset there.
    std::pair<std::size_t, sal_Int32> OfficePlaceOf(const Reference<css::text::XTextRange>& point);
    Reference<css::text::XTextCursor> CursorAtParagraph(std::size_t index, long offset,
                                                        bool pastDeletion);
    bool Holds(const Reference<css::text::XTextRange>& point) const;

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
// How many characters the system counts in text, or in its first units.
long CharacterCount(const rtl::OUString& text);
long CharacterCount(const rtl::OUString& text, sal_Int32 units);
// Inserts the system's characters at the cursor, which moves past them:
// paragraph marks and line breaks as the office's control characters.
void InsertCharacters(const Reference<css::text::XTextCursor>& cursor, std::u32string_view text);
// The UTF-16 offset of the character of that index.
sal_Int32 Utf16Offset(const rtl::OUString& text, long characters);

}  // namespace veln::host::office
