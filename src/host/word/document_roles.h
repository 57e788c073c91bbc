// The roles a host's document plays for the system, each a narrow interface
// that a host implements on its own: the file, the main story's text and its
// paragraphs, bookmarks, document variables, hyperlinks, versions and the
// window's selection. host::Document gathers them; the object model
// (Range, Selection, Bookmarks, Variables, Hyperlinks) asks for the ones it
// needs. Positions count characters of the main story as the word processor
// does: each character one, each paragraph mark one ('\r').
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/word/paragraph_look.h"

namespace veln::host {

enum class SaveFormat { Document, Template };

struct BookmarkInfo {
    std::string name;
    long start = 0;
    long end = 0;
};

struct HyperlinkInfo {
    std::string address;
    std::string subAddress;
    std::string text;
    long start = 0;
    long end = 0;
};

// The file the document lives in.
class DocumentFile {
  public:
    // The file name ("Spec.docx"), or "Document1" for a new document never saved.
    virtual std::string Name() const = 0;
    // The absolute path of the file, or Name() for a new document.
    virtual std::string FullName() const = 0;
    // True after opening or saving, false after any change.
    virtual bool Saved() const = 0;
    virtual void SetSaved(bool saved) = 0;
    virtual void Save() = 0;
    // Without a format the document keeps its own (a template stays a template).
    virtual void SaveAs(const std::string& path,
                        std::optional<SaveFormat> format = std::nullopt) = 0;
    virtual bool Visible() const = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~DocumentFile() = default;
};

// The characters of the main story, edited and highlighted by position.
class StoryText {
  public:
    // Content.End: one past the last paragraph mark.
    virtual long StoryEnd() const = 0;
    // The characters from start to end: paragraph marks as '\r', tabs, breaks.
    virtual std::string TextOf(long start, long end) const = 0;
    // Inserts text before the character at position, taking its formatting;
    // text inserted at a bookmark's start lies inside the bookmark. Paragraph
    // marks ('\r') may be inserted at the end of a paragraph.
    virtual void InsertText(long position, std::string_view text) = 0;
    // Removes the characters from start to end, within one paragraph.
    virtual void DeleteText(long start, long end) = 0;
    // The paragraph holding position: its start, and its end after the mark.
    virtual std::pair<long, long> ParagraphAt(long position) const = 0;
    // The WdColorIndex shared by the characters of the range, wdUndefined if mixed.
    virtual int HighlightOf(long start, long end) const = 0;
    virtual void SetHighlight(long start, long end, int colorIndex) = 0;
    // Sets bold, italic or underline on the characters from start to end, or
    // clears it, as their own formatting (over what their styles say).
    virtual void SetFontStyle(long start, long end, FontStyle style, bool on) = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~StoryText() = default;
};

// The main story's paragraphs as a view shows and edits them.
class StoryParagraphs {
  public:
    virtual long ParagraphCount() const = 0;
    // The index (from 0) of the paragraph that holds position.
    virtual long ParagraphIndexAt(long position) const = 0;
    // The position of the first character of the paragraph of that index.
    virtual long ParagraphStart(long index) const = 0;
    virtual ParagraphStamp StampOfParagraph(long index) const = 0;
    virtual ParagraphLook LookOfParagraph(long index) const = 0;
    // The page the main story is written for (its last section's).
    virtual PageLook LookOfPage() const = 0;
    // Ends the paragraph at position (Enter): what follows goes to a new
    // paragraph of the same properties, bookmarks starting there with it.
    virtual void SplitParagraph(long position) = 0;
    // Removes the paragraph mark at position, joining its paragraph and the
    // next one, which must be of one block; the first keeps its properties.
    virtual void JoinParagraphs(long markPosition) = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~StoryParagraphs() = default;
};

// Bookmarks over the main story, numbered from 1 in document order of their
// starts; hidden ones ("_Toc...") are counted only when asked.
class BookmarkStore {
  public:
    virtual int BookmarkCount(bool includeHidden) const = 0;
    // index from 1.
    virtual BookmarkInfo BookmarkItem(int index, bool includeHidden) const = 0;
    virtual std::optional<BookmarkInfo> FindBookmark(std::string_view name) const = 0;
    // The number of the enclosing bookmark with the greatest start, 0 if none.
    virtual int BookmarkIdAt(long position, bool includeHidden) const = 0;
    // The bookmarks that start at position, in their order.
    virtual std::vector<BookmarkInfo> BookmarksStartingAt(long position,
                                                          bool includeHidden) const = 0;
    // The number of the first bookmark that starts at or after position,
    // BookmarkCount + 1 when none does; in time logarithmic in the bookmarks.
    virtual int FirstBookmarkFrom(long position, bool includeHidden) const = 0;
    // Adds a bookmark, or moves the one of that name.
    virtual void SetBookmark(const std::string& name, long start, long end) = 0;
    virtual void RemoveBookmark(std::string_view name) = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~BookmarkStore() = default;
};

// The document variables, by exact name.
class VariableStore {
  public:
    // In the order of their names, as the word processor lists them.
    virtual std::vector<std::string> VariableNames() const = 0;
    virtual std::optional<std::string> VariableValue(std::string_view name) const = 0;
    virtual void SetVariableValue(const std::string& name, const std::string& value) = 0;
    virtual void RemoveVariable(std::string_view name) = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~VariableStore() = default;
};

class HyperlinkStore {
  public:
    // A hyperlink over [start, end) of one paragraph; with a text to display,
    // that text replaces the anchor's.
    virtual HyperlinkInfo AddHyperlink(long start, long end, const std::string& address,
                                       const std::string& subAddress,
                                       const std::string& textToDisplay) = 0;
    virtual std::vector<HyperlinkInfo> HyperlinkList() const = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~HyperlinkStore() = default;
};

class DocumentVersions {
  public:
    // Compares this document with the file at path, paragraph by paragraph
    // and word by word within paragraphs, and writes the differences here as
    // tracked changes: what only this document holds deleted, what only the
    // file holds inserted, so that accepting them all gives the file's text.
    // Bookmarks stay with their text.
    virtual void Compare(const std::string& path) = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~DocumentVersions() = default;
};

// The selection of the document's window: an insertion point or a range.
class DocumentWindow {
  public:
    virtual long SelectionStart() const = 0;
    virtual long SelectionEnd() const = 0;
    // Selects from start to end, in either order; the last paragraph mark
    // cannot be passed.
    virtual void SetSelection(long start, long end) = 0;

  protected:
    // Hosts own their documents; nothing deletes one through a role.
    ~DocumentWindow() = default;
};

}  // namespace veln::host
