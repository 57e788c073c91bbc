// The main story's characters and paragraphs, edited through cursors the
// paragraph index places.
#include <array>

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontUnderline.hpp>
#include <com/sun/star/awt/FontWeight.hpp>

#include "host/office/office_document.h"
#include "host/utf8.h"

namespace veln::host::office {

namespace {

// The highlight colours of WdColorIndex 1 to 16, as RGB.
constexpr std::array<sal_Int32, 16> HIGHLIGHT_RGB = {
    0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0xFFFF00, 0xFFFFFF,
    0x000080, 0x008080, 0x008000, 0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0};
// No highlight: the office's transparent colour.
constexpr sal_Int32 NO_COLOR = -1;

int IndexOfRgb(sal_Int32 rgb) {
    for (std::size_t i = 0; i < HIGHLIGHT_RGB.size(); ++i) {
        if (HIGHLIGHT_RGB[i] == rgb) {
            return static_cast<int>(i) + 1;
        }
    }
    // A colour of no index still marks the text: the nearest word is yellow.
    return rgb == NO_COLOR ? WdColorIndex::wdNoHighlight : WdColorIndex::wdYellow;
}

const rtl::OUString& HighlightProperty() {
    static const rtl::OUString name = ToOUString("CharHighlight");
    return name;
}

}  // namespace

long OfficeDocument::StoryEnd() const {
    return Run("reading the document", [&] { return index_.End(); });
}

std::string OfficeDocument::TextOf(long start, long end) const {
    return Run("reading the document", [&] {
        std::string text;
        const auto& paragraphs = index_.Paragraphs();
        for (std::size_t i = index_.IndexAt(start); i < paragraphs.size(); ++i) {
            const IndexedParagraph& paragraph = paragraphs[i];
            if (paragraph.start >= end) {
                break;
            }
            std::string characters = StoryCharacters(paragraph.string);
            long from = std::max(start - paragraph.start, 0L);
            long to = std::min(end - paragraph.start, paragraph.length);
            if (to > from) {
                std::size_t first = ByteOffset(characters, from);
                text += characters.substr(first, ByteOffset(characters, to) - first);
            }
            if (end > paragraph.start + paragraph.length &&
                start <= paragraph.start + paragraph.length) {
                text += '\r';
            }
        }
        return text;
    });
}

void OfficeDocument::InsertText(long position, std::string_view text) {
    Run("inserting text", [&] {
        std::vector<BookmarkInfo> starting = BookmarksStartingAt(position, true);
        Reference<css::text::XTextCursor> cursor = index_.CursorAt(position, position);
        InsertCharacters(cursor, Widen(text));
        const long added = CountCharacters(text);
        if (text.find(static_cast<char>(WordChar::PARAGRAPH_MARK)) == std::string_view::npos) {
            EditedWithin(position, position, added);
        } else {
            Changed();
        }
        // Text inserted at a bookmark's start lies inside it, as the system
        // expects; Writer leaves it before the bookmark.
        for (const BookmarkInfo& bookmark : starting) {
            if (FindBookmark(bookmark.name)->start != position) {
                SetBookmark(bookmark.name, position, bookmark.end + added);
            }
        }
    });
}

void OfficeDocument::DeleteText(long start, long end) {
    if (end <= start) {
        return;
    }
    Run("deleting text", [&] {
        // Within one paragraph, its mark kept: the positions move.
        const auto [from, to] = ParagraphAt(start);
        index_.CursorAt(start, end)->setString(rtl::OUString());
        if (end < to && from <= start) {
            EditedWithin(start, end, 0);
        } else {
            Changed();
        }
    });
}

std::pair<long, long> OfficeDocument::ParagraphAt(long position) const {
    return Run("reading the document", [&] {
        const IndexedParagraph& paragraph = index_.Paragraphs()[index_.IndexAt(position)];
        return std::pair{paragraph.start, paragraph.start + paragraph.length + 1};
    });
}

int OfficeDocument::HighlightOf(long start, long end) const {
    return Run("reading the highlight", [&] {
        Reference<css::text::XTextCursor> cursor = index_.CursorAt(start, end);
        Reference<css::beans::XPropertyState> state(cursor, UNO_QUERY_THROW);
        if (state->getPropertyState(HighlightProperty()) ==
            css::beans::PropertyState_AMBIGUOUS_VALUE) {
            return WdColorIndex::wdUndefined;
        }
        sal_Int32 rgb = NO_COLOR;
        Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)
            ->getPropertyValue(HighlightProperty()) >>= rgb;
        return IndexOfRgb(rgb);
    });
}

void OfficeDocument::SetHighlight(long start, long end, int colorIndex) {
    if (end <= start) {
        return;
    }
    Run("highlighting", [&] {
        sal_Int32 rgb = colorIndex >= 1 && colorIndex <= static_cast<int>(HIGHLIGHT_RGB.size())
                            ? HIGHLIGHT_RGB[static_cast<std::size_t>(colorIndex) - 1]
                            : NO_COLOR;
        Reference<css::beans::XPropertySet>(index_.CursorAt(start, end), UNO_QUERY_THROW)
            ->setPropertyValue(HighlightProperty(), css::uno::Any(rgb));
    });
}

void OfficeDocument::SetFontStyle(long start, long end, FontStyle style, bool on) {
    Run("formatting", [&] {
        Reference<css::beans::XPropertySet> range(index_.CursorAt(start, end), UNO_QUERY_THROW);
        switch (style) {
            case FontStyle::Bold:
                range->setPropertyValue(
                    ToOUString("CharWeight"),
                    css::uno::Any(on ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL));
                break;
            case FontStyle::Italic:
                range->setPropertyValue(
                    ToOUString("CharPosture"),
                    css::uno::Any(on ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE));
                break;
            case FontStyle::Underline:
                range->setPropertyValue(ToOUString("CharUnderline"),
                                        css::uno::Any(on ? css::awt::FontUnderline::SINGLE
                                                         : css::awt::FontUnderline::NONE));
                break;
        }
    });
}

// --- StoryParagraphs -------------------------------------------------------------

long OfficeDocument::ParagraphCount() const {
    return Run("reading the document",
               [&] { return static_cast<long>(index_.Paragraphs().size()); });
}

long OfficeDocument::ParagraphIndexAt(long position) const {
    return Run("reading the document", [&] { return static_cast<long>(index_.IndexAt(position)); });
}

long OfficeDocument::ParagraphStart(long index) const {
    return Run("reading the document", [&] {
        const auto& paragraphs = index_.Paragraphs();
        if (index < 0 || index >= static_cast<long>(paragraphs.size())) {
            throw HostError(WordError::NO_SUCH_MEMBER,
                            "The requested member of the collection does not exist: " +
                                std::to_string(index + 1));
        }
        return paragraphs[static_cast<std::size_t>(index)].start;
    });
}

ParagraphStamp OfficeDocument::StampOfParagraph(long index) const {
    ParagraphStamp stamp;
    stamp.id = static_cast<std::uint64_t>(index) + 1;
    stamp.block = Run("reading the document", [&] {
        return static_cast<std::uint64_t>(
            index_.Paragraphs()[static_cast<std::size_t>(index)].block);
    });
    return stamp;
}

ParagraphLook OfficeDocument::LookOfParagraph(long index) const {
    return Run("reading the document", [&] {
        const IndexedParagraph& paragraph = index_.Paragraphs()[static_cast<std::size_t>(index)];
        ParagraphLook look;
        look.start = paragraph.start;
        look.text = StoryCharacters(paragraph.string);
        return look;
    });
}

void OfficeDocument::SplitParagraph(long position) {
    InsertText(position, "\r");
}

void OfficeDocument::JoinParagraphs(long markPosition) {
    DeleteText(markPosition, markPosition + 1);
}

}  // namespace veln::host::office
