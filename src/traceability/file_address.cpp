#include "traceability/file_address.h"

namespace veln {

std::string FileAddress(const std::string& path) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string address = "file://";
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        // Unreserved characters and the separator stand as they are; every
        // other byte, those of UTF-8 characters included, is encoded.
        bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                     (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                     byte == '~' || byte == '/';
        if (plain) {
            address += c;
        } else {
            address += '%';
            address += HEX[byte >> 4];
            address += HEX[byte & 0x0F];
        }
    }
    return address;
}

}  // namespace veln
