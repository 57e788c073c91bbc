// What the system marks in a document: bookmarks over ranges, document
// variables as user-defined document properties, hyperlinks on text portions.
#include <algorithm>
#include <unordered_map>

#include "host/office/office_document.h"
#include "host/utf8.h"

namespace veln::host::office {

namespace {

// Document variables live among the user-defined properties under this
// prefix, where the .docx model reads them back.
constexpr std::string_view VARIABLE_PREFIX = "VELN_";

bool IsHidden(std::string_view name) {
    return name.starts_with("_");
}

rtl::OUString PropertyName(std::string_view variable) {
    return ToOUString(std::string(VARIABLE_PREFIX) + std::string(variable));
}

}  // namespace

// --- BookmarkStore ---------------------------------------------------------------

Reference<css::container::XNameAccess> OfficeDocument::BookmarkNames() const {
    return Reference<css::text::XBookmarksSupplier>(model_, UNO_QUERY_THROW)->getBookmarks();
}

const std::vector<BookmarkInfo>& OfficeDocument::Ordered(bool includeHidden) const {
    if (!bookmarksValid_) {
        Run("reading the bookmarks", [&] {
            all_.clear();
            shown_.clear();
            ReadBookmarks();
            std::stable_sort(all_.begin(), all_.end(),
                             [](const auto& a, const auto& b) { return a.start < b.start; });
            shownValid_ = false;
            placesValid_ = false;
        });
        bookmarksValid_ = true;
    }
    // The visible ones are picked again only when asked after a change.
    if (!includeHidden && !shownValid_) {
        shown_.clear();
        std::copy_if(all_.begin(), all_.end(), std::back_inserter(shown_),
                     [](const BookmarkInfo& bookmark) { return !IsHidden(bookmark.name); });
        shownValid_ = true;
    }
    return includeHidden ? all_ : shown_;
}

// One walk over the text portions of every paragraph of the main story,
// which name the bookmarks that start and end in them: a position is the
// paragraph's start and the characters of the portions before.
void OfficeDocument::ReadBookmarks() const {
    std::unordered_map<std::string, std::size_t> started;
    for (const IndexedParagraph& paragraph : index_.Paragraphs()) {
        Reference<css::container::XEnumerationAccess> access(paragraph.range, UNO_QUERY);
        if (!access.is()) {
            continue;
        }
        Reference<css::container::XEnumeration> portions = access->createEnumeration();
        long offset = 0;      // characters, while the paragraph has no deletions
        sal_Int32 utf16 = 0;  // the office's offset
        while (portions->hasMoreElements()) {
            Reference<css::beans::XPropertySet> portion(portions->nextElement(), UNO_QUERY);
            if (!portion.is()) {
                continue;
            }
            rtl::OUString type;
            portion->getPropertyValue(ToOUString("TextPortionType")) >>= type;
            if (type != "Bookmark") {
                rtl::OUString text =
                    Reference<css::text::XTextRange>(portion, UNO_QUERY_THROW)->getString();
                offset += CharacterCount(text);
                utf16 += text.getLength();
                continue;
            }
            Reference<css::container::XNamed> bookmark(
                portion->getPropertyValue(ToOUString("Bookmark")), UNO_QUERY);
            if (!bookmark.is()) {
                continue;
            }
            bool isStart = false;
            bool collapsed = false;
            portion->getPropertyValue(ToOUString("IsStart")) >>= isStart;
            portion->getPropertyValue(ToOUString("IsCollapsed")) >>= collapsed;
            std::string name = FromOUString(bookmark->getName());
            const long position =
                paragraph.start +
                (paragraph.deleted.empty() ? offset : paragraph.CharactersBefore(utf16));
            if (isStart || collapsed) {
                started[name] = all_.size();
                all_.push_back({std::move(name), position, position});
            } else if (auto found = started.find(name); found != started.end()) {
                all_[found->second].end = position;
            }
        }
    }
}

int OfficeDocument::BookmarkCount(bool includeHidden) const {
    return static_cast<int>(Ordered(includeHidden).size());
}

BookmarkInfo OfficeDocument::BookmarkItem(int index, bool includeHidden) const {
    const auto& order = Ordered(includeHidden);
    if (index < 1 || index > static_cast<int>(order.size())) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return order[static_cast<std::size_t>(index) - 1];
}

std::size_t OfficeDocument::PlaceOf(std::string_view name) const {
    const auto& order = Ordered(true);
    if (!placesValid_) {
        places_.clear();
        for (std::size_t i = 0; i < order.size(); ++i) {
            places_.emplace(order[i].name, i);
        }
        placesValid_ = true;
    }
    auto found = places_.find(std::string(name));
    return found == places_.end() ? order.size() : found->second;
}

std::optional<BookmarkInfo> OfficeDocument::FindBookmark(std::string_view name) const {
    const std::size_t place = PlaceOf(name);
    if (place < all_.size()) {
        return all_[place];
    }
    return std::nullopt;
}

int OfficeDocument::BookmarkIdAt(long position, bool includeHidden) const {
    const auto& order = Ordered(includeHidden);
    auto after = std::upper_bound(order.begin(), order.end(), position,
                                  [](long at, const BookmarkInfo& b) { return at < b.start; });
    for (auto it = after; it != order.begin();) {
        --it;
        if (position < it->end || (it->start == it->end && position == it->start)) {
            return static_cast<int>(it - order.begin()) + 1;
        }
    }
    return 0;
}

std::vector<BookmarkInfo> OfficeDocument::BookmarksStartingAt(long position,
                                                              bool includeHidden) const {
    std::vector<BookmarkInfo> starting;
    const auto& order = Ordered(includeHidden);
    for (auto it = order.begin() + FirstBookmarkFrom(position, includeHidden) - 1;
         it != order.end() && it->start == position; ++it) {
        starting.push_back(*it);
    }
    return starting;
}

int OfficeDocument::FirstBookmarkFrom(long position, bool includeHidden) const {
    const auto& order = Ordered(includeHidden);
    auto first = std::lower_bound(order.begin(), order.end(), position,
                                  [](const BookmarkInfo& b, long at) { return b.start < at; });
    return static_cast<int>(first - order.begin()) + 1;
}

void OfficeDocument::SetBookmark(const std::string& name, long start, long end) {
    Run("adding the bookmark " + name, [&] {
        Reference<css::container::XNameAccess> names = BookmarkNames();
        rtl::OUString officeName = ToOUString(name);
        if (names->hasByName(officeName)) {
            Reference<css::text::XTextContent> old(names->getByName(officeName), UNO_QUERY_THROW);
            old->getAnchor()->getText()->removeTextContent(old);
        }
        Reference<css::text::XTextContent> bookmark(
            Reference<css::lang::XMultiServiceFactory>(model_, UNO_QUERY_THROW)
                ->createInstance(ToOUString("com.sun.star.text.Bookmark")),
            UNO_QUERY_THROW);
        Reference<css::container::XNamed>(bookmark, UNO_QUERY_THROW)->setName(officeName);
        Reference<css::text::XTextCursor> range = index_.CursorAt(start, end);
        range->getText()->insertTextContent(AsRange(range), bookmark, true);
        // The office puts it over the range it is given.
        Cache({name, start, std::max(start, end)});
    });
}

void OfficeDocument::RemoveBookmark(std::string_view name) {
    Run("removing the bookmark " + std::string(name), [&] {
        Reference<css::container::XNameAccess> names = BookmarkNames();
        rtl::OUString officeName = ToOUString(name);
        if (!names->hasByName(officeName)) {
            throw HostError(WordError::NO_SUCH_BOOKMARK,
                            "The bookmark " + std::string(name) + " does not exist");
        }
        Reference<css::text::XTextContent> bookmark(names->getByName(officeName), UNO_QUERY_THROW);
        bookmark->getAnchor()->getText()->removeTextContent(bookmark);
        Reread(std::string(name));
    });
}

void OfficeDocument::Reread(const std::string& name) const {
    if (!bookmarksValid_) {
        return;
    }
    Reference<css::container::XNameAccess> names = BookmarkNames();
    const rtl::OUString officeName = ToOUString(name);
    if (!names->hasByName(officeName)) {
        Cache({name, -1, -1});
        return;
    }
    Reference<css::text::XTextRange> anchor =
        Reference<css::text::XTextContent>(names->getByName(officeName), UNO_QUERY_THROW)
            ->getAnchor();
    Cache({name, index_.PositionOf(anchor->getStart()), index_.PositionOf(anchor->getEnd())});
}

void OfficeDocument::Cache(BookmarkInfo bookmark) const {
    if (!bookmarksValid_) {
        return;
    }
    shownValid_ = false;
    // Where it stays between the same neighbours (a bookmark moved over the
    // text put at its start), it changes in place.
    const std::size_t place = PlaceOf(bookmark.name);
    if (place < all_.size() && bookmark.start >= 0 &&
        (place == 0 || all_[place - 1].start <= bookmark.start) &&
        (place + 1 == all_.size() || bookmark.start < all_[place + 1].start)) {
        all_[place] = std::move(bookmark);
        return;
    }
    placesValid_ = false;
    std::erase_if(all_, [&](const BookmarkInfo& known) { return known.name == bookmark.name; });
    if (bookmark.start >= 0) {
        // After the bookmarks that start where it does, as a new one comes last.
        auto place = std::upper_bound(
            all_.begin(), all_.end(), bookmark.start,
            [](long start, const BookmarkInfo& known) { return start < known.start; });
        all_.insert(place, std::move(bookmark));
    }
    shownValid_ = false;
}

void OfficeDocument::EditedWithin(long start, long end, long length) const {
    if (!index_.Resized(start, length - (end - start))) {
        bookmarksValid_ = false;
    }
    if (!bookmarksValid_) {
        return;
    }
    // Text inserted where a bookmark starts goes before it, as every mark
    // after the insertion point moves. A mark at a deletion's edges or
    // inside it, or an end where text is inserted, goes where the office
    // puts it (a deletion may even take the bookmark away): read anew.
    const long delta = length - (end - start);
    const bool insertion = start == end;
    std::vector<std::string> touched;
    for (BookmarkInfo& bookmark : all_) {
        if (insertion && bookmark.start == start && bookmark.end != start) {
            bookmark.start += delta;
            bookmark.end += delta;
            continue;
        }
        if ((bookmark.start >= start && bookmark.start <= end) ||
            (bookmark.end >= start && bookmark.end <= end)) {
            touched.push_back(bookmark.name);
            continue;
        }
        bookmark.start += bookmark.start > end ? delta : 0;
        bookmark.end += bookmark.end > end ? delta : 0;
    }
    for (const std::string& name : touched) {
        Reread(name);
    }
    shownValid_ = false;
}

void OfficeDocument::JoinSplitBookmarks() {
    constexpr std::string_view SECOND_HALF = " Copy 1";
    // The names alone tell whether there is anything to join: the positions
    // of thousands of bookmarks are read only for a document that needs it.
    const bool split = Run("reading the bookmarks", [&] {
        const css::uno::Sequence<rtl::OUString> names = BookmarkNames()->getElementNames();
        return std::any_of(names.begin(), names.end(), [&](const rtl::OUString& name) {
            return FromOUString(name).ends_with(SECOND_HALF);
        });
    });
    if (!split) {
        return;
    }
    std::vector<std::pair<BookmarkInfo, BookmarkInfo>> halves;
    for (const BookmarkInfo& second : Ordered(true)) {
        if (!second.name.ends_with(SECOND_HALF) || second.start != second.end) {
            continue;
        }
        auto first = FindBookmark(second.name.substr(0, second.name.size() - SECOND_HALF.size()));
        if (first && first->start == first->end && first->start < second.start &&
            ParagraphAt(first->start).first == first->start &&
            ParagraphAt(second.start).first == second.start) {
            halves.emplace_back(*first, second);
        }
    }
    if (halves.empty()) {
        return;
    }
    const bool saved = Saved();
    for (const auto& [first, second] : halves) {
        RemoveBookmark(second.name);
        SetBookmark(first.name, first.start, second.start);
    }
    SetSaved(saved);
}

// --- VariableStore ---------------------------------------------------------------

Reference<css::beans::XPropertyContainer> OfficeDocument::UserProperties() const {
    return Reference<css::document::XDocumentPropertiesSupplier>(model_, UNO_QUERY_THROW)
        ->getDocumentProperties()
        ->getUserDefinedProperties();
}

std::vector<std::string> OfficeDocument::VariableNames() const {
    return Run("reading the document variables", [&] {
        std::vector<std::string> names;
        Reference<css::beans::XPropertySet> properties(UserProperties(), UNO_QUERY_THROW);
        for (const css::beans::Property& property :
             properties->getPropertySetInfo()->getProperties()) {
            std::string name = FromOUString(property.Name);
            if (name.starts_with(VARIABLE_PREFIX)) {
                names.push_back(name.substr(VARIABLE_PREFIX.size()));
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    });
}

std::optional<std::string> OfficeDocument::VariableValue(std::string_view name) const {
    return Run(
        "reading the document variable " + std::string(name), [&]() -> std::optional<std::string> {
            Reference<css::beans::XPropertySet> properties(UserProperties(), UNO_QUERY_THROW);
            rtl::OUString officeName = PropertyName(name);
            if (!properties->getPropertySetInfo()->hasPropertyByName(officeName)) {
                return std::nullopt;
            }
            rtl::OUString value;
            properties->getPropertyValue(officeName) >>= value;
            return FromOUString(value);
        });
}

void OfficeDocument::SetVariableValue(const std::string& name, const std::string& value) {
    Run("setting the document variable " + name, [&] {
        Reference<css::beans::XPropertyContainer> container = UserProperties();
        Reference<css::beans::XPropertySet> properties(container, UNO_QUERY_THROW);
        rtl::OUString officeName = PropertyName(name);
        css::uno::Any officeValue(ToOUString(value));
        if (properties->getPropertySetInfo()->hasPropertyByName(officeName)) {
            properties->setPropertyValue(officeName, officeValue);
        } else {
            container->addProperty(officeName, css::beans::PropertyAttribute::REMOVABLE,
                                   officeValue);
        }
    });
}

void OfficeDocument::RemoveVariable(std::string_view name) {
    Run("removing the document variable " + std::string(name), [&] {
        Reference<css::beans::XPropertyContainer> container = UserProperties();
        rtl::OUString officeName = PropertyName(name);
        if (Reference<css::beans::XPropertySet>(container, UNO_QUERY_THROW)
                ->getPropertySetInfo()
                ->hasPropertyByName(officeName)) {
            container->removeProperty(officeName);
        }
    });
}

// --- HyperlinkStore --------------------------------------------------------------

HyperlinkInfo OfficeDocument::AddHyperlink(long start, long end, const std::string& address,
                                           const std::string& subAddress,
                                           const std::string& textToDisplay) {
    return Run("adding a hyperlink", [&] {
        Reference<css::text::XTextCursor> range = index_.CursorAt(start, end);
        if (!textToDisplay.empty()) {
            range->setString(ToOUString(textToDisplay));
            // The cursor does not keep what replaced its text: a new one does.
            Changed();
            range = index_.CursorAt(start, start + CountCharacters(textToDisplay));
        }
        std::string url = subAddress.empty() ? address : address + "#" + subAddress;
        Reference<css::beans::XPropertySet>(range, UNO_QUERY_THROW)
            ->setPropertyValue(ToOUString("HyperLinkURL"), css::uno::Any(ToOUString(url)));
        std::string text = FromOUString(range->getString());
        Changed();
        return HyperlinkInfo{address, subAddress, text, start,
                             start + CharacterCount(ToOUString(text))};
    });
}

std::vector<HyperlinkInfo> OfficeDocument::HyperlinkList() const {
    return Run("reading the hyperlinks", [&] {
        std::vector<HyperlinkInfo> links;
        for (const IndexedParagraph& paragraph : index_.Paragraphs()) {
            Reference<css::container::XEnumerationAccess> access(paragraph.range, UNO_QUERY);
            if (!access.is()) {
                continue;
            }
            long at = paragraph.start;
            sal_Int32 utf16 = 0;
            std::string previous;
            Reference<css::container::XEnumeration> portions = access->createEnumeration();
            while (portions->hasMoreElements()) {
                Reference<css::text::XTextRange> portion(portions->nextElement(), UNO_QUERY);
                rtl::OUString url;
                Reference<css::beans::XPropertySet>(portion, UNO_QUERY_THROW)
                    ->getPropertyValue(ToOUString("HyperLinkURL")) >>= url;
                rtl::OUString text = portion->getString();
                if (!paragraph.deleted.empty()) {
                    // Only what shows of the portion: deleted text is left out.
                    const long from = paragraph.CharactersBefore(utf16);
                    utf16 += text.getLength();
                    text = paragraph.string.copy(
                        Utf16Offset(paragraph.string, from),
                        Utf16Offset(paragraph.string, paragraph.CharactersBefore(utf16)) -
                            Utf16Offset(paragraph.string, from));
                }
                long length = CharacterCount(text);
                std::string link = FromOUString(url);
                if (!link.empty() && link == previous && !links.empty()) {
                    links.back().text += StoryCharacters(text);
                    links.back().end += length;
                } else if (!link.empty()) {
                    std::size_t hash = link.find('#');
                    links.push_back({link.substr(0, hash),
                                     hash == std::string::npos ? "" : link.substr(hash + 1),
                                     StoryCharacters(text), at, at + length});
                }
                previous = link;
                at += length;
            }
        }
        return links;
    });
}

}  // namespace veln::host::office
