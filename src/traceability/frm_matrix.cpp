#include "traceability/frm_matrix.h"

#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/db/db_error.h"
#include "host/ui/ui.h"
#include "traceability/matrix_build.h"
#include "traceability/workbook_output.h"

namespace veln {

frmMatrix::frmMatrix(DocumentContext& context) : Form("frmMatrix"), context_(context) {
    Caption = context_.LoadText(StringId::MATRIX_CAPTION);
    LabelSource.Caption = context_.LoadText(StringId::SOURCE_ROWS);
    LabelTarget.Caption = context_.LoadText(StringId::TARGET_COLUMNS);
    LabelHyperlink.Caption = context_.LoadText(StringId::HYPERLINK_YES_NO);
    LabelWrap.Caption = context_.LoadText(StringId::WRAP_LABELS);
    CommandButtonFill.Caption = context_.LoadText(StringId::COMPLETE);
    CommandButtonExit.Caption = context_.LoadText(StringId::QUIT);
    ComboBoxTarget.OnChange = [this] { ComboBoxTarget_Change(); };
    CommandButtonFill.OnClick = [this] { CommandButtonFill_Click(); };
    CommandButtonExit.OnClick = [this] { Unload(); };
}

void frmMatrix::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    CommandButtonFill.Enabled = false;
    dbPath = utilElements::GetDbName(context_);
    try {
        db::Database database = schema::OpenProjectDatabase(dbPath, db::OpenMode::ReadOnly);
        docPaths = ReadProjectDocuments(database);
    } catch (const db::DbError& error) {
        // The choosers stay empty; the user is told why.
        ShowOutputError(context_, error.Number(), error.Description());
    }
    host::Document* active = context_.app.ActiveDocument();
    int activeRow = -1;
    for (std::size_t i = 0; i < docPaths.size(); ++i) {
        if (active != nullptr && docPaths[i].path == active->FullName()) {
            activeRow = static_cast<int>(i);
        }
    }
    CheckBoxHyperlink.Value = true;
    CheckBoxWrap.Value = false;
    FillDocumentChooser(ComboBoxSource, docPaths);
    if (activeRow >= 0) {
        ComboBoxSource.SetListIndex(activeRow);
    }
    FillDocumentChooser(ComboBoxTarget, docPaths);
}

void frmMatrix::ComboBoxTarget_Change() {
    if (ComboBoxTarget.ListIndex() >= 0) {
        CommandButtonFill.Enabled = true;
    }
}

void frmMatrix::CommandButtonFill_Click() {
    if (building_) {
        return;
    }
    struct Building {
        frmMatrix& form;
        explicit Building(frmMatrix& f) : form(f) {
            form.building_ = true;
            form.CommandButtonFill.Enabled = false;
        }
        Building(const Building&) = delete;
        Building& operator=(const Building&) = delete;
        ~Building() {
            form.building_ = false;
            form.CommandButtonFill.Enabled = true;
        }
    } building(*this);
    Fill();
}

void frmMatrix::Fill() {
    MatrixRequest request;
    request.dbPath = dbPath;
    request.source = ChosenDocument(ComboBoxSource, docPaths);
    request.target = ChosenDocument(ComboBoxTarget, docPaths);
    request.hyperlinks = CheckBoxHyperlink.Value;
    request.wrap = CheckBoxWrap.Value;
    MatrixBuild::Size size;
    try {
        size = MatrixBuild::CountElements(request);
    } catch (const db::DbError& error) {
        ShowOutputError(context_, error.Number(), error.Description());
        return;
    }
    if (size.columns > MatrixBuild::COLUMN_LIMIT) {
        std::string answer =
            context_.ui.InputBox(MatrixBuild::ColumnLimitPrompt(context_.language, size),
                                 context_.LoadText(StringId::MATRIX_SIZE_TITLE), "");
        if (answer.empty()) {
            return;
        }
        // The number that was checked is the one used, never the text typed.
        request.firstRank = MatrixBuild::FirstRankOf(answer);
        if (!request.firstRank) {
            return;
        }
    }
    BuildAndShowWorkbook(context_, dbPath, MatrixBuild::FileNames(request.source, request.target),
                         [&](host::Workbook& workbook, const std::string& now) {
                             MatrixBuild::Fill(workbook, request, context_.language, now,
                                               [this] { context_.app.DoEvents(); });
                         });
}

}  // namespace veln
