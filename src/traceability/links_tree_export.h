// The links tree written as a new document of the word processor: a header
// naming the documents of each level, then one paragraph per element in
// three tab columns, each entry a hyperlink to its element's bookmark in its
// document, or plain text. Built from the project database alone, so the
// tree dialog and a batch command share it.
#pragma once

#include <string>

#include "database/document_context.h"
#include "host/word/document.h"

namespace veln {

struct LinksTreeDocuments {
    std::string rootDocId;  // level 1
    std::string treeDocId;  // level 2
    std::string leafDocId;  // level 3; "" for none
};

struct LinksTreeExportOptions {
    bool showNumbers = true;
    bool showLabel = true;
    bool hyperlink = true;
};

// Writes the tree of the project at dbPath to a new document, which stays
// open and unsaved; the document active before is active again. The root
// and tree documents must be given (std::invalid_argument otherwise); they
// may be the same. Database and document errors are raised as they come,
// the new document left as far as it was written.
host::Document& ExportLinksTree(DocumentContext& context, const std::string& dbPath,
                                const LinksTreeDocuments& documents,
                                const LinksTreeExportOptions& options);

}  // namespace veln
