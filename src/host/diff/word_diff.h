// Two versions of one paragraph as words: what changed between them, as
// deletions and insertions at character offsets, or the whole paragraph
// replaced when too little of it stayed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veln::host::diff {

// A word, a run of blanks, or any other character alone.
struct Token {
    long start;
    long length;
};

// A paragraph's characters cut into tokens, each hashed.
struct Words {
    std::u32string text;
    std::vector<Token> tokens;
    std::vector<std::uint64_t> hashes;

    long Offset(std::size_t token) const {
        return token < tokens.size() ? tokens[token].start : static_cast<long>(text.size());
    }
};

std::uint64_t HashOf(std::u32string_view text);
// A paragraph's characters as the system counts them, cut into words.
Words WordsOf(std::u32string text);

// Paragraphs that share less than half their characters were rewritten
// rather than edited.
bool Rewritten(const Words& ours, const Words& theirs);

// One change within a paragraph, at a character offset of ours.
struct Change {
    long at;
    bool insertion;
    long end;     // a deletion's end
    long bStart;  // the inserted characters of theirs
    long bEnd;
};

// The changes that turn ours into theirs, from the end of the paragraph back,
// so that applying them in order keeps the offsets of those still to come.
// A rewritten paragraph is one deletion of all and one insertion of all.
std::vector<Change> ChangesBetween(const Words& ours, const Words& theirs);

}  // namespace veln::host::diff
