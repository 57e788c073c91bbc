#include <string>

#include "host/word/application.h"

namespace veln::host {

std::string CleanString(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '\t':
            case '\n':
            case '\r':
            case 11:  // manual line break
            case 12:  // page break
            case 14:  // column break
                clean += ' ';
                break;
            case 30:
                clean += '-';
                break;  // non-breaking hyphen
            default:
                if (c == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) == 0xA0) {
                    clean += ' ';  // non-breaking space
                    ++i;
                } else if (c >= 32 || c == 0) {
                    clean += static_cast<char>(c);
                }
                // Other control characters (cell marks, optional hyphens, fields) go.
        }
    }
    return clean;
}

}  // namespace veln::host
