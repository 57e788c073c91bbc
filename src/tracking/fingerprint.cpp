#include "tracking/fingerprint.h"

#include "elements/element.h"
#include "host/system/sha256.h"
#include "host/utf8.h"

namespace veln::tracking {

namespace {

bool IsBlank(char32_t c) {
    return c <= U' ' || c == 0xA0 || c == 0x2007 || c == 0x202F;
}

}  // namespace

std::string ReaderText(std::string_view elementText) {
    std::string_view text = elementText;
    while (std::size_t marker = MarkerLength(text)) {
        text.remove_prefix(marker);
    }
    std::string reader;
    reader.reserve(text.size());
    bool blank = false;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = host::DecodeCharacter(text, at);
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank && !reader.empty()) {
            reader += ' ';
        }
        blank = false;
        host::AppendCodePoint(reader, c);
    }
    return reader;
}

std::string Fingerprint(std::string_view readerText) {
    return host::Sha256Hex(readerText);
}

}  // namespace veln::tracking
