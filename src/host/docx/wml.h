// Names of WordprocessingML elements and attributes with the prefixes a
// document binds to the transitional or the strict namespaces.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace veln::host::docx {

inline constexpr const char* W_NS = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr const char* W_NS_STRICT = "http://purl.oclc.org/ooxml/wordprocessingml/main";
inline constexpr const char* R_NS =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* R_NS_STRICT =
    "http://purl.oclc.org/ooxml/officeDocument/relationships";
inline constexpr const char* MC_NS = "http://schemas.openxmlformats.org/markup-compatibility/2006";

inline bool Is(const pugi::xml_node& node, const std::string& name) {
    return std::strcmp(node.name(), name.c_str()) == 0;
}

// The elements the story walk tells apart; everything else is Other.
enum class Tag : unsigned char {
    Other,
    p,
    pPr,
    r,
    rPr,
    t,
    tab,
    br,
    cr,
    noBreakHyphen,
    softHyphen,
    sym,
    bookmarkStart,
    bookmarkEnd,
    hyperlink,
    smartTag,
    customXml,
    sdt,
    sdtContent,
    ins,
    del,
    moveTo,
    moveFrom,
    fldSimple,
    dir,
    bdo,
    tbl,
    tr,
    tc
};

// A node's name without its namespace prefix ("w:p" -> "p").
// A length as the transitional format writes it (a number in the unit of
// its attribute) or as the strict one may ("36pt", "1in", "2.54cm", "25mm",
// "3pc"), in the attribute's unit, of which there are perPoint to a point.
int Measure(std::string_view text, double perPoint);

inline std::string_view LocalName(const pugi::xml_node& node) {
    std::string_view name = node.name();
    std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// True when the node's local name is one of names (C strings).
template <typename Names>
bool LocalNameIsOneOf(const pugi::xml_node& node, const Names& names) {
    std::string_view local = LocalName(node);
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* name) { return local == name; });
}

// Containers of runs inside a paragraph whose content belongs to the story:
// hyperlinks, smart tags, custom XML, content controls, insertions, moved-to
// text, simple fields and bidirectional runs.
bool IsInlineContainer(Tag tag);

struct Wml {
    // Reads the prefixes the root element declares (w: and r: by default).
    explicit Wml(const pugi::xml_node& root);
    Wml() : Wml(pugi::xml_node()) {}

    bool strict = false;
    std::string wPrefix;  // "w:" or "" for a default namespace
    std::string rPrefix;

    // Elements.
    std::string document, body, p, pPr, r, rPr, t, tab, br, cr, noBreakHyphen, softHyphen, sym;
    std::string bookmarkStart, bookmarkEnd, hyperlink, smartTag, customXml, sdt, sdtContent;
    std::string ins, del, moveTo, moveFrom, fldSimple, dir, bdo, tbl, tr, tc, sectPr;
    std::string highlight, docVars, docVar, settings, rPrChange;
    // Attributes.
    std::string val, name, id, type, anchor, history, chr, rId;

    std::string W(const char* local) const { return wPrefix + local; }
    // One prefix test and one switch: the walk over every element stays cheap.
    Tag TagOf(const pugi::xml_node& node) const;
};

}  // namespace veln::host::docx
