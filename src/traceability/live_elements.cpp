#include "traceability/live_elements.h"

#include "elements/element.h"
#include "traceability/file_address.h"

namespace veln {

namespace {

constexpr const char* NUMBER_ORDER =
    " ORDER BY Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, Elements.E_Number4";

}  // namespace

void ForEachLiveElement(const db::Database& database, const std::string& docId,
                        std::optional<int> firstRank,
                        const std::function<bool(const LiveElement&)>& visit) {
    std::string sql =
        "SELECT Elements.E_id, Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
        "Elements.E_Number4, Elements.E_Label FROM Elements "
        "WHERE Elements.E_Deleted = 0 AND Elements.E_DocId = ?1";
    if (firstRank) {
        sql += " AND Elements.E_Number1 = ?2";
    }
    db::Statement rows = database.Prepare(sql + NUMBER_ORDER);
    rows.Bind(1, docId);
    if (firstRank) {
        rows.Bind(2, *firstRank);
    }
    Element element;
    LiveElement live;
    while (rows.Step()) {
        int level = 0;
        for (const char* field : {"E_Number1", "E_Number2", "E_Number3", "E_Number4"}) {
            element.numbers[static_cast<std::size_t>(level++)] =
                static_cast<std::int16_t>(rows.Integer(field).value_or(0));
        }
        live.id = rows.TextOrEmpty("E_id");
        live.number = element.ElementNumber();
        live.label = rows.TextOrEmpty("E_Label");
        if (!visit(live)) {
            return;
        }
    }
}

int CountLiveElements(const db::Database& database, const std::string& docId) {
    db::Value count = database.QueryValue(
        "SELECT count(*) FROM Elements WHERE Elements.E_Deleted = 0 AND Elements.E_DocId = ?1",
        {docId});
    return static_cast<int>(std::get<std::int64_t>(count.Get()));
}

std::string ElementAddress(const std::string& documentPath, const std::string& elementId) {
    return FileAddress(documentPath) + "#" + elementId;
}

}  // namespace veln
