// Operations on the project database that the commands run, and the
// statements on the Elements table: a row per element, its document, numbers,
// level and label. An element whose bookmark has gone is marked deleted, and
// its row stays.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "database/document_context.h"
#include "host/db/database.h"
#include "settings/core_context.h"

namespace veln::dbElements {

// The file name of the template database in the program folder, copied when a
// database cannot be built.
inline constexpr const char* TEMPLATE_DATABASE = "ModeleBaseProjet.mdb";
inline constexpr const char* DATABASE_EXTENSION = ".mdb";

// What dbGetDocumentName returns when the document's row is missing.
inline constexpr const char* DOC_NAME_ERROR = "ERROR ON DOC NAMES IN DATABASE";

// Asks for a folder and a name, then creates an empty project database there.
void dbCreateProjectDatabase(CoreContext& context);

// Adds a Documents row for the active document with a new id and returns the
// id; "" after a failure, which the user has been told of.
std::string dbInsertDocument(DocumentContext& context, const std::string& dbPath,
                             const std::string& description);
// "" when the stored name is the active document's full name, the stored name
// when it differs (in any way, letter case too), DOC_NAME_ERROR without a row.
std::string dbGetDocumentName(DocumentContext& context, const std::string& dbPath);
// Stores the active document's full name in its row; false without a row.
bool dbUpdateDocumentName(DocumentContext& context, const std::string& dbPath);
// The row of docId takes the active document's full name, and the description
// when one is given; false without a row.
bool dbReplaceDocument(DocumentContext& context, const std::string& dbPath,
                       const std::string& docId, const std::string& description);
// Marks the element deleted, when it belongs to the active document.
void dbMarkDeleteElement(DocumentContext& context, const std::string& dbPath,
                         const std::string& elementId);
// True when any row of the project, deleted or not, has this element id.
bool dbElementExists(const std::string& dbPath, const std::string& elementId);
// The element's row, when it exists in the active document's project, takes
// label, numbers and level, with the time of the change. database: a
// connection already open on the project (a whole renumbering shares one).
void dbUpdateElement(DocumentContext& context, const std::string& elementId,
                     const std::string& label, const std::array<std::int16_t, 4>& numbers,
                     std::int16_t level, const db::Database* database = nullptr);

// What a renumbering writes of one element.
struct ElementUpdate {
    std::string id;
    std::string label;
    std::array<std::int16_t, 4> numbers{};
    std::int16_t level = 0;
};
// dbUpdateElement for many elements of the active document, through one
// prepared statement on a connection that holds the transaction, all with
// one time of change.
void dbUpdateElements(DocumentContext& context, const std::vector<ElementUpdate>& updates,
                      const db::Database& database);

// Adds the row of a new element of the active document, created now.
void dbInsertElement(DocumentContext& context, const std::string& elementId,
                     const std::string& label, const std::array<std::int16_t, 4>& numbers,
                     std::int16_t level);

// Asks for a project database file; "" when the user cancels.
std::string dbChooseDatabase(CoreContext& context);

// The statements on Elements, over a connection already open; the caller
// holds any transaction and retry.

// An element as the lists and outputs show it; a number never set reads 0.
struct NumberedElement {
    std::string id;
    std::array<std::int64_t, 4> numbers{};
    std::string label;
};

// A live element's row as a document loads it, the values as stored.
struct StoredElement {
    std::string id;
    std::string label;
    std::optional<std::int64_t> level;
    std::array<std::optional<std::int64_t>, 4> numbers;
};

// The document's live elements in number order, ties in the order the rows
// were made.
std::vector<NumberedElement> LiveElements(const db::Database& database, const std::string& docId);
// Calls visit for each live element of the document in number order; only
// those of first-level number firstRank when one is given. visit returns
// false to stop.
void ForEachLiveElement(const db::Database& database, const std::string& docId,
                        std::optional<int> firstRank,
                        const std::function<bool(const NumberedElement&)>& visit);
// How many live elements the document has.
int CountLiveElements(const db::Database& database, const std::string& docId);
// The document's live rows, in the table's order.
std::vector<StoredElement> StoredElements(const db::Database& database, const std::string& docId);
// Marks the element deleted, without a time: its bookmark was found gone.
void MarkGone(const db::Database& database, const std::string& elementId);

// Finds elements by id, deleted ones too, with one statement prepared for
// many look-ups.
class ElementFinder {
  public:
    explicit ElementFinder(const db::Database& database);
    std::optional<NumberedElement> Find(const std::string& elementId);

  private:
    db::Statement statement_;
};

}  // namespace veln::dbElements
