// Characters of UTF-8 text: code points, never cut in two. The one place that
// knows how UTF-8 is laid out; everything that counts, cuts, decodes or
// writes characters goes through here.
//
// Text from outside may be malformed, so every function follows one rule: a
// character starts at the first byte of the text and at every byte that is
// not a continuation byte (10xxxxxx), and runs up to the next start. A
// character that is not well-formed UTF-8 (a stray continuation byte, a
// sequence cut short or running long, an overlong form, a surrogate, a value
// past U+10FFFF) still counts as one character, and decodes as U+FFFD.
// Counting, offsets and decoding therefore always agree.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace veln::host {

inline constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

inline bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A plain counting loop, which the compiler vectorises.
inline long CountCharacters(std::string_view text) {
    long count = 0;
    for (char c : text) {
        count += static_cast<long>(!IsContinuationByte(c));
    }
    // Continuation bytes at the very start make a character of their own.
    return count + static_cast<long>(!text.empty() && IsContinuationByte(text.front()));
}

// The byte at which character number `characters` (from 0) starts;
// text.size() when the text is shorter.
inline std::size_t ByteOffset(std::string_view text, long characters) {
    if (characters <= 0 || text.empty()) {
        return 0;
    }
    long seen = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (!IsContinuationByte(text[i]) && ++seen == characters) {
            return i;
        }
    }
    return text.size();
}

// The first count characters of text.
inline std::string FirstCharacters(std::string_view text, std::size_t count) {
    // A text never holds more characters than bytes: a larger count cuts nothing.
    if (count >= text.size()) {
        return std::string(text);
    }
    return std::string(text.substr(0, ByteOffset(text, static_cast<long>(count))));
}

// Decodes the character that starts at `at` and moves `at` past it.
inline char32_t DecodeCharacter(std::string_view text, std::size_t& at) {
    std::size_t end = at + 1;
    while (end < text.size() && IsContinuationByte(text[end])) {
        ++end;
    }
    auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = end - at;
    at = end;
    // The length the lead byte announces, and the least value of that length.
    std::size_t expected = lead < 0x80   ? 1
                           : lead < 0xC0 ? 0
                           : lead < 0xE0 ? 2
                           : lead < 0xF0 ? 3
                                         : 4;
    if (lead >= 0xF8 || expected != length) {
        return REPLACEMENT_CHARACTER;
    }
    if (length == 1) {
        return lead;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = end - length + 1; i < end; ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    constexpr char32_t LEAST[] = {0, 0, 0x80, 0x800, 0x10000};
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < LEAST[length] || surrogate || code > 0x10FFFF ? REPLACEMENT_CHARACTER : code;
}

// The code points of text.
inline std::u32string Widen(std::string_view text) {
    std::u32string wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        wide.push_back(DecodeCharacter(text, at));
    }
    return wide;
}

// Appends one code point; a surrogate or a value past U+10FFFF, which UTF-8
// cannot hold, is appended as U+FFFD.
inline void AppendCodePoint(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        c = REPLACEMENT_CHARACTER;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// True when every character of text is well-formed UTF-8.
inline bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t start = at;
        char32_t c = DecodeCharacter(text, at);
        // U+FFFD written out is three well-formed bytes; a malformed one is not.
        if (c == REPLACEMENT_CHARACTER && text.substr(start, at - start) != "\xEF\xBF\xBD") {
            return false;
        }
    }
    return true;
}

// The last count characters of text.
inline std::string LastCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = text.size(); i > 0; --i) {
        if ((static_cast<unsigned char>(text[i - 1]) & 0xC0) != 0x80 && ++seen == count) {
            return std::string(text.substr(i - 1));
        }
    }
    return std::string(text);
}

// The text with every byte that does not start a well-formed UTF-8 sequence
// (overlong forms, surrogates and code points past U+10FFFF included)
// replaced by U+FFFD, so that whatever a file gives us can be written as XML.
inline std::string ValidUtf8(std::string_view text) {
    constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";
    std::string valid;
    valid.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (byte < 0x80) {
            length = 1;
            code = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            length = 2;
            code = byte & 0x1FU;
            least = 0x80;
        } else if ((byte & 0xF0) == 0xE0) {
            length = 3;
            code = byte & 0x0FU;
            least = 0x800;
        } else if ((byte & 0xF8) == 0xF0) {
            length = 4;
            code = byte & 0x07U;
            least = 0x10000;
        }
        bool ok = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            ok = (next & 0xC0) == 0x80;
            code = (code << 6U) | (next & 0x3FU);
        }
        ok = ok && code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (ok) {
            valid.append(text.substr(i, length));
            i += length;
        } else {
            valid.append(REPLACEMENT);
            ++i;
        }
    }
    return valid;
}

// Tab, line feed, carriage return, and U+0020 on, but for surrogates,
// U+FFFE and U+FFFF: the characters an XML 1.0 part can hold.
inline bool IsXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The text as an XML part can hold it: what is not UTF-8 becomes U+FFFD, and
// the characters XML forbids (control characters, U+FFFE, U+FFFF) are left out.
inline std::string XmlWritable(std::string_view text) {
    std::string valid = ValidUtf8(text);
    // Most texts hold none: one pass over the bytes says so.
    bool control = std::any_of(valid.begin(), valid.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
    if (!control && valid.find("\xEF\xBF\xBE") == std::string::npos &&
        valid.find("\xEF\xBF\xBF") == std::string::npos) {
        return valid;
    }
    std::string writable;
    writable.reserve(valid.size());
    for (std::size_t at = 0; at < valid.size();) {
        char32_t c = DecodeCharacter(valid, at);
        if (IsXmlCharacter(c)) {
            AppendCodePoint(writable, c);
        }
    }
    return writable;
}

// What a label or a value of the project may hold: what XML can carry but
// the control characters, tab, line feed and carriage return included, and
// the C1 controls (U+007F to U+009F), which no reader shows.
inline bool IsTextCharacter(char32_t c) {
    return c >= 0x20 && !(c >= 0x7F && c <= 0x9F) && IsXmlCharacter(c);
}

// True when text holds a character a label or a value may not (malformed
// UTF-8 aside, which reads as U+FFFD).
inline bool HoldsControlCharacters(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (!IsTextCharacter(DecodeCharacter(text, at))) {
            return true;
        }
    }
    return false;
}

// The text with a blank for each character a label or a value may not hold,
// so that what an older project stored is shown whole, never cut or refused.
inline std::string BlankControlCharacters(std::string_view text) {
    if (!HoldsControlCharacters(text)) {
        return std::string(text);
    }
    std::string blanked;
    blanked.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t start = at;
        if (IsTextCharacter(DecodeCharacter(text, at))) {
            blanked.append(text.substr(start, at - start));
        } else {
            blanked += ' ';
        }
    }
    return blanked;
}

}  // namespace veln::host
