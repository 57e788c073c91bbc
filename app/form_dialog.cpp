#include "form_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QKeyEvent>
#include <QUiLoader>
#include <QVBoxLayout>

#include "focus_ring.h"
#include "host/host_error.h"
#include "qt_ui.h"

namespace veln::desktop {

namespace {

// The form engine's error for a control without its widget.
constexpr long OBJECT_REQUIRED = 424;
constexpr int TWIPS_PER_INCH = 1440;

// The name a user's key has for a form: its text, or the key's own name.
std::string KeyName(const QKeyEvent& event) {
    if (!event.text().isEmpty() && event.text().at(0).isPrint()) {
        return event.text().toStdString();
    }
    return QKeySequence(event.key()).toString().toStdString();
}

}  // namespace

struct FormDialog::Binding {
    host::Control* control;
    QWidget* widget;
    std::function<void()> push;
    bool clickable = false;
};

FormDialog::FormDialog(std::shared_ptr<host::Form> form, Runner run, std::function<void()> after,
                       QWidget* parent)
    : QDialog(parent), form_(std::move(form)), run_(std::move(run)), after_(std::move(after)) {
    setObjectName(Q(form_->Name()));
    QString file = DesignerFile(form_->Name());
    if (file.isEmpty()) {
        MakePlainWindow();
    } else {
        LoadDesigner(file);
    }
    for (host::Control* control : form_->Controls()) {
        QWidget* widget = WidgetOf(control->Name());
        if (widget == nullptr) {
            throw host::HostError(OBJECT_REQUIRED,
                                  file.toStdString() + " has no widget named " + control->Name());
        }
        Bind(*control, widget);
    }
    // Owned by the window: it follows the keyboard among its widgets.
    new FocusRing(*this);
    // Keys go to a form that asks for them, wherever the focus is; the form
    // may ask only once it has loaded.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

FormDialog::~FormDialog() = default;

QString FormDialog::DesignerFile(const std::string& formName) {
    QString file = QString(":/forms/%1.ui").arg(Q(formName));
    return QFile::exists(file) ? file : QString();
}

QWidget* FormDialog::WidgetOf(const std::string& controlName) const {
    return findChild<QWidget*>(Q(controlName));
}

void FormDialog::LoadDesigner(const QString& file) {
    QFile ui(file);
    ui.open(QFile::ReadOnly);
    QUiLoader loader;
    QWidget* content = loader.load(&ui, this);
    if (content == nullptr) {
        throw host::HostError(OBJECT_REQUIRED,
                              file.toStdString() + ": " + loader.errorString().toStdString());
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    fromDesigner_ = true;
    // The designed width, whatever the texts of this opening ask: a form
    // opened on one element is as wide as on the next. A layout that needs
    // more still gets it.
    resize(std::max(content->width(), minimumSizeHint().width()), content->height());
}

void FormDialog::MakePlainWindow() {
    // A form without its Designer file: its controls one under the other,
    // its buttons in a row at the bottom.
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(this);
    for (host::Control* control : form_->Controls()) {
        QWidget* widget = BinderOf(*control).make(*this, *buttons);
        widget->setObjectName(Q(control->Name()));
        if (widget->parent() == this) {
            layout->addWidget(widget);
        }
    }
    layout->addWidget(buttons);
}

void FormDialog::Bind(host::Control& control, QWidget* widget) {
    const ControlBinder& binder = BinderOf(control);
    PushState push = binder.bind(control, *widget, *this);
    if (!push) {
        throw host::HostError(OBJECT_REQUIRED, form_->Name() + "." + control.Name() + " is a " +
                                                   widget->metaObject()->className() +
                                                   ", which cannot show that kind of control");
    }
    auto binding = std::make_unique<Binding>(Binding{&control, widget, {}, binder.clickable});
    binding->push = [&control, widget, push] {
        widget->setEnabled(control.Enabled);
        widget->setVisible(control.Visible);
        push();
    };
    bindings_.push_back(std::move(binding));
}

void FormDialog::Push() {
    pushing_ = true;
    ApplyWindowSettings(*this, {Q(form_->Caption), form_->Icon != 0, form_->BackColor});
    if (form_->Height != 0 && form_->Height != shownHeight_) {
        // The form asks for a height (in twips) when its content changes;
        // the window takes it, and never less than its layout needs.
        shownHeight_ = form_->Height;
        int pixels = form_->Height * logicalDpiY() / TWIPS_PER_INCH;
        resize(width(), std::max(pixels, minimumSizeHint().height()));
    }
    for (const auto& binding : bindings_) {
        binding->push();
    }
    pushing_ = false;
    if (!form_->IsOpen() && isVisible()) {
        done(QDialog::Accepted);
    }
}

void FormDialog::Handle(const std::function<void()>& handler) {
    if (!form_->IsOpen()) {
        return;
    }
    run_(handler);
    Push();
    if (after_) {
        after_();
    }
}

void FormDialog::reject() {
    // The window's close box, or Escape: the form decides.
    Handle([this] { form_->CloseBox(); });
    if (!form_->IsOpen()) {
        QDialog::reject();
    }
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && form_->OnKeyPress) {
        std::string key = KeyName(*static_cast<QKeyEvent*>(event));
        Handle([this, key] { form_->KeyPress(key); });
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        for (const auto& binding : bindings_) {
            if (binding->widget == watched && binding->clickable && binding->control->OnClick) {
                host::Control* control = binding->control;
                Handle([control] { control->OnClick(); });
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace veln::desktop
