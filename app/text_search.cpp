#include "text_search.h"

#include <QChar>
#include <QString>

namespace veln::desktop {

namespace {

char32_t Folded(char32_t c) {
    return QChar::toCaseFolded(c);
}

bool IsWordCharacter(char32_t c) {
    return c == U'_' || QChar::isLetterOrNumber(c);
}

}  // namespace

std::u32string TextSearch::Decode(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU32String();
}

TextSearch::TextSearch(const std::string& needle, SearchOptions options)
    : needle_(Decode(needle)), options_(options) {
    if (!options_.matchCase) {
        for (char32_t& c : needle_) {
            c = Folded(c);
        }
    }
}

bool TextSearch::MatchesAt(const std::u32string& text, long at) const {
    const auto size = static_cast<long>(needle_.size());
    if (needle_.empty() || at < 0 || at + size > static_cast<long>(text.size())) {
        return false;
    }
    for (long i = 0; i < size; ++i) {
        char32_t c = text[static_cast<std::size_t>(at + i)];
        if ((options_.matchCase ? c : Folded(c)) != needle_[static_cast<std::size_t>(i)]) {
            return false;
        }
    }
    if (options_.wholeWords) {
        const bool wordBefore = at > 0 && IsWordCharacter(text[static_cast<std::size_t>(at - 1)]);
        const auto end = static_cast<std::size_t>(at + size);
        const bool wordAfter = end < text.size() && IsWordCharacter(text[end]);
        return !wordBefore && !wordAfter;
    }
    return true;
}

bool TextSearch::Matches(const std::u32string& text, long start, long end) const {
    return end - start == static_cast<long>(needle_.size()) && MatchesAt(text, start);
}

std::optional<std::pair<long, long>> TextSearch::Next(const std::u32string& text, long from) const {
    const auto size = static_cast<long>(needle_.size());
    const auto last = static_cast<long>(text.size()) - size;
    for (long pass = 0; pass < 2; ++pass) {
        for (long at = pass == 0 ? std::max(0L, from) : 0; at <= last; ++at) {
            if (MatchesAt(text, at)) {
                return std::make_pair(at, at + size);
            }
        }
    }
    return std::nullopt;
}

std::optional<std::pair<long, long>> TextSearch::Previous(const std::u32string& text,
                                                          long from) const {
    const auto size = static_cast<long>(needle_.size());
    const auto last = static_cast<long>(text.size()) - size;
    for (long pass = 0; pass < 2; ++pass) {
        for (long at = pass == 0 ? std::min(last, from - size) : last; at >= 0; --at) {
            if (MatchesAt(text, at)) {
                return std::make_pair(at, at + size);
            }
        }
    }
    return std::nullopt;
}

std::vector<std::pair<long, long>> TextSearch::All(const std::u32string& text) const {
    std::vector<std::pair<long, long>> matches;
    const auto size = static_cast<long>(needle_.size());
    const auto last = static_cast<long>(text.size()) - size;
    for (long at = 0; !needle_.empty() && at <= last;) {
        if (MatchesAt(text, at)) {
            matches.emplace_back(at, at + size);
            at += size;
        } else {
            ++at;
        }
    }
    return matches;
}

}  // namespace veln::desktop
