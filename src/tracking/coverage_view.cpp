#include "tracking/coverage_view.h"

#include "database/db_elements.h"
#include "settings/string_ids.h"
#include "tracking/element_suspects.h"

namespace veln::tracking {

namespace {

// The totals above the table, where the widths fitted to the table leave
// them whole.
constexpr int TOTALS_ROW = 1;
constexpr int HEADING_ROW = 3;
constexpr int FIRST_ROW = 4;
constexpr int NUMBER_COLUMN = 1;
constexpr int LABEL_COLUMN = 2;
constexpr int STATE_COLUMN = 3;
constexpr int LINKED_COLUMN = 4;
constexpr double MOST_WIDTH = 60;

int StateText(Coverage coverage) {
    switch (coverage) {
        case Coverage::Covered:
            return StringId::COVERAGE_COVERED;
        case Coverage::Suspect:
            return StringId::COVERAGE_SUSPECT;
        case Coverage::Uncovered:
            break;
    }
    return StringId::COVERAGE_UNCOVERED;
}

}  // namespace

std::vector<CoverageRow> CoverageRows(const db::Database& database, const CoverageReport& report,
                                      const TextOf& text) {
    dbElements::ElementFinder finder(database);
    std::vector<CoverageRow> rows;
    rows.reserve(report.elements.size());
    for (const CoveredElement& element : report.elements) {
        CoverageRow row{element.number, element.label, text(StateText(element.coverage)), "",
                        element.coverage != Coverage::Covered};
        for (const std::string& target : element.targets) {
            row.linkedTo += (row.linkedTo.empty() ? "" : "; ") + ElementShown(finder, target);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string CoverageTotals(const CoverageReport& report, const TextOf& text) {
    return text(StringId::COVERAGE_COVERED) + " " +
           std::to_string(report.Count(Coverage::Covered)) + ", " +
           text(StringId::COVERAGE_SUSPECT) + " " +
           std::to_string(report.Count(Coverage::Suspect)) + ", " +
           text(StringId::COVERAGE_UNCOVERED) + " " +
           std::to_string(report.Count(Coverage::Uncovered)) + ": " +
           PercentText(report.Percent()) + " %";
}

void FillCoverageWorkbook(host::Workbook& workbook, const std::string& sheetName,
                          const std::vector<CoverageRow>& rows, const std::string& totals,
                          const TextOf& text) {
    host::Worksheet& sheet = workbook.ActiveSheet();
    workbook.Title = text(StringId::COVERAGE_CAPTION);
    sheet.SetName(sheetName);
    sheet.SetText(TOTALS_ROW, NUMBER_COLUMN, totals);
    sheet.Rows(TOTALS_ROW).SetBold(true);
    sheet.SetText(HEADING_ROW, NUMBER_COLUMN, text(StringId::COVERAGE_ELEMENT));
    sheet.SetText(HEADING_ROW, STATE_COLUMN, text(StringId::COVERAGE_CAPTION));
    sheet.SetText(HEADING_ROW, LINKED_COLUMN, text(StringId::COVERAGE_LINKED_TO));
    sheet.Rows(HEADING_ROW).SetBold(true);
    int row = FIRST_ROW;
    for (const CoverageRow& element : rows) {
        sheet.SetText(row, NUMBER_COLUMN, element.number);
        sheet.SetText(row, LABEL_COLUMN, element.label);
        sheet.SetText(row, STATE_COLUMN, element.state);
        sheet.SetText(row, LINKED_COLUMN, element.linkedTo);
        if (element.flagged) {
            sheet.Cells(row, STATE_COLUMN).SetBold(true).SetFontColor(FLAGGED_COLOR);
        }
        ++row;
    }
    sheet.FitColumns(HEADING_ROW, NUMBER_COLUMN, LINKED_COLUMN, MOST_WIDTH);
}

}  // namespace veln::tracking
