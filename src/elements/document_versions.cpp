#include "elements/document_versions.h"

#include <filesystem>

#include "database/doc_variables.h"
#include "database/linking.h"
#include "elements/elements.h"
#include "host/ui/ui.h"

namespace veln::Elements {

using namespace host::MsgBoxStyle;

void CompareDocuments(Context& context) {
    std::string prompt = context.LoadText(StringId::COMPARE_ACTIVE_VERSION) + "\r" +
                         context.LoadText(StringId::COMPARE_INSTRUCTIONS);
    if (context.ui.MsgBox(prompt, vbOKCancel + vbInformation,
                          context.LoadText(StringId::NEW_VERSION_TITLE)) !=
        host::MsgBoxResult::vbOK) {
        return;
    }
    // The other version usually lies beside this one.
    host::Document* document = context.app.ActiveDocument();
    std::string folder = document != nullptr
                             ? std::filesystem::path(document->FullName()).parent_path().string()
                             : std::string();
    if (folder.empty()) {
        const char* home = std::getenv("HOME");  // NOLINT(concurrency-mt-unsafe)
        folder = home != nullptr ? home : "/";
    }
    std::string path =
        utilElements::ShowOpen(context, COMPARE_FILTER, "docx", folder, host::OFN_FILEMUSTEXIST);
    if (path.empty() || document == nullptr) {
        return;
    }
    UnHighlightAll(context);
    HideAllNumbers(context);
    document->Compare(path);
}

void UnlinkDocument(Context& context) {
    std::string prompt = context.LoadText(StringId::CONFIRM_UNLINK_ALL) + "\n" +
                         context.LoadText(StringId::IRREVERSIBLE_CONTINUE);
    if (context.ui.MsgBox(prompt, vbOKCancel + vbExclamation + vbDefaultButton2,
                          context.LoadText(StringId::UNLINK)) != host::MsgBoxResult::vbOK) {
        return;
    }
    RemoveDocumentElements(context, true);
    utilElements::DeleteDocVariables(context, {VARDOC_DB_NAME, VARDOC_DB_RELATIVE, VARDOC_DOC_ID});
}

}  // namespace veln::Elements
