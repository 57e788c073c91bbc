// An element: a passage of a document marked for traceability, as a bookmark
// named by its identifier, a row of the project database and this object.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veln {

struct DocumentContext;

class Element {
  public:
    std::string ElementLabel;
    std::int16_t ElementLevel = 1;
    std::string ElementID;
    std::string ElementDocId;
    std::array<std::int16_t, 4> numbers{};

    // The four numbers joined by ".", always four parts ("2.1.0.0").
    std::string ElementNumber() const;
    // The marker that stands before the element's text while numbers show.
    std::string Marker() const { return "//" + ElementNumber() + "// "; }

    // Each acts on the active document's bookmark of the element, and does
    // nothing when the bookmark is gone.
    void Highlight(DocumentContext& context) const;
    void UnHighlight(DocumentContext& context) const;
    void ShowNumber(DocumentContext& context) const;
    void HideNumber(DocumentContext& context) const;
};

// The longest marker: "//" + four numbers of at most five digits joined by
// "." + "// ".
inline constexpr std::size_t MARKER_MAX_LENGTH = 2 + 4 * 5 + 3 + 3;

// The length of the marker that text starts with, 0 when it starts with none.
// A marker is exactly "//" + four numbers (digits) joined by "." + "// ":
// "see //4.2// here" or "//draft// " are the user's text, not markers. A
// plain scan, bounded by the marker's length whatever the text holds.
std::size_t MarkerLength(std::string_view text);

}  // namespace veln
