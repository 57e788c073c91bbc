// The coverage dialog: the elements of one document of the project and
// whether the elements of another cover them, with the totals; "Workbook"
// writes the same report as a new workbook.
#pragma once

#include <string>
#include <vector>

#include "database/document_context.h"
#include "host/ui/form.h"
#include "traceability/project_documents.h"
#include "tracking/coverage_view.h"

namespace veln {

class frmCoverage : public host::Form {
  public:
    explicit frmCoverage(DocumentContext& context);

    host::Label LabelSource{*this, "LabelSource"};
    host::ComboBox ComboBoxSource{*this, "ComboBoxSource"};
    host::Label LabelTarget{*this, "LabelTarget"};
    host::ComboBox ComboBoxTarget{*this, "ComboBoxTarget"};
    // Number, label, coverage and the elements linked to.
    host::ListBox ListBoxCoverage{*this, "ListBoxCoverage"};
    host::Label LabelTotals{*this, "LabelTotals"};
    host::CommandButton CommandButtonWorkbook{*this, "CommandButtonWorkbook"};
    host::CommandButton CommandButtonExit{*this, "CommandButtonExit"};

  protected:
    void OnLoad() override;

  private:
    void FillReport();
    void WriteWorkbook();

    DocumentContext& context_;
    std::string dbPath_;
    std::vector<ProjectDocument> documents_;
    std::vector<tracking::CoverageRow> rows_;  // the list's rows
};

}  // namespace veln
