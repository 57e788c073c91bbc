#include "edit_oracle.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "host/utf8.h"

namespace veln::test {

namespace {

constexpr char32_t MARK = U'\r';
constexpr std::array<int, 6> COLOURS{0, 3, 4, 5, 7, 15};
// Characters of one, two, three and four bytes, and a blank.
constexpr std::array<char32_t, 6> ALPHABET{U'a', U'b', U' ', U'\u00e9', U'\u6f22', U'\U0001F600'};
constexpr int BOOKMARK_NAMES = 8;

std::u32string Widen(const std::string& text) {
    return host::Widen(text);
}

std::string Narrow(const std::u32string& text) {
    std::string narrow;
    for (char32_t c : text) {
        host::AppendCodePoint(narrow, c);
    }
    return narrow;
}

std::vector<std::pair<long, long>> Paragraphs(const host::Document& document) {
    std::vector<std::pair<long, long>> paragraphs;
    for (long at = 0; at < document.StoryEnd();) {
        paragraphs.push_back(document.ParagraphAt(at));
        if (paragraphs.back().second <= at) {
            break;  // a paragraph that does not move on: reported by the comparison
        }
        at = paragraphs.back().second;
    }
    return paragraphs;
}

std::string Show(const std::string& text) {
    std::string shown;
    for (char c : text) {
        shown += c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return "\"" + shown + "\"";
}

}  // namespace

EditOracle::EditOracle(const host::Document& document)
    : text_(Widen(document.TextOf(0, document.StoryEnd()))) {
    highlight_.resize(text_.size(), 0);
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] != MARK) {
            auto at = static_cast<long>(i);
            highlight_[i] = document.HighlightOf(at, at + 1);
        }
    }
    for (int i = 1; i <= document.BookmarkCount(true); ++i) {
        host::BookmarkInfo bookmark = document.BookmarkItem(i, true);
        bookmarks_[bookmark.name] = {bookmark.start, bookmark.end};
    }
}

std::pair<long, long> EditOracle::ParagraphOf(long position) const {
    auto at = static_cast<std::size_t>(position);
    std::size_t start = at == 0 ? 0 : text_.rfind(MARK, at - 1);
    start = at == 0 || start == std::u32string::npos ? 0 : start + 1;
    std::size_t mark = text_.find(MARK, at);
    return {static_cast<long>(start), static_cast<long>(mark) + 1};
}

void EditOracle::Insert(long position, const std::u32string& text, int highlight) {
    auto length = static_cast<long>(text.size());
    auto at = static_cast<std::size_t>(position);
    text_.insert(at, text);
    highlight_.insert(highlight_.begin() + static_cast<std::ptrdiff_t>(at), text.size(), highlight);
    for (std::size_t i = at; i < at + text.size(); ++i) {
        if (text_[i] == MARK) {
            highlight_[i] = 0;
        }
    }
    for (auto& [name, range] : bookmarks_) {
        auto& [start, end] = range;
        bool empty = start == end;
        // Text at a bookmark's start lies inside it; at its end, outside,
        // unless the bookmark is empty and so starts there too.
        if (start > position) {
            start += length;
        }
        if (end > position || (empty && end == position)) {
            end += length;
        }
    }
}

void EditOracle::Delete(long start, long end) {
    text_.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    highlight_.erase(highlight_.begin() + start, highlight_.begin() + end);
    for (auto& [name, range] : bookmarks_) {
        for (long* at : {&range.first, &range.second}) {
            if (*at >= end) {
                *at -= end - start;
            } else if (*at > start) {
                *at = start;
            }
        }
    }
}

std::string EditOracle::Apply(host::Document& document,
                              const std::function<std::uint32_t()>& next) {
    const auto storyEnd = static_cast<long>(text_.size());
    auto position = [&](long below) {
        return static_cast<long>(next() % static_cast<std::uint32_t>(below));
    };
    auto randomText = [&] {
        std::u32string text;
        for (std::uint32_t n = 1 + next() % 5; n > 0; --n) {
            text += ALPHABET[next() % ALPHABET.size()];
        }
        return text;
    };
    std::ostringstream did;
    std::uint32_t kind = next() % 100;
    if (kind < 30) {
        long at = position(storyEnd);
        std::u32string text = randomText();
        // Text goes in with the look of the character it is put before; at
        // a paragraph's end, of the character before it (none in an empty one).
        const auto index = static_cast<std::size_t>(at);
        int highlight = highlight_[index];
        if (text_[index] == MARK) {
            highlight = index > 0 && text_[index - 1] != MARK ? highlight_[index - 1] : 0;
        }
        document.InsertText(at, Narrow(text));
        Insert(at, text, highlight);
        did << "insert " << at << " " << Show(Narrow(text));
    } else if (kind < 50) {
        auto [start, end] = ParagraphOf(position(storyEnd));
        long length = end - 1 - start;
        long from = start + (length == 0 ? 0 : position(length + 1));
        long to = from + (end - 1 - from == 0 ? 0 : position(end - 1 - from + 1));
        document.DeleteText(from, to);
        Delete(from, to);
        did << "delete " << from << " " << to;
    } else if (kind < 60) {
        auto [start, end] = ParagraphOf(position(storyEnd));
        std::u32string text = U"\r" + randomText();
        document.InsertText(end - 1, Narrow(text));
        Insert(end - 1, text, 0);
        did << "paragraph after " << start << " " << Show(Narrow(text));
    } else if (kind < 75) {
        long from = position(storyEnd + 1);
        long to = from + position(storyEnd + 1 - from);
        int colour = COLOURS[next() % COLOURS.size()];
        document.SetHighlight(from, to, colour);
        for (long i = from; i < to; ++i) {
            if (text_[static_cast<std::size_t>(i)] != MARK) {
                highlight_[static_cast<std::size_t>(i)] = colour;
            }
        }
        did << "highlight " << from << " " << to << " " << colour;
    } else if (kind < 90) {
        std::string name = "BM" + std::to_string(next() % BOOKMARK_NAMES);
        long from = position(storyEnd + 1);
        long to = from + position(storyEnd + 1 - from);
        document.SetBookmark(name, from, to);
        bookmarks_[name] = {from, to};
        did << "bookmark " << name << " " << from << " " << to;
    } else {
        std::string name = "BM" + std::to_string(next() % BOOKMARK_NAMES);
        document.RemoveBookmark(name);
        bookmarks_.erase(name);
        did << "remove " << name;
    }
    return did.str();
}

std::string EditOracle::DifferenceFrom(const host::Document& document) const {
    std::string text = document.TextOf(0, document.StoryEnd());
    if (text != Narrow(text_)) {
        return "text " + Show(text) + ", expected " + Show(Narrow(text_));
    }
    std::vector<std::pair<long, long>> expected;
    for (long at = 0; at < static_cast<long>(text_.size());) {
        expected.push_back(ParagraphOf(at));
        at = expected.back().second;
    }
    if (Paragraphs(document) != expected) {
        return "paragraph bounds differ";
    }
    // Each stretch of one colour within a paragraph must read as that colour
    // as a whole: a character of another colour inside would make it mixed.
    for (std::size_t i = 0; i < text_.size();) {
        std::size_t j = i;
        while (j < text_.size() && text_[j] != MARK && highlight_[j] == highlight_[i]) {
            ++j;
        }
        if (j > i) {
            int found = document.HighlightOf(static_cast<long>(i), static_cast<long>(j));
            if (found != highlight_[i]) {
                return "highlight of characters " + std::to_string(i) + "-" + std::to_string(j) +
                       " is " + std::to_string(found) + ", expected " +
                       std::to_string(highlight_[i]);
            }
        }
        i = j == i ? i + 1 : j;
    }
    if (document.BookmarkCount(true) != static_cast<int>(bookmarks_.size())) {
        return "bookmarks: " + std::to_string(document.BookmarkCount(true)) + ", expected " +
               std::to_string(bookmarks_.size());
    }
    long previous = 0;
    for (int i = 1; i <= document.BookmarkCount(true); ++i) {
        host::BookmarkInfo bookmark = document.BookmarkItem(i, true);
        auto found = bookmarks_.find(bookmark.name);
        if (found == bookmarks_.end() ||
            found->second != std::make_pair(bookmark.start, bookmark.end)) {
            std::string want = found == bookmarks_.end()
                                   ? std::string("none")
                                   : std::to_string(found->second.first) + "-" +
                                         std::to_string(found->second.second);
            return "bookmark " + bookmark.name + " at " + std::to_string(bookmark.start) + "-" +
                   std::to_string(bookmark.end) + ", expected " + want;
        }
        if (bookmark.start < previous) {
            return "bookmark " + bookmark.name + " is out of the order of starts";
        }
        previous = bookmark.start;
    }
    return {};
}

std::string EditOracle::Difference(const host::Document& a, const host::Document& b) {
    if (a.TextOf(0, a.StoryEnd()) != b.TextOf(0, b.StoryEnd())) {
        return "text " + Show(a.TextOf(0, a.StoryEnd())) + " against " +
               Show(b.TextOf(0, b.StoryEnd()));
    }
    if (Paragraphs(a) != Paragraphs(b)) {
        return "paragraph bounds differ";
    }
    for (long at = 0; at + 1 < a.StoryEnd(); ++at) {
        if (a.HighlightOf(at, at + 1) != b.HighlightOf(at, at + 1)) {
            return "highlight of character " + std::to_string(at) + " differs";
        }
    }
    if (a.BookmarkCount(true) != b.BookmarkCount(true)) {
        return "bookmark counts differ";
    }
    for (int i = 1; i <= a.BookmarkCount(true); ++i) {
        host::BookmarkInfo x = a.BookmarkItem(i, true);
        host::BookmarkInfo y = b.BookmarkItem(i, true);
        if (x.name != y.name || x.start != y.start || x.end != y.end) {
            return "bookmark " + std::to_string(i) + ": " + x.name + " " + std::to_string(x.start) +
                   "-" + std::to_string(x.end) + " against " + y.name + " " +
                   std::to_string(y.start) + "-" + std::to_string(y.end);
        }
    }
    return {};
}

}  // namespace veln::test
