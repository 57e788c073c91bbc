// The one rule for UTF-8 text, malformed text included: counting, offsets,
// cutting and decoding agree on where every character starts.
#include "host/utf8.h"

#include <limits>

#include <gtest/gtest.h>

namespace veln::host {
namespace {

TEST(Utf8Test, WellFormedTextCountsCutsAndDecodesByCodePoint) {
    const std::string text = "a\u00E9\u20AC\U0001F600z";  // 1, 2, 3 and 4 bytes, then 1
    EXPECT_EQ(CountCharacters(text), 5);
    EXPECT_EQ(ByteOffset(text, 3), 6U);
    EXPECT_EQ(ByteOffset(text, 9), text.size());
    EXPECT_EQ(FirstCharacters(text, 2), "a\u00E9");
    EXPECT_EQ(FirstCharacters(text, std::numeric_limits<std::size_t>::max()), text)
        << "a count beyond any text cuts nothing";
    EXPECT_EQ(Widen(text), U"a\u00E9\u20AC\U0001F600z");
    std::string written;
    for (char32_t c : Widen(text)) {
        AppendCodePoint(written, c);
    }
    EXPECT_EQ(written, text);
    EXPECT_TRUE(IsValidUtf8(text + "\xEF\xBF\xBD"));
}

TEST(Utf8Test, EachMalformedCharacterCountsOnceAndDecodesAsTheReplacementCharacter) {
    // A stray continuation byte at the start, a sequence cut short, one
    // running long, an overlong '/', a surrogate, a value past U+10FFFF, a byte
    // no sequence starts with.
    const std::string text = "\x80x\xC3|\xC3\xA9\xA9|\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xFF";
    const std::u32string wide = Widen(text);
    EXPECT_EQ(wide, U"\uFFFDx\uFFFD|\uFFFD|\uFFFD|\uFFFD|\uFFFD|\uFFFD");
    EXPECT_EQ(CountCharacters(text), static_cast<long>(wide.size()));
    for (long k = 0; k <= CountCharacters(text); ++k) {
        EXPECT_EQ(Widen(text.substr(ByteOffset(text, k))), wide.substr(static_cast<std::size_t>(k)))
            << k;
    }
    EXPECT_FALSE(IsValidUtf8(text));
    std::string written;
    AppendCodePoint(written, 0xD800);
    AppendCodePoint(written, 0x110000);
    EXPECT_EQ(written, "\xEF\xBF\xBD\xEF\xBF\xBD") << "what UTF-8 cannot hold";
}

TEST(Utf8Test, ControlCharactersAreFoundAndEachBecomesOneBlank) {
    // Tab, NUL, U+0001, carriage return, DEL, a C1 control, U+FFFE, U+FFFF.
    const std::string held = std::string("a\tb") + '\0' + "c\x01\rd\x7F\u0085e\uFFFEf\uFFFFg";
    EXPECT_TRUE(HoldsControlCharacters(held));
    EXPECT_EQ(BlankControlCharacters(held), "a b c  d  e f g");
    const std::string clean = "Brake \u00E9 \u20AC\U0001F600 \uFFFD \u00A0";
    EXPECT_FALSE(HoldsControlCharacters(clean));
    EXPECT_EQ(BlankControlCharacters(clean), clean);
    EXPECT_EQ(BlankControlCharacters("\xC3|\xFF"), "\xC3|\xFF") << "malformed, not control";
}

}  // namespace
}  // namespace veln::host
