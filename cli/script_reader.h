// Reads session scripts: one command a line, "#" starts a comment, words
// separated by blanks, double quotes around words with blanks, and the escapes
// \" \\ \r \n \t inside them.
#pragma once

#include <filesystem>
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
    std::string file;  // the included file the line comes from, "" for the script itself

    // "line 7", or "project.veln line 7" for an included line.
    std::string Where() const;
};

class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The words of one line; an unterminated quote or an unknown escape is an error.
std::vector<Word> SplitWords(const std::string& line);
// The non-empty lines of a script, numbered from 1 as in the file. A line
// "include FILE" stands for the lines of FILE, found from folder (the
// script's own): scripts share their set-up that way.
std::vector<ScriptLine> ReadScript(std::istream& in, const std::filesystem::path& folder = ".");

}  // namespace veln::cli
