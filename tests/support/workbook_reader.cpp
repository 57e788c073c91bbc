#include "workbook_reader.h"

#include <sstream>
#include <stdexcept>
#include <vector>

#include "shell_output.h"

namespace veln::test {

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') {
            fields.push_back(field);
            field.clear();
        } else if (line[i] == '\\' && i + 1 < line.size()) {
            char next = line[++i];
            field += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            field += line[i];
        }
    }
    fields.push_back(field);
    return fields;
}

// The value after "name=" in a field.
std::string After(const std::string& field, const std::string& name) {
    if (field.rfind(name + "=", 0) != 0) {
        throw std::runtime_error("read_workbook.py: expected " + name + "= in " + field);
    }
    return field.substr(name.size() + 1);
}

// The look whose fields start at from; next is left on the field after it.
CellLook LookOf(const std::vector<std::string>& fields, std::size_t from, std::size_t& next) {
    CellLook look;
    look.bold = After(fields.at(from), "bold") == "1";
    look.horizontal = After(fields.at(from + 1), "h");
    look.vertical = After(fields.at(from + 2), "v");
    look.wrap = After(fields.at(from + 3), "wrap") == "1";
    look.size = std::stod(After(fields.at(from + 4), "size"));
    look.underline = After(fields.at(from + 5), "underline");
    next = from + 6;
    if (next < fields.size() && fields[next].rfind("color=", 0) == 0) {
        look.color = After(fields[next++], "color");
    }
    return look;
}

}  // namespace

std::string ColumnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return letters;
}

std::string Address(int row, int column) {
    return ColumnLetters(column) + std::to_string(row);
}

const ReadCell& ReadWorkbook::Cell(const std::string& address) const {
    static const ReadCell empty;
    auto found = cells.find(address);
    return found == cells.end() ? empty : found->second;
}

const ReadCell& ReadWorkbook::Cell(int row, int column) const {
    return Cell(Address(row, column));
}

std::vector<std::string> ReadWorkbook::Row(int row) const {
    std::map<int, std::string> values;
    for (const auto& [address, cell] : cells) {
        std::size_t digits = address.find_first_of("0123456789");
        if (cell.value.empty() || std::stoi(address.substr(digits)) != row) {
            continue;
        }
        int column = 0;
        for (char letter : address.substr(0, digits)) {
            column = column * 26 + (letter - 'A' + 1);
        }
        values[column] = cell.value;
    }
    std::vector<std::string> shown(values.empty() ? 0 : values.rbegin()->first);
    for (const auto& [column, value] : values) {
        shown[column - 1] = value;
    }
    return shown;
}

ReadWorkbook ReadBack(const std::string& path) {
    ShellRun run = RunShell(ShellQuoted(VELN_PYTHON3) + " " + ShellQuoted(VELN_READ_WORKBOOK) +
                            " " + ShellQuoted(path));
    if (run.status != 0) {
        throw std::runtime_error("openpyxl cannot read " + path +
                                 " (scripts/setup installs python3-openpyxl):\n" + run.output);
    }
    ReadWorkbook workbook;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields = Fields(line);
        const std::string& kind = fields.at(0);
        std::size_t next = 0;
        if (kind == "sheets") {
            workbook.sheets = std::stoi(fields.at(1));
        } else if (kind == "sheet") {
            workbook.sheet = fields.at(1);
        } else if (kind == "title") {
            workbook.title = fields.at(1);
        } else if (kind == "subject") {
            workbook.subject = fields.at(1);
        } else if (kind == "row") {
            workbook.rows[std::stoi(fields.at(1))] = LookOf(fields, 2, next);
        } else if (kind == "column") {
            workbook.columns[fields.at(1)] = LookOf(fields, 3, next);
        } else if (kind == "width") {
            workbook.widths[fields.at(1)] = std::stod(fields.at(2));
        } else if (kind == "cell") {
            CellLook look = LookOf(fields, 4, next);
            ReadCell cell{fields.at(2), fields.at(3), look, After(fields.at(next), "link")};
            workbook.cells[fields.at(1)] = cell;
        } else {
            throw std::runtime_error("read_workbook.py printed: " + line);
        }
    }
    return workbook;
}

}  // namespace veln::test
