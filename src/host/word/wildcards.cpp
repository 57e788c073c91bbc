#include "host/word/wildcards.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include <re2/re2.h>

#include "host/host_error.h"
#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host {

namespace {

// RE2 runs in time linear in the text and never recurses on it, so a long
// paragraph costs time, never the stack.
constexpr std::int64_t REGEX_MEMORY = 32 << 20;

bool IsRegexSpecial(char c) {
    return std::strchr("\\^$.|?*+()[]{}", c) != nullptr && c != '\0';
}

void AppendLiteral(std::string& out, char c) {
    if (IsRegexSpecial(c)) {
        out += '\\';
    }
    out += c;
}

// The word processor's wildcards as an RE2 pattern over UTF-8 text.
std::string Translate(std::string_view pattern) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        switch (c) {
            case '*':
                out += "[^\\r]*?";
                break;
            case '?':
                out += "[^\\r]";
                break;
            case '@':
                out += '+';
                break;
            case '<':
            case '>':
                out += "\\b";
                break;
            case '(':
            case ')':
                out += c;
                break;
            case '{': {
                std::size_t close = pattern.find('}', i);
                if (close == std::string_view::npos) {
                    throw HostError(WordError::COMMAND_FAILED, "unmatched { in the pattern");
                }
                out += pattern.substr(i, close - i + 1);
                i = close;
                break;
            }
            case '[': {
                std::size_t close = pattern.find(']', i + 1);
                if (close == std::string_view::npos) {
                    throw HostError(WordError::COMMAND_FAILED, "unmatched [ in the pattern");
                }
                out += '[';
                std::size_t from = i + 1;
                if (from < close && pattern[from] == '!') {
                    out += '^';
                    ++from;
                }
                for (std::size_t k = from; k < close; ++k) {
                    char member = pattern[k];
                    if (member == '\\' || member == '^' || member == '[') {
                        out += '\\';
                    }
                    out += member;
                }
                out += ']';
                i = close;
                break;
            }
            case '\\':
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

// Compiling a pattern costs far more than matching one element's text: the
// patterns a thread has used are kept.
const RE2& Compiled(std::string_view pattern) {
    thread_local std::map<std::string, std::unique_ptr<RE2>, std::less<>> compiled;
    auto found = compiled.find(pattern);
    if (found == compiled.end()) {
        RE2::Options options;
        options.set_log_errors(false);
        options.set_max_mem(REGEX_MEMORY);
        auto regex = std::make_unique<RE2>(Translate(pattern), options);
        if (!regex->ok()) {
            throw HostError(WordError::COMMAND_FAILED, "the pattern " + std::string(pattern) +
                                                           " is not valid: " + regex->error());
        }
        found = compiled.emplace(std::string(pattern), std::move(regex)).first;
    }
    return *found->second;
}

// Byte offsets of matches into character positions, walking the text once.
class Positions {
  public:
    explicit Positions(std::string_view text) : text_(text) {}
    long At(std::size_t byte) {
        characters_ += CountCharacters(text_.substr(byte_, byte - byte_));
        byte_ = byte;
        return characters_;
    }

  private:
    std::string_view text_;
    std::size_t byte_ = 0;
    long characters_ = 0;
};

std::vector<TextMatch> FindPlain(std::string_view text, std::string_view pattern) {
    std::vector<TextMatch> matches;
    // A match never crosses a paragraph mark.
    if (pattern.find('\r') != std::string_view::npos) {
        return matches;
    }
    Positions positions(text);
    const long length = CountCharacters(pattern);
    // glibc's memmem is linear in the text whatever the pattern.
    for (std::size_t from = 0; from + pattern.size() <= text.size();) {
        const void* hit =
            memmem(text.data() + from, text.size() - from, pattern.data(), pattern.size());
        if (hit == nullptr) {
            break;
        }
        auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        matches.push_back({positions.At(at), length});
        from = at + pattern.size();
    }
    return matches;
}

std::vector<TextMatch> FindWildcards(std::string_view text, std::string_view pattern) {
    std::vector<TextMatch> matches;
    // A pattern that begins with plain characters cannot match a text that
    // lacks them: most texts are turned away without compiling anything.
    std::string_view literal =
        pattern.substr(0, std::min(pattern.find_first_of("*?[]@{}<>()\\"), pattern.size()));
    if (!literal.empty() && text.find(literal) == std::string_view::npos) {
        return matches;
    }
    const RE2& regex = Compiled(pattern);
    Positions positions(text);
    re2::StringPiece input(text.data(), text.size());
    // Paragraph by paragraph: a match never crosses a mark.
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t mark = std::min(text.find('\r', from), text.size());
        for (std::size_t at = from; at <= mark;) {
            re2::StringPiece found;
            if (!regex.Match(input, at, mark, RE2::UNANCHORED, &found, 1)) {
                break;
            }
            auto start = static_cast<std::size_t>(found.data() - text.data());
            if (found.empty()) {
                // Nothing matched here: try again from the next character.
                at = start < mark ? start + ByteOffset(text.substr(start), 1) : mark + 1;
                continue;
            }
            long first = positions.At(start);
            matches.push_back({first, positions.At(start + found.size()) - first});
            at = start + found.size();
        }
        from = mark + 1;
    }
    return matches;
}

}  // namespace

std::vector<TextMatch> FindMatches(std::string_view text, std::string_view pattern,
                                   bool wildcards) {
    if (pattern.empty()) {
        return {};
    }
    return wildcards ? FindWildcards(text, pattern) : FindPlain(text, pattern);
}

}  // namespace veln::host
