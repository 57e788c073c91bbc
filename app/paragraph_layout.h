// One paragraph of the document view, laid out for a width: its text with
// the look the model gives it, and the way between the model's offsets
// (characters) and the screen. Only paragraphs on screen are laid out, and
// of a paragraph longer than MOST_LAID_OUT characters only a window of that
// many from a given start: the view moves the window with the caret, so that
// memory and time stay those of a screenful whatever the paragraph's length.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QTextLayout>
#include <vector>

#include "host/word/paragraph_look.h"

class QPainter;

namespace veln::desktop {

// Where the view draws a bookmark bracket: at an offset, opening or closing.
struct Bracket {
    long offset = 0;
    bool opening = true;
};

class ParagraphLayout {
  public:
    static constexpr long MOST_LAID_OUT = 65536;
    // The body text's size at 100%, for characters whose size nothing gives.
    static constexpr qreal BODY_POINTS = 11;

    // width: the page's text width; baseFont: the body's at the zoom of the
    // view, which scales every size the look gives.
    ParagraphLayout(host::ParagraphLook look, const QFont& baseFont, qreal width,
                    long windowStart = 0);

    const host::ParagraphLook& Look() const { return look_; }
    // Characters, the paragraph mark left out.
    long Length() const { return length_; }
    // The characters laid out: [WindowStart, WindowEnd); offsets outside
    // stand at its nearer end.
    long WindowStart() const { return windowStart_; }
    long WindowEnd() const { return windowEnd_; }
    bool Windowed() const { return windowStart_ > 0 || windowEnd_ < length_; }
    // The height it takes, with the space around it.
    qreal Height() const { return height_; }
    // Its box across the page's text width: all of it, or its table cell's column.
    qreal Left() const { return left_; }
    qreal BoxWidth() const { return boxWidth_; }
    bool InGrid() const { return look_.tableDepth > 0; }

    // The offset nearest to a point of the paragraph's own coordinates.
    long OffsetAt(QPointF point) const;
    // The caret's rectangle at an offset.
    QRectF CaretRect(long offset) const;
    // The offset a line up or down from offset, at x; past the window the
    // offset just outside it, and -1 past the paragraph's first or last line.
    long OffsetOnNextLine(long offset, qreal x, int direction) const;
    // Where each line ends, from the paragraph's top: a page breaks only there.
    std::vector<qreal> LineBottoms() const;
    // The first and last offsets of the line that holds offset.
    std::pair<long, long> LineBounds(long offset) const;

    // Draws at origin; selected runs from selectionStart to selectionEnd
    // (offsets, the mark at Length()), brackets and object placeholders.
    // With lines, only the lines wholly inside it (painter's coordinates):
    // a page shows none of its neighbour's, even as text hidden by a clip.
    void Draw(QPainter& painter, QPointF origin, long selectionStart, long selectionEnd,
              const std::vector<Bracket>& brackets, const QRectF& lines = {}) const;

    // The highlight colour index drawn under an offset, 0 for none.
    int HighlightAt(long offset) const;

  private:
    int ToUtf16(long offset) const;
    long FromUtf16(int index) const;
    QPointF TextOrigin() const { return {indent_, spaceBefore_}; }
    // Pixels of the view for twips of the document, at the zoom.
    qreal Pixels(int twips) const { return twips * zoom_ / 15.0; }
    void PlaceInBox(qreal width);
    void SetFormats();
    void DrawLabel(QPainter& painter, QPointF origin) const;

    host::ParagraphLook look_;
    long length_ = 0;
    long windowStart_ = 0;
    long windowEnd_ = 0;
    QTextLayout layout_;
    // UTF-16 index of each character of the window, filled only when some
    // character is outside the basic plane and takes two.
    std::vector<int> utf16_;
    qreal zoom_ = 1;
    QFont font_;
    qreal left_ = 0;
    qreal boxWidth_ = 0;
    qreal indent_ = 0;
    qreal firstLineShift_ = 0;  // of the first line's text from indent_
    qreal labelX_ = 0;
    qreal width_ = 0;
    qreal spaceBefore_ = 0;
    qreal height_ = 0;
};

}  // namespace veln::desktop
