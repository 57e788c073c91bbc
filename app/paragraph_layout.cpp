#include "paragraph_layout.h"

#include <QPainter>
#include <QPalette>
#include <QTextLine>
#include <algorithm>
#include <array>
#include <numeric>

#include "highlight_palette.h"
#include "host/word/document.h"

namespace veln::desktop {

namespace {

constexpr qreal CELL_INDENT = 22;
constexpr qreal CELL_PADDING = 6;
constexpr qreal SPACE_AFTER = 6;
constexpr qreal HEADING_SPACE_BEFORE = 8;
// Spacing beyond this is a page layout's, not a screen's.
constexpr qreal MOST_SPACING = 36;
constexpr qreal LABEL_GAP = 6;

// Hyperlinks are drawn blue and underlined, as word processors draw them.
QColor LinkColour() {
    return {5, 99, 193};
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
    : look_(std::move(look)), zoom_(baseFont.pointSizeF() / BODY_POINTS), font_(baseFont) {
    length_ = CharacterCount(look_.text);
    windowStart_ = length_ <= MOST_LAID_OUT ? 0 : std::clamp(windowStart, 0L, length_ - 1);
    windowEnd_ = std::min(length_, windowStart_ + MOST_LAID_OUT);
    const std::size_t first = ByteOf(look_.text, windowStart_);
    const std::size_t last = ByteOf(look_.text, windowEnd_ - windowStart_, first);
    QString screen = ScreenText(std::string_view(look_.text).substr(first, last - first), utf16_);
    // The paragraph's own size is its first characters': its empty lines and label take it.
    if (!look_.runs.empty() && look_.runs.front().format.size > 0) {
        font_.setPointSizeF(look_.runs.front().format.size / 2.0 * zoom_);
    }
    PlaceInBox(width);
    layout_.setText(screen);
    layout_.setFont(font_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(font_).horizontalAdvance(QLatin1Char(' ')) * 8);
    constexpr std::array<Qt::Alignment, 4> ALIGNMENTS{Qt::AlignLeft, Qt::AlignHCenter,
                                                      Qt::AlignRight, Qt::AlignJustify};
    option.setAlignment(ALIGNMENTS.at(static_cast<std::size_t>(look_.alignment)));
    layout_.setTextOption(option);
    SetFormats();

    const qreal lineWidth = std::max<qreal>(40, width_);
    layout_.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
        // The first line starts where the first-line indent, or the label, puts it.
        const qreal shift = line.lineNumber() == 0 && windowStart_ == 0 ? firstLineShift_ : 0;
        line.setLineWidth(std::max<qreal>(20, lineWidth - shift));
        line.setPosition(QPointF(shift, y));
        y += line.height();
    }
    layout_.endLayout();
    const qreal spaceAfter = look_.spaceAfter >= 0 ? Pixels(look_.spaceAfter) : SPACE_AFTER * zoom_;
    height_ = spaceBefore_ + y + std::min(spaceAfter, MOST_SPACING * zoom_);
}

void ParagraphLayout::PlaceInBox(qreal width) {
    boxWidth_ = width;
    qreal inset = 0;
    if (look_.tableDepth > 0) {
        // A cell of the outermost table is a column of the grid; a nested
        // table's cells stand indented in it.
        const std::vector<int>& grid = look_.cell.grid;
        const auto size = static_cast<std::ptrdiff_t>(grid.size());
        const std::ptrdiff_t from = std::clamp<std::ptrdiff_t>(look_.cell.column, 0, size);
        const std::ptrdiff_t to = std::clamp<std::ptrdiff_t>(from + look_.cell.span, from, size);
        const double total = std::accumulate(grid.begin(), grid.end(), 0.0);
        if (total > 0 && to > from) {
            left_ = width * std::accumulate(grid.begin(), grid.begin() + from, 0.0) / total;
            boxWidth_ =
                width * std::accumulate(grid.begin() + from, grid.begin() + to, 0.0) / total;
        }
        inset = CELL_PADDING * zoom_ + CELL_INDENT * zoom_ * (look_.tableDepth - 1);
    }
    indent_ = inset + std::clamp(Pixels(look_.indent), 0.0, boxWidth_ / 2);
    const qreal firstLine = std::max(Pixels(look_.firstLine), -indent_ + inset);
    labelX_ = indent_ + firstLine;
    firstLineShift_ = firstLine;
    if (!look_.listLabel.empty()) {
        const qreal labelEnd =
            labelX_ +
            QFontMetricsF(font_).horizontalAdvance(QString::fromStdString(look_.listLabel)) +
            LABEL_GAP * zoom_;
        // Hanging: the text starts at the indent when the label fits before it.
        firstLineShift_ = firstLine < 0 && labelEnd <= indent_ ? 0 : labelEnd - indent_;
    }
    width_ = std::max<qreal>(40, boxWidth_ - indent_ - (look_.tableDepth > 0 ? inset : 0));
    spaceBefore_ = look_.spaceBefore >= 0
                       ? std::min(Pixels(look_.spaceBefore), MOST_SPACING * zoom_)
                   : look_.headingLevel > 0 ? HEADING_SPACE_BEFORE * zoom_
                                            : 0;
}

void ParagraphLayout::SetFormats() {
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
        if (run.format.size > 0) {
            range.format.setFontPointSize(run.format.size / 2.0 * zoom_);
        }
        range.format.setFontItalic(run.format.italic);
        range.format.setFontUnderline(run.format.underline || run.format.link);
        if (run.format.link) {
            range.format.setForeground(LinkColour());
        } else if (run.format.colour >= 0) {
            range.format.setForeground(QColor(QRgb(static_cast<unsigned>(run.format.colour))));
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
}

void ParagraphLayout::DrawLabel(QPainter& painter, QPointF origin) const {
    if (layout_.lineCount() == 0) {
        return;
    }
    painter.save();
    painter.setFont(font_);
    const host::CharacterFormat first =
        look_.runs.empty() ? host::CharacterFormat{} : look_.runs.front().format;
    painter.setPen(first.colour >= 0 ? QColor(QRgb(static_cast<unsigned>(first.colour)))
                                     : QColor(Qt::black));
    const QTextLine line = layout_.lineAt(0);
    painter.drawText(origin + QPointF(labelX_, spaceBefore_ + line.y() + line.ascent()),
                     QString::fromStdString(look_.listLabel));
    painter.restore();
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
                           long selectionEnd, const std::vector<Bracket>& brackets,
                           const QRectF& lines) const {
    QPointF text = origin + TextOrigin();
    if (look_.tableDepth > 1) {
        // A nested table's cells: a rule at their left, and above their first
        // paragraph; the outermost table's are the view's grid.
        painter.save();
        painter.setPen(QColor(170, 180, 195));
        qreal left = origin.x() + indent_ - Pixels(look_.indent) - 4;
        painter.drawLine(QPointF(left, origin.y()), QPointF(left, origin.y() + height_));
        if (look_.firstInCell) {
            painter.drawLine(QPointF(left, origin.y()), QPointF(left + width_ + 4, origin.y()));
        }
        painter.restore();
    }
    if (!look_.listLabel.empty() && windowStart_ == 0 &&
        (lines.isNull() || lines.contains(origin + QPointF(labelX_, spaceBefore_ + 1)))) {
        DrawLabel(painter, origin);
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
    if (lines.isNull()) {
        layout_.draw(&painter, text, selections);
    } else {
        // Line by line: QTextLayout's clip still draws the line above it.
        constexpr qreal EDGE = 0.5;
        for (int i = 0; i < layout_.lineCount(); ++i) {
            const QTextLine line = layout_.lineAt(i);
            const qreal top = text.y() + line.y();
            if (top + EDGE >= lines.top() && top + line.height() - EDGE <= lines.bottom()) {
                line.draw(&painter, text);
            }
        }
    }
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
