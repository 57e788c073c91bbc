#include "elements/element_address.h"

#include <array>

namespace veln::Elements {

namespace {

// Characters a URI path carries as they are; every other byte, the bytes of
// accented letters included, is written %XX.
bool KeptAsIs(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

std::string PercentEncoded(const std::string& text) {
    constexpr std::array<char, 16> HEX{'0', '1', '2', '3', '4', '5', '6', '7',
                                       '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string encoded;
    encoded.reserve(text.size());
    for (char c : text) {
        if (KeptAsIs(c)) {
            encoded += c;
        } else {
            auto byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += HEX[byte >> 4U];
            encoded += HEX[byte & 0x0FU];
        }
    }
    return encoded;
}

}  // namespace

std::string FileUri(const std::string& path) {
    return "file://" + PercentEncoded(path);
}

std::string ElementAddress(const std::string& path, const std::string& elementId) {
    return FileUri(path) + "#" + PercentEncoded(elementId);
}

}  // namespace veln::Elements
