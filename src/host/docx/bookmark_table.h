// The bookmarks of the main story: each a pair of markers in the XML, kept in
// document order of their starts (ties in the order of the file) and by name.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/docx/story.h"

namespace veln::host::docx {

struct Mark {
    std::string name;
    pugi::xml_node start;
    pugi::xml_node end;
    Paragraph* startParagraph;
    Paragraph* endParagraph;
    bool hidden;  // "_Toc...", "_GoBack": counted only when hidden ones are shown
};

class BookmarkTable {
  public:
    explicit BookmarkTable(Story& story);

    int Count(bool includeHidden) const;
    const Mark& Item(int index, bool includeHidden) const;  // index from 1
    const Mark* Find(std::string_view name) const;
    long Start(const Mark& mark) const {
        return story_.PositionOf(mark.startParagraph, mark.start);
    }
    long End(const Mark& mark) const { return story_.PositionOf(mark.endParagraph, mark.end); }
    int IdAt(long position, bool includeHidden) const;
    // True when bookmarks written in two halves were read, and their halves
    // made one in the XML: the main part is to be written at the next save.
    bool JoinedHalves() const { return !joined_.empty(); }
    // The bookmarks that start at position, in their order: a binary search.
    std::vector<const Mark*> StartingAt(long position, bool includeHidden) const;
    // The index (from 1) of the first bookmark starting at or after position.
    int FirstFrom(long position, bool includeHidden) const;
    void Set(const std::string& name, long start, long end);
    bool Remove(std::string_view name);
    // The bookmarks that start and end at position: text inserted there must
    // go inside them, so their ends move after it.
    std::vector<const Mark*> EmptyAt(long position) const;
    // Puts the end of mark at position (at or after its start).
    void MoveEnd(const Mark& mark, long position);
    // Markers of paragraph from that now lie inside paragraph to, after a
    // split or a join, belong to it.
    void Follow(const Paragraph& from, Paragraph& to);

  private:
    const std::vector<Mark*>& Order(bool includeHidden) const {
        return includeHidden ? all_ : visible_;
    }
    void Insert(Mark* mark);
    // A second pair of a name met before, when both pairs are empty and the
    // second lies after the first: the first ends where the second does.
    void JoinSecondHalf(Mark& first, Paragraph* secondStartParagraph,
                        const pugi::xml_node& secondStart, Paragraph* secondEndParagraph,
                        const pugi::xml_node& secondEnd);
    std::string NextId();

    Story& story_;
    std::vector<std::unique_ptr<Mark>> marks_;
    std::vector<Mark*> all_;
    std::vector<Mark*> visible_;
    // Keys view the names the marks own.
    std::unordered_map<std::string_view, Mark*> byName_;
    long nextId_ = -1;
    std::unordered_set<std::string> joined_;
};

}  // namespace veln::host::docx
