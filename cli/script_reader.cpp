#include "script_reader.h"

namespace veln::cli {

std::vector<Word> SplitWords(const std::string& line) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') {
            break;
        }
        Word word;
        if (c == '"') {
            word.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d != '\\') {
                    word.text += d;
                    continue;
                }
                if (i == line.size()) {
                    break;
                }
                switch (line[i++]) {
                    case '"':
                        word.text += '"';
                        break;
                    case '\\':
                        word.text += '\\';
                        break;
                    case 'r':
                        word.text += '\r';
                        break;
                    case 'n':
                        word.text += '\n';
                        break;
                    case 't':
                        word.text += '\t';
                        break;
                    default:
                        throw ScriptError(std::string("unknown escape \\") + line[i - 1]);
                }
            }
            if (!closed) {
                throw ScriptError("a quoted text is not closed");
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word.text += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<ScriptLine> ReadScript(std::istream& in) {
    std::vector<ScriptLine> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        // A byte-order mark, which some editors write, is no part of the first line.
        if (number == 1 && text.starts_with("\xEF\xBB\xBF")) {
            text.erase(0, 3);
        }
        try {
            if (text.find('\0') != std::string::npos) {
                throw ScriptError("a NUL character cannot stand in a script");
            }
            std::vector<Word> words = SplitWords(text);
            if (!words.empty()) {
                lines.push_back({number, std::move(words)});
            }
        } catch (const ScriptError& error) {
            throw ScriptError("line " + std::to_string(number) + ": " + error.what());
        }
    }
    return lines;
}

}  // namespace veln::cli
