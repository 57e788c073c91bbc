#include "traceability/links_tree_reader.h"

#include "traceability/element_rows.h"

namespace veln {

LinksTreeReader::LinksTreeReader(const db::Database& database, NodeTextOptions options)
    : database_(database),
      options_(options),
      element_(database.Prepare(
          "SELECT Elements.E_id, Elements.E_Number1, Elements.E_Number2, Elements.E_Number3, "
          "Elements.E_Number4, Elements.E_Label FROM Elements WHERE Elements.E_Id = ?1")) {
    database_.Execute("BEGIN DEFERRED");
}

LinksTreeReader::~LinksTreeReader() {
    element_.Reset();
    try {
        // Nothing was written: ending the transaction only lets the file go.
        database_.Execute("COMMIT");
    } catch (const db::DbError&) {
        // Closing the connection ends it all the same.
    }
}

std::vector<std::string> LinksTreeReader::RootElements(const std::string& docId) const {
    std::vector<std::string> ids;
    for (auto& row : ReadLiveElements(database_, docId)) {
        ids.push_back(std::move(row.id));
    }
    return ids;
}

const std::vector<std::string>& LinksTreeReader::Children(const std::string& parentId,
                                                          const std::string& childDocId) {
    auto [into, unread] = linksInto_.try_emplace(childDocId);
    if (unread) {
        // Every live link into the document at once: the Links table has no
        // index on the parent, and a scan of it per node would not end.
        db::Statement links = database_.Prepare(
            "SELECT Links.L_Id1, Links.L_Id2 FROM Links "
            "WHERE Links.L_DocId2 = ?1 AND Links.L_Deleted = 0 ORDER BY Links.L_Autonum");
        links.Bind(1, childDocId);
        while (links.Step()) {
            into->second[links.TextOrEmpty("L_Id1")].push_back(links.TextOrEmpty("L_Id2"));
        }
    }
    static const std::vector<std::string> none;
    auto found = into->second.find(parentId);
    return found == into->second.end() ? none : found->second;
}

std::string LinksTreeReader::NodeText(const std::string& elementId) {
    if (elementId.empty()) {
        return {};
    }
    element_.Reset();
    element_.Bind(1, elementId);
    std::string text;
    if (element_.Step()) {
        if (options_.showNumbers) {
            text = ElementNumberOf(element_) + " - ";
        }
        if (options_.showLabel) {
            text += element_.TextOrEmpty("E_Label");
        }
    }
    element_.Reset();
    return text;
}

}  // namespace veln
