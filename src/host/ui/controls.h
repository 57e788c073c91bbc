// The controls of a form as plain state. A form's handlers read and write them;
// the desktop program mirrors them into widgets and the scripted Ui acts on them
// as a user would.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace veln::host {

class Form;

class Control {
  public:
    Control(Form& owner, std::string name);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    Form& Owner() const { return owner_; }

    // Printable state, for transcripts and the "print CONTROL" action.
    virtual std::string Describe() const;

    std::string Caption;
    bool Enabled = true;
    bool Visible = true;

    // Events, wired by the form to its handlers.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnChange;

  protected:
    static void Fire(const std::function<void()>& event) {
        if (event) {
            event();
        }
    }

  private:
    Form& owner_;
    std::string name_;
};

class Label : public Control {
    using Control::Control;
};

class Frame : public Control {
    using Control::Control;
};

class Image : public Control {
  public:
    using Control::Control;
    int Picture = 0;  // resource id of the picture, 0 for none
};

class CommandButton : public Control {
  public:
    using Control::Control;
    void Click();  // a user's click: fires OnClick when enabled

    int Picture = 0;  // resource id of the picture it shows, 0 for none
};

class TextBox : public Control {
  public:
    using Control::Control;
    std::string Describe() const override;
    // A user's edit, when enabled: sets Text, cut to MaxLength characters as
    // the box takes no more, and fires OnChange.
    void Type(const std::string& text);

    std::string Text;
    int MaxLength = 0;  // 0: no limit
};

class CheckBox : public Control {
  public:
    using Control::Control;
    std::string Describe() const override;
    void Set(bool value);  // a user's click, when enabled: sets Value, fires OnClick and OnChange

    bool Value = false;
};

// Option buttons of one GroupName exclude one another within their form.
class OptionButton : public Control {
  public:
    using Control::Control;
    std::string Describe() const override;
    void Choose();  // a user's click, when enabled: selects it, clears the group, fires OnClick
    void SetValue(bool value);

    bool Value() const { return value_; }
    std::string GroupName;

  private:
    bool value_ = false;
};

// Rows of one or more text columns. Columns are numbered from 0; BoundColumn,
// as the system counts it, from 1.
class ListControl : public Control {
  public:
    using Control::Control;
    std::string Describe() const override;

    void AddItem(const std::string& text);
    virtual void RemoveItem(int row);
    virtual void Clear();
    int ListCount() const { return static_cast<int>(rows_.size()); }
    const std::string& List(int row, int column = 0) const;
    void SetList(int row, int column, const std::string& text);

    int ListIndex() const { return listIndex_; }
    virtual void SetListIndex(int row);  // -1 for none; fires OnChange when it changes
    // The bound column's text of the current row, "" when there is none.
    std::string Value() const;

    int ColumnCount = 1;
    int BoundColumn = 1;
    std::set<int> HiddenColumns;

  protected:
    void CheckRow(int row) const;
    std::vector<std::vector<std::string>> rows_;
    int listIndex_ = -1;
};

class ListBox : public ListControl {
  public:
    using ListControl::ListControl;
    std::string Describe() const override;

    bool Selected(int row) const;
    void SetSelected(int row, bool selected);
    // Selections go with their rows.
    void RemoveItem(int row) override;
    void Clear() override;
    // A user's selection, when enabled: in a single-selection list the last
    // row given wins.
    void Select(const std::vector<int>& userRows);
    void DoubleClick(int row);  // a user's double-click on a row, when enabled
    void SetListIndex(int row) override;

    bool MultiSelect = false;

  private:
    std::set<int> selected_;
};

class ComboBox : public ListControl {
  public:
    using ListControl::ListControl;
    std::string Describe() const override;
    void SetListIndex(int row) override;  // also sets Text to the row's bound column
    // A user's choice of a row and edit of the text part, when enabled.
    void Select(int row);
    void Type(const std::string& text);

    std::string Text;
};

struct TreeNode {
    std::string Key;
    std::string Text;
    std::string ParentKey;  // "" for a root node
    int Index = 0;          // from 1, in the order the nodes were added
    bool Expanded = false;  // the node shows its children
    std::vector<std::string> ChildKeys;
};

// Keyed nodes. Printed as the user sees the tree, each node with its key:
// "- " before an expanded node with children, "+ " before a collapsed one.
class TreeView : public Control {
  public:
    using Control::Control;
    std::string Describe() const override;

    // Adds a node under parentKey ("" for a root). A key already used is an error.
    TreeNode& Add(const std::string& parentKey, const std::string& key, const std::string& text);
    void Clear();
    bool Exists(const std::string& key) const { return nodes_.contains(key); }
    TreeNode& Node(const std::string& key);
    const std::vector<std::string>& RootKeys() const { return roots_; }
    int Count() const { return static_cast<int>(nodes_.size()); }

  private:
    void DescribeNode(const std::string& key, int depth, std::string& out) const;
    std::map<std::string, TreeNode> nodes_;
    std::vector<std::string> roots_;
};

}  // namespace veln::host
