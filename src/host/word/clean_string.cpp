#include <string>

#include "host/word/application.h"
#include "host/word/document.h"

namespace veln::host {

std::string CleanString(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case WordChar::TAB:
            case '\n':
            case WordChar::PARAGRAPH_MARK:
            case WordChar::LINE_BREAK:
            case WordChar::PAGE_BREAK:
            case WordChar::COLUMN_BREAK:
                clean += ' ';
                break;
            case WordChar::NON_BREAKING_HYPHEN:
                clean += '-';
                break;
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
