#include "traceability/element_value_list.h"

#include <limits>
#include <unordered_map>

#include "database/db_element_values.h"
#include "database/db_properties.h"
#include "database/schema.h"
#include "traceability/live_elements.h"

namespace veln::ElementValueList {

namespace {

constexpr int HEADING_ROW = 1;
constexpr int NUMBER_COLUMN = 1;
constexpr int LABEL_COLUMN = 2;

}  // namespace

std::string SheetName(const ProjectDocument& document) {
    return host::Worksheet::AcceptedName(
        FileNamePart(ChooserText(document.path), SHEET_NAME_LENGTH));
}

std::string FileNames(const ProjectDocument& document) {
    return FileNamePart(ChooserText(document.path), std::numeric_limits<std::size_t>::max());
}

void Fill(host::Workbook& workbook, const ElementValueListRequest& request) {
    host::Worksheet& sheet = workbook.ActiveSheet();
    workbook.Title = TITLE;
    workbook.Subject = SUBJECT;
    sheet.SetName(SheetName(request.document));
    db::Database database = schema::OpenProjectDatabase(request.dbPath, db::OpenMode::ReadOnly);

    // Rows and columns are found by id, so that placing the values costs one
    // look-up each, however many elements and properties there are.
    std::unordered_map<std::string, int> rowOf;
    ForEachLiveElement(
        database, request.document.id, std::nullopt, [&](const LiveElement& element) {
            int row = FIRST_ELEMENT_ROW + static_cast<int>(rowOf.size());
            sheet.SetText(row, NUMBER_COLUMN, element.number);
            sheet.SetText(row, LABEL_COLUMN, element.label);
            if (request.hyperlinks) {
                sheet.AddHyperlink(row, NUMBER_COLUMN,
                                   ElementAddress(request.document.path, element.id));
            }
            rowOf.emplace(element.id, row);
            return true;
        });
    sheet.Columns(NUMBER_COLUMN).SetBold(true);

    std::unordered_map<std::int64_t, int> columnOf;
    for (const dbProperties::PropertyRow& property : dbProperties::LiveLabels(database)) {
        if (columnOf.empty()) {
            sheet.SetText(HEADING_ROW, NUMBER_COLUMN, ELEMENTS_HEADING);
            sheet.SetText(HEADING_ROW, LABEL_COLUMN, LABEL_HEADING);
        }
        int column = FIRST_PROPERTY_COLUMN + static_cast<int>(columnOf.size());
        columnOf.emplace(property.id, column);
        sheet.SetText(HEADING_ROW, column, property.label);
    }
    sheet.Rows(HEADING_ROW).SetBold(true);

    // Every value of the project: those of other documents' elements, of
    // deleted elements and of deleted properties find no cell.
    dbElementValues::ForEachValue(database, [&](const dbElementValues::ElementValue& value) {
        auto row = rowOf.find(value.elementId);
        auto column = columnOf.find(value.propertyId);
        if (row != rowOf.end() && column != columnOf.end() && value.value) {
            sheet.SetText(row->second, column->second, *value.value);
        }
    });
    sheet.FitColumns(HEADING_ROW, NUMBER_COLUMN,
                     FIRST_PROPERTY_COLUMN + static_cast<int>(columnOf.size()),
                     host::MOST_FITTED_WIDTH);
}

}  // namespace veln::ElementValueList
