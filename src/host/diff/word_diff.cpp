#include "host/diff/word_diff.h"

#include <algorithm>
#include <utility>

#include "host/diff/sequence_diff.h"

namespace veln::host::diff {

namespace {

bool IsWordCharacter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
           c == U'_' ||
           (c >= 0x80 && c != 0xA0 && c != 0x2007 && c != 0x202F && !(c >= 0x2000 && c <= 0x206F) &&
            c != 0x3000);
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0xA0;
}

std::vector<Token> Tokens(std::u32string_view text) {
    std::vector<Token> tokens;
    const long size = static_cast<long>(text.size());
    for (long at = 0; at < size;) {
        long end = at + 1;
        auto index = [](long i) { return static_cast<std::size_t>(i); };
        if (IsWordCharacter(text[index(at)])) {
            while (end < size && IsWordCharacter(text[index(end)])) {
                ++end;
            }
        } else if (IsBlank(text[index(at)])) {
            while (end < size && IsBlank(text[index(end)])) {
                ++end;
            }
        }
        tokens.push_back({at, end - at});
        at = end;
    }
    return tokens;
}

bool Rewritten(const Words& ours, const Words& theirs, const std::vector<Edit>& edits) {
    long kept = 0;
    for (const Edit& edit : edits) {
        if (edit.kind == EditKind::Equal) {
            kept += ours.Offset(edit.aStart + edit.length) - ours.Offset(edit.aStart);
        }
    }
    return 4 * kept < static_cast<long>(ours.text.size() + theirs.text.size());
}

}  // namespace

std::uint64_t HashOf(std::u32string_view text) {
    return HashText(std::string_view(reinterpret_cast<const char*>(text.data()),
                                     text.size() * sizeof(char32_t)));
}

Words WordsOf(std::u32string text) {
    Words words{std::move(text), {}, {}};
    words.tokens = Tokens(words.text);
    words.hashes.reserve(words.tokens.size());
    for (const Token& token : words.tokens) {
        words.hashes.push_back(HashOf(std::u32string_view(words.text)
                                          .substr(static_cast<std::size_t>(token.start),
                                                  static_cast<std::size_t>(token.length))));
    }
    return words;
}

bool Rewritten(const Words& ours, const Words& theirs) {
    return Rewritten(ours, theirs, Diff(ours.hashes, theirs.hashes));
}

std::vector<Change> ChangesBetween(const Words& ours, const Words& theirs) {
    const std::vector<Edit> edits = Diff(ours.hashes, theirs.hashes);
    std::vector<Change> changes;
    const auto ourLength = static_cast<long>(ours.text.size());
    const auto theirLength = static_cast<long>(theirs.text.size());
    if (Rewritten(ours, theirs, edits)) {
        if (theirLength > 0) {
            changes.push_back({ourLength, true, 0, 0, theirLength});
        }
        if (ourLength > 0) {
            changes.push_back({0, false, ourLength, 0, 0});
        }
        return changes;
    }
    for (const Edit& edit : edits) {
        if (edit.kind == EditKind::Delete) {
            changes.push_back(
                {ours.Offset(edit.aStart), false, ours.Offset(edit.aStart + edit.length), 0, 0});
        } else if (edit.kind == EditKind::Insert) {
            changes.push_back({ours.Offset(edit.aStart), true, 0, theirs.Offset(edit.bStart),
                               theirs.Offset(edit.bStart + edit.length)});
        }
    }
    std::stable_sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return a.at != b.at ? a.at > b.at : a.insertion && !b.insertion;
    });
    return changes;
}

}  // namespace veln::host::diff
