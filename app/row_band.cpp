#include "row_band.h"

#include <algorithm>
#include <map>

namespace veln::desktop {

RowBand RowBand::From(long index, long count,
                      const std::function<ParagraphLayout&(long)>& layoutOf) {
    RowBand band;
    band.first = index;
    band.end = index + 1;
    ParagraphLayout& layout = layoutOf(index);
    if (!layout.InGrid()) {
        band.places.emplace_back(0, 0);
        band.height = layout.Height();
        return band;
    }
    // The height each column has reached, by its left edge.
    std::map<qreal, std::pair<qreal, qreal>> columns;  // left: width, height
    for (long at = index; at < count && at - index < MOST_PARAGRAPHS; ++at) {
        ParagraphLayout& next = at == index ? layout : layoutOf(at);
        if (at > index && (!next.InGrid() || next.Look().cell.firstInRow)) {
            break;
        }
        auto& [width, height] = columns[next.Left()];
        width = std::max(width, next.BoxWidth());
        band.places.emplace_back(next.Left(), height);
        height += next.Height();
        band.end = at + 1;
    }
    for (const auto& [left, column] : columns) {
        band.height = std::max(band.height, column.second);
    }
    for (const auto& [left, column] : columns) {
        band.cells.emplace_back(left, 0, column.first, band.height);
    }
    return band;
}

}  // namespace veln::desktop
