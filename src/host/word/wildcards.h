// Find with the word processor's wildcards: "*" the shortest run of
// characters, "?" one character, "[0-9.]" and "[!x]" sets, "@" one or more of
// the previous, "{n,m}" counts, "<" and ">" word edges, "\" for a literal.
// A match never runs over a paragraph mark.
#pragma once

#include <string_view>
#include <vector>

namespace veln::host {

struct TextMatch {
    long start;   // in characters (code points) from the start of the text
    long length;  // in characters
};

// The matches of pattern in text, left to right, not overlapping. Without
// wildcards the pattern is plain text. A malformed pattern is a HostError.
std::vector<TextMatch> FindMatches(std::string_view text, std::string_view pattern, bool wildcards);

}  // namespace veln::host
