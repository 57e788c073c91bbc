// The language dialog: English, French or Auto, written to the settings file
// on OK; the choice takes full effect after a restart.
#pragma once

#include "host/ui/form.h"
#include "settings/core_context.h"

namespace veln {

class frmLanguage : public host::Form {
  public:
    explicit frmLanguage(CoreContext& context);

    host::OptionButton OButtonEnglish{*this, "OButtonEnglish"};
    host::OptionButton OButtonFrench{*this, "OButtonFrench"};
    host::OptionButton OButtonAuto{*this, "OButtonAuto"};
    host::CommandButton OKButton{*this, "OKButton"};
    host::CommandButton CancelButton{*this, "CancelButton"};

  protected:
    void OnLoad() override;

  private:
    void OKButton_Click();
    void CancelButton_Click();

    CoreContext& context_;
};

}  // namespace veln
