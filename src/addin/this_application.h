// The add-in inside the word processor: the toolbar's buttons and their
// handlers, and the handlers of the application events that keep the
// toolbar and the documents in step with their projects.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "elements/context.h"
#include "host/word/application.h"

namespace veln::addin {

// The toolbar's name, and the global template that holds it.
inline constexpr const char* TOOLBAR_NAME = "velnToolbar";
inline constexpr const char* GLOBAL_TEMPLATE = "veln.dot";

class ThisApplication : public host::ApplicationEvents {
  public:
    // Chooses the interface language of the run; the toolbar is built at
    // the first document change.
    ThisApplication(Context& context, std::string progId);
    ~ThisApplication() override;
    ThisApplication(const ThisApplication&) = delete;
    ThisApplication& operator=(const ThisApplication&) = delete;

    // oApp: the word processor whose events reach the handlers below;
    // nullptr unhooks them.
    void SetApp(host::Application* app);

    // --- application events -----------------------------------------------------------------
    void DocumentChange() override;
    void DocumentOpen(host::Document& document) override;
    void NewDocument(host::Document& document) override;
    void DocumentBeforeSave(host::Document& document) override;
    void DocumentBeforeClose(host::Document& document, bool& cancel) override;

    // --- the toolbar --------------------------------------------------------------------------
    // Creates the global template on the first run, then builds the toolbar in it.
    void BuildCommandBarVELN();
    // Enables the controls a linked, or an unlinked, document may use.
    void ConfigureToolbarLinked(bool linked);
    // The four navigation buttons, enabled.
    void EnableNavigationButtons();
    // The control held by the member of that name ("oAdd1"), nullptr when
    // there is none or the toolbar is not built.
    host::CommandBarControl* Member(const std::string& name) const;
    // The member name of a control, "" when it is none of ours.
    std::string MemberName(const host::CommandBarControl& control) const;
    // The handler a click on a control of ours runs, nullptr for none.
    using Handler = void (ThisApplication::*)();
    Handler HandlerOf(const host::CommandBarControl& control) const;
    bool FirstDocumentChange() const { return firstDocumentChange_; }

    // --- the handlers of the toolbar's controls
    // ------------------------------------------------------------------------
    void oCreateProjectDatabase_Click();
    void oRegisterDocument_Click();
    void oReplaceRegisterDocument_Click();
    void oEditDocumentDescription_Click();
    void oMergeDocuments_Click();
    void oKillAll_Click();
    void oAdd1_Click() { Create(1); }
    void oAdd2_Click() { Create(2); }
    void oAdd3_Click() { Create(3); }
    void oAdd4_Click() { Create(4); }
    void oFirst_Click();
    void oPrevious_Click();
    void oNext_Click();
    void oLast_Click();
    void oListAll_Click();
    void oEdit_Click();
    void oDel_Click();
    void oAddProperty_Click();
    void oDelProperty_Click();
    void oModifyProperty_Click();
    void oRenumber_Click();
    void oShowNumber_Click();
    void oShowElementsBrackets_Click();
    void oButtonWhite_Click() { Colour(HighlightColourOf("oButtonWhite")); }
    void oButtonCyan_Click() { Colour(HighlightColourOf("oButtonCyan")); }
    void oButtonPink_Click() { Colour(HighlightColourOf("oButtonPink")); }
    void oButtonYellow_Click() { Colour(HighlightColourOf("oButtonYellow")); }
    void oButtonGreen_Click() { Colour(HighlightColourOf("oButtonGreen")); }
    void oButtonGray_Click() { Colour(HighlightColourOf("oButtonGray")); }
    // The colour index a highlight button of ours sets (0: none), -1 for
    // a member that is none of them.
    static std::int16_t HighlightColourOf(std::string_view member);
    void oLinkElements_Click();
    void oTree_Click();
    void oMatrix_Click();
    void oListElemPropValues_Click();
    void oReviewLinks_Click();
    void oCoverage_Click();
    void oHelp_Click();

  private:
    // The active document is linked to a project: its id is not empty.
    bool Linked();
    // True when the active document is the normal template itself, which
    // nothing of ours may touch.
    bool IsNormalTemplate();
    std::string GlobalTemplatePath() const;
    void MarkGlobalTemplateSaved();
    void Create(std::int16_t level);
    void Colour(std::int16_t colour);
    // Sets the navigation buttons in order; nullopt leaves one as it is.
    void SetNavigation(std::optional<bool> first, std::optional<bool> previous,
                       std::optional<bool> next, std::optional<bool> last);
    // Runs a click through the command boundary.
    void Run(const std::function<void()>& command);

    Context& context_;
    std::string progId_;
    host::Application* oApp_ = nullptr;
    bool firstDocumentChange_ = true;
    // The toolbar's controls by their member names ("oAdd1"), once it is built.
    std::map<std::string, host::CommandBarControl*, std::less<>> controls_;
};

}  // namespace veln::addin
