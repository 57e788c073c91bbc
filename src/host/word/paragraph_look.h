// How the main story looks, paragraph by paragraph: what a view draws, and
// how it learns which paragraphs changed. Read only; lengths and offsets count
// characters as positions do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veln::host {

enum class FontStyle : std::uint8_t { Bold, Italic, Underline };

// The formatting of characters that a view shows.
struct CharacterFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int highlight = 0;  // WdColorIndex, 0 for none
    bool link = false;  // the text of a hyperlink
    int size = 0;       // half-points, 0 for the view's body size
    int colour = -1;    // 0xRRGGBB, -1 for automatic

    bool operator==(const CharacterFormat&) const = default;
};

// Characters of one formatting, in order.
struct FormattedRun {
    long length = 0;
    CharacterFormat format;
};

enum class ParagraphAlignment : std::uint8_t { Left, Centre, Right, Justified };

// Where a paragraph of a table stands: the cell of the outermost table's row
// that holds it, in columns of the table's grid. Lengths in twips.
struct CellPlace {
    std::vector<int> grid;    // the widths of the table's grid columns
    int column = 0;           // the cell's first grid column
    int span = 1;             // grid columns it spans
    bool firstInRow = false;  // the row's first paragraph: a new row starts here
};

// The page, in twips.
struct PageLook {
    int width = 11906;  // A4
    int height = 16838;
    int marginLeft = 1440;
    int marginRight = 1440;
    int marginTop = 1440;
    int marginBottom = 1440;
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
    CellPlace cell;  // for tableDepth > 0
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    int spaceBefore = -1;  // twips, -1 when nothing says
    int spaceAfter = -1;
    int indent = 0;     // twips from the left
    int firstLine = 0;  // twips; negative: hanging
    // What a numbered or bulleted paragraph shows before its text: "•",
    // "2.", "1.3."; "" for none.
    std::string listLabel;
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
