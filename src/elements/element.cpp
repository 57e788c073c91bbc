#include "elements/element.h"

#include "database/document_context.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"

namespace veln {

namespace {

// The element's bookmark in the active document, when both exist.
std::optional<host::Range> RangeOf(DocumentContext& context, const std::string& id) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr || !document->Bookmarks().Exists(id)) {
        return std::nullopt;
    }
    return document->Bookmarks().Item(id).Range();
}

}  // namespace

std::string Element::ElementNumber() const {
    return std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." +
           std::to_string(numbers[2]) + "." + std::to_string(numbers[3]);
}

void Element::Highlight(DocumentContext& context) const {
    if (auto range = RangeOf(context, ElementID)) {
        range->SetHighlightColorIndex(context.elementColour);
    }
}

void Element::UnHighlight(DocumentContext& context) const {
    if (auto range = RangeOf(context, ElementID)) {
        range->SetHighlightColorIndex(0);
    }
}

void Element::ShowNumber(DocumentContext& context) const {
    if (auto range = RangeOf(context, ElementID)) {
        // Overtype would eat the element's first characters: off for the insertion.
        bool overtype = context.app.Overtype;
        context.app.Overtype = false;
        range->InsertBefore(Marker());
        context.app.Overtype = overtype;
    }
}

void Element::HideNumber(DocumentContext& context) const {
    if (auto range = RangeOf(context, ElementID)) {
        range->ReplaceAll(MARKER_PATTERN, "");
        host::Selection selection = context.app.ActiveDocument()->Selection();
        selection.Collapse();
    }
}

}  // namespace veln
