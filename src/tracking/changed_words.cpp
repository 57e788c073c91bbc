#include "tracking/changed_words.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "host/diff/word_diff.h"
#include "host/utf8.h"

namespace veln::tracking {

namespace {

using Ranges = std::vector<std::pair<long, long>>;

// The text with each range (in characters, in order) between open and close.
std::string Marked(const std::u32string& text, Ranges ranges, std::string_view open,
                   std::string_view close) {
    std::sort(ranges.begin(), ranges.end());
    std::string marked;
    long at = 0;
    auto append = [&](long from, long to) {
        for (long i = from; i < to; ++i) {
            host::AppendCodePoint(marked, text[static_cast<std::size_t>(i)]);
        }
    };
    for (const auto& [from, to] : ranges) {
        append(at, from);
        marked += open;
        append(from, to);
        marked += close;
        at = to;
    }
    append(at, static_cast<long>(text.size()));
    return marked;
}

}  // namespace

MarkedTexts MarkChangedWords(std::string_view before, std::string_view after) {
    const host::diff::Words ours = host::diff::WordsOf(host::Widen(before));
    const host::diff::Words theirs = host::diff::WordsOf(host::Widen(after));
    Ranges out;
    Ranges in;
    for (const host::diff::Change& change : host::diff::ChangesBetween(ours, theirs)) {
        if (change.insertion) {
            in.emplace_back(change.bStart, change.bEnd);
        } else {
            out.emplace_back(change.at, change.end);
        }
    }
    return {Marked(ours.text, out, "[-", "-]"), Marked(theirs.text, in, "[+", "+]")};
}

}  // namespace veln::tracking
