// The links tree dialog: under each live element of the root document, the
// elements of the tree document it links to, and under those the elements of
// the leaf document they link to; and its export to a new document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "database/document_context.h"
#include "host/ui/form.h"
#include "traceability/links_tree.h"

namespace veln {

class FrmTree : public host::Form {
  public:
    explicit FrmTree(DocumentContext& context);

    host::Label LabelRoot{*this, "LabelRoot"};
    host::Label LabelTree{*this, "LabelTree"};
    host::Label LabelLeaf{*this, "LabelLeaf"};
    host::Label LabelSizeLabels{*this, "LabelSizeLabels"};
    host::ComboBox ComboBoxRoot{*this, "ComboBoxRoot"};
    host::ComboBox ComboBoxTree{*this, "ComboBoxTree"};
    host::ComboBox ComboBoxLeaf{*this, "ComboBoxLeaf"};
    host::TreeView TreeViewElem{*this, "TreeViewElem"};
    host::CheckBox CheckBoxShowNumbers{*this, "CheckBoxShowNumbers"};
    host::CheckBox CheckBoxShowLabel{*this, "CheckBoxShowLabel"};
    host::CheckBox CheckBoxHyperlink{*this, "CheckBoxHyperlink"};
    host::TextBox TextBoxLabelSize{*this, "TextBoxLabelSize"};
    host::CommandButton CommandButtonRefresh{*this, "CommandButtonRefresh"};
    host::CommandButton CommandButtonExportAll{*this, "CommandButtonExportAll"};
    host::CommandButton CommandButtonExit{*this, "CommandButtonExit"};

    // Builds the tree anew from the chosen documents, when the root and tree
    // documents are chosen and the three differ. A failure shows "Error in
    // tree generation"; the nodes added by then stay.
    void BuildTree();

    // Past this many entries the tree is neither drawn nor exported.
    std::uint64_t mostEntries = MOST_TREE_ENTRIES;

  protected:
    void OnLoad() override;
    // The key of a level-3 node: 6 characters from RandomId.
    virtual std::string DrawLeafKey();

  private:
    void ComboBoxRoot_Change();
    void ComboBoxTree_Change();
    void ComboBoxLeaf_Change();
    void TextOption_Click();
    void CommandButtonExportAll_Click();
    NodeTextOptions TextOptions() const;
    // The label length of the box: at least 20 (written back when raised),
    // and no cut at all for a number beyond any text.
    std::size_t LabelLength();
    void BuildNodes(const LinksTree& tree, std::size_t labelLength);

    DocumentContext& context_;
    std::string rootDocId;
    std::string treeDocId;
    std::string leafDocId;
    std::string dbPath;
};

}  // namespace veln
