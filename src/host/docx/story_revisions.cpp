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

namespace {

// The run properties of a paragraph's mark, made when missing.
pugi::xml_node MarkProperties(pugi::xml_node paragraph, const Wml& n) {
    pugi::xml_node properties = paragraph.child(n.pPr.c_str());
    if (!properties) {
        properties = paragraph.prepend_child(n.pPr.c_str());
    }
    pugi::xml_node markProperties = properties.child(n.rPr.c_str());
    if (!markProperties) {
        pugi::xml_node before;
        for (pugi::xml_node child : properties.children()) {
            for (const char* local : AFTER_MARK_PROPERTIES) {
                if (!before && LocalName(child) == local) {
                    before = child;
                }
            }
        }
        markProperties = before ? properties.insert_child_before(n.rPr.c_str(), before)
                                : properties.append_child(n.rPr.c_str());
    }
    return markProperties;
}

}  // namespace

void Story::MarkParagraph(pugi::xml_node paragraph, bool inserted, RevisionStamp& stamp) const {
    // The marks of change come first among the mark's properties.
    pugi::xml_node change =
        MarkProperties(paragraph, n_).prepend_child(inserted ? n_.ins.c_str() : n_.del.c_str());
    Stamp(change, stamp, n_);
}

MarkChange Story::MarkChangeOf(pugi::xml_node paragraph) const {
    pugi::xml_node mark = paragraph.child(n_.pPr.c_str()).child(n_.rPr.c_str());
    if (mark.child(n_.del.c_str())) {
        return MarkChange::Deleted;
    }
    return mark.child(n_.ins.c_str()) ? MarkChange::Inserted : MarkChange::None;
}

void Story::SetMarkChange(pugi::xml_node paragraph, MarkChange change, RevisionStamp& stamp) const {
    if (MarkChangeOf(paragraph) == change) {
        return;
    }
    pugi::xml_node mark = MarkProperties(paragraph, n_);
    while (mark.remove_child(n_.ins.c_str()) || mark.remove_child(n_.del.c_str())) {
    }
    if (change != MarkChange::None) {
        Stamp(mark.prepend_child(change == MarkChange::Inserted ? n_.ins.c_str() : n_.del.c_str()),
              stamp, n_);
    }
}

void Story::MarkRow(pugi::xml_node row, bool inserted, RevisionStamp& stamp) const {
    const std::string rowProperties = n_.W("trPr");
    pugi::xml_node properties = row.child(rowProperties.c_str());
    if (!properties) {
        pugi::xml_node exceptions = row.child(n_.W("tblPrEx").c_str());
        properties = exceptions ? row.insert_child_after(rowProperties.c_str(), exceptions)
                                : row.prepend_child(rowProperties.c_str());
    }
    const std::string& name = inserted ? n_.ins : n_.del;
    if (properties.child(name.c_str())) {
        return;
    }
    // The marks of change close the row's properties, before a recorded change of them.
    pugi::xml_node change = properties.child(n_.W("trPrChange").c_str());
    pugi::xml_node mark = change ? properties.insert_child_before(name.c_str(), change)
                                 : properties.append_child(name.c_str());
    Stamp(mark, stamp, n_);
}

pugi::xml_node Story::AppendInsertion(pugi::xml_node paragraph, RevisionStamp& stamp) const {
    pugi::xml_node insertion = paragraph.append_child(n_.ins.c_str());
    Stamp(insertion, stamp, n_);
    return insertion;
}

}  // namespace veln::host::docx
