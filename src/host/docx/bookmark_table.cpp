#include "host/docx/bookmark_table.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "host/word/document.h"

namespace veln::host::docx {

BookmarkTable::BookmarkTable(Story& story) : story_(story) {
    const Wml& n = story_.Names();
    // Ids and names view the attribute values of the parsed part.
    struct Open {
        std::string_view name;
        pugi::xml_node node;
        Paragraph* paragraph = nullptr;
        std::size_t order = 0;  // the start's place in the file
    };
    const auto& found = story_.FoundMarkers();
    std::unordered_map<std::string_view, Open> open;
    open.reserve(found.size() / 2);
    byName_.reserve(found.size() / 2);
    marks_.reserve(found.size() / 2);
    std::vector<std::pair<std::pair<long, std::size_t>, Mark*>> sorted;
    sorted.reserve(found.size() / 2);
    for (std::size_t i = 0; i < found.size(); ++i) {
        std::string_view id = found[i].node.attribute(n.id.c_str()).value();
        if (n.TagOf(found[i].node) == Tag::bookmarkStart) {
            open[id] = {found[i].node.attribute(n.name.c_str()).value(), found[i].node,
                        found[i].paragraph, i};
            continue;
        }
        auto start = open.find(id);
        // An end without a start, or a name met before, stays in the file untouched.
        if (start == open.end() || start->second.name.empty()) {
            continue;
        }
        if (auto kept = byName_.find(start->second.name); kept != byName_.end()) {
            const Open second = start->second;
            // Forgotten before the join may take the start out of the file.
            open.erase(start);
            JoinSecondHalf(*kept->second, second.paragraph, second.node, found[i].paragraph,
                           found[i].node);
            continue;
        }
        const Open& begun = start->second;
        auto mark = std::make_unique<Mark>(Mark{std::string(begun.name), begun.node, found[i].node,
                                                begun.paragraph, found[i].paragraph,
                                                begun.name.starts_with("_")});
        byName_[mark->name] = mark.get();
        sorted.push_back({{Start(*mark), begun.order}, mark.get()});
        marks_.push_back(std::move(mark));
        open.erase(start);
    }
    // Document order of the starts, ties in the order of the file.
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    all_.reserve(sorted.size());
    for (const auto& [key, mark] : sorted) {
        all_.push_back(mark);
        if (!mark->hidden) {
            visible_.push_back(mark);
        }
    }
}

void BookmarkTable::JoinSecondHalf(Mark& first, Paragraph* secondStartParagraph,
                                   const pugi::xml_node& secondStart, Paragraph* secondEndParagraph,
                                   const pugi::xml_node& secondEnd) {
    // LibreOffice writes a bookmark over whole paragraphs as two empty ones
    // of one name, at its start and at its end: read together, they give
    // the bookmark back, and the file is written with it whole (Word would
    // read the first half alone, an empty point).
    const long firstAt = Start(first);
    const long secondAt = story_.PositionOf(secondStartParagraph, secondStart);
    if (first.start.next_sibling() != first.end || firstAt != End(first) || secondAt <= firstAt ||
        secondStart.next_sibling() != secondEnd || joined_.contains(first.name)) {
        return;
    }
    const pugi::xml_node firstEnd = first.end;
    Paragraph* firstEndParagraph = first.endParagraph;
    first.end = secondEnd;
    first.endParagraph = secondEndParagraph;
    joined_.insert(first.name);
    story_.RemoveMarker(firstEnd, firstEndParagraph);
    story_.RemoveMarker(secondStart, secondStartParagraph);
    // The end closes the start it now pairs with.
    const std::string& id = story_.Names().id;
    secondEnd.attribute(id.c_str()).set_value(first.start.attribute(id.c_str()).value());
}

int BookmarkTable::Count(bool includeHidden) const {
    return static_cast<int>(Order(includeHidden).size());
}

const Mark& BookmarkTable::Item(int index, bool includeHidden) const {
    const auto& order = Order(includeHidden);
    if (index < 1 || index > static_cast<int>(order.size())) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return *order[static_cast<std::size_t>(index) - 1];
}

const Mark* BookmarkTable::Find(std::string_view name) const {
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : found->second;
}

int BookmarkTable::IdAt(long position, bool includeHidden) const {
    const auto& order = Order(includeHidden);
    // The last bookmark starting at or before position, then back: the first
    // that encloses position has the greatest start, ties the greatest number.
    auto after = std::upper_bound(order.begin(), order.end(), position,
                                  [this](long at, const Mark* mark) { return at < Start(*mark); });
    for (auto it = after; it != order.begin();) {
        --it;
        long start = Start(**it);
        long end = End(**it);
        if (position < end || (start == end && position == start)) {
            return static_cast<int>(it - order.begin()) + 1;
        }
    }
    return 0;
}

int BookmarkTable::FirstFrom(long position, bool includeHidden) const {
    const auto& order = Order(includeHidden);
    auto first = std::lower_bound(order.begin(), order.end(), position,
                                  [this](const Mark* mark, long at) { return Start(*mark) < at; });
    return static_cast<int>(first - order.begin()) + 1;
}

std::vector<const Mark*> BookmarkTable::StartingAt(long position, bool includeHidden) const {
    const auto& order = Order(includeHidden);
    auto first = order.begin() + (FirstFrom(position, includeHidden) - 1);
    std::vector<const Mark*> starting;
    for (auto it = first; it != order.end() && Start(**it) == position; ++it) {
        starting.push_back(*it);
    }
    return starting;
}

void BookmarkTable::Insert(Mark* mark) {
    long start = Start(*mark);
    auto place = [&](std::vector<Mark*>& order) {
        // After every bookmark starting at the same place: its marker comes later in the file.
        auto at = std::upper_bound(order.begin(), order.end(), start,
                                   [this](long s, const Mark* other) { return s < Start(*other); });
        order.insert(at, mark);
    };
    place(all_);
    if (!mark->hidden) {
        place(visible_);
    }
}

std::string BookmarkTable::NextId() {
    if (nextId_ < 0) {
        // Ids are unique across the part, the markers outside the story included.
        const Wml& n = story_.Names();
        long highest = -1;
        pugi::xml_node root =
            story_.ParagraphCount() > 0 ? story_.ParagraphAtIndex(0).node.root() : pugi::xml_node();
        for (pugi::xml_node node = root.first_child(); node;) {
            if (Is(node, n.bookmarkStart) || Is(node, n.bookmarkEnd)) {
                long long value = node.attribute(n.id.c_str()).as_llong(-1);
                if (value >= 0 && value < INT32_MAX) {
                    highest = std::max(highest, static_cast<long>(value));
                }
            }
            // Depth-first walk of the whole part.
            if (node.first_child()) {
                node = node.first_child();
            } else {
                while (node && !node.next_sibling()) {
                    node = node.parent();
                }
                if (node) {
                    node = node.next_sibling();
                }
            }
        }
        nextId_ = highest + 1;
    }
    return std::to_string(nextId_++);
}

void BookmarkTable::Set(const std::string& name, long start, long end) {
    Remove(name);
    const Wml& n = story_.Names();
    std::string id = NextId();
    auto [startNode, startParagraph] = story_.InsertMarker(start, n.bookmarkStart);
    startNode.append_attribute(n.id.c_str()).set_value(id.c_str());
    startNode.append_attribute(n.name.c_str()).set_value(name.c_str());
    auto [endNode, endParagraph] = story_.InsertMarker(end, n.bookmarkEnd);
    endNode.append_attribute(n.id.c_str()).set_value(id.c_str());
    auto mark = std::make_unique<Mark>(
        Mark{name, startNode, endNode, startParagraph, endParagraph, name.starts_with("_")});
    byName_[mark->name] = mark.get();
    Insert(mark.get());
    marks_.push_back(std::move(mark));
}

std::vector<const Mark*> BookmarkTable::EmptyAt(long position) const {
    std::vector<const Mark*> empty;
    auto it = std::lower_bound(all_.begin(), all_.end(), position,
                               [this](const Mark* mark, long at) { return Start(*mark) < at; });
    for (; it != all_.end() && Start(**it) == position; ++it) {
        if (End(**it) == position) {
            empty.push_back(*it);
        }
    }
    return empty;
}

void BookmarkTable::MoveEnd(const Mark& mark, long position) {
    auto found = byName_.find(mark.name);
    if (found == byName_.end()) {
        return;
    }
    Mark& moved = *found->second;
    const Wml& n = story_.Names();
    std::string id = moved.end.attribute(n.id.c_str()).value();
    story_.RemoveMarker(moved.end, moved.endParagraph);
    auto [endNode, endParagraph] = story_.InsertMarker(position, n.bookmarkEnd);
    endNode.append_attribute(n.id.c_str()).set_value(id.c_str());
    moved.end = endNode;
    moved.endParagraph = endParagraph;
}

void BookmarkTable::Follow(const Paragraph& from, Paragraph& to) {
    auto inside = [&](pugi::xml_node node) {
        for (; node; node = node.parent()) {
            if (node == to.node) {
                return true;
            }
        }
        return false;
    };
    for (auto& mark : marks_) {
        if (mark->startParagraph == &from && inside(mark->start)) {
            mark->startParagraph = &to;
        }
        if (mark->endParagraph == &from && inside(mark->end)) {
            mark->endParagraph = &to;
        }
    }
}

bool BookmarkTable::Remove(std::string_view name) {
    auto found = byName_.find(name);
    if (found == byName_.end()) {
        return false;
    }
    Mark* mark = found->second;
    auto erase = [mark](std::vector<Mark*>& order) {
        order.erase(std::remove(order.begin(), order.end(), mark), order.end());
    };
    erase(all_);
    erase(visible_);
    byName_.erase(found);
    story_.RemoveMarker(mark->start, mark->startParagraph);
    story_.RemoveMarker(mark->end, mark->endParagraph);
    marks_.erase(std::find_if(marks_.begin(), marks_.end(),
                              [mark](const auto& owned) { return owned.get() == mark; }));
    return true;
}

}  // namespace veln::host::docx
