// The bookmarks of a document, numbered from 1 in document order of their
// starts, and the predefined "\Para" and "\EndOfDoc".
#pragma once

#include <string>
#include <string_view>

#include "host/word/range.h"

namespace veln::host {

class Document;

class Bookmark {
  public:
    Bookmark(Document& document, std::string name) : document_(&document), name_(std::move(name)) {}

    const std::string& Name() const { return name_; }
    host::Range Range() const;
    long Start() const { return Range().Start(); }
    long End() const { return Range().End(); }
    void Delete() const;
    // A second bookmark named newName over the same range.
    Bookmark Copy(const std::string& newName) const;

  private:
    Document* document_;
    std::string name_;
};

class Bookmarks {
  public:
    explicit Bookmarks(Document& document) : document_(&document) {}

    int Count() const;
    bool Exists(std::string_view name) const;
    Bookmark Item(std::string_view name) const;
    Bookmark Item(int index) const;
    Bookmark Add(const std::string& name, const host::Range& range) const;
    int DefaultSorting() const;
    void SetDefaultSorting(int sorting) const;
    bool ShowHidden() const;
    void SetShowHidden(bool show) const;

  private:
    Document* document_;
};

inline constexpr const char* BOOKMARK_PARA = "\\Para";
inline constexpr const char* BOOKMARK_END_OF_DOC = "\\EndOfDoc";

}  // namespace veln::host
