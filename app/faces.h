// The faces of toolbar buttons: the word processor's built-in faces, drawn
// here as our own SVG icons of the same meaning, and the add-in's colour
// swatches, drawn as it describes them.
#pragma once

#include <QIcon>
#include <QImage>

namespace veln::desktop {

// The icon of a built-in face number; a null icon for a face we do not draw.
QIcon BuiltInFace(int faceId);
// The swatch of one of the add-in's bitmaps (101 to 107): 16 x 16 pixels, a
// 12 x 12 square of the colour in a one-pixel grey frame, the rest white.
// A null image for another id.
QImage Swatch(int picture);
// The swatch with a check mark drawn over its square: the colour in use.
QImage CheckedSwatch(int picture);
// The picture of a dialog's button (the element editor's navigation); a
// null icon for another id.
QIcon ButtonPicture(int picture);
// The program's own icon, for windows and dialogs.
QIcon ProgramIcon();

}  // namespace veln::desktop
