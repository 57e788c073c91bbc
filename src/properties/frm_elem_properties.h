// The element editor: one element of the active document at a time, its
// number, label and level, and a control per property definition holding
// the element's value. Values typed are kept until the editor closes, and
// only then written to the project.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "elements/context.h"
#include "host/ui/form.h"
#include "properties/prop_value.h"
#include "properties/property_definitions.h"

namespace veln {

// The controls of one property: its caption and, by its type, one of a text
// box, a combo box or a check box.
struct PropertySlot {
    PropertySlot(host::Form& form, int index);

    host::Label LblProperty;
    host::TextBox tbProperty;
    host::ComboBox CbProperty;
    host::CheckBox ChkProperty;
};

class frmElemProperties : public host::Form {
  public:
    // Heights of the window, in twips: room for ten properties, or for all.
    static constexpr std::int32_t HEIGHT = 6255;
    static constexpr std::int32_t TALL_HEIGHT = 9525;
    static constexpr int SHORT_SLOTS = 10;

    explicit frmElemProperties(Context& context);

    host::TextBox tbElemNumber{*this, "tbElemNumber"};
    host::TextBox tbElemLabel{*this, "tbElemLabel"};
    host::ListBox lbElemLevel{*this, "lbElemLevel"};
    host::CommandButton CommandButtonFirst{*this, "CommandButtonFirst"};
    host::CommandButton CommandButtonPrevious{*this, "CommandButtonPrevious"};
    host::CommandButton CommandButtonNext{*this, "CommandButtonNext"};
    host::CommandButton CommandButtonLast{*this, "CommandButtonLast"};
    host::CommandButton CommandButtonChangeLevel{*this, "CommandButtonChangeLevel"};
    host::CommandButton CommandButtonUpdateLabel{*this, "CommandButtonUpdateLabel"};
    host::CommandButton CommandButtonLink{*this, "CommandButtonLink"};
    host::CommandButton CommandButtonExit{*this, "CommandButtonExit"};
    // The other ends of the element's suspect links; hidden when it has none.
    host::Label LabelSuspectLinks{*this, "LabelSuspectLinks"};

    PropertySlot& Slot(int index) { return *slots_.at(static_cast<std::size_t>(index)); }

    // The element shown, and what the editor read of it.
    const std::string& CurrentId() const { return currentId_; }
    const PropValues& Values() const { return values_; }

    // The element under the selection shown; when the selection is in none,
    // a level-1 element is made over it (the paragraph at an insertion
    // point) and "" returned.
    std::string CollectElementInformations();
    // The live definitions into the slots.
    void CollectProperties();
    // The stored values of the document's loaded elements, read at once.
    void CollectPropValues();
    // Writes the values changed since the editor opened, in one transaction.
    void SavePropValues();
    // Every slot shows its property's default.
    void InitControlsValues();
    // The slots show the values held for the element.
    void DisplayPropValues(const std::string& elementId);
    // The slots' values become the element's.
    void PushPropValues(const std::string& elementId);

  protected:
    void OnLoad() override;
    void OnUnload() override;

  private:
    enum class Move { First, Previous, Next, Last };
    void Navigate(Move move);
    void CommandButtonChangeLevel_Click();
    void CommandButtonUpdateLabel_Click();
    void CommandButtonLink_Click();
    void ShowElement(const std::string& id);
    void ShowSuspectLinks();
    void ShowDefault(int slot);
    void SetNavigation(bool firstAndPrevious, bool nextAndLast);
    void Guarded(const std::function<void()>& work);

    Context& context_;
    std::array<std::unique_ptr<PropertySlot>, Properties::MAX_PROPERTIES> slots_;
    std::string project_;  // the project database of the document it opened on
    std::vector<Properties::PropertyDefinition> properties_;
    PropValues values_;
    std::string currentId_;
    std::string currentLabel_;
    std::map<std::string, std::vector<std::string>> suspectEnds_;  // by element id
};

}  // namespace veln
