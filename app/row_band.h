// A band of the page: one paragraph outside tables, or the paragraphs of one
// row of a table side by side, each in its cell's column and stacked in it.
// The view and the printer lay pages out band after band.
#pragma once

#include <QPointF>
#include <QRectF>
#include <functional>
#include <vector>

#include "paragraph_layout.h"

namespace veln::desktop {

struct RowBand {
    // A row with more paragraphs than this goes on in the next band, so that
    // a screenful never lays out a whole long table.
    static constexpr long MOST_PARAGRAPHS = 400;

    long first = 0;
    long end = 0;                 // one past its last paragraph
    std::vector<QPointF> places;  // of each paragraph in the band, from its top-left
    std::vector<QRectF> cells;    // the cells' borders, empty outside tables
    qreal height = 0;

    // The band that starts at paragraph index of count; layoutOf lays a paragraph out.
    static RowBand From(long index, long count,
                        const std::function<ParagraphLayout&(long)>& layoutOf);
};

}  // namespace veln::desktop
