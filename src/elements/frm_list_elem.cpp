#include "elements/frm_list_elem.h"

#include "database/doc_variables.h"
#include "database/schema.h"
#include "elements/elements.h"

namespace veln {

frmListElem::frmListElem(Context& context) : Form("frmListElem"), context_(context) {
    Caption = context_.LoadText(StringId::NAVIGATION_CAPTION);
    CommandButtonGoTo.Caption = context_.LoadText(StringId::GOTO);
    CommandButtonEdit.Caption = context_.LoadText(StringId::EDIT);
    CommandButtonCancel.Caption = context_.LoadText(StringId::QUIT);
    CommandButtonGoTo.OnClick = [this] { CommandButtonGoTo_Click(); };
    CommandButtonEdit.OnClick = [this] { CommandButtonEdit_Click(); };
    CommandButtonCancel.OnClick = [this] { Unload(); };
    ListBoxElements.OnDblClick = [this] { ListBoxElements_DblClick(); };
}

void frmListElem::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    ListBoxElements.ColumnCount = 3;
    ListBoxElements.HiddenColumns = {0};
    ListBoxElements.Clear();
    // Elements whose bookmark has gone are marked deleted before the list is read.
    if (Elements::CheckDocumentElements(context_) <= 0) {
        return;
    }
    db::Database database =
        schema::OpenProjectDatabase(utilElements::GetDbName(context_), db::OpenMode::ReadOnly);
    db::Statement rows = database.Prepare(
        "SELECT Elements.E_id, Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
        "Elements.E_Number4, Elements.E_Label FROM Elements "
        "WHERE Elements.E_DocId = ?1 AND Elements.E_Deleted = 0 "
        "ORDER BY Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, Elements.E_Number4");
    rows.Bind(1, utilElements::GetDocId(context_));
    while (rows.Step()) {
        int row = ListBoxElements.ListCount();
        ListBoxElements.AddItem(rows.TextOrEmpty("E_id"));
        auto number = [&](const char* field) {
            return std::to_string(rows.Integer(field).value_or(0));
        };
        ListBoxElements.SetList(row, 1,
                                number("E_Number1") + "." + number("E_Number2") + "." +
                                    number("E_Number3") + "." + number("E_Number4"));
        ListBoxElements.SetList(row, 2, rows.TextOrEmpty("E_Label"));
    }
}

void frmListElem::CommandButtonGoTo_Click() {
    if (ListBoxElements.ListIndex() >= 0) {
        Elements::GoToElement(context_, ListBoxElements.List(ListBoxElements.ListIndex(), 0));
    }
}

void frmListElem::CommandButtonEdit_Click() {
    if (ListBoxElements.ListIndex() >= 0) {
        Elements::GoToElement(context_, ListBoxElements.List(ListBoxElements.ListIndex(), 0));
        if (OpenElementEditor) {
            OpenElementEditor(context_);
        }
    }
}

}  // namespace veln
