// Opening the element editor: over the element list, and from the command
// that edits the element under the cursor.
#pragma once

#include "elements/context.h"

namespace veln::Properties {

// Shows the element editor on the element under the selection.
void ShowElementEditor(Context& context, bool modal);

// Shows the element list, whose Edit button opens the editor over it.
void ShowElementList(Context& context);

// The command "Edit Current Element": on a linked document, the editor opens
// without blocking on the element under the cursor; when there is none, a
// level-1 element is made first, and the editor opens only once it is.
void EditCurrentElement(Context& context);

}  // namespace veln::Properties
