// Texts in transcripts are quoted on one line: a prompt that holds line breaks
// or quotes still reads back exactly.
#pragma once

#include <string>
#include <string_view>

namespace veln::host {

// "text" with \\, \", \r, \n and \t escaped.
std::string Quote(std::string_view text);

}  // namespace veln::host
