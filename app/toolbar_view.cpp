#include "toolbar_view.h"

#include <QMenu>
#include <QToolButton>

#include "faces.h"

namespace veln::desktop {

namespace {

// The toolbar the add-in builds.
constexpr const char* TOOLBAR = "velnToolbar";

void Flatten(const host::CommandBarControls& controls, std::vector<std::uint64_t>& ids) {
    for (int i = 1; i <= controls.Count(); ++i) {
        const host::CommandBarControl& control = controls.Item(i);
        ids.push_back(control.Id());
        Flatten(control.Controls(), ids);
    }
}

}  // namespace

ToolbarView::ToolbarView(host::Application& app, const host::Document& document,
                         std::function<void(std::uint64_t)> press, CheckMark checkMark,
                         QWidget* parent)
    : QToolBar(QString::fromLatin1(TOOLBAR), parent),
      app_(app),
      document_(document),
      press_(std::move(press)),
      checkMark_(std::move(checkMark)) {
    setObjectName(QString::fromLatin1(TOOLBAR));
    setIconSize(QSize(16, 16));
    setMovable(false);
}

QAction* ToolbarView::MakeAction(const host::CommandBarControl& control, QObject* parent) {
    QString caption = QString::fromStdString(control.Caption);
    QString tip = QString::fromStdString(control.TooltipText);
    auto* action = new QAction(caption.isEmpty() ? tip : caption, parent);
    action->setToolTip(tip.trimmed());
    if (control.FaceId != 0) {
        action->setIcon(BuiltInFace(control.FaceId));
    } else if (control.Picture != 0) {
        action->setIcon(QIcon(QPixmap::fromImage(Swatch(control.Picture))));
    }
    // An icon button shows its icon alone; its words are its tool tip.
    action->setIconVisibleInMenu(true);
    std::uint64_t id = control.Id();
    connect(action, &QAction::triggered, this, [this, id] { press_(id); });
    actions_[id] = action;
    return action;
}

void ToolbarView::Build(const host::CommandBar& bar) {
    clear();
    actions_.clear();
    const host::CommandBarControls& controls = bar.Controls();
    for (int i = 1; i <= controls.Count(); ++i) {
        const host::CommandBarControl& control = controls.Item(i);
        if (control.BeginGroup && i > 1) {
            addSeparator();
        }
        if (control.Type() == host::ControlType::Popup) {
            auto* button = new QToolButton(this);
            button->setText(QString::fromStdString(control.Caption));
            button->setPopupMode(QToolButton::InstantPopup);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            auto* menu = new QMenu(button);
            const host::CommandBarControls& items = control.Controls();
            for (int j = 1; j <= items.Count(); ++j) {
                if (items.Item(j).BeginGroup && j > 1) {
                    menu->addSeparator();
                }
                menu->addAction(MakeAction(items.Item(j), menu));
            }
            button->setMenu(menu);
            QAction* holder = addWidget(button);
            holder->setObjectName(QString::fromStdString(control.Caption));
            actions_[control.Id()] = button->menu()->menuAction();
            continue;
        }
        QAction* action = MakeAction(control, this);
        addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
            Qt::ToolButtonStyle style = Qt::ToolButtonTextBesideIcon;
            if (control.Caption.empty()) {
                style = Qt::ToolButtonIconOnly;
            } else if (action->icon().isNull()) {
                style = Qt::ToolButtonTextOnly;
            }
            button->setToolButtonStyle(style);
        }
    }
}

void ToolbarView::Sync() {
    host::CommandBar* bar = app_.CommandBars.Find(TOOLBAR);
    std::vector<std::uint64_t> ids;
    if (bar != nullptr) {
        Flatten(bar->Controls(), ids);
    }
    if (ids != shown_) {
        shown_ = ids;
        if (bar == nullptr) {
            clear();
            actions_.clear();
        } else {
            Build(*bar);
        }
    }
    setVisible(bar != nullptr && bar->Visible);
    for (std::uint64_t id : shown_) {
        host::CommandBarControl* control = app_.CommandBars.FindControl(id);
        QAction* action = ActionOf(id);
        if (control == nullptr || action == nullptr ||
            control->Type() == host::ControlType::Popup) {
            continue;
        }
        action->setVisible(control->Visible);
        action->setEnabled(control->EnabledFor(&document_));
        if (std::optional<bool> checked = checkMark_ ? checkMark_(*control) : std::nullopt) {
            action->setCheckable(true);
            action->setChecked(*checked);
            // The style draws no mark beside an icon: a swatch carries the
            // mark itself; a face gives way to the style's mark.
            if (control->Picture != 0) {
                action->setIcon(QIcon(QPixmap::fromImage(*checked ? CheckedSwatch(control->Picture)
                                                                  : Swatch(control->Picture))));
            } else {
                action->setIconVisibleInMenu(false);
            }
        }
    }
}

QAction* ToolbarView::ActionOf(std::uint64_t controlId) const {
    auto found = actions_.find(controlId);
    return found == actions_.end() ? nullptr : found->second;
}

QAction* ToolbarView::ActionNamed(const std::string& text) const {
    for (const auto& [id, action] : actions_) {
        if (action->toolTip() == QString::fromStdString(text).trimmed() ||
            action->text() == QString::fromStdString(text)) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace veln::desktop
