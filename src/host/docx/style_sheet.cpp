#include "host/docx/style_sheet.h"

#include <array>
#include <cctype>
#include <cstdlib>
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

// Twips, or half-points for sizes, with perPoint of them to a point.
std::optional<int> Number(const pugi::xml_node& node, std::string_view local,
                          double perPoint = 20) {
    for (pugi::xml_attribute attribute : node.attributes()) {
        std::string_view name = attribute.name();
        if (name == local || (name.ends_with(local) && name.size() > local.size() &&
                              name[name.size() - local.size() - 1] == ':')) {
            return Measure(attribute.value(), perPoint);
        }
    }
    return std::nullopt;
}

template <typename T>
void Keep(std::optional<T>& mine, const std::optional<T>& below) {
    if (!mine) {
        mine = below;
    }
}

// Half-points a heading grows by over the body text, for levels 1 to 9.
int HeadingGrowth(int level) {
    constexpr std::array<int, 4> GROWTH{0, 14, 9, 5};
    return level < 4 ? GROWTH.at(static_cast<std::size_t>(level)) : 2;
}

constexpr int BODY_HALF_POINTS = 22;

}  // namespace

void CharacterProperties::Inherit(const CharacterProperties& below) {
    Keep(bold, below.bold);
    Keep(italic, below.italic);
    Keep(underline, below.underline);
    Keep(size, below.size);
    Keep(colour, below.colour);
}

void ParagraphProperties::Inherit(const ParagraphProperties& below) {
    Keep(alignment, below.alignment);
    Keep(spaceBefore, below.spaceBefore);
    Keep(spaceAfter, below.spaceAfter);
    Keep(indent, below.indent);
    Keep(firstLine, below.firstLine);
    Keep(numId, below.numId);
    Keep(numLevel, below.numLevel);
}

ParagraphProperties ParagraphProperties::Of(const pugi::xml_node& pPr) {
    ParagraphProperties properties;
    for (pugi::xml_node child : pPr.children()) {
        std::string_view local = LocalName(child);
        if (local == "jc") {
            std::string_view value = Val(child);
            properties.alignment = value == "center"                    ? ParagraphAlignment::Centre
                                   : value == "right" || value == "end" ? ParagraphAlignment::Right
                                   : value == "both" || value == "distribute"
                                       ? ParagraphAlignment::Justified
                                       : ParagraphAlignment::Left;
        } else if (local == "spacing") {
            properties.spaceBefore = Number(child, "before");
            properties.spaceAfter = Number(child, "after");
        } else if (local == "ind") {
            properties.indent = Number(child, "left");
            Keep(properties.indent, Number(child, "start"));
            if (auto hanging = Number(child, "hanging")) {
                properties.firstLine = -*hanging;
            } else {
                properties.firstLine = Number(child, "firstLine");
            }
        } else if (local == "numPr") {
            properties.numId = Number(Child(child, "numId"), "val", 0);
            properties.numLevel = Number(Child(child, "ilvl"), "val", 0);
        }
    }
    return properties;
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
        } else if (local == "sz") {
            properties.size = Number(child, "val", 2);
        } else if (local == "color") {
            std::string value(Val(child));
            char* end = nullptr;
            long rgb = std::strtol(value.c_str(), &end, 16);
            if (value.size() == 6 && end == value.c_str() + 6) {
                properties.colour = static_cast<int>(rgb);
            }
        }
    }
    return properties;
}

StyleSheet::StyleSheet(const pugi::xml_node& styles) {
    pugi::xml_node defaults = Child(styles, "docDefaults");
    defaults_ = CharacterProperties::Of(Child(Child(defaults, "rPrDefault"), "rPr"));
    paragraphDefaults_ = ParagraphProperties::Of(Child(Child(defaults, "pPrDefault"), "pPr"));
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
        std::string_view type;
        std::string_view isDefault;
        for (pugi::xml_attribute attribute : node.attributes()) {
            std::string_view name = attribute.name();
            if (name == "type" || name.ends_with(":type")) {
                type = attribute.value();
            } else if (name == "default" || name.ends_with(":default")) {
                isDefault = attribute.value();
            }
        }
        if (type == "paragraph" && (isDefault == "1" || isDefault == "true" || isDefault == "on")) {
            defaultStyle_ = id;
        }
        style.basedOn = Val(Child(node, "basedOn"));
        style.headingLevel = LevelInName(Val(Child(node, "name")));
        if (pugi::xml_node outline = Child(Child(node, "pPr"), "outlineLvl")) {
            int level = std::atoi(std::string(Val(outline)).c_str());
            if (level >= 0 && level < 9) {
                style.headingLevel = level + 1;
            }
        }
        style.characters = CharacterProperties::Of(Child(node, "rPr"));
        style.paragraphs = ParagraphProperties::Of(Child(node, "pPr"));
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

template <typename Visit>
void StyleSheet::Chain(const std::string& styleId, Visit visit) const {
    std::set<std::string> seen;
    for (std::string id = styleId.empty() ? defaultStyle_ : styleId;
         !id.empty() && seen.insert(id).second;) {
        const Style* style = Find(id);
        if (style == nullptr) {
            break;
        }
        visit(*style);
        id = style->basedOn;
    }
}

CharacterProperties StyleSheet::Characters(const std::string& styleId) const {
    CharacterProperties properties;
    Chain(styleId, [&](const Style& style) { properties.Inherit(style.characters); });
    if (int level = LevelInName(styleId); level > 0 && Find(styleId) == nullptr) {
        properties.bold = true;
        properties.size = defaults_.size.value_or(BODY_HALF_POINTS) + HeadingGrowth(level);
    }
    properties.Inherit(defaults_);
    return properties;
}

ParagraphProperties StyleSheet::Paragraphs(const std::string& styleId) const {
    ParagraphProperties properties;
    Chain(styleId, [&](const Style& style) { properties.Inherit(style.paragraphs); });
    properties.Inherit(paragraphDefaults_);
    return properties;
}

}  // namespace veln::host::docx
