// What the links tree and its export show, read from the project database
// at once: the root document's live elements, the elements each element
// links to in the next document, and the text of every node. Only links
// stored from parent to child are followed. The reading is one short
// transaction: the tree sees one state of the project, and nothing is held
// on the file while the tree is drawn or written, so other users' writes go
// on. What is kept grows with the project's links, not with the tree, whose
// entries multiply when elements are shared.
#pragma once

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/db/database.h"
#include "settings/core_context.h"

namespace veln {

struct LinksTreeDocuments {
    std::string rootDocId;  // level 1
    std::string treeDocId;  // level 2
    std::string leafDocId;  // level 3; "" for none
};

struct NodeTextOptions {
    bool showNumbers = true;
    bool showLabel = true;
};

// A tree is drawn or written only up to this many entries; past it, it is
// refused before anything is drawn or written.
inline constexpr std::uint64_t MOST_TREE_ENTRIES = 100000;

class LinksTree {
  public:
    LinksTree(const db::Database& database, const LinksTreeDocuments& documents,
              NodeTextOptions options);

    // The ids of the root document's elements not marked deleted, in number
    // order.
    const std::vector<std::string>& RootElements() const { return roots_; }
    // The targets of a root element's live links into the tree document.
    const std::vector<std::string>& TreeChildren(const std::string& rootId) const;
    // The targets of a tree element's live links into the leaf document.
    const std::vector<std::string>& LeafChildren(const std::string& treeId) const;
    // "2.1.0.0 - " when numbers are shown, then the label when labels are;
    // "" when the project has no such element. Deleted elements are found too.
    const std::string& NodeText(const std::string& elementId) const;
    // One per root element, per tree element under it and per leaf element
    // under those: what the tree would show.
    std::uint64_t EntryCount() const;
    // Whether the link from parent to child is suspect: an end of it changed
    // since it was reviewed. Its node then shows SUSPECT_NODE_MARK first.
    bool Suspect(const std::string& parentId, const std::string& childId) const;

  private:
    using ChildrenByParent = std::unordered_map<std::string, std::vector<std::string>>;
    static const std::vector<std::string>& ChildrenIn(const ChildrenByParent& children,
                                                      const std::string& parentId);

    std::vector<std::string> roots_;
    ChildrenByParent treeChildren_;
    ChildrenByParent leafChildren_;
    std::unordered_map<std::string, std::string> texts_;
    std::set<std::pair<std::string, std::string>> suspect_;  // (parent, child)
};

// What stands before the text of a node reached through a suspect link.
inline constexpr const char* SUSPECT_NODE_MARK = "! ";

// Thrown when a tree has more entries than it may: the message says how many,
// and the limit, in the user's language.
class TreeTooLarge : public std::runtime_error {
  public:
    TreeTooLarge(const CoreContext& context, std::uint64_t entries, std::uint64_t limit);
};

}  // namespace veln
