#include "host/sheet/worksheet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "host/host_error.h"
#include "host/utf8.h"

namespace veln::host {

namespace {

// Characters a sheet name may not hold, and what stands in for them.
constexpr std::string_view REFUSED_IN_NAMES = "[]:*?/\\";
constexpr char NAME_STAND_IN = '_';
// A name spreadsheet programs keep for themselves.
constexpr std::string_view RESERVED_NAME = "history";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Where(int row, int column) {
    return "row " + std::to_string(row) + ", column " + std::to_string(column);
}

}  // namespace

// --- formatting ---------------------------------------------------------------

Formatting& Formatting::Apply(const std::function<void(CellFormat&)>& change) {
    Worksheet& s = sheet_;
    switch (target_) {
        case Target::Cell: {
            Worksheet::Cell& cell = s.CellAt(row_, column_);
            cell.format = s.Changed(cell.format, change);
            break;
        }
        case Target::Row: {
            Worksheet::Row& row = s.RowAt(row_);
            for (auto& cell : row.cells) {
                cell.format = s.Changed(cell.format, change);
            }
            // Where a formatted column crosses the row, the cell takes both,
            // as the spreadsheet program makes it.
            for (const auto& [column, format] : s.columnFormats_) {
                if (s.Find(row_, column) == nullptr) {
                    s.CellAt(row_, column).format = s.Changed(format, change);
                }
            }
            row.format = s.Changed(row.format, change);
            row.formatted = true;
            break;
        }
        case Target::Column: {
            for (int r = 1; r <= s.LastRow(); ++r) {
                const Worksheet::Row& row = s.rows_[static_cast<std::size_t>(r - 1)];
                if (Worksheet::Cell* cell = s.Lookup(r, column_); cell != nullptr) {
                    cell->format = s.Changed(cell->format, change);
                } else if (row.formatted) {
                    s.CellAt(r, column_).format = s.Changed(row.format, change);
                }
            }
            auto found = s.columnFormats_.find(column_);
            std::uint16_t before = found == s.columnFormats_.end() ? 0 : found->second;
            s.columnFormats_[column_] = s.Changed(before, change);
            break;
        }
    }
    return *this;
}

Formatting& Formatting::SetBold(bool bold) {
    return Apply([bold](CellFormat& f) { f.bold = bold; });
}

Formatting& Formatting::SetHorizontalAlignment(int alignment) {
    if (alignment != xlGeneral && alignment != xlCenter && alignment != xlLeft &&
        alignment != xlRight) {
        throw HostError(ERR_SHEET_RANGE,
                        "not a horizontal alignment: " + std::to_string(alignment));
    }
    return Apply([alignment](CellFormat& f) { f.horizontal = alignment; });
}

Formatting& Formatting::SetVerticalAlignment(int alignment) {
    if (alignment != xlCenter && alignment != xlTop && alignment != xlBottom) {
        throw HostError(ERR_SHEET_RANGE, "not a vertical alignment: " + std::to_string(alignment));
    }
    return Apply([alignment](CellFormat& f) { f.vertical = alignment; });
}

Formatting& Formatting::SetWrapText(bool wrap) {
    return Apply([wrap](CellFormat& f) { f.wrap = wrap; });
}

Formatting& Formatting::SetFontColor(std::int32_t rgb) {
    if (rgb != AUTOMATIC_COLOR && (rgb < 0 || rgb > 0xFFFFFF)) {
        throw HostError(ERR_SHEET_RANGE, "not a colour: " + std::to_string(rgb));
    }
    return Apply([rgb](CellFormat& f) { f.fontColor = rgb; });
}

Formatting& Formatting::SetFontSize(double points) {
    if (!(points >= 1 && points <= 409)) {
        throw HostError(ERR_SHEET_RANGE, "not a font size: " + std::to_string(points));
    }
    return Apply([points](CellFormat& f) { f.size = points; });
}

// --- the sheet ---------------------------------------------------------------------

std::string Worksheet::AcceptedName(std::string_view name) {
    std::string accepted = XmlWritable(name);
    for (char& c : accepted) {
        if (REFUSED_IN_NAMES.find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = NAME_STAND_IN;
        }
    }
    accepted = FirstCharacters(accepted, MAX_SHEET_NAME);
    if (!accepted.empty() && accepted.front() == '\'') {
        accepted.front() = NAME_STAND_IN;
    }
    if (!accepted.empty() && accepted.back() == '\'') {
        accepted.back() = NAME_STAND_IN;
    }
    if (accepted.empty()) {
        return "Sheet1";
    }
    if (EqualsIgnoringCase(accepted, RESERVED_NAME)) {
        accepted += NAME_STAND_IN;
    }
    return accepted;
}

void Worksheet::SetName(std::string_view name) {
    name_ = AcceptedName(name);
}

void Worksheet::CheckCell(int row, int column) {
    if (row < 1 || row > MAX_SHEET_ROWS || column < 1 || column > MAX_SHEET_COLUMNS) {
        throw HostError(ERR_SHEET_RANGE, "no cell at " + Where(row, column) + ": a sheet has " +
                                             std::to_string(MAX_SHEET_ROWS) + " rows and " +
                                             std::to_string(MAX_SHEET_COLUMNS) + " columns");
    }
}

Worksheet::Row& Worksheet::RowAt(int row) {
    CheckCell(row, 1);
    if (static_cast<std::size_t>(row) > rows_.size()) {
        rows_.resize(static_cast<std::size_t>(row));
    }
    return rows_[static_cast<std::size_t>(row - 1)];
}

Worksheet::Cell& Worksheet::CellAt(int row, int column) {
    CheckCell(row, column);
    Row& line = RowAt(row);
    auto at = std::lower_bound(line.cells.begin(), line.cells.end(), column,
                               [](const Cell& cell, int c) { return cell.column < c; });
    if (at != line.cells.end() && at->column == column) {
        return *at;
    }
    // A new cell looks as its row does, else as its column does.
    Cell cell;
    cell.column = column;
    if (line.formatted) {
        cell.format = line.format;
    } else if (auto found = columnFormats_.find(column); found != columnFormats_.end()) {
        cell.format = found->second;
    }
    ++cellCount_;
    return *line.cells.insert(at, std::move(cell));
}

template <typename RowList>
auto* Worksheet::LookupIn(RowList& rows, int row, int column) {
    using CellPointer = decltype(&rows[0].cells[0]);
    if (row < 1 || static_cast<std::size_t>(row) > rows.size()) {
        return CellPointer{nullptr};
    }
    auto& cells = rows[static_cast<std::size_t>(row - 1)].cells;
    auto at = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const Cell& cell, int c) { return cell.column < c; });
    return at != cells.end() && at->column == column ? &*at : CellPointer{nullptr};
}

const Worksheet::Cell* Worksheet::Find(int row, int column) const {
    return LookupIn(rows_, row, column);
}

Worksheet::Cell* Worksheet::Lookup(int row, int column) {
    return LookupIn(rows_, row, column);
}

const std::vector<Worksheet::Cell>& Worksheet::RowCells(int row) const {
    return rows_.at(static_cast<std::size_t>(row - 1)).cells;
}

std::uint16_t Worksheet::RowFormat(int row) const {
    const Row& line = rows_.at(static_cast<std::size_t>(row - 1));
    return line.formatted ? line.format : 0;
}

void Worksheet::SetText(int row, int column, std::string_view text) {
    if (static_cast<std::size_t>(CountCharacters(text)) > MAX_CELL_TEXT) {
        throw HostError(ERR_SHEET_RANGE, "the text for " + Where(row, column) + " is longer than " +
                                             std::to_string(MAX_CELL_TEXT) +
                                             " characters, the most a cell holds");
    }
    CellAt(row, column).value = std::string(text);
}

void Worksheet::FitColumns(int firstRow, int firstColumn, int lastColumn, double most) {
    std::map<int, double> longest;
    for (int row = std::max(firstRow, 1); row <= LastRow(); ++row) {
        for (const Cell& cell : rows_[static_cast<std::size_t>(row - 1)].cells) {
            if (cell.column < firstColumn || cell.column > lastColumn) {
                continue;
            }
            double characters = 0;
            if (const auto* text = std::get_if<std::string>(&cell.value)) {
                std::string_view rest = *text;
                for (std::size_t end = rest.find('\n');; end = rest.find('\n')) {
                    characters = std::max(
                        characters, static_cast<double>(CountCharacters(rest.substr(0, end))));
                    if (end == std::string_view::npos) {
                        break;
                    }
                    rest.remove_prefix(end + 1);
                }
            } else if (const auto* number = std::get_if<double>(&cell.value)) {
                std::array<char, 32> shown{};
                characters = std::snprintf(shown.data(), shown.size(), "%.15g", *number);
            }
            longest[cell.column] = std::max(longest[cell.column], characters);
        }
    }
    for (const auto& [column, characters] : longest) {
        // One character more: the margins spreadsheets leave in a cell.
        double width = std::min(most, characters + 1);
        if (width > DEFAULT_COLUMN_WIDTH) {
            columnWidths_[column] = width;
        }
    }
}

void Worksheet::SetNumber(int row, int column, double number) {
    CellAt(row, column).value = number;
}

Formatting Worksheet::Rows(int row) {
    CheckCell(row, 1);
    return {*this, Formatting::Target::Row, row, 0};
}

Formatting Worksheet::Columns(int column) {
    CheckCell(1, column);
    return {*this, Formatting::Target::Column, 0, column};
}

Formatting Worksheet::Cells(int row, int column) {
    CheckCell(row, column);
    return {*this, Formatting::Target::Cell, row, column};
}

bool Worksheet::AddHyperlink(int row, int column, std::string_view address) {
    CheckCell(row, column);
    bool known = hyperlinks_.contains(Key(row, column));
    if (address.empty() || static_cast<std::size_t>(CountCharacters(address)) > MAX_HYPERLINK ||
        (!known && hyperlinks_.size() >= MAX_SHEET_HYPERLINKS)) {
        return false;
    }
    Cell& cell = CellAt(row, column);
    if (std::holds_alternative<std::monostate>(cell.value)) {
        cell.value = std::string(address);
    }
    cell.format = Changed(cell.format, [](CellFormat& f) { f.hyperlink = true; });
    hyperlinks_[Key(row, column)] = std::string(address);
    return true;
}

const std::string& Worksheet::Hyperlink(int row, int column) const {
    static const std::string none;
    auto found = hyperlinks_.find(Key(row, column));
    return found == hyperlinks_.end() ? none : found->second;
}

std::uint16_t Worksheet::Intern(const CellFormat& format) {
    auto found = formatIndex_.find(format);
    if (found != formatIndex_.end()) {
        return found->second;
    }
    if (formats_.size() > UINT16_MAX) {
        throw HostError(ERR_SHEET_RANGE, "too many different cell formats in one sheet");
    }
    auto index = static_cast<std::uint16_t>(formats_.size());
    formats_.push_back(format);
    formatIndex_.emplace(format, index);
    return index;
}

std::uint16_t Worksheet::Changed(std::uint16_t index,
                                 const std::function<void(CellFormat&)>& change) {
    CellFormat format = formats_[index];
    change(format);
    return Intern(format);
}

}  // namespace veln::host
