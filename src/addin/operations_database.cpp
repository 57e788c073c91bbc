// The operations of projects and documents: project databases, document
// rows, document variables and linking.
#include <memory>

#include "addin/operations.h"
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/linking.h"
#include "database/random_id.h"
#include "settings/frm_language.h"

namespace veln::addin {

std::vector<Operation> DatabaseOperations() {
    using Args = const Arguments&;
    return {
        Entry("dbCreateProjectDatabase", "",
              [](Context& c) { dbElements::dbCreateProjectDatabase(c); }),
        Entry("RandomId", "LENGTH",
              [](Context&, Args a) {
                  return dbElements::RandomId(static_cast<std::int16_t>(a.Number(0, 0, 32767)));
              }),
        Entry("dbInsertDocument", "DBPATH DESCRIPTION",
              [](Context& c, Args a) { return dbElements::dbInsertDocument(c, a[0], a[1]); }),
        Entry("dbGetDocumentName", "DBPATH",
              [](Context& c, Args a) { return dbElements::dbGetDocumentName(c, a[0]); }),
        Entry("dbUpdateDocumentName", "DBPATH",
              [](Context& c, Args a) { return dbElements::dbUpdateDocumentName(c, a[0]); }),
        Entry(
            "dbReplaceDocument", "DBPATH DOCID DESCRIPTION",
            [](Context& c, Args a) { return dbElements::dbReplaceDocument(c, a[0], a[1], a[2]); }),
        Entry("dbMarkDeleteElement", "DBPATH ELEMENTID",
              [](Context& c, Args a) { dbElements::dbMarkDeleteElement(c, a[0], a[1]); }),
        Entry("dbElementExists", "DBPATH ELEMENTID",
              [](Context&, Args a) { return dbElements::dbElementExists(a[0], a[1]); }),
        Entry("dbChooseDatabase", "", [](Context& c) { return dbElements::dbChooseDatabase(c); }),
        Entry("GetDocVariable", "NAME",
              [](Context& c, Args a) { return utilElements::GetDocVariable(c, a[0]); }),
        Entry("SetDocVariable", "NAME VALUE",
              [](Context& c, Args a) { utilElements::SetDocVariable(c, a[0], a[1]); }),
        Entry("DeleteDocVariable", "NAME",
              [](Context& c, Args a) { utilElements::DeleteDocVariable(c, a[0]); }),
        Entry("GetDbName", "", [](Context& c) { return utilElements::GetDbName(c); }),
        Entry("GetDocId", "", [](Context& c) { return utilElements::GetDocId(c); }),
        Entry("RegisterDocument", "", [](Context& c) { return utilElements::RegisterDocument(c); }),
        Entry("EditDocumentDescription", "",
              [](Context& c) { utilElements::EditDocumentDescription(c); }),
        Entry("ShortenPath", "PATH MAXLENGTH",
              [](Context&, Args a) {
                  return utilElements::ShortenPath(a[0], static_cast<int>(a.Number(1, 0, 32767)));
              }),
        // The language dialog opens without waiting, as from the about box.
        Entry("frmLanguage", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmLanguage>(c), false); }),
    };
}

}  // namespace veln::addin
