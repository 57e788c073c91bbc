// Two versions of an element's text with the words that changed marked, as
// the review dialog shows them: what went out as [-words-] in the text as
// reviewed, what came in as [+words+] in the text now.
#pragma once

#include <string>
#include <string_view>

namespace veln::tracking {

struct MarkedTexts {
    std::string before;
    std::string after;
};

MarkedTexts MarkChangedWords(std::string_view before, std::string_view after);

}  // namespace veln::tracking
