#include "control_binders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <memory>

#include "faces.h"
#include "qt_ui.h"

namespace veln::desktop {

namespace {

// The longest text a line edit takes when the control sets no limit.
constexpr int UNLIMITED_LENGTH = 32767;
constexpr int IMAGE_SIZE = 64;

template <typename Kind>
bool Is(const host::Control& control) {
    return dynamic_cast<const Kind*>(&control) != nullptr;
}

bool AnyControl(const host::Control& /*control*/) {
    return true;
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

// --- the widgets of a window made without its Designer file ------------------------------------

QWidget* MakeButton(QWidget& /*window*/, QDialogButtonBox& buttons) {
    QPushButton* button = buttons.addButton(QString(), QDialogButtonBox::ActionRole);
    button->setAutoDefault(false);
    return button;
}

template <typename Widget>
QWidget* Make(QWidget& window, QDialogButtonBox& /*buttons*/) {
    return new Widget(&window);
}

QWidget* MakeLabel(QWidget& window, QDialogButtonBox& /*buttons*/) {
    auto* label = new QLabel(&window);
    label->setWordWrap(true);
    return label;
}

// --- the binders ---------------------------------------------------------------------------------

PushState BindCommandButton(host::Control& control, QWidget& widget, UserEvents& events) {
    auto* button = dynamic_cast<host::CommandButton*>(&control);
    auto* target = qobject_cast<QAbstractButton*>(&widget);
    if (target == nullptr) {
        return {};
    }
    QObject::connect(target, &QAbstractButton::clicked, target,
                     [&events, button] { events.Handle([button] { button->Click(); }); });
    return [button, target] {
        target->setText(Q(button->Caption));
        target->setIcon(ButtonPicture(button->Picture));
    };
}

PushState BindCheckBox(host::Control& control, QWidget& widget, UserEvents& events) {
    auto* check = dynamic_cast<host::CheckBox*>(&control);
    auto* target = qobject_cast<QAbstractButton*>(&widget);
    if (target == nullptr) {
        return {};
    }
    QObject::connect(target, &QAbstractButton::clicked, target, [&events, check](bool checked) {
        events.Handle([check, checked] { check->Set(checked); });
    });
    return [check, target] {
        target->setText(Q(check->Caption));
        target->setChecked(check->Value);
    };
}

PushState BindOptionButton(host::Control& control, QWidget& widget, UserEvents& events) {
    auto* option = dynamic_cast<host::OptionButton*>(&control);
    auto* target = qobject_cast<QAbstractButton*>(&widget);
    if (target == nullptr) {
        return {};
    }
    // The form keeps its groups: the widgets only show them.
    target->setAutoExclusive(false);
    QObject::connect(target, &QAbstractButton::clicked, target,
                     [&events, option] { events.Handle([option] { option->Choose(); }); });
    return [option, target] {
        target->setText(Q(option->Caption));
        target->setChecked(option->Value());
    };
}

PushState BindTextBox(host::Control& control, QWidget& widget, UserEvents& events) {
    auto* text = dynamic_cast<host::TextBox*>(&control);
    if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        QObject::connect(line, &QLineEdit::textEdited, line, [&events, text](const QString& value) {
            events.Handle([text, value] { text->Type(value.toStdString()); });
        });
        return [text, line] {
            if (line->text() != Q(text->Text)) {
                line->setText(Q(text->Text));
            }
            line->setMaxLength(text->MaxLength > 0 ? text->MaxLength : UNLIMITED_LENGTH);
        };
    }
    if (auto* area = qobject_cast<QPlainTextEdit*>(&widget)) {
        QObject::connect(area, &QPlainTextEdit::textChanged, area, [&events, text, area] {
            if (!events.Pushing()) {
                std::string value = area->toPlainText().toStdString();
                events.Handle([text, value] { text->Type(value); });
            }
        });
        return [text, area] {
            if (area->toPlainText() != Q(text->Text)) {
                area->setPlainText(Q(text->Text));
            }
        };
    }
    return {};
}

PushState BindComboBox(host::Control& control, QWidget& widget, UserEvents& events) {
    auto* combo = dynamic_cast<host::ComboBox*>(&control);
    auto* target = qobject_cast<QComboBox*>(&widget);
    if (target == nullptr) {
        return {};
    }
    QObject::connect(target, &QComboBox::activated, target, [&events, combo](int row) {
        events.Handle([combo, row] { combo->SetListIndex(row); });
    });
    QObject::connect(target, &QComboBox::editTextChanged, target,
                     [&events, combo](const QString& value) {
                         if (!events.Pushing()) {
                             events.Handle([combo, value] { combo->Type(value.toStdString()); });
                         }
                     });
    return [combo, target] {
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

// The rows whose selection the user changed in the tree, as the list takes them.
std::vector<int> RowsChanged(const host::ListBox& list, const QTreeWidget& tree) {
    std::vector<int> rows;
    for (int row = 0; row < tree.topLevelItemCount(); ++row) {
        bool selected = tree.topLevelItem(row)->isSelected();
        if (list.MultiSelect ? selected != list.Selected(row) : selected) {
            rows.push_back(row);
        }
    }
    return rows;
}

// Shows the list's rows and selection; the rows are built again only when
// they changed since shownRows.
void ShowList(const host::ListBox& list, QTreeWidget& tree, std::vector<QStringList>& shownRows) {
    std::vector<QStringList> rows = VisibleRows(list);
    tree.setSelectionMode(list.MultiSelect ? QAbstractItemView::MultiSelection
                                           : QAbstractItemView::SingleSelection);
    if (rows != shownRows) {
        shownRows = rows;
        tree.clear();
        int columns = 1;
        for (const QStringList& row : rows) {
            columns = std::max(columns, static_cast<int>(row.size()));
            tree.addTopLevelItem(new QTreeWidgetItem(row));
        }
        tree.setColumnCount(columns);
        for (int column = 0; column + 1 < columns; ++column) {
            tree.resizeColumnToContents(column);
        }
    }
    for (int row = 0; row < list.ListCount(); ++row) {
        tree.topLevelItem(row)->setSelected(list.Selected(row));
    }
    if (list.ListIndex() >= 0) {
        tree.setCurrentItem(tree.topLevelItem(list.ListIndex()), 0, QItemSelectionModel::NoUpdate);
    }
}

PushState BindListBox(host::Control& control, QWidget& widget, UserEvents& events) {
    auto* list = dynamic_cast<host::ListBox*>(&control);
    auto* tree = qobject_cast<QTreeWidget*>(&widget);
    if (tree == nullptr) {
        return {};
    }
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    QObject::connect(tree, &QTreeWidget::itemSelectionChanged, tree, [&events, list, tree] {
        if (!events.Pushing()) {
            std::vector<int> rows = RowsChanged(*list, *tree);
            events.Handle([list, rows] { list->Select(rows); });
        }
    });
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, tree,
                     [&events, list, tree](QTreeWidgetItem* item) {
                         int row = tree->indexOfTopLevelItem(item);
                         events.Handle([list, row] { list->DoubleClick(row); });
                     });
    auto shownRows = std::make_shared<std::vector<QStringList>>();
    // A list drawn without a scroll bar (the element editor's four levels)
    // is as tall as its rows in the font of the screen, whatever its form
    // file says.
    const bool showsAll = tree->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
    return [list, tree, shownRows, showsAll] {
        ShowList(*list, *tree, *shownRows);
        if (showsAll && tree->topLevelItemCount() > 0) {
            const int rows = tree->topLevelItemCount() * tree->sizeHintForRow(0);
            const int height = rows + 2 * tree->frameWidth();
            tree->setMinimumHeight(height);
            tree->setMaximumHeight(std::max(height, tree->maximumHeight()));
        }
    };
}

// Adds the node of that key under parent (the tree's top when nullptr), with its children.
void AddNode(host::TreeView& nodes, QTreeWidget& tree, const std::string& key,
             QTreeWidgetItem* parent) {
    const host::TreeNode& node = nodes.Node(key);
    auto* item = parent == nullptr ? new QTreeWidgetItem(&tree) : new QTreeWidgetItem(parent);
    item->setText(0, Q(node.Text));
    item->setData(0, Qt::UserRole, Q(node.Key));
    for (const std::string& child : node.ChildKeys) {
        AddNode(nodes, tree, child, item);
    }
    item->setExpanded(node.Expanded);
}

PushState BindTreeView(host::Control& control, QWidget& widget, UserEvents& /*events*/) {
    auto* nodes = dynamic_cast<host::TreeView*>(&control);
    auto* tree = qobject_cast<QTreeWidget*>(&widget);
    if (tree == nullptr) {
        return {};
    }
    tree->setHeaderHidden(true);
    QObject::connect(tree, &QTreeWidget::itemExpanded, tree, [nodes](QTreeWidgetItem* item) {
        nodes->Node(item->data(0, Qt::UserRole).toString().toStdString()).Expanded = true;
    });
    QObject::connect(tree, &QTreeWidget::itemCollapsed, tree, [nodes](QTreeWidgetItem* item) {
        nodes->Node(item->data(0, Qt::UserRole).toString().toStdString()).Expanded = false;
    });
    return [nodes, tree] {
        tree->clear();
        for (const std::string& root : nodes->RootKeys()) {
            AddNode(*nodes, *tree, root, nullptr);
        }
    };
}

PushState BindFrame(host::Control& control, QWidget& widget, UserEvents& /*events*/) {
    auto* box = qobject_cast<QGroupBox*>(&widget);
    if (box == nullptr) {
        return {};
    }
    return [&control, box] { box->setTitle(Q(control.Caption)); };
}

PushState BindImage(host::Control& control, QWidget& widget, UserEvents& /*events*/) {
    auto* image = dynamic_cast<host::Image*>(&control);
    auto* label = qobject_cast<QLabel*>(&widget);
    if (label == nullptr) {
        return {};
    }
    return [image, label] {
        if (image->Picture != 0) {
            label->setPixmap(ProgramIcon().pixmap(IMAGE_SIZE, IMAGE_SIZE));
        }
    };
}

// A label, and any other control a label shows: its caption.
PushState BindCaption(host::Control& control, QWidget& widget, UserEvents& /*events*/) {
    auto* label = qobject_cast<QLabel*>(&widget);
    if (label == nullptr) {
        return {};
    }
    return [&control, label] { label->setText(Q(control.Caption)); };
}

constexpr bool CLICKABLE = true;
constexpr bool NOT_CLICKABLE = false;

// One row per kind of control; a kind derived from another comes before it.
constexpr std::array<ControlBinder, 11> CONTROL_BINDERS{{
    {Is<host::CommandButton>, MakeButton, BindCommandButton, NOT_CLICKABLE},
    {Is<host::CheckBox>, Make<QCheckBox>, BindCheckBox, NOT_CLICKABLE},
    {Is<host::OptionButton>, Make<QRadioButton>, BindOptionButton, NOT_CLICKABLE},
    {Is<host::TextBox>, Make<QLineEdit>, BindTextBox, NOT_CLICKABLE},
    {Is<host::ComboBox>, Make<QComboBox>, BindComboBox, NOT_CLICKABLE},
    {Is<host::ListBox>, Make<QTreeWidget>, BindListBox, NOT_CLICKABLE},
    {Is<host::TreeView>, Make<QTreeWidget>, BindTreeView, NOT_CLICKABLE},
    {Is<host::Frame>, Make<QGroupBox>, BindFrame, CLICKABLE},
    {Is<host::Image>, MakeLabel, BindImage, CLICKABLE},
    {Is<host::Label>, MakeLabel, BindCaption, CLICKABLE},
    {AnyControl, MakeLabel, BindCaption, NOT_CLICKABLE},
}};

}  // namespace

const ControlBinder& BinderOf(const host::Control& control) {
    for (const ControlBinder& binder : CONTROL_BINDERS) {
        if (binder.kind(control)) {
            return binder;
        }
    }
    return CONTROL_BINDERS.back();
}

}  // namespace veln::desktop
