#include "host/docx/wml.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace veln::host::docx {

Wml::Wml(const pugi::xml_node& root) : wPrefix("w:"), rPrefix("r:") {
    for (const auto& attribute : root.attributes()) {
        std::string attributeName = attribute.name();
        if (!attributeName.starts_with("xmlns")) {
            continue;
        }
        std::string prefix = attributeName == "xmlns" ? "" : attributeName.substr(6) + ":";
        std::string uri = attribute.value();
        if (uri == W_NS || uri == W_NS_STRICT) {
            wPrefix = prefix;
            strict = uri == W_NS_STRICT;
        } else if (uri == R_NS || uri == R_NS_STRICT) {
            rPrefix = prefix;
        }
    }
    auto w = [this](const char* local) { return W(local); };
    document = w("document"), body = w("body"), p = w("p"), pPr = w("pPr"), r = w("r");
    rPr = w("rPr"), t = w("t"), tab = w("tab"), br = w("br"), cr = w("cr");
    noBreakHyphen = w("noBreakHyphen"), softHyphen = w("softHyphen"), sym = w("sym");
    bookmarkStart = w("bookmarkStart"), bookmarkEnd = w("bookmarkEnd");
    hyperlink = w("hyperlink"), smartTag = w("smartTag"), customXml = w("customXml");
    sdt = w("sdt"), sdtContent = w("sdtContent"), ins = w("ins"), del = w("del");
    moveTo = w("moveTo"), moveFrom = w("moveFrom"), fldSimple = w("fldSimple");
    dir = w("dir"), bdo = w("bdo"), tbl = w("tbl"), tr = w("tr"), tc = w("tc");
    sectPr = w("sectPr"), highlight = w("highlight"), docVars = w("docVars");
    docVar = w("docVar"), settings = w("settings"), rPrChange = w("rPrChange");
    val = w("val"), name = w("name"), id = w("id"), type = w("type"), anchor = w("anchor");
    history = w("history"), chr = w("char"), rId = rPrefix + "id";
}

Tag Wml::TagOf(const pugi::xml_node& node) const {
    const char* name = node.name();
    // The prefix is a character or two: compared in place, it costs nothing.
    for (char c : wPrefix) {
        if (*name++ != c) {
            return Tag::Other;
        }
    }
    const char* local = name;
    auto is = [local](const char* candidate) { return std::strcmp(local, candidate) == 0; };
    switch (local[0]) {
        case 'b':
            return is("bookmarkStart") ? Tag::bookmarkStart
                   : is("bookmarkEnd") ? Tag::bookmarkEnd
                   : is("br")          ? Tag::br
                   : is("bdo")         ? Tag::bdo
                                       : Tag::Other;
        case 'c':
            return is("cr") ? Tag::cr : is("customXml") ? Tag::customXml : Tag::Other;
        case 'd':
            return is("del") ? Tag::del : is("dir") ? Tag::dir : Tag::Other;
        case 'f':
            return is("fldSimple") ? Tag::fldSimple : Tag::Other;
        case 'h':
            return is("hyperlink") ? Tag::hyperlink : Tag::Other;
        case 'i':
            return is("ins") ? Tag::ins : Tag::Other;
        case 'm':
            return is("moveTo") ? Tag::moveTo : is("moveFrom") ? Tag::moveFrom : Tag::Other;
        case 'n':
            return is("noBreakHyphen") ? Tag::noBreakHyphen : Tag::Other;
        case 'p':
            return is("p") ? Tag::p : is("pPr") ? Tag::pPr : Tag::Other;
        case 'r':
            return is("r") ? Tag::r : is("rPr") ? Tag::rPr : Tag::Other;
        case 's':
            return is("sdt")          ? Tag::sdt
                   : is("sdtContent") ? Tag::sdtContent
                   : is("softHyphen") ? Tag::softHyphen
                   : is("sym")        ? Tag::sym
                   : is("smartTag")   ? Tag::smartTag
                                      : Tag::Other;
        case 't':
            return is("t")     ? Tag::t
                   : is("tab") ? Tag::tab
                   : is("tbl") ? Tag::tbl
                   : is("tr")  ? Tag::tr
                   : is("tc")  ? Tag::tc
                               : Tag::Other;
        default:
            return Tag::Other;
    }
}

bool IsInlineContainer(Tag tag) {
    switch (tag) {
        case Tag::hyperlink:
        case Tag::smartTag:
        case Tag::customXml:
        case Tag::sdt:
        case Tag::sdtContent:
        case Tag::ins:
        case Tag::moveTo:
        case Tag::fldSimple:
        case Tag::dir:
        case Tag::bdo:
            return true;
        default:
            return false;
    }
}

}  // namespace veln::host::docx

namespace veln::host::docx {

int Measure(std::string_view text, double perPoint) {
    std::string number(text);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    const std::string_view unit(end);
    constexpr double POINTS_PER_INCH = 72;
    constexpr double CM_PER_INCH = 2.54;
    double points = 0;
    if (unit == "pt") {
        points = value;
    } else if (unit == "in") {
        points = value * POINTS_PER_INCH;
    } else if (unit == "cm") {
        points = value * POINTS_PER_INCH / CM_PER_INCH;
    } else if (unit == "mm") {
        points = value * POINTS_PER_INCH / CM_PER_INCH / 10;
    } else if (unit == "pc" || unit == "pi") {
        points = value * 12;
    } else {
        return static_cast<int>(value);  // already in the attribute's unit
    }
    return static_cast<int>(std::lround(points * perPoint));
}

}  // namespace veln::host::docx
