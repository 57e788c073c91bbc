#include "properties/frm_modify_property.h"

#include "database/db_properties.h"
#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/utf8.h"
#include "properties/error_report.h"
#include "properties/property_definitions.h"

namespace veln {

namespace {

// Columns of the combo box.
constexpr int ID_COLUMN = 0;
constexpr int LABEL_COLUMN = 1;
constexpr int TYPE_COLUMN = 2;

}  // namespace

frmModifyProperty::frmModifyProperty(DocumentContext& context)
    : Form("frmModifyProperty"), context_(context) {
    Caption = context_.LoadText(StringId::MODIFY_PROPERTY_CAPTION);
    LabelProperty.Caption = context_.LoadText(StringId::LABEL);
    LabelComboProperty.Caption = context_.LoadText(StringId::PROPERTY);
    LabelDefaultValue.Caption = context_.LoadText(StringId::DEFAULT_VALUE);
    CheckBoxDefaultValue.Caption = context_.LoadText(StringId::DEFAULT_VALUE);
    LabelComboValues.Caption = context_.LoadText(StringId::COMBO_VALUES);
    LabelType.Caption = context_.LoadText(StringId::DISPLAY_TYPE);
    CommandButtonOk.Caption = "OK";
    CommandButtonCancel.Caption = "Cancel";
    TextBoxPropertyLabel.MaxLength = static_cast<int>(Properties::LABEL_LENGTH);
    TextBoxDefaultValue.MaxLength = static_cast<int>(Properties::DEFAULT_LENGTH);
    TextBoxComboValues.MaxLength = static_cast<int>(Properties::COMBO_VALUES_LENGTH);
    // The user sees labels and types; the id is the row's hidden first column.
    ComboBoxProperties.ColumnCount = 3;
    ComboBoxProperties.HiddenColumns = {ID_COLUMN};
    ComboBoxProperties.BoundColumn = LABEL_COLUMN + 1;
    ComboBoxProperties.OnChange = [this] { ComboBoxProperties_Change(); };
    TextBoxPropertyLabel.OnChange = [this] { Edited(); };
    TextBoxDefaultValue.OnChange = [this] { Edited(); };
    TextBoxComboValues.OnChange = [this] { Edited(); };
    CheckBoxDefaultValue.OnClick = [this] { Edited(); };
    CommandButtonOk.OnClick = [this] { CommandButtonOk_Click(); };
    CommandButtonCancel.OnClick = [this] { Unload(); };
}

void frmModifyProperty::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    LabelWarning.Visible = false;
    HideValueControls();
    CommandButtonOk.Enabled = false;
    Properties::RunReporting(context_, "FormLoad: ", [this] { PopulateComboBox(); });
}

void frmModifyProperty::HideValueControls() {
    for (host::Control* control : std::initializer_list<host::Control*>{
             &TextBoxDefaultValue, &CheckBoxDefaultValue, &LabelComboValues, &LabelDefaultValue,
             &TextBoxComboValues}) {
        control->Visible = false;
    }
}

void frmModifyProperty::PopulateComboBox() {
    ComboBoxProperties.Clear();
    db::Database database =
        schema::OpenProjectDatabase(utilElements::GetDbName(context_), db::OpenMode::ReadOnly);
    for (const auto& definition : Properties::LiveProperties(database)) {
        int row = ComboBoxProperties.ListCount();
        ComboBoxProperties.AddItem(std::to_string(definition.id));
        ComboBoxProperties.SetList(row, LABEL_COLUMN, definition.label);
        ComboBoxProperties.SetList(row, TYPE_COLUMN, definition.type);
    }
}

void frmModifyProperty::ComboBoxProperties_Change() {
    // Once edited, the definition chosen stays the one saved.
    const int row = ComboBoxProperties.ListIndex();
    if (changed_ || row < 0) {
        return;
    }
    HideValueControls();
    TextBoxPropertyLabel.Text = ComboBoxProperties.List(row, LABEL_COLUMN);
    const std::string type = ComboBoxProperties.List(row, TYPE_COLUMN);
    Properties::RunReporting(context_, Name() + " : ", [&] {
        db::Database database =
            schema::OpenProjectDatabase(utilElements::GetDbName(context_), db::OpenMode::ReadOnly);
        std::optional<dbProperties::PropertyRow> definition =
            dbProperties::Find(database, std::stoll(ComboBoxProperties.List(row, ID_COLUMN)));
        if (!definition) {
            return;
        }
        if (type == Properties::TYPE_TEXT) {
            LabelTypeValue.Caption = "Text Box";
            LabelDefaultValue.Visible = true;
            TextBoxDefaultValue.Visible = true;
            TextBoxDefaultValue.Text = definition->defaultValue.value_or("");
        } else if (type == Properties::TYPE_COMBO) {
            LabelTypeValue.Caption = "ComboBox";
            LabelComboValues.Visible = true;
            TextBoxComboValues.Visible = true;
            LabelDefaultValue.Visible = true;
            TextBoxDefaultValue.Visible = true;
            TextBoxDefaultValue.Text = definition->defaultValue.value_or("");
            TextBoxComboValues.Text = definition->comboValues.value_or("");
        } else {
            LabelTypeValue.Caption = "CheckBox";
            CheckBoxDefaultValue.Visible = true;
            CheckBoxDefaultValue.Value = Properties::CheckValue(definition->defaultValue);
        }
    });
}

void frmModifyProperty::Edited() {
    changed_ = true;
    CommandButtonOk.Enabled = true;
    ComboBoxProperties.Enabled = false;
}

void frmModifyProperty::Refuse(const std::string& text) {
    LabelWarning.Caption = text;
    LabelWarning.Visible = true;
}

void frmModifyProperty::CommandButtonOk_Click() {
    // Edits made before any definition was chosen have nothing to change.
    const int row = ComboBoxProperties.ListIndex();
    if (row < 0) {
        return;
    }
    const std::string type = ComboBoxProperties.List(row, TYPE_COLUMN);
    const bool combo = type == Properties::TYPE_COMBO;
    if (std::optional<std::string> refusal = Properties::DefinitionRefusal(
            context_, TextBoxPropertyLabel.Text, TextBoxComboValues.Text, TextBoxDefaultValue.Text,
            combo)) {
        Refuse(*refusal);
        return;
    }
    const std::int64_t id = std::stoll(ComboBoxProperties.List(row, ID_COLUMN));
    if (Properties::RunReporting(context_, Name() + " : ", [&] { Store(id, type); })) {
        Unload();
    }
}

void frmModifyProperty::Store(std::int64_t id, const std::string& type) {
    db::Database database = schema::OpenProjectDatabase(utilElements::GetDbName(context_));
    const std::string label =
        host::FirstCharacters(TextBoxPropertyLabel.Text, Properties::LABEL_LENGTH);
    const std::string defaultText =
        host::FirstCharacters(TextBoxDefaultValue.Text, Properties::DEFAULT_LENGTH);
    // The type is never written: a definition keeps the type it was made with.
    if (type == Properties::TYPE_COMBO) {
        dbProperties::UpdateChoiceList(database, id, label,
                                       Properties::ComboValuesToStore(TextBoxComboValues.Text).text,
                                       defaultText);
    } else {
        dbProperties::UpdateLabelAndDefault(
            database, id, label,
            type == Properties::TYPE_TEXT ? defaultText
                                          : Properties::CheckText(CheckBoxDefaultValue.Value));
    }
}

}  // namespace veln
