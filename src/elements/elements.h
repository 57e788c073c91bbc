// The operations on elements: lookups, navigation, deletion, numbering and
// display. They act on the active document and the loaded elements.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "elements/context.h"

namespace veln::Elements {

enum FindMode : int { Next = 1, Previous = 2, First = 3, Last = 4, Current = 5 };

// --- lookups -------------------------------------------------------------------
// The element enclosing the start of the selection, "" when none.
std::string CurrentElementId(Context& context);
// True for the name of an element's bookmark.
bool IsElementBookmark(std::string_view name);
int IndexOfElement(Context& context, const std::string& id);
struct ElementInfo {
    std::string number;
    std::string label;
    std::int16_t level = 0;
};
ElementInfo GetElementInfo(Context& context, const std::string& id);
void SetElementLabel(Context& context, int position, const std::string& label);
void SetElementLevel(Context& context, int position, std::int16_t level);
// Every control character becomes a blank; blanks at either end go.
std::string SanitizeLabel(const std::string& text);
// Said when a typed label holds control characters, which a label cannot
// hold, in the user's language: the label is then offered again with
// blanks in their place.
std::string ControlCharactersText(const CoreContext& context);
// A label from the document: the paragraph at an insertion point, the
// selection otherwise; 254 characters at most, cleaned.
std::string LabelFromDocument(Context& context);
// An identifier no bookmark of the document and no row of the project uses.
std::string NewElementId(Context& context);

// --- creation and loading -------------------------------------------------------------
// Makes the selection (the paragraph at an insertion point) an element of
// level, asking about an overlap and for the description; level may come back
// as 1. True when an element was made.
bool CreateElement(Context& context, std::int16_t& level);
// The same over the selection, with the label given and no question.
void CreateElementFromSelection(Context& context, std::int16_t level, const std::string& label);
// Loads the live rows of a document whose bookmarks exist, retires the
// others, and shows numbers and highlight as the document asks.
void LoadDocumentElements(Context& context, const std::string& dbPath, const std::string& docId);

// --- navigation and deletion --------------------------------------------------------
// The position in the loaded elements of the element found, 0 when none.
int FindElement(Context& context, int mode);
void GoNextElement(Context& context);
void GoPreviousElement(Context& context);
void GoFirstElement(Context& context);
void GoLastElement(Context& context);
void GoToElement(Context& context, const std::string& id);
bool IsFirstElement(Context& context);
bool IsLastElement(Context& context);
// Marks the element deleted in the database and takes it out of the document.
void MarkElementDeleted(Context& context, const std::string& id);
// The command: asks, then marks the current element deleted.
void MarkCurrentElementDeleted(Context& context);
// Drops every element of the active document, marking them deleted when asked.
void RemoveDocumentElements(Context& context, bool markDeleted);
// The number of the document's elements whose bookmark exists; the others are
// marked deleted.
int CheckDocumentElements(Context& context);

// --- numbering and display -----------------------------------------------------------
// Numbers the element at position from its neighbours; may lower level to 1.
void computeLevel(Context& context, int position, std::int16_t& level);
void RenumberElements(Context& context);
// The command: asks, renumbers, highlights.
void RenumberElementsCommand(Context& context);
void ResetElementNumbers(Context& context);
void ShowAllNumbers(Context& context);
void HideAllNumbers(Context& context);
void HighlightAll(Context& context);
void UnHighlightAll(Context& context);
void ToggleNumbers(Context& context);
void ToggleDelimiters(Context& context);
// The highlight colour commands: 0 none, 3 cyan, 5 magenta, 7 yellow, 4 green, 15 grey.
void SetHighlightColour(Context& context, std::int16_t colour);

}  // namespace veln::Elements
