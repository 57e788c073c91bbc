#include "host/docx/style_sheet.h"

#include <cctype>
#include <cstring>
#include <set>
#include <string_view>

namespace veln::host::docx {

namespace {

std::string_view Val(const pugi::xml_node& node) {
    for (pugi::xml_attribute attribute : node.attributes()) {
        std::string_view name = attribute.name();
        if (name == "val" || name.ends_with(":val")) {
            return attribute.value();
        }
    }
    return {};
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local) {
    for (pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element && LocalName(child) == local) {
            return child;
        }
    }
    return {};
}

// An on/off property: present means on unless its value says off.
bool OnOff(const pugi::xml_node& node) {
    std::string_view value = Val(node);
    return !(value == "0" || value == "false" || value == "off");
}

// "heading 3" and "Heading3" name level 3; built-in names are English in
// every file, whatever the language of the word processor that wrote it.
int LevelInName(std::string_view name) {
    std::string lower;
    for (char c : name) {
        if (c != ' ') {
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (lower.size() == 8 && lower.starts_with("heading") && lower[7] >= '1' && lower[7] <= '9') {
        return lower[7] - '0';
    }
    return 0;
}

}  // namespace

void CharacterProperties::Inherit(const CharacterProperties& below) {
    bold = bold ? bold : below.bold;
    italic = italic ? italic : below.italic;
    underline = underline ? underline : below.underline;
}

CharacterProperties CharacterProperties::Of(const pugi::xml_node& rPr) {
    CharacterProperties properties;
    for (pugi::xml_node child : rPr.children()) {
        std::string_view local = LocalName(child);
        if (local == "b") {
            properties.bold = OnOff(child);
        } else if (local == "i") {
            properties.italic = OnOff(child);
        } else if (local == "u") {
            std::string_view value = Val(child);
            properties.underline = !value.empty() && value != "none";
        }
    }
    return properties;
}

StyleSheet::StyleSheet(const pugi::xml_node& styles) {
    defaults_ =
        CharacterProperties::Of(Child(Child(Child(styles, "docDefaults"), "rPrDefault"), "rPr"));
    for (pugi::xml_node node : styles.children()) {
        if (LocalName(node) != "style") {
            continue;
        }
        std::string id;
        for (pugi::xml_attribute attribute : node.attributes()) {
            std::string_view name = attribute.name();
            if (name == "styleId" || name.ends_with(":styleId")) {
                id = attribute.value();
            }
        }
        Style& style = styles_[id];
        style.basedOn = Val(Child(node, "basedOn"));
        style.headingLevel = LevelInName(Val(Child(node, "name")));
        if (pugi::xml_node outline = Child(Child(node, "pPr"), "outlineLvl")) {
            int level = std::atoi(std::string(Val(outline)).c_str());
            if (level >= 0 && level < 9) {
                style.headingLevel = level + 1;
            }
        }
        style.characters = CharacterProperties::Of(Child(node, "rPr"));
    }
}

const StyleSheet::Style* StyleSheet::Find(const std::string& styleId) const {
    auto found = styles_.find(styleId);
    return found == styles_.end() ? nullptr : &found->second;
}

int StyleSheet::HeadingLevel(const std::string& styleId) const {
    std::set<std::string> seen;
    for (std::string id = styleId; !id.empty() && seen.insert(id).second;) {
        const Style* style = Find(id);
        if (style == nullptr) {
            return LevelInName(id);
        }
        if (style->headingLevel > 0) {
            return style->headingLevel;
        }
        id = style->basedOn;
    }
    return 0;
}

CharacterProperties StyleSheet::Characters(const std::string& styleId) const {
    CharacterProperties properties;
    // A loop of basedOn in a damaged file ends where it comes back.
    std::set<std::string> seen;
    for (std::string id = styleId; !id.empty() && seen.insert(id).second;) {
        const Style* style = Find(id);
        if (style == nullptr) {
            break;
        }
        properties.Inherit(style->characters);
        id = style->basedOn;
    }
    properties.Inherit(defaults_);
    return properties;
}

}  // namespace veln::host::docx
