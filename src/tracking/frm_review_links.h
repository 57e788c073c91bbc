// The review dialog: the suspect links of a document of the project, each
// with the text of its changed end as reviewed and as it reads now (the
// words that changed marked); the links selected, or all, are cleared.
#pragma once

#include <string>
#include <vector>

#include "database/db_stamps.h"
#include "database/document_context.h"
#include "host/ui/form.h"
#include "traceability/project_documents.h"

namespace veln {

class frmReviewLinks : public host::Form {
  public:
    explicit frmReviewLinks(DocumentContext& context);

    host::Label LabelDocument{*this, "LabelDocument"};
    host::ComboBox ComboBoxDocument{*this, "ComboBoxDocument"};
    // The link's number (hidden), its source and target (number and label),
    // and which end changed.
    host::ListBox ListBoxLinks{*this, "ListBoxLinks"};
    host::Label LabelBefore{*this, "LabelBefore"};
    host::TextBox TextBoxBefore{*this, "TextBoxBefore"};
    host::Label LabelAfter{*this, "LabelAfter"};
    host::TextBox TextBoxAfter{*this, "TextBoxAfter"};
    host::CommandButton CommandButtonReview{*this, "CommandButtonReview"};
    host::CommandButton CommandButtonReviewAll{*this, "CommandButtonReviewAll"};
    host::CommandButton CommandButtonExit{*this, "CommandButtonExit"};

  protected:
    void OnLoad() override;

  private:
    void FillLinks();
    void ShowTexts();
    // Clears the links of the rows given, then shows what is still suspect.
    void Review(const std::vector<int>& rows);

    DocumentContext& context_;
    std::string dbPath_;
    std::vector<ProjectDocument> documents_;
    std::vector<dbStamps::LinkState> shown_;  // the list's rows
};

}  // namespace veln
