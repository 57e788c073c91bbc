// One sheet of a workbook as the system fills it: cells by row and column
// (from 1, as spreadsheets count them), formats on whole rows, whole columns
// and single cells, hyperlinks on cells, and the sheet's name. It is kept in
// memory as written, in any order, and handed to the file writer whole.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace veln::host {

// Alignment codes, the spreadsheet program's own constants.
inline constexpr int xlGeneral = 1;
inline constexpr int xlCenter = -4108;
inline constexpr int xlLeft = -4131;
inline constexpr int xlRight = -4152;
inline constexpr int xlTop = -4160;
inline constexpr int xlBottom = -4107;

// The spreadsheet program's error for a cell or value out of its range.
inline constexpr long ERR_SHEET_RANGE = 1004;

// Limits of the file format and of the programs that read it.
inline constexpr int MAX_SHEET_ROWS = 1048576;
inline constexpr int MAX_SHEET_COLUMNS = 16384;
inline constexpr std::size_t MAX_CELL_TEXT = 32767;   // characters
inline constexpr double DEFAULT_COLUMN_WIDTH = 8.43;  // characters, as spreadsheets have it
// The widest a column is fitted to its content: a longer text wraps or
// runs on, as the reader chooses.
inline constexpr double MOST_FITTED_WIDTH = 60;
inline constexpr std::size_t MAX_SHEET_NAME = 31;  // characters
inline constexpr std::size_t MAX_HYPERLINK = 255;  // characters of the address
inline constexpr std::size_t MAX_SHEET_HYPERLINKS = 65530;

// A font colour left to the reader's program.
inline constexpr std::int32_t AUTOMATIC_COLOR = -1;

// The whole look of a cell. Cells that share one share its index.
struct CellFormat {
    bool bold = false;
    int horizontal = xlGeneral;
    int vertical = xlBottom;
    bool wrap = false;
    double size = 11;
    bool hyperlink = false;                    // the blue, underlined look of a link
    std::int32_t fontColor = AUTOMATIC_COLOR;  // 0xRRGGBB

    // clang-tidy 14 takes the defaulted comparison's 0 for a null pointer.
    auto operator<=>(const CellFormat&) const = default;  // NOLINT(modernize-use-nullptr)
};

class Worksheet;

// The formatting of a row, a column or a cell: each setter applies at once to
// what is there and to what is written there later, as in a spreadsheet.
class Formatting {
  public:
    Formatting& SetBold(bool bold);
    Formatting& SetHorizontalAlignment(int alignment);
    Formatting& SetVerticalAlignment(int alignment);
    Formatting& SetWrapText(bool wrap);
    Formatting& SetFontSize(double points);
    // rgb as 0xRRGGBB, or AUTOMATIC_COLOR.
    Formatting& SetFontColor(std::int32_t rgb);

  private:
    friend class Worksheet;
    enum class Target { Row, Column, Cell };
    Formatting(Worksheet& sheet, Target target, int row, int column)
        : sheet_(sheet), target_(target), row_(row), column_(column) {}
    Formatting& Apply(const std::function<void(CellFormat&)>& change);

    Worksheet& sheet_;
    Target target_;
    int row_;
    int column_;
};

class Worksheet {
  public:
    using Value = std::variant<std::monostate, std::string, double>;
    struct Cell {
        int column = 0;
        std::uint16_t format = 0;
        Value value;
    };

    // The name as spreadsheets accept it: characters they refuse ([]:*?/\,
    // control characters, an apostrophe at either end) become "_", the name
    // is cut to 31 characters, and an empty or reserved name gets a usable one.
    void SetName(std::string_view name);
    const std::string& Name() const { return name_; }
    static std::string AcceptedName(std::string_view name);

    // Cell values. Text is kept as written, never read as a number or a date.
    void SetText(int row, int column, std::string_view text);
    void SetNumber(int row, int column, double number);

    Formatting Rows(int row);
    Formatting Columns(int column);
    Formatting Cells(int row, int column);

    // Adds a hyperlink on the cell; an empty cell shows the address. False,
    // and the cell left as it is, when the address is longer than spreadsheet
    // programs follow or the sheet already holds as many links as they allow.
    bool AddHyperlink(int row, int column, std::string_view address);

    // Widens the columns firstColumn to lastColumn to hold the longest line
    // of text or number their cells hold from firstRow down, in characters,
    // up to most; a column it would leave narrower keeps the default width.
    void FitColumns(int firstRow, int firstColumn, int lastColumn, double most);

    // Reading back what was written, for the file writer.
    int LastRow() const { return static_cast<int>(rows_.size()); }
    const std::vector<Cell>& RowCells(int row) const;
    const Cell* Find(int row, int column) const;
    // The format of a whole row or column, 0 (the default) when it has none.
    std::uint16_t RowFormat(int row) const;
    const std::map<int, std::uint16_t>& ColumnFormats() const { return columnFormats_; }
    // The widths FitColumns gave, in characters, by column.
    const std::map<int, double>& ColumnWidths() const { return columnWidths_; }
    const CellFormat& Format(std::uint16_t index) const { return formats_[index]; }
    // The link of a cell, "" when it has none.
    const std::string& Hyperlink(int row, int column) const;
    std::size_t CellCount() const { return cellCount_; }

  private:
    friend class Formatting;
    struct Row {
        std::vector<Cell> cells;  // in column order
        std::uint16_t format = 0;
        bool formatted = false;
    };

    static void CheckCell(int row, int column);
    template <typename RowList>
    static auto* LookupIn(RowList& rows, int row, int column);
    Cell* Lookup(int row, int column);
    Row& RowAt(int row);
    Cell& CellAt(int row, int column);
    std::uint16_t Intern(const CellFormat& format);
    std::uint16_t Changed(std::uint16_t index, const std::function<void(CellFormat&)>& change);
    static std::uint64_t Key(int row, int column) {
        return (static_cast<std::uint64_t>(row) << 16U) | static_cast<std::uint64_t>(column);
    }

    std::string name_ = "Sheet1";
    std::vector<Row> rows_;
    std::map<int, std::uint16_t> columnFormats_;
    std::map<int, double> columnWidths_;
    std::vector<CellFormat> formats_{CellFormat{}};
    std::map<CellFormat, std::uint16_t> formatIndex_{{CellFormat{}, 0}};
    std::unordered_map<std::uint64_t, std::string> hyperlinks_;
    std::size_t cellCount_ = 0;
};

}  // namespace veln::host
