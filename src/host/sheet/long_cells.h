// Cell texts the spreadsheet library cannot take although a cell can hold
// them. The library refuses a text past 32,767 characters as it is given,
// escaped; but the limit is the cell's, on the text read back, and a text
// made of "_xHHHH_" patterns grows by six characters for each when escaped,
// as the format requires. Such a text is given to the library as a
// placeholder, which is replaced in the written sheet.
#pragma once

#include <map>
#include <string>

namespace veln::host {

// The most characters the library takes for a cell, escaped.
inline constexpr long LIBRARY_TEXT_LIMIT = 32767;

class LongCells {
  public:
    LongCells();
    // The placeholder to write in place of an escaped text, unique in the workbook.
    std::string Placeholder(const std::string& escaped);
    bool Empty() const { return texts_.empty(); }
    // Replaces each placeholder in the sheet part of the package at path
    // with its text; raises HostError when the package cannot be rewritten.
    void WriteInto(const std::string& path, const std::string& sheetPart) const;

  private:
    std::string nonce_;
    std::map<std::string, std::string> texts_;  // escaped text, by placeholder
};

}  // namespace veln::host
