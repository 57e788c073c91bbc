// The Elements table: its statements, and the operations on an element's row
// that the commands run.
#include "database/db_elements.h"

#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/schema.h"
#include "host/utf8.h"

namespace veln::dbElements {

namespace {

constexpr const char* NUMBERED_COLUMNS =
    "SELECT Elements.E_id, Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
    "Elements.E_Number4, Elements.E_Label FROM Elements ";

// Labels are typed without control characters; an older project may hold
// some, which would break a line of the tree or a cell: they read as blanks.
std::string StoredLabel(const db::Statement& row) {
    return host::BlankControlCharacters(row.TextOrEmpty("E_label"));
}

NumberedElement NumberedOf(const db::Statement& row) {
    NumberedElement element;
    element.id = row.TextOrEmpty("E_id");
    std::size_t level = 0;
    for (const char* field : {"E_Number1", "E_Number2", "E_Number3", "E_Number4"}) {
        element.numbers.at(level++) = row.Integer(field).value_or(0);
    }
    element.label = StoredLabel(row);
    return element;
}

// What a row is written with.
struct ElementValues {
    const std::string& id;
    const std::string& docId;
    const std::string& label;
    const std::array<std::int16_t, 4>& numbers;
    std::int16_t level;
};

void MarkDeleted(const db::Database& database, const std::string& elementId,
                 const std::string& docId, const std::string& now) {
    database.Execute(
        "UPDATE Elements SET E_DeleteDate = ?1, E_Deleted = 1 "
        "WHERE Elements.E_id = ?2 AND Elements.E_DocId = ?3",
        {now, elementId, docId});
}

constexpr const char* UPDATE_ELEMENT =
    "UPDATE Elements SET E_label = ?1, E_Number1 = ?2, E_Number2 = ?3, E_Number3 = ?4, "
    "E_Number4 = ?5, E_level = ?6, E_ModifDate = ?7 "
    "WHERE Elements.E_id = ?8 AND Elements.E_DocId = ?9";

std::vector<db::Value> UpdateParameters(const ElementValues& element, const std::string& now) {
    return {element.label,
            element.numbers[0],
            element.numbers[1],
            element.numbers[2],
            element.numbers[3],
            element.level,
            now,
            element.id,
            element.docId};
}

void Update(const db::Database& database, const ElementValues& element, const std::string& now) {
    database.Execute(UPDATE_ELEMENT, UpdateParameters(element, now));
}

void Insert(const db::Database& database, const ElementValues& element, const std::string& now) {
    database.Execute(
        "INSERT INTO Elements (E_id, E_label, E_CreateDate, E_Number1, E_Number2, E_Number3, "
        "E_Number4, E_level, E_DocId) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
        {element.id, element.label, now, element.numbers[0], element.numbers[1], element.numbers[2],
         element.numbers[3], element.level, element.docId});
}

bool Exists(const db::Database& database, const std::string& elementId) {
    return !database.QueryValue("SELECT 1 FROM Elements WHERE Elements.E_id = ?1", {elementId})
                .IsNull();
}

}  // namespace

std::vector<NumberedElement> LiveElements(const db::Database& database, const std::string& docId) {
    // rowid, the insertion order, settles equal numbers (on a server, a
    // column the schema gives every table).
    db::Statement rows =
        database.Prepare(std::string(NUMBERED_COLUMNS) +
                         "WHERE Elements.E_DocId = ?1 AND Elements.E_Deleted = 0 "
                         "ORDER BY Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
                         "Elements.E_Number4, Elements.rowid");
    rows.Bind(1, docId);
    std::vector<NumberedElement> elements;
    while (rows.Step()) {
        elements.push_back(NumberedOf(rows));
    }
    return elements;
}

void ForEachLiveElement(const db::Database& database, const std::string& docId,
                        std::optional<int> firstRank,
                        const std::function<bool(const NumberedElement&)>& visit) {
    std::string sql =
        std::string(NUMBERED_COLUMNS) + "WHERE Elements.E_Deleted = 0 AND Elements.E_DocId = ?1";
    if (firstRank) {
        sql += " AND Elements.E_Number1 = ?2";
    }
    sql +=
        " ORDER BY Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
        "Elements.E_Number4";
    db::Statement rows = database.Prepare(sql);
    rows.Bind(1, docId);
    if (firstRank) {
        rows.Bind(2, *firstRank);
    }
    while (rows.Step()) {
        if (!visit(NumberedOf(rows))) {
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

std::vector<StoredElement> StoredElements(const db::Database& database, const std::string& docId) {
    db::Statement rows = database.Prepare(
        "SELECT Elements.* FROM Elements WHERE Elements.E_Deleted = 0 AND Elements.E_DocId = ?1");
    rows.Bind(1, docId);
    std::vector<StoredElement> elements;
    while (rows.Step()) {
        StoredElement& element = elements.emplace_back();
        element.id = rows.TextOrEmpty("E_id");
        element.label = StoredLabel(rows);
        element.level = rows.Integer("E_level");
        std::size_t level = 0;
        for (const char* field : {"E_Number1", "E_Number2", "E_Number3", "E_Number4"}) {
            element.numbers.at(level++) = rows.Integer(field);
        }
    }
    return elements;
}

void MarkGone(const db::Database& database, const std::string& elementId) {
    database.Execute("UPDATE Elements SET E_Deleted = 1 WHERE E_id = ?1", {elementId});
}

ElementFinder::ElementFinder(const db::Database& database)
    : statement_(database.Prepare(std::string(NUMBERED_COLUMNS) + "WHERE Elements.E_Id = ?1")) {}

std::optional<NumberedElement> ElementFinder::Find(const std::string& elementId) {
    statement_.Reset();
    statement_.Bind(1, elementId);
    std::optional<NumberedElement> found;
    if (statement_.Step()) {
        found = NumberedOf(statement_);
    }
    statement_.Reset();
    return found;
}

void dbMarkDeleteElement(DocumentContext& context, const std::string& dbPath,
                         const std::string& elementId) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    RetryWhileLocked(context, [&] {
        MarkDeleted(database, elementId, utilElements::GetDocId(context), context.system.Now());
    });
}

void dbUpdateElement(DocumentContext& context, const std::string& elementId,
                     const std::string& label, const std::array<std::int16_t, 4>& numbers,
                     std::int16_t level, const db::Database* database) {
    std::optional<db::Database> own;
    if (database == nullptr) {
        own.emplace(schema::OpenProjectDatabase(utilElements::GetDbName(context)));
        database = &*own;
    }
    auto update = [&] {
        Update(*database, {elementId, utilElements::GetDocId(context), label, numbers, level},
               context.system.Now());
    };
    // A connection given holds its transaction, and the lock with it.
    if (own) {
        RetryWhileLocked(context, update);
    } else {
        update();
    }
}

void dbUpdateElements(DocumentContext& context, const std::vector<ElementUpdate>& updates,
                      const db::Database& database) {
    const std::string docId = utilElements::GetDocId(context);
    const std::string now = context.system.Now();
    db::Statement update = database.Prepare(UPDATE_ELEMENT);
    for (const ElementUpdate& element : updates) {
        update.BindAll(UpdateParameters(
            {element.id, docId, element.label, element.numbers, element.level}, now));
        update.Run();
        update.Reset();
    }
}

void dbInsertElement(DocumentContext& context, const std::string& elementId,
                     const std::string& label, const std::array<std::int16_t, 4>& numbers,
                     std::int16_t level) {
    db::Database database = schema::OpenProjectDatabase(utilElements::GetDbName(context));
    RetryWhileLocked(context, [&] {
        Insert(database, {elementId, utilElements::GetDocId(context), label, numbers, level},
               context.system.Now());
    });
}

bool dbElementExists(const std::string& dbPath, const std::string& elementId) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    return Exists(database, elementId);
}

}  // namespace veln::dbElements
