#include "host/word/wildcards.h"

#include <algorithm>
#include <map>
#include <regex>
#include <string>

#include "host/host_error.h"
#include "host/word/document.h"

namespace veln::host {

namespace {

std::wstring Widen(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? byte : byte & (0x3F >> extra);
        std::size_t j = 1;
        for (; j <= static_cast<std::size_t>(extra) && i + j < text.size(); ++j) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + j]) & 0x3F);
        }
        wide.push_back(static_cast<wchar_t>(code));
        i += j;
    }
    return wide;
}

bool IsRegexSpecial(wchar_t c) {
    return std::wstring_view(L"\\^$.|?*+()[]{}").find(c) != std::wstring_view::npos;
}

void AppendLiteral(std::wstring& out, wchar_t c) {
    if (IsRegexSpecial(c)) {
        out += L'\\';
    }
    out += c;
}

std::wstring Translate(const std::wstring& pattern, bool wildcards) {
    std::wstring out;
    if (!wildcards) {
        for (wchar_t c : pattern) {
            AppendLiteral(out, c);
        }
        return out;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        wchar_t c = pattern[i];
        switch (c) {
            case L'*':
                out += L"[^\\r]*?";
                break;
            case L'?':
                out += L"[^\\r]";
                break;
            case L'@':
                out += L'+';
                break;
            case L'<':
            case L'>':
                out += L"\\b";
                break;
            case L'(':
            case L')':
                out += c;
                break;
            case L'{': {
                std::size_t close = pattern.find(L'}', i);
                if (close == std::wstring::npos) {
                    throw HostError(WordError::COMMAND_FAILED, "unmatched { in the pattern");
                }
                out += pattern.substr(i, close - i + 1);
                i = close;
                break;
            }
            case L'[': {
                std::size_t close = pattern.find(L']', i + 1);
                if (close == std::wstring::npos) {
                    throw HostError(WordError::COMMAND_FAILED, "unmatched [ in the pattern");
                }
                out += L'[';
                std::size_t from = i + 1;
                if (from < close && pattern[from] == L'!') {
                    out += L'^';
                    ++from;
                }
                for (std::size_t k = from; k < close; ++k) {
                    wchar_t member = pattern[k];
                    if (member == L'\\' || member == L'^' || member == L'[') {
                        out += L'\\';
                    }
                    out += member;
                }
                out += L']';
                i = close;
                break;
            }
            case L'\\':
                if (i + 1 < pattern.size()) {
                    AppendLiteral(out, pattern[++i]);
                }
                break;
            default:
                AppendLiteral(out, c);
        }
    }
    return out;
}

}  // namespace

std::vector<TextMatch> FindMatches(std::string_view text, std::string_view pattern,
                                   bool wildcards) {
    std::vector<TextMatch> matches;
    if (pattern.empty()) {
        return matches;
    }
    // A pattern that begins with plain characters cannot match a text that
    // lacks them: most texts are turned away without the regex engine.
    std::string_view literal = pattern.substr(
        0, wildcards ? std::min(pattern.find_first_of("*?[]@{}<>()\\"), pattern.size())
                     : pattern.size());
    if (!literal.empty() && text.find(literal) == std::string_view::npos) {
        return matches;
    }
    // Compiling a pattern costs far more than matching one element's text:
    // the patterns a thread has used are kept.
    thread_local std::map<std::pair<std::string, bool>, std::wregex> compiled;
    auto key = std::make_pair(std::string(pattern), wildcards);
    auto found = compiled.find(key);
    if (found == compiled.end()) {
        try {
            found = compiled
                        .emplace(key, std::wregex(Translate(Widen(pattern), wildcards),
                                                  std::regex::ECMAScript))
                        .first;
        } catch (const std::regex_error& error) {
            throw HostError(WordError::COMMAND_FAILED, "the pattern " + std::string(pattern) +
                                                           " is not valid: " + error.what());
        }
    }
    const std::wregex& regex = found->second;
    // Paragraph by paragraph: a match never crosses a mark, and the regex
    // engine never sees more than one paragraph at a time.
    std::wstring wide = Widen(text);
    std::size_t from = 0;
    while (from <= wide.size()) {
        std::size_t mark = wide.find(L'\r', from);
        std::size_t to = mark == std::wstring::npos ? wide.size() : mark;
        auto begin = wide.cbegin() + static_cast<std::ptrdiff_t>(from);
        auto end = wide.cbegin() + static_cast<std::ptrdiff_t>(to);
        for (std::wsregex_iterator it(begin, end, regex), last; it != last; ++it) {
            if (it->length(0) > 0) {
                matches.push_back({static_cast<long>(from) + static_cast<long>(it->position(0)),
                                   static_cast<long>(it->length(0))});
            }
        }
        if (mark == std::wstring::npos) {
            break;
        }
        from = mark + 1;
    }
    return matches;
}

}  // namespace veln::host
