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

using Member = host::CommandBarControl* ThisApplication::*;
using Handler = void (ThisApplication::*)();
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
}  // namespace Face
namespace Swatch {
constexpr int YELLOW = 101;
constexpr int MAGENTA = 102;
constexpr int WHITE = 103;
constexpr int CYAN = 105;
constexpr int GREEN = 106;
constexpr int GREY = 107;
}  // namespace Swatch

// One control of the toolbar. A pop-up holds the buttons marked inPopup that
// follow it. The icon buttons have a tool tip and no caption; the others
// show their text as both.
struct Entry {
    bool inPopup;
    ControlType type;
    int text;  // string id of the caption or tool tip
    bool captioned;
    int face;     // built-in face, 0 for none
    int picture;  // the add-in's swatch, 0 for none
    bool beginGroup;
    const char* memberName;
    Member member;
    Handler click;
};

constexpr bool IN = true;
constexpr bool TOP = false;
constexpr bool CAPTION = true;
constexpr bool ICON = false;
constexpr bool GROUP = true;
constexpr bool NO_GROUP = false;

#define VELN_MEMBER(name) #name, &ThisApplication::name, &ThisApplication::name##_Click

const std::array<Entry, 38> TOOLBAR{{
    {TOP, ControlType::Popup, StringId::MENU_PROJECT, CAPTION, 0, 0, NO_GROUP, "", nullptr,
     nullptr},
    {IN, ControlType::Button, StringId::MENU_CREATE_PROJECT, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oCreateProjectDatabase)},
    {IN, ControlType::Button, StringId::MENU_LINK_DOCUMENT, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oRegisterDocument)},
    {IN, ControlType::Button, StringId::MENU_REPLACE_DOCUMENT, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oReplaceRegisterDocument)},
    {IN, ControlType::Button, StringId::MENU_EDIT_DESCRIPTION, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oEditDocumentDescription)},
    {IN, ControlType::Button, StringId::MENU_COMPARE_MERGE, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oMergeDocuments)},
    {IN, ControlType::Button, StringId::MENU_MARK_ALL_DELETED, CAPTION, Face::DELETE, 0, NO_GROUP,
     VELN_MEMBER(oKillAll)},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_1, ICON, Face::DIGIT_1, 0, GROUP,
     VELN_MEMBER(oAdd1)},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_2, ICON, Face::DIGIT_2, 0, NO_GROUP,
     VELN_MEMBER(oAdd2)},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_3, ICON, Face::DIGIT_3, 0, NO_GROUP,
     VELN_MEMBER(oAdd3)},
    {TOP, ControlType::Button, StringId::TIP_CREATE_LEVEL_4, ICON, Face::DIGIT_4, 0, NO_GROUP,
     VELN_MEMBER(oAdd4)},
    {TOP, ControlType::Button, StringId::TIP_GO_FIRST, ICON, Face::FIRST, 0, GROUP,
     VELN_MEMBER(oFirst)},
    {TOP, ControlType::Button, StringId::TIP_GO_PREVIOUS, ICON, Face::PREVIOUS, 0, NO_GROUP,
     VELN_MEMBER(oPrevious)},
    {TOP, ControlType::Button, StringId::TIP_GO_NEXT, ICON, Face::NEXT, 0, NO_GROUP,
     VELN_MEMBER(oNext)},
    {TOP, ControlType::Button, StringId::TIP_GO_LAST, ICON, Face::LAST, 0, NO_GROUP,
     VELN_MEMBER(oLast)},
    {TOP, ControlType::Button, StringId::TIP_LIST_ELEMENTS, ICON, Face::LIST, 0, GROUP,
     VELN_MEMBER(oListAll)},
    {TOP, ControlType::Button, StringId::TIP_EDIT_ELEMENT, ICON, Face::EDIT, 0, NO_GROUP,
     VELN_MEMBER(oEdit)},
    {TOP, ControlType::Button, StringId::TIP_MARK_DELETED, ICON, Face::DELETE, 0, GROUP,
     VELN_MEMBER(oDel)},
    {TOP, ControlType::Popup, StringId::MENU_PROPERTIES, CAPTION, 0, 0, NO_GROUP, "", nullptr,
     nullptr},
    {IN, ControlType::Button, StringId::MENU_ADD_PROPERTY, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oAddProperty)},
    {IN, ControlType::Button, StringId::MENU_DELETE_PROPERTY, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oDelProperty)},
    {IN, ControlType::Button, StringId::MENU_MODIFY_PROPERTY, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oModifyProperty)},
    {TOP, ControlType::Popup, StringId::MENU_NUMBER, CAPTION, 0, 0, GROUP, "", nullptr, nullptr},
    {IN, ControlType::Button, StringId::MENU_RENUMBER, CAPTION, Face::RENUMBER, 0, NO_GROUP,
     VELN_MEMBER(oRenumber)},
    {IN, ControlType::Button, StringId::MENU_DISPLAY_NUMBERS, CAPTION, Face::NUMBERS, 0, NO_GROUP,
     VELN_MEMBER(oShowNumber)},
    {IN, ControlType::Button, StringId::MENU_SHOW_DELIMITERS, CAPTION, 0, 0, NO_GROUP,
     VELN_MEMBER(oShowElementsBrackets)},
    {TOP, ControlType::Popup, StringId::MENU_HIGHLIGHT, CAPTION, 0, 0, NO_GROUP, "", nullptr,
     nullptr},
    {IN, ControlType::Button, StringId::COLOUR_NONE, CAPTION, 0, Swatch::WHITE, NO_GROUP,
     VELN_MEMBER(oButtonWhite)},
    {IN, ControlType::Button, StringId::COLOUR_CYAN, CAPTION, 0, Swatch::CYAN, NO_GROUP,
     VELN_MEMBER(oButtonCyan)},
    {IN, ControlType::Button, StringId::COLOUR_MAGENTA, CAPTION, 0, Swatch::MAGENTA, NO_GROUP,
     VELN_MEMBER(oButtonPink)},
    {IN, ControlType::Button, StringId::COLOUR_YELLOW, CAPTION, 0, Swatch::YELLOW, NO_GROUP,
     VELN_MEMBER(oButtonYellow)},
    {IN, ControlType::Button, StringId::COLOUR_GREEN, CAPTION, 0, Swatch::GREEN, NO_GROUP,
     VELN_MEMBER(oButtonGreen)},
    {IN, ControlType::Button, StringId::COLOUR_GREY, CAPTION, 0, Swatch::GREY, NO_GROUP,
     VELN_MEMBER(oButtonGray)},
    {TOP, ControlType::Button, StringId::MENU_LINK_ELEMENTS, CAPTION, Face::LINK, 0, GROUP,
     VELN_MEMBER(oLinkElements)},
    {TOP, ControlType::Button, StringId::TIP_LINKS_TREE, CAPTION, Face::TREE, 0, NO_GROUP,
     VELN_MEMBER(oTree)},
    {TOP, ControlType::Button, StringId::TIP_MATRIX, CAPTION, Face::MATRIX, 0, NO_GROUP,
     VELN_MEMBER(oMatrix)},
    {TOP, ControlType::Button, StringId::TIP_LIST_VALUES, CAPTION, Face::LIST_VALUES, 0, NO_GROUP,
     VELN_MEMBER(oListElemPropValues)},
    {TOP, ControlType::Button, StringId::MENU_HELP, CAPTION, Face::HELP, 0, GROUP,
     VELN_MEMBER(oHelp)},
}};

#undef VELN_MEMBER

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
        Skipping([&] {
            context_.ui.MsgBox(context_.LoadText(StringId::TEMPLATE_CREATED),
                               host::MsgBoxStyle::vbInformation, "Veln");
        });
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
        this->*entry.member = &control;
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
    auto enable = [](host::CommandBarControl* control, bool enabled) {
        if (control == nullptr) {
            throw host::HostError(host::WordError::NO_SUCH_MEMBER, "the toolbar is not built");
        }
        control->SetEnabled(enabled);
    };
    enable(oCreateProjectDatabase, true);
    enable(oRegisterDocument, !linked);
    // A new version of a document that lost its link is what the
    // replacement is for: offered while the document is not linked.
    enable(oReplaceRegisterDocument, !linked);
    for (host::CommandBarControl* control : {oEditDocumentDescription,
                                             oMergeDocuments,
                                             oKillAll,
                                             oAdd1,
                                             oAdd2,
                                             oAdd3,
                                             oAdd4,
                                             oAddProperty,
                                             oDelProperty,
                                             oModifyProperty,
                                             oRenumber,
                                             oShowNumber,
                                             oShowElementsBrackets,
                                             oButtonWhite,
                                             oButtonCyan,
                                             oButtonPink,
                                             oButtonYellow,
                                             oButtonGreen,
                                             oButtonGray,
                                             oLinkElements,
                                             oTree,
                                             oMatrix,
                                             oListElemPropValues,
                                             oFirst,
                                             oPrevious,
                                             oNext,
                                             oLast,
                                             oDel,
                                             oListAll,
                                             oEdit}) {
        enable(control, linked);
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
        {{oFirst, first}, {oPrevious, previous}, {oNext, next}, {oLast, last}}};
    for (auto& [button, enabled] : buttons) {
        if (button != nullptr && enabled) {
            button->SetEnabled(*enabled);
        }
    }
}

host::CommandBarControl* ThisApplication::Member(const std::string& name) const {
    for (const Entry& entry : TOOLBAR) {
        if (entry.member != nullptr && name == entry.memberName) {
            return this->*entry.member;
        }
    }
    return nullptr;
}

std::string ThisApplication::MemberName(const host::CommandBarControl& control) const {
    for (const Entry& entry : TOOLBAR) {
        if (entry.member != nullptr && this->*entry.member == &control) {
            return entry.memberName;
        }
    }
    return {};
}

}  // namespace veln::addin
