#include "document_printer.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "paragraph_layout.h"

namespace veln::desktop {

namespace {

// Layouts count in pixels of a 96-dots-per-inch screen; the painter scales
// them to the printer's resolution.
constexpr qreal LAYOUT_DPI = 96;

}  // namespace

DocumentPrinter::DocumentPrinter(host::Document& document, const QFont& font)
    : document_(document), font_(font) {}

bool DocumentPrinter::Print(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const qreal scale = printer.resolution() / LAYOUT_DPI;
    painter.scale(scale, scale);
    QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    pageWidth_ = page.width() / scale;
    pageHeight_ = page.height() / scale;
    y_ = 0;
    pages_ = 1;
    for (long index = 0; index < document_.ParagraphCount(); ++index) {
        PrintParagraph(painter, printer, index);
    }
    return painter.end();
}

void DocumentPrinter::NewPage(QPrinter& printer) {
    printer.newPage();
    ++pages_;
    y_ = 0;
}

void DocumentPrinter::PrintParagraph(QPainter& painter, QPrinter& printer, long index) {
    host::ParagraphLook look = document_.LookOfParagraph(index);
    for (long windowStart = 0;;) {
        ParagraphLayout layout(look, font_, pageWidth_, windowStart);
        std::vector<qreal> bottoms = layout.LineBottoms();
        qreal done = 0;  // of the paragraph's height, what earlier pages hold
        while (layout.Height() - done > pageHeight_ - y_) {
            // The lines that still fit on this page.
            auto past = std::upper_bound(bottoms.begin(), bottoms.end(), done + pageHeight_ - y_);
            qreal cut = past == bottoms.begin() ? done : *std::prev(past);
            if (cut <= done) {
                if (y_ > 0) {
                    NewPage(printer);
                    continue;
                }
                // A line taller than a page: it is cut.
                cut = done + pageHeight_;
            }
            painter.save();
            painter.setClipRect(QRectF(0, y_, pageWidth_, cut - done));
            layout.Draw(painter, QPointF(0, y_ - done), -1, -1, {});
            painter.restore();
            done = cut;
            NewPage(printer);
        }
        painter.save();
        // What earlier pages hold stays off this one.
        painter.setClipRect(QRectF(0, y_, pageWidth_, pageHeight_ - y_));
        layout.Draw(painter, QPointF(0, y_ - done), -1, -1, {});
        painter.restore();
        y_ += layout.Height() - done;
        if (layout.WindowEnd() >= layout.Length()) {
            break;
        }
        windowStart = layout.WindowEnd();
    }
}

}  // namespace veln::desktop
