#include "addin/this_application.h"

#include <array>
#include <memory>

#include "addin/command_boundary.h"
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/document_replacement.h"
#include "database/linking.h"
#include "elements/db_attach_document.h"
#include "elements/document_versions.h"
#include "elements/elements.h"
#include "host/host_error.h"
#include "host/ui/ui.h"
#include "properties/element_editor.h"
#include "properties/frm_add_property.h"
#include "properties/frm_del_property.h"
#include "properties/frm_modify_property.h"
#include "settings/frm_splash.h"
#include "traceability/frm_link_elem.h"
#include "traceability/frm_list_elem_prop.h"
#include "traceability/frm_matrix.h"
#include "traceability/frm_tree.h"
#include "tracking/document_stamps.h"
#include "tracking/frm_coverage.h"
#include "tracking/frm_review_links.h"

namespace veln::addin {

namespace {

using namespace host::MsgBoxStyle;

// Runs one step of an event handler in which a failing step is skipped.
template <typename Step>
void Skipping(Step step) {
    try {
        step();
    } catch (const host::NoOneToAnswer&) {
        throw;
    } catch (const std::exception&) {
        // The handler goes on with its next step.
    }
}

// Runs an event handler that stops silently at its first error.
template <typename Handler>
void Stopping(Handler handler) {
    try {
        handler();
    } catch (const host::NoOneToAnswer&) {
        throw;
    } catch (const std::exception&) {
        // The event ends here; the word processor goes on.
    }
}

}  // namespace

ThisApplication::ThisApplication(Context& context, std::string progId)
    : context_(context), progId_(std::move(progId)) {
    // The interface language is chosen once per run, now.
    context_.language.offset = Language::ChooseOffset(context_.system);
}

ThisApplication::~ThisApplication() {
    SetApp(nullptr);
}

void ThisApplication::SetApp(host::Application* app) {
    if (oApp_ != nullptr) {
        oApp_->SetEvents(nullptr);
    }
    oApp_ = app;
    if (oApp_ != nullptr) {
        oApp_->SetEvents(this);
    }
}

bool ThisApplication::Linked() {
    return !utilElements::GetDocVariable(context_, VARDOC_DOC_ID).empty();
}

bool ThisApplication::IsNormalTemplate() {
    host::Document* document = oApp_->ActiveDocument();
    return document != nullptr && document->Name() == host::NORMAL_TEMPLATE;
}

void ThisApplication::Run(const std::function<void()>& command) {
    RunCommand(context_, command);
}

// --- application events ------------------------------------------------------------------------

void ThisApplication::DocumentChange() {
    Stopping([&] {
        if (IsNormalTemplate()) {
            return;
        }
        if (firstDocumentChange_) {
            BuildCommandBarVELN();
            firstDocumentChange_ = false;
        }
        if (oApp_->DocumentCount() == 0) {
            return;
        }
        host::Document& document = *oApp_->ActiveDocument();
        bool saved = document.Saved();
        ConfigureToolbarLinked(Linked());
        document.SetSaved(saved);
        MarkGlobalTemplateSaved();
    });
}

void ThisApplication::DocumentOpen(host::Document& /*document*/) {
    Stopping([&] {
        if (IsNormalTemplate()) {
            return;
        }
        const bool linked = dbElements::dbAttachDocument(context_);
        ConfigureToolbarLinked(linked);
        if (linked) {
            // The elements as they read now: what later saves are compared with.
            Skipping([&] { tracking::StampActiveDocument(context_); });
        }
    });
}

void ThisApplication::NewDocument(host::Document& /*document*/) {
    // The document change that follows configures the toolbar.
}

void ThisApplication::DocumentBeforeSave(host::Document& /*document*/) {
    if (oApp_->ActiveDocument() == nullptr || IsNormalTemplate()) {
        return;
    }
    Skipping([&] { utilElements::SetDocVariable(context_, VARDOC_CHANGEELEM, "0"); });
    Skipping([&] { utilElements::RefreshDbRelative(context_); });
    Skipping([&] { tracking::StampActiveDocument(context_); });
    Skipping([&] { MarkGlobalTemplateSaved(); });
}

void ThisApplication::DocumentBeforeClose(host::Document& /*document*/, bool& cancel) {
    host::Document* active = oApp_->ActiveDocument();
    if (active == nullptr || IsNormalTemplate()) {
        return;
    }
    Skipping([&] { MarkGlobalTemplateSaved(); });
    if (active->Saved() || utilElements::GetDocVariable(context_, VARDOC_CHANGEELEM) != "1") {
        return;
    }
    std::string prompt = context_.LoadText(StringId::SAVE_CHANGES_TO) + active->Name() + "?" +
                         "\r" + context_.LoadText(StringId::ELEMENTS_MODIFIED_SAVE);
    switch (context_.ui.MsgBox(prompt, vbYesNoCancel + vbExclamation)) {
        case host::MsgBoxResult::vbYes:
            // A save that fails keeps the document open, and says why:
            // closing it then would lose the user's work.
            if (!RunCommand(context_, [&] { active->Save(); })) {
                cancel = true;
            }
            break;
        case host::MsgBoxResult::vbNo:
            active->SetSaved(true);
            break;
        default:
            cancel = true;
            break;
    }
}

// --- the commands -------------------------------------------------------------------------------

void ThisApplication::oCreateProjectDatabase_Click() {
    dbElements::dbCreateProjectDatabase(context_);
}

void ThisApplication::oRegisterDocument_Click() {
    if (utilElements::RegisterDocument(context_)) {
        ConfigureToolbarLinked(true);
    }
}

void ThisApplication::oReplaceRegisterDocument_Click() {
    // Offered to an unlinked document only, as the toolbar offers it: the
    // new version takes over a registered document's link.
    if (!Linked() && utilElements::ReplaceDocument(context_)) {
        ConfigureToolbarLinked(true);
    }
}

void ThisApplication::oEditDocumentDescription_Click() {
    if (Linked()) {
        utilElements::EditDocumentDescription(context_);
    }
}

void ThisApplication::oMergeDocuments_Click() {
    if (Linked()) {
        Elements::CompareDocuments(context_);
    }
}

void ThisApplication::oKillAll_Click() {
    // The toolbar keeps its linked state until the next document change;
    // every command's own test keeps it from acting until then.
    if (Linked()) {
        Elements::UnlinkDocument(context_);
    }
}

void ThisApplication::Create(std::int16_t level) {
    if (Linked() && Elements::CreateElement(context_, level)) {
        EnableNavigationButtons();
    }
}

void ThisApplication::oFirst_Click() {
    if (Linked()) {
        Elements::GoFirstElement(context_);
        SetNavigation(false, false, true, true);
    }
}

void ThisApplication::oPrevious_Click() {
    if (Linked()) {
        Elements::GoPreviousElement(context_);
        std::optional<bool> atFirst;
        if (Elements::IsFirstElement(context_)) {
            atFirst = false;
        }
        SetNavigation(atFirst, atFirst, true, true);
    }
}

void ThisApplication::oNext_Click() {
    if (Linked()) {
        Elements::GoNextElement(context_);
        std::optional<bool> atLast;
        if (Elements::IsLastElement(context_)) {
            atLast = false;
        }
        SetNavigation(true, true, atLast, atLast);
    }
}

void ThisApplication::oLast_Click() {
    if (Linked()) {
        Elements::GoLastElement(context_);
        SetNavigation(true, true, false, false);
    }
}

void ThisApplication::oListAll_Click() {
    if (Linked()) {
        Properties::ShowElementList(context_);
    }
}

void ThisApplication::oEdit_Click() {
    if (Linked()) {
        Properties::EditCurrentElement(context_);
    }
}

void ThisApplication::oDel_Click() {
    if (Linked()) {
        Elements::MarkCurrentElementDeleted(context_);
    }
}

void ThisApplication::oAddProperty_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmAddProperty>(context_), true);
    }
}

void ThisApplication::oDelProperty_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmDelProperty>(context_), true);
    }
}

void ThisApplication::oModifyProperty_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmModifyProperty>(context_), true);
    }
}

void ThisApplication::oRenumber_Click() {
    if (Linked()) {
        Elements::RenumberElementsCommand(context_);
    }
}

void ThisApplication::oShowNumber_Click() {
    if (Linked()) {
        Elements::ToggleNumbers(context_);
    }
}

void ThisApplication::oShowElementsBrackets_Click() {
    if (Linked()) {
        Elements::ToggleDelimiters(context_);
    }
}

std::int16_t ThisApplication::HighlightColourOf(std::string_view member) {
    // The word processor's colour indexes: none, turquoise, pink, yellow,
    // bright green, grey 25%.
    static constexpr std::array<std::pair<std::string_view, std::int16_t>, 6> BUTTONS{{
        {"oButtonWhite", 0},
        {"oButtonCyan", 3},
        {"oButtonPink", 5},
        {"oButtonYellow", 7},
        {"oButtonGreen", 4},
        {"oButtonGray", 15},
    }};
    for (const auto& [name, colour] : BUTTONS) {
        if (name == member) {
            return colour;
        }
    }
    return -1;
}

void ThisApplication::Colour(std::int16_t colour) {
    Elements::SetHighlightColour(context_, colour);
}

void ThisApplication::oLinkElements_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmLinkElem>(context_), true);
    }
}

void ThisApplication::oTree_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<FrmTree>(context_), true);
    }
}

void ThisApplication::oMatrix_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmMatrix>(context_), true);
    }
}

void ThisApplication::oListElemPropValues_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmListElemProp>(context_), true);
    }
}

void ThisApplication::oReviewLinks_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmReviewLinks>(context_), true);
    }
}

void ThisApplication::oCoverage_Click() {
    if (Linked()) {
        context_.ui.Show(std::make_shared<frmCoverage>(context_), true);
    }
}

void ThisApplication::oHelp_Click() {
    context_.ui.Show(std::make_shared<frmSplash>(context_), false);
}

}  // namespace veln::addin
