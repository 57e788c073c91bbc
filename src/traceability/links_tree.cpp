#include "traceability/links_tree.h"

#include "database/db_elements.h"
#include "database/db_links.h"
#include "database/db_stamps.h"
#include "database/read_transaction.h"
#include "settings/language.h"
#include "traceability/element_rows.h"

namespace veln {

namespace {

std::unordered_map<std::string, std::vector<std::string>> LiveChildren(
    const db::Database& database, const std::string& childDocId) {
    std::unordered_map<std::string, std::vector<std::string>> children;
    if (childDocId.empty()) {
        return children;
    }
    // Every live link into the document at once: the Links table has no
    // index on the parent, and a scan of it per node would not end.
    for (auto& link : dbLinks::LiveLinksInto(database, childDocId)) {
        children[link.source].push_back(std::move(link.target));
    }
    return children;
}

}  // namespace

LinksTree::LinksTree(const db::Database& database, const LinksTreeDocuments& documents,
                     NodeTextOptions options) {
    ReadTransaction reading(database);
    for (auto& row : ReadLiveElements(database, documents.rootDocId)) {
        roots_.push_back(std::move(row.id));
    }
    treeChildren_ = LiveChildren(database, documents.treeDocId);
    leafChildren_ = LiveChildren(database, documents.leafDocId);
    for (const auto& [first, second] : {std::pair(documents.rootDocId, documents.treeDocId),
                                        std::pair(documents.treeDocId, documents.leafDocId)}) {
        if (!second.empty()) {
            const auto pairs = dbStamps::SuspectPairs(database, first, second);
            suspect_.insert(pairs.begin(), pairs.end());
        }
    }

    dbElements::ElementFinder finder(database);
    auto readText = [&](const std::string& id) {
        auto [text, unread] = texts_.try_emplace(id);
        if (!unread) {
            return;
        }
        if (std::optional<dbElements::NumberedElement> element = finder.Find(id)) {
            if (options.showNumbers) {
                text->second = ElementNumberOf(element->numbers) + " - ";
            }
            if (options.showLabel) {
                text->second += element->label;
            }
        }
    };
    // Only the elements the tree reaches: a link from an element that is not
    // in it names nothing to show.
    for (const auto& rootId : roots_) {
        readText(rootId);
        for (const auto& treeId : TreeChildren(rootId)) {
            readText(treeId);
            for (const auto& leafId : LeafChildren(treeId)) {
                readText(leafId);
            }
        }
    }
}

const std::vector<std::string>& LinksTree::ChildrenIn(const ChildrenByParent& children,
                                                      const std::string& parentId) {
    static const std::vector<std::string> none;
    auto found = children.find(parentId);
    return found == children.end() ? none : found->second;
}

bool LinksTree::Suspect(const std::string& parentId, const std::string& childId) const {
    return suspect_.contains({parentId, childId});
}

const std::vector<std::string>& LinksTree::TreeChildren(const std::string& rootId) const {
    return ChildrenIn(treeChildren_, rootId);
}

const std::vector<std::string>& LinksTree::LeafChildren(const std::string& treeId) const {
    return ChildrenIn(leafChildren_, treeId);
}

const std::string& LinksTree::NodeText(const std::string& elementId) const {
    static const std::string none;
    auto found = texts_.find(elementId);
    return found == texts_.end() ? none : found->second;
}

std::uint64_t LinksTree::EntryCount() const {
    std::uint64_t entries = roots_.size();
    for (const auto& rootId : roots_) {
        for (const auto& treeId : TreeChildren(rootId)) {
            entries += 1 + LeafChildren(treeId).size();
        }
    }
    return entries;
}

namespace {

std::string TooLargeText(const CoreContext& context, std::uint64_t entries, std::uint64_t limit) {
    std::string count = std::to_string(entries);
    std::string most = std::to_string(limit);
    return context.language.offset == FRENCH_OFFSET
               ? "L'arbre aurait " + count + " entrées, plus que les " + most +
                     " qu'il peut montrer : choisissez des documents moins liés."
               : "The tree would have " + count + " entries, more than the " + most +
                     " it can show: choose documents with fewer links.";
}

}  // namespace

TreeTooLarge::TreeTooLarge(const CoreContext& context, std::uint64_t entries, std::uint64_t limit)
    : std::runtime_error(TooLargeText(context, entries, limit)) {}

}  // namespace veln
