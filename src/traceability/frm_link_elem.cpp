#include "traceability/frm_link_elem.h"

#include <set>
#include <unordered_map>

#include "database/db_links.h"
#include "database/db_stamps.h"
#include "database/doc_variables.h"
#include "database/schema.h"
#include "traceability/document_chooser.h"
#include "traceability/element_rows.h"
#include "traceability/error_report.h"

namespace veln {

namespace {

// The question before several links are undone, the same in both languages.
constexpr const char* UNLINK_ALL_PROMPT = "Unlink all elements?";
constexpr const char* UNLINK_ALL_TITLE = "Unlink all ?";

}  // namespace

frmLinkElem::frmLinkElem(DocumentContext& context) : Form("frmLinkElem"), context_(context) {
    Caption = context_.LoadText(StringId::LINK_ELEMENTS_CAPTION);
    CommandButtonLink.Caption = context_.LoadText(StringId::LINK);
    CommandButtonUnlink.Caption = context_.LoadText(StringId::UNLINK);
    CommandButtonExit.Caption = context_.LoadText(StringId::QUIT);
    ComboBoxSource.OnChange = [this] { ComboBoxSource_Change(); };
    ComboBoxTarget.OnChange = [this] { ComboBoxTarget_Change(); };
    ListBoxElementsSource.OnClick = [this] { ListBoxElementsSource_Click(); };
    CommandButtonLink.OnClick = [this] { CommandButtonLink_Click(); };
    CommandButtonUnlink.OnClick = [this] { CommandButtonUnlink_Click(); };
    CommandButtonExit.OnClick = [this] { Unload(); };
    ListBoxElementsTarget.MultiSelect = true;
}

void frmLinkElem::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    CommandButtonLink.Enabled = false;
    CommandButtonUnlink.Enabled = false;
    FillElementList(ListBoxElementsSource, {});
    FillElementList(ListBoxElementsTarget, {});
    dbPath_ = utilElements::GetDbName(context_);
    ReportingErrors(context_, [&] {
        std::vector<ProjectDocument> documents =
            ReadProjectDocuments(schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly));
        FillDocumentChooser(ComboBoxSource, documents);
        FillDocumentChooser(ComboBoxTarget, documents);
    });
}

std::string frmLinkElem::CurrentElementId(const host::ListBox& list) {
    return list.ListIndex() < 0 ? std::string() : list.List(list.ListIndex(), 0);
}

void frmLinkElem::FillElements(const host::ComboBox& chooser, host::ListBox& list) {
    std::string docId = ChosenDocumentId(chooser);
    FillElementList(list, {});
    if (docId.empty()) {
        return;
    }
    ReportingErrors(context_, [&] {
        FillElementList(
            list,
            ReadLiveElements(schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly), docId));
    });
}

void frmLinkElem::ComboBoxSource_Change() {
    FillElements(ComboBoxSource, ListBoxElementsSource);
}

void frmLinkElem::ComboBoxTarget_Change() {
    CommandButtonLink.Enabled = true;
    CommandButtonUnlink.Enabled = true;
    FillElements(ComboBoxTarget, ListBoxElementsTarget);
}

void frmLinkElem::ListBoxElementsSource_Click() {
    std::string sourceId = CurrentElementId(ListBoxElementsSource);
    std::string targetDocId = ChosenDocumentId(ComboBoxTarget);
    if (sourceId.empty() || targetDocId.empty()) {
        return;
    }
    for (int row = 0; row < ListBoxElementsTarget.ListCount(); ++row) {
        ListBoxElementsTarget.SetSelected(row, false);
    }
    ReportingErrors(context_, [&] {
        db::Database database = schema::OpenProjectDatabase(dbPath_, db::OpenMode::ReadOnly);
        std::vector<std::string> targets = dbLinks::LiveTargets(database, sourceId, targetDocId);
        // The first row of each id, found once for all the links.
        std::unordered_map<std::string, int> rows;
        for (int row = ListBoxElementsTarget.ListCount() - 1; row >= 0; --row) {
            rows[ListBoxElementsTarget.List(row, 0)] = row;
        }
        for (const auto& target : targets) {
            if (auto found = rows.find(target); found != rows.end()) {
                ListBoxElementsTarget.SetSelected(found->second, true);
            }
        }
        MarkSuspectTargets(database, sourceId, targetDocId);
    });
}

void frmLinkElem::MarkSuspectTargets(const db::Database& database, const std::string& sourceId,
                                     const std::string& targetDocId) {
    std::set<std::string> suspect;
    for (const auto& [source, target] :
         dbStamps::SuspectPairs(database, ChosenDocumentId(ComboBoxSource), targetDocId)) {
        if (source == sourceId) {
            suspect.insert(target);
        }
    }
    for (int row = 0; row < ListBoxElementsTarget.ListCount(); ++row) {
        std::string number = ListBoxElementsTarget.List(row, NUMBER_COLUMN);
        if (number.starts_with(SUSPECT_ROW_MARK)) {
            number.erase(0, std::string_view(SUSPECT_ROW_MARK).size());
        }
        if (suspect.contains(ListBoxElementsTarget.List(row, 0))) {
            number.insert(0, SUSPECT_ROW_MARK);
        }
        ListBoxElementsTarget.SetList(row, NUMBER_COLUMN, number);
    }
}

void frmLinkElem::CommandButtonLink_Click() {
    dbLinks::LinkSource source{CurrentElementId(ListBoxElementsSource),
                               ChosenDocumentId(ComboBoxSource), ChosenDocumentId(ComboBoxTarget)};
    if (source.elementId.empty() || ListBoxElementsTarget.ListIndex() < 0 || source.docId.empty() ||
        source.targetDocId.empty()) {
        return;
    }
    std::vector<std::string> targets;
    for (int row = 0; row < ListBoxElementsTarget.ListCount(); ++row) {
        if (ListBoxElementsTarget.Selected(row)) {
            targets.push_back(ListBoxElementsTarget.List(row, 0));
        }
    }
    ReportingErrors(context_, [&] {
        dbLinks::Link(schema::OpenProjectDatabase(dbPath_), source, targets, context_.system.Now(),
                      context_.system.Environment("USER"));
    });
}

void frmLinkElem::CommandButtonUnlink_Click() {
    std::string sourceId = CurrentElementId(ListBoxElementsSource);
    if (sourceId.empty() || ListBoxElementsTarget.ListIndex() < 0) {
        return;
    }
    std::vector<int> rows;
    for (int row = 0; row < ListBoxElementsTarget.ListCount(); ++row) {
        if (ListBoxElementsTarget.Selected(row)) {
            rows.push_back(row);
        }
    }
    if (rows.size() > 1 &&
        context_.ui.MsgBox(UNLINK_ALL_PROMPT,
                           host::MsgBoxStyle::vbOKCancel + host::MsgBoxStyle::vbExclamation,
                           UNLINK_ALL_TITLE) != host::MsgBoxResult::vbOK) {
        return;
    }
    ReportingErrors(context_, [&] {
        db::Database database = schema::OpenProjectDatabase(dbPath_);
        db::Transaction transaction(database);
        std::string now = context_.system.Now();
        std::vector<int> unlinked;
        for (int row : rows) {
            if (dbLinks::Unlink(database, sourceId, ListBoxElementsTarget.List(row, 0), now)) {
                unlinked.push_back(row);
            }
        }
        transaction.Commit();
        // Deselected once stored: a failure leaves the selection as it was.
        for (int row : unlinked) {
            ListBoxElementsTarget.SetSelected(row, false);
        }
    });
}

}  // namespace veln
