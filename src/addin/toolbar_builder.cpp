// The toolbar "velnToolbar": the global template that holds it, its controls
// in order, and their enabled state for a linked or an unlinked document.
#include <array>
#include <filesystem>

#include "addin/this_application.h"
#include "database/doc_variables.h"
#include "host/host_error.h"
#include "host/ui/ui.h"

namespace veln::addin {

namespace {

using Handler = ThisApplication::Handler;
using host::ControlType;

// Faces of the word processor's icon set, and the add-in's colour swatches.
namespace Face {
constexpr int DELETE = 1019;
constexpr int DIGIT_1 = 71;
constexpr int DIGIT_2 = 72;
constexpr int DIGIT_3 = 73;
constexpr int DIGIT_4 = 74;
constexpr int FIRST = 594;
constexpr int PREVIOUS = 595;
constexpr int NEXT = 596;
constexpr int LAST = 597;
constexpr int LIST = 620;
constexpr int EDIT = 162;
constexpr int RENUMBER = 1553;
constexpr int NUMBERS = 70;
constexpr int LINK = 2642;
constexpr int TREE = 702;
constexpr int MATRIX = 532;
constexpr int LIST_VALUES = 634;
constexpr int HELP = 984;
constexpr int REVIEW = 1087;
constexpr int COVERAGE = 433;
}  // namespace Face
namespace Swatch {
constexpr int YELLOW = 101;
constexpr int MAGENTA = 102;
constexpr int WHITE = 103;
constexpr int CYAN = 105;
constexpr int GREEN = 106;
constexpr int GREY = 107;
}  // namespace Swatch

// When a button is enabled: on every document, on a linked or an unlinked
// one, or never changed from the state it was built with.
enum class EnableRule { Always, Linked, Unlinked, Kept };

// One control of the toolbar. A pop-up holds the buttons marked inPopup that
// follow it. The icon buttons have a tool tip and no caption; the others
// show their text as both. A button has its member name and its handler.
struct Entry {
    bool inPopup;
    ControlType type;
    int text;  // string id of the caption or tool tip
    bool captioned;
    int face;     // built-in face, 0 for none
    int picture;  // the add-in's swatch, 0 for none
    bool beginGroup;
    const char* memberName;
    Handler click;
    EnableRule enable;
};

constexpr bool IN = true;
constexpr bool TOP = false;
constexpr bool CAPTION = true;
constexpr bool ICON = false;
constexpr bool GROUP = true;
constexpr bool NO_GROUP = false;
constexpr EnableRule ALWAYS = EnableRule::Always;
constexpr EnableRule LINKED = EnableRule::Linked;
constexpr EnableRule UNLINKED = EnableRule::Unlinked;
constexpr EnableRule KEPT = EnableRule::Kept;

const std::array<Entry, 40> TOOLBAR{{
    {TOP, ControlType::Popup, StringId::MENU_PROJECT, CAPTION, 0, 0, NO_GROUP, "", nullptr, KEPT},
    {IN, ControlType::Button, StringId::MENU_CREATE_PROJECT, CAPTION, 0, 0, NO_GROUP,
     "oCreateProjectDatabase", &ThisApplication::oCreateProjectDatabase_Click, ALWAYS},
    {IN, ControlType::Button, StringId::MENU_LINK_DOCUMENT, CAPTION, 0, 0, NO_GROUP,
     "oRegisterDocument", &ThisApplication::oRegisterDocument_Click, UNLINKED},
    // A new version of a document that lost its link is what the
    // replacement is for: offered while the document is not linked.
    {IN, ControlType::Button, StringId::MENU_REPLACE_DOCUMENT, CAPTION, 0, 0, NO_GROUP,
     "oReplaceRegisterDocument", &ThisApplication::oReplaceRegisterDocument_Click, UNLINKED},
    {IN, ControlType::Button, StringId::MENU_EDIT_DESCRIPTION, CAPTION, 0, 0, NO_GROUP,
     "oEditDocumentDescription", &ThisApplication::oEditDocumentDescription_Click, LINKED},
    {IN, ControlType::Button, StringId::MENU_COMPARE_MERGE, CAPTION, 0, 0, NO_GROUP,
     "oMergeDocuments", &ThisApplication::oMergeDocuments_Click, LINKED},
    {IN, ControlType::Button, StringId::MENU_MARK_ALL_DELETED, CAPTION, Face::DELETE, 0, NO_GROUP,
     "oKillAll", &ThisApplication::oKillAll_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_1, ICON, Face::DIGIT_1, 0, GROUP, "oAdd1",
     &ThisApplication::oAdd1_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_2, ICON, Face::DIGIT_2, 0, NO_GROUP,
     "oAdd2", &ThisApplication::oAdd2_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_3, ICON, Face::DIGIT_3, 0, NO_GROUP,
     "oAdd3", &ThisApplication::oAdd3_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_4, ICON, Face::DIGIT_4, 0, NO_GROUP,
     "oAdd4", &ThisApplication::oAdd4_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_GO_FIRST, ICON, Face::FIRST, 0, GROUP, "oFirst",
     &ThisApplication::oFirst_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_GO_PREVIOUS, ICON, Face::PREVIOUS, 0, NO_GROUP,
     "oPrevious", &ThisApplication::oPrevious_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_GO_NEXT, ICON, Face::NEXT, 0, NO_GROUP, "oNext",
     &ThisApplication::oNext_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_GO_LAST, ICON, Face::LAST, 0, NO_GROUP, "oLast",
     &ThisApplication::oLast_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_LIST_ELEMENTS, ICON, Face::LIST, 0, GROUP, "oListAll",
     &ThisApplication::oListAll_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_EDIT_ELEMENT, ICON, Face::EDIT, 0, NO_GROUP, "oEdit",
     &ThisApplication::oEdit_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_MARK_DELETED, ICON, Face::DELETE, 0, GROUP, "oDel",
     &ThisApplication::oDel_Click, LINKED},
    {TOP, ControlType::Popup, StringId::MENU_PROPERTIES, CAPTION, 0, 0, NO_GROUP, "", nullptr,
     KEPT},
    {IN, ControlType::Button, StringId::MENU_ADD_PROPERTY, CAPTION, 0, 0, NO_GROUP, "oAddProperty",
     &ThisApplication::oAddProperty_Click, LINKED},
    {IN, ControlType::Button, StringId::MENU_DELETE_PROPERTY, CAPTION, 0, 0, NO_GROUP,
     "oDelProperty", &ThisApplication::oDelProperty_Click, LINKED},
    {IN, ControlType::Button, StringId::MENU_MODIFY_PROPERTY, CAPTION, 0, 0, NO_GROUP,
     "oModifyProperty", &ThisApplication::oModifyProperty_Click, LINKED},
    {TOP, ControlType::Popup, StringId::MENU_NUMBER, CAPTION, 0, 0, GROUP, "", nullptr, KEPT},
    {IN, ControlType::Button, StringId::MENU_RENUMBER, CAPTION, Face::RENUMBER, 0, NO_GROUP,
     "oRenumber", &ThisApplication::oRenumber_Click, LINKED},
    {IN, ControlType::Button, StringId::MENU_DISPLAY_NUMBERS, CAPTION, Face::NUMBERS, 0, NO_GROUP,
     "oShowNumber", &ThisApplication::oShowNumber_Click, LINKED},
    {IN, ControlType::Button, StringId::MENU_SHOW_DELIMITERS, CAPTION, 0, 0, NO_GROUP,
     "oShowElementsBrackets", &ThisApplication::oShowElementsBrackets_Click, LINKED},
    {TOP, ControlType::Popup, StringId::MENU_HIGHLIGHT, CAPTION, 0, 0, NO_GROUP, "", nullptr, KEPT},
    {IN, ControlType::Button, StringId::COLOUR_NONE, CAPTION, 0, Swatch::WHITE, NO_GROUP,
     "oButtonWhite", &ThisApplication::oButtonWhite_Click, LINKED},
    {IN, ControlType::Button, StringId::COLOUR_CYAN, CAPTION, 0, Swatch::CYAN, NO_GROUP,
     "oButtonCyan", &ThisApplication::oButtonCyan_Click, LINKED},
    {IN, ControlType::Button, StringId::COLOUR_MAGENTA, CAPTION, 0, Swatch::MAGENTA, NO_GROUP,
     "oButtonPink", &ThisApplication::oButtonPink_Click, LINKED},
    {IN, ControlType::Button, StringId::COLOUR_YELLOW, CAPTION, 0, Swatch::YELLOW, NO_GROUP,
     "oButtonYellow", &ThisApplication::oButtonYellow_Click, LINKED},
    {IN, ControlType::Button, StringId::COLOUR_GREEN, CAPTION, 0, Swatch::GREEN, NO_GROUP,
     "oButtonGreen", &ThisApplication::oButtonGreen_Click, LINKED},
    {IN, ControlType::Button, StringId::COLOUR_GREY, CAPTION, 0, Swatch::GREY, NO_GROUP,
     "oButtonGray", &ThisApplication::oButtonGray_Click, LINKED},
    {TOP, ControlType::Button, StringId::MENU_LINK_ELEMENTS, CAPTION, Face::LINK, 0, GROUP,
     "oLinkElements", &ThisApplication::oLinkElements_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_LINKS_TREE, CAPTION, Face::TREE, 0, NO_GROUP, "oTree",
     &ThisApplication::oTree_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_MATRIX, CAPTION, Face::MATRIX, 0, NO_GROUP, "oMatrix",
     &ThisApplication::oMatrix_Click, LINKED},
    {TOP, ControlType::Button, StringId::TIP_LIST_VALUES, CAPTION, Face::LIST_VALUES, 0, NO_GROUP,
     "oListElemPropValues", &ThisApplication::oListElemPropValues_Click, LINKED},
    {TOP, ControlType::Button, StringId::REVIEW_CAPTION, ICON, Face::REVIEW, 0, GROUP,
     "oReviewLinks", &ThisApplication::oReviewLinks_Click, LINKED},
    {TOP, ControlType::Button, StringId::COVERAGE_CAPTION, ICON, Face::COVERAGE, 0, NO_GROUP,
     "oCoverage", &ThisApplication::oCoverage_Click, LINKED},
    {TOP, ControlType::Button, StringId::MENU_HELP, CAPTION, Face::HELP, 0, GROUP, "oHelp",
     &ThisApplication::oHelp_Click, KEPT},
}};

// Runs one step of a build in which a failing step is skipped.
template <typename Step>
void Skipping(Step step) {
    try {
        step();
    } catch (const host::NoOneToAnswer&) {
        throw;
    } catch (const std::exception&) {
        // The next step runs all the same.
    }
}

// The active document, which a step needs; without one the step fails.
host::Document& Need(host::Document* document) {
    if (document == nullptr) {
        throw host::HostError(host::WordError::COMMAND_FAILED, "no document is open");
    }
    return *document;
}

}  // namespace

std::string ThisApplication::GlobalTemplatePath() const {
    return (std::filesystem::path(oApp_->StartupPath) / GLOBAL_TEMPLATE).string();
}

void ThisApplication::MarkGlobalTemplateSaved() {
    if (host::Template* global = oApp_->FindTemplate(GlobalTemplatePath())) {
        global->Saved = true;
    }
}

void ThisApplication::BuildCommandBarVELN() {
    host::Application& app = *oApp_;
    const std::string path = GlobalTemplatePath();
    host::Document* document = app.ActiveDocument();
    // Making the template and attaching it mark the document changed: its
    // own flag is given back at the end, so no change of the user's is
    // taken for saved.
    const bool wasSaved = document != nullptr && document->Saved();
    if (!context_.system.FileExists(path)) {
        // The first run: an empty template, which the word processor loads
        // from the startup folder at its next start.
        Skipping([&] {
            std::filesystem::create_directories(app.StartupPath);
            host::Document& blank = app.AddDocument(false);
            struct Closer {
                host::Application& app;
                host::Document& document;
                ~Closer() { app.CloseDocument(document); }
            } closer{app, blank};
            blank.SaveAs(path, host::SaveFormat::Template);
        });
        // A program of its own has its toolbar now: there is nothing to restart.
        if (!context_.ownProgram) {
            Skipping([&] {
                context_.ui.MsgBox(context_.LoadText(StringId::TEMPLATE_CREATED),
                                   host::MsgBoxStyle::vbInformation, "Veln");
            });
        }
    }
    std::string remembered;
    Skipping([&] {
        remembered = Need(document).AttachedTemplate;
        app.AttachTemplate(*document, path);
    });
    app.CustomizationContext = {nullptr, path};
    Skipping([&] { app.CommandBars.Delete(TOOLBAR_NAME); });
    host::CommandBar& bar = app.CommandBars.Add(TOOLBAR_NAME, 1);
    host::CommandBarControls* parent = &bar.Controls();
    for (const Entry& entry : TOOLBAR) {
        host::CommandBarControls& into = entry.inPopup ? *parent : bar.Controls();
        host::CommandBarControl& control = into.Add(entry.type);
        control.BeginGroup = entry.beginGroup;
        if (entry.type == ControlType::Popup) {
            control.Caption = context_.LoadText(entry.text);
            parent = &control.Controls();
            continue;
        }
        controls_[entry.memberName] = &control;
        control.FaceId = entry.face;
        control.Picture = entry.picture;
        std::string text = context_.LoadText(entry.text);
        if (entry.captioned) {
            control.Caption = text;
        }
        control.TooltipText = text;
        control.Tag = text;
        control.OnAction = "!<" + progId_ + ">";
        control.Visible = true;
        Handler click = entry.click;
        control.Click = [this, click] { Run([this, click] { (this->*click)(); }); };
    }
    MarkGlobalTemplateSaved();
    Skipping([&] { app.AttachTemplate(Need(document), remembered); });
    if (document != nullptr) {
        document->SetSaved(wasSaved);
    }
    bar.Visible = true;
}

void ThisApplication::ConfigureToolbarLinked(bool linked) {
    host::Document* document = &Need(oApp_->ActiveDocument());
    if (IsNormalTemplate()) {
        return;
    }
    if (document->AttachedTemplateName() != GLOBAL_TEMPLATE) {
        oApp_->AttachTemplate(*document, GlobalTemplatePath());
    }
    host::ScreenUpdatingOff frozen(*oApp_);
    oApp_->CustomizationContext = {document, ""};
    for (const Entry& entry : TOOLBAR) {
        if (entry.click == nullptr || entry.enable == EnableRule::Kept) {
            continue;
        }
        host::CommandBarControl* control = Member(entry.memberName);
        if (control == nullptr) {
            throw host::HostError(host::WordError::NO_SUCH_MEMBER, "the toolbar is not built");
        }
        control->SetEnabled(entry.enable == EnableRule::Always ||
                            (entry.enable == EnableRule::Linked) == linked);
    }
}

void ThisApplication::EnableNavigationButtons() {
    SetNavigation(true, true, true, true);
}

void ThisApplication::SetNavigation(std::optional<bool> first, std::optional<bool> previous,
                                    std::optional<bool> next, std::optional<bool> last) {
    host::Document* document = oApp_ == nullptr ? nullptr : oApp_->ActiveDocument();
    if (document == nullptr) {
        return;
    }
    oApp_->CustomizationContext = {document, ""};
    std::array<std::pair<host::CommandBarControl*, std::optional<bool>>, 4> buttons{
        {{Member("oFirst"), first},
         {Member("oPrevious"), previous},
         {Member("oNext"), next},
         {Member("oLast"), last}}};
    for (auto& [button, enabled] : buttons) {
        if (button != nullptr && enabled) {
            button->SetEnabled(*enabled);
        }
    }
}

host::CommandBarControl* ThisApplication::Member(const std::string& name) const {
    auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

std::string ThisApplication::MemberName(const host::CommandBarControl& control) const {
    for (const auto& [name, member] : controls_) {
        if (member == &control) {
            return name;
        }
    }
    return {};
}

ThisApplication::Handler ThisApplication::HandlerOf(const host::CommandBarControl& control) const {
    std::string name = MemberName(control);
    for (const Entry& entry : TOOLBAR) {
        if (entry.click != nullptr && name == entry.memberName) {
            return entry.click;
        }
    }
    return nullptr;
}

}  // namespace veln::addin
