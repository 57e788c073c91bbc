#include "database/linking.h"

#include <filesystem>

#include "database/db_documents.h"
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/schema.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln {

namespace {

constexpr std::size_t DESCRIPTION_LENGTH = 255;
constexpr char SEPARATOR = '/';

}  // namespace

std::string dbElements::dbChooseDatabase(CoreContext& context) {
    // The user's home folder stands where the system starts at the drive's root.
    const char* home = std::getenv("HOME");  // NOLINT(concurrency-mt-unsafe)
    return utilElements::ShowOpen(context, "Database files (*.mdb)|*.mdb|All files (*.*)|*.*",
                                  "txt", home != nullptr ? home : "/",
                                  host::OFN_FILEMUSTEXIST | host::OFN_PROJECT_DATABASE);
}

namespace utilElements {

std::string ShowOpen(CoreContext& context, const std::string& filter,
                     const std::string& defaultExtension, const std::string& initialFolder,
                     int flags) {
    std::string chosen = context.ui.ShowOpen(filter, defaultExtension, initialFolder, flags);
    // A server's database is named, not picked among files.
    if (chosen.empty() || db::Database::IsServerName(chosen)) {
        return chosen;
    }
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::path(chosen).has_extension() && !defaultExtension.empty() &&
        !fs::exists(chosen, error) && fs::exists(chosen + "." + defaultExtension, error)) {
        chosen += "." + defaultExtension;
    }
    if ((flags & host::OFN_FILEMUSTEXIST) != 0 && !fs::is_regular_file(chosen, error)) {
        return {};
    }
    return chosen;
}

bool IsProjectDatabaseOrSay(CoreContext& context, const std::string& path) {
    try {
        schema::OpenProjectDatabase(path, db::OpenMode::Snapshot);
        return true;
    } catch (const db::DbError& error) {
        context.ui.MsgBox(error.Description(), host::MsgBoxStyle::vbExclamation);
        return false;
    }
}

bool RegisterDocument(DocumentContext& context) {
    std::string path = dbElements::dbChooseDatabase(context);
    if (path.empty() || !IsProjectDatabaseOrSay(context, path)) {
        return false;
    }
    std::string description = host::FirstCharacters(
        context.ui.InputBox(context.LoadText(StringId::DOCUMENT_DESCRIPTION_PROMPT),
                            context.LoadText(StringId::DOCUMENT_DESCRIPTION_TITLE), ""),
        DESCRIPTION_LENGTH);
    // The row first: when it cannot be made, the document keeps the link it had.
    std::string id = dbElements::dbInsertDocument(context, path, description);
    if (id.empty()) {
        return false;
    }
    SetDbName(context, path);
    SetDocVariable(context, VARDOC_DOC_ID, id);
    SetDocVariable(context, VARDOC_HIGHLIGHT, "1");
    SetDocVariable(context, VARDOC_NUMBERS, "1");
    context.elementColour = 5;
    SetDocVariable(context, HIGHLIGHT_COLOR, " 5");
    return true;
}

void EditDocumentDescription(DocumentContext& context) {
    db::Database database = schema::OpenProjectDatabase(GetDbName(context));
    const std::string docId = GetDocId(context);
    std::optional<dbDocuments::DocumentRow> row = dbDocuments::Find(database, docId);
    const bool found = row.has_value();
    const std::string current = found ? row->description.value_or("") : std::string();
    std::string answer = host::FirstCharacters(
        context.ui.InputBox(context.LoadText(StringId::DOCUMENT_DESCRIPTION_PROMPT),
                            context.LoadText(StringId::DOCUMENT_DESCRIPTION_TITLE), current),
        DESCRIPTION_LENGTH);
    // A cleared box or Cancel changes nothing, and without a row there is
    // nothing to write.
    if (answer.empty() || !found) {
        return;
    }
    dbElements::RetryWhileLocked(context,
                                 [&] { dbDocuments::SetDescription(database, docId, answer); });
}

std::string ShortenPath(const std::string& path, int maxLength) {
    auto limit = static_cast<std::size_t>(std::max(maxLength, 0));
    std::size_t length = static_cast<std::size_t>(host::CountCharacters(path));
    if (limit >= length) {
        return path;
    }
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at = path.find(SEPARATOR); at != std::string::npos;
         at = path.find(SEPARATOR, from)) {
        parts.push_back(path.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(path.substr(from));
    const std::size_t last = parts.size() - 1;
    std::size_t total = length + 4;
    for (std::size_t i = last - 1; last >= 2 && i >= 1; --i) {
        total -= static_cast<std::size_t>(host::CountCharacters(parts[i])) + 1;
        if (total <= limit) {
            std::string shortened;
            for (std::size_t k = 0; k < i; ++k) {
                shortened += parts[k] + SEPARATOR;
            }
            return shortened + "..." + SEPARATOR + parts[last];
        }
    }
    return parts[0] + SEPARATOR + "..." + SEPARATOR + parts[last];
}

}  // namespace utilElements
}  // namespace veln
