// A workbook read back by an independent reader (openpyxl, through
// read_workbook.py): what a user's spreadsheet program would find in the file.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace veln::test {

struct CellLook {
    bool bold = false;
    std::string horizontal = "general";  // general, center, left, right
    std::string vertical = "bottom";     // bottom, center, top
    bool wrap = false;
    double size = 11;
    std::string underline = "none";
    std::string color{};  // "C00000"; "" for the automatic colour

    bool operator==(const CellLook&) const = default;
};

// For the messages of a comparison that failed.
inline void PrintTo(const CellLook& look, std::ostream* out) {
    *out << (look.bold ? "bold " : "") << look.horizontal << "/" << look.vertical
         << (look.wrap ? " wrap" : "") << " size " << look.size << " underline " << look.underline
         << (look.color.empty() ? "" : " color " + look.color);
}

struct ReadCell {
    std::string kind;  // text, number or blank
    std::string value;
    CellLook look;
    std::string link;  // the target, with "#" and the location when it has one
};

struct ReadWorkbook {
    int sheets = 0;
    std::string sheet;
    std::string title;
    std::string subject;
    std::map<int, CellLook> rows;             // formats of whole rows
    std::map<std::string, CellLook> columns;  // formats of whole columns, by letter
    std::map<std::string, double> widths;     // widths set on columns, in characters
    std::map<std::string, ReadCell> cells;    // by address ("B7")

    // The cell at an address; an empty one when the file has nothing there.
    const ReadCell& Cell(const std::string& address) const;
    const ReadCell& Cell(int row, int column) const;
    std::string Value(int row, int column) const { return Cell(row, column).value; }
    // The values of a row from column A to its last value, "" where a cell
    // is empty: compare it with ElementsAre to check a whole row at once.
    std::vector<std::string> Row(int row) const;
};

// "A1" for row 1, column 1.
std::string Address(int row, int column);
std::string ColumnLetters(int column);

// Reads the file; raises std::runtime_error with the reader's own message
// when it cannot (no python3-openpyxl, not a workbook).
ReadWorkbook ReadBack(const std::string& path);

}  // namespace veln::test
