// Finding text in the story as a word processor's Find does: with or without
// the letters' case, whole words only or anywhere, forwards or backwards from
// a position, going round the document's end. Positions count the story's
// characters, one code point each.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veln::desktop {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWords = false;
};

class TextSearch {
  public:
    TextSearch(const std::string& needle, SearchOptions options);

    bool Empty() const { return needle_.empty(); }
    // The first match starting at or after from, else the first of all;
    // backwards: the last match ending at or before from, else the last of all.
    std::optional<std::pair<long, long>> Next(const std::u32string& text, long from) const;
    std::optional<std::pair<long, long>> Previous(const std::u32string& text, long from) const;
    // Every match, without overlaps, from the start.
    std::vector<std::pair<long, long>> All(const std::u32string& text) const;
    // Whether text[start, end) is a match as it stands.
    bool Matches(const std::u32string& text, long start, long end) const;

    static std::u32string Decode(const std::string& utf8);

  private:
    bool MatchesAt(const std::u32string& text, long at) const;

    std::u32string needle_;
    SearchOptions options_;
};

}  // namespace veln::desktop
