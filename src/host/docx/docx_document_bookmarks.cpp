#include <algorithm>
#include <array>
#include <filesystem>

#include "host/docx/blank_document.h"
#include "host/docx/docx_document.h"
#include "host/docx/file_replacement.h"
#include "host/docx/package_parts.h"
#include "host/docx/xml_text.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::host::docx {

int DocxDocument::BookmarkCount(bool includeHidden) const {
    return bookmarks_->Count(includeHidden);
}

BookmarkInfo DocxDocument::BookmarkItem(int index, bool includeHidden) const {
    const Mark& mark = bookmarks_->Item(index, includeHidden);
    return {mark.name, bookmarks_->Start(mark), bookmarks_->End(mark)};
}

std::optional<BookmarkInfo> DocxDocument::FindBookmark(std::string_view name) const {
    const Mark* mark = bookmarks_->Find(name);
    if (mark == nullptr) {
        return std::nullopt;
    }
    return BookmarkInfo{mark->name, bookmarks_->Start(*mark), bookmarks_->End(*mark)};
}

std::vector<BookmarkInfo> DocxDocument::BookmarksStartingAt(long position,
                                                            bool includeHidden) const {
    std::vector<BookmarkInfo> starting;
    for (const Mark* mark : bookmarks_->StartingAt(Clamp(position), includeHidden)) {
        starting.push_back({mark->name, bookmarks_->Start(*mark), bookmarks_->End(*mark)});
    }
    return starting;
}

int DocxDocument::FirstBookmarkFrom(long position, bool includeHidden) const {
    return bookmarks_->FirstFrom(Clamp(position), includeHidden);
}

int DocxDocument::BookmarkIdAt(long position, bool includeHidden) const {
    return bookmarks_->IdAt(Clamp(position), includeHidden);
}

void DocxDocument::SetBookmark(const std::string& name, long start, long end) {
    RequireWritable(name, "The bookmark name", WordError::BAD_BOOKMARK_NAME);
    bookmarks_->Set(name, Clamp(std::min(start, end)), Clamp(std::max(start, end)));
    Changed(*main_);
}

void DocxDocument::RemoveBookmark(std::string_view name) {
    if (bookmarks_->Remove(name)) {
        Changed(*main_);
    }
}

}  // namespace veln::host::docx
