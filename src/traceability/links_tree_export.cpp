#include "traceability/links_tree_export.h"

#include <stdexcept>

#include "database/schema.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "traceability/document_chooser.h"
#include "traceability/file_address.h"
#include "traceability/links_tree_reader.h"

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
    Writer(host::Document& document, LinksTreeReader& reader, bool hyperlink)
        : document_(document), reader_(reader), hyperlink_(hyperlink) {}

    void Text(const std::string& text) { document_.Content().InsertAfter(text); }
    void ParagraphEnd() { document_.Content().InsertParagraphAfter(); }

    // The element's node text, whole: a hyperlink to its bookmark, or plain.
    void Entry(const std::string& elementId, const Level& level) {
        std::string text = reader_.NodeText(elementId);
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

  private:
    host::Document& document_;
    LinksTreeReader& reader_;
    bool hyperlink_;
};

}  // namespace

host::Document& ExportLinksTree(DocumentContext& context, const std::string& dbPath,
                                const LinksTreeDocuments& documents,
                                const LinksTreeExportOptions& options) {
    if (documents.rootDocId.empty() || documents.treeDocId.empty()) {
        throw std::invalid_argument("the links tree needs a root and a tree document");
    }
    db::Database database = schema::OpenProjectDatabase(dbPath, db::OpenMode::ReadOnly);
    std::vector<ProjectDocument> projectDocuments = ReadProjectDocuments(database);
    const Level root = LevelOf(projectDocuments, documents.rootDocId);
    const Level tree = LevelOf(projectDocuments, documents.treeDocId);
    const Level leaf = LevelOf(projectDocuments, documents.leafDocId);
    const bool withLeaf = !documents.leafDocId.empty();

    LinksTreeReader reader(database, {options.showNumbers, options.showLabel});
    std::vector<std::string> rootElements = reader.RootElements(root.docId);

    host::Document* previous = context.app.ActiveDocument();
    host::Document& document = context.app.AddDocument();
    context.app.Activate(document);
    Writer out(document, reader, options.hyperlink);

    out.Text(context.LoadText(StringId::LEVEL_1) + " : " + root.shownName);
    out.ParagraphEnd();
    out.Text(context.LoadText(StringId::LEVEL_2) + " : " + tree.shownName);
    out.ParagraphEnd();
    if (withLeaf) {
        out.Text(context.LoadText(StringId::LEVEL_3) + " : " + leaf.shownName);
    }
    out.ParagraphEnd();

    // Three tab columns: the levels stand one column apart.
    for (const auto& rootId : rootElements) {
        out.Entry(rootId, root);
        out.Text("\t\t");
        out.ParagraphEnd();
        for (const auto& childId : reader.Children(rootId, tree.docId)) {
            out.Text("\t");
            out.Entry(childId, tree);
            out.Text("\t");
            out.ParagraphEnd();
            if (withLeaf) {
                for (const auto& leafId : reader.Children(childId, leaf.docId)) {
                    out.Text("\t\t");
                    out.Entry(leafId, leaf);
                    out.ParagraphEnd();
                }
            }
        }
    }
    out.ParagraphEnd();
    if (previous != nullptr) {
        context.app.Activate(*previous);
    }
    return document;
}

}  // namespace veln
