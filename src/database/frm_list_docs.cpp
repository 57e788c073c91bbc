#include "database/frm_list_docs.h"

#include "database/db_documents.h"
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/schema.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln {

namespace {

constexpr std::size_t DESCRIPTION_LENGTH = 255;
constexpr const char* OK_CAPTION = "Ok";

}  // namespace

frmListDocs::frmListDocs(DocumentContext& context) : Form("frmListDocs"), context_(context) {
    Caption = context_.LoadText(StringId::DOCUMENT_TO_REPLACE);
    CommandButtonOk.Caption = OK_CAPTION;
    CommandButtonCancel.Caption = context_.LoadText(StringId::QUIT);
    CommandButtonOk.OnClick = [this] { CommandButtonOk_Click(); };
    CommandButtonCancel.OnClick = [this] { Unload(); };
    ListBoxDocs.OnChange = [this] { ListBoxDocs_Change(); };
    ListBoxDocs.OnDblClick = [this] { CommandButtonOk.Click(); };
}

void frmListDocs::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    ListBoxDocs.ColumnCount = 3;
    ListBoxDocs.BoundColumn = 1;
    ListBoxDocs.Clear();
    CommandButtonOk.Enabled = false;
    dbPath_ = dbElements::dbChooseDatabase(context_);
    if (dbPath_.empty()) {
        return;
    }
    try {
        db::Database database = schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly);
        for (const dbDocuments::DocumentRow& document : dbDocuments::All(database)) {
            int row = ListBoxDocs.ListCount();
            ListBoxDocs.AddItem(document.id);
            ListBoxDocs.SetList(row, 1, document.name);
            ListBoxDocs.SetList(row, 2, document.description.value_or(""));
        }
    } catch (const db::DbError& error) {
        // A file that is no project database lists nothing, and says why.
        ListBoxDocs.Clear();
        dbPath_.clear();
        context_.ui.MsgBox(dbElements::ErrorText(error), host::MsgBoxStyle::vbCritical, "");
    }
}

void frmListDocs::ListBoxDocs_Change() {
    CommandButtonOk.Enabled = !dbPath_.empty() && ListBoxDocs.ListIndex() >= 0;
}

bool frmListDocs::LinkedElsewhere(const std::string& docId) {
    // A copy of the old version carries its id; a document linked as another
    // row would leave two rows naming one file, and its own row's elements
    // would be retired silently at its next opening.
    std::string linkedAs = utilElements::GetDocVariable(context_, VARDOC_DOC_ID);
    if (linkedAs.empty() || linkedAs == docId) {
        return false;
    }
    context_.ui.MsgBox("This document is linked to a project as " + linkedAs +
                           ": it cannot take over the row of " + docId +
                           ". Unlink it first, or replace with a copy of that document.",
                       host::MsgBoxStyle::vbExclamation,
                       context_.LoadText(StringId::DOCUMENT_TO_REPLACE));
    return true;
}

void frmListDocs::CommandButtonOk_Click() {
    context_.replaced = false;
    const std::string docId = ListBoxDocs.Value();
    if (!dbPath_.empty() && !docId.empty() && !LinkedElsewhere(docId)) {
        std::string description = host::FirstCharacters(
            context_.ui.InputBox(context_.LoadText(StringId::DOCUMENT_DESCRIPTION_PROMPT),
                                 context_.LoadText(StringId::DOCUMENT_DESCRIPTION_TITLE), ""),
            DESCRIPTION_LENGTH);
        bool ok = false;
        try {
            ok = dbElements::dbReplaceDocument(context_, dbPath_, docId, description);
        } catch (const dbElements::Cancelled&) {
            ok = false;
        } catch (const db::DbError& error) {
            context_.ui.MsgBox(dbElements::ErrorText(error), host::MsgBoxStyle::vbCritical, "");
        }
        if (ok) {
            utilElements::SetDocVariable(context_, VARDOC_HIGHLIGHT, "1");
            utilElements::SetDocVariable(context_, VARDOC_NUMBERS, "1");
            context_.elementColour = 5;
            utilElements::SetDocVariable(context_, HIGHLIGHT_COLOR, " 5");
            utilElements::SetDocVariable(context_, VARDOC_DOC_ID, docId);
            utilElements::SetDbName(context_, dbPath_);
            // The new version carries the old one's elements: taking over its
            // row is no change of the user's to save.
            context_.app.ActiveDocument()->SetSaved(true);
            context_.replaced = true;
        }
    }
    Unload();
}

}  // namespace veln
