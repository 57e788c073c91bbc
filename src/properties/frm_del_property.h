// The window that deletes property definitions: the definition is marked
// deleted and every value of it is removed, for good.
#pragma once

#include <cstdint>
#include <vector>

#include "database/document_context.h"
#include "host/ui/form.h"

namespace veln {

class frmDelProperty : public host::Form {
  public:
    explicit frmDelProperty(DocumentContext& context);

    host::Label LabelProperty{*this, "LabelProperty"};
    host::ListBox ListBoxProperties{*this, "ListBoxProperties"};
    host::CommandButton CommandButtonDel{*this, "CommandButtonDel"};
    host::CommandButton CommandButtonCancel{*this, "CommandButtonCancel"};

    // Lists the live definitions, their ids beside the rows.
    void FillPropertyList();

  protected:
    void OnLoad() override;

  private:
    void CommandButtonDel_Click();

    DocumentContext& context_;
    std::vector<std::int64_t> ids_;  // P_Autonum of each row of the list
};

}  // namespace veln
