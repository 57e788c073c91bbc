// The Documents and Elements rows that documents and elements keep in the
// project database. Each operation opens the database, works and closes it.
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/random_id.h"
#include "database/schema.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::dbElements {

namespace {

using namespace host::MsgBoxStyle;

constexpr std::int16_t DOCUMENT_ID_LENGTH = 8;
constexpr int SQLITE_CONSTRAINT = 19;

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

// The document's row: its name and description, or nothing.
struct DocumentRow {
    std::string name;
    std::optional<std::string> description;
};

std::optional<DocumentRow> FindDocument(const db::Database& database, const std::string& docId) {
    db::Statement row = database.Prepare("SELECT * FROM Documents WHERE Documents.D_ID = ?1");
    row.Bind(1, docId);
    if (!row.Step()) {
        return std::nullopt;
    }
    return DocumentRow{row.TextOrEmpty("D_Name"), row.Text("D_Description")};
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
                } while (FindDocument(database, id));
                try {
                    database.Execute(
                        "INSERT INTO Documents (D_ID, D_Name, D_Description) VALUES (?1, ?2, ?3)",
                        {id, name, description.empty() ? db::Value() : db::Value(description)});
                    return;
                } catch (const db::DbError& error) {
                    // Another user took the id between the probe and the
                    // insertion: draw again rather than give up.
                    if (error.Number() != SQLITE_CONSTRAINT || !FindDocument(database, id)) {
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
    auto row = FindDocument(database, utilElements::GetDocId(context));
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
    RetryWhileLocked(context, [&] {
        database.Execute("UPDATE Documents SET D_Name = ?1 WHERE Documents.D_ID = ?2",
                         {name, utilElements::GetDocId(context)});
    });
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
            database.Execute("UPDATE Documents SET D_Name = ?1 WHERE Documents.D_ID = ?2",
                             {name, docId});
        } else {
            database.Execute(
                "UPDATE Documents SET D_Name = ?1, D_Description = ?2 WHERE Documents.D_ID = ?3",
                {name, description, docId});
        }
    });
    return database.Changes() > 0;
}

void dbMarkDeleteElement(DocumentContext& context, const std::string& dbPath,
                         const std::string& elementId) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    RetryWhileLocked(context, [&] {
        database.Execute(
            "UPDATE Elements SET E_DeleteDate = ?1, E_Deleted = 1 "
            "WHERE Elements.E_id = ?2 AND Elements.E_DocId = ?3",
            {context.system.Now(), elementId, utilElements::GetDocId(context)});
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
        database->Execute(
            "UPDATE Elements SET E_label = ?1, E_Number1 = ?2, E_Number2 = ?3, E_Number3 = ?4, "
            "E_Number4 = ?5, E_level = ?6, E_ModifDate = ?7 "
            "WHERE Elements.E_id = ?8 AND Elements.E_DocId = ?9",
            {label, numbers[0], numbers[1], numbers[2], numbers[3], level, context.system.Now(),
             elementId, utilElements::GetDocId(context)});
    };
    // A connection given holds its transaction, and the lock with it.
    if (own) {
        RetryWhileLocked(context, update);
    } else {
        update();
    }
}

void dbInsertElement(DocumentContext& context, const std::string& elementId,
                     const std::string& label, const std::array<std::int16_t, 4>& numbers,
                     std::int16_t level) {
    db::Database database = schema::OpenProjectDatabase(utilElements::GetDbName(context));
    RetryWhileLocked(context, [&] {
        database.Execute(
            "INSERT INTO Elements (E_id, E_label, E_CreateDate, E_Number1, E_Number2, E_Number3, "
            "E_Number4, E_level, E_DocId) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
            {elementId, label, context.system.Now(), numbers[0], numbers[1], numbers[2], numbers[3],
             level, utilElements::GetDocId(context)});
    });
}

bool dbElementExists(const std::string& dbPath, const std::string& elementId) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    return !database.QueryValue("SELECT 1 FROM Elements WHERE Elements.E_id = ?1", {elementId})
                .IsNull();
}

}  // namespace veln::dbElements
