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

}  // namespace veln::host
