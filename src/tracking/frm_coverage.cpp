#include "tracking/frm_coverage.h"

#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/ui/ui.h"
#include "settings/string_ids.h"
#include "traceability/document_chooser.h"
#include "traceability/error_report.h"
#include "traceability/matrix_build.h"
#include "traceability/workbook_output.h"

namespace veln {

namespace {

constexpr int LABEL_COLUMN = 1;
constexpr int STATE_COLUMN = 2;
constexpr int LINKED_COLUMN = 3;
// Before the state of an element not covered, or covered only through
// suspect links, as the other dialogs mark what needs a look.
constexpr const char* FLAGGED_ROW_MARK = "! ";

}  // namespace

frmCoverage::frmCoverage(DocumentContext& context) : Form("frmCoverage"), context_(context) {
    Caption = context_.LoadText(StringId::COVERAGE_CAPTION);
    LabelSource.Caption = context_.LoadText(StringId::COVERAGE_SOURCE);
    LabelTarget.Caption = context_.LoadText(StringId::COVERAGE_TARGET);
    CommandButtonWorkbook.Caption = context_.LoadText(StringId::COVERAGE_WORKBOOK);
    CommandButtonExit.Caption = context_.LoadText(StringId::QUIT);
    ComboBoxSource.OnChange = [this] { FillReport(); };
    ComboBoxTarget.OnChange = [this] { FillReport(); };
    CommandButtonWorkbook.OnClick = [this] { WriteWorkbook(); };
    CommandButtonExit.OnClick = [this] { Unload(); };
}

void frmCoverage::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    ListBoxCoverage.ColumnCount = 4;
    dbPath_ = utilElements::GetDbName(context_);
    ReportingErrors(context_, [&] {
        documents_ =
            ReadProjectDocuments(schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly));
    });
    FillDocumentChooser(ComboBoxSource, documents_);
    FillDocumentChooser(ComboBoxTarget, documents_);
    host::Document* active = context_.app.ActiveDocument();
    ChooseDocumentAt(ComboBoxSource, documents_, active != nullptr ? active->FullName() : "");
    FillReport();
}

void frmCoverage::FillReport() {
    ListBoxCoverage.Clear();
    LabelTotals.Caption.clear();
    rows_.clear();
    const std::string source = ChosenDocumentId(ComboBoxSource);
    const std::string target = ChosenDocumentId(ComboBoxTarget);
    CommandButtonWorkbook.Enabled = false;
    if (source.empty() || target.empty()) {
        return;
    }
    const tracking::TextOf text = [this](int id) { return context_.LoadText(id); };
    ReportingErrors(context_, [&] {
        db::Database database = schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly);
        tracking::CoverageReport report = tracking::BuildCoverage(database, source, target);
        rows_ = tracking::CoverageRows(database, report, text);
        LabelTotals.Caption = tracking::CoverageTotals(report, text);
    });
    for (const tracking::CoverageRow& row : rows_) {
        const int at = ListBoxCoverage.ListCount();
        ListBoxCoverage.AddItem(row.number);
        ListBoxCoverage.SetList(at, LABEL_COLUMN, row.label);
        ListBoxCoverage.SetList(at, STATE_COLUMN,
                                (row.flagged ? FLAGGED_ROW_MARK : "") + row.state);
        ListBoxCoverage.SetList(at, LINKED_COLUMN, row.linkedTo);
    }
    CommandButtonWorkbook.Enabled = !LabelTotals.Caption.empty();
}

void frmCoverage::WriteWorkbook() {
    const ProjectDocument source = ChosenDocument(ComboBoxSource, documents_);
    const ProjectDocument target = ChosenDocument(ComboBoxTarget, documents_);
    const tracking::TextOf text = [this](int id) { return context_.LoadText(id); };
    const std::string totals = LabelTotals.Caption;
    BuildAndShowWorkbook(
        context_, dbPath_,
        context_.LoadText(StringId::COVERAGE_CAPTION) + " " +
            MatrixBuild::FileNames(source, target),
        [&](host::Workbook& workbook, const std::string&) {
            tracking::FillCoverageWorkbook(
                workbook, FileNamePart(ChooserText(source.path), MatrixBuild::SHEET_NAME_LENGTH),
                rows_, totals, text);
        });
}

}  // namespace veln
