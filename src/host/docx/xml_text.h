// The characters an XML 1.0 part can hold. What enters the model is checked
// here (text, names, values: a clear error and nothing changed), and what is
// read from a file is mended here before it is parsed, so every part the
// model writes is well-formed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/utf8.h"

namespace veln::host::docx {

// The first character of text that a part cannot hold, named for a message
// ("U+0001", "a byte that is not UTF-8"); "" when there is none. allowed
// admits characters the caller turns into markup of their own.
std::string UnwritableCharacter(std::string_view text, bool (*allowed)(char32_t) = nullptr);

// Raises HostError(number) naming what and the character when text holds one
// that a part cannot hold.
void RequireWritable(std::string_view text, const std::string& what, long number,
                     bool (*allowed)(char32_t) = nullptr);

// Mends the text of a part read from a file, before it is parsed: bytes that
// are not UTF-8, control characters XML forbids, and character references
// to them ("&#0;", "&#x1;") each become U+FFFD, so nothing after them is lost
// and nothing ill-formed is written back. Returns how many were mended.
// Comments and CDATA sections are mended alike.
std::size_t MendXml(std::string& xml);

}  // namespace veln::host::docx
