// A document of the word processor as the system sees it: its main story of
// characters counted by position, bookmarks over it, document variables,
// highlight and hyperlinks, and the file it lives in. An implementation (the
// .docx model, a running word processor) supplies the primitives below; the
// object model the system calls (Range, Selection, Bookmarks, Variables,
// Hyperlinks) is built on them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_error.h"
#include "host/word/paragraph_look.h"

namespace veln::host {

class Range;
class Selection;
class Bookmarks;
class Variables;
class Hyperlinks;

// Error numbers of the document model, as the word processor numbers them.
namespace WordError {
inline constexpr long FILE_NOT_FOUND = 5174;
inline constexpr long FILE_CORRUPT = 5792;
inline constexpr long CANNOT_SAVE = 5153;
inline constexpr long COMMAND_FAILED = 4198;
inline constexpr long NO_SUCH_BOOKMARK = 5101;
inline constexpr long BAD_BOOKMARK_NAME = 5828;
inline constexpr long NO_SUCH_MEMBER = 5941;
inline constexpr long VALUE_OUT_OF_RANGE = 4608;
inline constexpr long FILE_IN_USE = 5479;
inline constexpr long OUT_OF_MEMORY = 7;
}  // namespace WordError

// The special characters of the main story: each counts one position.
namespace WordChar {
inline constexpr char32_t TAB = U'\t';
inline constexpr char32_t LINE_BREAK = 11;
inline constexpr char32_t PAGE_BREAK = 12;
inline constexpr char32_t PARAGRAPH_MARK = U'\r';
inline constexpr char32_t COLUMN_BREAK = 14;
inline constexpr char32_t NON_BREAKING_HYPHEN = 30;
inline constexpr char32_t OPTIONAL_HYPHEN = 31;
// A symbol whose character the file does not give.
inline constexpr char32_t UNKNOWN_SYMBOL = U'(';
}  // namespace WordChar

// Highlight colour indexes.
namespace WdColorIndex {
inline constexpr int wdNoHighlight = 0;
inline constexpr int wdBlack = 1;
inline constexpr int wdBlue = 2;
inline constexpr int wdTurquoise = 3;
inline constexpr int wdBrightGreen = 4;
inline constexpr int wdPink = 5;
inline constexpr int wdRed = 6;
inline constexpr int wdYellow = 7;
inline constexpr int wdWhite = 8;
inline constexpr int wdDarkBlue = 9;
inline constexpr int wdTeal = 10;
inline constexpr int wdGreen = 11;
inline constexpr int wdViolet = 12;
inline constexpr int wdDarkRed = 13;
inline constexpr int wdDarkYellow = 14;
inline constexpr int wdGray50 = 15;
inline constexpr int wdGray25 = 16;
// A range whose characters are not all highlighted alike.
inline constexpr int wdUndefined = 9999999;
}  // namespace WdColorIndex

enum class SaveFormat { Document, Template };

// The word processor's own normal template: a document of that name is the
// template itself, opened for editing.
inline constexpr const char* NORMAL_TEMPLATE = "Normal.dot";

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

class Document {
  public:
    virtual ~Document() = default;
    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- file ---------------------------------------------------------------
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

    // --- the main story -------------------------------------------------------
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

    // --- paragraphs as a view shows and edits them -------------------------------
    virtual long ParagraphCount() const = 0;
    // The index (from 0) of the paragraph that holds position.
    virtual long ParagraphIndexAt(long position) const = 0;
    // The position of the first character of the paragraph of that index.
    virtual long ParagraphStart(long index) const = 0;
    virtual ParagraphStamp StampOfParagraph(long index) const = 0;
    virtual ParagraphLook LookOfParagraph(long index) const = 0;
    // Ends the paragraph at position (Enter): what follows goes to a new
    // paragraph of the same properties, bookmarks starting there with it.
    virtual void SplitParagraph(long position) = 0;
    // Removes the paragraph mark at position, joining its paragraph and the
    // next one, which must be of one block; the first keeps its properties.
    virtual void JoinParagraphs(long markPosition) = 0;

    // --- bookmarks, in document order of their starts ---------------------------
    virtual int BookmarkCount(bool includeHidden) const = 0;
    // index from 1.
    virtual BookmarkInfo BookmarkItem(int index, bool includeHidden) const = 0;
    virtual std::optional<BookmarkInfo> FindBookmark(std::string_view name) const = 0;
    // The number of the enclosing bookmark with the greatest start, 0 if none.
    virtual int BookmarkIdAt(long position, bool includeHidden) const = 0;
    // Adds a bookmark, or moves the one of that name.
    virtual void SetBookmark(const std::string& name, long start, long end) = 0;
    virtual void RemoveBookmark(std::string_view name) = 0;

    // --- document variables ------------------------------------------------------
    virtual std::vector<std::string> VariableNames() const = 0;
    virtual std::optional<std::string> VariableValue(std::string_view name) const = 0;
    virtual void SetVariableValue(const std::string& name, const std::string& value) = 0;
    virtual void RemoveVariable(std::string_view name) = 0;

    // --- hyperlinks ------------------------------------------------------------
    // A hyperlink over [start, end) of one paragraph; with a text to display,
    // that text replaces the anchor's.
    virtual HyperlinkInfo AddHyperlink(long start, long end, const std::string& address,
                                       const std::string& subAddress,
                                       const std::string& textToDisplay) = 0;
    virtual std::vector<HyperlinkInfo> HyperlinkList() const = 0;

    // --- versions ------------------------------------------------------------------
    // Compares this document with the file at path, paragraph by paragraph
    // and word by word within paragraphs, and writes the differences here as
    // tracked changes: what only this document holds deleted, what only the
    // file holds inserted, so that accepting them all gives the file's text.
    // Bookmarks stay with their text.
    virtual void Compare(const std::string& path) = 0;

    // --- the object model over these ----------------------------------------------
    Range Content();
    Range MakeRange(long start, long end);
    host::Selection Selection();
    host::Bookmarks Bookmarks();
    host::Variables Variables();
    host::Hyperlinks Hyperlinks();

    // The template attached to the document, by full name; "" is the word
    // processor's own normal template.
    std::string AttachedTemplate;
    // The attached template's file name ("veln.dot", "Normal.dot").
    std::string AttachedTemplateName() const;

    // What the word processor runs before each save of the document (its
    // DocumentBeforeSave event), whoever asked for the save.
    void SetBeforeSave(std::function<void(Document&)> beforeSave) {
        beforeSave_ = std::move(beforeSave);
    }

    // The window's state: the selection, bookmark brackets shown or not.
    long SelectionStart() const { return selStart_; }
    long SelectionEnd() const { return selEnd_; }
    void SetSelection(long start, long end);
    bool ShowBookmarks = false;
    // The bookmark collection's settings: sorting of the bookmark dialog, and
    // whether hidden bookmarks ("_Toc...") are counted and numbered.
    int BookmarkDefaultSorting = 0;
    bool BookmarkShowHidden = false;

  protected:
    // Keeps the selection over the same characters when text moves under it.
    void ShiftSelection(long position, long delta);
    // Implementations call it first in Save and SaveAs.
    void BeforeSave() {
        if (beforeSave_) {
            beforeSave_(*this);
        }
    }

  private:
    std::function<void(Document&)> beforeSave_;
    long selStart_ = 0;
    long selEnd_ = 0;
};

}  // namespace veln::host
