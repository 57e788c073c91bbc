// The colours of the highlight colour indexes, as word processors paint them.
#pragma once

#include <QColor>

namespace veln::desktop {

// The background of a highlight colour index; an invalid colour for none.
QColor HighlightColour(int colorIndex);
// Dark highlights are read with light text.
bool IsDarkHighlight(int colorIndex);

}  // namespace veln::desktop
