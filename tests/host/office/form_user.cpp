#include "form_user.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <com/sun/star/accessibility/AccessibleRole.hpp>
#include <com/sun/star/accessibility/XAccessible.hpp>
#include <com/sun/star/accessibility/XAccessibleAction.hpp>
#include <com/sun/star/accessibility/XAccessibleContext.hpp>
#include <com/sun/star/awt/MouseButton.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XComboBox.hpp>
#include <com/sun/star/awt/XDialog.hpp>
#include <com/sun/star/awt/XExtendedToolkit.hpp>
#include <com/sun/star/awt/XFixedText.hpp>
#include <com/sun/star/awt/XListBox.hpp>
#include <com/sun/star/awt/XMessageBox.hpp>
#include <com/sun/star/awt/XTextComponent.hpp>
#include <com/sun/star/awt/XToolkitRobot.hpp>
#include <com/sun/star/awt/XUnitConversion.hpp>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/awt/grid/XGridControl.hpp>
#include <com/sun/star/awt/grid/XGridDataModel.hpp>
#include <com/sun/star/awt/grid/XGridRowSelection.hpp>
#include <com/sun/star/awt/tree/XTreeControl.hpp>
#include <com/sun/star/awt/tree/XTreeDataModel.hpp>
#include <com/sun/star/util/MeasureUnit.hpp>

namespace veln::test {

namespace office = host::office;
namespace css = host::office::css;
using office::FromOUString;
using office::Reference;
using office::ToOUString;
using office::UNO_QUERY;
using office::UNO_QUERY_THROW;

void FormUser::WaitShown() const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    Reference<css::awt::XWindow2> window(dialog_.Dialog()->getPeer(), UNO_QUERY_THROW);
    while (!window->isVisible()) {
        if (std::chrono::steady_clock::now() > until) {
            throw std::runtime_error("the dialog " + dialog_.Model().Name() + " never showed");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Shown, and its loop running: what the user does now reaches it.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

Reference<css::awt::XControl> FormUser::View(const std::string& control) const {
    Reference<css::awt::XControl> view = dialog_.ControlOf(control);
    if (!view.is()) {
        throw std::runtime_error(dialog_.Model().Name() + " has no control " + control);
    }
    return view;
}

void FormUser::Type(const std::string& control, const std::string& text) {
    Reference<css::awt::XTextComponent>(View(control), UNO_QUERY_THROW)->setText(ToOUString(text));
}

void FormUser::Click(const std::string& control) {
    Reference<css::accessibility::XAccessible> accessible(View(control)->getPeer(),
                                                          UNO_QUERY_THROW);
    Reference<css::accessibility::XAccessibleAction> action(accessible->getAccessibleContext(),
                                                            UNO_QUERY_THROW);
    const int before = acts_->handled;
    action->doAccessibleAction(0);
    AfterAct(before);
}

void FormUser::AfterAct(int handledBefore) const {
    // The office tells of a click a moment later: the user waits for the
    // form to have handled it, as one waits for a button's effect.
    if (!WaitFor([&] { return acts_->handled > handledBefore || acts_->ended; })) {
        throw std::runtime_error("the form never handled the act");
    }
}

void FormUser::Choose(const std::string& control, const std::vector<int>& rows) {
    Reference<css::awt::XControl> view = View(control);
    if (Reference<css::awt::grid::XGridRowSelection> grid{view, UNO_QUERY}; grid.is()) {
        for (int row : rows) {
            grid->selectRow(row);
        }
        return;
    }
    // A drop-down list: its window's own selection, which tells its listeners.
    Reference<css::awt::XListBox> list(view->getPeer(), UNO_QUERY_THROW);
    for (int row : rows) {
        list->selectItemPos(static_cast<sal_Int16>(row), true);
    }
}

void FormUser::DoubleClick(const std::string& control, int row) {
    Reference<css::awt::XControl> view = View(control);
    Reference<css::beans::XPropertySet> model(view->getModel(), UNO_QUERY_THROW);
    Reference<css::awt::XUnitConversion> units(dialog_.Dialog()->getPeer(), UNO_QUERY_THROW);
    const sal_Int32 rowHeight =
        units
            ->convertSizeToPixel(
                css::awt::Size(0, model->getPropertyValue("RowHeight").get<sal_Int32>()),
                css::util::MeasureUnit::APPFONT)
            .Height;
    css::awt::MouseEvent press;
    press.Source = view->getPeer();
    press.Buttons = css::awt::MouseButton::LEFT;
    press.X = 4 * 2;
    press.Y = row * rowHeight + rowHeight / 2;
    press.ClickCount = 1;
    const sal_Int32 under = Reference<css::awt::grid::XGridControl>(view, UNO_QUERY_THROW)
                                ->getRowAtPoint(press.X, press.Y);
    if (under != row) {
        throw std::runtime_error(control + ": row " + std::to_string(row) + " is not at " +
                                 std::to_string(press.Y) + " (row " + std::to_string(under) +
                                 " is)");
    }
    Reference<css::awt::XToolkitRobot> robot(css::awt::Toolkit::create(dialog_.Context()),
                                             UNO_QUERY_THROW);
    // Two presses in quick succession: the second is the double-click.
    // The row chosen first: the presses then only double-click it.
    Choose(control, {row});
    const int before = acts_->handled;
    for (int click = 0; click < 2; ++click) {
        robot->mousePress(press);
        robot->mouseRelease(press);
    }
    AfterAct(before);
}

bool FormUser::WaitFor(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string FormUser::Text(const std::string& control) const {
    Reference<css::awt::XControl> view = View(control);
    if (Reference<css::awt::XFixedText> label{view, UNO_QUERY}; label.is()) {
        return FromOUString(label->getText());
    }
    if (Reference<css::awt::XTextComponent> text{view, UNO_QUERY}; text.is()) {
        return FromOUString(text->getText());
    }
    Reference<css::beans::XPropertySet> model(view->getModel(), UNO_QUERY_THROW);
    return FromOUString(model->getPropertyValue("Label").get<rtl::OUString>());
}

bool FormUser::Visible(const std::string& control) const {
    return Reference<css::awt::XWindow2>(View(control)->getPeer(), UNO_QUERY_THROW)->isVisible();
}

bool FormUser::Enabled(const std::string& control) const {
    return Reference<css::awt::XWindow2>(View(control)->getPeer(), UNO_QUERY_THROW)->isEnabled();
}

std::vector<std::string> FormUser::Rows(const std::string& control) const {
    Reference<css::beans::XPropertySet> model(View(control)->getModel(), UNO_QUERY_THROW);
    Reference<css::awt::grid::XGridDataModel> data(model->getPropertyValue("GridDataModel"),
                                                   UNO_QUERY_THROW);
    std::vector<std::string> rows;
    for (sal_Int32 row = 0; row < data->getRowCount(); ++row) {
        std::string shown;
        for (sal_Int32 column = 0; column < data->getColumnCount(); ++column) {
            rtl::OUString cell;
            data->getCellData(column, row) >>= cell;
            shown += (column == 0 ? "" : "\t") + FromOUString(cell);
        }
        rows.push_back(shown);
    }
    return rows;
}

std::vector<int> FormUser::Selected(const std::string& control) const {
    Reference<css::awt::grid::XGridRowSelection> grid(View(control), UNO_QUERY_THROW);
    std::vector<int> rows;
    for (sal_Int32 row : grid->getSelectedRows()) {
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<std::string> FormUser::Items(const std::string& control) const {
    Reference<css::awt::XControl> view = View(control);
    css::uno::Sequence<rtl::OUString> items;
    if (Reference<css::awt::XComboBox> combo{view, UNO_QUERY}; combo.is()) {
        items = combo->getItems();
    } else {
        items = Reference<css::awt::XListBox>(view, UNO_QUERY_THROW)->getItems();
    }
    std::vector<std::string> shown;
    for (const rtl::OUString& item : items) {
        shown.push_back(FromOUString(item));
    }
    return shown;
}

std::vector<std::string> FormUser::Nodes(const std::string& control) const {
    Reference<css::awt::XControl> view = View(control);
    Reference<css::awt::tree::XTreeControl> tree(view, UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> model(view->getModel(), UNO_QUERY_THROW);
    Reference<css::awt::tree::XTreeDataModel> data(model->getPropertyValue("DataModel"),
                                                   UNO_QUERY_THROW);
    std::vector<std::string> nodes;
    std::function<void(const Reference<css::awt::tree::XTreeNode>&, int)> walk =
        [&](const Reference<css::awt::tree::XTreeNode>& node, int depth) {
            rtl::OUString text;
            node->getDisplayValue() >>= text;
            nodes.push_back(std::to_string(depth) + " " + FromOUString(text) +
                            (tree->isNodeExpanded(node) ? " -" : " +"));
            for (sal_Int32 child = 0; child < node->getChildCount(); ++child) {
                walk(node->getChildAt(child), depth + 1);
            }
        };
    Reference<css::awt::tree::XTreeNode> root = data->getRoot();
    for (sal_Int32 child = 0; child < root->getChildCount(); ++child) {
        walk(root->getChildAt(child), 0);
    }
    return nodes;
}

std::string FormUser::Title() const {
    return FromOUString(
        Reference<css::awt::XDialog>(dialog_.Dialog(), UNO_QUERY_THROW)->getTitle());
}

}  // namespace veln::test

namespace veln::test {

namespace {

// The message box the office shows now, if any.
Reference<css::awt::XMessageBox> ShownMessageBox(office::OfficeConnection& office) {
    Reference<css::awt::XExtendedToolkit> toolkit(css::awt::Toolkit::create(office.Context()),
                                                  UNO_QUERY_THROW);
    // The toolkit's list of top windows is marked deprecated, and is what
    // the office offers another process of the windows it shows.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    for (sal_Int32 i = toolkit->getTopWindowCount() - 1; i >= 0; --i) {
        Reference<css::awt::XMessageBox> box(toolkit->getTopWindow(i), UNO_QUERY);
#pragma GCC diagnostic pop
        if (box.is()) {
            return box;
        }
    }
    return {};
}

// The push button of that caption among an accessible's descendants.
Reference<css::accessibility::XAccessibleAction> ButtonOf(
    const Reference<css::accessibility::XAccessibleContext>& context, const std::string& caption) {
    for (sal_Int32 i = 0; i < context->getAccessibleChildCount(); ++i) {
        Reference<css::accessibility::XAccessible> child = context->getAccessibleChild(i);
        Reference<css::accessibility::XAccessibleContext> inner =
            child.is() ? child->getAccessibleContext() : nullptr;
        if (!inner.is()) {
            continue;
        }
        if (inner->getAccessibleRole() == css::accessibility::AccessibleRole::PUSH_BUTTON &&
            FromOUString(inner->getAccessibleName()) == caption) {
            return {inner, UNO_QUERY_THROW};
        }
        if (auto found = ButtonOf(inner, caption); found.is()) {
            return found;
        }
    }
    return {};
}

}  // namespace

std::string AnswerMessageBox(office::OfficeConnection& office, const std::string& button) {
    Reference<css::awt::XMessageBox> box;
    if (!FormUser::WaitFor([&] { return (box = ShownMessageBox(office)).is(); })) {
        throw std::runtime_error("no message box showed");
    }
    std::string message = FromOUString(box->getMessageText());
    Reference<css::accessibility::XAccessible> accessible(box, UNO_QUERY_THROW);
    Reference<css::accessibility::XAccessibleAction> press =
        ButtonOf(accessible->getAccessibleContext(), button);
    if (!press.is()) {
        throw std::runtime_error("the message box has no button " + button + ": " + message);
    }
    press->doAccessibleAction(0);
    return message;
}

}  // namespace veln::test
