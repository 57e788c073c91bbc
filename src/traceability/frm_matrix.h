// The matrix dialog: the source and target documents, the hyperlink and
// wrap options, and "Complete", which builds the matrix as a new workbook.
#pragma once

#include <string>
#include <vector>

#include "database/document_context.h"
#include "host/ui/form.h"
#include "traceability/project_documents.h"

namespace veln {

class frmMatrix : public host::Form {
  public:
    explicit frmMatrix(DocumentContext& context);

    host::Label LabelSource{*this, "LabelSource"};
    host::ComboBox ComboBoxSource{*this, "ComboBoxSource"};
    host::Label LabelTarget{*this, "LabelTarget"};
    host::ComboBox ComboBoxTarget{*this, "ComboBoxTarget"};
    host::Label LabelHyperlink{*this, "LabelHyperlink"};
    host::CheckBox CheckBoxHyperlink{*this, "CheckBoxHyperlink"};
    host::Label LabelWrap{*this, "LabelWrap"};
    host::CheckBox CheckBoxWrap{*this, "CheckBoxWrap"};
    host::CommandButton CommandButtonFill{*this, "CommandButtonFill"};
    host::CommandButton CommandButtonExit{*this, "CommandButtonExit"};

  protected:
    void OnLoad() override;

  private:
    void ComboBoxTarget_Change();
    void CommandButtonFill_Click();
    void Fill();

    DocumentContext& context_;
    std::string dbPath;
    // The documents in chooser order, with their stored paths for the links.
    std::vector<ProjectDocument> docPaths;
    // Set while a matrix is built: the host may run events meanwhile, and a
    // second build must not start on the same state.
    bool building_ = false;
};

}  // namespace veln
