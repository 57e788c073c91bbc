// The about box: the product's title, version and description, the user
// manual in the interface language, and the language dialog.
#pragma once

#include <string>

#include "host/ui/form.h"
#include "settings/core_context.h"

namespace veln {

// The version of this build, "major.minor.revision".
std::string VersionText();

class frmSplash : public host::Form {
  public:
    explicit frmSplash(CoreContext& context);

    host::Image imgLogo{*this, "imgLogo"};
    host::Frame Frame1{*this, "Frame1"};
    host::Label lblTitle{*this, "lblTitle"};
    host::Label lblVersion{*this, "lblVersion"};
    host::Label lblDescription{*this, "lblDescription"};
    host::CommandButton Help{*this, "Help"};
    host::CommandButton CommandLanguage{*this, "CommandLanguage"};
    host::CommandButton ok{*this, "ok"};

    // The user manual of the interface language, in the program folder.
    std::string ManualPath() const;

  protected:
    void OnLoad() override;

  private:
    void Help_Click();
    void CommandLanguage_Click();

    CoreContext& context_;
};

// The program that shows the user manual: $VELN_HELP_VIEWER, else xdg-open.
std::string HelpViewer(const host::System& system);

}  // namespace veln
