// Finding with the word processor's wildcards and plain text on long input:
// the cost and the stack grow with nothing but the text.
#include "host/word/wildcards.h"

#include <gtest/gtest.h>

#include "host/host_error.h"

namespace veln::host {
namespace {

TEST(LongInputTest, AMarkerOfAHundredThousandDigitsIsFoundWithoutRecursion) {
    const std::string digits(100000, '7');
    const std::string text = "before //" + digits + "// after\r//1.2.0.0// x";
    auto matches = FindMatches(text, "//*// ", true);
    ASSERT_EQ(matches.size(), 2U);
    EXPECT_EQ(matches[0].start, 7);
    EXPECT_EQ(matches[0].length, 100000 + 5);
    EXPECT_EQ(FindMatches(text, "//[0-9.]@// ", true).size(), 2U);
    EXPECT_EQ(FindMatches("é//1// x", "//*// ", true).front().start, 1) << "in characters";
    EXPECT_THROW(FindMatches(text, "[0-9", true), HostError);
}

TEST(LongInputTest, PlainTextOfTwoHundredThousandCharactersIsFound) {
    std::string needle(200000, 'a');
    needle += 'b';
    const std::string text = "é" + std::string(250000, 'a') + "b" + "\r" + needle;
    auto matches = FindMatches(text, needle, false);
    ASSERT_EQ(matches.size(), 2U);
    EXPECT_EQ(matches[0].start, 50001);
    EXPECT_EQ(matches[1].start, 250003);
    EXPECT_EQ(matches[1].length, 200001);
    EXPECT_TRUE(FindMatches("a\rb", "a\rb", false).empty()) << "never over a paragraph mark";
}

}  // namespace
}  // namespace veln::host
