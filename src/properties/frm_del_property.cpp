#include "properties/frm_del_property.h"

#include "database/db_element_values.h"
#include "database/db_properties.h"
#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/ui/ui.h"
#include "properties/error_report.h"
#include "properties/property_definitions.h"

namespace veln {

frmDelProperty::frmDelProperty(DocumentContext& context)
    : Form("frmDelProperty"), context_(context) {
    Caption = context_.LoadText(StringId::DELETE_PROPERTY_CAPTION);
    LabelProperty.Caption = context_.LoadText(StringId::SELECT_PROPERTY_TO_DELETE);
    CommandButtonDel.Caption = context_.LoadText(StringId::DELETE);
    CommandButtonCancel.Caption = context_.LoadText(StringId::QUIT);
    CommandButtonDel.OnClick = [this] { CommandButtonDel_Click(); };
    CommandButtonCancel.OnClick = [this] { Unload(); };
}

void frmDelProperty::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    CommandButtonDel.Enabled = false;
    Properties::RunReporting(context_, "FormLoad: ", [this] { FillPropertyList(); });
}

void frmDelProperty::FillPropertyList() {
    ListBoxProperties.Clear();
    ids_.clear();
    const std::string dbPath = utilElements::GetDbName(context_);
    if (dbPath.empty()) {
        return;
    }
    db::Database database = schema::OpenProjectDatabase(dbPath, db::OpenMode::ReadOnly);
    for (const auto& definition : Properties::LiveProperties(database)) {
        ListBoxProperties.AddItem(definition.label);
        ids_.push_back(definition.id);
    }
    // Nothing listed, nothing to delete.
    CommandButtonDel.Enabled = !ids_.empty();
}

void frmDelProperty::CommandButtonDel_Click() {
    const int row = ListBoxProperties.ListIndex();
    if (row < 0) {
        return;
    }
    using namespace host::MsgBoxStyle;
    const std::string question = context_.LoadText(StringId::CONFIRM_DELETE_PROPERTY) +
                                 ListBoxProperties.List(row) +
                                 context_.LoadText(StringId::AND_ALL_VALUES) + " ?" + "\r" +
                                 context_.LoadText(StringId::IRREVERSIBLE_CONTINUE);
    if (context_.ui.MsgBox(question, vbYesNo + vbExclamation + vbDefaultButton2,
                           context_.LoadText(StringId::DELETE)) != host::MsgBoxResult::vbYes) {
        return;
    }
    const std::int64_t id = ids_.at(static_cast<std::size_t>(row));
    Properties::RunReporting(context_, Name() + " : ", [&] {
        db::Database database = schema::OpenProjectDatabase(utilElements::GetDbName(context_));
        // Marked and emptied together: never a live definition without its
        // values, nor a deleted one with them.
        db::Transaction transaction(database);
        dbProperties::MarkDeleted(database, id);
        dbElementValues::DeleteOfProperty(database, id);
        transaction.Commit();
        FillPropertyList();
    });
}

}  // namespace veln
