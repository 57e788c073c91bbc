#include "properties/frm_add_property.h"

#include "database/db_properties.h"
#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/utf8.h"
#include "properties/error_report.h"
#include "properties/property_definitions.h"

namespace veln {

namespace {

// The rows of the type list, in the order of their type codes.
constexpr const char* TYPE_NAMES[] = {"TextBox", "ComboBox", "CheckBox"};

}  // namespace

frmAddProperty::frmAddProperty(DocumentContext& context)
    : Form("frmAddProperty"), context_(context) {
    Caption = context_.LoadText(StringId::ADD_PROPERTY_CAPTION);
    LabelProperty.Caption = context_.LoadText(StringId::PROPERTY_LABEL);
    LabelDefaultValue.Caption = context_.LoadText(StringId::DEFAULT_VALUE);
    LabelType.Caption = context_.LoadText(StringId::DISPLAY_TYPE);
    CheckBoxDefaultValue.Caption = context_.LoadText(StringId::DEFAULT_VALUE);
    LabelComboValues.Caption = context_.LoadText(StringId::COMBO_VALUES);
    CommandButtonOk.Caption = "OK";
    CommandButtonCancel.Caption = "Cancel";
    // The boxes take no more than their columns hold.
    TextBoxPropertyLabel.MaxLength = static_cast<int>(Properties::LABEL_LENGTH);
    TextBoxDefaultValue.MaxLength = static_cast<int>(Properties::DEFAULT_LENGTH);
    TextBoxComboValues.MaxLength = static_cast<int>(Properties::COMBO_VALUES_LENGTH);
    ListBoxType.OnDblClick = [this] { ListBoxType_DblClick(); };
    CommandButtonOk.OnClick = [this] { CommandButtonOk_Click(); };
    CommandButtonCancel.OnClick = [this] { Unload(); };
}

void frmAddProperty::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    for (host::Control* control : std::initializer_list<host::Control*>{
             &LabelWarning, &TextBoxDefaultValue, &CheckBoxDefaultValue, &LabelComboValues,
             &TextBoxComboValues, &LabelDefaultValue}) {
        control->Visible = false;
    }
    ListBoxType.Clear();
    for (const char* name : TYPE_NAMES) {
        ListBoxType.AddItem(name);
    }
    CommandButtonOk.Enabled = false;
    long live = 0;
    Properties::RunReporting(context_,
                             "FormLoad: ", [&] { live = Properties::CountProperties(context_); });
    if (live >= Properties::MAX_PROPERTIES) {
        RefuseMore();
    }
}

void frmAddProperty::RefuseMore() {
    ListBoxType.Enabled = false;
    CommandButtonOk.Enabled = false;
    Refuse(context_.LoadText(StringId::MAX_PROPERTIES_REACHED));
}

void frmAddProperty::Refuse(const std::string& text) {
    LabelWarning.Caption = text;
    LabelWarning.Visible = true;
}

void frmAddProperty::ListBoxType_DblClick() {
    // The first choice holds for the window's life.
    if (typeChosen_) {
        return;
    }
    switch (ListBoxType.ListIndex()) {
        case 0:
            LabelDefaultValue.Visible = true;
            TextBoxDefaultValue.Visible = true;
            type_ = Properties::TYPE_TEXT;
            break;
        case 1:
            LabelComboValues.Visible = true;
            TextBoxComboValues.Visible = true;
            LabelDefaultValue.Visible = true;
            TextBoxDefaultValue.Visible = true;
            type_ = Properties::TYPE_COMBO;
            break;
        default:
            CheckBoxDefaultValue.Visible = true;
            type_ = Properties::TYPE_CHECK;
            break;
    }
    typeChosen_ = true;
    CommandButtonOk.Enabled = true;
}

void frmAddProperty::CommandButtonOk_Click() {
    const bool combo = type_ == Properties::TYPE_COMBO;
    if (std::optional<std::string> refusal = Properties::DefinitionRefusal(
            context_, TextBoxPropertyLabel.Text, TextBoxComboValues.Text, TextBoxDefaultValue.Text,
            combo)) {
        Refuse(*refusal);
        return;
    }
    bool stored = false;
    Properties::RunReporting(context_, Name() + " : ", [&] { stored = Store(); });
    if (stored) {
        Unload();
    }
}

bool frmAddProperty::Store() {
    db::Database database = schema::OpenProjectDatabase(utilElements::GetDbName(context_));
    // The count and the new row in one transaction: two users adding at once
    // cannot pass the limit together.
    db::Transaction transaction(database);
    if (dbProperties::CountLive(database) >= Properties::MAX_PROPERTIES) {
        RefuseMore();
        return false;
    }
    const std::string defaultText =
        host::FirstCharacters(TextBoxDefaultValue.Text, Properties::DEFAULT_LENGTH);
    dbProperties::PropertyRow definition;
    definition.label = host::FirstCharacters(TextBoxPropertyLabel.Text, Properties::LABEL_LENGTH);
    definition.type = type_;
    if (type_ == Properties::TYPE_TEXT) {
        // An empty default is no default.
        if (!defaultText.empty()) {
            definition.defaultValue = defaultText;
        }
    } else if (type_ == Properties::TYPE_COMBO) {
        definition.comboValues = Properties::ComboValuesToStore(TextBoxComboValues.Text).text;
        definition.defaultValue = defaultText;
    } else {
        definition.defaultValue = CheckBoxDefaultValue.Value ? "1" : "0";
    }
    dbProperties::Insert(database, definition, context_.system.Now());
    transaction.Commit();
    return true;
}

}  // namespace veln
