// The window that changes a property definition: its label, default and
// allowed values. Its type never changes, and once the user edits, the
// definition chosen stays chosen.
#pragma once

#include "database/document_context.h"
#include "host/ui/form.h"

namespace veln {

class frmModifyProperty : public host::Form {
  public:
    explicit frmModifyProperty(DocumentContext& context);

    host::Label LabelComboProperty{*this, "LabelComboProperty"};
    // Columns: P_Autonum (hidden), P_Label, P_Type.
    host::ComboBox ComboBoxProperties{*this, "ComboBoxProperties"};
    host::Label LabelProperty{*this, "LabelProperty"};
    host::TextBox TextBoxPropertyLabel{*this, "TextBoxPropertyLabel"};
    host::Label LabelType{*this, "LabelType"};
    host::Label LabelTypeValue{*this, "LabelTypeValue"};
    host::Label LabelDefaultValue{*this, "LabelDefaultValue"};
    host::TextBox TextBoxDefaultValue{*this, "TextBoxDefaultValue"};
    host::CheckBox CheckBoxDefaultValue{*this, "CheckBoxDefaultValue"};
    host::Label LabelComboValues{*this, "LabelComboValues"};
    host::TextBox TextBoxComboValues{*this, "TextBoxComboValues"};
    host::Label LabelWarning{*this, "LabelWarning"};
    host::CommandButton CommandButtonOk{*this, "CommandButtonOk"};
    host::CommandButton CommandButtonCancel{*this, "CommandButtonCancel"};

    // Lists the live definitions in the combo box.
    void PopulateComboBox();
    bool Changed() const { return changed_; }

  protected:
    void OnLoad() override;

  private:
    void ComboBoxProperties_Change();
    void Edited();
    void CommandButtonOk_Click();
    void Refuse(const std::string& text);
    void HideValueControls();
    void Store(std::int64_t id, const std::string& type);

    DocumentContext& context_;
    bool changed_ = false;
};

}  // namespace veln
