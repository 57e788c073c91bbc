#include "traceability/project_documents.h"

#include <filesystem>

#include "host/utf8.h"

namespace veln {

namespace {

constexpr char SEPARATOR = '/';

}  // namespace

ProjectDocument ChosenDocument(const host::ComboBox& chooser,
                               const std::vector<ProjectDocument>& documents) {
    int row = chooser.ListIndex();
    if (row < 0 || static_cast<std::size_t>(row) >= documents.size()) {
        return {};
    }
    return documents[static_cast<std::size_t>(row)];
}

std::vector<const ProjectDocument*> ProjectDocumentsNamed(
    const std::vector<ProjectDocument>& documents, const std::string& name) {
    for (const ProjectDocument& document : documents) {
        if (document.id == name) {
            return {&document};
        }
    }
    std::error_code error;
    std::string absolute = std::filesystem::absolute(name, error).lexically_normal().string();
    std::vector<const ProjectDocument*> named;
    for (const ProjectDocument& document : documents) {
        if (document.path == name || (!error && document.path == absolute)) {
            named.push_back(&document);
        }
    }
    return named;
}

std::string FileNamePart(const std::string& chooserText, std::size_t length) {
    std::size_t slash = chooserText.rfind(SEPARATOR);
    std::string part = slash == std::string::npos ? chooserText : chooserText.substr(slash + 1);
    return host::LastCharacters(part, length);
}

}  // namespace veln
