// The styles part as far as a view needs it: which paragraph styles are
// headings, what styles give their characters (bold, italic, underline,
// size, colour) and their paragraphs (alignment, spacing, indentation, list
// numbering), through the chain of styles they are based on.
#pragma once

#include <map>
#include <optional>
#include <string>

#include <pugixml.hpp>

#include "host/docx/wml.h"
#include "host/word/paragraph_look.h"

namespace veln::host::docx {

// What a style, or a run's own properties, say of its characters; nullopt
// where they say nothing and the next level decides.
struct CharacterProperties {
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<int> size;    // half-points
    std::optional<int> colour;  // 0xRRGGBB; nullopt for automatic

    // Fills what this leaves open from below.
    void Inherit(const CharacterProperties& below);
    // Reads w:b, w:i, w:u, w:sz and w:color of a w:rPr.
    static CharacterProperties Of(const pugi::xml_node& rPr);
};

// What a style, or a paragraph's own properties, say of its paragraph.
// Lengths in twips.
struct ParagraphProperties {
    std::optional<ParagraphAlignment> alignment;
    std::optional<int> spaceBefore;
    std::optional<int> spaceAfter;
    std::optional<int> indent;     // from the left
    std::optional<int> firstLine;  // negative: hanging
    std::optional<int> numId;      // a list of the numbering part, 0 for none
    std::optional<int> numLevel;

    void Inherit(const ParagraphProperties& below);
    // Reads w:jc, w:spacing, w:ind and w:numPr of a w:pPr.
    static ParagraphProperties Of(const pugi::xml_node& pPr);
};

class StyleSheet {
  public:
    StyleSheet() = default;
    // Reads the root element (w:styles) of a styles part.
    explicit StyleSheet(const pugi::xml_node& styles);

    // The heading level (1 to 9) of a paragraph style, 0 for none. A style
    // the part does not define is a heading when its id says so ("Heading2").
    int HeadingLevel(const std::string& styleId) const;
    // The characters' properties of a style with those it is based on, and
    // the document's defaults below all; "" is the default paragraph style.
    // A heading style the part does not define is bold and larger.
    CharacterProperties Characters(const std::string& styleId) const;
    ParagraphProperties Paragraphs(const std::string& styleId) const;

  private:
    struct Style {
        std::string basedOn;
        int headingLevel = 0;  // from its name or its outline level
        CharacterProperties characters;
        ParagraphProperties paragraphs;
    };
    const Style* Find(const std::string& styleId) const;
    // Each style of the chain from styleId, the nearest first; a loop of
    // basedOn in a damaged file ends where it comes back.
    template <typename Visit>
    void Chain(const std::string& styleId, Visit visit) const;

    std::map<std::string, Style> styles_;
    std::string defaultStyle_;  // the paragraphs' style when they name none
    CharacterProperties defaults_;
    ParagraphProperties paragraphDefaults_;
};

}  // namespace veln::host::docx
