// The Documents and Elements rows that documents and elements keep in the
// project database. Each operation opens the database, works and closes it.
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/random_id.h"
#include "database/schema.h"
#include "host/ui/ui.h"

namespace veln::dbElements {

namespace {

using namespace host::MsgBoxStyle;

constexpr std::int16_t DOCUMENT_ID_LENGTH = 8;
constexpr int SQLITE_CONSTRAINT = 19;

// Texts of the failure messages, the same in both languages.
constexpr const char* LOCKED_TITLE = "Erreur grave : Corriger ou abandonner";
constexpr const char* FATAL_TITLE = "Erreur fatale";
constexpr const char* FATAL_ADVICE = "Ne plus utiliser les commandes VELN!";

std::string ActiveFullName(DocumentContext& context) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        throw host::HostError(host::WordError::COMMAND_FAILED, "no document is open");
    }
    return document->FullName();
}

std::string ErrorText(const db::DbError& error) {
    return "Error number " + std::to_string(error.Number()) + ": " + error.Description();
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
    for (;;) {
        try {
            db::Database database = schema::OpenProjectDatabase(dbPath);
            for (;;) {
                std::string id;
                do {
                    id = RandomId(DOCUMENT_ID_LENGTH);
                } while (FindDocument(database, id));
                try {
                    database.Execute(
                        "INSERT INTO Documents (D_ID, D_Name, D_Description) VALUES (?1, ?2, ?3)",
                        {id, name, description.empty() ? db::Value() : db::Value(description)});
                    return id;
                } catch (const db::DbError& error) {
                    // Another user took the id between the probe and the
                    // insertion: draw again rather than give up.
                    if (error.Number() != SQLITE_CONSTRAINT || !FindDocument(database, id)) {
                        throw;
                    }
                }
            }
        } catch (const db::DbError& error) {
            if (error.Number() == db::ERR_LOCKED) {
                if (context.ui.MsgBox(ErrorText(error), vbRetryCancel + vbCritical, LOCKED_TITLE) ==
                    host::MsgBoxResult::vbRetry) {
                    continue;
                }
                return {};
            }
            context.ui.MsgBox(ErrorText(error) + "\r" + FATAL_ADVICE, vbCritical, FATAL_TITLE);
            return {};
        }
    }
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
    db::Database database = schema::OpenProjectDatabase(dbPath);
    database.Execute("UPDATE Documents SET D_Name = ?1 WHERE Documents.D_ID = ?2",
                     {ActiveFullName(context), utilElements::GetDocId(context)});
    return database.Changes() > 0;
}

bool dbReplaceDocument(DocumentContext& context, const std::string& dbPath,
                       const std::string& docId, const std::string& description) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    if (description.empty()) {
        database.Execute("UPDATE Documents SET D_Name = ?1 WHERE Documents.D_ID = ?2",
                         {ActiveFullName(context), docId});
    } else {
        database.Execute(
            "UPDATE Documents SET D_Name = ?1, D_Description = ?2 WHERE Documents.D_ID = ?3",
            {ActiveFullName(context), description, docId});
    }
    return database.Changes() > 0;
}

void dbMarkDeleteElement(DocumentContext& context, const std::string& dbPath,
                         const std::string& elementId) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    database.Execute(
        "UPDATE Elements SET E_DeleteDate = ?1, E_Deleted = 1 "
        "WHERE Elements.E_id = ?2 AND Elements.E_DocId = ?3",
        {context.system.Now(), elementId, utilElements::GetDocId(context)});
}

void dbUpdateElement(DocumentContext& context, const std::string& elementId,
                     const std::string& label, const std::array<std::int16_t, 4>& numbers,
                     std::int16_t level, const db::Database* database) {
    std::optional<db::Database> own;
    if (database == nullptr) {
        own.emplace(schema::OpenProjectDatabase(utilElements::GetDbName(context)));
        database = &*own;
    }
    database->Execute(
        "UPDATE Elements SET E_label = ?1, E_Number1 = ?2, E_Number2 = ?3, E_Number3 = ?4, "
        "E_Number4 = ?5, E_level = ?6, E_ModifDate = ?7 "
        "WHERE Elements.E_id = ?8 AND Elements.E_DocId = ?9",
        {label, numbers[0], numbers[1], numbers[2], numbers[3], level, context.system.Now(),
         elementId, utilElements::GetDocId(context)});
}

void dbInsertElement(DocumentContext& context, const std::string& elementId,
                     const std::string& label, const std::array<std::int16_t, 4>& numbers,
                     std::int16_t level) {
    db::Database database = schema::OpenProjectDatabase(utilElements::GetDbName(context));
    database.Execute(
        "INSERT INTO Elements (E_id, E_label, E_CreateDate, E_Number1, E_Number2, E_Number3, "
        "E_Number4, E_level, E_DocId) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
        {elementId, label, context.system.Now(), numbers[0], numbers[1], numbers[2], numbers[3],
         level, utilElements::GetDocId(context)});
}

bool dbElementExists(const std::string& dbPath, const std::string& elementId) {
    db::Database database = schema::OpenProjectDatabase(dbPath);
    return !database.QueryValue("SELECT 1 FROM Elements WHERE Elements.E_id = ?1", {elementId})
                .IsNull();
}

}  // namespace veln::dbElements
