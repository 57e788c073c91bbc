#include "host/docx/look_reader.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "host/utf8.h"

namespace veln::host::docx {

namespace {

class LookWalk {
  public:
    LookWalk(const Wml& n, const StyleSheet& styles, const std::string& paragraphStyle,
             ParagraphLook& look)
        : n_(n), styles_(styles), paragraphStyle_(paragraphStyle), look_(look) {}

    void Inline(const pugi::xml_node& parent) {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            switch (n_.TagOf(child)) {
                case Tag::r:
                    Run(child);
                    break;
                case Tag::hyperlink:
                    ++linkDepth_;
                    Inline(child);
                    --linkDepth_;
                    break;
                default:
                    if (IsInlineContainer(n_.TagOf(child))) {
                        Inline(child);
                    }
                    // Deleted text, properties and what is not in the story.
                    break;
            }
        }
    }

    long Offset() const { return offset_; }

  private:
    void Run(const pugi::xml_node& run) {
        pugi::xml_node rPr = run.child(n_.rPr.c_str());
        CharacterProperties properties = CharacterProperties::Of(rPr);
        std::string runStyle = rPr.child(n_.W("rStyle").c_str()).attribute(n_.val.c_str()).value();
        if (!runStyle.empty()) {
            properties.Inherit(styles_.Characters(runStyle));
        }
        properties.Inherit(styles_.Characters(paragraphStyle_));
        CharacterFormat format;
        format.bold = properties.bold.value_or(false);
        format.italic = properties.italic.value_or(false);
        format.underline = properties.underline.value_or(false);
        format.size = properties.size.value_or(0);
        format.colour = properties.colour.value_or(-1);
        format.highlight =
            HighlightIndex(rPr.child(n_.highlight.c_str()).attribute(n_.val.c_str()).value());
        format.link = linkDepth_ > 0;
        for (pugi::xml_node child = run.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            long length = 0;
            switch (n_.TagOf(child)) {
                case Tag::t:
                    length = CountCharacters(child.child_value());
                    break;
                case Tag::tab:
                case Tag::br:
                case Tag::cr:
                case Tag::noBreakHyphen:
                case Tag::softHyphen:
                case Tag::sym:
                    length = 1;
                    break;
                default: {
                    std::string_view local = LocalName(child);
                    if (local == "drawing" || local == "pict" || local == "object" ||
                        local == "AlternateContent") {
                        look_.objects.push_back(offset_);
                    }
                    break;
                }
            }
            Add(length, format);
        }
    }

    void Add(long length, const CharacterFormat& format) {
        if (length <= 0) {
            return;
        }
        if (!look_.runs.empty() && look_.runs.back().format == format) {
            look_.runs.back().length += length;
        } else {
            look_.runs.push_back({length, format});
        }
        offset_ += length;
    }

    const Wml& n_;
    const StyleSheet& styles_;
    const std::string& paragraphStyle_;
    ParagraphLook& look_;
    long offset_ = 0;
    int linkDepth_ = 0;  // hyperlinks around the runs read now
};

// The place in the outermost table of a paragraph in a cell.
CellPlace PlaceInTable(const Wml& n, const pugi::xml_node& paragraph) {
    CellPlace place;
    pugi::xml_node cell;
    pugi::xml_node row;
    pugi::xml_node table;
    for (pugi::xml_node node = paragraph.parent(); node; node = node.parent()) {
        switch (n.TagOf(node)) {
            case Tag::tc:
                cell = node;
                break;
            case Tag::tr:
                row = node;
                break;
            case Tag::tbl:
                table = node;
                break;
            default:
                break;
        }
    }
    for (pugi::xml_node column : table.child(n.W("tblGrid").c_str()).children()) {
        constexpr double TWIPS_PER_POINT = 20;
        place.grid.push_back(
            std::max(0, Measure(column.attribute(n.W("w").c_str()).value(), TWIPS_PER_POINT)));
    }
    auto spanOf = [&n](const pugi::xml_node& tc) {
        pugi::xml_node span = tc.child(n.W("tcPr").c_str()).child(n.W("gridSpan").c_str());
        return std::max(1, std::atoi(span.attribute(n.val.c_str()).value()));
    };
    place.column = std::atoi(row.child(n.W("trPr").c_str())
                                 .child(n.W("gridBefore").c_str())
                                 .attribute(n.val.c_str())
                                 .value());
    for (pugi::xml_node before = cell.previous_sibling(); before;
         before = before.previous_sibling()) {
        if (n.TagOf(before) == Tag::tc) {
            place.column += spanOf(before);
        }
    }
    place.span = spanOf(cell);
    pugi::xml_node first =
        row.find_node([&n](const pugi::xml_node& node) { return n.TagOf(node) == Tag::p; });
    place.firstInRow = first == paragraph;
    return place;
}

}  // namespace

ParagraphProperties PropertiesOf(const Wml& names, const Paragraph& paragraph,
                                 const StyleSheet& styles) {
    pugi::xml_node own = paragraph.node.child(names.pPr.c_str());
    ParagraphProperties properties = ParagraphProperties::Of(own);
    properties.Inherit(styles.Paragraphs(
        own.child(names.W("pStyle").c_str()).attribute(names.val.c_str()).value()));
    return properties;
}

ParagraphLook ReadLook(const Story& story, const Paragraph& paragraph, const StyleSheet& styles,
                       const ListNumbering& numbering, const std::string& listLabel) {
    const Wml& n = story.Names();
    ParagraphLook look;
    look.start = story.StartOf(paragraph);
    look.text = story.Text(look.start, look.start + paragraph.length);
    pugi::xml_node properties = paragraph.node.child(n.pPr.c_str());
    look.style = properties.child(n.W("pStyle").c_str()).attribute(n.val.c_str()).value();
    look.headingLevel = styles.HeadingLevel(look.style);
    if (pugi::xml_node outline = properties.child(n.W("outlineLvl").c_str())) {
        int level = std::atoi(outline.attribute(n.val.c_str()).value());
        look.headingLevel = level >= 0 && level < 9 ? level + 1 : 0;
    }
    for (pugi::xml_node node = paragraph.node.parent(); node; node = node.parent()) {
        if (n.TagOf(node) == Tag::tc) {
            ++look.tableDepth;
        }
    }
    if (n.TagOf(paragraph.node.parent()) == Tag::tc) {
        look.firstInCell = true;
        for (pugi::xml_node before = paragraph.node.previous_sibling(); before;
             before = before.previous_sibling()) {
            Tag tag = n.TagOf(before);
            look.firstInCell = look.firstInCell && tag != Tag::p && tag != Tag::tbl;
        }
    }
    if (look.tableDepth > 0) {
        look.cell = PlaceInTable(n, paragraph.node);
    }
    // The paragraph's own properties, then its list level's, then its style's.
    ParagraphProperties paragraphs = ParagraphProperties::Of(properties);
    const ParagraphProperties ofStyle = styles.Paragraphs(look.style);
    look.listLabel = listLabel;
    if (!listLabel.empty()) {
        ParagraphProperties numbered = paragraphs;
        numbered.Inherit(ofStyle);
        if (const ListNumbering::Level* level =
                numbering.LevelOf(numbered.numId.value_or(0), numbered.numLevel.value_or(0))) {
            ParagraphProperties ofLevel;
            ofLevel.indent = level->indent;
            ofLevel.firstLine = level->firstLine;
            paragraphs.Inherit(ofLevel);
        }
    }
    paragraphs.Inherit(ofStyle);
    look.alignment = paragraphs.alignment.value_or(ParagraphAlignment::Left);
    look.spaceBefore = paragraphs.spaceBefore.value_or(-1);
    look.spaceAfter = paragraphs.spaceAfter.value_or(-1);
    look.indent = paragraphs.indent.value_or(0);
    look.firstLine = paragraphs.firstLine.value_or(0);
    LookWalk walk(n, styles, look.style, look);
    walk.Inline(paragraph.node);
    if (walk.Offset() != paragraph.length) {
        // Never drawn out of step with the story: plain text then.
        look.runs.clear();
        look.objects.clear();
        if (paragraph.length > 0) {
            look.runs.push_back({paragraph.length, {}});
        }
    }
    return look;
}

}  // namespace veln::host::docx
