// The form binder's binders, one per kind of control. A binder connects a
// control to its widget, so that the widget's events reach the control as
// the user's, and gives what copies the control's state back to the widget.
#pragma once

#include <functional>

#include "host/ui/controls.h"

class QWidget;
class QDialogButtonBox;

namespace veln::desktop {

// What the binders need of the window whose widgets they bind.
class UserEvents {
  public:
    virtual ~UserEvents() = default;
    // Runs a handler of the form as the user's act, then shows what it did.
    virtual void Handle(const std::function<void()>& handler) = 0;
    // True while the window copies the controls' state to its widgets: the
    // widgets' signals then are the window's own, not the user's.
    virtual bool Pushing() const = 0;
};

// Copies a control's state to its widget.
using PushState = std::function<void()>;

struct ControlBinder {
    // Whether a control is of the binder's kind.
    bool (*kind)(const host::Control& control);
    // The widget of a control in a window made without a Designer file: a
    // child of window, or a button of buttons.
    QWidget* (*make)(QWidget& window, QDialogButtonBox& buttons);
    // Binds a control to its widget; an empty push when the widget cannot
    // show that kind of control.
    PushState (*bind)(host::Control& control, QWidget& widget, UserEvents& events);
    // Clicks on the widget, which is no button, reach the control's OnClick.
    bool clickable;
};

// The binder of a control: the first of its kind, in the order of the table.
const ControlBinder& BinderOf(const host::Control& control);

}  // namespace veln::desktop
