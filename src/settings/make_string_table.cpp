// Build tool: turns string_table.tsv into the compiled-in string table.
// Each data line is: English id, tab, "English text", tab, "French text"; the
// texts stand between their outer quotes exactly. The French id is the English
// id + 400. A malformed line stops the build with its line number.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int FRENCH_OFFSET = 400;

std::string Unquote(const std::string& field, bool& ok) {
    ok = field.size() >= 2 && field.front() == '"' && field.back() == '"';
    return ok ? field.substr(1, field.size() - 2) : std::string();
}

// A C++ string literal holding exactly the bytes of text.
std::string Literal(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f || c == '?') {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_string_table TABLE.tsv OUTPUT.cpp\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot read\n";
        return 1;
    }
    std::map<int, std::string> texts;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) {
            fields.push_back(field);
        }
        bool okEnglish = false;
        bool okFrench = false;
        int id = 0;
        try {
            id = fields.size() == 3 ? std::stoi(fields[0]) : 0;
        } catch (const std::exception&) {
            id = 0;
        }
        std::string english = fields.size() == 3 ? Unquote(fields[1], okEnglish) : "";
        std::string french = fields.size() == 3 ? Unquote(fields[2], okFrench) : "";
        if (id < 101 || id >= FRENCH_OFFSET || !okEnglish || !okFrench || texts.contains(id)) {
            std::cerr << argv[1] << ":" << number << ": malformed or repeated entry\n";
            return 1;
        }
        texts[id] = english;
        texts[id + FRENCH_OFFSET] = french;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << "// Generated from string_table.tsv by make_string_table. Do not edit.\n"
        << "#include \"settings/string_table.h\"\n\n"
        << "namespace veln::StringTable {\n\n"
        << "namespace {\nconstexpr Entry ENTRIES[] = {\n";
    for (const auto& [id, text] : texts) {
        out << "    {" << id << ", " << Literal(text) << "},\n";
    }
    out << "};\n}  // namespace\n\n"
        << "std::span<const Entry> Entries() { return ENTRIES; }\n\n"
        << "}  // namespace veln::StringTable\n";
    return out ? 0 : 1;
}
