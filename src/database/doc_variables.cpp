#include "database/doc_variables.h"

#include <filesystem>

#include "host/word/variables.h"

namespace veln::utilElements {

namespace {

host::Document& Active(DocumentContext& context) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        throw host::HostError(host::WordError::COMMAND_FAILED, "no document is open");
    }
    return *document;
}

}  // namespace

std::string GetDocVariable(DocumentContext& context, const std::string& name) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        return {};
    }
    // Names compare exactly: the walk finds the variable of that very name.
    host::Variables variables = document->Variables();
    for (int i = 1; i <= variables.Count(); ++i) {
        host::Variable variable = variables.Item(i);
        if (variable.Name() == name) {
            return variable.Value();
        }
    }
    return {};
}

void SetDocVariable(DocumentContext& context, const std::string& name, const std::string& value) {
    Active(context).Variables().Add(name, value);
}

void DeleteDocVariable(DocumentContext& context, const std::string& name) {
    host::Document& document = Active(context);
    if (!document.Variables().Exists(name)) {
        return;
    }
    document.Variables().Item(name).Delete();
    document.Save();
}

void DeleteDocVariables(DocumentContext& context, std::initializer_list<const char*> names) {
    host::Document& document = Active(context);
    bool deleted = false;
    for (const char* name : names) {
        if (document.Variables().Exists(name)) {
            document.Variables().Item(name).Delete();
            deleted = true;
        }
    }
    if (deleted) {
        document.Save();
    }
}

std::string GetDbName(DocumentContext& context) {
    return GetDocVariable(context, VARDOC_DB_NAME);
}

namespace {

// The database's path from the document's folder, "" when the document has
// no folder yet or either path is not absolute.
std::string RelativeDbPath(const host::Document& document, const std::string& dbPath) {
    std::filesystem::path folder = std::filesystem::path(document.FullName()).parent_path();
    std::filesystem::path database(dbPath);
    if (folder.empty() || !folder.is_absolute() || !database.is_absolute()) {
        return {};
    }
    return database.lexically_normal().lexically_relative(folder.lexically_normal()).string();
}

}  // namespace

void SetDbName(DocumentContext& context, const std::string& dbPath) {
    host::Document& document = Active(context);
    SetDocVariable(context, VARDOC_DB_NAME, dbPath);
    if (std::string relative = RelativeDbPath(document, dbPath); !relative.empty()) {
        SetDocVariable(context, VARDOC_DB_RELATIVE, relative);
    } else if (document.Variables().Exists(VARDOC_DB_RELATIVE)) {
        // A server's database lies nowhere beside the document: the path of
        // the file it was linked to before would name another database.
        document.Variables().Item(VARDOC_DB_RELATIVE).Delete();
    }
}

void RefreshDbRelative(DocumentContext& context) {
    host::Document* document = context.app.ActiveDocument();
    std::string dbPath = GetDbName(context);
    if (document == nullptr || dbPath.empty()) {
        return;
    }
    std::string relative = RelativeDbPath(*document, dbPath);
    if (!relative.empty() && GetDocVariable(context, VARDOC_DB_RELATIVE) != relative) {
        SetDocVariable(context, VARDOC_DB_RELATIVE, relative);
    }
}

std::string GetDocId(DocumentContext& context) {
    return GetDocVariable(context, VARDOC_DOC_ID);
}

}  // namespace veln::utilElements
