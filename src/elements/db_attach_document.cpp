#include "elements/db_attach_document.h"

#include <cstdlib>

#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/linking.h"
#include "elements/elements.h"
#include "host/ui/ui.h"

namespace veln::dbElements {

namespace {

// The colour index as written in HIGHLIGHT_COLOR (" 5"): leading blanks
// skipped, 0 when there is no number.
std::int16_t ColourOf(const std::string& text) {
    return static_cast<std::int16_t>(std::strtol(text.c_str(), nullptr, 10));
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
        if (!context.system.FileExists(dbName)) {
            std::string notFound = context.LoadText(StringId::THE_DATABASE) + dbName +
                                   context.LoadText(StringId::IS_NOT_FOUND);
            if (context.ui.MsgBox(
                    notFound + "\r" + context.LoadText(StringId::RELOCATE_OR_CONTINUE),
                    vbOKCancel + vbExclamation,
                    context.LoadText(StringId::THE_DATABASE) +
                        context.LoadText(StringId::IS_NOT_FOUND)) != vbOK) {
                return false;
            }
            dbName = dbChooseDatabase(context);
            if (dbName.empty() || !utilElements::IsProjectDatabaseOrSay(context, dbName)) {
                return false;
            }
            utilElements::SetDocVariable(context, VARDOC_DB_NAME, dbName);
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
                utilElements::DeleteDocVariables(context, {VARDOC_DB_NAME, VARDOC_DOC_ID});
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
