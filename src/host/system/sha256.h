// SHA-256 of a text, from the system's crypto library (OpenSSL's libcrypto),
// as 64 lowercase hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

namespace veln::host {

std::string Sha256Hex(std::string_view text);

}  // namespace veln::host
