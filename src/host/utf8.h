// Characters of UTF-8 text: code points, never cut in two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veln::host {

// Every byte but UTF-8 continuation bytes starts a character. A plain
// counting loop, which the compiler vectorises.
inline long CountCharacters(std::string_view text) {
    long count = 0;
    for (char c : text) {
        count += static_cast<long>((static_cast<unsigned char>(c) & 0xC0) != 0x80);
    }
    return count;
}

// The first count characters of text.
inline std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == count) {
            return std::string(text.substr(0, i));
        }
    }
    return std::string(text);
}

// The last count characters of text.
inline std::string LastCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = text.size(); i > 0; --i) {
        if ((static_cast<unsigned char>(text[i - 1]) & 0xC0) != 0x80 && ++seen == count) {
            return std::string(text.substr(i - 1));
        }
    }
    return std::string(text);
}

// The text with every byte that does not start a well-formed UTF-8 sequence
// (overlong forms, surrogates and code points past U+10FFFF included)
// replaced by U+FFFD, so that whatever a file gives us can be written as XML.
inline std::string ValidUtf8(std::string_view text) {
    constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";
    std::string valid;
    valid.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (byte < 0x80) {
            length = 1;
            code = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            length = 2;
            code = byte & 0x1FU;
            least = 0x80;
        } else if ((byte & 0xF0) == 0xE0) {
            length = 3;
            code = byte & 0x0FU;
            least = 0x800;
        } else if ((byte & 0xF8) == 0xF0) {
            length = 4;
            code = byte & 0x07U;
            least = 0x10000;
        }
        bool ok = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            ok = (next & 0xC0) == 0x80;
            code = (code << 6U) | (next & 0x3FU);
        }
        ok = ok && code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (ok) {
            valid.append(text.substr(i, length));
            i += length;
        } else {
            valid.append(REPLACEMENT);
            ++i;
        }
    }
    return valid;
}

}  // namespace veln::host
