// Highlight, bold, italic and underline of the story's characters, read and
// set run by run.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "host/docx/story.h"
#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host::docx {

namespace {

constexpr std::array<const char*, 17> HIGHLIGHT_NAMES{
    "none",        "black",   "blue",       "cyan",     "green",    "magenta",
    "red",         "yellow",  "white",      "darkBlue", "darkCyan", "darkGreen",
    "darkMagenta", "darkRed", "darkYellow", "darkGray", "lightGray"};

// Run properties that follow w:highlight in the order the schema fixes.
constexpr std::array<const char*, 14> AFTER_HIGHLIGHT{
    "u",    "effect",          "bdr",        "shd",   "fitText",  "vertAlign", "rtl", "cs", "em",
    "lang", "eastAsianLayout", "specVanish", "oMath", "rPrChange"};

// Run properties in the order the schema fixes.
constexpr std::array<std::string_view, 40> RUN_PROPERTY_ORDER{"rStyle",
                                                              "rFonts",
                                                              "b",
                                                              "bCs",
                                                              "i",
                                                              "iCs",
                                                              "caps",
                                                              "smallCaps",
                                                              "strike",
                                                              "dstrike",
                                                              "outline",
                                                              "shadow",
                                                              "emboss",
                                                              "imprint",
                                                              "noProof",
                                                              "snapToGrid",
                                                              "vanish",
                                                              "webHidden",
                                                              "color",
                                                              "spacing",
                                                              "w",
                                                              "kern",
                                                              "position",
                                                              "sz",
                                                              "szCs",
                                                              "highlight",
                                                              "u",
                                                              "effect",
                                                              "bdr",
                                                              "shd",
                                                              "fitText",
                                                              "vertAlign",
                                                              "rtl",
                                                              "cs",
                                                              "em",
                                                              "lang",
                                                              "eastAsianLayout",
                                                              "specVanish",
                                                              "oMath",
                                                              "rPrChange"};

std::size_t OrderOf(std::string_view local) {
    auto found = std::find(RUN_PROPERTY_ORDER.begin(), RUN_PROPERTY_ORDER.end(), local);
    return static_cast<std::size_t>(found - RUN_PROPERTY_ORDER.begin());
}

}  // namespace

std::vector<pugi::xml_node> Story::RunsCovering(Paragraph& paragraph, long start, long end) {
    std::vector<pugi::xml_node> runs;
    start = std::clamp(start, 0L, paragraph.length);
    end = std::clamp(end, 0L, paragraph.length);
    if (start >= end) {
        return runs;
    }
    SplitAt(paragraph, end);
    SplitAt(paragraph, start);
    long at = 0;
    for (const auto& piece : paragraph.pieces) {
        if (piece.length > 0 && at >= start && at < end) {
            pugi::xml_node run = piece.node.parent();
            if (runs.empty() || runs.back() != run) {
                runs.push_back(run);
            }
        }
        at += piece.length;
    }
    return runs;
}

int HighlightIndex(std::string_view value) {
    for (std::size_t i = 0; i < HIGHLIGHT_NAMES.size(); ++i) {
        if (value == HIGHLIGHT_NAMES[i]) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

int Story::Highlight(long start, long end) const {
    auto indexOf = [this](const pugi::xml_node& run) {
        return HighlightIndex(run.child(n_.rPr.c_str())
                                  .child(n_.highlight.c_str())
                                  .attribute(n_.val.c_str())
                                  .value());
    };
    auto [first, offset] = Locate(start);
    if (start >= end) {
        end = start + 1;
    }
    long remaining = end - start;
    int found = -1;
    for (std::size_t index = first->index; index < paragraphs_.size() && remaining > 0; ++index) {
        const Paragraph& paragraph = *paragraphs_[index];
        long at = 0;
        for (const auto& piece : paragraph.pieces) {
            long pieceEnd = at + static_cast<long>(piece.length);
            if (piece.length > 0 && pieceEnd > offset && at < offset + remaining) {
                int value = indexOf(piece.node.parent());
                if (found >= 0 && value != found) {
                    return WdColorIndex::wdUndefined;
                }
                found = value;
            }
            at = pieceEnd;
        }
        remaining -= paragraph.length + 1 - offset;
        offset = 0;
    }
    return std::max(found, 0);
}

void Story::SetHighlight(long start, long end, int colorIndex) {
    if (colorIndex < 0 || colorIndex >= static_cast<int>(HIGHLIGHT_NAMES.size())) {
        throw HostError(WordError::VALUE_OUT_OF_RANGE,
                        "Value out of range: highlight colour " + std::to_string(colorIndex));
    }
    if (start >= end) {
        return;
    }
    // A highlight already there changes nothing: no run is split.
    if (Highlight(start, end) == colorIndex) {
        return;
    }
    auto [first, offset] = Locate(start);
    long remaining = end - start;
    for (std::size_t index = first->index; index < paragraphs_.size() && remaining > 0; ++index) {
        Paragraph& paragraph = *paragraphs_[index];
        ++paragraph.revision;
        long stop = offset + remaining;
        for (pugi::xml_node run : RunsCovering(paragraph, offset, stop)) {
            pugi::xml_node properties = run.child(n_.rPr.c_str());
            if (!properties) {
                properties = run.prepend_child(n_.rPr.c_str());
            }
            pugi::xml_node highlight = properties.child(n_.highlight.c_str());
            if (colorIndex == 0) {
                properties.remove_child(highlight);
                continue;
            }
            if (!highlight) {
                pugi::xml_node before = properties.first_child();
                while (before && !(before.type() == pugi::node_element &&
                                   LocalNameIsOneOf(before, AFTER_HIGHLIGHT))) {
                    before = before.next_sibling();
                }
                highlight = before ? properties.insert_child_before(n_.highlight.c_str(), before)
                                   : properties.append_child(n_.highlight.c_str());
            }
            pugi::xml_attribute value = highlight.attribute(n_.val.c_str());
            if (!value) {
                value = highlight.append_attribute(n_.val.c_str());
            }
            value.set_value(HIGHLIGHT_NAMES[static_cast<std::size_t>(colorIndex)]);
        }
        remaining -= paragraph.length + 1 - offset;
        offset = 0;
    }
}

void Story::SetFontStyle(long start, long end, FontStyle style, bool on) {
    if (start >= end) {
        return;
    }
    constexpr std::array<const char*, 3> LOCAL_NAMES{"b", "i", "u"};
    const char* local = LOCAL_NAMES.at(static_cast<std::size_t>(style));
    const std::string name = n_.W(local);
    const std::size_t order = OrderOf(local);
    auto [first, offset] = Locate(start);
    long remaining = end - start;
    for (std::size_t index = first->index; index < paragraphs_.size() && remaining > 0; ++index) {
        Paragraph& paragraph = *paragraphs_[index];
        ++paragraph.revision;
        for (pugi::xml_node run : RunsCovering(paragraph, offset, offset + remaining)) {
            pugi::xml_node properties = run.child(n_.rPr.c_str());
            if (!properties) {
                properties = run.prepend_child(n_.rPr.c_str());
            }
            properties.remove_child(name.c_str());
            pugi::xml_node after = properties.first_child();
            while (after &&
                   !(after.type() == pugi::node_element && OrderOf(LocalName(after)) > order &&
                     OrderOf(LocalName(after)) < RUN_PROPERTY_ORDER.size())) {
                after = after.next_sibling();
            }
            pugi::xml_node property = after ? properties.insert_child_before(name.c_str(), after)
                                            : properties.append_child(name.c_str());
            // Off is said outright: a style below may say on.
            if (style == FontStyle::Underline) {
                property.append_attribute(n_.val.c_str()).set_value(on ? "single" : "none");
            } else if (!on) {
                property.append_attribute(n_.val.c_str()).set_value("0");
            }
        }
        remaining -= paragraph.length + 1 - offset;
        offset = 0;
    }
}

}  // namespace veln::host::docx
