// The office form binder's binders, one per kind of control: the toolkit
// model a control is shown by, the listeners that bring the user's acts to
// the control, and the copy of the control's state to its model.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include <com/sun/star/awt/XControl.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

#include "host/office/form_design.h"
#include "host/office/uno.h"
#include "host/ui/controls.h"

namespace veln::host::office {

class OfficeFormDialog;
struct ControlKind;

class ControlBinding {
  public:
    // Makes the control's model inside the dialog's model.
    ControlBinding(Control& control, const DesignedWidget* designed,
                   const Reference<css::lang::XMultiServiceFactory>& dialogModel,
                   OfficeFormDialog& dialog);
    ~ControlBinding();
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

    // Once the dialog's control exists: its control for this one, and the listeners.
    void Attach(const Reference<css::awt::XControl>& view);
    // Copies the control's state; true when what it shows may need other room.
    bool Push();

    Control& Target() const { return control_; }
    const Reference<css::awt::XControl>& View() const { return view_; }
    const Reference<css::beans::XPropertySet>& ModelProperties() const { return model_; }
    OfficeFormDialog& Dialog() const { return dialog_; }
    const DesignedWidget* Designed() const { return designed_; }

    // Sets a property of the model when it differs from what was set last:
    // across processes each set is a round trip. True when it was set.
    bool Set(const char* name, const css::uno::Any& value);

    // What the control shows changed in a way that may need other room.
    void RoomChanged() { roomChanged_ = true; }

    // What the list or tree last showed, to build it again only on a change.
    std::vector<std::vector<std::string>> shownRows;

  private:
    Control& control_;
    const DesignedWidget* designed_;
    const ControlKind& kind_;
    OfficeFormDialog& dialog_;
    Reference<css::beans::XPropertySet> model_;
    Reference<css::awt::XControl> view_;
    Reference<css::uno::XInterface> events_;
    std::map<std::string, css::uno::Any> set_;
    bool roomChanged_ = false;
    std::optional<bool> shownVisible_;
};

// The colour of the office (0xRRGGBB) for the system's (red in the low byte).
inline sal_Int32 OfficeColor(std::int32_t systemColor) {
    const auto color = static_cast<std::uint32_t>(systemColor);
    return static_cast<sal_Int32>(((color & 0xFFU) << 16U) | (color & 0xFF00U) |
                                  ((color >> 16U) & 0xFFU));
}

}  // namespace veln::host::office
