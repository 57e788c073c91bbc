#include "traceability/frm_tree.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "database/doc_variables.h"
#include "database/random_id.h"
#include "database/schema.h"
#include "host/utf8.h"
#include "traceability/document_chooser.h"
#include "traceability/error_report.h"
#include "traceability/links_tree_export.h"

namespace veln {

namespace {

// Fixed texts, the same in both languages.
constexpr const char* REFRESH_CAPTION = "Refresh";
constexpr const char* TREE_ERROR = "Error in tree generation";

constexpr std::size_t MIN_LABEL_LENGTH = 20;
constexpr const char* DEFAULT_LABEL_LENGTH = "60";
constexpr std::int16_t LEAF_KEY_LENGTH = 6;

// The number a text begins with, as the label length box reads it: blanks
// skipped, a sign, digits, a fraction and an exponent; 0 when there is none.
double LeadingNumber(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t\n\r");
    if (at == std::string::npos) {
        return 0;
    }
    std::size_t end = at;
    auto digits = [&] {
        std::size_t from = end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
        }
        return end > from;
    };
    bool negative = text[end] == '-';
    if (text[end] == '+' || text[end] == '-') {
        ++end;
    }
    std::size_t mantissa = end;
    bool whole = digits();
    bool fraction = false;
    if (end < text.size() && text[end] == '.') {
        ++end;
        fraction = digits();
    }
    if (!whole && !fraction) {
        return 0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t mark = end++;
        if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
            ++end;
        }
        if (!digits()) {
            end = mark;
        }
    }
    double value = 0;
    auto [stop, error] = std::from_chars(text.data() + mantissa, text.data() + end, value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: what matters is which.
        value = text.find("e-", mantissa) < end || text.find("E-", mantissa) < end
                    ? 0
                    : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

}  // namespace

FrmTree::FrmTree(DocumentContext& context) : Form("FrmTree"), context_(context) {
    Caption = context_.LoadText(StringId::ELEMENTS_TREE);
    LabelRoot.Caption = context_.LoadText(StringId::LEVEL_1);
    LabelTree.Caption = context_.LoadText(StringId::LEVEL_2);
    LabelLeaf.Caption = context_.LoadText(StringId::LEVEL_3);
    LabelSizeLabels.Caption = context_.LoadText(StringId::LABEL_LENGTH);
    CheckBoxShowNumbers.Caption = context_.LoadText(StringId::SHOW_NUMBERS);
    CheckBoxShowLabel.Caption = context_.LoadText(StringId::SHOW_DESCRIPTIONS);
    CheckBoxHyperlink.Caption = context_.LoadText(StringId::HYPERLINK_YES_NO);
    CommandButtonRefresh.Caption = REFRESH_CAPTION;
    CommandButtonExportAll.Caption = context_.LoadText(StringId::EXPORT);
    CommandButtonExit.Caption = context_.LoadText(StringId::QUIT);

    ComboBoxRoot.OnChange = [this] { ComboBoxRoot_Change(); };
    ComboBoxTree.OnChange = [this] { ComboBoxTree_Change(); };
    ComboBoxLeaf.OnChange = [this] { ComboBoxLeaf_Change(); };
    CheckBoxShowNumbers.OnClick = [this] { TextOption_Click(); };
    CheckBoxShowLabel.OnClick = [this] { TextOption_Click(); };
    CommandButtonRefresh.OnClick = [this] { BuildTree(); };
    CommandButtonExportAll.OnClick = [this] { CommandButtonExportAll_Click(); };
    CommandButtonExit.OnClick = [this] { Unload(); };
}

void FrmTree::OnLoad() {
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    CheckBoxShowLabel.Value = true;
    CheckBoxShowNumbers.Value = true;
    CheckBoxHyperlink.Value = true;
    TextBoxLabelSize.Text = DEFAULT_LABEL_LENGTH;
    dbPath = utilElements::GetDbName(context_);
    ReportingErrors(context_, [&] {
        std::vector<ProjectDocument> documents =
            ReadProjectDocuments(schema::OpenProjectDatabase(dbPath, db::OpenMode::ReadOnly));
        for (host::ComboBox* chooser : {&ComboBoxRoot, &ComboBoxTree, &ComboBoxLeaf}) {
            FillDocumentChooser(*chooser, documents);
        }
    });
    // The choosers are used in order: root, then tree, then leaf.
    ComboBoxTree.Enabled = false;
    ComboBoxLeaf.Enabled = false;
    treeDocId.clear();
    leafDocId.clear();
}

std::string FrmTree::DrawLeafKey() {
    return dbElements::RandomId(LEAF_KEY_LENGTH);
}

void FrmTree::ComboBoxRoot_Change() {
    if (ComboBoxRoot.ListIndex() >= 0) {
        rootDocId = ChosenDocumentId(ComboBoxRoot);
        ComboBoxTree.Enabled = true;
    }
}

void FrmTree::ComboBoxTree_Change() {
    if (ComboBoxTree.ListIndex() >= 0) {
        treeDocId = ChosenDocumentId(ComboBoxTree);
        ComboBoxLeaf.Enabled = true;
        BuildTree();
    }
}

void FrmTree::ComboBoxLeaf_Change() {
    if (ComboBoxLeaf.ListIndex() >= 0) {
        leafDocId = ChosenDocumentId(ComboBoxLeaf);
        BuildTree();
    }
}

void FrmTree::TextOption_Click() {
    // At least one of the two texts is always shown.
    if (!CheckBoxShowNumbers.Value && !CheckBoxShowLabel.Value) {
        CheckBoxShowNumbers.Value = true;
        CheckBoxShowLabel.Value = true;
    }
}

NodeTextOptions FrmTree::TextOptions() const {
    return {CheckBoxShowNumbers.Value, CheckBoxShowLabel.Value};
}

std::size_t FrmTree::LabelLength() {
    double length = std::trunc(LeadingNumber(TextBoxLabelSize.Text));
    if (length < static_cast<double>(MIN_LABEL_LENGTH)) {
        TextBoxLabelSize.Text = std::to_string(MIN_LABEL_LENGTH);
        return MIN_LABEL_LENGTH;
    }
    // Beyond any text a node can have: no cut, whatever the number.
    constexpr double NO_CUT = 1e9;
    return length >= NO_CUT ? std::numeric_limits<std::size_t>::max()
                            : static_cast<std::size_t>(length);
}

void FrmTree::BuildTree() {
    bool differ = rootDocId != treeDocId && leafDocId != rootDocId && leafDocId != treeDocId;
    if (rootDocId.empty() || treeDocId.empty() || !differ) {
        return;
    }
    try {
        TreeViewElem.Clear();
        std::string rootText;
        for (int row = 0; row < ComboBoxRoot.ListCount(); ++row) {
            if (ComboBoxRoot.List(row, 0) == rootDocId) {
                rootText = ComboBoxRoot.List(row, 1);
                break;
            }
        }
        TreeViewElem.Add("", rootDocId, rootText);
        LinksTree tree(schema::OpenProjectDatabase(dbPath, db::OpenMode::ReadOnly),
                       {rootDocId, treeDocId, leafDocId}, TextOptions());
        if (std::uint64_t entries = tree.EntryCount(); entries > mostEntries) {
            throw TreeTooLarge(context_, entries, mostEntries);
        }
        BuildNodes(tree, LabelLength());
        TreeViewElem.Node(rootDocId).Expanded = true;
    } catch (const TreeTooLarge& refusal) {
        context_.ui.MsgBox(refusal.what(), host::MsgBoxStyle::vbExclamation);
    } catch (const db::DbError&) {
        context_.ui.MsgBox(TREE_ERROR);
    } catch (const host::HostError&) {
        context_.ui.MsgBox(TREE_ERROR);
    }
}

void FrmTree::BuildNodes(const LinksTree& tree, std::size_t labelLength) {
    auto text = [&](const std::string& id) {
        return host::FirstCharacters(tree.NodeText(id), labelLength);
    };
    // Counts the level-2 nodes of the build: an element linked from several
    // parents gets a key of its own under each. Wide enough for any tree.
    std::int64_t nodeCounter = 0;
    for (const auto& rootId : tree.RootElements()) {
        host::TreeNode& level1 = TreeViewElem.Add(rootDocId, rootId, text(rootId));
        for (const auto& childId : tree.TreeChildren(rootId)) {
            std::string key = childId + std::to_string(++nodeCounter);
            host::TreeNode& level2 = TreeViewElem.Add(
                rootId, key,
                (tree.Suspect(rootId, childId) ? SUSPECT_NODE_MARK : "") + text(childId));
            for (const auto& leafId : tree.LeafChildren(childId)) {
                // A drawn key already in the tree is drawn again.
                std::string leafKey;
                do {
                    leafKey = DrawLeafKey();
                } while (TreeViewElem.Exists(leafKey));
                TreeViewElem.Add(
                    key, leafKey,
                    (tree.Suspect(childId, leafId) ? SUSPECT_NODE_MARK : "") + text(leafId));
            }
            level2.Expanded = true;
        }
        level1.Expanded = true;
    }
}

void FrmTree::CommandButtonExportAll_Click() {
    if (rootDocId.empty() || treeDocId.empty()) {
        return;
    }
    LinksTreeExportOptions options;
    options.showNumbers = CheckBoxShowNumbers.Value;
    options.showLabel = CheckBoxShowLabel.Value;
    options.hyperlink = CheckBoxHyperlink.Value;
    options.mostEntries = mostEntries;
    try {
        ReportingErrors(context_, [&] {
            ExportLinksTree(context_, dbPath, {rootDocId, treeDocId, leafDocId}, options);
        });
    } catch (const TreeTooLarge& refusal) {
        context_.ui.MsgBox(refusal.what(), host::MsgBoxStyle::vbExclamation);
    }
}

}  // namespace veln
