#include "form_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QUiLoader>
#include <QVBoxLayout>
#include <set>

#include "faces.h"
#include "host/host_error.h"

namespace veln::desktop {

namespace {

// The form engine's error for a control without its widget.
constexpr long OBJECT_REQUIRED = 424;
constexpr int TWIPS_PER_INCH = 1440;

// The system's colours are 0x00BBGGRR.
QColor SystemColour(std::int32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The name a user's key has for a form: its text, or the key's own name.
std::string KeyName(const QKeyEvent& event) {
    if (!event.text().isEmpty() && event.text().at(0).isPrint()) {
        return event.text().toStdString();
    }
    return QKeySequence(event.key()).toString().toStdString();
}

// The rows of a list as the user sees them: the columns not hidden.
std::vector<QStringList> VisibleRows(const host::ListControl& list) {
    std::vector<QStringList> rows;
    for (int row = 0; row < list.ListCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < std::max(1, list.ColumnCount); ++column) {
            if (!list.HiddenColumns.contains(column)) {
                cells << Q(list.List(row, column));
            }
        }
        rows.push_back(cells);
    }
    return rows;
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
}

void FormDialog::MakePlainWindow() {
    // A form without its Designer file: its controls one under the other,
    // its buttons in a row at the bottom.
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(this);
    for (host::Control* control : form_->Controls()) {
        QWidget* widget = nullptr;
        if (dynamic_cast<host::CommandButton*>(control) != nullptr) {
            auto* button = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
            button->setAutoDefault(false);
            widget = button;
        } else if (dynamic_cast<host::TextBox*>(control) != nullptr) {
            widget = new QLineEdit(this);
        } else if (dynamic_cast<host::CheckBox*>(control) != nullptr) {
            widget = new QCheckBox(this);
        } else if (dynamic_cast<host::OptionButton*>(control) != nullptr) {
            widget = new QRadioButton(this);
        } else if (dynamic_cast<host::ComboBox*>(control) != nullptr) {
            widget = new QComboBox(this);
        } else if (dynamic_cast<host::ListControl*>(control) != nullptr ||
                   dynamic_cast<host::TreeView*>(control) != nullptr) {
            widget = new QTreeWidget(this);
        } else if (dynamic_cast<host::Frame*>(control) != nullptr) {
            widget = new QGroupBox(this);
        } else {
            auto* label = new QLabel(this);
            label->setWordWrap(true);
            widget = label;
        }
        widget->setObjectName(Q(control->Name()));
        if (widget->parent() == this) {
            layout->addWidget(widget);
        }
    }
    layout->addWidget(buttons);
}

void FormDialog::Bind(host::Control& control, QWidget* widget) {
    auto binding = std::make_unique<Binding>(Binding{&control, widget, {}, false});
    std::function<void()> push;
    if (auto* button = dynamic_cast<host::CommandButton*>(&control)) {
        auto* target = qobject_cast<QAbstractButton*>(widget);
        if (target != nullptr) {
            connect(target, &QAbstractButton::clicked, this,
                    [this, button] { Handle([button] { button->Click(); }); });
            push = [button, target] {
                target->setText(Q(button->Caption));
                target->setIcon(ButtonPicture(button->Picture));
            };
        }
    } else if (auto* check = dynamic_cast<host::CheckBox*>(&control)) {
        auto* target = qobject_cast<QAbstractButton*>(widget);
        if (target != nullptr) {
            connect(target, &QAbstractButton::clicked, this, [this, check](bool checked) {
                Handle([check, checked] { check->Set(checked); });
            });
            push = [check, target] {
                target->setText(Q(check->Caption));
                target->setChecked(check->Value);
            };
        }
    } else if (auto* option = dynamic_cast<host::OptionButton*>(&control)) {
        auto* target = qobject_cast<QAbstractButton*>(widget);
        if (target != nullptr) {
            // The form keeps its groups: the widgets only show them.
            target->setAutoExclusive(false);
            connect(target, &QAbstractButton::clicked, this,
                    [this, option] { Handle([option] { option->Choose(); }); });
            push = [option, target] {
                target->setText(Q(option->Caption));
                target->setChecked(option->Value());
            };
        }
    } else if (auto* text = dynamic_cast<host::TextBox*>(&control)) {
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            connect(line, &QLineEdit::textEdited, this, [this, text](const QString& value) {
                Handle([text, value] { text->Type(value.toStdString()); });
            });
            push = [text, line] {
                if (line->text() != Q(text->Text)) {
                    line->setText(Q(text->Text));
                }
                line->setMaxLength(text->MaxLength > 0 ? text->MaxLength : 32767);
            };
        } else if (auto* area = qobject_cast<QPlainTextEdit*>(widget)) {
            connect(area, &QPlainTextEdit::textChanged, this, [this, text, area] {
                if (!pushing_) {
                    std::string value = area->toPlainText().toStdString();
                    Handle([text, value] { text->Type(value); });
                }
            });
            push = [text, area] {
                if (area->toPlainText() != Q(text->Text)) {
                    area->setPlainText(Q(text->Text));
                }
            };
        }
    } else if (auto* combo = dynamic_cast<host::ComboBox*>(&control)) {
        if (auto* target = qobject_cast<QComboBox*>(widget)) {
            connect(target, &QComboBox::activated, this,
                    [this, combo](int row) { Handle([combo, row] { combo->SetListIndex(row); }); });
            connect(target, &QComboBox::editTextChanged, this, [this, combo](const QString& value) {
                if (!pushing_) {
                    Handle([combo, value] { combo->Type(value.toStdString()); });
                }
            });
            push = [combo, target] {
                QStringList items;
                for (const QStringList& row : VisibleRows(*combo)) {
                    items << row.value(0);
                }
                QStringList shown;
                for (int i = 0; i < target->count(); ++i) {
                    shown << target->itemText(i);
                }
                if (items != shown) {
                    target->clear();
                    target->addItems(items);
                }
                target->setCurrentIndex(combo->ListIndex());
                if (target->isEditable()) {
                    target->setEditText(Q(combo->Text));
                }
            };
        }
    } else if (auto* list = dynamic_cast<host::ListBox*>(&control)) {
        if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
            tree->setRootIsDecorated(false);
            tree->setUniformRowHeights(true);
            connect(tree, &QTreeWidget::itemSelectionChanged, this, [this, list, tree] {
                if (pushing_) {
                    return;
                }
                // The rows whose selection the user changed, as the model takes them.
                std::vector<int> rows;
                for (int row = 0; row < tree->topLevelItemCount(); ++row) {
                    bool selected = tree->topLevelItem(row)->isSelected();
                    if (list->MultiSelect ? selected != list->Selected(row) : selected) {
                        rows.push_back(row);
                    }
                }
                Handle([list, rows] { list->Select(rows); });
            });
            connect(tree, &QTreeWidget::itemDoubleClicked, this,
                    [this, list, tree](QTreeWidgetItem* item) {
                        int row = tree->indexOfTopLevelItem(item);
                        Handle([list, row] { list->DoubleClick(row); });
                    });
            auto shownRows = std::make_shared<std::vector<QStringList>>();
            push = [list, tree, shownRows] {
                std::vector<QStringList> rows = VisibleRows(*list);
                tree->setSelectionMode(list->MultiSelect ? QAbstractItemView::MultiSelection
                                                         : QAbstractItemView::SingleSelection);
                if (rows != *shownRows) {
                    *shownRows = rows;
                    tree->clear();
                    int columns = 1;
                    for (const QStringList& row : rows) {
                        columns = std::max(columns, static_cast<int>(row.size()));
                        tree->addTopLevelItem(new QTreeWidgetItem(row));
                    }
                    tree->setColumnCount(columns);
                    for (int column = 0; column + 1 < columns; ++column) {
                        tree->resizeColumnToContents(column);
                    }
                }
                for (int row = 0; row < list->ListCount(); ++row) {
                    tree->topLevelItem(row)->setSelected(list->Selected(row));
                }
                if (list->ListIndex() >= 0) {
                    tree->setCurrentItem(tree->topLevelItem(list->ListIndex()), 0,
                                         QItemSelectionModel::NoUpdate);
                }
            };
        }
    } else if (auto* nodes = dynamic_cast<host::TreeView*>(&control)) {
        if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
            tree->setHeaderHidden(true);
            connect(tree, &QTreeWidget::itemExpanded, this, [nodes](QTreeWidgetItem* item) {
                nodes->Node(item->data(0, Qt::UserRole).toString().toStdString()).Expanded = true;
            });
            connect(tree, &QTreeWidget::itemCollapsed, this, [nodes](QTreeWidgetItem* item) {
                nodes->Node(item->data(0, Qt::UserRole).toString().toStdString()).Expanded = false;
            });
            push = [nodes, tree] {
                tree->clear();
                std::function<void(const std::string&, QTreeWidgetItem*)> add =
                    [&](const std::string& key, QTreeWidgetItem* parent) {
                        const host::TreeNode& node = nodes->Node(key);
                        auto* item = parent == nullptr ? new QTreeWidgetItem(tree)
                                                       : new QTreeWidgetItem(parent);
                        item->setText(0, Q(node.Text));
                        item->setData(0, Qt::UserRole, Q(node.Key));
                        for (const std::string& child : node.ChildKeys) {
                            add(child, item);
                        }
                        item->setExpanded(node.Expanded);
                    };
                for (const std::string& root : nodes->RootKeys()) {
                    add(root, nullptr);
                }
            };
        }
    } else if (auto* frame = dynamic_cast<host::Frame*>(&control)) {
        if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            push = [frame, box] { box->setTitle(Q(frame->Caption)); };
        }
    } else if (auto* image = dynamic_cast<host::Image*>(&control)) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            push = [image, label] {
                if (image->Picture != 0) {
                    label->setPixmap(ProgramIcon().pixmap(64, 64));
                }
            };
        }
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        push = [&control, label] { label->setText(Q(control.Caption)); };
    }
    if (!push) {
        throw host::HostError(OBJECT_REQUIRED, form_->Name() + "." + control.Name() + " is a " +
                                                   widget->metaObject()->className() +
                                                   ", which cannot show that kind of control");
    }
    // Clicks on what is not a button reach the form where it asks for them.
    binding->clickable = dynamic_cast<host::Label*>(&control) != nullptr ||
                         dynamic_cast<host::Frame*>(&control) != nullptr ||
                         dynamic_cast<host::Image*>(&control) != nullptr;
    binding->push = [&control, widget, push] {
        widget->setEnabled(control.Enabled);
        widget->setVisible(control.Visible);
        push();
    };
    bindings_.push_back(std::move(binding));
}

void FormDialog::Push() {
    pushing_ = true;
    setWindowTitle(Q(form_->Caption));
    if (form_->BackColor != 0) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, SystemColour(form_->BackColor));
        setPalette(palette);
        setAutoFillBackground(true);
    }
    if (form_->Icon != 0) {
        setWindowIcon(ProgramIcon());
    }
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
