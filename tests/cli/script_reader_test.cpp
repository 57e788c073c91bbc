// Script lines split into words as the automation guide says.
#include "script_reader.h"

#include <sstream>
#include <utility>

#include <gmock/gmock.h>

#include "error_of.h"
#include "temp_dir.h"

namespace veln::cli {
namespace {

std::vector<std::string> Texts(const std::string& line) {
    std::vector<std::string> texts;
    for (const auto& word : SplitWords(line)) {
        texts.push_back(word.text);
    }
    return texts;
}

TEST(ScriptReaderTest, WordsQuotesEscapesAndComments) {
    EXPECT_EQ(Texts("  select   text \"two words\" 2  # the second"),
              (std::vector<std::string>{"select", "text", "two words", "2"}));
    EXPECT_EQ(Texts(R"(append "a \"quoted\" \\ word\r\n\tend")"),
              (std::vector<std::string>{"append", "a \"quoted\" \\ word\r\n\tend"}));
    EXPECT_EQ(Texts(R"(answer input "# not a comment")"),
              (std::vector<std::string>{"answer", "input", "# not a comment"}));
    EXPECT_EQ(Texts(R"(answer input "")"), (std::vector<std::string>{"answer", "input", ""}));
    EXPECT_TRUE(SplitWords("# only a comment").empty());

    auto words = SplitWords(R"(answer input cancel "cancel")");
    EXPECT_TRUE(words[2] == "cancel") << "a bare word is a keyword";
    EXPECT_FALSE(words[3] == "cancel") << "a quoted one is a text";
    EXPECT_EQ(words[3].text, "cancel");
}

TEST(ScriptReaderTest, BrokenLinesNameTheirLine) {
    EXPECT_THROW(SplitWords(R"(append "never closed)"), ScriptError);
    EXPECT_THROW(SplitWords(R"(append "bad \q escape")"), ScriptError);
    std::istringstream script("new\n\n# comment\nappend \"open\nprint text\r\n");
    EXPECT_EQ(test::ErrorOf<ScriptError>([&] { ReadScript(script); }).text,
              "line 4: a quoted text is not closed");
    std::istringstream good("new\n\n  # comment\nprint text\r\n");
    auto lines = ReadScript(good);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[1].number, 4);
    EXPECT_EQ(lines[1].words.size(), 2U) << "a carriage return before the line feed is a blank";
}

TEST(ScriptReaderTest, AByteOrderMarkIsSkippedAndANulRefused) {
    std::istringstream marked("\xEF\xBB\xBFnew\nappend \"\xEF\xBB\xBFkept\"\n");
    auto lines = ReadScript(marked);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_TRUE(lines[0].words[0] == "new");
    EXPECT_EQ(lines[1].words[1].text, "\xEF\xBB\xBFkept") << "only at the start of the script";

    std::istringstream nul(std::string("new\nappend \"cut\0here\"\n", 22));
    EXPECT_EQ(test::ErrorOf<ScriptError>([&] { ReadScript(nul); }).text,
              "line 2: a NUL character cannot stand in a script");
}

TEST(ScriptReaderTest, AnIncludedFileStandsInPlaceAndNamesItsOwnLines) {
    test::TempDir dir;
    test::WriteFile(dir / "fixtures/project.veln", "# shared\nanswer folder .\n\ncall Make\n");
    test::WriteFile(dir / "fixtures/broken.veln", "new\nappend \"open\n");
    test::WriteFile(dir / "fixtures/loop.veln", "include loop.veln\n");
    std::istringstream script("new\ninclude fixtures/project.veln\nprint text\n");
    auto lines = ReadScript(script, dir.Path());
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[1].words[1].text, "folder");
    EXPECT_EQ(lines[2].Where(), "fixtures/project.veln line 4");
    EXPECT_EQ(lines[3].Where(), "line 3");

    for (auto [line, message] :
         {std::pair{"include fixtures/broken.veln",
                    "line 1: fixtures/broken.veln line 2: "
                    "a quoted text is not closed"},
          {"include fixtures/missing.veln", "line 1: cannot read the included script"},
          {"include fixtures", "line 1: cannot read the included script"},
          {"include a b", "line 1: usage: include FILE"},
          {"include fixtures/loop.veln", "includes nested deeper than 8"}}) {
        std::istringstream bad(line);
        EXPECT_THAT(test::ErrorOf<ScriptError>([&] { ReadScript(bad, dir.Path()); }).text,
                    ::testing::HasSubstr(message))
            << line;
    }
}

}  // namespace
}  // namespace veln::cli
