// The operations on versions of documents: replacing a registered document
// by its new version, comparing two versions, unlinking a document.
#include <memory>

#include "addin/operations.h"
#include "database/document_replacement.h"
#include "database/frm_list_docs.h"
#include "elements/document_versions.h"

namespace veln::addin {

std::vector<Operation> VersionOperations() {
    return {
        // The window waits, as the replace command shows it.
        Entry("frmListDocs", "",
              [](Context& c) {
                  c.replaced = false;
                  c.ui.Show(std::make_shared<frmListDocs>(c), true);
                  return c.replaced;
              }),
        Entry("ReplaceDocument", "", [](Context& c) { return utilElements::ReplaceDocument(c); }),
        Entry("CompareDocuments", "", [](Context& c) { Elements::CompareDocuments(c); }),
        Entry("UnlinkDocument", "", [](Context& c) { Elements::UnlinkDocument(c); }),
    };
}

}  // namespace veln::addin
