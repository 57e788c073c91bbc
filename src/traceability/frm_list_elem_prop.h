// The dialog of the list of elements and property values: the document, the
// hyperlink option, and "Export", which writes the list as a new workbook.
#pragma once

#include <string>
#include <vector>

#include "database/document_context.h"
#include "host/ui/form.h"
#include "traceability/project_documents.h"

namespace veln {

class frmListElemProp : public host::Form {
  public:
    explicit frmListElemProp(DocumentContext& context);

    host::Label LabelSource{*this, "LabelSource"};
    host::ComboBox ComboBoxSource{*this, "ComboBoxSource"};
    host::Label LabelHyperlink{*this, "LabelHyperlink"};
    host::CheckBox CheckBoxHyperlink{*this, "CheckBoxHyperlink"};
    host::CommandButton CommandPopulate{*this, "CommandPopulate"};
    host::CommandButton CommandButtonExit{*this, "CommandButtonExit"};

  protected:
    void OnLoad() override;

  private:
    void CheckBoxHyperlink_Change();
    void CommandPopulate_Click();

    DocumentContext& context_;
    std::string dbPath;
    // The documents in chooser order, with their stored paths for the links.
    std::vector<ProjectDocument> docPaths;
};

}  // namespace veln
