// One generic binder between a form model and its window. The window comes
// from the Qt Designer file named after the form (forms/frmListElem.ui),
// whose widgets carry the controls' names; a form without one gets a plain
// window made from its controls. Each control is bound by the binder of its
// kind (control_binders.h). After every handler the controls' state is
// copied to the widgets; the widgets' events go to the controls as a user's.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control_binders.h"
#include "host/ui/form.h"

namespace veln::desktop {

class FormDialog : public QDialog, private UserEvents {
    Q_OBJECT

  public:
    // run carries every handler the form runs (its error boundary); after
    // runs once it has returned.
    using Runner = std::function<void(const std::function<void()>&)>;
    FormDialog(std::shared_ptr<host::Form> form, Runner run, std::function<void()> after,
               QWidget* parent = nullptr);
    ~FormDialog() override;

    host::Form& Model() const { return *form_; }
    // The widget of a control, nullptr when there is none.
    QWidget* WidgetOf(const std::string& controlName) const;
    // Copies every control's state to its widget; closes the window once
    // the form has unloaded.
    void Push();
    // True when the window comes from the form's Qt Designer file.
    bool FromDesigner() const { return fromDesigner_; }

    // The Qt Designer file of a form, "" when it has none.
    static QString DesignerFile(const std::string& formName);

  protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Binding;
    void LoadDesigner(const QString& file);
    void MakePlainWindow();
    void Bind(host::Control& control, QWidget* widget);
    // Runs a handler of the form, then shows what it did.
    void Handle(const std::function<void()>& handler) override;
    bool Pushing() const override { return pushing_; }

    std::shared_ptr<host::Form> form_;
    Runner run_;
    std::function<void()> after_;
    std::vector<std::unique_ptr<Binding>> bindings_;
    bool pushing_ = false;
    bool fromDesigner_ = false;
    std::int32_t shownHeight_ = 0;  // the form's height the window last took
};

}  // namespace veln::desktop
