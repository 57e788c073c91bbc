#include "host/office/paragraph_index.h"

#include <algorithm>
#include <limits>

#include <rtl/ustrbuf.hxx>

#include "host/host_error.h"
#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host::office {

namespace {

// Tables within tables within...: as deep as a file can nest them, no deeper.
constexpr int MAX_DEPTH = 64;

bool IsLowSurrogate(sal_Unicode unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

char32_t SystemCharacter(sal_uInt32 c) {
    switch (c) {
        case U'\n':
            return WordChar::LINE_BREAK;
        case 0x2011:
            return WordChar::NON_BREAKING_HYPHEN;
        case 0x00AD:
            return WordChar::OPTIONAL_HYPHEN;
        default:
            return static_cast<char32_t>(c);
    }
}

// Moves a cursor by any number of characters: the office takes 16 bits.
void GoRight(const Reference<css::text::XTextCursor>& cursor, sal_Int32 count, bool expand) {
    while (count > 0) {
        auto step = static_cast<sal_Int16>(std::min<sal_Int32>(count, 0x7FFF));
        cursor->goRight(step, expand);
        count -= step;
    }
}

// The paragraph's string without its deletions, merged and in order first.
void LeaveOutDeletions(IndexedParagraph& paragraph) {
    auto& deleted = paragraph.deleted;
    std::sort(deleted.begin(), deleted.end());
    std::vector<std::pair<sal_Int32, sal_Int32>> merged;
    for (const auto& range : deleted) {
        if (!merged.empty() && range.first <= merged.back().second) {
            merged.back().second = std::max(merged.back().second, range.second);
        } else {
            merged.push_back(range);
        }
    }
    deleted = std::move(merged);
    rtl::OUStringBuffer shown(paragraph.officeLength);
    sal_Int32 at = 0;
    for (const auto& [from, to] : deleted) {
        shown.append(paragraph.string.getStr() + at, from - at);
        at = to;
    }
    shown.append(paragraph.string.getStr() + at, paragraph.officeLength - at);
    paragraph.string = shown.makeStringAndClear();
    paragraph.length = CharacterCount(paragraph.string);
}

}  // namespace

std::string StoryCharacters(const rtl::OUString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.getLength()));
    for (sal_Int32 i = 0; i < text.getLength();) {
        AppendCodePoint(out, SystemCharacter(text.iterateCodePoints(&i)));
    }
    return out;
}

long CharacterCount(const rtl::OUString& text) {
    return CharacterCount(text, text.getLength());
}

long CharacterCount(const rtl::OUString& text, sal_Int32 units) {
    long count = 0;
    for (sal_Int32 i = 0; i < std::min(units, text.getLength()); ++i) {
        count += IsLowSurrogate(text[i]) ? 0 : 1;
    }
    return count;
}

sal_Int32 Utf16Offset(const rtl::OUString& text, long characters) {
    sal_Int32 i = 0;
    for (long seen = 0; i < text.getLength() && seen < characters; ++seen) {
        text.iterateCodePoints(&i);
    }
    return i;
}

sal_Int32 IndexedParagraph::OfficeOffset(long characters, bool pastDeletion) const {
    sal_Int32 office = Utf16Offset(string, characters);
    for (const auto& [from, to] : deleted) {
        if (from > office || (from == office && !pastDeletion)) {
            break;
        }
        office += to - from;
    }
    return office;
}

long IndexedParagraph::CharactersBefore(sal_Int32 officeOffset) const {
    sal_Int32 shown = officeOffset;
    for (const auto& [from, to] : deleted) {
        if (from >= officeOffset) {
            break;
        }
        shown -= std::min(officeOffset, to) - from;
    }
    return CharacterCount(string, shown);
}

void InsertCharacters(const Reference<css::text::XTextCursor>& cursor, std::u32string_view text) {
    Reference<css::text::XText> story = cursor->getText();
    std::string pending;
    auto flush = [&] {
        if (!pending.empty()) {
            story->insertString(AsRange(cursor), ToOUString(pending), false);
            pending.clear();
        }
    };
    for (char32_t c : text) {
        if (c == WordChar::PARAGRAPH_MARK || c == WordChar::LINE_BREAK) {
            flush();
            story->insertControlCharacter(AsRange(cursor),
                                          c == WordChar::PARAGRAPH_MARK
                                              ? css::text::ControlCharacter::PARAGRAPH_BREAK
                                              : css::text::ControlCharacter::LINE_BREAK,
                                          false);
        } else if (c == WordChar::NON_BREAKING_HYPHEN) {
            AppendCodePoint(pending, 0x2011);
        } else if (c == WordChar::OPTIONAL_HYPHEN) {
            AppendCodePoint(pending, 0x00AD);
        } else {
            AppendCodePoint(pending, c);
        }
    }
    flush();
}

const std::vector<IndexedParagraph>& ParagraphIndex::Paragraphs() {
    if (!valid_) {
        Build();
    }
    return paragraphs_;
}

void ParagraphIndex::Build() {
    paragraphs_.clear();
    blocks_.clear();
    blockParagraphs_.clear();
    AddText(document_->getText(), 0);
    valid_ = true;
    HideDeletions();
    long start = 0;
    for (IndexedParagraph& paragraph : paragraphs_) {
        paragraph.start = start;
        start += paragraph.length + 1;
    }
}

void ParagraphIndex::HideDeletions() {
    Reference<css::document::XRedlinesSupplier> supplier(document_, UNO_QUERY);
    Reference<css::container::XEnumerationAccess> redlines;
    if (supplier.is()) {
        redlines.set(supplier->getRedlines(), UNO_QUERY);
    }
    if (!redlines.is() || !redlines->hasElements()) {
        return;
    }
    Reference<css::container::XEnumeration> all = redlines->createEnumeration();
    while (all->hasMoreElements()) {
        Reference<css::beans::XPropertySet> redline(all->nextElement(), UNO_QUERY);
        rtl::OUString type;
        if (!redline.is() || !(redline->getPropertyValue(ToOUString("RedlineType")) >>= type) ||
            type != "Delete") {
            continue;
        }
        Reference<css::text::XTextRange> from(redline->getPropertyValue(ToOUString("RedlineStart")),
                                              UNO_QUERY);
        Reference<css::text::XTextRange> to(redline->getPropertyValue(ToOUString("RedlineEnd")),
                                            UNO_QUERY);
        if (!from.is() || !to.is() || !Holds(from) || !Holds(to)) {
            continue;  // in a header, a footnote, a frame: not the main story
        }
        // Its start is where the edit began, which may be after its end.
        auto [first, start] = OfficePlaceOf(from);
        auto [last, end] = OfficePlaceOf(to);
        if (std::pair(first, start) > std::pair(last, end)) {
            std::swap(first, last);
            std::swap(start, end);
        }
        for (std::size_t i = first; i <= last && i < paragraphs_.size(); ++i) {
            const sal_Int32 begin = i == first ? start : 0;
            const sal_Int32 stop = i == last ? end : paragraphs_[i].officeLength;
            if (stop > begin) {
                paragraphs_[i].deleted.emplace_back(begin, stop);
            }
        }
    }
    for (IndexedParagraph& paragraph : paragraphs_) {
        if (!paragraph.deleted.empty()) {
            LeaveOutDeletions(paragraph);
        }
    }
}

void ParagraphIndex::AddText(const Reference<css::text::XText>& text, int depth) {
    if (depth > MAX_DEPTH) {
        throw HostError(WordError::FILE_CORRUPT, "tables are nested too deeply");
    }
    const std::size_t block = blocks_.size();
    blocks_.push_back(text);
    blockParagraphs_.emplace_back();
    Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> contents = access->createEnumeration();
    while (contents->hasMoreElements()) {
        Reference<css::lang::XServiceInfo> content(contents->nextElement(), UNO_QUERY);
        if (!content.is()) {
            continue;
        }
        if (Reference<css::text::XTextTable> table{content, UNO_QUERY}; table.is()) {
            for (const rtl::OUString& name : table->getCellNames()) {
                AddText(Reference<css::text::XText>(table->getCellByName(name), UNO_QUERY_THROW),
                        depth + 1);
            }
            continue;
        }
        Reference<css::text::XTextRange> range(content, UNO_QUERY);
        if (!range.is()) {
            continue;
        }
        IndexedParagraph paragraph;
        paragraph.range = range;
        paragraph.string = range->getString();
        paragraph.officeLength = paragraph.string.getLength();
        paragraph.length = CharacterCount(paragraph.string);
        paragraph.block = block;
        blockParagraphs_[block].push_back(paragraphs_.size());
        paragraphs_.push_back(std::move(paragraph));
    }
}

long ParagraphIndex::End() {
    const auto& paragraphs = Paragraphs();
    return paragraphs.empty() ? 1 : paragraphs.back().start + paragraphs.back().length + 1;
}

bool ParagraphIndex::Resized(long position, long delta) {
    if (!valid_ || paragraphs_.empty()) {
        valid_ = false;
        return false;
    }
    const std::size_t at = IndexAt(position);
    IndexedParagraph& paragraph = paragraphs_[at];
    if (!paragraph.deleted.empty()) {
        valid_ = false;
        return false;
    }
    paragraph.string = paragraph.range->getString();
    paragraph.officeLength = paragraph.string.getLength();
    const long length = CharacterCount(paragraph.string);
    if (length != paragraph.length + delta) {
        valid_ = false;
        return false;
    }
    paragraph.length = length;
    for (std::size_t i = at + 1; i < paragraphs_.size(); ++i) {
        paragraphs_[i].start += delta;
    }
    return true;
}

std::size_t ParagraphIndex::IndexAt(long position) {
    const auto& paragraphs = Paragraphs();
    auto after = std::upper_bound(
        paragraphs.begin(), paragraphs.end(), position,
        [](long at, const IndexedParagraph& paragraph) { return at < paragraph.start; });
    return after == paragraphs.begin() ? 0
                                       : static_cast<std::size_t>(after - paragraphs.begin()) - 1;
}

const Reference<css::text::XText>& ParagraphIndex::TextOf(std::size_t index) {
    return blocks_[Paragraphs()[index].block];
}

long ParagraphIndex::PositionOf(const Reference<css::text::XTextRange>& point) {
    Paragraphs();
    const auto [index, offset] = OfficePlaceOf(point);
    return paragraphs_[index].start + paragraphs_[index].CharactersBefore(offset);
}

bool ParagraphIndex::Holds(const Reference<css::text::XTextRange>& point) const {
    return std::find(blocks_.begin(), blocks_.end(), point->getText()) != blocks_.end();
}

std::pair<std::size_t, sal_Int32> ParagraphIndex::OfficePlaceOf(
    const Reference<css::text::XTextRange>& point) {
    Reference<css::text::XText> text = point->getText();
    auto block = std::find(blocks_.begin(), blocks_.end(), text);
    if (block == blocks_.end() || paragraphs_.empty()) {
        throw HostError(WordError::VALUE_OUT_OF_RANGE, "the range is not in the main story");
    }
    const auto& members = blockParagraphs_[static_cast<std::size_t>(block - blocks_.begin())];
    Reference<css::text::XTextRangeCompare> compare(text, UNO_QUERY_THROW);
    Reference<css::text::XTextRange> at = point->getStart();
    // The last paragraph of the text that starts at or before the point.
    auto after =
        std::upper_bound(members.begin(), members.end(), at,
                         [&](const Reference<css::text::XTextRange>& p, std::size_t i) {
                             return compare->compareRegionStarts(paragraphs_[i].range, p) < 0;
                         });
    if (after == members.begin()) {
        throw HostError(WordError::VALUE_OUT_OF_RANGE, "the range is not in the main story");
    }
    const std::size_t index = *(after - 1);
    Reference<css::text::XTextCursor> cursor =
        text->createTextCursorByRange(paragraphs_[index].range->getStart());
    cursor->gotoRange(at, true);
    return {index, std::min(cursor->getString().getLength(), paragraphs_[index].officeLength)};
}

Reference<css::text::XTextCursor> ParagraphIndex::CursorAtParagraph(std::size_t index, long offset,
                                                                    bool pastDeletion) {
    const IndexedParagraph& paragraph = Paragraphs()[index];
    Reference<css::text::XTextCursor> cursor =
        TextOf(index)->createTextCursorByRange(paragraph.range->getStart());
    GoRight(cursor, paragraph.OfficeOffset(std::clamp(offset, 0L, paragraph.length), pastDeletion),
            false);
    return cursor;
}

Reference<css::text::XTextCursor> ParagraphIndex::CursorAt(long start, long end) {
    const std::size_t first = IndexAt(start);
    Reference<css::text::XTextCursor> cursor =
        CursorAtParagraph(first, start - Paragraphs()[first].start, true);
    if (end <= start) {
        return cursor;
    }
    const std::size_t last = IndexAt(end);
    const long endOffset = end - Paragraphs()[last].start;
    if (last == first) {
        const IndexedParagraph& paragraph = Paragraphs()[first];
        const long startOffset = start - paragraph.start;
        GoRight(
            cursor,
            paragraph.OfficeOffset(endOffset, false) - paragraph.OfficeOffset(startOffset, true),
            true);
        return cursor;
    }
    if (Paragraphs()[last].block != Paragraphs()[first].block) {
        throw HostError(WordError::VALUE_OUT_OF_RANGE,
                        "a range may not go from one table cell to another");
    }
    cursor->gotoRange(CursorAtParagraph(last, endOffset, false)->getStart(), true);
    return cursor;
}

}  // namespace veln::host::office
