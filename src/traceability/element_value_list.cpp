#include "traceability/element_value_list.h"

#include <unordered_map>

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
    db::Statement properties = database.Prepare(
        "SELECT Properties.P_Autonum, Properties.P_Label FROM Properties "
        "WHERE Properties.P_Deleted = 0");
    while (properties.Step()) {
        if (columnOf.empty()) {
            sheet.SetText(HEADING_ROW, NUMBER_COLUMN, ELEMENTS_HEADING);
        }
        int column = FIRST_PROPERTY_COLUMN + static_cast<int>(columnOf.size());
        columnOf.emplace(properties.Integer("P_Autonum").value_or(0), column);
        sheet.SetText(HEADING_ROW, column, properties.TextOrEmpty("P_Label"));
    }
    sheet.Rows(HEADING_ROW).SetBold(true);

    // Every value of the project: those of other documents' elements, of
    // deleted elements and of deleted properties find no cell.
    db::Statement values = database.Prepare(
        "SELECT ElemProperties.E_Id, ElemProperties.P_Id, ElemProperties.PE_Value "
        "FROM ElemProperties ORDER BY ElemProperties.E_Id, ElemProperties.P_Id");
    while (values.Step()) {
        auto row = rowOf.find(values.TextOrEmpty("E_Id"));
        auto column = columnOf.find(values.Integer("P_Id").value_or(0));
        if (row == rowOf.end() || column == columnOf.end()) {
            continue;
        }
        if (std::optional<std::string> value = values.Text("PE_Value")) {
            sheet.SetText(row->second, column->second, *value);
        }
    }
}

}  // namespace veln::ElementValueList
