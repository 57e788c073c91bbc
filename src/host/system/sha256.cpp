#include "host/system/sha256.h"

#include <array>
#include <stdexcept>

#include <openssl/evp.h>

namespace veln::host {

std::string Sha256Hex(std::string_view text) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("SHA-256 is not available from the crypto library");
    }
    static constexpr std::string_view HEX = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * static_cast<std::size_t>(length));
    for (unsigned int i = 0; i < length; ++i) {
        hex += HEX[digest[i] >> 4U];
        hex += HEX[digest[i] & 15U];
    }
    return hex;
}

}  // namespace veln::host
