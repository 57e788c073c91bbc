// One generic binder between a form model and its dialog in the office. The
// dialog is a UNO dialog made from the form's controls, one toolkit control
// per control, named as the control; it is placed by the form's Qt Designer
// design (form_design.h) at the sizes the office measures for its texts.
// After every handler the controls' state is copied to the dialog; the
// dialog's events reach the controls as the user's.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <com/sun/star/awt/XControl.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>

#include "host/office/form_design.h"
#include "host/office/uno.h"
#include "host/ui/form.h"

namespace veln::host::office {

class OfficeConnection;
class ControlBinding;

// The window dialogs are parented on: the active frame's, or none.
Reference<css::awt::XWindowPeer> ActiveWindow(OfficeConnection& connection);

class OfficeFormDialog {
  public:
    // run carries every handler the form runs (its error boundary).
    using Runner = std::function<void(const std::function<void()>&)>;
    // The file of a picture a button or an image shows; "" for none.
    using PictureFiles = std::function<std::string(int picture)>;
    // Makes the dialog of form, hidden, parented on parent's window (none:
    // the desktop's).
    OfficeFormDialog(OfficeConnection& connection, std::shared_ptr<Form> form,
                     const FormDesign& design, Runner run,
                     const Reference<css::awt::XWindowPeer>& parent, PictureFiles pictures);
    ~OfficeFormDialog();
    OfficeFormDialog(const OfficeFormDialog&) = delete;
    OfficeFormDialog& operator=(const OfficeFormDialog&) = delete;

    Form& Model() const { return *form_; }
    // Copies every control's state to the dialog, and lays it out again
    // when what it shows changed its needs; ends the dialog once the form
    // has unloaded.
    void Push();
    // Shows the dialog modal; returns once the form has unloaded.
    void RunModal();
    // Shows the dialog beside the documents; it stays until the form unloads.
    void ShowModeless();
    // The form unloaded and the dialog is gone.
    bool Closed() const { return closed_; }
    // Closes the dialog, as its close box does; a form that stays open keeps it.
    void CloseBox();

    // The toolkit control of a control of the form; empty when none.
    Reference<css::awt::XControl> ControlOf(const std::string& name) const;
    Reference<css::awt::XControl> Dialog() const { return dialog_; }
    const Reference<css::uno::XComponentContext>& Context() const;
    std::string PictureFile(int picture) const { return pictures_ ? pictures_(picture) : ""; }

    // Runs a handler of the form as the user's act, then shows what it did.
    void Handle(const std::function<void()>& handler);
    // How many of the user's acts the form has handled, and whether the
    // dialog has ended. Inside the office the acts come one by one on its
    // own thread; across processes on the bridge's, and a user who waits
    // for one before the next (a test) counts them, also once the dialog
    // is gone.
    struct Acts {
        std::atomic<int> handled{0};
        std::atomic<bool> ended{false};
    };
    std::shared_ptr<const Acts> ActsHandled() const { return acts_; }
    bool Pushing() const { return pushing_; }

  private:
    void Build(const Reference<css::awt::XWindowPeer>& parent);
    void LayOut();
    void End();

    OfficeConnection& connection_;
    std::shared_ptr<Form> form_;
    const FormDesign& design_;
    Runner run_;
    PictureFiles pictures_;
    Reference<css::awt::XControl> dialog_;
    Reference<css::uno::XInterface> windowEvents_;
    std::vector<std::unique_ptr<ControlBinding>> bindings_;
    // Pixels a unit of the dialog's map font, across and down.
    double pixelsPerUnitX_ = 1;
    double pixelsPerUnitY_ = 1;
    PixelSize window_;
    bool laidOut_ = false;
    std::int32_t shownHeight_ = 0;  // the form's height the dialog last took
    bool pushing_ = false;
    std::shared_ptr<Acts> acts_ = std::make_shared<Acts>();
    bool modal_ = false;
    bool closed_ = false;
};

}  // namespace veln::host::office
