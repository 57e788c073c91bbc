// Text written into XML, as element content or an attribute value: the
// markup characters escaped, and the control characters (below the blank)
// as the writer chooses. XML 1.0 holds only tab, line feed and carriage
// return among them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veln::host {

enum class XmlControls : std::uint8_t {
    Kept,        // the text has none, or the reader takes them as they are
    References,  // as character references ("&#9;"), which attributes keep
    Blanks       // tab, line feed and carriage return kept, the others blanks
};

inline void AppendXmlEscaped(std::string& out, std::string_view text, XmlControls controls) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || controls == XmlControls::Kept) {
                    out += c;
                } else if (controls == XmlControls::References) {
                    out += "&#" + std::to_string(static_cast<int>(c)) + ";";
                } else {
                    out += c == '\t' || c == '\n' || c == '\r' ? c : ' ';
                }
        }
    }
}

inline std::string XmlEscaped(std::string_view text, XmlControls controls) {
    std::string out;
    out.reserve(text.size());
    AppendXmlEscaped(out, text, controls);
    return out;
}

}  // namespace veln::host
