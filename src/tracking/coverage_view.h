// The coverage report as people read it, in the coverage dialog and in its
// workbook: a row per source element with its state in the user's language
// and the elements it is linked to by number and label, then the totals.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/db/database.h"
#include "host/sheet/workbook.h"
#include "tracking/coverage.h"

namespace veln::tracking {

// A text of the string table by its id, in the user's language.
using TextOf = std::function<std::string(int)>;

struct CoverageRow {
    std::string number;
    std::string label;
    std::string state;
    std::string linkedTo;  // "1.0.0.0 Discs; 2.0.0.0 Drums"
    bool flagged = false;  // not covered, or only through suspect links
};

std::vector<CoverageRow> CoverageRows(const db::Database& database, const CoverageReport& report,
                                      const TextOf& text);

// "covered 3, suspect 1, not covered 1: 80.0 %"
std::string CoverageTotals(const CoverageReport& report, const TextOf& text);

// Colour of the flagged rows' state, in the workbook as in the matrix.
inline constexpr std::int32_t FLAGGED_COLOR = 0xC00000;

// One sheet: the totals, then the headings and a row per element.
void FillCoverageWorkbook(host::Workbook& workbook, const std::string& sheetName,
                          const std::vector<CoverageRow>& rows, const std::string& totals,
                          const TextOf& text);

}  // namespace veln::tracking
