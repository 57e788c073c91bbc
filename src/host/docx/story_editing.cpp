// Editing the story: text, special characters, paragraphs and bookmark
// markers inserted and removed, each change rescanning only its paragraph.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "host/docx/story.h"
#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host::docx {

namespace {

// Paragraph-mark properties that are revision marks, not formatting.
constexpr std::array<const char*, 5> REVISION_MARKS{"ins", "del", "moveFrom", "moveTo",
                                                    "rPrChange"};

// The characters the story counts that a file writes as elements of their
// own, not as text: a tab, breaks and the two special hyphens. 0 for others.
char32_t SpecialElementOf(char c) {
    switch (static_cast<char32_t>(static_cast<unsigned char>(c))) {
        case WordChar::TAB:
        case WordChar::LINE_BREAK:
        case WordChar::PAGE_BREAK:
        case WordChar::COLUMN_BREAK:
        case WordChar::NON_BREAKING_HYPHEN:
        case WordChar::OPTIONAL_HYPHEN:
            return static_cast<unsigned char>(c);
        default:
            return 0;
    }
}

HostError Unsupported(const std::string& what) {
    return HostError(WordError::COMMAND_FAILED, what);
}

// Line, page and column breaks and the two hyphens, which the story counts
// as characters but XML cannot hold as text.
constexpr const char* STORY_CHARACTERS = "\v\f\x0E\x1E\x1F";

// Sets a w:t's text; the story's own characters in it become the elements
// that hold them, after it in the same run.
void SetText(pugi::xml_node t, const std::string& text, const Wml& n) {
    std::size_t special = text.find_first_of(STORY_CHARACTERS);
    t.text().set(text.substr(0, special).c_str());
    if (!t.attribute("xml:space")) {
        t.append_attribute("xml:space").set_value("preserve");
    }
    for (pugi::xml_node at = t; special != std::string::npos;) {
        char c = text[special];
        const std::string& name = c == '\x1E' ? n.noBreakHyphen : c == '\x1F' ? n.softHyphen : n.br;
        at = t.parent().insert_child_after(name.c_str(), at);
        if (c == '\f' || c == '\x0E') {
            at.append_attribute(n.type.c_str()).set_value(c == '\f' ? "page" : "column");
        }
        std::size_t next = text.find_first_of(STORY_CHARACTERS, special + 1);
        std::string rest = text.substr(special + 1, next - special - 1);
        if (!rest.empty()) {
            at = t.parent().insert_child_after(n.t.c_str(), at);
            at.text().set(rest.c_str());
            at.append_attribute("xml:space").set_value("preserve");
        }
        special = next;
    }
}

}  // namespace

bool IsStoryCharacter(char32_t c) {
    return c < 0x80 && c != 0 && std::strchr(STORY_CHARACTERS, static_cast<int>(c)) != nullptr;
}

// --- text --------------------------------------------------------------------------

std::string Story::Text(long start, long end) const {
    std::string text;
    if (start >= end || paragraphs_.empty()) {
        return text;
    }
    auto [first, offset] = Locate(start);
    long remaining = end - start;
    for (std::size_t index = first->index; index < paragraphs_.size() && remaining > 0; ++index) {
        const Paragraph& paragraph = *paragraphs_[index];
        long at = 0;
        for (const auto& piece : paragraph.pieces) {
            if (remaining <= 0) {
                break;
            }
            long pieceEnd = at + static_cast<long>(piece.length);
            if (piece.length > 0 && pieceEnd > offset) {
                long from = std::max(offset, at) - at;
                long take = std::min<long>(static_cast<long>(piece.length) - from, remaining);
                if (piece.kind == PieceKind::Text) {
                    std::string_view value = piece.node.child_value();
                    std::size_t begin = ByteOffset(value, from);
                    text.append(value.substr(begin, ByteOffset(value, from + take) - begin));
                } else {
                    AppendCodePoint(text, piece.ch);
                }
                remaining -= take;
            }
            at = pieceEnd;
        }
        if (remaining > 0 && offset <= paragraph.length) {
            text += '\r';
            --remaining;
        }
        offset = 0;
    }
    return text;
}

void Story::AddToLength(Paragraph& paragraph, long delta) {
    paragraph.length += delta;
    FenwickAdd(paragraph.index, delta);
}

void Story::InsertInParagraph(Paragraph& paragraph, long offset, std::string_view text) {
    long pieceStart = 0;
    std::size_t index = ContentAt(paragraph, offset, pieceStart);
    if (index < paragraph.pieces.size()) {
        const Piece& piece = paragraph.pieces[index];
        if (piece.kind == PieceKind::Text) {
            std::string value = piece.node.child_value();
            value.insert(ByteOffset(value, offset - pieceStart), text);
            SetText(piece.node, value, n_);
        } else {
            pugi::xml_node t = piece.node.parent().insert_child_before(n_.t.c_str(), piece.node);
            SetText(t, std::string(text), n_);
        }
    } else {
        // At the paragraph mark: a new run after every marker, formatted as
        // the character before it, as word processors type on (text that
        // ends a highlighted element stays highlighted); in an empty
        // paragraph, or after a hyperlink, as the mark.
        pugi::xml_node run = paragraph.node.append_child(n_.r.c_str());
        pugi::xml_node markProperties = paragraph.node.child(n_.pPr.c_str()).child(n_.rPr.c_str());
        auto last = std::find_if(paragraph.pieces.rbegin(), paragraph.pieces.rend(),
                                 [](const Piece& piece) { return piece.length > 0; });
        if (last != paragraph.pieces.rend()) {
            pugi::xml_node before = last->node.parent();
            if (!Is(before.parent(), n_.hyperlink)) {
                markProperties = before.child(n_.rPr.c_str());
            }
        }
        if (markProperties) {
            pugi::xml_node properties = run.append_child(n_.rPr.c_str());
            for (pugi::xml_node child : markProperties.children()) {
                if (child.type() == pugi::node_element &&
                    !LocalNameIsOneOf(child, REVISION_MARKS)) {
                    properties.append_copy(child);
                }
            }
        }
        SetText(run.append_child(n_.t.c_str()), std::string(text), n_);
    }
    Rescan(paragraph);
}

Paragraph& Story::NewParagraphAfter(Paragraph& paragraph) {
    pugi::xml_node node = paragraph.node.parent().insert_child_after(n_.p.c_str(), paragraph.node);
    pugi::xml_node properties = paragraph.node.child(n_.pPr.c_str());
    if (properties) {
        pugi::xml_node copy = node.append_copy(properties);
        // A section break stays with the paragraph that held it.
        copy.remove_child(n_.sectPr.c_str());
        pugi::xml_node mark = copy.child(n_.rPr.c_str());
        for (pugi::xml_node child = mark.first_child(); child;) {
            pugi::xml_node next = child.next_sibling();
            if (LocalNameIsOneOf(child, REVISION_MARKS)) {
                mark.remove_child(child);
            }
            child = next;
        }
    }
    Paragraph& result = NewParagraph(node);
    std::size_t at = paragraph.index + 1;
    paragraphs_.insert(paragraphs_.begin() + static_cast<std::ptrdiff_t>(at), &result);
    if (at + 1 == paragraphs_.size()) {
        result.index = at;
        FenwickPush(1);
    } else {
        for (std::size_t i = at; i < paragraphs_.size(); ++i) {
            paragraphs_[i]->index = i;
        }
        FenwickRebuild();
    }
    return result;
}

void Story::InsertWithSpecials(Paragraph& paragraph, long offset, std::string_view text) {
    std::size_t from = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        char32_t special = at < text.size() ? SpecialElementOf(text[at]) : 0;
        if (at < text.size() && special == 0) {
            continue;
        }
        std::string_view plain = text.substr(from, at - from);
        if (!plain.empty()) {
            InsertInParagraph(paragraph, offset, plain);
            offset += CountCharacters(plain);
        }
        if (special != 0) {
            InsertSpecial(paragraph, offset++, special);
        }
        from = at + 1;
    }
}

void Story::InsertSpecial(Paragraph& paragraph, long offset, char32_t special) {
    // Placed and formatted as a character of text would be, in a run of its
    // own; then that character becomes the element.
    InsertInParagraph(paragraph, offset, " ");
    RunsCovering(paragraph, offset, offset + 1);
    long pieceStart = 0;
    pugi::xml_node node = paragraph.pieces[ContentAt(paragraph, offset, pieceStart)].node;
    node.remove_children();
    node.remove_attribute("xml:space");
    switch (special) {
        case WordChar::TAB:
            node.set_name(n_.tab.c_str());
            break;
        case WordChar::NON_BREAKING_HYPHEN:
            node.set_name(n_.noBreakHyphen.c_str());
            break;
        case WordChar::OPTIONAL_HYPHEN:
            node.set_name(n_.softHyphen.c_str());
            break;
        default:
            node.set_name(n_.br.c_str());
            if (special != WordChar::LINE_BREAK) {
                node.append_attribute(n_.type.c_str())
                    .set_value(special == WordChar::PAGE_BREAK ? "page" : "column");
            }
            break;
    }
    Rescan(paragraph);
}

void Story::Insert(long position, std::string_view text) {
    if (text.empty()) {
        return;
    }
    auto [paragraph, offset] = Locate(position);
    // Checked before anything changes: a failed insertion leaves no trace.
    if (text.find('\r') != std::string_view::npos && offset != paragraph->length) {
        throw Unsupported("a paragraph mark can only be inserted at the end of a paragraph");
    }
    std::size_t from = 0;
    for (;;) {
        std::size_t mark = text.find('\r', from);
        std::string_view part =
            text.substr(from, mark == std::string_view::npos ? text.npos : mark - from);
        if (!part.empty()) {
            InsertWithSpecials(*paragraph, offset, part);
            offset += CountCharacters(part);
        }
        if (mark == std::string_view::npos) {
            break;
        }
        paragraph = &NewParagraphAfter(*paragraph);
        offset = 0;
        from = mark + 1;
    }
}

void Story::Delete(long start, long end) {
    if (start >= end) {
        return;
    }
    auto [paragraph, offset] = Locate(start);
    long stop = offset + (end - start);
    if (stop > paragraph->length) {
        throw Unsupported("text can only be deleted within one paragraph");
    }
    std::vector<pugi::xml_node> gone;
    std::vector<pugi::xml_node> runs;
    long at = 0;
    for (const auto& piece : paragraph->pieces) {
        long pieceEnd = at + static_cast<long>(piece.length);
        if (piece.length > 0 && pieceEnd > offset && at < stop) {
            long from = std::max(offset, at) - at;
            long to = std::min(stop, pieceEnd) - at;
            if (piece.kind == PieceKind::Text &&
                (from > 0 || to < static_cast<long>(piece.length))) {
                std::string value = piece.node.child_value();
                std::size_t begin = ByteOffset(value, from);
                value.erase(begin, ByteOffset(value, to) - begin);
                SetText(piece.node, value, n_);
            } else {
                gone.push_back(piece.node);
            }
            runs.push_back(piece.node.parent());
        }
        at = pieceEnd;
    }
    for (auto& node : gone) {
        node.parent().remove_child(node);
    }
    // A run left with nothing but its properties goes too.
    for (auto& run : runs) {
        bool empty = true;
        for (pugi::xml_node child : run.children()) {
            empty = empty && (child.type() != pugi::node_element || Is(child, n_.rPr));
        }
        if (empty && run.parent()) {
            run.parent().remove_child(run);
        }
    }
    Rescan(*paragraph);
}

// --- runs, highlight and markers --------------------------------------------------------

pugi::xml_node Story::SplitAt(Paragraph& paragraph, long offset) {
    long pieceStart = 0;
    std::size_t index = ContentAt(paragraph, offset, pieceStart);
    if (index == paragraph.pieces.size()) {
        return {};
    }
    Piece piece = paragraph.pieces[index];
    pugi::xml_node first = piece.node;
    pugi::xml_node run = first.parent();
    if (offset > pieceStart) {
        // Split the w:t: the characters from offset on go to a new w:t after it.
        std::string value = piece.node.child_value();
        std::size_t cut = ByteOffset(value, offset - pieceStart);
        pugi::xml_node tail = run.insert_copy_after(piece.node, piece.node);
        SetText(tail, value.substr(cut), n_);
        SetText(piece.node, value.substr(0, cut), n_);
        first = tail;
    }
    // Is there content in the run before `first`?
    bool contentBefore = false;
    for (pugi::xml_node child = run.first_child(); child != first; child = child.next_sibling()) {
        contentBefore = contentBefore || (child.type() == pugi::node_element && !Is(child, n_.rPr));
    }
    if (contentBefore) {
        pugi::xml_node second = run.parent().insert_child_after(n_.r.c_str(), run);
        for (pugi::xml_attribute attribute : run.attributes()) {
            second.append_attribute(attribute.name()).set_value(attribute.value());
        }
        if (pugi::xml_node properties = run.child(n_.rPr.c_str())) {
            second.append_copy(properties);
        }
        for (pugi::xml_node child = first; child;) {
            pugi::xml_node next = child.next_sibling();
            second.append_move(child);
            child = next;
        }
        run = second;
    }
    Rescan(paragraph);
    return run;
}

std::pair<pugi::xml_node, Paragraph*> Story::InsertMarker(long position,
                                                          const std::string& element) {
    if (position >= End()) {
        // After the last paragraph mark: between blocks, after the last
        // paragraph, where a bookmark over the whole last paragraph ends.
        // After the markers already there, as everywhere (blanks between
        // elements, kept as read, are passed over).
        pugi::xml_node after = paragraphs_.back()->node;
        for (pugi::xml_node next = after.next_sibling(); next; next = next.next_sibling()) {
            if (Is(next, n_.bookmarkStart) || Is(next, n_.bookmarkEnd)) {
                after = next;
            } else if (next.type() == pugi::node_element) {
                break;
            }
        }
        return {after.parent().insert_child_after(element.c_str(), after), nullptr};
    }
    auto [paragraph, offset] = Locate(position);
    pugi::xml_node run = SplitAt(*paragraph, offset);
    pugi::xml_node marker = run ? run.parent().insert_child_before(element.c_str(), run)
                                : paragraph->node.append_child(element.c_str());
    Rescan(*paragraph);
    return {marker, paragraph};
}

void Story::RemoveMarker(const pugi::xml_node& marker, Paragraph* paragraph) {
    if (marker.parent()) {
        marker.parent().remove_child(marker);
    }
    if (paragraph != nullptr) {
        Rescan(*paragraph);
    }
}

}  // namespace veln::host::docx
