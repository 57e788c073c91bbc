#include "script_reader.h"

#include <fstream>

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

std::string ScriptLine::Where() const {
    return (file.empty() ? "" : file + " ") + "line " + std::to_string(number);
}

namespace {

// Deep enough for any fixture; an include cycle stops here.
constexpr int MAX_INCLUDE_DEPTH = 8;

std::vector<ScriptLine> ReadLines(std::istream& in, const std::filesystem::path& folder, int depth);

std::vector<ScriptLine> Included(const std::vector<Word>& words,
                                 const std::filesystem::path& folder, int depth) {
    if (words.size() != 2) {
        throw ScriptError("usage: include FILE");
    }
    if (depth >= MAX_INCLUDE_DEPTH) {
        throw ScriptError("includes nested deeper than " + std::to_string(MAX_INCLUDE_DEPTH) +
                          ": " + words[1].text);
    }
    std::filesystem::path file = folder / words[1].text;
    std::ifstream stream(file);
    if (!std::filesystem::is_regular_file(file) || !stream) {
        throw ScriptError("cannot read the included script " + file.string());
    }
    std::vector<ScriptLine> lines;
    try {
        lines = ReadLines(stream, file.parent_path(), depth + 1);
    } catch (const ScriptError& error) {
        throw ScriptError(words[1].text + " " + error.what());
    }
    for (ScriptLine& line : lines) {
        if (line.file.empty()) {
            line.file = words[1].text;
        }
    }
    return lines;
}

std::vector<ScriptLine> ReadLines(std::istream& in, const std::filesystem::path& folder,
                                  int depth) {
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
            if (!words.empty() && words[0] == "include") {
                std::vector<ScriptLine> included = Included(words, folder, depth);
                lines.insert(lines.end(), included.begin(), included.end());
            } else if (!words.empty()) {
                lines.push_back({number, std::move(words), ""});
            }
        } catch (const ScriptError& error) {
            throw ScriptError("line " + std::to_string(number) + ": " + error.what());
        }
    }
    return lines;
}

}  // namespace

std::vector<ScriptLine> ReadScript(std::istream& in, const std::filesystem::path& folder) {
    return ReadLines(in, folder, 0);
}

}  // namespace veln::cli
