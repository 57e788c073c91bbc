#include "traceability/frm_list_elem_prop.h"

#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/db/db_error.h"
#include "traceability/element_value_list.h"
#include "traceability/workbook_output.h"

namespace veln {

namespace {

// The button's caption, the same in every language.
constexpr const char* EXPORT_CAPTION = "Export";

}  // namespace

frmListElemProp::frmListElemProp(DocumentContext& context)
    : Form("frmListElemProp"), context_(context) {
    Caption = context_.LoadText(StringId::PROPERTY_VALUES_CAPTION);
    LabelSource.Caption = context_.LoadText(StringId::DOCUMENT);
    LabelHyperlink.Caption = context_.LoadText(StringId::HYPERLINK_YES_NO);
    CommandPopulate.Caption = EXPORT_CAPTION;
    CommandButtonExit.Caption = context_.LoadText(StringId::QUIT);
    CheckBoxHyperlink.OnChange = [this] { CheckBoxHyperlink_Change(); };
    CommandPopulate.OnClick = [this] { CommandPopulate_Click(); };
    CommandButtonExit.OnClick = [this] { Unload(); };
}

void frmListElemProp::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    dbPath = utilElements::GetDbName(context_);
    try {
        db::Database database = schema::OpenProjectDatabase(dbPath, db::OpenMode::ReadOnly);
        docPaths = ReadProjectDocuments(database);
    } catch (const db::DbError& error) {
        // The chooser stays empty; the user is told why.
        ShowOutputError(context_, error.Number(), error.Description());
    }
    CheckBoxHyperlink.Value = true;
    FillDocumentChooser(ComboBoxSource, docPaths);
    host::Document* active = context_.app.ActiveDocument();
    ChooseDocumentAt(ComboBoxSource, docPaths, active != nullptr ? active->FullName() : "");
}

// A change of the option while a document is chosen gives a new list at once.
void frmListElemProp::CheckBoxHyperlink_Change() {
    if (ComboBoxSource.ListIndex() >= 0) {
        CommandPopulate_Click();
    }
}

void frmListElemProp::CommandPopulate_Click() {
    ElementValueListRequest request;
    request.dbPath = dbPath;
    request.document = ChosenDocument(ComboBoxSource, docPaths);
    request.hyperlinks = CheckBoxHyperlink.Value;
    // Without a document there is nothing to list: no empty workbook.
    if (request.document.id.empty()) {
        return;
    }
    BuildAndShowWorkbook(context_, dbPath, ElementValueList::FileNames(request.document),
                         [&](host::Workbook& workbook, const std::string&) {
                             ElementValueList::Fill(workbook, request);
                         });
}

}  // namespace veln
