#include "host/ui/controls.h"

#include <algorithm>
#include <string>

#include "host/host_error.h"
#include "host/ui/form.h"
#include "host/ui/quote.h"
#include "host/utf8.h"

namespace veln::host {

namespace {

// Error numbers of a control used out of its range, as the form engine numbers them.
constexpr long INVALID_ARGUMENT = 380;
constexpr long KEY_NOT_UNIQUE = 35602;
constexpr long ELEMENT_NOT_FOUND = 35601;

std::string Flags(const Control& control) {
    std::string flags;
    if (!control.Enabled) {
        flags += " (disabled)";
    }
    if (!control.Visible) {
        flags += " (hidden)";
    }
    return flags;
}

}  // namespace

Control::Control(Form& owner, std::string name) : owner_(owner), name_(std::move(name)) {
    owner_.Register(*this);
}

std::string Control::Describe() const {
    return name_ + ": " + Quote(Caption) + Flags(*this);
}

void CommandButton::Click() {
    if (Enabled) {
        Fire(OnClick);
    }
}

std::string TextBox::Describe() const {
    return Name() + ": " + Quote(Text) + Flags(*this);
}

void TextBox::Type(const std::string& text) {
    if (!Enabled) {
        return;
    }
    Text = MaxLength > 0 ? FirstCharacters(text, static_cast<std::size_t>(MaxLength)) : text;
    Fire(OnChange);
}

std::string CheckBox::Describe() const {
    return Name() + ": " + (Value ? "1" : "0") + Flags(*this);
}

void CheckBox::Set(bool value) {
    if (!Enabled) {
        return;
    }
    Value = value;
    Fire(OnClick);
    Fire(OnChange);
}

std::string OptionButton::Describe() const {
    return Name() + ": " + (value_ ? "1" : "0") + Flags(*this);
}

void OptionButton::SetValue(bool value) {
    value_ = value;
    if (value) {
        Owner().ClearOptionGroup(*this);
    }
}

void OptionButton::Choose() {
    if (!Enabled) {
        return;
    }
    SetValue(true);
    Fire(OnClick);
    Fire(OnChange);
}

// --- lists -----------------------------------------------------------------

void ListControl::CheckRow(int row) const {
    if (row < 0 || row >= ListCount()) {
        throw HostError(INVALID_ARGUMENT, Name() + ": row " + std::to_string(row) +
                                              " is out of range (" + std::to_string(ListCount()) +
                                              " rows)");
    }
}

void ListControl::AddItem(const std::string& text) {
    std::vector<std::string> row(static_cast<std::size_t>(std::max(ColumnCount, 1)));
    row[0] = text;
    rows_.push_back(std::move(row));
}

void ListControl::RemoveItem(int row) {
    CheckRow(row);
    rows_.erase(rows_.begin() + row);
    if (listIndex_ >= ListCount()) {
        listIndex_ = -1;
    }
}

void ListControl::Clear() {
    rows_.clear();
    listIndex_ = -1;
}

const std::string& ListControl::List(int row, int column) const {
    CheckRow(row);
    const auto& cells = rows_[static_cast<std::size_t>(row)];
    if (column < 0 || column >= static_cast<int>(cells.size())) {
        static const std::string empty;
        return empty;
    }
    return cells[static_cast<std::size_t>(column)];
}

void ListControl::SetList(int row, int column, const std::string& text) {
    CheckRow(row);
    if (column < 0) {
        throw HostError(INVALID_ARGUMENT, Name() + ": column " + std::to_string(column));
    }
    auto& cells = rows_[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(cells.size())) {
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = text;
}

void ListControl::SetListIndex(int row) {
    if (row != -1) {
        CheckRow(row);
    }
    if (row != listIndex_) {
        listIndex_ = row;
        Fire(OnChange);
    }
}

std::string ListControl::Value() const {
    return listIndex_ < 0 ? std::string() : List(listIndex_, BoundColumn - 1);
}

std::string ListControl::Describe() const {
    std::string out = Name() + ": " + std::to_string(ListCount()) + " rows, index " +
                      std::to_string(listIndex_) + Flags(*this);
    for (int row = 0; row < ListCount(); ++row) {
        out += "\n  ";
        out += row == listIndex_ ? '>' : ' ';
        // What the user sees: hidden columns (ids) are left out.
        const auto& cells = rows_[static_cast<std::size_t>(row)];
        bool first = true;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (HiddenColumns.contains(static_cast<int>(c))) {
                continue;
            }
            out += (first ? " " : " | ") + cells[c];
            first = false;
        }
    }
    return out;
}

bool ListBox::Selected(int row) const {
    CheckRow(row);
    return selected_.contains(row);
}

void ListBox::SetSelected(int row, bool selected) {
    CheckRow(row);
    if (!MultiSelect) {
        selected_.clear();
    }
    if (selected) {
        selected_.insert(row);
    } else {
        selected_.erase(row);
    }
}

void ListBox::RemoveItem(int row) {
    ListControl::RemoveItem(row);
    std::set<int> shifted;
    for (int selected : selected_) {
        if (selected != row) {
            shifted.insert(selected > row ? selected - 1 : selected);
        }
    }
    selected_ = std::move(shifted);
}

void ListBox::Clear() {
    ListControl::Clear();
    selected_.clear();
}

void ListBox::SetListIndex(int row) {
    if (!MultiSelect) {
        selected_.clear();
        if (row >= 0) {
            CheckRow(row);
            selected_.insert(row);
        }
    }
    ListControl::SetListIndex(row);
}

void ListBox::Select(const std::vector<int>& userRows) {
    for (int row : userRows) {
        CheckRow(row);
    }
    if (!Enabled) {
        return;
    }
    if (MultiSelect) {
        for (int row : userRows) {
            SetSelected(row, !selected_.contains(row));
        }
    }
    if (!userRows.empty()) {
        SetListIndex(userRows.back());
    }
    Fire(OnClick);
}

void ListBox::DoubleClick(int row) {
    if (row != -1) {
        CheckRow(row);
    }
    if (!Enabled) {
        return;
    }
    SetListIndex(row);
    Fire(OnDblClick);
}

std::string ListBox::Describe() const {
    std::string out = ListControl::Describe();
    if (MultiSelect) {
        out += "\n  selected:";
        for (int row : selected_) {
            out += " " + std::to_string(row);
        }
    }
    return out;
}

void ComboBox::SetListIndex(int row) {
    if (row >= 0) {
        CheckRow(row);
        Text = List(row, BoundColumn - 1);
    }
    ListControl::SetListIndex(row);
}

void ComboBox::Select(int row) {
    CheckRow(row);
    if (Enabled) {
        SetListIndex(row);
    }
}

void ComboBox::Type(const std::string& text) {
    if (!Enabled) {
        return;
    }
    Text = text;
    auto column = static_cast<std::size_t>(std::max(BoundColumn - 1, 0));
    auto match = std::find_if(rows_.begin(), rows_.end(), [&](const auto& cells) {
        return column < cells.size() && cells[column] == text;
    });
    listIndex_ = match == rows_.end() ? -1 : static_cast<int>(match - rows_.begin());
    Fire(OnChange);
}

std::string ComboBox::Describe() const {
    return ListControl::Describe() + "\n  text: " + Quote(Text);
}

// --- tree ------------------------------------------------------------------

TreeNode& TreeView::Add(const std::string& parentKey, const std::string& key,
                        const std::string& text) {
    if (nodes_.contains(key)) {
        throw HostError(KEY_NOT_UNIQUE, Name() + ": key is not unique in collection: " + key);
    }
    if (!parentKey.empty()) {
        Node(parentKey).ChildKeys.push_back(key);
    } else {
        roots_.push_back(key);
    }
    TreeNode& node = nodes_[key];
    node.Key = key;
    node.Text = text;
    node.ParentKey = parentKey;
    node.Index = static_cast<int>(nodes_.size());
    return node;
}

void TreeView::Clear() {
    nodes_.clear();
    roots_.clear();
}

TreeNode& TreeView::Node(const std::string& key) {
    auto found = nodes_.find(key);
    if (found == nodes_.end()) {
        throw HostError(ELEMENT_NOT_FOUND, Name() + ": no node with key " + key);
    }
    return found->second;
}

void TreeView::DescribeNode(const std::string& key, int depth, std::string& out) const {
    const TreeNode& node = nodes_.at(key);
    out += "\n" + std::string(static_cast<std::size_t>(2 * depth), ' ');
    out += (node.ChildKeys.empty() ? "  "
            : node.Expanded        ? "- "
                                   : "+ ") +
           node.Key + " " + Quote(node.Text);
    for (const auto& child : node.ChildKeys) {
        DescribeNode(child, depth + 1, out);
    }
}

std::string TreeView::Describe() const {
    std::string out = Name() + ": " + std::to_string(nodes_.size()) + " nodes" + Flags(*this);
    for (const auto& root : roots_) {
        DescribeNode(root, 1, out);
    }
    return out;
}

}  // namespace veln::host
