// A range of the main story: two positions in a document. Editing through a
// range keeps it over its text (InsertBefore and InsertAfter widen it).
#pragma once

#include <string>
#include <string_view>

namespace veln::host {

class Document;

class Range {
  public:
    Range(Document& document, long start, long end);

    Document& Parent() const { return *document_; }
    long Start() const { return start_; }
    long End() const { return end_; }
    void SetRange(long start, long end);
    std::string Text() const;
    // The number of the bookmark enclosing the range's start, 0 if none.
    int BookmarkID() const;
    // Makes the range the document's selection.
    void Select() const;
    void InsertBefore(std::string_view text);
    void InsertAfter(std::string_view text);
    void InsertParagraphAfter() { InsertAfter("\r"); }
    int HighlightColorIndex() const;
    void SetHighlightColorIndex(int colorIndex) const;
    // Find and replace all, with the word processor's wildcards
    // ("//*// ", "//[0-9.]@// "), inside the range. Returns the number replaced.
    int ReplaceAll(std::string_view pattern, std::string_view replacement, bool wildcards = true);

  private:
    Document* document_;
    long start_ = 0;
    long end_ = 0;
};

}  // namespace veln::host
