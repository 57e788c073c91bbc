// Tracked changes in the main story: deletions wrap runs, insertions are new
// runs inside w:ins, and a paragraph mark carries its own mark of change.
// Word and LibreOffice show them and let the user accept or reject each.
#include <array>
#include <cstring>

#include "host/docx/story.h"

namespace veln::host::docx {

namespace {

// Paragraph properties that follow w:rPr in the order the schema fixes.
constexpr std::array<const char*, 2> AFTER_MARK_PROPERTIES{"sectPr", "pPrChange"};

void Stamp(pugi::xml_node change, RevisionStamp& stamp, const Wml& n) {
    change.append_attribute(n.id.c_str()).set_value(std::to_string(stamp.nextId++).c_str());
    change.append_attribute(n.W("author").c_str()).set_value(stamp.author.c_str());
    change.append_attribute(n.W("date").c_str()).set_value(stamp.date.c_str());
}

// Deleted text is written as w:delText (and field codes as w:delInstrText).
void AsDeletedText(pugi::xml_node run, const Wml& n) {
    const std::string instrText = n.W("instrText");
    for (pugi::xml_node child : run.children()) {
        if (Is(child, n.t)) {
            child.set_name(n.W("delText").c_str());
        } else if (Is(child, instrText)) {
            child.set_name(n.W("delInstrText").c_str());
        }
    }
}

}  // namespace

void Story::MarkDeleted(Paragraph& paragraph, long start, long end, RevisionStamp& stamp) {
    std::vector<pugi::xml_node> runs = RunsCovering(paragraph, start, end);
    pugi::xml_node deletion;
    for (pugi::xml_node run : runs) {
        // Runs side by side share one deletion; a bookmark marker between
        // them stays outside, where it was.
        if (!deletion || deletion.next_sibling() != run) {
            deletion = run.parent().insert_child_before(n_.del.c_str(), run);
            Stamp(deletion, stamp, n_);
        }
        deletion.append_move(run);
        AsDeletedText(run, n_);
    }
    if (!runs.empty()) {
        Rescan(paragraph);
    }
}

pugi::xml_node Story::InsertionAt(Paragraph& paragraph, long offset, RevisionStamp& stamp) {
    pugi::xml_node insertion;
    if (offset < paragraph.length) {
        pugi::xml_node run = SplitAt(paragraph, offset);
        insertion = run.parent().insert_child_before(n_.ins.c_str(), run);
    } else {
        // At the end: after the last run with text, so that the bookmarks
        // that end with the paragraph's text take the new text in.
        pugi::xml_node last;
        for (const Piece& piece : paragraph.pieces) {
            if (piece.length > 0) {
                last = piece.node.parent();
            }
        }
        insertion = last ? last.parent().insert_child_after(n_.ins.c_str(), last)
                         : paragraph.node.append_child(n_.ins.c_str());
    }
    Stamp(insertion, stamp, n_);
    return insertion;
}

void Story::MarkParagraph(pugi::xml_node paragraph, bool inserted, RevisionStamp& stamp) const {
    pugi::xml_node properties = paragraph.child(n_.pPr.c_str());
    if (!properties) {
        properties = paragraph.prepend_child(n_.pPr.c_str());
    }
    pugi::xml_node markProperties = properties.child(n_.rPr.c_str());
    if (!markProperties) {
        pugi::xml_node before;
        for (pugi::xml_node child : properties.children()) {
            for (const char* local : AFTER_MARK_PROPERTIES) {
                if (!before && LocalName(child) == local) {
                    before = child;
                }
            }
        }
        markProperties = before ? properties.insert_child_before(n_.rPr.c_str(), before)
                                : properties.append_child(n_.rPr.c_str());
    }
    // The marks of change come first among the mark's properties.
    pugi::xml_node change =
        markProperties.prepend_child(inserted ? n_.ins.c_str() : n_.del.c_str());
    Stamp(change, stamp, n_);
}

}  // namespace veln::host::docx
