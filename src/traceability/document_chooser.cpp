#include "traceability/document_chooser.h"

#include "database/linking.h"

namespace veln {

std::vector<ProjectDocument> ReadProjectDocuments(const db::Database& database) {
    db::Statement rows = database.Prepare(
        "SELECT Documents.D_ID, Documents.D_Name FROM Documents ORDER BY Documents.rowid");
    std::vector<ProjectDocument> documents;
    while (rows.Step()) {
        documents.push_back({rows.TextOrEmpty("D_ID"), rows.TextOrEmpty("D_Name")});
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

std::string ChosenDocumentId(const host::ComboBox& chooser) {
    return chooser.ListIndex() < 0 ? std::string() : chooser.List(chooser.ListIndex(), 0);
}

}  // namespace veln
