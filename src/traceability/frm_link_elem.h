// The link dialog: links from an element of a source document to elements of
// a target document are made and undone here, and nowhere else. Each action
// opens the project database, works and closes it.
#pragma once

#include <string>

#include "database/document_context.h"
#include "host/db/database.h"
#include "host/ui/form.h"

namespace veln {

// What stands before the number of a target whose link is suspect.
inline constexpr const char* SUSPECT_ROW_MARK = "! ";
// The list's column of element numbers (0 holds the hidden id).
inline constexpr int NUMBER_COLUMN = 1;

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
    // The targets the source's suspect links reach show SUSPECT_ROW_MARK
    // before their number; the others show their number alone.
    void MarkSuspectTargets(const db::Database& database, const std::string& sourceId,
                            const std::string& targetDocId);

    DocumentContext& context_;
    std::string dbPath_;
};

}  // namespace veln
