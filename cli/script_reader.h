// Reads session scripts: one command a line, "#" starts a comment, words
// separated by blanks, double quotes around words with blanks, and the escapes
// \" \\ \r \n \t inside them.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace veln::cli {

struct Word {
    std::string text;
    bool quoted = false;  // "cancel" in quotes is a text, cancel bare a keyword

    bool operator==(const std::string& other) const { return !quoted && text == other; }
};

struct ScriptLine {
    int number = 0;
    std::vector<Word> words;
};

class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The words of one line; an unterminated quote or an unknown escape is an error.
std::vector<Word> SplitWords(const std::string& line);
// The non-empty lines of a script, numbered from 1 as in the file.
std::vector<ScriptLine> ReadScript(std::istream& in);

}  // namespace veln::cli
