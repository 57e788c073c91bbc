// The links tree written as a new document of the word processor: a header
// naming the documents of each level, then one paragraph per element in
// three tab columns, each entry a hyperlink to its element's bookmark in its
// document, or plain text. Built from the project database alone, so the
// tree dialog and a batch command share it.
#pragma once

#include <string>

#include "database/document_context.h"
#include "host/word/document.h"
#include "traceability/links_tree.h"

namespace veln {

struct LinksTreeExportOptions {
    bool showNumbers = true;
    bool showLabel = true;
    bool hyperlink = true;
    std::uint64_t mostEntries = MOST_TREE_ENTRIES;
};

// Writes the tree of the project at dbPath to a new document, which stays
// open and unsaved; the document active before is active again. The root
// and tree documents must be given (std::invalid_argument otherwise); they
// may be the same. A tree of more than options.mostEntries entries is
// refused with TreeTooLarge, and database errors are raised, before any
// document is made; a document error while writing closes the new document
// unsaved and is raised.
host::Document& ExportLinksTree(DocumentContext& context, const std::string& dbPath,
                                const LinksTreeDocuments& documents,
                                const LinksTreeExportOptions& options);

}  // namespace veln
