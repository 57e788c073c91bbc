#include "database/document_replacement.h"

#include <memory>

#include "database/frm_list_docs.h"
#include "host/ui/ui.h"

namespace veln::utilElements {

namespace {

// The title of the question, the same in both languages.
constexpr const char* PROJECT_DATABASE_TITLE = "Base projet";

}  // namespace

bool ReplaceDocument(DocumentContext& context) {
    std::string prompt = context.LoadText(StringId::SELECT_DATABASE_FOR_REPLACE) + "\n" +
                         context.LoadText(StringId::NEW_DOCUMENT_MUST_BE_COPY);
    if (context.ui.MsgBox(prompt, host::MsgBoxStyle::vbOKCancel, PROJECT_DATABASE_TITLE) !=
        host::MsgBoxResult::vbOK) {
        return false;
    }
    context.replaced = false;
    context.ui.Show(std::make_shared<frmListDocs>(context), true);
    return context.replaced;
}

}  // namespace veln::utilElements
