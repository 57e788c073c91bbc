// How the main story looks, paragraph by paragraph: what a view draws, and
// how it learns which paragraphs changed. Read only; lengths and offsets count
// characters as positions do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veln::host {

// The formatting of characters that a view shows.
struct CharacterFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int highlight = 0;  // WdColorIndex, 0 for none
    bool link = false;  // the text of a hyperlink

    bool operator==(const CharacterFormat&) const = default;
};

// Characters of one formatting, in order.
struct FormattedRun {
    long length = 0;
    CharacterFormat format;
};

struct ParagraphLook {
    long start = 0;    // the position of its first character
    std::string text;  // its characters, the paragraph mark left out
    // Cover the text in order; neighbours differ in formatting.
    std::vector<FormattedRun> runs;
    std::string style;     // the paragraph style's id, "" for the default
    int headingLevel = 0;  // 1 to 9 for a heading, 0 for body text
    int tableDepth = 0;    // 0 outside tables, 1 in a cell, 2 in a nested table's cell
    bool firstInCell = false;
    // Offsets of pictures and other objects, which have no character: the
    // view may show them, editing passes them by.
    std::vector<long> objects;
};

// Which paragraph an index holds, and whether it changed: the id stays while
// the paragraph lives and is never given to another; the revision grows with
// every change of its text, formatting or bookmark markers.
struct ParagraphStamp {
    std::uint64_t id = 0;
    std::uint64_t revision = 0;
    // Paragraphs of one body or one table cell share it: only such
    // neighbours can be joined.
    std::uint64_t block = 0;
};

}  // namespace veln::host
