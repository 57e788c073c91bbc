#include "host/docx/xml_text.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "host/host_error.h"
#include "host/utf8.h"

namespace veln::host::docx {

namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";

std::string CodeName(char32_t c) {
    constexpr const char* DIGITS = "0123456789ABCDEF";
    std::string hex;
    for (; c != 0 || hex.size() < 4; c >>= 4) {
        hex.insert(hex.begin(), DIGITS[c & 0xF]);
    }
    return "U+" + hex;
}

// The length of a character reference to a character XML does not allow at
// text[at] ("&#1;"), 0 for anything else.
std::size_t ForbiddenReference(std::string_view text, std::size_t at) {
    if (at + 3 >= text.size() || text[at + 1] != '#') {
        return 0;
    }
    std::size_t i = at + 2;
    bool hex = text[i] == 'x';
    i += hex ? 1 : 0;
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && digits < 10; ++i, ++digits) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'          ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
        if (digit < 0) {
            break;
        }
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    // A reference the parser will refuse anyway is left to it.
    if (digits == 0 || i >= text.size() || text[i] != ';') {
        return 0;
    }
    bool allowed = value <= 0x10FFFF && IsXmlCharacter(static_cast<char32_t>(value));
    return allowed ? 0 : i + 1 - at;
}

// Eight bytes at once: none of them needs a second look (all ASCII, none a
// control character, none an '&').
bool PlainWord(const char* bytes) {
    constexpr std::uint64_t ONES = 0x0101010101010101ULL;
    constexpr std::uint64_t HIGHS = 0x8080808080808080ULL;
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    std::uint64_t below32 = (word - ONES * 0x20) & ~word & HIGHS;
    std::uint64_t ampersands = word ^ (ONES * '&');
    ampersands = (ampersands - ONES) & ~ampersands & HIGHS;
    return ((word & HIGHS) | below32 | ampersands) == 0;
}

// Walks xml from `at`; with out, copies it there mended; without, stops at
// the first thing to mend and returns its place (xml.size() when none).
std::size_t Scan(std::string_view xml, std::size_t at, std::string* out, std::size_t& mended) {
    std::size_t copied = at;
    auto mend = [&](std::size_t from, std::size_t to) {
        out->append(xml.substr(copied, from - copied));
        out->append(REPLACEMENT);
        copied = to;
        ++mended;
    };
    while (at < xml.size()) {
        if (at + 8 <= xml.size() && PlainWord(xml.data() + at)) {
            at += 8;
            continue;
        }
        auto byte = static_cast<unsigned char>(xml[at]);
        std::size_t next = at + 1;
        bool bad = false;
        if (byte == '&') {
            std::size_t length = ForbiddenReference(xml, at);
            bad = length > 0;
            next = at + (bad ? length : 1);
        } else if (byte < 0x20) {
            bad = byte != '\t' && byte != '\n' && byte != '\r';
        } else if (byte >= 0x80) {
            std::size_t end = at;
            char32_t c = DecodeCharacter(xml, end);
            bool replacementWritten =
                c == REPLACEMENT_CHARACTER && xml.substr(at, end - at) == REPLACEMENT;
            bad = (c == REPLACEMENT_CHARACTER && !replacementWritten) || !IsXmlCharacter(c);
            next = end;
        }
        if (bad) {
            if (out == nullptr) {
                return at;
            }
            mend(at, next);
        }
        at = next;
    }
    if (out != nullptr) {
        out->append(xml.substr(copied));
    }
    return xml.size();
}

}  // namespace

std::string UnwritableCharacter(std::string_view text, bool (*allowed)(char32_t)) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t start = at;
        char32_t c = DecodeCharacter(text, at);
        if (c == REPLACEMENT_CHARACTER && text.substr(start, at - start) != REPLACEMENT) {
            return "a byte that is not UTF-8";
        }
        if (c == 0 || (!IsXmlCharacter(c) && (allowed == nullptr || !allowed(c)))) {
            return CodeName(c);
        }
    }
    return {};
}

void RequireWritable(std::string_view text, const std::string& what, long number,
                     bool (*allowed)(char32_t)) {
    std::string character = UnwritableCharacter(text, allowed);
    if (!character.empty()) {
        throw HostError(number, what + " holds " + character + ", which a document cannot hold");
    }
}

std::size_t MendXml(std::string& xml) {
    // A part in UTF-16 (a byte-order mark, or a NUL in its first two bytes)
    // is left to the parser, which converts it.
    if (xml.size() >= 2 && (xml.starts_with("\xFF\xFE") || xml.starts_with("\xFE\xFF") ||
                            xml[0] == '\0' || xml[1] == '\0')) {
        return 0;
    }
    std::size_t mended = 0;
    std::size_t first = Scan(xml, 0, nullptr, mended);
    if (first == xml.size()) {
        return 0;
    }
    std::string out;
    out.reserve(xml.size() + 64);
    out.append(xml, 0, first);
    Scan(xml, first, &out, mended);
    xml = std::move(out);
    return mended;
}

}  // namespace veln::host::docx
