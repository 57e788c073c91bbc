#include "elements/element.h"

#include "database/document_context.h"
#include "host/word/application.h"
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

// Removes the markers standing at start, one after the other.
void RemoveMarkersAt(host::Document& document, long start) {
    for (;;) {
        std::string head = document.TextOf(start, start + static_cast<long>(MARKER_MAX_LENGTH));
        std::size_t length = MarkerLength(head);
        if (length == 0) {
            return;
        }
        document.DeleteText(start, start + static_cast<long>(length));
    }
}

}  // namespace

std::size_t MarkerLength(std::string_view text) {
    if (!text.starts_with("//")) {
        return 0;
    }
    std::size_t at = 2;
    for (int number = 0; number < 4; ++number) {
        std::size_t digits = 0;
        while (at < text.size() && digits <= 5 && text[at] >= '0' && text[at] <= '9') {
            ++at;
            ++digits;
        }
        if (digits == 0 || digits > 5) {
            return 0;
        }
        char expected = number < 3 ? '.' : '/';
        if (at >= text.size() || text[at] != expected) {
            return 0;
        }
        ++at;
    }
    return text.substr(at).starts_with("/ ") ? at + 2 : 0;
}

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
        host::OvertypeOff overtype(context.app);
        range->InsertBefore(Marker());
    }
}

void Element::HideNumber(DocumentContext& context) const {
    if (auto range = RangeOf(context, ElementID)) {
        // The marker stands at the element's start; copies that older
        // versions left beside it (an element without text did not take its
        // marker in) stand there too, and go with it. Nothing else is touched.
        RemoveMarkersAt(range->Parent(), range->Start());
        range->Parent().Selection().Collapse();
    }
}

}  // namespace veln
