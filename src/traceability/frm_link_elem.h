// The link dialog: links from an element of a source document to elements of
// a target document are made and undone here, and nowhere else. Each action
// opens the project database, works and closes it.
#pragma once

#include <string>

#include "database/document_context.h"
#include "host/ui/form.h"

namespace veln {

class frmLinkElem : public host::Form {
  public:
    explicit frmLinkElem(DocumentContext& context);

    host::ComboBox ComboBoxSource{*this, "ComboBoxSource"};
    host::ComboBox ComboBoxTarget{*this, "ComboBoxTarget"};
    host::ListBox ListBoxElementsSource{*this, "ListBoxElementsSource"};
    host::ListBox ListBoxElementsTarget{*this, "ListBoxElementsTarget"};
    host::CommandButton CommandButtonLink{*this, "CommandButtonLink"};
    host::CommandButton CommandButtonUnlink{*this, "CommandButtonUnlink"};
    host::CommandButton CommandButtonExit{*this, "CommandButtonExit"};

  protected:
    void OnLoad() override;

  private:
    void ComboBoxSource_Change();
    void ComboBoxTarget_Change();
    void ListBoxElementsSource_Click();
    void CommandButtonLink_Click();
    void CommandButtonUnlink_Click();
    // The list shows the live elements of the chooser's document, or nothing
    // when no document is chosen: never another document's elements.
    void FillElements(const host::ComboBox& chooser, host::ListBox& list);
    // The id of the current row of list, "" when none.
    static std::string CurrentElementId(const host::ListBox& list);

    DocumentContext& context_;
    std::string dbPath_;
};

}  // namespace veln
