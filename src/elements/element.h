// An element: a passage of a document marked for traceability, as a bookmark
// named by its identifier, a row of the project database and this object.
#pragma once

#include <array>
#include <cstdint>
#include <string>

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

// Markers only: two slashes, digits and dots, two slashes and a blank. Text
// the user wrote as "//draft// " is not a marker and stays.
inline constexpr const char* MARKER_PATTERN = "//[0-9.]@// ";

}  // namespace veln
