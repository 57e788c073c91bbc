// The documents of a project database the user chooses, one of which the
// active document replaces in its project.
#pragma once

#include <string>

#include "database/document_context.h"
#include "host/ui/form.h"

namespace veln {

class frmListDocs : public host::Form {
  public:
    explicit frmListDocs(DocumentContext& context);

    // D_ID, D_Name and the description of each Documents row; its value is
    // the D_ID of the row selected.
    host::ListBox ListBoxDocs{*this, "ListBoxDocs"};
    host::CommandButton CommandButtonOk{*this, "CommandButtonOk"};
    host::CommandButton CommandButtonCancel{*this, "CommandButtonCancel"};

  protected:
    void OnLoad() override;

  private:
    void CommandButtonOk_Click();
    // True, after telling the user, when the active document is linked as
    // another row than docId.
    bool LinkedElsewhere(const std::string& docId);
    // OK reads the row selected: without one there is nothing to replace.
    void ListBoxDocs_Change();

    DocumentContext& context_;
    std::string dbPath_;
};

}  // namespace veln
