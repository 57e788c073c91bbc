#include "highlight_palette.h"

#include <array>

namespace veln::desktop {

namespace {

// Indexes 0 (none) to 16: black, blue, cyan, green, magenta, red, yellow,
// white, dark blue, dark cyan, dark green, dark magenta, dark red, dark
// yellow, dark grey, light grey.
constexpr std::array<QRgb, 17> PALETTE{0,        0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF,
                                       0xFF0000, 0xFFFF00, 0xFFFFFF, 0x000080, 0x008080, 0x008000,
                                       0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0};

}  // namespace

QColor HighlightColour(int colorIndex) {
    if (colorIndex <= 0 || colorIndex >= static_cast<int>(PALETTE.size())) {
        return {};
    }
    return QColor::fromRgb(PALETTE[static_cast<std::size_t>(colorIndex)]);
}

bool IsDarkHighlight(int colorIndex) {
    QColor colour = HighlightColour(colorIndex);
    return colour.isValid() && colour.lightness() < 100;
}

}  // namespace veln::desktop
