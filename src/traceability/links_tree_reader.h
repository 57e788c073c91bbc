// What the links tree and its export read from the project database: the
// root document's live elements, the elements each element links to in the
// next document, and the text of a node. Only links stored from parent to
// child are followed. The statements are prepared once per build, and the
// live links into a document are read once, in the order they were made.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "database/db_elements.h"
#include "database/read_transaction.h"
#include "host/db/database.h"

namespace veln {

struct NodeTextOptions {
    bool showNumbers = true;
    bool showLabel = true;
};

// Reads within one read transaction: the build sees one state of the
// project, and the file is locked once rather than once per statement.
class LinksTreeReader {
  public:
    LinksTreeReader(const db::Database& database, NodeTextOptions options);
    LinksTreeReader(const LinksTreeReader&) = delete;
    LinksTreeReader& operator=(const LinksTreeReader&) = delete;

    // The ids of the document's elements not marked deleted, in number order.
    std::vector<std::string> RootElements(const std::string& docId) const;
    // The targets of parentId's live links into childDocId.
    const std::vector<std::string>& Children(const std::string& parentId,
                                             const std::string& childDocId);
    // "2.1.0.0 - " when numbers are shown, then the label when labels are;
    // "" when the project has no such element. Deleted elements are found too.
    std::string NodeText(const std::string& elementId);

  private:
    using ChildrenByParent = std::unordered_map<std::string, std::vector<std::string>>;

    const db::Database& database_;
    NodeTextOptions options_;
    ReadTransaction reading_;  // begun before, and ended after, the statements below
    dbElements::ElementFinder element_;
    std::unordered_map<std::string, ChildrenByParent> linksInto_;  // by child document
};

}  // namespace veln
