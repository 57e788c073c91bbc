#include "document_printer.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <map>
#include <memory>

#include "paragraph_layout.h"
#include "row_band.h"

namespace veln::desktop {

namespace {

// Layouts count in pixels of a 96-dots-per-inch screen; the painter scales
// them to the printer's resolution.
constexpr qreal LAYOUT_DPI = 96;

}  // namespace

DocumentPrinter::DocumentPrinter(host::Document& document, const QFont& font)
    : document_(document), font_(font) {}

bool DocumentPrinter::Print(QPrinter& printer) {
    // The document's own page: its width and side margins.
    const host::PageLook page = document_.LookOfPage();
    constexpr qreal TWIPS_PER_POINT = 20;
    printer.setPageLayout(QPageLayout(
        QPageSize(QSizeF(page.width / TWIPS_PER_POINT, page.height / TWIPS_PER_POINT),
                  QPageSize::Point),
        QPageLayout::Portrait,
        QMarginsF(page.marginLeft / TWIPS_PER_POINT, page.marginTop / TWIPS_PER_POINT,
                  page.marginRight / TWIPS_PER_POINT, page.marginBottom / TWIPS_PER_POINT),
        QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const qreal scale = printer.resolution() / LAYOUT_DPI;
    painter.scale(scale, scale);
    QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    pageWidth_ = area.width() / scale;
    pageHeight_ = area.height() / scale;
    y_ = 0;
    pages_ = 1;
    const long count = document_.ParagraphCount();
    for (long index = 0; index < count;) {
        host::ParagraphLook look = document_.LookOfParagraph(index);
        if (look.tableDepth == 0) {
            PrintParagraph(painter, printer, look);
            ++index;
        } else {
            index = PrintRow(painter, printer, index);
        }
    }
    return painter.end();
}

long DocumentPrinter::PrintRow(QPainter& painter, QPrinter& printer, long index) {
    std::map<long, std::unique_ptr<ParagraphLayout>> layouts;
    RowBand band =
        RowBand::From(index, document_.ParagraphCount(), [&](long at) -> ParagraphLayout& {
            auto& layout = layouts[at];
            if (!layout) {
                layout = std::make_unique<ParagraphLayout>(document_.LookOfParagraph(at), font_,
                                                           pageWidth_);
            }
            return *layout;
        });
    if (band.height > pageHeight_ - y_ && y_ > 0) {
        NewPage(printer);
    }
    painter.save();
    // A row taller than a page is cut at its end.
    painter.setClipRect(QRectF(0, y_, pageWidth_, pageHeight_ - y_));
    for (long at = band.first; at < band.end; ++at) {
        const QPointF place = band.places.at(static_cast<std::size_t>(at - band.first));
        layouts.at(at)->Draw(painter, QPointF(place.x(), y_ + place.y()), -1, -1, {});
    }
    painter.setPen(QPen(Qt::black, 0.75));
    for (const QRectF& cell : band.cells) {
        painter.drawRect(cell.translated(0, y_));
    }
    painter.restore();
    y_ += band.height;
    return band.end;
}

void DocumentPrinter::NewPage(QPrinter& printer) {
    printer.newPage();
    ++pages_;
    y_ = 0;
}

void DocumentPrinter::PrintParagraph(QPainter& painter, QPrinter& printer,
                                     const host::ParagraphLook& look) {
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
            layout.Draw(painter, QPointF(0, y_ - done), -1, -1, {},
                        QRectF(0, y_, pageWidth_, cut - done));
            done = cut;
            NewPage(printer);
        }
        // What earlier pages hold stays off this one.
        layout.Draw(painter, QPointF(0, y_ - done), -1, -1, {},
                    QRectF(0, y_, pageWidth_, pageHeight_ - y_));
        y_ += layout.Height() - done;
        if (layout.WindowEnd() >= layout.Length()) {
            break;
        }
        windowStart = layout.WindowEnd();
    }
}

}  // namespace veln::desktop
