#include "paragraph_layout.h"

#include <QPainter>
#include <QPalette>
#include <QTextLine>
#include <algorithm>

#include "highlight_palette.h"
#include "host/word/document.h"

namespace veln::desktop {

namespace {

constexpr qreal CELL_INDENT = 22;
constexpr qreal SPACE_AFTER = 6;

// Hyperlinks are drawn blue and underlined, as word processors draw them.
QColor LinkColour() {
    return {5, 99, 193};
}

// Point sizes added to the body's for heading levels 1 to 9.
qreal HeadingGrowth(int level) {
    switch (level) {
        case 1:
            return 7;
        case 2:
            return 4.5;
        case 3:
            return 2.5;
        default:
            return 1;
    }
}

// The characters of UTF-8 text, and the byte where character number `at`
// starts (the text's size past its end).
long CharacterCount(std::string_view text) {
    return static_cast<long>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U;
    }));
}

std::size_t ByteOf(std::string_view text, long at, std::size_t from = 0) {
    std::size_t byte = from;
    for (; byte < text.size(); ++byte) {
        if ((static_cast<unsigned char>(text[byte]) & 0xC0U) != 0x80U && at-- == 0) {
            break;
        }
    }
    return byte;
}

// The story's characters as the screen shows them, one for one: breaks
// end lines, the hyphens are their printed forms.
QString ScreenText(std::string_view text, std::vector<int>& utf16) {
    QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QString screen;
    screen.reserve(decoded.size());
    bool wide = false;
    for (char32_t c : decoded.toStdU32String()) {
        switch (c) {
            case host::WordChar::LINE_BREAK:
            case host::WordChar::PAGE_BREAK:
            case host::WordChar::COLUMN_BREAK:
                c = QChar::LineSeparator;
                break;
            case host::WordChar::NON_BREAKING_HYPHEN:
                c = 0x2011;
                break;
            case host::WordChar::OPTIONAL_HYPHEN:
                c = QChar::SoftHyphen;
                break;
            default:
                break;
        }
        utf16.push_back(static_cast<int>(screen.size()));
        wide = wide || c > 0xFFFF;
        screen += QString::fromUcs4(&c, 1);
    }
    if (!wide) {
        utf16.clear();
    } else {
        utf16.push_back(static_cast<int>(screen.size()));
    }
    return screen;
}

}  // namespace

ParagraphLayout::ParagraphLayout(host::ParagraphLook look, const QFont& baseFont, qreal width,
                                 long windowStart)
    : look_(std::move(look)) {
    length_ = CharacterCount(look_.text);
    windowStart_ = length_ <= MOST_LAID_OUT ? 0 : std::clamp(windowStart, 0L, length_ - 1);
    windowEnd_ = std::min(length_, windowStart_ + MOST_LAID_OUT);
    const std::size_t first = ByteOf(look_.text, windowStart_);
    const std::size_t last = ByteOf(look_.text, windowEnd_ - windowStart_, first);
    QString screen = ScreenText(std::string_view(look_.text).substr(first, last - first), utf16_);
    QFont font = baseFont;
    if (look_.headingLevel > 0) {
        font.setPointSizeF(baseFont.pointSizeF() + HeadingGrowth(look_.headingLevel));
        font.setBold(true);
        spaceBefore_ = 6;
    }
    indent_ = CELL_INDENT * look_.tableDepth;
    layout_.setText(screen);
    layout_.setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 8);
    layout_.setTextOption(option);

    QList<QTextLayout::FormatRange> formats;
    long at = 0;
    for (const host::FormattedRun& run : look_.runs) {
        if (at + run.length <= windowStart_ || at >= windowEnd_) {
            at += run.length;
            continue;
        }
        QTextLayout::FormatRange range;
        range.start = ToUtf16(at);
        range.length = ToUtf16(at + run.length) - range.start;
        if (run.format.bold) {
            range.format.setFontWeight(QFont::Bold);
        }
        range.format.setFontItalic(run.format.italic);
        range.format.setFontUnderline(run.format.underline || run.format.link);
        if (run.format.link) {
            range.format.setForeground(LinkColour());
        }
        QColor highlight = HighlightColour(run.format.highlight);
        if (highlight.isValid()) {
            range.format.setBackground(highlight);
            if (IsDarkHighlight(run.format.highlight)) {
                range.format.setForeground(Qt::white);
            }
        }
        formats.append(range);
        at += run.length;
    }
    layout_.setFormats(formats);

    qreal lineWidth = std::max<qreal>(40, width - indent_);
    width_ = lineWidth;
    layout_.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout_.endLayout();
    height_ = spaceBefore_ + y + SPACE_AFTER;
}

int ParagraphLayout::ToUtf16(long offset) const {
    offset = std::clamp(offset, windowStart_, windowEnd_) - windowStart_;
    return utf16_.empty() ? static_cast<int>(offset) : utf16_[static_cast<std::size_t>(offset)];
}

long ParagraphLayout::FromUtf16(int index) const {
    if (utf16_.empty()) {
        return windowStart_ + index;
    }
    auto found = std::lower_bound(utf16_.begin(), utf16_.end(), index);
    return windowStart_ + static_cast<long>(found - utf16_.begin());
}

long ParagraphLayout::OffsetAt(QPointF point) const {
    point -= TextOrigin();
    for (int i = 0; i < layout_.lineCount(); ++i) {
        QTextLine line = layout_.lineAt(i);
        if (point.y() < line.y() + line.height() || i + 1 == layout_.lineCount()) {
            int index = line.xToCursor(point.x());
            return FromUtf16(index);
        }
    }
    return windowStart_;
}

QRectF ParagraphLayout::CaretRect(long offset) const {
    int index = ToUtf16(offset);
    QTextLine line = layout_.lineForTextPosition(index);
    if (!line.isValid()) {
        line = layout_.lineAt(layout_.lineCount() - 1);
    }
    qreal x = line.cursorToX(index);
    return QRectF(TextOrigin() + QPointF(x, line.y()), QSizeF(1, line.height()));
}

long ParagraphLayout::OffsetOnNextLine(long offset, qreal x, int direction) const {
    QTextLine line = layout_.lineForTextPosition(ToUtf16(offset));
    int next = (line.isValid() ? line.lineNumber() : layout_.lineCount() - 1) + direction;
    if (next < 0) {
        return windowStart_ > 0 ? windowStart_ - 1 : -1;
    }
    if (next >= layout_.lineCount()) {
        return windowEnd_ < length_ ? windowEnd_ : -1;
    }
    return FromUtf16(layout_.lineAt(next).xToCursor(x - indent_));
}

std::pair<long, long> ParagraphLayout::LineBounds(long offset) const {
    QTextLine line = layout_.lineForTextPosition(ToUtf16(offset));
    if (!line.isValid()) {
        return {windowStart_, windowEnd_};
    }
    long first = FromUtf16(line.textStart());
    long last = FromUtf16(line.textStart() + line.textLength());
    // A wrapped line ends before the blank that ends it, except the last line.
    if (line.lineNumber() + 1 < layout_.lineCount() && last > first) {
        --last;
    }
    return {first, last};
}

std::vector<qreal> ParagraphLayout::LineBottoms() const {
    std::vector<qreal> bottoms;
    for (int i = 0; i < layout_.lineCount(); ++i) {
        QTextLine line = layout_.lineAt(i);
        bottoms.push_back(TextOrigin().y() + line.y() + line.height());
    }
    return bottoms;
}

int ParagraphLayout::HighlightAt(long offset) const {
    long at = 0;
    for (const host::FormattedRun& run : look_.runs) {
        if (offset < at + run.length) {
            return run.format.highlight;
        }
        at += run.length;
    }
    return 0;
}

void ParagraphLayout::Draw(QPainter& painter, QPointF origin, long selectionStart,
                           long selectionEnd, const std::vector<Bracket>& brackets) const {
    QPointF text = origin + TextOrigin();
    if (look_.tableDepth > 0) {
        // Cells read as cells: a rule at their left, and above their first paragraph.
        painter.save();
        painter.setPen(QColor(170, 180, 195));
        qreal left = origin.x() + indent_ - 8;
        painter.drawLine(QPointF(left, origin.y()), QPointF(left, origin.y() + height_));
        if (look_.firstInCell) {
            painter.drawLine(QPointF(left, origin.y()), QPointF(left + width_ + 8, origin.y()));
        }
        painter.restore();
    }
    QList<QTextLayout::FormatRange> selections;
    long from = std::max(selectionStart, 0L);
    long to = std::min(selectionEnd, length_);
    QPalette palette;
    if (from < to) {
        QTextLayout::FormatRange range;
        range.start = ToUtf16(from);
        range.length = ToUtf16(to) - range.start;
        range.format.setBackground(palette.highlight());
        range.format.setForeground(palette.highlightedText());
        selections.append(range);
    }
    layout_.draw(&painter, text, selections);
    if (selectionStart <= length_ && selectionEnd > length_ && windowEnd_ == length_) {
        // The paragraph mark is selected: a blank's width after the text.
        QRectF end = CaretRect(length_).translated(origin);
        painter.fillRect(QRectF(end.topLeft(), QSizeF(6, end.height())), palette.highlight());
    }
    painter.save();
    auto inWindow = [this](long offset) { return offset >= windowStart_ && offset <= windowEnd_; };
    for (long object : look_.objects) {
        if (!inWindow(object)) {
            continue;
        }
        // Pictures and other objects have no character: a placeholder marks where they stand.
        QRectF at = CaretRect(object).translated(origin);
        QRectF box(at.left() - 4, at.top() + at.height() * 0.2, 8, at.height() * 0.6);
        painter.setPen(QColor(120, 120, 120));
        painter.setBrush(QColor(225, 225, 225));
        painter.drawRect(box);
    }
    painter.setPen(QPen(QColor(110, 110, 110), 1.5));
    painter.setBrush(Qt::NoBrush);
    for (const Bracket& bracket : brackets) {
        if (!inWindow(std::min(bracket.offset, length_)) ||
            (bracket.offset > length_ && windowEnd_ < length_)) {
            continue;
        }
        // Drawn over the gap between characters: the text keeps its place.
        // After the mark is a blank's width after the text.
        QRectF at = CaretRect(std::min(bracket.offset, length_)).translated(origin);
        qreal x = at.left() + (bracket.opening ? -2 : 2) + (bracket.offset > length_ ? 6 : 0);
        qreal arm = bracket.opening ? 3 : -3;
        qreal top = at.top() + 1;
        qreal bottom = at.bottom() - 1;
        painter.drawLine(QPointF(x, top), QPointF(x, bottom));
        painter.drawLine(QPointF(x, top), QPointF(x + arm, top));
        painter.drawLine(QPointF(x, bottom), QPointF(x + arm, bottom));
    }
    painter.restore();
}

}  // namespace veln::desktop
