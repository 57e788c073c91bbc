// The main story of a .docx document: its paragraphs in order (those in table
// cells and content controls included) as positions of characters, over the
// XML of word/document.xml. Each paragraph keeps its own list of pieces, so an
// edit rescans one paragraph and moves the positions after it through a
// Fenwick tree: nothing walks the whole document per edit.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/docx/wml.h"
#include "host/word/paragraph_look.h"

namespace veln::host::docx {

enum class PieceKind : std::uint8_t { Text, Char, Start, End };

// One countable thing in a paragraph: a w:t (its characters), a special
// character (tab, break, hyphen, symbol), or a bookmark marker (no character).
struct Piece {
    pugi::xml_node node;
    std::uint32_t length = 0;
    PieceKind kind = PieceKind::Text;
    char32_t ch = 0;
};

struct Paragraph {
    pugi::xml_node node;
    std::vector<Piece> pieces;
    long length = 0;  // characters, the paragraph mark not counted
    std::size_t index = 0;
    std::uint64_t id = 0;        // never given to another paragraph of the story
    std::uint64_t revision = 0;  // grows with every change of the paragraph
};

// A bookmark marker met while reading: inside a paragraph, or between blocks
// (then it stands at the start of the next paragraph, or at the very end).
struct FoundMarker {
    pugi::xml_node node;
    Paragraph* paragraph = nullptr;  // nullptr: after the last paragraph
    bool betweenBlocks = false;
};

// The tracked change of a paragraph mark.
enum class MarkChange : std::uint8_t { None, Deleted, Inserted };

// Who made the tracked changes written into a story, and when; each change
// takes the next id.
struct RevisionStamp {
    std::string author;
    std::string date;  // ISO 8601 in UTC, as word processors write it
    long nextId = 1;
};

class Story {
  public:
    // Levels of tables, content controls and inline wrappers the story reads.
    static constexpr int MAX_NESTING = 256;

    // Paragraph ids count on from lastParagraphId, so that a story read
    // again over changed XML gives no paragraph the id of another.
    Story(pugi::xml_node body, const Wml& names, std::uint64_t lastParagraphId = 0);
    std::uint64_t LastParagraphId() const { return lastParagraphId_; }

    long End() const;  // one past the last paragraph mark
    std::size_t ParagraphCount() const { return paragraphs_.size(); }
    Paragraph& ParagraphAtIndex(std::size_t index) { return *paragraphs_[index]; }
    Paragraph& NewParagraph(pugi::xml_node node);
    const std::vector<FoundMarker>& FoundMarkers() const { return found_; }

    long StartOf(const Paragraph& paragraph) const;
    // The paragraph that holds position and the offset in it (length: the mark).
    std::pair<Paragraph*, long> Locate(long position) const;
    // The position of a marker node of paragraph (nullptr: the end).
    long PositionOf(const Paragraph* paragraph, const pugi::xml_node& marker) const;

    std::string Text(long start, long end) const;
    void Insert(long position, std::string_view text);
    void Delete(long start, long end);
    int Highlight(long start, long end) const;
    void SetHighlight(long start, long end, int colorIndex);
    void SetFontStyle(long start, long end, FontStyle style, bool on);

    // Puts a new marker element (bookmarkStart or bookmarkEnd) at position,
    // after the markers already there and before the character at position.
    std::pair<pugi::xml_node, Paragraph*> InsertMarker(long position, const std::string& element);
    void RemoveMarker(const pugi::xml_node& marker, Paragraph* paragraph);
    // The runs covering [start, end) of one paragraph, split at both ends.
    std::vector<pugi::xml_node> RunsCovering(Paragraph& paragraph, long start, long end);

    const Wml& Names() const { return n_; }
    // Reads a paragraph's pieces again after its XML was changed from outside.
    void Refresh(Paragraph& paragraph) { Rescan(paragraph); }

    // Paragraph marks anywhere (story_paragraphs.cpp). Split ends the
    // paragraph at position and returns the new one after it, which holds
    // what followed; Join removes the mark at position and returns the
    // paragraph whose content moved into the one before it. Both refuse,
    // changing nothing, what they cannot do cleanly.
    Paragraph& Split(long position);
    Paragraph& Join(long position);
    // Tracked changes (story_revisions.cpp). MarkDeleted puts the runs of
    // [start, end) of paragraph inside a deletion; their text no longer
    // counts. InsertionAt makes an empty insertion at offset, inside the
    // bookmarks around it, for the caller to fill with runs and Refresh.
    // MarkParagraph marks a paragraph's mark inserted or deleted, MarkRow a
    // table row; AppendInsertion adds an empty insertion at the end of a
    // paragraph the story does not read yet.
    void MarkDeleted(Paragraph& paragraph, long start, long end, RevisionStamp& stamp);
    pugi::xml_node InsertionAt(Paragraph& paragraph, long offset, RevisionStamp& stamp);
    void MarkParagraph(pugi::xml_node paragraph, bool inserted, RevisionStamp& stamp) const;
    void MarkRow(pugi::xml_node row, bool inserted, RevisionStamp& stamp) const;
    MarkChange MarkChangeOf(pugi::xml_node paragraph) const;
    void SetMarkChange(pugi::xml_node paragraph, MarkChange change, RevisionStamp& stamp) const;
    pugi::xml_node AppendInsertion(pugi::xml_node paragraph, RevisionStamp& stamp) const;
    // Paragraphs of one body or table cell share it.
    static std::uint64_t BlockOf(const Paragraph& paragraph);

  private:
    // The walks recurse once per level of the XML: a file deeper than
    // MAX_NESTING is refused before the stack could run out.
    static void RequireDepth(int depth);
    void WalkBlocks(pugi::xml_node parent, std::vector<pugi::xml_node>& pending, int depth);
    void ScanInline(pugi::xml_node parent, Paragraph& paragraph, bool report, bool markersOnly,
                    int depth);
    void ScanRun(pugi::xml_node run, Paragraph& paragraph);
    void Rescan(Paragraph& paragraph);
    void AddToLength(Paragraph& paragraph, long delta);
    void InsertInParagraph(Paragraph& paragraph, long offset, std::string_view text);
    // Text of one paragraph whose special characters (tabs, breaks, hyphens)
    // become the elements the file writes them as.
    void InsertWithSpecials(Paragraph& paragraph, long offset, std::string_view text);
    void InsertSpecial(Paragraph& paragraph, long offset, char32_t special);
    Paragraph& NewParagraphAfter(Paragraph& paragraph);
    // Makes the content at offset the first content of its run; returns that
    // run, or an empty node when offset is the paragraph mark.
    pugi::xml_node SplitAt(Paragraph& paragraph, long offset);
    // The first piece with characters at or after offset, as an index.
    std::size_t ContentAt(const Paragraph& paragraph, long offset, long& pieceStart) const;

    // Fenwick tree of paragraph lengths with their marks.
    long Prefix(std::size_t count) const;
    void FenwickAdd(std::size_t index, long delta);
    void FenwickPush(long value);
    void FenwickRebuild();

    const Wml& n_;
    pugi::xml_node body_;
    // Paragraphs live in a pool that never moves them (markers and bookmarks
    // point at them); paragraphs_ orders them.
    std::deque<Paragraph> pool_;
    std::vector<Paragraph*> paragraphs_;
    std::vector<long> tree_;
    std::vector<FoundMarker> found_;
    std::uint64_t lastParagraphId_ = 0;
};

// The control characters the story holds as elements of their own: line,
// page and column breaks, non-breaking and optional hyphens.
bool IsStoryCharacter(char32_t c);

// The WdColorIndex of a w:highlight value, 0 for none or an unknown one.
int HighlightIndex(std::string_view value);

}  // namespace veln::host::docx
