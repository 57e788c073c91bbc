#include "elements/frm_list_elem.h"

#include "database/db_elements.h"
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
    dbElements::ForEachLiveElement(
        database, utilElements::GetDocId(context_), std::nullopt,
        [this](const dbElements::NumberedElement& element) {
            int row = ListBoxElements.ListCount();
            ListBoxElements.AddItem(element.id);
            const auto& numbers = element.numbers;
            ListBoxElements.SetList(row, 1,
                                    std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) +
                                        "." + std::to_string(numbers[2]) + "." +
                                        std::to_string(numbers[3]));
            ListBoxElements.SetList(row, 2, element.label);
            return true;
        });
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
