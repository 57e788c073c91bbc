#include "traceability/project_documents.h"

#include <filesystem>

#include "database/linking.h"
#include "host/utf8.h"

namespace veln {

namespace {

// Paths are shortened to this many characters in the dialogs.
constexpr int CHOOSER_PATH_LENGTH = 60;
constexpr char SEPARATOR = '/';

}  // namespace

std::vector<ProjectDocument> ReadProjectDocuments(const db::Database& database) {
    db::Statement rows = database.Prepare("SELECT documents.d_id, documents.d_name FROM documents");
    std::vector<ProjectDocument> documents;
    while (rows.Step()) {
        documents.push_back({rows.TextOrEmpty("d_id"), rows.TextOrEmpty("d_name")});
    }
    return documents;
}

std::string ChooserText(const ProjectDocument& document) {
    return utilElements::ShortenPath(document.path, CHOOSER_PATH_LENGTH);
}

void FillDocumentChooser(host::ComboBox& chooser, const std::vector<ProjectDocument>& documents) {
    chooser.Clear();
    chooser.ColumnCount = 2;
    chooser.HiddenColumns = {0};
    chooser.BoundColumn = 1;
    for (const ProjectDocument& document : documents) {
        int row = chooser.ListCount();
        chooser.AddItem(document.id);
        chooser.SetList(row, 1, ChooserText(document));
    }
}

ProjectDocument ChosenDocument(const host::ComboBox& chooser,
                               const std::vector<ProjectDocument>& documents) {
    int row = chooser.ListIndex();
    if (row < 0 || static_cast<std::size_t>(row) >= documents.size()) {
        return {};
    }
    return documents[static_cast<std::size_t>(row)];
}

const ProjectDocument* FindProjectDocument(const std::vector<ProjectDocument>& documents,
                                           const std::string& name) {
    for (const ProjectDocument& document : documents) {
        if (document.id == name) {
            return &document;
        }
    }
    std::error_code error;
    std::string absolute = std::filesystem::absolute(name, error).lexically_normal().string();
    for (const ProjectDocument& document : documents) {
        if (document.path == name || (!error && document.path == absolute)) {
            return &document;
        }
    }
    return nullptr;
}

std::string FileNamePart(const std::string& chooserText, std::size_t length) {
    std::size_t slash = chooserText.rfind(SEPARATOR);
    std::string part = slash == std::string::npos ? chooserText : chooserText.substr(slash + 1);
    return host::LastCharacters(part, length);
}

}  // namespace veln
