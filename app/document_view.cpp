#include "document_view.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "host/utf8.h"
#include "row_band.h"

namespace veln::desktop {

namespace {

// The least space beside the text, when the window is narrower than the page.
constexpr qreal MARGIN_SIDE = 28;
constexpr qreal MARGIN_TOP = 10;
// Layouts kept beyond those on screen.
constexpr std::size_t LAYOUTS_KEPT = 300;

// What the clipboard gets of the story: paragraph marks and breaks end
// lines, the printed form of the special hyphens.
QString PlainText(const std::string& story) {
    QString text;
    for (char32_t c : QString::fromUtf8(story).toStdU32String()) {
        switch (c) {
            case host::WordChar::PARAGRAPH_MARK:
            case host::WordChar::LINE_BREAK:
            case host::WordChar::PAGE_BREAK:
            case host::WordChar::COLUMN_BREAK:
                text += QLatin1Char('\n');
                break;
            case host::WordChar::NON_BREAKING_HYPHEN:
                text += QLatin1Char('-');
                break;
            case host::WordChar::OPTIONAL_HYPHEN:
                break;
            default:
                text += QString::fromUcs4(&c, 1);
        }
    }
    return text;
}

// The zoom levels, in percent.
constexpr qreal BASE_POINTS = ParagraphLayout::BODY_POINTS;
constexpr std::array<int, 12> ZOOM_LEVELS{50, 67, 75, 90, 100, 110, 125, 150, 175, 200, 250, 300};

}  // namespace

DocumentView::DocumentView(host::Document& document, const bool& overtype, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document), overtype_(overtype), editor_(document) {
    font_ = QApplication::font();
    font_.setPointSizeF(BASE_POINTS);
    page_ = document.LookOfPage();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setRange(0, 0);
    Refresh();
}

// --- the model --------------------------------------------------------------------------

bool DocumentView::SyncWithModel() {
    bool changed = Refresh();
    if (changed) {
        editor_.ForgetHistory();
    }
    return changed;
}

bool DocumentView::Refresh() {
    long count = document_.ParagraphCount();
    long old = static_cast<long>(stamps_.size());
    bool changed = false;
    auto refresh = [&](long index, const host::ParagraphStamp& stamp) {
        host::ParagraphStamp& mine = stamps_[static_cast<std::size_t>(index)];
        if (mine.revision != stamp.revision) {
            layouts_.erase(mine.id);
            mine = stamp;
            changed = true;
        }
    };
    // Paragraphs that kept their ids from the start and from the end; those
    // between were added or removed.
    long prefix = 0;
    for (; prefix < std::min(count, old); ++prefix) {
        host::ParagraphStamp stamp = document_.StampOfParagraph(prefix);
        if (stamp.id != stamps_[static_cast<std::size_t>(prefix)].id) {
            break;
        }
        refresh(prefix, stamp);
    }
    long suffix = 0;
    for (; suffix < std::min(count, old) - prefix; ++suffix) {
        host::ParagraphStamp stamp = document_.StampOfParagraph(count - 1 - suffix);
        if (stamp.id != stamps_[static_cast<std::size_t>(old - 1 - suffix)].id) {
            break;
        }
        refresh(old - 1 - suffix, stamp);
    }
    if (prefix + suffix != old || prefix + suffix != count) {
        for (long i = prefix; i < old - suffix; ++i) {
            layouts_.erase(stamps_[static_cast<std::size_t>(i)].id);
        }
        std::vector<host::ParagraphStamp> middle;
        for (long i = prefix; i < count - suffix; ++i) {
            middle.push_back(document_.StampOfParagraph(i));
        }
        stamps_.erase(stamps_.begin() + prefix, stamps_.begin() + (old - suffix));
        stamps_.insert(stamps_.begin() + prefix, middle.begin(), middle.end());
        changed = true;
    }
    if (changed) {
        bracketsStale_ = true;
        recent_.remove_if([this](std::uint64_t id) { return !layouts_.contains(id); });
        UpdateScrollRange();
    }
    if (showBookmarks_ != document_.ShowBookmarks) {
        showBookmarks_ = document_.ShowBookmarks;
        bracketsStale_ = true;
    }
    long start = document_.SelectionStart();
    long end = document_.SelectionEnd();
    if (start != std::min(anchor_, caret_) || end != std::max(anchor_, caret_)) {
        // The model's selection moved (a command went to an element): the view follows.
        anchor_ = start;
        caret_ = end;
        EnsureVisible(end);
        EnsureVisible(start);
        emit SelectionMoved();
    }
    viewport()->update();
    return changed;
}

void DocumentView::SetReadOnly(bool readOnly, const QString& reason) {
    readOnly_ = readOnly;
    readOnlyReason_ = reason;
}

// --- layouts ----------------------------------------------------------------------------

qreal DocumentView::PagePixels(int twips) const {
    return twips * zoom_ / 100.0 / 15.0;
}

qreal DocumentView::TextWidth() const {
    // The page's text width, or the window's when the window is narrower.
    const qreal page = PagePixels(page_.width - page_.marginLeft - page_.marginRight);
    return std::max<qreal>(80, std::min(page, viewport()->width() - 2 * MARGIN_SIDE));
}

qreal DocumentView::TextLeft() const {
    const qreal margin = PagePixels(page_.marginLeft);
    const qreal page = TextWidth() + margin + PagePixels(page_.marginRight);
    return std::max(MARGIN_SIDE, (viewport()->width() - page) / 2 + margin);
}

ParagraphLayout& DocumentView::LayoutOf(long index) {
    std::uint64_t id = stamps_.at(static_cast<std::size_t>(index)).id;
    auto found = layouts_.find(id);
    if (found == layouts_.end()) {
        auto window = windowStarts_.find(id);
        found = layouts_
                    .emplace(id, std::make_unique<ParagraphLayout>(
                                     document_.LookOfParagraph(index), font_, TextWidth(),
                                     window == windowStarts_.end() ? 0 : window->second))
                    .first;
        recent_.push_front(id);
    }
    return *found->second;
}

void DocumentView::TrimLayouts() {
    std::vector<Shown> screen = Screen();
    while (recent_.size() > screen.size() + LAYOUTS_KEPT) {
        std::uint64_t id = recent_.back();
        recent_.pop_back();
        bool onScreen = std::any_of(screen.begin(), screen.end(), [&](const Shown& shown) {
            return stamps_[static_cast<std::size_t>(shown.index)].id == id;
        });
        if (onScreen) {
            recent_.push_front(id);
        } else {
            layouts_.erase(id);
        }
    }
}

void DocumentView::ResetLayouts() {
    layouts_.clear();
    recent_.clear();
}

std::vector<DocumentView::Shown> DocumentView::Screen(std::vector<QRectF>* cells) {
    std::vector<Shown> screen;
    long count = static_cast<long>(stamps_.size());
    if (count == 0) {
        return screen;
    }
    top_ = std::clamp(top_, 0L, count - 1);
    qreal y = MARGIN_TOP;
    long start = document_.ParagraphStart(top_);
    const auto layoutOf = [this](long index) -> ParagraphLayout& { return LayoutOf(index); };
    for (long index = top_; index < count && y < viewport()->height();) {
        RowBand band = RowBand::From(index, count, layoutOf);
        for (long at = band.first; at < band.end; ++at) {
            ParagraphLayout& layout = LayoutOf(at);
            const QPointF place = band.places.at(static_cast<std::size_t>(at - band.first));
            screen.push_back({at, start, y + place.y(), &layout, place.x()});
            start += layout.Length() + 1;
        }
        if (cells != nullptr) {
            for (const QRectF& cell : band.cells) {
                cells->push_back(cell.translated(TextLeft(), y));
            }
        }
        y += band.height;
        index = band.end;
    }
    return screen;
}

void DocumentView::UpdateScrollRange() {
    long count = static_cast<long>(stamps_.size());
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, static_cast<int>(std::max(0L, count - 1)));
    bar->setPageStep(std::max(1, static_cast<int>(viewport()->height() / 40)));
    bar->setSingleStep(1);
}

bool DocumentView::FollowInWindow(long index, long offset) {
    ParagraphLayout& layout = LayoutOf(index);
    if (!layout.Windowed()) {
        return false;
    }
    const bool onFirstScreen =
        offset >= layout.WindowStart() && offset <= layout.WindowEnd() &&
        layout.CaretRect(offset).bottom() <= viewport()->height() - MARGIN_TOP;
    if (onFirstScreen) {
        return false;
    }
    // A line that went below the screen comes to its top; elsewhere the
    // window starts a few lines before the offset.
    constexpr long LINES_BEFORE = 1024;
    const bool inWindow =
        offset > layout.WindowStart() && offset <= layout.WindowEnd() && offset < layout.Length();
    const std::uint64_t id = stamps_.at(static_cast<std::size_t>(index)).id;
    windowStarts_[id] =
        inWindow ? layout.LineBounds(offset).first : std::max(0L, offset - LINES_BEFORE);
    layouts_.erase(id);
    recent_.remove(id);
    return true;
}

long DocumentView::LaidOutCharacters() const {
    long characters = 0;
    for (const auto& [id, layout] : layouts_) {
        characters += layout->WindowEnd() - layout->WindowStart();
    }
    return characters;
}

void DocumentView::EnsureVisible(long position) {
    long index = document_.ParagraphIndexAt(position);
    // A long paragraph whose window moved starts the screen.
    if (FollowInWindow(index, position - document_.ParagraphStart(index)) || index < top_) {
        top_ = index;
    } else {
        std::vector<Shown> screen = Screen();
        bool fits = std::any_of(screen.begin(), screen.end(), [&](const Shown& shown) {
            return shown.index == index &&
                   shown.top + shown.layout->Height() <= viewport()->height();
        });
        if (!fits || screen.empty()) {
            // Up from the paragraph until the screen is full.
            qreal height = MARGIN_TOP;
            long first = index;
            for (long i = index; i >= 0; --i) {
                height += LayoutOf(i).Height();
                if (height > viewport()->height() && i < index) {
                    break;
                }
                first = i;
            }
            top_ = first;
        }
    }
    QSignalBlocker blocker(verticalScrollBar());
    verticalScrollBar()->setValue(static_cast<int>(top_));
    viewport()->update();
}

void DocumentView::RefreshBrackets() {
    if (!bracketsStale_) {
        return;
    }
    bracketsStale_ = false;
    brackets_.clear();
    if (!showBookmarks_) {
        return;
    }
    int count = document_.BookmarkCount(false);
    brackets_.reserve(static_cast<std::size_t>(count) * 2);
    for (int i = 1; i <= count; ++i) {
        host::BookmarkInfo bookmark = document_.BookmarkItem(i, false);
        brackets_.emplace_back(bookmark.start, true);
        brackets_.emplace_back(bookmark.end, false);
    }
    std::sort(brackets_.begin(), brackets_.end());
}

// --- drawing -------------------------------------------------------------------------------

void DocumentView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    // The page, white on grey, as wide as the document's with its margins.
    painter.fillRect(viewport()->rect(), QColor(228, 230, 234));
    const qreal pageLeft = std::max(0.0, TextLeft() - PagePixels(page_.marginLeft));
    const qreal pageRight = std::min<qreal>(
        viewport()->width(), TextLeft() + TextWidth() + PagePixels(page_.marginRight));
    painter.fillRect(QRectF(pageLeft, 0, pageRight - pageLeft, viewport()->height()), Qt::white);
    std::vector<QRectF> cells;
    const std::vector<Shown> screen = Screen(&cells);
    painter.save();
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    for (const QRectF& cell : cells) {
        painter.drawRect(cell);
    }
    painter.restore();
    RefreshBrackets();
    bracketsDrawn_.clear();
    long selectionStart = std::min(anchor_, caret_);
    long selectionEnd = std::max(anchor_, caret_);
    long caret = std::min(caret_, document_.StoryEnd() - 1);
    for (const Shown& shown : screen) {
        long end = shown.start + shown.layout->Length();
        // Opening brackets from the paragraph's start to its mark; closing
        // ones after its first character up to after its mark, where a
        // bookmark that holds the whole paragraph ends.
        std::vector<Bracket> brackets;
        auto from = std::lower_bound(brackets_.begin(), brackets_.end(),
                                     std::make_pair(shown.start, false));
        for (auto it = from; it != brackets_.end() && it->first <= end + 1; ++it) {
            bool opening = it->second;
            if ((opening && it->first <= end) || (!opening && it->first > shown.start)) {
                brackets.push_back({it->first - shown.start, opening});
                bracketsDrawn_.push_back(it->first);
            }
        }
        QPointF origin(TextLeft() + shown.left, shown.top);
        shown.layout->Draw(painter, origin, selectionStart - shown.start,
                           selectionEnd - shown.start, brackets);
        if (caret >= shown.start && caret <= end && hasFocus()) {
            QRectF at = shown.layout->CaretRect(caret - shown.start).translated(origin);
            painter.fillRect(QRectF(at.left(), at.top(), overtype_ ? 6 : 2, at.height()),
                             overtype_ ? QColor(0, 0, 0, 90) : QColor(Qt::black));
        }
    }
    TrimLayouts();
}

void DocumentView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    ResetLayouts();
    UpdateScrollRange();
}

void DocumentView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    top_ = verticalScrollBar()->value();
    viewport()->update();
}

QRect DocumentView::PositionRect(long position) {
    for (const Shown& shown : Screen()) {
        if (position >= shown.start + shown.layout->WindowStart() &&
            position <= shown.start + shown.layout->WindowEnd()) {
            return shown.layout->CaretRect(position - shown.start)
                .translated(TextLeft() + shown.left, shown.top)
                .toAlignedRect();
        }
    }
    return {};
}

int DocumentView::HighlightDrawnAt(long position) {
    for (const Shown& shown : Screen()) {
        if (position >= shown.start && position < shown.start + shown.layout->Length()) {
            return shown.layout->HighlightAt(position - shown.start);
        }
    }
    return 0;
}

std::vector<std::string> DocumentView::ParagraphsShown() {
    std::vector<std::string> texts;
    for (const Shown& shown : Screen()) {
        texts.push_back(shown.layout->Look().text);
    }
    return texts;
}

long DocumentView::PositionAt(QPoint point) {
    std::vector<Shown> screen = Screen();
    if (screen.empty()) {
        return 0;
    }
    const qreal x = point.x() - TextLeft();
    for (const Shown& shown : screen) {
        // In a table's row, the paragraph of the cell under the point.
        const bool inColumn = !shown.layout->InGrid() ||
                              (x >= shown.left && x < shown.left + shown.layout->BoxWidth());
        if (inColumn && point.y() < shown.top + shown.layout->Height()) {
            return shown.start + shown.layout->OffsetAt(
                                     QPointF(point) - QPointF(TextLeft() + shown.left, shown.top));
        }
    }
    const Shown& last = screen.back();
    return last.start + last.layout->Length();
}

// --- the selection ------------------------------------------------------------------------

void DocumentView::Select(long anchor, long caret) {
    long end = document_.StoryEnd();
    anchor_ = std::clamp(anchor, 0L, end);
    caret_ = std::clamp(caret, 0L, end);
    document_.SetSelection(std::min(anchor_, caret_), std::max(anchor_, caret_));
    EnsureVisible(std::min(caret_, end - 1));
    viewport()->update();
    emit SelectionMoved();
}

void DocumentView::SelectAll() {
    Select(0, document_.StoryEnd());
}

void DocumentView::MoveCaret(long caret, bool extend) {
    caret = std::clamp(caret, 0L, document_.StoryEnd() - 1);
    Select(extend ? anchor_ : caret, caret);
}

long DocumentView::VerticalMove(int direction) {
    long index = document_.ParagraphIndexAt(caret_);
    long start = document_.ParagraphStart(index);
    ParagraphLayout& layout = LayoutOf(index);
    qreal x = wantedX_ >= 0 ? wantedX_ : layout.CaretRect(caret_ - start).left();
    wantedX_ = x;
    long offset = layout.OffsetOnNextLine(caret_ - start, x, direction);
    if (offset >= 0) {
        return start + offset;
    }
    long next = index + direction;
    if (next < 0 || next >= static_cast<long>(stamps_.size())) {
        return caret_;
    }
    ParagraphLayout& other = LayoutOf(next);
    long otherStart = document_.ParagraphStart(next);
    // Into a long paragraph from below: at its end; from above: at its start.
    if (direction < 0 && other.WindowEnd() < other.Length()) {
        return otherStart + other.Length();
    }
    if (direction > 0 && other.WindowStart() > 0) {
        return otherStart;
    }
    qreal y = direction < 0 ? other.Height() - 8 : 1;
    return otherStart + other.OffsetAt(QPointF(x, y));
}

// --- editing ---------------------------------------------------------------------------------

bool DocumentView::Edit(const std::function<long()>& edit) {
    if (readOnly_) {
        emit EditRefused(readOnlyReason_);
        return false;
    }
    try {
        long caret = edit();
        anchor_ = caret_ = caret;
    } catch (const host::HostError& error) {
        // What was done of it is undone; the view shows the model as it is.
        Refresh();
        emit EditRefused(QString::fromStdString(error.Description()));
        return false;
    }
    document_.SetSelection(caret_, caret_);
    // The view's own edit: the history stays.
    Refresh();
    EnsureVisible(caret_);
    emit SelectionMoved();
    emit Edited();
    return true;
}

void DocumentView::Copy() {
    long start = std::min(anchor_, caret_);
    long end = std::max(anchor_, caret_);
    if (start < end) {
        QApplication::clipboard()->setText(PlainText(document_.TextOf(start, end)));
    }
}

void DocumentView::Cut() {
    if (anchor_ == caret_ || readOnly_) {
        Copy();
        if (readOnly_) {
            emit EditRefused(readOnlyReason_);
        }
        return;
    }
    Copy();
    long start = std::min(anchor_, caret_);
    long end = std::max(anchor_, caret_);
    Edit([&] { return editor_.Backspace(start, end); });
}

void DocumentView::Paste() {
    std::string text = QApplication::clipboard()->text().toStdString();
    long start = std::min(anchor_, caret_);
    long end = std::max(anchor_, caret_);
    Edit([&] { return editor_.Paste(start, end, text); });
}

void DocumentView::Undo() {
    if (readOnly_ || !editor_.UndoStack().canUndo()) {
        return;
    }
    editor_.UndoStack().undo();
    Refresh();
    emit Edited();
}

void DocumentView::Redo() {
    if (readOnly_ || !editor_.UndoStack().canRedo()) {
        return;
    }
    editor_.UndoStack().redo();
    Refresh();
    emit Edited();
}

void DocumentView::FormatSelection(host::FontStyle style) {
    const long anchor = anchor_;
    const long caret = caret_;
    if (anchor == caret) {
        return;
    }
    const long start = std::min(anchor, caret);
    const long end = std::max(anchor, caret);
    if (Edit([&] {
            editor_.Format(start, end, style);
            return caret;
        })) {
        Select(anchor, caret);  // the selection stays, to format it again
    }
}

bool DocumentView::ReplaceRanges(const std::vector<std::pair<long, long>>& ranges,
                                 const std::string& text) {
    if (ranges.empty()) {
        return true;
    }
    return Edit([&] {
        QUndoStack& history = editor_.UndoStack();
        history.beginMacro(QStringLiteral("replace"));
        long caret = 0;
        try {
            // From the last: the ranges before keep their positions.
            for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
                long after = editor_.Paste(range->first, range->second, text);
                caret = range == ranges.rbegin() ? after : caret + (after - range->second);
            }
        } catch (const host::HostError&) {
            history.endMacro();
            history.undo();
            throw;
        }
        history.endMacro();
        return caret;
    });
}

// --- input --------------------------------------------------------------------------------------

QFont DocumentView::BodyFont() const {
    QFont font = font_;
    font.setPointSizeF(BASE_POINTS);
    return font;
}

void DocumentView::SetZoom(int percent) {
    percent = std::clamp(percent, ZOOM_LEVELS.front(), ZOOM_LEVELS.back());
    if (percent == zoom_) {
        return;
    }
    zoom_ = percent;
    font_.setPointSizeF(BASE_POINTS * zoom_ / 100.0);
    ResetLayouts();
    UpdateScrollRange();
    EnsureVisible(std::min(caret_, document_.StoryEnd() - 1));
    viewport()->update();
    emit ZoomChanged(zoom_);
}

void DocumentView::ZoomIn() {
    auto next = std::upper_bound(ZOOM_LEVELS.begin(), ZOOM_LEVELS.end(), zoom_);
    SetZoom(next == ZOOM_LEVELS.end() ? ZOOM_LEVELS.back() : *next);
}

void DocumentView::ZoomOut() {
    auto before = std::lower_bound(ZOOM_LEVELS.begin(), ZOOM_LEVELS.end(), zoom_);
    SetZoom(before == ZOOM_LEVELS.begin() ? ZOOM_LEVELS.front() : *std::prev(before));
}

void DocumentView::wheelEvent(QWheelEvent* event) {
    if ((event->modifiers() & Qt::ControlModifier) == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta > 0) {
        ZoomIn();
    } else if (delta < 0) {
        ZoomOut();
    }
    event->accept();
}

bool DocumentView::RunEditShortcut(const QKeyEvent& event) {
    // The edit menu's shortcuts, for when the window's actions do not see them.
    static constexpr std::array<std::pair<QKeySequence::StandardKey, void (DocumentView::*)()>, 6>
        EDIT_SHORTCUTS{{
            {QKeySequence::Undo, &DocumentView::Undo},
            {QKeySequence::Redo, &DocumentView::Redo},
            {QKeySequence::Copy, &DocumentView::Copy},
            {QKeySequence::Cut, &DocumentView::Cut},
            {QKeySequence::Paste, &DocumentView::Paste},
            {QKeySequence::SelectAll, &DocumentView::SelectAll},
        }};
    for (const auto& [shortcut, command] : EDIT_SHORTCUTS) {
        if (event.matches(shortcut)) {
            (this->*command)();
            return true;
        }
    }
    // Ctrl+Y redoes too, as in the word processors users come from, where
    // the platform's redo is Ctrl+Shift+Z alone.
    if (event.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
        Redo();
        return true;
    }
    static constexpr std::array<std::pair<QKeySequence::StandardKey, host::FontStyle>, 3>
        FONT_STYLES{{{QKeySequence::Bold, host::FontStyle::Bold},
                     {QKeySequence::Italic, host::FontStyle::Italic},
                     {QKeySequence::Underline, host::FontStyle::Underline}}};
    for (const auto& [shortcut, style] : FONT_STYLES) {
        if (event.matches(shortcut)) {
            FormatSelection(style);
            return true;
        }
    }
    // The zoom: Ctrl+plus (or Ctrl+=, the same key unshifted), Ctrl+minus, Ctrl+0.
    if ((event.modifiers() & Qt::ControlModifier) != 0) {
        switch (event.key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                ZoomIn();
                return true;
            case Qt::Key_Minus:
                ZoomOut();
                return true;
            case Qt::Key_0:
                SetZoom(100);
                return true;
            default:
                break;
        }
    }
    return false;
}

bool DocumentView::MoveByKey(int key, bool shift, bool control) {
    long start = std::min(anchor_, caret_);
    long end = std::max(anchor_, caret_);
    switch (key) {
        case Qt::Key_Left:
            MoveCaret(!shift && start != end ? start : caret_ - 1, shift);
            return true;
        case Qt::Key_Right:
            MoveCaret(!shift && start != end ? end : caret_ + 1, shift);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            MoveCaret(VerticalMove(key == Qt::Key_Up ? -1 : 1), shift);
            return true;
        case Qt::Key_Home:
        case Qt::Key_End: {
            if (control) {
                MoveCaret(key == Qt::Key_Home ? 0 : document_.StoryEnd() - 1, shift);
                return true;
            }
            long index = document_.ParagraphIndexAt(caret_);
            long first = document_.ParagraphStart(index);
            auto [lineStart, lineEnd] = LayoutOf(index).LineBounds(caret_ - first);
            MoveCaret(first + (key == Qt::Key_Home ? lineStart : lineEnd), shift);
            return true;
        }
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            int direction = key == Qt::Key_PageUp ? -1 : 1;
            long shown = std::max<long>(1, static_cast<long>(Screen().size()) - 1);
            long index = std::clamp(document_.ParagraphIndexAt(caret_) + direction * shown, 0L,
                                    static_cast<long>(stamps_.size()) - 1);
            top_ = std::clamp(top_ + direction * shown, 0L, static_cast<long>(stamps_.size()) - 1);
            MoveCaret(document_.ParagraphStart(index), shift);
            return true;
        }
        default:
            return false;
    }
}

bool DocumentView::EditByKey(const QKeyEvent& event) {
    long start = std::min(anchor_, caret_);
    long end = std::max(anchor_, caret_);
    switch (event.key()) {
        case Qt::Key_Backspace:
            Edit([&] { return editor_.Backspace(start, end); });
            return true;
        case Qt::Key_Delete:
            Edit([&] { return editor_.Delete(start, end); });
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Edit([&] { return editor_.Enter(start, end); });
            return true;
        default:
            break;
    }
    QString text = event.text();
    bool typed =
        !text.isEmpty() && (text.at(0).isPrint() || text.at(0) == QLatin1Char('\t')) &&
        (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (typed) {
        std::string utf8 = text.toStdString();
        Edit([&] { return editor_.Type(start, end, utf8, overtype_); });
    }
    return typed;
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
    if (RunEditShortcut(*event)) {
        return;
    }
    int key = event->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down) {
        wantedX_ = -1;
    }
    bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    if (!MoveByKey(key, shift, control) && !EditByKey(*event)) {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void DocumentView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) {
        long start = std::min(anchor_, caret_);
        long end = std::max(anchor_, caret_);
        std::string utf8 = event->commitString().toStdString();
        Edit([&] { return editor_.Type(start, end, utf8, overtype_); });
    }
    event->accept();
}

bool DocumentView::focusNextPrevChild(bool /*next*/) {
    // Tab is a character of the text, not a move to the next control.
    return false;
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    wantedX_ = -1;
    long position = std::min(PositionAt(event->position().toPoint()), document_.StoryEnd() - 1);
    if ((event->modifiers() & Qt::ControlModifier) != 0) {
        for (const host::HyperlinkInfo& link : document_.HyperlinkList()) {
            if (position >= link.start && position < link.end) {
                emit HyperlinkFollowed(QString::fromStdString(link.address),
                                       QString::fromStdString(link.subAddress));
                return;
            }
        }
    }
    bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
    Select(extend ? anchor_ : position, position);
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        long position = std::min(PositionAt(event->position().toPoint()), document_.StoryEnd());
        Select(anchor_, position);
    }
}

void DocumentView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A word: the characters around the point up to blanks and marks.
    long position = PositionAt(event->position().toPoint());
    auto [paragraphStart, paragraphEnd] = document_.ParagraphAt(position);
    QString text = QString::fromUtf8(document_.TextOf(paragraphStart, paragraphEnd - 1));
    std::u32string characters = text.toStdU32String();
    auto offset = static_cast<std::size_t>(position - paragraphStart);
    auto isWord = [&](std::size_t i) {
        return i < characters.size() && QChar::isLetterOrNumber(characters[i]);
    };
    std::size_t first = offset;
    while (first > 0 && isWord(first - 1)) {
        --first;
    }
    std::size_t last = offset;
    while (isWord(last)) {
        ++last;
    }
    Select(paragraphStart + static_cast<long>(first), paragraphStart + static_cast<long>(last));
}

}  // namespace veln::desktop
