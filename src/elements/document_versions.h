// Versions of a linked document: comparing it with another version, and
// giving it up (every element marked deleted, the link removed).
#pragma once

#include "elements/context.h"

namespace veln::Elements {

// The documents a comparison is offered: those the document model opens.
inline constexpr const char* COMPARE_FILTER =
    "Word documents (*.docx;*.docm;*.dotx;*.dotm)|*.docx;*.docm;*.dotx;*.dotm|"
    "All files (*.*)|*.*";

// The compare-and-merge command: asks, lets the user choose the other
// version, takes highlight and numbers out of the active document, then
// writes the differences into it as tracked changes.
void CompareDocuments(Context& context);

// The unlink command: asks, marks every element of the document deleted and
// removes its bookmark, then deletes the two link variables, saving once.
// The Documents row and the other variables stay.
void UnlinkDocument(Context& context);

}  // namespace veln::Elements
