// An element's fingerprint: the SHA-256 of its text as a reader sees it, so
// that showing or hiding numbers, renumbering, highlighting or reflowing
// blanks never changes it, and any change of a word does.
#pragma once

#include <string>
#include <string_view>

namespace veln::tracking {

// The element's text from its document (tracked deletions already left out
// by the host) without its number markers, each run of blanks, tabs, line
// breaks and paragraph marks as one blank, trimmed.
std::string ReaderText(std::string_view elementText);
// SHA-256 of the reader's text, in hexadecimal.
std::string Fingerprint(std::string_view readerText);

}  // namespace veln::tracking
