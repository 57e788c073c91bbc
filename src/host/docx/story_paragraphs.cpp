// Paragraph marks anywhere in the story: Enter splits a paragraph where the
// user stands, Backspace and Delete over a mark join two. What the user did
// not touch (pictures, fields' codes, properties) moves along untouched.
#include <cstring>

#include "host/docx/story.h"
#include "host/word/document.h"

namespace veln::host::docx {

namespace {

HostError Refused(const std::string& why) {
    return HostError(WordError::COMMAND_FAILED, why);
}

// Containers of runs that a split cuts in two, each half keeping the
// container's attributes and properties. A simple field is not among them:
// cut in two it would be two fields.
bool Splittable(const Wml& n, const pugi::xml_node& container) {
    Tag tag = n.TagOf(container);
    return IsInlineContainer(tag) && tag != Tag::fldSimple;
}

// An empty twin of container after it: its attributes and its properties
// (the children that are not content), a content control's id left out.
pugi::xml_node Twin(const Wml& n, pugi::xml_node container) {
    pugi::xml_node twin = container.parent().insert_child_after(container.name(), container);
    for (pugi::xml_attribute attribute : container.attributes()) {
        twin.append_attribute(attribute.name()).set_value(attribute.value());
    }
    for (pugi::xml_node child : container.children()) {
        std::string_view name = child.name();
        if (child.type() == pugi::node_element && name.ends_with("Pr")) {
            pugi::xml_node copy = twin.append_copy(child);
            copy.remove_child(n.id.c_str());
        }
    }
    return twin;
}

// Moves node and the siblings after it to the end of into.
void MoveFrom(pugi::xml_node node, pugi::xml_node into) {
    while (node) {
        pugi::xml_node next = node.next_sibling();
        into.append_move(node);
        node = next;
    }
}

// Puts a section break into the paragraph properties of to, where the schema
// wants it: before a record of changed properties, else last.
void PlaceSectionBreak(const Wml& n, pugi::xml_node sectPr, pugi::xml_node to) {
    pugi::xml_node properties = to.child(n.pPr.c_str());
    if (!properties) {
        properties = to.prepend_child(n.pPr.c_str());
    }
    pugi::xml_node change = properties.child(n.W("pPrChange").c_str());
    if (change) {
        properties.insert_move_before(sectPr, change);
    } else {
        properties.append_move(sectPr);
    }
}

}  // namespace

std::uint64_t Story::BlockOf(const Paragraph& paragraph) {
    return reinterpret_cast<std::uintptr_t>(paragraph.node.parent().internal_object());
}

Paragraph& Story::Split(long position) {
    // Named apart: the lambda below reads them.
    std::pair<Paragraph*, long> located = Locate(position);
    Paragraph* paragraph = located.first;
    long offset = located.second;
    // The first thing that moves: the first bookmark start at the split, so
    // that a bookmark starting there goes with its text, else the first
    // content at or after it. Ends of bookmarks there stay behind.
    auto firstMoving = [&]() -> const Piece* {
        long at = 0;
        for (const Piece& piece : paragraph->pieces) {
            if ((at == offset && piece.kind == PieceKind::Start) ||
                (piece.length > 0 && at + static_cast<long>(piece.length) > offset)) {
                return &piece;
            }
            at += piece.length;
        }
        return nullptr;
    };
    if (const Piece* piece = firstMoving()) {
        // Checked before anything changes: a refused split leaves no trace.
        for (pugi::xml_node node = piece->node.parent(); node && node != paragraph->node;
             node = node.parent()) {
            if (n_.TagOf(node) != Tag::r && !Splittable(n_, node)) {
                throw Refused("a paragraph cannot be split inside a field");
            }
        }
    }
    if (offset < paragraph->length) {
        SplitAt(*paragraph, offset);
    }
    pugi::xml_node moving;
    if (const Piece* piece = firstMoving()) {
        moving = piece->kind == PieceKind::Start ? piece->node : piece->node.parent();
    }
    Paragraph& next = NewParagraphAfter(*paragraph);
    // The section break belongs to the mark that ends the section, which is
    // now the new paragraph's.
    pugi::xml_node properties = paragraph->node.child(n_.pPr.c_str());
    if (pugi::xml_node sectPr = properties.child(n_.sectPr.c_str())) {
        PlaceSectionBreak(n_, sectPr, next.node);
        if (!properties.find_child(
                [](const pugi::xml_node& child) { return child.type() == pugi::node_element; })) {
            paragraph->node.remove_child(properties);
        }
    }
    if (moving) {
        while (moving.parent() != paragraph->node) {
            pugi::xml_node twin = Twin(n_, moving.parent());
            MoveFrom(moving, twin);
            moving = twin;
        }
        MoveFrom(moving, next.node);
    }
    Rescan(*paragraph);
    Rescan(next);
    return next;
}

Paragraph& Story::Join(long position) {
    auto [paragraph, offset] = Locate(position);
    if (offset != paragraph->length) {
        throw Refused("there is no paragraph mark at position " + std::to_string(position));
    }
    if (paragraph->index + 1 >= paragraphs_.size()) {
        throw Refused("the last paragraph mark cannot be removed");
    }
    Paragraph& next = *paragraphs_[paragraph->index + 1];
    if (next.node.parent() != paragraph->node.parent()) {
        throw Refused("paragraphs of different table cells cannot be joined");
    }
    if (paragraph->node.child(n_.pPr.c_str()).child(n_.sectPr.c_str())) {
        throw Refused("a paragraph that ends a section cannot be joined with the next one");
    }
    std::vector<pugi::xml_node> between;
    for (pugi::xml_node node = paragraph->node.next_sibling(); node != next.node;
         node = node.next_sibling()) {
        Tag tag = n_.TagOf(node);
        if (node.type() == pugi::node_element && tag != Tag::bookmarkStart &&
            tag != Tag::bookmarkEnd) {
            throw Refused("the paragraphs are not neighbours: something stands between them");
        }
        between.push_back(node);
    }
    // Bookmark markers between the two now stand where the mark was.
    for (pugi::xml_node node : between) {
        paragraph->node.append_move(node);
    }
    pugi::xml_node properties = next.node.child(n_.pPr.c_str());
    if (pugi::xml_node sectPr = properties.child(n_.sectPr.c_str())) {
        PlaceSectionBreak(n_, sectPr, paragraph->node);
    }
    for (pugi::xml_node child = next.node.first_child(); child;) {
        pugi::xml_node following = child.next_sibling();
        if (child != properties) {
            paragraph->node.append_move(child);
        }
        child = following;
    }
    next.node.parent().remove_child(next.node);
    next.node = pugi::xml_node();
    next.pieces.clear();
    paragraphs_.erase(paragraphs_.begin() + static_cast<std::ptrdiff_t>(next.index));
    for (std::size_t i = paragraph->index + 1; i < paragraphs_.size(); ++i) {
        paragraphs_[i]->index = i;
    }
    // The joined paragraph's length moves to the one before: rebuilt at once.
    paragraph->length += next.length;
    next.length = 0;
    FenwickRebuild();
    Rescan(*paragraph);
    return next;
}

}  // namespace veln::host::docx
