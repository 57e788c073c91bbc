#include "elements/db_attach_document.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "database/db_documents.h"
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/linking.h"
#include "database/schema.h"
#include "elements/elements.h"
#include "host/ui/ui.h"
#include "settings/language.h"

namespace veln::dbElements {

namespace {

// The colour index as written in HIGHLIGHT_COLOR (" 5"): leading blanks
// skipped, 0 when there is no number.
std::int16_t ColourOf(const std::string& text) {
    return static_cast<std::int16_t>(std::strtol(text.c_str(), nullptr, 10));
}

// True when the file is a project database with a row of that id; the file
// is only read.
bool HoldsDocument(const std::string& path, const std::string& docId) {
    try {
        db::Database database = schema::OpenProjectDatabase(path, db::OpenMode::Snapshot);
        return dbDocuments::Find(database, docId).has_value();
    } catch (const db::DbError&) {
        return false;
    }
}

// The text that says the document took the database beside it.
std::string BesideText(const CoreContext& context, const std::string& path) {
    return context.language.offset == FRENCH_OFFSET
               ? "Base projet trouvée à côté du document, utilisée désormais : " + path
               : "Project database found beside the document, used from now on: " + path;
}

// A document and its project database copied or moved together (a project
// folder copied, unpacked or cloned elsewhere): the database the document
// reaches by its relative path, when that is another file than the one its
// absolute path names and a project database that holds the document's
// row. The document then uses it, and the user is told. Otherwise, and for
// a document moved alone, the absolute path stands.
std::string DatabaseBeside(Context& context, const std::string& dbName, const std::string& docId) {
    namespace fs = std::filesystem;
    const std::string relative = utilElements::GetDocVariable(context, VARDOC_DB_RELATIVE);
    const fs::path folder = fs::path(context.app.ActiveDocument()->FullName()).parent_path();
    // A project moved to a server left its file behind: the server stands.
    if (relative.empty() || folder.empty() || db::Database::IsServerName(dbName)) {
        return dbName;
    }
    std::string reached = (folder / relative).lexically_normal().string();
    std::error_code error;
    if (!fs::is_regular_file(reached, error) || fs::equivalent(reached, dbName, error)) {
        return dbName;
    }
    if (!HoldsDocument(reached, docId)) {
        return dbName;
    }
    utilElements::SetDbName(context, reached);
    context.ui.ShowStatus(BesideText(context, reached));
    return reached;
}

// What keeps the project database out of reach, as the user is told it: a
// file that is not there, a server that does not answer or refuses the
// user; nothing when it is reached.
std::optional<std::string> OutOfReach(Context& context, const std::string& dbName) {
    if (!db::Database::IsServerName(dbName)) {
        if (context.system.FileExists(dbName)) {
            return std::nullopt;
        }
        return context.LoadText(StringId::THE_DATABASE) + dbName +
               context.LoadText(StringId::IS_NOT_FOUND);
    }
    try {
        db::Database::Open(dbName, db::OpenMode::ReadOnly);
        return std::nullopt;
    } catch (const db::DbError& error) {
        return error.Description();
    }
}

}  // namespace

bool dbAttachDocument(Context& context) {
    using namespace host::MsgBoxStyle;
    using host::MsgBoxResult::vbOK;
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        return false;
    }
    std::string dbName = utilElements::GetDbName(context);
    const std::string docId = utilElements::GetDocId(context);
    context.elementColour = ColourOf(utilElements::GetDocVariable(context, HIGHLIGHT_COLOR));
    if (dbName.empty() && docId.empty()) {
        return false;
    }
    if (!dbName.empty() && !docId.empty()) {
        dbName = DatabaseBeside(context, dbName, docId);
        if (std::optional<std::string> notFound = OutOfReach(context, dbName)) {
            if (context.ui.MsgBox(
                    *notFound + "\r" + context.LoadText(StringId::RELOCATE_OR_CONTINUE),
                    vbOKCancel + vbExclamation,
                    context.LoadText(StringId::THE_DATABASE) +
                        context.LoadText(StringId::IS_NOT_FOUND)) != vbOK) {
                return false;
            }
            dbName = dbChooseDatabase(context);
            if (dbName.empty() || !utilElements::IsProjectDatabaseOrSay(context, dbName)) {
                return false;
            }
            utilElements::SetDbName(context, dbName);
        }
        std::string stored = dbGetDocumentName(context, dbName);
        if (!stored.empty()) {
            std::string prompt = context.LoadText(StringId::CURRENT_DOCUMENT) +
                                 document->FullName() + "\r" +
                                 context.LoadText(StringId::IS_LINKED_AS) + dbName + "::" + stored +
                                 "\r" + context.LoadText(StringId::REPLACE_OR_UNLINK) + "\n" +
                                 context.LoadText(StringId::IRREVERSIBLE_CONTINUE);
            if (context.ui.MsgBox(prompt, vbOKCancel + vbQuestion,
                                  context.LoadText(StringId::CHANGE_DOCUMENT_NAME)) == vbOK) {
                dbUpdateDocumentName(context, dbName);
            } else {
                // The document leaves the project: its element bookmarks go,
                // the rows stay as they are.
                Elements::LoadDocumentElements(context, dbName, docId);
                Elements::RemoveDocumentElements(context, false);
                // Both links go, then one save: a failure between two saves
                // would leave a document linked by half.
                utilElements::DeleteDocVariables(
                    context, {VARDOC_DB_NAME, VARDOC_DB_RELATIVE, VARDOC_DOC_ID});
                return false;
            }
        }
        Elements::LoadDocumentElements(context, dbName, docId);
        if (utilElements::GetDocVariable(context, VARDOC_HIGHLIGHT).empty()) {
            utilElements::SetDocVariable(context, VARDOC_HIGHLIGHT, "1");
        }
        if (utilElements::GetDocVariable(context, VARDOC_NUMBERS).empty()) {
            utilElements::SetDocVariable(context, VARDOC_NUMBERS, "1");
        }
    }
    // Writing the variables above is no change of the user's.
    document->SetSaved(true);
    return true;
}

}  // namespace veln::dbElements
