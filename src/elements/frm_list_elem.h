// The element list: the document's live elements in number order, to go to
// one or to edit it.
#pragma once

#include <functional>

#include "elements/context.h"
#include "host/ui/form.h"

namespace veln {

class frmListElem : public host::Form {
  public:
    explicit frmListElem(Context& context);

    host::ListBox ListBoxElements{*this, "ListBoxElements"};
    host::CommandButton CommandButtonGoTo{*this, "CommandButtonGoTo"};
    host::CommandButton CommandButtonEdit{*this, "CommandButtonEdit"};
    host::CommandButton CommandButtonCancel{*this, "CommandButtonCancel"};

    // Opens the element editor over the list; set by whoever has one.
    std::function<void(Context&)> OpenElementEditor;

  protected:
    void OnLoad() override;

  private:
    void CommandButtonGoTo_Click();
    void CommandButtonEdit_Click();
    void ListBoxElements_DblClick() { CommandButtonGoTo_Click(); }

    Context& context_;
};

}  // namespace veln
