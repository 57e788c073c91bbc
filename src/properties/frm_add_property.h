// The window that adds a property definition to the project: a label, a
// type chosen by double-click, a default and, for a choice list, its values.
#pragma once

#include <string>

#include "database/document_context.h"
#include "host/ui/form.h"

namespace veln {

class frmAddProperty : public host::Form {
  public:
    explicit frmAddProperty(DocumentContext& context);

    host::Label LabelProperty{*this, "LabelProperty"};
    host::TextBox TextBoxPropertyLabel{*this, "TextBoxPropertyLabel"};
    host::Label LabelType{*this, "LabelType"};
    host::ListBox ListBoxType{*this, "ListBoxType"};
    host::Label LabelDefaultValue{*this, "LabelDefaultValue"};
    host::TextBox TextBoxDefaultValue{*this, "TextBoxDefaultValue"};
    host::CheckBox CheckBoxDefaultValue{*this, "CheckBoxDefaultValue"};
    host::Label LabelComboValues{*this, "LabelComboValues"};
    host::TextBox TextBoxComboValues{*this, "TextBoxComboValues"};
    host::Label LabelWarning{*this, "LabelWarning"};
    host::CommandButton CommandButtonOk{*this, "CommandButtonOk"};
    host::CommandButton CommandButtonCancel{*this, "CommandButtonCancel"};

    // The type code chosen ("TEXT", "COMB", "CHCK"); "" until one is.
    const std::string& ChosenType() const { return type_; }

  protected:
    void OnLoad() override;

  private:
    void ListBoxType_DblClick();
    void CommandButtonOk_Click();
    void Refuse(const std::string& text);
    // Adds the row, unless the limit was reached meanwhile; false then.
    bool Store();
    // The limit reached: only Cancel is left.
    void RefuseMore();

    DocumentContext& context_;
    std::string type_;
    bool typeChosen_ = false;
};

}  // namespace veln
