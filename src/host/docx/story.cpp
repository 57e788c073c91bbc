#include "host/docx/story.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host::docx {

namespace {

// Most paragraphs hold a few runs: one allocation serves them, and an empty
// paragraph (the cheapest thing a file can repeat) takes none.
void AddPiece(Paragraph& paragraph, const Piece& piece) {
    if (paragraph.pieces.capacity() == 0) {
        paragraph.pieces.reserve(4);
    }
    paragraph.pieces.push_back(piece);
}

}  // namespace

// --- reading -------------------------------------------------------------------

Paragraph& Story::NewParagraph(pugi::xml_node node) {
    Paragraph& paragraph = pool_.emplace_back();
    paragraph.node = node;
    paragraph.id = ++lastParagraphId_;
    return paragraph;
}

Story::Story(pugi::xml_node body, const Wml& names, std::uint64_t lastParagraphId)
    : n_(names), body_(body), lastParagraphId_(lastParagraphId) {
    std::vector<pugi::xml_node> pending;
    WalkBlocks(body, pending, 0);
    for (const auto& marker : pending) {
        found_.push_back({marker, nullptr, true});
    }
    FenwickRebuild();
}

void Story::WalkBlocks(pugi::xml_node parent, std::vector<pugi::xml_node>& pending, int depth) {
    RequireDepth(depth);
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (n_.TagOf(child)) {
            case Tag::p: {
                Paragraph& paragraph = NewParagraph(child);
                paragraph.index = paragraphs_.size();
                for (const auto& marker : pending) {
                    found_.push_back({marker, &paragraph, true});
                }
                pending.clear();
                ScanInline(child, paragraph, true, false, depth + 1);
                paragraphs_.push_back(&paragraph);
                break;
            }
            case Tag::bookmarkStart:
            case Tag::bookmarkEnd:
                pending.push_back(child);
                break;
            case Tag::tbl:
            case Tag::tr:
            case Tag::tc:
            case Tag::sdt:
            case Tag::sdtContent:
            case Tag::customXml:
                WalkBlocks(child, pending, depth + 1);
                break;
            default:
                break;
        }
    }
}

void Story::ScanInline(pugi::xml_node parent, Paragraph& paragraph, bool report, bool markersOnly,
                       int depth) {
    // Only what is read from a file can be deep; an edit adds a level at most.
    if (report) {
        RequireDepth(depth);
    }
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (n_.TagOf(child)) {
            case Tag::r:
                if (!markersOnly) {
                    ScanRun(child, paragraph);
                }
                break;
            case Tag::bookmarkStart:
            case Tag::bookmarkEnd: {
                bool start = n_.TagOf(child) == Tag::bookmarkStart;
                AddPiece(paragraph, {child, 0, start ? PieceKind::Start : PieceKind::End, 0});
                if (report) {
                    found_.push_back({child, &paragraph, false});
                }
                break;
            }
            case Tag::del:
            case Tag::moveFrom:
                // Deleted and moved-away text does not count, but the bookmarks in
                // it are still the document's: they stand where the deletion is.
                ScanInline(child, paragraph, report, true, depth + 1);
                break;
            default:
                if (IsInlineContainer(n_.TagOf(child))) {
                    ScanInline(child, paragraph, report, markersOnly, depth + 1);
                }
                // Paragraph properties, alternate content (text boxes, drawings)
                // and the rest are not part of the story.
                break;
        }
    }
}

void Story::ScanRun(pugi::xml_node run, Paragraph& paragraph) {
    for (pugi::xml_node child = run.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        char32_t special = 0;
        switch (n_.TagOf(child)) {
            case Tag::t: {
                auto length = static_cast<std::uint32_t>(CountCharacters(child.child_value()));
                if (length > 0) {
                    AddPiece(paragraph, {child, length, PieceKind::Text, 0});
                    paragraph.length += length;
                }
                continue;
            }
            case Tag::tab:
                special = WordChar::TAB;
                break;
            case Tag::br: {
                std::string_view type = child.attribute(n_.type.c_str()).value();
                special = type == "page"     ? WordChar::PAGE_BREAK
                          : type == "column" ? WordChar::COLUMN_BREAK
                                             : WordChar::LINE_BREAK;
                break;
            }
            case Tag::cr:
                special = WordChar::LINE_BREAK;
                break;
            case Tag::noBreakHyphen:
                special = WordChar::NON_BREAKING_HYPHEN;
                break;
            case Tag::softHyphen:
                special = WordChar::OPTIONAL_HYPHEN;
                break;
            case Tag::sym:
                special = static_cast<char32_t>(
                    std::strtoul(child.attribute(n_.chr.c_str()).value(), nullptr, 16));
                if (special == 0) {
                    special = WordChar::UNKNOWN_SYMBOL;
                }
                break;
            default:
                break;
        }
        if (special != 0) {
            AddPiece(paragraph, {child, 1, PieceKind::Char, special});
            paragraph.length += 1;
        }
    }
}

void Story::Rescan(Paragraph& paragraph) {
    ++paragraph.revision;
    long before = paragraph.length;
    paragraph.pieces.clear();
    paragraph.length = 0;
    ScanInline(paragraph.node, paragraph, false, false, 0);
    if (paragraph.length != before) {
        FenwickAdd(paragraph.index, paragraph.length - before);
    }
}

void Story::RequireDepth(int depth) {
    if (depth > MAX_NESTING) {
        throw HostError(WordError::FILE_CORRUPT,
                        "its main story is nested more than " + std::to_string(MAX_NESTING) +
                            " levels deep (tables, content controls, hyperlinks...), which is "
                            "refused");
    }
}

}  // namespace veln::host::docx
