#include "traceability/links_tree_reader.h"

#include "database/db_links.h"
#include "traceability/element_rows.h"

namespace veln {

LinksTreeReader::LinksTreeReader(const db::Database& database, NodeTextOptions options)
    : database_(database), options_(options), reading_(database), element_(database) {}

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
        for (auto& link : dbLinks::LiveLinksInto(database_, childDocId)) {
            into->second[link.source].push_back(std::move(link.target));
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
    std::string text;
    if (std::optional<dbElements::NumberedElement> element = element_.Find(elementId)) {
        if (options_.showNumbers) {
            text = ElementNumberOf(element->numbers) + " - ";
        }
        if (options_.showLabel) {
            text += element->label;
        }
    }
    return text;
}

}  // namespace veln
