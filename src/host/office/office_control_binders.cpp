#include "host/office/office_control_binders.h"

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/Key.hpp>
#include <com/sun/star/awt/XButton.hpp>
#include <com/sun/star/awt/XCheckBox.hpp>
#include <com/sun/star/awt/XComboBox.hpp>
#include <com/sun/star/awt/XListBox.hpp>
#include <com/sun/star/awt/XRadioButton.hpp>
#include <com/sun/star/awt/XTextComponent.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/awt/grid/XGridColumn.hpp>
#include <com/sun/star/awt/grid/XGridColumnModel.hpp>
#include <com/sun/star/awt/grid/XGridControl.hpp>
#include <com/sun/star/awt/grid/XGridRowSelection.hpp>
#include <com/sun/star/awt/grid/XGridSelectionListener.hpp>
#include <com/sun/star/awt/grid/XMutableGridDataModel.hpp>
#include <com/sun/star/awt/tree/XMutableTreeDataModel.hpp>
#include <com/sun/star/awt/tree/XMutableTreeNode.hpp>
#include <com/sun/star/awt/tree/XTreeControl.hpp>
#include <com/sun/star/awt/tree/XTreeExpansionListener.hpp>
#include <com/sun/star/beans/UnknownPropertyException.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/style/VerticalAlignment.hpp>
#include <com/sun/star/view/SelectionType.hpp>
#include <cppuhelper/implbase7.hxx>

#include "host/office/office_extension.h"
#include "host/office/office_form_dialog.h"

namespace veln::host::office {

namespace {

using css::uno::Any;

constexpr sal_Int32 WHITE = 0xFFFFFF;

// The events of one control's view, each going where its kind sends it.
class ControlEvents
    : public cppu::WeakImplHelper7<css::awt::XActionListener, css::awt::XItemListener,
                                   css::awt::XTextListener, css::awt::XMouseListener,
                                   css::awt::XKeyListener, css::awt::grid::XGridSelectionListener,
                                   css::awt::tree::XTreeExpansionListener> {
  public:
    std::function<void()> onAction;
    std::function<void()> onItem;
    std::function<void()> onText;
    std::function<void(const css::awt::MouseEvent&)> onPress;
    std::function<void()> onRelease;
    std::function<void(const css::awt::KeyEvent&)> onKey;
    std::function<void(const Reference<css::awt::tree::XTreeNode>&, bool)> onExpansion;

    void SAL_CALL actionPerformed(const css::awt::ActionEvent& /*event*/) override {
        Fire(onAction);
    }
    void SAL_CALL itemStateChanged(const css::awt::ItemEvent& /*event*/) override { Fire(onItem); }
    void SAL_CALL textChanged(const css::awt::TextEvent& /*event*/) override { Fire(onText); }
    void SAL_CALL mousePressed(const css::awt::MouseEvent& event) override {
        if (onPress) {
            onPress(event);
        }
    }
    void SAL_CALL mouseReleased(const css::awt::MouseEvent& /*event*/) override { Fire(onRelease); }
    void SAL_CALL mouseEntered(const css::awt::MouseEvent& /*event*/) override {}
    void SAL_CALL mouseExited(const css::awt::MouseEvent& /*event*/) override {}
    void SAL_CALL keyPressed(const css::awt::KeyEvent& event) override {
        if (onKey) {
            onKey(event);
        }
    }
    void SAL_CALL keyReleased(const css::awt::KeyEvent& /*event*/) override {}
    void SAL_CALL selectionChanged(const css::awt::grid::GridSelectionEvent& /*event*/) override {
        Fire(onItem);
    }
    void SAL_CALL requestChildNodes(const css::awt::tree::TreeExpansionEvent& /*event*/) override {}
    void SAL_CALL treeExpanding(const css::awt::tree::TreeExpansionEvent& /*event*/) override {}
    void SAL_CALL treeCollapsing(const css::awt::tree::TreeExpansionEvent& /*event*/) override {}
    void SAL_CALL treeExpanded(const css::awt::tree::TreeExpansionEvent& event) override {
        if (onExpansion) {
            onExpansion(event.Node, true);
        }
    }
    void SAL_CALL treeCollapsed(const css::awt::tree::TreeExpansionEvent& event) override {
        if (onExpansion) {
            onExpansion(event.Node, false);
        }
    }
    void SAL_CALL disposing(const css::lang::EventObject& /*event*/) override {}

  private:
    static void Fire(const std::function<void()>& event) {
        if (event) {
            event();
        }
    }
};

// Sets a property of a toolkit model; one it does not have is named in the error.
void SetProperty(const Reference<css::beans::XPropertySet>& model, const char* name,
                 const Any& value) {
    try {
        model->setPropertyValue(rtl::OUString::createFromAscii(name), value);
    } catch (const css::beans::UnknownPropertyException&) {
        throw css::uno::RuntimeException(
            ToOUString(std::string("the dialog has no property ") + name));
    }
}

template <typename Kind>
bool Is(const Control& control) {
    return dynamic_cast<const Kind*>(&control) != nullptr;
}

template <typename Kind>
Kind& As(ControlBinding& binding) {
    return dynamic_cast<Kind&>(binding.Target());
}

// The system marks a caption's access key with "&", the office with "~".
Any Caption(const Control& control) {
    return Any(ToOUString(ShownCaption(control.Caption, '~')));
}

css::uno::Sequence<rtl::OUString> Strings(const std::vector<std::string>& texts) {
    css::uno::Sequence<rtl::OUString> strings(static_cast<sal_Int32>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        strings[static_cast<sal_Int32>(i)] = ToOUString(texts[i]);
    }
    return strings;
}

// The rows of a list as the user sees them: the columns not hidden.
std::vector<std::vector<std::string>> VisibleRows(const ListControl& list) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < list.ListCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < std::max(1, list.ColumnCount); ++column) {
            if (!list.HiddenColumns.contains(column)) {
                cells.push_back(list.List(row, column));
            }
        }
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> FirstColumn(const ListControl& list) {
    std::vector<std::string> items;
    for (const std::vector<std::string>& row : VisibleRows(list)) {
        items.push_back(row.empty() ? std::string() : row.front());
    }
    return items;
}

// The name a user's key has for a form: its character, or the key's name.
std::string KeyName(const css::awt::KeyEvent& event) {
    if (event.KeyChar >= 0x20) {
        return FromOUString(rtl::OUString(event.KeyChar));
    }
    switch (event.KeyCode) {
        case css::awt::Key::ESCAPE:
            return "Escape";
        case css::awt::Key::RETURN:
            return "Return";
        case css::awt::Key::TAB:
            return "Tab";
        default:
            return "Key" + std::to_string(event.KeyCode);
    }
}

// --- the kinds ------------------------------------------------------------------------------

void ListenButton(ControlBinding& binding, ControlEvents& events) {
    auto& button = As<CommandButton>(binding);
    events.onAction = [&binding, &button] {
        binding.Dialog().Handle([&button] { button.Click(); });
    };
    Reference<css::awt::XButton>(binding.View(), UNO_QUERY_THROW)->addActionListener(&events);
}

// A picture's file as the office names it; none: no picture.
Any PictureUrl(ControlBinding& binding, int picture) {
    const std::string file = picture == 0 ? "" : binding.Dialog().PictureFile(picture);
    return Any(file.empty() ? rtl::OUString() : FileUrl(file));
}

void PushButton(ControlBinding& binding) {
    binding.Set("Label", Caption(binding.Target()));
    binding.Set("ImageURL", PictureUrl(binding, As<CommandButton>(binding).Picture));
}

void ListenCheckBox(ControlBinding& binding, ControlEvents& events) {
    auto& check = As<CheckBox>(binding);
    Reference<css::awt::XCheckBox> view(binding.View(), UNO_QUERY_THROW);
    events.onItem = [&binding, &check, view] {
        const bool value = view->getState() == 1;
        if (!binding.Dialog().Pushing() && value != check.Value) {
            binding.Dialog().Handle([&check, value] { check.Set(value); });
        }
    };
    view->addItemListener(&events);
}

void PushCheckBox(ControlBinding& binding) {
    binding.Set("Label", Caption(binding.Target()));
    binding.Set("State", Any(static_cast<sal_Int16>(As<CheckBox>(binding).Value ? 1 : 0)));
}

void ListenOption(ControlBinding& binding, ControlEvents& events) {
    auto& option = As<OptionButton>(binding);
    Reference<css::awt::XRadioButton> view(binding.View(), UNO_QUERY_THROW);
    events.onItem = [&binding, &option, view] {
        if (!binding.Dialog().Pushing() && view->getState() && !option.Value()) {
            binding.Dialog().Handle([&option] { option.Choose(); });
        }
    };
    view->addItemListener(&events);
}

void PushOption(ControlBinding& binding) {
    binding.Set("Label", Caption(binding.Target()));
    binding.Set("State", Any(static_cast<sal_Int16>(As<OptionButton>(binding).Value() ? 1 : 0)));
}

void ListenText(ControlBinding& binding, ControlEvents& events) {
    auto& text = As<TextBox>(binding);
    Reference<css::awt::XTextComponent> view(binding.View(), UNO_QUERY_THROW);
    events.onText = [&binding, &text, view] {
        std::string value = FromOUString(view->getText());
        if (!binding.Dialog().Pushing() && value != text.Text) {
            binding.Dialog().Handle([&text, value] { text.Type(value); });
        }
    };
    view->addTextListener(&events);
}

void PushText(ControlBinding& binding) {
    auto& text = As<TextBox>(binding);
    binding.Set("Text", Any(ToOUString(text.Text)));
    constexpr int LONGEST = 32767;
    binding.Set(
        "MaxTextLen",
        Any(static_cast<sal_Int16>(text.MaxLength > 0 ? std::min(text.MaxLength, LONGEST) : 0)));
}

// A combo box whose text the user types is the office's combo box; one
// whose rows only are chosen, its drop-down list.
bool Editable(const ControlBinding& binding) {
    return binding.Designed() != nullptr && binding.Designed()->editable;
}

void ListenCombo(ControlBinding& binding, ControlEvents& events) {
    auto& combo = As<ComboBox>(binding);
    if (Editable(binding)) {
        Reference<css::awt::XComboBox> box(binding.View(), UNO_QUERY_THROW);
        Reference<css::awt::XTextComponent> text(binding.View(), UNO_QUERY_THROW);
        events.onText = [&binding, &combo, text] {
            std::string value = FromOUString(text->getText());
            if (!binding.Dialog().Pushing() && value != combo.Text) {
                binding.Dialog().Handle([&combo, value] { combo.Type(value); });
            }
        };
        box->addItemListener(&events);
        text->addTextListener(&events);
    } else {
        Reference<css::awt::XListBox>(binding.View(), UNO_QUERY_THROW)->addItemListener(&events);
    }
    Reference<css::awt::XListBox> list(binding.View(), UNO_QUERY);
    Reference<css::awt::XTextComponent> text(binding.View(), UNO_QUERY);
    events.onItem = [&binding, &combo, list, text] {
        if (binding.Dialog().Pushing()) {
            return;
        }
        int row = -1;
        if (list.is()) {
            row = list->getSelectedItemPos();
        } else {
            const std::vector<std::string> items = FirstColumn(combo);
            auto found = std::find(items.begin(), items.end(), FromOUString(text->getText()));
            row = found == items.end() ? -1 : static_cast<int>(found - items.begin());
        }
        if (row >= 0 && row != combo.ListIndex()) {
            binding.Dialog().Handle([&combo, row] { combo.Select(row); });
        }
    };
}

void PushCombo(ControlBinding& binding) {
    auto& combo = As<ComboBox>(binding);
    binding.Set("StringItemList", Any(Strings(FirstColumn(combo))));
    if (Editable(binding)) {
        binding.Set("Text", Any(ToOUString(combo.Text)));
        return;
    }
    css::uno::Sequence<sal_Int16> selected;
    if (combo.ListIndex() >= 0) {
        const auto row = static_cast<sal_Int16>(combo.ListIndex());
        selected = css::uno::Sequence<sal_Int16>(&row, 1);
    }
    binding.Set("SelectedItems", Any(selected));
}

void ListenList(ControlBinding& binding, ControlEvents& events) {
    auto& list = As<ListBox>(binding);
    Reference<css::awt::grid::XGridRowSelection> selection(binding.View(), UNO_QUERY_THROW);
    events.onItem = [&binding, &list, selection] {
        if (binding.Dialog().Pushing()) {
            return;
        }
        std::vector<bool> selected(static_cast<std::size_t>(list.ListCount()));
        for (sal_Int32 row : selection->getSelectedRows()) {
            if (row >= 0 && row < list.ListCount()) {
                selected[static_cast<std::size_t>(row)] = true;
            }
        }
        // The rows whose selection the user changed, as the list takes them.
        std::vector<int> rows;
        for (int row = 0; row < list.ListCount(); ++row) {
            const bool now = selected[static_cast<std::size_t>(row)];
            if (list.MultiSelect ? now != list.Selected(row) : (now && !list.Selected(row))) {
                rows.push_back(row);
            }
        }
        if (!rows.empty()) {
            binding.Dialog().Handle([&list, rows] { list.Select(rows); });
        }
    };
    Reference<css::awt::grid::XGridControl> grid(binding.View(), UNO_QUERY_THROW);
    events.onPress = [&binding, &list, grid](const css::awt::MouseEvent& event) {
        if (event.ClickCount == 2) {
            const int row = grid->getRowAtPoint(event.X, event.Y);
            if (row >= 0) {
                binding.Dialog().Handle([&list, row] { list.DoubleClick(row); });
            }
        }
    };
    selection->addSelectionListener(&events);
    Reference<css::awt::XWindow>(binding.View(), UNO_QUERY_THROW)->addMouseListener(&events);
}

// Shows rows in the grid's own models, changed in place: the grid follows
// their changes (a model set anew is not always drawn). Each column as wide
// as its longest text: a map font unit across is a quarter of a character.
void ShowRows(const Reference<css::beans::XPropertySet>& grid,
              const std::vector<std::vector<std::string>>& rows) {
    constexpr sal_Int32 UNITS_PER_CHARACTER = 4;
    constexpr sal_Int32 PADDING = 8;
    Reference<css::awt::grid::XMutableGridDataModel> data(grid->getPropertyValue("GridDataModel"),
                                                          UNO_QUERY_THROW);
    Reference<css::awt::grid::XGridColumnModel> columns(grid->getPropertyValue("ColumnModel"),
                                                        UNO_QUERY_THROW);
    data->removeAllRows();
    std::size_t count = 1;
    for (const auto& row : rows) {
        count = std::max(count, row.size());
    }
    while (columns->getColumnCount() > static_cast<sal_Int32>(count)) {
        columns->removeColumn(columns->getColumnCount() - 1);
    }
    while (columns->getColumnCount() < static_cast<sal_Int32>(count)) {
        columns->addColumn(columns->createColumn());
    }
    for (std::size_t column = 0; column < count; ++column) {
        std::size_t longest = 0;
        for (const auto& row : rows) {
            longest = std::max(longest, column < row.size() ? row[column].size() : 0);
        }
        Reference<css::awt::grid::XGridColumn> shown =
            columns->getColumn(static_cast<sal_Int32>(column));
        const bool last = column + 1 == count;
        shown->setFlexibility(last ? 1 : 0);
        shown->setColumnWidth(static_cast<sal_Int32>(longest) * UNITS_PER_CHARACTER + PADDING);
    }
    for (const auto& row : rows) {
        css::uno::Sequence<Any> cells(static_cast<sal_Int32>(row.size()));
        for (std::size_t cell = 0; cell < row.size(); ++cell) {
            cells[static_cast<sal_Int32>(cell)] <<= ToOUString(row[cell]);
        }
        data->addRow(Any(), cells);
    }
}

void PushList(ControlBinding& binding) {
    auto& list = As<ListBox>(binding);
    binding.Set("SelectionModel", Any(list.MultiSelect ? css::view::SelectionType_MULTI
                                                       : css::view::SelectionType_SINGLE));
    std::vector<std::vector<std::string>> rows = VisibleRows(list);
    if (rows != binding.shownRows) {
        binding.shownRows = rows;
        ShowRows(binding.ModelProperties(), rows);
        binding.RoomChanged();
    }
    Reference<css::awt::grid::XGridRowSelection> selection(binding.View(), UNO_QUERY);
    if (!selection.is()) {
        return;
    }
    std::vector<sal_Int32> shown;
    for (sal_Int32 row : selection->getSelectedRows()) {
        shown.push_back(row);
    }
    std::sort(shown.begin(), shown.end());
    std::vector<sal_Int32> wanted;
    for (int row = 0; row < list.ListCount(); ++row) {
        if (list.Selected(row)) {
            wanted.push_back(row);
        }
    }
    if (shown != wanted) {
        selection->deselectAllRows();
        for (sal_Int32 row : wanted) {
            selection->selectRow(row);
        }
    }
}

void ListenTree(ControlBinding& binding, ControlEvents& events) {
    auto& tree = As<TreeView>(binding);
    events.onExpansion = [&tree](const Reference<css::awt::tree::XTreeNode>& node, bool expanded) {
        Reference<css::awt::tree::XMutableTreeNode> shown(node, UNO_QUERY);
        rtl::OUString value;
        if (shown.is()) {
            shown->getDataValue() >>= value;
        }
        std::string key = FromOUString(value);
        if (tree.Exists(key)) {
            tree.Node(key).Expanded = expanded;
        }
    };
    Reference<css::awt::tree::XTreeControl>(binding.View(), UNO_QUERY_THROW)
        ->addTreeExpansionListener(&events);
}

void AddNodes(TreeView& tree, const std::string& key,
              const Reference<css::awt::tree::XMutableTreeDataModel>& data,
              const Reference<css::awt::tree::XMutableTreeNode>& parent,
              std::vector<Reference<css::awt::tree::XTreeNode>>& expanded) {
    const TreeNode& node = tree.Node(key);
    Reference<css::awt::tree::XMutableTreeNode> shown =
        data->createNode(Any(ToOUString(node.Text)), false);
    shown->setDataValue(Any(ToOUString(node.Key)));
    parent->appendChild(shown);
    // Parents before their children, as the user opens them.
    if (node.Expanded && !node.ChildKeys.empty()) {
        expanded.emplace_back(shown, UNO_QUERY);
    }
    for (const std::string& child : node.ChildKeys) {
        AddNodes(tree, child, data, shown, expanded);
    }
}

void PushTree(ControlBinding& binding) {
    auto& tree = As<TreeView>(binding);
    const std::vector<std::vector<std::string>> described{{tree.Describe()}};
    Reference<css::awt::tree::XTreeControl> view(binding.View(), UNO_QUERY);
    if (described == binding.shownRows || !view.is()) {
        return;
    }
    binding.shownRows = described;
    const Reference<css::uno::XComponentContext>& context = binding.Dialog().Context();
    Reference<css::awt::tree::XMutableTreeDataModel> data(
        context->getServiceManager()->createInstanceWithContext(
            ToOUString("com.sun.star.awt.tree.MutableTreeDataModel"), context),
        UNO_QUERY_THROW);
    Reference<css::awt::tree::XMutableTreeNode> root = data->createNode(Any(), false);
    std::vector<Reference<css::awt::tree::XTreeNode>> expanded;
    for (const std::string& key : tree.RootKeys()) {
        AddNodes(tree, key, data, root, expanded);
    }
    data->setRoot(root);
    SetProperty(binding.ModelProperties(), "DataModel", Any(data));
    for (const auto& node : expanded) {
        view->expandNode(node);
    }
}

void ListenClicks(ControlBinding& binding, ControlEvents& events) {
    Control& control = binding.Target();
    if (!control.OnClick) {
        return;
    }
    events.onRelease = [&binding, &control] {
        binding.Dialog().Handle([&control] {
            if (control.Enabled && control.OnClick) {
                control.OnClick();
            }
        });
    };
    Reference<css::awt::XWindow>(binding.View(), UNO_QUERY_THROW)->addMouseListener(&events);
}

void PushCaption(ControlBinding& binding) {
    binding.Set("Label", Caption(binding.Target()));
}

void PushImage(ControlBinding& binding) {
    binding.Set("ImageURL", PictureUrl(binding, As<Image>(binding).Picture));
}

void NoListeners(ControlBinding& /*binding*/, ControlEvents& /*events*/) {}

}  // namespace

struct ControlKind {
    bool (*is)(const Control& control);
    const char* service;
    void (*listen)(ControlBinding& binding, ControlEvents& events);
    void (*push)(ControlBinding& binding);
};

namespace {

// One row per kind of control; a kind derived from another comes before it.
constexpr std::array<ControlKind, 10> KINDS{{
    {Is<CommandButton>, "com.sun.star.awt.UnoControlButtonModel", ListenButton, PushButton},
    {Is<CheckBox>, "com.sun.star.awt.UnoControlCheckBoxModel", ListenCheckBox, PushCheckBox},
    {Is<OptionButton>, "com.sun.star.awt.UnoControlRadioButtonModel", ListenOption, PushOption},
    {Is<TextBox>, "com.sun.star.awt.UnoControlEditModel", ListenText, PushText},
    {Is<ComboBox>, "com.sun.star.awt.UnoControlComboBoxModel", ListenCombo, PushCombo},
    {Is<ListBox>, "com.sun.star.awt.grid.UnoControlGridModel", ListenList, PushList},
    {Is<TreeView>, "com.sun.star.awt.tree.TreeControlModel", ListenTree, PushTree},
    {Is<Frame>, "com.sun.star.awt.UnoControlGroupBoxModel", NoListeners, PushCaption},
    {Is<Image>, "com.sun.star.awt.UnoControlImageControlModel", ListenClicks, PushImage},
    {[](const Control&) { return true; }, "com.sun.star.awt.UnoControlFixedTextModel", ListenClicks,
     PushCaption},
}};

const ControlKind& KindOf(const Control& control) {
    return *std::find_if(KINDS.begin(), KINDS.end(),
                         [&control](const ControlKind& kind) { return kind.is(control); });
}

// The model's look as its design sets it: done once, as the model is made.
void Design(const Reference<css::beans::XPropertySet>& model, const Control& control,
            const DesignedWidget* designed) {
    const bool combo = Is<ComboBox>(control);
    if (combo) {
        SetProperty(model, "Dropdown", Any(true));
    }
    if (Is<ListBox>(control)) {
        SetProperty(model, "ShowColumnHeader", Any(false));
        SetProperty(model, "ShowRowHeader", Any(false));
        SetProperty(model, "UseGridLines", Any(false));
        // A list that shows all its rows has no scroll bars.
        const bool scrolls = designed == nullptr || !designed->showsAllRows;
        SetProperty(model, "HScroll", Any(scrolls));
        SetProperty(model, "VScroll", Any(scrolls));
        // White below its rows, as a list is, not the dialog's colour.
        SetProperty(model, "BackgroundColor", Any(WHITE));
    }
    if (Is<TreeView>(control)) {
        SetProperty(model, "RootDisplayed", Any(false));
        SetProperty(model, "ShowsRootHandles", Any(true));
        SetProperty(model, "ShowsHandles", Any(true));
    }
    if (Is<Image>(control)) {
        SetProperty(model, "ScaleImage", Any(true));
    }
    if (designed == nullptr) {
        return;
    }
    if (designed->widgetClass == "QPlainTextEdit") {
        SetProperty(model, "MultiLine", Any(true));
        SetProperty(model, "VScroll", Any(true));
    }
    if (designed->readOnly) {
        SetProperty(model, "ReadOnly", Any(true));
    }
    if (designed->widgetClass == "QLabel" && Is<Label>(control)) {
        SetProperty(model, "MultiLine", Any(designed->wordWrap));
        SetProperty(model, "VerticalAlign",
                    Any(designed->alignTop ? css::style::VerticalAlignment_TOP
                                           : css::style::VerticalAlignment_MIDDLE));
    }
    if (designed->textColor >= 0) {
        SetProperty(model, "TextColor", Any(static_cast<sal_Int32>(designed->textColor)));
    }
    if (designed->isDefault && Is<CommandButton>(control)) {
        SetProperty(model, "DefaultButton", Any(true));
    }
    if (designed->fontPoints > 0 || designed->bold) {
        css::awt::FontDescriptor font;
        model->getPropertyValue("FontDescriptor") >>= font;
        if (designed->fontPoints > 0) {
            font.Height = static_cast<sal_Int16>(designed->fontPoints);
        }
        if (designed->bold) {
            font.Weight = css::awt::FontWeight::BOLD;
        }
        SetProperty(model, "FontDescriptor", Any(font));
    }
}

}  // namespace

ControlBinding::ControlBinding(Control& control, const DesignedWidget* designed,
                               const Reference<css::lang::XMultiServiceFactory>& dialogModel,
                               OfficeFormDialog& dialog)
    : control_(control), designed_(designed), kind_(KindOf(control)), dialog_(dialog) {
    const char* service = kind_.service;
    if (Is<ComboBox>(control) && (designed == nullptr || !designed->editable)) {
        service = "com.sun.star.awt.UnoControlListBoxModel";
    }
    model_.set(dialogModel->createInstance(ToOUString(service)), UNO_QUERY_THROW);
    Design(model_, control, designed);
    Reference<css::container::XNameContainer>(dialogModel, UNO_QUERY_THROW)
        ->insertByName(ToOUString(control.Name()), Any(model_));
}

ControlBinding::~ControlBinding() = default;

void ControlBinding::Attach(const Reference<css::awt::XControl>& view) {
    view_ = view;
    auto* events = new ControlEvents();
    events_.set(static_cast<cppu::OWeakObject*>(events));
    kind_.listen(*this, *events);
    if (control_.Owner().OnKeyPress) {
        Form& form = control_.Owner();
        events->onKey = [this, &form](const css::awt::KeyEvent& event) {
            std::string key = KeyName(event);
            dialog_.Handle([&form, key] { form.KeyPress(key); });
        };
        Reference<css::awt::XWindow>(view_, UNO_QUERY_THROW)->addKeyListener(events);
    }
}

bool ControlBinding::Push() {
    Set("Enabled", Any(control_.Enabled));
    if (!shownVisible_ || *shownVisible_ != control_.Visible) {
        // Visibility is the control's, not its model's.
        Reference<css::awt::XWindow>(view_, UNO_QUERY_THROW)->setVisible(control_.Visible);
        shownVisible_ = control_.Visible;
        roomChanged_ = true;
    }
    kind_.push(*this);
    return std::exchange(roomChanged_, false);
}

bool ControlBinding::Set(const char* name, const Any& value) {
    auto last = set_.find(name);
    if (last != set_.end() && last->second == value) {
        return false;
    }
    SetProperty(model_, name, value);
    set_[name] = value;
    // What the control shows, and whether it shows, decide its room.
    const std::string_view property(name);
    if (property == "Label" || property == "StringItemList") {
        roomChanged_ = true;
    }
    return true;
}

}  // namespace veln::host::office
