// The Documents table: its statements, and the operations on a document's
// row that the commands run. Each operation opens the database, works and
// closes it.
#include "database/db_documents.h"

#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/random_id.h"
#include "database/schema.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::dbDocuments {

std::optional<DocumentRow> Find(const db::Database& database, const std::string& docId) {
    db::Statement row = database.Prepare("SELECT * FROM Documents WHERE Documents.D_ID = ?1");
    row.Bind(1, docId);
    if (!row.Step()) {
        return std::nullopt;
    }
    return DocumentRow{row.TextOrEmpty("D_ID"), row.TextOrEmpty("D_Name"),
                       row.Text("D_Description")};
}

std::vector<DocumentRow> All(const db::Database& database) {
    // In the order the rows were made, as the choosers list them.
    db::Statement rows = database.Prepare("SELECT * FROM Documents ORDER BY Documents.rowid");
    std::vector<DocumentRow> documents;
    while (rows.Step()) {
        documents.push_back(
            {rows.TextOrEmpty("D_ID"), rows.TextOrEmpty("D_Name"), rows.Text("D_Description")});
    }
    return documents;
}

std::vector<DocumentRow> InInsertionOrder(const db::Database& database) {
    // rowid is the insertion order (on a server, a column the schema gives
    // every table).
    db::Statement rows = database.Prepare(
        "SELECT Documents.D_ID, Documents.D_Name FROM Documents ORDER BY Documents.rowid");
    std::vector<DocumentRow> documents;
    while (rows.Step()) {
        documents.push_back({rows.TextOrEmpty("D_ID"), rows.TextOrEmpty("D_Name"), std::nullopt});
    }
    return documents;
}

void Insert(const db::Database& database, const std::string& docId, const std::string& name,
            const std::string& description) {
    database.Execute("INSERT INTO Documents (D_ID, D_Name, D_Description) VALUES (?1, ?2, ?3)",
                     {docId, name, description.empty() ? db::Value() : db::Value(description)});
}

void SetName(const db::Database& database, const std::string& docId, const std::string& name) {
    database.Execute("UPDATE Documents SET D_Name = ?1 WHERE Documents.D_ID = ?2", {name, docId});
}

void SetNameAndDescription(const db::Database& database, const std::string& docId,
                           const std::string& name, const std::string& description) {
    database.Execute(
        "UPDATE Documents SET D_Name = ?1, D_Description = ?2 WHERE Documents.D_ID = ?3",
        {name, description, docId});
}

void SetDescription(const db::Database& database, const std::string& docId,
                    const std::string& description) {
    database.Execute("UPDATE Documents SET D_Description = ?1 WHERE Documents.D_ID = ?2",
                     {description, docId});
}

}  // namespace veln::dbDocuments

namespace veln::dbElements {

namespace {

using namespace host::MsgBoxStyle;

constexpr std::int16_t DOCUMENT_ID_LENGTH = 8;

// Texts of the failure messages, the same in both languages.
constexpr const char* FATAL_TITLE = "Erreur fatale";
constexpr const char* FATAL_ADVICE = "Ne plus utiliser les commandes VELN!";

std::string ActiveFullName(DocumentContext& context) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        throw host::HostError(host::WordError::COMMAND_FAILED, "no document is open");
    }
    return document->FullName();
}

// D_Name holds the document's full path; a longer path is refused before
// anything is written, with the limit named, rather than failing on the
// table's check.
bool FitsDocumentName(DocumentContext& context, const std::string& name) {
    const int width = schema::FieldWidth("Documents", "D_Name");
    if (host::CountCharacters(name) <= width) {
        return true;
    }
    context.ui.MsgBox("The path of this document is longer than the " + std::to_string(width) +
                          " characters a project database holds for it:\r" + name +
                          "\rSave the document under a shorter path, then link it again.",
                      vbCritical, "");
    return false;
}

}  // namespace

std::string dbInsertDocument(DocumentContext& context, const std::string& dbPath,
                             const std::string& description) {
    const std::string name = ActiveFullName(context);
    if (!FitsDocumentName(context, name)) {
        return {};
    }
    std::string id;
    try {
        // Nothing is written until the insertion succeeds: Retry runs it all again.
        RetryWhileLocked(context, [&] {
            db::Database database = schema::OpenProjectDatabase(dbPath);
            for (;;) {
                do {
                    id = RandomId(DOCUMENT_ID_LENGTH);
                } while (dbDocuments::Find(database, id));
                try {
                    dbDocuments::Insert(database, id, name, description);
                    return;
                } catch (const db::DbError& error) {
                    // Another user took the id between the probe and the
                    // insertion: draw again rather than give up.
                    if (error.Number() != db::ERR_CONSTRAINT || !dbDocuments::Find(database, id)) {
                        throw;
                    }
                }
            }
        });
    } catch (const Cancelled&) {
        return {};
    } catch (const db::DbError& error) {
        context.ui.MsgBox(ErrorText(error) + "\r" + FATAL_ADVICE, vbCritical, FATAL_TITLE);
        return {};
    }
    return id;
}

std::string dbGetDocumentName(DocumentContext& context, const std::string& dbPath) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    auto row = dbDocuments::Find(database, utilElements::GetDocId(context));
    if (!row) {
        return DOC_NAME_ERROR;
    }
    return row->name == ActiveFullName(context) ? std::string() : row->name;
}

bool dbUpdateDocumentName(DocumentContext& context, const std::string& dbPath) {
    const std::string name = ActiveFullName(context);
    if (!FitsDocumentName(context, name)) {
        return false;
    }
    db::Database database = schema::OpenProjectDatabase(dbPath);
    RetryWhileLocked(
        context, [&] { dbDocuments::SetName(database, utilElements::GetDocId(context), name); });
    return database.Changes() > 0;
}

bool dbReplaceDocument(DocumentContext& context, const std::string& dbPath,
                       const std::string& docId, const std::string& description) {
    const std::string name = ActiveFullName(context);
    if (!FitsDocumentName(context, name)) {
        return false;
    }
    db::Database database = schema::OpenProjectDatabase(dbPath);
    RetryWhileLocked(context, [&] {
        if (description.empty()) {
            dbDocuments::SetName(database, docId, name);
        } else {
            dbDocuments::SetNameAndDescription(database, docId, name, description);
        }
    });
    return database.Changes() > 0;
}

}  // namespace veln::dbElements
