// Build tool: turns string_table.tsv into the compiled-in string table and the
// header of its names. Each data line is: English id, tab, NAME, tab,
// "English text", tab, "French text"; the texts stand between their outer
// quotes exactly. The French id is the English id + 400. A malformed or
// repeated line stops the build with its line number.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
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

// NAME: capitals, digits and underscores, starting with a capital.
bool IsConstantName(const std::string& name) {
    return !name.empty() && name[0] >= 'A' && name[0] <= 'Z' &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
           });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_string_table TABLE.tsv OUTPUT.cpp OUTPUT.h\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot read\n";
        return 1;
    }
    std::map<int, std::string> texts;
    std::map<int, std::string> names;
    std::set<std::string> used;
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
        bool wellFormed = fields.size() == 4;
        try {
            id = wellFormed ? std::stoi(fields[0]) : 0;
        } catch (const std::exception&) {
            id = 0;
        }
        std::string name = wellFormed ? fields[1] : "";
        std::string english = wellFormed ? Unquote(fields[2], okEnglish) : "";
        std::string french = wellFormed ? Unquote(fields[3], okFrench) : "";
        if (id < 101 || id >= FRENCH_OFFSET || !okEnglish || !okFrench || texts.contains(id) ||
            !IsConstantName(name) || used.contains(name)) {
            std::cerr << argv[1] << ":" << number << ": malformed or repeated entry\n";
            return 1;
        }
        used.insert(name);
        names[id] = name;
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
    std::ofstream header(argv[3], std::ios::binary);
    header << "// Generated from string_table.tsv by make_string_table. Do not edit.\n"
           << "// The English ids of the string table by name; LoadText adds the offset\n"
           << "// of the interface language.\n"
           << "#pragma once\n\n"
           << "namespace veln::StringId {\n\n";
    for (const auto& [id, name] : names) {
        header << "inline constexpr int " << name << " = " << id << ";\n";
    }
    header << "\n}  // namespace veln::StringId\n";
    return out && header ? 0 : 1;
}
