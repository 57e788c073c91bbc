// One paragraph of the document view, laid out for a width: its text with
// the look the model gives it, and the way between the model's offsets
// (characters) and the screen. Only paragraphs on screen are laid out.
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
    ParagraphLayout(host::ParagraphLook look, const QFont& baseFont, qreal width);

    const host::ParagraphLook& Look() const { return look_; }
    // Characters, the paragraph mark left out.
    long Length() const { return length_; }
    // The height it takes, with the space around it.
    qreal Height() const { return height_; }

    // The offset nearest to a point of the paragraph's own coordinates.
    long OffsetAt(QPointF point) const;
    // The caret's rectangle at an offset.
    QRectF CaretRect(long offset) const;
    // The offset a line up or down from offset, at x; -1 past the first or last line.
    long OffsetOnNextLine(long offset, qreal x, int direction) const;
    // The first and last offsets of the line that holds offset.
    std::pair<long, long> LineBounds(long offset) const;

    // Draws at origin; selected runs from selectionStart to selectionEnd
    // (offsets, the mark at Length()), brackets and object placeholders.
    void Draw(QPainter& painter, QPointF origin, long selectionStart, long selectionEnd,
              const std::vector<Bracket>& brackets) const;

    // The highlight colour index drawn under an offset, 0 for none.
    int HighlightAt(long offset) const;

  private:
    int ToUtf16(long offset) const;
    long FromUtf16(int index) const;
    QPointF TextOrigin() const { return {indent_, spaceBefore_}; }

    host::ParagraphLook look_;
    long length_ = 0;
    QTextLayout layout_;
    // UTF-16 index of each character, filled only when some character is
    // outside the basic plane and takes two.
    std::vector<int> utf16_;
    qreal indent_ = 0;
    qreal width_ = 0;
    qreal spaceBefore_ = 0;
    qreal height_ = 0;
};

}  // namespace veln::desktop
