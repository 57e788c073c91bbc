// A document of the word processor as the system sees it: its main story of
// characters counted by position, bookmarks over it, document variables,
// highlight and hyperlinks, and the file it lives in. A host (the .docx
// model, a running word processor) implements the roles of document_roles.h;
// the object model the system calls (Range, Selection, Bookmarks, Variables,
// Hyperlinks) is built on them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_error.h"
#include "host/word/document_roles.h"

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

// The word processor's own normal template: a document of that name is the
// template itself, opened for editing.
inline constexpr const char* NORMAL_TEMPLATE = "Normal.dot";

class Document : public DocumentFile,
                 public StoryText,
                 public StoryParagraphs,
                 public BookmarkStore,
                 public VariableStore,
                 public HyperlinkStore,
                 public DocumentVersions,
                 public DocumentWindow {
  public:
    virtual ~Document() = default;
    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

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

    // The window's state: bookmark brackets shown or not.
    bool ShowBookmarks = false;
    // The bookmark collection's settings: sorting of the bookmark dialog, and
    // whether hidden bookmarks ("_Toc...") are counted and numbered.
    int BookmarkDefaultSorting = 0;
    bool BookmarkShowHidden = false;

  protected:
    // Implementations call it first in Save and SaveAs.
    void BeforeSave() {
        if (beforeSave_) {
            beforeSave_(*this);
        }
    }

  private:
    std::function<void(Document&)> beforeSave_;
};

}  // namespace veln::host
