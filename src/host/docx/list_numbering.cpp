#include "host/docx/list_numbering.h"

#include <cstdlib>
#include <string_view>

#include "host/docx/wml.h"

namespace veln::host::docx {

namespace {

std::string_view Attribute(const pugi::xml_node& node, std::string_view local) {
    for (pugi::xml_attribute attribute : node.attributes()) {
        std::string_view name = attribute.name();
        if (name == local || (name.size() > local.size() && name.ends_with(local) &&
                              name[name.size() - local.size() - 1] == ':')) {
            return attribute.value();
        }
    }
    return {};
}

int Number(const pugi::xml_node& node, std::string_view local, int otherwise) {
    std::string_view value = Attribute(node, local);
    return value.empty() ? otherwise : std::atoi(std::string(value).c_str());
}

// Twips, from a number or a strict file's measure.
int Length(const pugi::xml_node& node, std::string_view local, int otherwise) {
    std::string_view value = Attribute(node, local);
    constexpr double TWIPS_PER_POINT = 20;
    return value.empty() ? otherwise : Measure(value, TWIPS_PER_POINT);
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local) {
    for (pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element && LocalName(child) == local) {
            return child;
        }
    }
    return {};
}

std::string Roman(int value) {
    constexpr std::array<std::pair<int, const char*>, 13> NUMERALS{{{1000, "m"},
                                                                    {900, "cm"},
                                                                    {500, "d"},
                                                                    {400, "cd"},
                                                                    {100, "c"},
                                                                    {90, "xc"},
                                                                    {50, "l"},
                                                                    {40, "xl"},
                                                                    {10, "x"},
                                                                    {9, "ix"},
                                                                    {5, "v"},
                                                                    {4, "iv"},
                                                                    {1, "i"}}};
    std::string text;
    for (const auto& [worth, numeral] : NUMERALS) {
        for (; value >= worth; value -= worth) {
            text += numeral;
        }
    }
    return text;
}

// Bullets of symbol fonts sit in the private use area, or are letters that
// mean a bullet only in that font: the view shows a bullet of its own font.
std::string Bullet(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const auto first = static_cast<unsigned char>(text[0]);
    const bool privateUse = text.size() == 3 && first == 0xEF;
    const bool symbolLetter = text.size() == 1 && first >= 0x20 && first < 0x7F;
    if (privateUse || symbolLetter) {
        return text == "o" ? "\u25E6" : "\u2022";
    }
    return text;
}

}  // namespace

std::string FormatNumber(int value, const std::string& format) {
    if (format == "lowerLetter" || format == "upperLetter") {
        // a..z, then aa..zz, as word processors go on.
        const char base = format == "lowerLetter" ? 'a' : 'A';
        const int letter = (value - 1) % 26;
        return std::string(static_cast<std::size_t>((value - 1) / 26 + 1),
                           static_cast<char>(base + letter));
    }
    if (format == "lowerRoman" || format == "upperRoman") {
        std::string roman = Roman(value);
        if (format == "upperRoman") {
            for (char& c : roman) {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return roman;
    }
    if (format == "decimalZero" && value < 10) {
        return "0" + std::to_string(value);
    }
    if (format == "none") {
        return {};
    }
    return std::to_string(value);
}

ListNumbering::ListNumbering(const pugi::xml_node& numbering) {
    for (pugi::xml_node node : numbering.children()) {
        std::string_view local = LocalName(node);
        if (local == "abstractNum") {
            Abstract& abstract = abstracts_[Number(node, "abstractNumId", 0)];
            for (pugi::xml_node lvl : node.children()) {
                const int index = Number(lvl, "ilvl", -1);
                if (LocalName(lvl) != "lvl" || index < 0 || index >= LEVELS) {
                    continue;
                }
                Level& level = abstract.levels.at(static_cast<std::size_t>(index));
                level.start = Number(Child(lvl, "start"), "val", 1);
                std::string_view format = Attribute(Child(lvl, "numFmt"), "val");
                level.format = format.empty() ? "decimal" : std::string(format);
                level.text = Attribute(Child(lvl, "lvlText"), "val");
                pugi::xml_node ind = Child(Child(lvl, "pPr"), "ind");
                level.indent = Length(ind, "left", Length(ind, "start", 0));
                level.firstLine = -Length(ind, "hanging", -Length(ind, "firstLine", 0));
            }
        } else if (local == "num") {
            List& list = lists_[Number(node, "numId", 0)];
            list.abstractId = Number(Child(node, "abstractNumId"), "val", 0);
            for (pugi::xml_node override : node.children()) {
                if (LocalName(override) == "lvlOverride") {
                    if (pugi::xml_node start = Child(override, "startOverride")) {
                        list.startOverrides[Number(override, "ilvl", 0)] = Number(start, "val", 1);
                    }
                }
            }
        }
    }
}

const ListNumbering::Level* ListNumbering::LevelOf(int numId, int level) const {
    auto list = lists_.find(numId);
    if (list == lists_.end() || level < 0 || level >= LEVELS) {
        return nullptr;
    }
    auto abstract = abstracts_.find(list->second.abstractId);
    return abstract == abstracts_.end()
               ? nullptr
               : &abstract->second.levels.at(static_cast<std::size_t>(level));
}

std::string ListNumbering::Count(int numId, int level) {
    const Level* shown = LevelOf(numId, level);
    if (shown == nullptr) {
        return {};
    }
    List& list = lists_[numId];
    std::array<int, LEVELS>& counters = counters_[list.abstractId];
    const auto& levels = abstracts_[list.abstractId].levels;
    auto startOf = [&](int at) {
        auto override = list.startOverrides.find(at);
        return override != list.startOverrides.end()
                   ? override->second
                   : levels.at(static_cast<std::size_t>(at)).start;
    };
    if (!list.begun && !list.startOverrides.empty()) {
        counters.fill(0);  // a list that restarts its definition's numbering
    }
    list.begun = true;
    int& counter = counters.at(static_cast<std::size_t>(level));
    counter = counter == 0 ? startOf(level) : counter + 1;
    for (int deeper = level + 1; deeper < LEVELS; ++deeper) {
        counters.at(static_cast<std::size_t>(deeper)) = 0;
    }
    if (shown->format == "bullet") {
        return Bullet(shown->text);
    }
    std::string label;
    for (std::size_t i = 0; i < shown->text.size(); ++i) {
        const char c = shown->text[i];
        if (c == '%' && i + 1 < shown->text.size() && shown->text[i + 1] >= '1' &&
            shown->text[i + 1] <= '9') {
            const int at = shown->text[++i] - '1';
            const int value = counters.at(static_cast<std::size_t>(at));
            label += FormatNumber(value == 0 ? startOf(at) : value,
                                  levels.at(static_cast<std::size_t>(at)).format);
        } else {
            label += c;
        }
    }
    return label;
}

}  // namespace veln::host::docx
