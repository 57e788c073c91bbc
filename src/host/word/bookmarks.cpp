#include "host/word/bookmarks.h"

#include <cctype>

#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host {

namespace {

bool IsPredefined(std::string_view name) {
    return name == BOOKMARK_PARA || name == BOOKMARK_END_OF_DOC;
}

}  // namespace

host::Range Bookmark::Range() const {
    if (name_ == BOOKMARK_PARA) {
        auto [start, end] = document_->ParagraphAt(document_->SelectionStart());
        return host::Range(*document_, start, end);
    }
    if (name_ == BOOKMARK_END_OF_DOC) {
        long end = document_->StoryEnd() - 1;
        return host::Range(*document_, end, end);
    }
    auto info = document_->FindBookmark(name_);
    if (!info) {
        throw HostError(WordError::NO_SUCH_BOOKMARK, "This bookmark does not exist: " + name_);
    }
    return host::Range(*document_, info->start, info->end);
}

void Bookmark::Delete() const {
    if (!IsPredefined(name_)) {
        document_->RemoveBookmark(name_);
    }
}

Bookmark Bookmark::Copy(const std::string& newName) const {
    host::Range range = Range();
    return Bookmarks(*document_).Add(newName, range);
}

int Bookmarks::Count() const {
    return document_->BookmarkCount(document_->BookmarkShowHidden);
}

bool Bookmarks::Exists(std::string_view name) const {
    return IsPredefined(name) || document_->FindBookmark(name).has_value();
}

Bookmark Bookmarks::Item(std::string_view name) const {
    if (!Exists(name)) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::string(name));
    }
    return Bookmark(*document_, std::string(name));
}

Bookmark Bookmarks::Item(int index) const {
    if (index < 1 || index > Count()) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return Bookmark(*document_, document_->BookmarkItem(index, document_->BookmarkShowHidden).name);
}

Bookmark Bookmarks::Add(const std::string& name, const host::Range& range) const {
    // A name is a letter then letters, digits and underscores, 40 characters
    // at most, in well-formed UTF-8.
    bool valid = !name.empty() && IsValidUtf8(name) && CountCharacters(name) <= 40 &&
                 (std::isalpha(static_cast<unsigned char>(name[0])) != 0 ||
                  static_cast<unsigned char>(name[0]) >= 0x80 || name[0] == '_');
    for (char c : name) {
        valid = valid && (std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' ||
                          static_cast<unsigned char>(c) >= 0x80);
    }
    if (!valid) {
        throw HostError(WordError::BAD_BOOKMARK_NAME, "Bad bookmark name: " + name);
    }
    document_->SetBookmark(name, range.Start(), range.End());
    return Bookmark(*document_, name);
}

int Bookmarks::DefaultSorting() const {
    return document_->BookmarkDefaultSorting;
}

void Bookmarks::SetDefaultSorting(int sorting) const {
    document_->BookmarkDefaultSorting = sorting;
}

bool Bookmarks::ShowHidden() const {
    return document_->BookmarkShowHidden;
}

void Bookmarks::SetShowHidden(bool show) const {
    document_->BookmarkShowHidden = show;
}

}  // namespace veln::host
