#include "host/system/profile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include <unistd.h>

namespace veln::host {

namespace fs = std::filesystem;

namespace {

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// The section name of a "[Section]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.size() >= 2 && line.front() == '[') {
        std::size_t close = line.find(']');
        if (close != std::string_view::npos) {
            return Trim(line.substr(1, close - 1));
        }
    }
    return std::nullopt;
}

// The key of a "key=value" line.
std::optional<std::string_view> KeyOf(std::string_view line) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || Trim(line).starts_with(';')) {
        return std::nullopt;
    }
    return Trim(line.substr(0, equals));
}

std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    if (in.bad()) {
        return std::nullopt;
    }
    if (!lines.empty() && lines[0].starts_with("\xEF\xBB\xBF")) {
        lines[0].erase(0, 3);
    }
    return lines;
}

}  // namespace

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t bufferSize) {
    std::string value(defaultValue);
    auto lines = ReadLines(path);
    if (lines) {
        bool inSection = false;
        for (const auto& line : *lines) {
            if (auto name = SectionOf(line)) {
                inSection = SameName(*name, section);
            } else if (auto name = KeyOf(line); inSection && name && SameName(*name, key)) {
                std::string_view text = Trim(std::string_view(line).substr(line.find('=') + 1));
                if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                    text.back() == text.front()) {
                    text = text.substr(1, text.size() - 2);
                }
                value = text;
                break;
            }
        }
    }
    if (bufferSize == 0) {
        return {};
    }
    if (value.size() > bufferSize - 1) {
        value.resize(bufferSize - 1);
    }
    return value;
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::error_code error;
    fs::path file(path);
    if (fs::exists(file, error) && !fs::is_regular_file(file, error)) {
        return false;
    }
    std::vector<std::string> lines = ReadLines(path).value_or(std::vector<std::string>{});
    std::string entry = std::string(key) + "=" + std::string(value);

    // Replace the key in its section, or add it at the section's end, or add the section.
    std::optional<std::size_t> sectionEnd;
    bool inSection = false;
    bool written = false;
    for (std::size_t i = 0; i < lines.size() && !written; ++i) {
        if (auto name = SectionOf(lines[i])) {
            if (inSection) {
                break;
            }
            inSection = SameName(*name, section);
            if (inSection) {
                sectionEnd = i + 1;
            }
        } else if (inSection) {
            if (auto name = KeyOf(lines[i]); name && SameName(*name, key)) {
                lines[i] = entry;
                written = true;
            } else if (!Trim(lines[i]).empty()) {
                sectionEnd = i + 1;
            }
        }
    }
    if (!written) {
        if (sectionEnd) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
        } else {
            lines.push_back("[" + std::string(section) + "]");
            lines.push_back(entry);
        }
    }

    fs::create_directories(file.parent_path(), error);
    fs::path partial = file;
    partial += ".new" + std::to_string(::getpid());
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        for (const auto& line : lines) {
            out << line << "\n";
        }
        out.flush();
        if (!out) {
            out.close();
            fs::remove(partial, error);
            return false;
        }
    }
    fs::rename(partial, file, error);
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        return false;
    }
    return true;
}

}  // namespace veln::host
