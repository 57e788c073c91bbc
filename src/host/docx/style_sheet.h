// The styles part as far as a view needs it: which paragraph styles are
// headings, and the bold, italic and underline that styles give their
// characters, through the chain of styles they are based on.
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

    // Fills what this leaves open from below.
    void Inherit(const CharacterProperties& below);
    // Reads w:b, w:i and w:u of a w:rPr.
    static CharacterProperties Of(const pugi::xml_node& rPr);
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
    // the document's defaults below all.
    CharacterProperties Characters(const std::string& styleId) const;

  private:
    struct Style {
        std::string basedOn;
        int headingLevel = 0;  // from its name or its outline level
        CharacterProperties characters;
    };
    const Style* Find(const std::string& styleId) const;

    std::map<std::string, Style> styles_;
    CharacterProperties defaults_;
};

}  // namespace veln::host::docx
