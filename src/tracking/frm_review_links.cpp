#include "tracking/frm_review_links.h"

#include <numeric>

#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/ui/ui.h"
#include "settings/string_ids.h"
#include "traceability/document_chooser.h"
#include "traceability/error_report.h"
#include "tracking/changed_words.h"
#include "tracking/element_suspects.h"

namespace veln {

namespace {

constexpr int LINK_COLUMN = 0;  // hidden
constexpr int SOURCE_COLUMN = 1;
constexpr int TARGET_COLUMN = 2;
constexpr int CHANGE_COLUMN = 3;

}  // namespace

frmReviewLinks::frmReviewLinks(DocumentContext& context)
    : Form("frmReviewLinks"), context_(context) {
    Caption = context_.LoadText(StringId::REVIEW_CAPTION);
    LabelDocument.Caption = context_.LoadText(StringId::REVIEW_DOCUMENT);
    LabelBefore.Caption = context_.LoadText(StringId::REVIEW_BEFORE);
    LabelAfter.Caption = context_.LoadText(StringId::REVIEW_AFTER);
    CommandButtonReview.Caption = context_.LoadText(StringId::REVIEW_SELECTED);
    CommandButtonReviewAll.Caption = context_.LoadText(StringId::REVIEW_ALL);
    CommandButtonExit.Caption = context_.LoadText(StringId::QUIT);
    ListBoxLinks.MultiSelect = true;
    ComboBoxDocument.OnChange = [this] { FillLinks(); };
    ListBoxLinks.OnClick = [this] { ShowTexts(); };
    CommandButtonReview.OnClick = [this] {
        std::vector<int> rows;
        for (int row = 0; row < ListBoxLinks.ListCount(); ++row) {
            if (ListBoxLinks.Selected(row)) {
                rows.push_back(row);
            }
        }
        Review(rows);
    };
    CommandButtonReviewAll.OnClick = [this] {
        std::vector<int> rows(static_cast<std::size_t>(ListBoxLinks.ListCount()));
        std::iota(rows.begin(), rows.end(), 0);
        Review(rows);
    };
    CommandButtonExit.OnClick = [this] { Unload(); };
}

void frmReviewLinks::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    ListBoxLinks.ColumnCount = 4;
    ListBoxLinks.HiddenColumns = {LINK_COLUMN};
    dbPath_ = utilElements::GetDbName(context_);
    ReportingErrors(context_, [&] {
        documents_ =
            ReadProjectDocuments(schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly));
    });
    FillDocumentChooser(ComboBoxDocument, documents_);
    host::Document* active = context_.app.ActiveDocument();
    ChooseDocumentAt(ComboBoxDocument, documents_, active != nullptr ? active->FullName() : "");
    FillLinks();
}

void frmReviewLinks::FillLinks() {
    ListBoxLinks.Clear();
    shown_.clear();
    TextBoxBefore.Text.clear();
    TextBoxAfter.Text.clear();
    const std::string docId = ChosenDocumentId(ComboBoxDocument);
    const bool none = docId.empty();
    CommandButtonReview.Enabled = !none;
    CommandButtonReviewAll.Enabled = !none;
    if (none) {
        return;
    }
    ReportingErrors(context_, [&] {
        db::Database database = schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly);
        dbElements::ElementFinder finder(database);
        for (dbStamps::LinkState& link : dbStamps::LinkStates(database, {docId}, true)) {
            if (!link.Suspect()) {
                continue;
            }
            const int row = ListBoxLinks.ListCount();
            ListBoxLinks.AddItem(std::to_string(link.link));
            ListBoxLinks.SetList(row, SOURCE_COLUMN,
                                 tracking::ElementShown(finder, link.source.elementId));
            ListBoxLinks.SetList(row, TARGET_COLUMN,
                                 tracking::ElementShown(finder, link.target.elementId));
            const int change = link.source.Changed() && link.target.Changed()
                                   ? StringId::REVIEW_CHANGED_BOTH
                               : link.source.Changed() ? StringId::REVIEW_CHANGED_SOURCE
                                                       : StringId::REVIEW_CHANGED_TARGET;
            ListBoxLinks.SetList(row, CHANGE_COLUMN, context_.LoadText(change));
            shown_.push_back(std::move(link));
        }
    });
    CommandButtonReview.Enabled = !shown_.empty();
    CommandButtonReviewAll.Enabled = !shown_.empty();
}

void frmReviewLinks::ShowTexts() {
    const int row = ListBoxLinks.ListIndex();
    if (row < 0 || row >= static_cast<int>(shown_.size())) {
        return;
    }
    const dbStamps::LinkState& link = shown_[static_cast<std::size_t>(row)];
    std::string before;
    std::string after;
    for (const dbStamps::EndState* end : {&link.source, &link.target}) {
        if (!end->Changed()) {
            continue;
        }
        tracking::MarkedTexts marked = tracking::MarkChangedWords(end->reviewedText.value_or(""),
                                                                  end->currentText.value_or(""));
        before += (before.empty() ? "" : "\n") + marked.before;
        after += (after.empty() ? "" : "\n") + marked.after;
    }
    TextBoxBefore.Text = before;
    TextBoxAfter.Text = after;
}

void frmReviewLinks::Review(const std::vector<int>& rows) {
    std::vector<std::int64_t> links;
    links.reserve(rows.size());
    for (int row : rows) {
        links.push_back(shown_.at(static_cast<std::size_t>(row)).link);
    }
    if (links.empty()) {
        return;
    }
    ReportingErrors(context_, [&] {
        dbStamps::Review(schema::OpenProjectDatabase(dbPath_), links, context_.system.Now(),
                         context_.system.Environment("USER"));
    });
    FillLinks();
}

}  // namespace veln
