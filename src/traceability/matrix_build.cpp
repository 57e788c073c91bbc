#include "traceability/matrix_build.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <unordered_map>
#include <vector>

#include "database/db_elements.h"
#include "database/db_links.h"
#include "database/db_stamps.h"
#include "database/schema.h"
#include "host/utf8.h"
#include "settings/string_ids.h"
#include "traceability/live_elements.h"

namespace veln::MatrixBuild {

namespace {

// The three fixed words of the title cell, the same in every language.
constexpr const char* TITLE_ROWS = "Lignes : ";
constexpr const char* TITLE_COLUMNS = " - Colonnes : ";
constexpr const char* TITLE_TIME = " - ";

constexpr int TITLE_ROW = 1;
constexpr int TARGET_NUMBER_ROW = 2;
constexpr int TARGET_LABEL_ROW = 3;
constexpr int COLUMN_COUNT_ROW = 4;
constexpr int SOURCE_NUMBER_COLUMN = 1;
constexpr int SOURCE_LABEL_COLUMN = 2;
constexpr int ROW_COUNT_COLUMN = 3;

void Yield(const std::function<void()>& doEvents) {
    if (doEvents) {
        doEvents();
    }
}

// Elements by id and their place (from 1) in the matrix. Found in constant
// time, so that the cost of placing links does not grow with the elements.
class Places {
  public:
    void Add(const std::string& id, int place) { places_.emplace(id, place); }
    int Count() const { return static_cast<int>(places_.size()); }
    // The place of either end of a link, the first one when both are placed
    // (the same document as source and target); 0 when neither is.
    int OfEither(const std::string& a, const std::string& b) const {
        int first = Of(a);
        int second = Of(b);
        if (first == 0 || (second != 0 && second < first)) {
            return second;
        }
        return first;
    }

  private:
    int Of(const std::string& id) const {
        auto found = places_.find(id);
        return found == places_.end() ? 0 : found->second;
    }
    std::unordered_map<std::string, int> places_;
};

void WriteFrame(host::Worksheet& sheet, bool wrap) {
    using host::xlCenter;
    sheet.Columns(SOURCE_NUMBER_COLUMN).SetBold(true);
    sheet.Columns(SOURCE_LABEL_COLUMN).SetBold(true);
    sheet.Rows(TARGET_NUMBER_ROW).SetBold(true);
    sheet.Rows(TARGET_LABEL_ROW).SetBold(true);
    sheet.Rows(TARGET_NUMBER_ROW).SetHorizontalAlignment(xlCenter);
    sheet.Columns(FIRST_ELEMENT_COLUMN).SetHorizontalAlignment(xlCenter);
    sheet.Columns(ROW_COUNT_COLUMN).SetHorizontalAlignment(xlCenter);
    sheet.Rows(COLUMN_COUNT_ROW).SetHorizontalAlignment(xlCenter);
    if (wrap) {
        sheet.Rows(TARGET_LABEL_ROW).SetWrapText(true);
        sheet.Columns(SOURCE_LABEL_COLUMN).SetWrapText(true);
        sheet.Rows(TARGET_LABEL_ROW).SetVerticalAlignment(host::xlTop);
        sheet.Columns(SOURCE_LABEL_COLUMN).SetVerticalAlignment(host::xlTop);
    }
}

// Title, frame and sheet name.
void WriteHeading(host::Workbook& workbook, host::Worksheet& sheet, const MatrixRequest& request,
                  const std::string& now) {
    workbook.Title = DOCUMENT_PROPERTY;
    workbook.Subject = DOCUMENT_PROPERTY;
    sheet.SetText(TITLE_ROW, 1,
                  TITLE_ROWS + ChooserText(request.source.path) + TITLE_COLUMNS +
                      ChooserText(request.target.path) + TITLE_TIME + now);
    WriteFrame(sheet, request.wrap);
    sheet.SetName(SheetName(request.source, request.target));
}

// The source's live elements, a row each.
Places PlaceSourceRows(host::Worksheet& sheet, const db::Database& database,
                       const MatrixRequest& request, const std::function<void()>& doEvents) {
    Places rows;
    ForEachLiveElement(database, request.source.id, std::nullopt, [&](const LiveElement& element) {
        int row = FIRST_ELEMENT_ROW + rows.Count();
        sheet.SetText(row, SOURCE_NUMBER_COLUMN, element.number);
        sheet.SetText(row, SOURCE_LABEL_COLUMN, element.label);
        rows.Add(element.id, rows.Count() + 1);
        if (request.hyperlinks) {
            sheet.AddHyperlink(row, SOURCE_NUMBER_COLUMN,
                               ElementAddress(request.source.path, element.id));
        }
        Yield(doEvents);
        return true;
    });
    return rows;
}

// The target's live elements (of the first rank chosen), a column each, as
// many as the table holds.
Places PlaceTargetColumns(host::Worksheet& sheet, const db::Database& database,
                          const MatrixRequest& request, const std::function<void()>& doEvents) {
    Places columns;
    ForEachLiveElement(database, request.target.id, request.firstRank,
                       [&](const LiveElement& element) {
                           int column = FIRST_ELEMENT_COLUMN + columns.Count();
                           sheet.SetText(TARGET_NUMBER_ROW, column, element.number);
                           sheet.SetText(TARGET_LABEL_ROW, column, element.label);
                           columns.Add(element.id, columns.Count() + 1);
                           if (request.hyperlinks) {
                               sheet.AddHyperlink(TARGET_NUMBER_ROW, column,
                                                  ElementAddress(request.target.path, element.id));
                           }
                           Yield(doEvents);
                           return columns.Count() < TARGET_TABLE_SIZE;
                       });
    return columns;
}

// A cell a link marks: its place, and whether a link there is suspect.
struct Mark {
    int row = 0;
    int column = 0;
    bool suspect = false;
};

// The cells links mark, each once, in sheet order; found tells whether any
// link was read at all.
struct LinkMarks {
    bool found = false;
    std::vector<Mark> marks;
    int suspect = 0;  // cells
};

// The pairs of elements a suspect link joins, as stored.
std::set<std::pair<std::string, std::string>> SuspectPairs(const db::Database& database,
                                                           const MatrixRequest& request) {
    const auto suspect = dbStamps::SuspectPairs(database, request.source.id, request.target.id);
    return {suspect.begin(), suspect.end()};
}

// Links stored in either direction between the two documents, and within
// each; a link marks the cell of its row and column when both are placed.
// Several links between two elements make one mark.
LinkMarks ReadLinkMarks(const db::Database& database, const MatrixRequest& request,
                        const Places& rows, const Places& columns,
                        const std::function<void()>& doEvents) {
    LinkMarks links;
    if (rows.Count() == 0 || columns.Count() == 0) {
        return links;
    }
    const std::set<std::pair<std::string, std::string>> suspect = SuspectPairs(database, request);
    auto mark = [&](const dbLinks::LinkEnds& link) {
        links.found = true;
        int row = rows.OfEither(link.source, link.target);
        int column = columns.OfEither(link.target, link.source);
        if (row != 0 && column != 0) {
            links.marks.push_back({row, column, suspect.contains({link.source, link.target})});
        }
        Yield(doEvents);
    };
    dbLinks::ForEachLiveLinkBetween(database, request.source.id, request.target.id, mark);
    auto place = [](const Mark& mark) { return std::pair(mark.row, mark.column); };
    std::stable_sort(links.marks.begin(), links.marks.end(),
                     [&](const Mark& a, const Mark& b) { return place(a) < place(b); });
    // One mark a cell, suspect when any of its links is.
    std::vector<Mark> merged;
    for (const Mark& mark : links.marks) {
        if (!merged.empty() && place(merged.back()) == place(mark)) {
            merged.back().suspect = merged.back().suspect || mark.suspect;
        } else {
            merged.push_back(mark);
        }
    }
    links.marks = std::move(merged);
    links.suspect = static_cast<int>(std::count_if(links.marks.begin(), links.marks.end(),
                                                   [](const Mark& mark) { return mark.suspect; }));
    return links;
}

// The marks of each row and column, by place (from 1).
struct MarkCounts {
    std::vector<int> perRow;
    std::vector<int> perColumn;
};

// Writes the marks, walking the sheet once, and counts them.
MarkCounts WriteMarks(host::Worksheet& sheet, const std::vector<Mark>& marks, int rowCount,
                      int columnCount) {
    MarkCounts counts{std::vector<int>(static_cast<std::size_t>(rowCount) + 1),
                      std::vector<int>(static_cast<std::size_t>(columnCount) + 1)};
    for (const Mark& mark : marks) {
        ++counts.perRow[static_cast<std::size_t>(mark.row)];
        ++counts.perColumn[static_cast<std::size_t>(mark.column)];
        int sheetRow = mark.row + FIRST_ELEMENT_ROW - 1;
        int sheetColumn = mark.column + FIRST_ELEMENT_COLUMN - 1;
        sheet.SetText(sheetRow, sheetColumn, mark.suspect ? SUSPECT_MARK : LINK_MARK);
        host::Formatting cell = sheet.Cells(sheetRow, sheetColumn);
        cell.SetHorizontalAlignment(host::xlCenter)
            .SetVerticalAlignment(host::xlCenter)
            .SetFontSize(MARK_FONT_SIZE);
        if (mark.suspect) {
            cell.SetBold(true).SetFontColor(SUSPECT_COLOR);
        }
    }
    return counts;
}

// The count of each row and column; returns the total.
int WriteCounts(host::Worksheet& sheet, const MarkCounts& counts,
                const std::function<void()>& doEvents) {
    int total = 0;
    for (std::size_t row = 1; row < counts.perRow.size(); ++row) {
        int count = counts.perRow[row];
        sheet.SetNumber(static_cast<int>(row) + FIRST_ELEMENT_ROW - 1, ROW_COUNT_COLUMN, count);
        total += count;
        Yield(doEvents);
    }
    for (std::size_t column = 1; column < counts.perColumn.size(); ++column) {
        sheet.SetNumber(COLUMN_COUNT_ROW, static_cast<int>(column) + FIRST_ELEMENT_COLUMN - 1,
                        counts.perColumn[column]);
        Yield(doEvents);
    }
    return total;
}

}  // namespace

Size CountElements(const MatrixRequest& request) {
    db::Database database = schema::OpenProjectDatabase(request.dbPath, db::OpenMode::ReadOnly);
    return {dbElements::CountLiveElements(database, request.source.id),
            dbElements::CountLiveElements(database, request.target.id)};
}

std::string ColumnLimitPrompt(const Language& language, Size size) {
    return language.LoadText(StringId::COLUMNS_LIMITED_TO) + std::to_string(COLUMN_LIMIT) +
           language.LoadText(StringId::MATRIX_TO_GENERATE_IS) + std::to_string(size.rows) + "/" +
           std::to_string(size.columns) + language.LoadText(StringId::INVERT_OR_FILTER);
}

std::optional<int> FirstRankOf(std::string_view answer) {
    // The leading number as the answer is read: blanks skipped, a sign, digits,
    // a decimal part and an exponent; whatever follows is ignored.
    std::string text(answer);
    std::size_t start = text.find_first_not_of(" \t\n");
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const char* begin = text.c_str() + start;
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    // strtod also reads "inf", "nan" and hexadecimal forms; only a decimal
    // number counts here.
    bool decimal = end != begin && (std::isdigit(static_cast<unsigned char>(*begin)) != 0 ||
                                    *begin == '+' || *begin == '-' || *begin == '.');
    for (const char* c = begin; decimal && c < end; ++c) {
        decimal = std::isdigit(static_cast<unsigned char>(*c)) != 0 || *c == '+' || *c == '-' ||
                  *c == '.' || *c == 'e' || *c == 'E';
    }
    double rank = decimal ? std::floor(value) : 0;
    if (rank < FIRST_RANK_LEAST || rank > FIRST_RANK_MOST) {
        return std::nullopt;
    }
    return static_cast<int>(rank);
}

std::string SheetName(const ProjectDocument& source, const ProjectDocument& target) {
    std::string name = FileNamePart(ChooserText(source.path), FILE_NAME_PART_LENGTH) + "-" +
                       FileNamePart(ChooserText(target.path), FILE_NAME_PART_LENGTH);
    return host::Worksheet::AcceptedName(host::FirstCharacters(name, SHEET_NAME_LENGTH));
}

std::string FileNames(const ProjectDocument& source, const ProjectDocument& target) {
    constexpr std::size_t WHOLE = std::numeric_limits<std::size_t>::max();
    return FileNamePart(ChooserText(source.path), WHOLE) + "-" +
           FileNamePart(ChooserText(target.path), WHOLE);
}

void Fill(host::Workbook& workbook, const MatrixRequest& request, const Language& language,
          const std::string& now, const std::function<void()>& doEvents) {
    host::Worksheet& sheet = workbook.ActiveSheet();
    WriteHeading(workbook, sheet, request, now);
    db::Database database = schema::OpenProjectDatabase(request.dbPath, db::OpenMode::ReadOnly);
    const Places rows = PlaceSourceRows(sheet, database, request, doEvents);
    const Places columns = PlaceTargetColumns(sheet, database, request, doEvents);
    const LinkMarks links = ReadLinkMarks(database, request, rows, columns, doEvents);
    const MarkCounts counts = WriteMarks(sheet, links.marks, rows.Count(), columns.Count());
    // Counts only once a link was read, even when none of them is placed.
    const int total = links.found ? WriteCounts(sheet, counts, doEvents) : 0;
    sheet.SetText(TARGET_NUMBER_ROW, SOURCE_NUMBER_COLUMN,
                  language.LoadText(StringId::NUMBER_OF_LINKS));
    sheet.SetNumber(TARGET_NUMBER_ROW, SOURCE_LABEL_COLUMN, total);

    // The source's numbers and labels are read across: their columns fit
    // them. The target's columns hold marks and stay narrow.
    sheet.FitColumns(TARGET_NUMBER_ROW, SOURCE_NUMBER_COLUMN, SOURCE_LABEL_COLUMN,
                     host::MOST_FITTED_WIDTH);
    if (links.suspect > 0) {
        // Under the matrix, once the columns are fitted (it runs on across
        // them): the legend, and how many cells show a suspect link.
        const int legendRow = FIRST_ELEMENT_ROW + rows.Count() + 1;
        sheet.SetText(legendRow, SOURCE_NUMBER_COLUMN,
                      std::string(SUSPECT_MARK) + " " +
                          language.LoadText(StringId::SUSPECT_LINKS_LEGEND) +
                          std::to_string(links.suspect));
        sheet.Cells(legendRow, SOURCE_NUMBER_COLUMN).SetBold(true).SetFontColor(SUSPECT_COLOR);
    }
}

}  // namespace veln::MatrixBuild
