#include "traceability/document_chooser.h"

#include "database/db_documents.h"
#include "database/linking.h"

namespace veln {

std::vector<ProjectDocument> ReadProjectDocuments(const db::Database& database) {
    std::vector<ProjectDocument> documents;
    for (auto& row : dbDocuments::InInsertionOrder(database)) {
        documents.push_back({std::move(row.id), std::move(row.name)});
    }
    return documents;
}

std::string ChooserText(const std::string& path) {
    return utilElements::ShortenPath(path, CHOOSER_PATH_LENGTH);
}

void FillDocumentChooser(host::ComboBox& chooser, const std::vector<ProjectDocument>& documents) {
    chooser.Clear();
    chooser.ColumnCount = 2;
    chooser.HiddenColumns = {0};
    for (const auto& document : documents) {
        int row = chooser.ListCount();
        chooser.AddItem(document.id);
        chooser.SetList(row, 1, ChooserText(document.path));
    }
}

void ChooseDocumentAt(host::ComboBox& chooser, const std::vector<ProjectDocument>& documents,
                      const std::string& path) {
    for (std::size_t i = 0; i < documents.size(); ++i) {
        if (!path.empty() && documents[i].path == path) {
            chooser.SetListIndex(static_cast<int>(i));
        }
    }
}

std::string ChosenDocumentId(const host::ComboBox& chooser) {
    return chooser.ListIndex() < 0 ? std::string() : chooser.List(chooser.ListIndex(), 0);
}

}  // namespace veln
