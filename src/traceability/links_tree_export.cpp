#include "traceability/links_tree_export.h"

#include <optional>
#include <stdexcept>

#include "database/schema.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "traceability/document_chooser.h"
#include "traceability/file_address.h"

namespace veln {

namespace {

// One level of the tree: its document's id, its name as the header shows it,
// and the address of its file for the hyperlinks.
struct Level {
    std::string docId;
    std::string shownName;
    std::string address;
};

Level LevelOf(const std::vector<ProjectDocument>& documents, const std::string& docId) {
    for (const auto& document : documents) {
        if (document.id == docId) {
            return {docId, ChooserText(document.path), FileAddress(document.path)};
        }
    }
    return {docId, "", FileAddress("")};
}

class Writer {
  public:
    Writer(host::Document& document, const LinksTree& tree, bool hyperlink)
        : document_(document), tree_(tree), hyperlink_(hyperlink) {}

    void Text(const std::string& text) { document_.Content().InsertAfter(text); }
    void ParagraphEnd() { document_.Content().InsertParagraphAfter(); }

    // The element's node text, whole: a hyperlink to its bookmark, or plain.
    void Entry(const std::string& elementId, const Level& level) {
        const std::string& text = tree_.NodeText(elementId);
        if (!hyperlink_) {
            Text(text);
            return;
        }
        // The end of the document is the anchor: nothing stands after its
        // last paragraph mark, so the link goes just before it.
        long end = document_.Content().End() - 1;
        host::Selection selection = document_.Selection();
        selection.SetRange(end, end);
        document_.Hyperlinks().Add(selection.Range(), level.address, elementId, text);
    }

    void Header(DocumentContext& context, const Level& root, const Level& tree, const Level* leaf) {
        Text(context.LoadText(StringId::LEVEL_1) + " : " + root.shownName);
        ParagraphEnd();
        Text(context.LoadText(StringId::LEVEL_2) + " : " + tree.shownName);
        ParagraphEnd();
        if (leaf != nullptr) {
            Text(context.LoadText(StringId::LEVEL_3) + " : " + leaf->shownName);
        }
        ParagraphEnd();
    }

    // Three tab columns: the levels stand one column apart.
    void Entries(const Level& root, const Level& tree, const Level& leaf) {
        for (const auto& rootId : tree_.RootElements()) {
            Entry(rootId, root);
            Text("\t\t");
            ParagraphEnd();
            for (const auto& childId : tree_.TreeChildren(rootId)) {
                Text("\t");
                Mark(rootId, childId);
                Entry(childId, tree);
                Text("\t");
                ParagraphEnd();
                for (const auto& leafId : tree_.LeafChildren(childId)) {
                    Text("\t\t");
                    Mark(childId, leafId);
                    Entry(leafId, leaf);
                    ParagraphEnd();
                }
            }
        }
        ParagraphEnd();
    }

  private:
    // Before an entry reached through a suspect link: its mark, plain text.
    void Mark(const std::string& parentId, const std::string& childId) {
        if (tree_.Suspect(parentId, childId)) {
            Text(SUSPECT_NODE_MARK);
        }
    }

    host::Document& document_;
    const LinksTree& tree_;
    bool hyperlink_;
};

}  // namespace

host::Document& ExportLinksTree(DocumentContext& context, const std::string& dbPath,
                                const LinksTreeDocuments& documents,
                                const LinksTreeExportOptions& options) {
    if (documents.rootDocId.empty() || documents.treeDocId.empty()) {
        throw std::invalid_argument("the links tree needs a root and a tree document");
    }
    std::optional<LinksTree> tree;
    std::vector<ProjectDocument> projectDocuments;
    {
        // Read, then let the file go before the long part, the writing.
        db::Database database = schema::OpenProjectDatabase(dbPath, db::OpenMode::ReadOnly);
        projectDocuments = ReadProjectDocuments(database);
        tree.emplace(database, documents, NodeTextOptions{options.showNumbers, options.showLabel});
    }
    if (std::uint64_t entries = tree->EntryCount(); entries > options.mostEntries) {
        throw TreeTooLarge(context, entries, options.mostEntries);
    }
    const Level root = LevelOf(projectDocuments, documents.rootDocId);
    const Level treeLevel = LevelOf(projectDocuments, documents.treeDocId);
    const Level leaf = LevelOf(projectDocuments, documents.leafDocId);

    host::Document* previous = context.app.ActiveDocument();
    host::Document& document = context.app.AddDocument();
    context.app.Activate(document);
    try {
        Writer out(document, *tree, options.hyperlink);
        out.Header(context, root, treeLevel, documents.leafDocId.empty() ? nullptr : &leaf);
        out.Entries(root, treeLevel, leaf);
    } catch (...) {
        // No half-written tree is left behind.
        document.SetSaved(true);
        context.app.CloseDocument(document);
        if (previous != nullptr) {
            context.app.Activate(*previous);
        }
        throw;
    }
    if (previous != nullptr) {
        context.app.Activate(*previous);
    }
    return document;
}

}  // namespace veln
