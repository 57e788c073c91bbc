#include "host/docx/wml.h"

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

}  // namespace veln::host::docx
