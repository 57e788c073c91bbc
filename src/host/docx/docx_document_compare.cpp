// Comparing a document with another version of it: paragraphs are matched
// first, then the words of paragraphs that changed, and the differences are
// written into this document as tracked changes. This document's XML is only
// added to (deletions wrap its runs, insertions are new runs and
// paragraphs), so its bookmarks, tables and formatting stay where they are.
#include <algorithm>
#include <array>
#include <ctime>

#include "host/docx/docx_document.h"
#include "host/docx/sequence_diff.h"
#include "host/utf8.h"

namespace veln::host::docx {

namespace {

// The author of the changes a comparison writes.
constexpr const char* COMPARE_AUTHOR = "VELN";

std::string NowUtc() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text.data();
}

// Revision ids go on from the greatest id the part holds.
long HighestId(pugi::xml_node root, const Wml& n) {
    long highest = 0;
    for (pugi::xml_node node = root; node;) {
        if (pugi::xml_attribute id = node.attribute(n.id.c_str())) {
            highest = std::max(highest, std::strtol(id.value(), nullptr, 10));
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling()) {
            node = node.parent();
        }
        node = node == root ? pugi::xml_node() : node.next_sibling();
    }
    return highest;
}

std::u32string CharactersOf(const Paragraph& paragraph) {
    std::u32string text;
    text.reserve(static_cast<std::size_t>(paragraph.length));
    for (const Piece& piece : paragraph.pieces) {
        if (piece.kind == PieceKind::Text) {
            text += Widen(piece.node.child_value());
        } else if (piece.kind == PieceKind::Char) {
            text += piece.ch;
        }
    }
    return text;
}

std::uint64_t Hash(std::u32string_view text) {
    return HashText(std::string_view(reinterpret_cast<const char*>(text.data()),
                                     text.size() * sizeof(char32_t)));
}

bool IsWordCharacter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
           c == U'_' ||
           (c >= 0x80 && c != 0xA0 && c != 0x2007 && c != 0x202F && !(c >= 0x2000 && c <= 0x206F) &&
            c != 0x3000);
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0xA0;
}

// Words, runs of blanks, and every other character alone.
struct Token {
    long start;
    long length;
};

std::vector<Token> Tokens(std::u32string_view text) {
    std::vector<Token> tokens;
    const long size = static_cast<long>(text.size());
    for (long at = 0; at < size;) {
        long end = at + 1;
        auto index = [](long i) { return static_cast<std::size_t>(i); };
        if (IsWordCharacter(text[index(at)])) {
            while (end < size && IsWordCharacter(text[index(end)])) {
                ++end;
            }
        } else if (IsBlank(text[index(at)])) {
            while (end < size && IsBlank(text[index(end)])) {
                ++end;
            }
        }
        tokens.push_back({at, end - at});
        at = end;
    }
    return tokens;
}

std::vector<std::uint64_t> Hashes(std::u32string_view text, const std::vector<Token>& tokens) {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(tokens.size());
    for (const Token& token : tokens) {
        hashes.push_back(Hash(text.substr(static_cast<std::size_t>(token.start),
                                          static_cast<std::size_t>(token.length))));
    }
    return hashes;
}

// One change within a paragraph, at a character offset of ours.
struct Change {
    long at;
    bool insertion;
    long end;     // a deletion's end
    long bStart;  // the inserted characters of theirs
    long bEnd;
};

}  // namespace

// The characters [start, end) of their paragraph, as runs appended to into:
// text and special characters with their run's formatting, when both parts
// name WordprocessingML alike; plain text otherwise.
void DocxDocument::CopyContent(const Paragraph& from, const Wml& fromNames, long start, long end,
                               pugi::xml_node into) const {
    const bool sameNames = fromNames.wPrefix == names_.wPrefix && fromNames.strict == names_.strict;
    long at = 0;
    pugi::xml_node sourceRun;
    pugi::xml_node run;
    for (const Piece& piece : from.pieces) {
        const long pieceEnd = at + static_cast<long>(piece.length);
        if (piece.length == 0 || pieceEnd <= start || at >= end) {
            at = pieceEnd;
            continue;
        }
        if (!run || piece.node.parent() != sourceRun) {
            sourceRun = piece.node.parent();
            run = into.append_child(names_.r.c_str());
            if (pugi::xml_node properties = sourceRun.child(fromNames.rPr.c_str());
                properties && sameNames) {
                run.append_copy(properties);
            }
        }
        if (piece.kind == PieceKind::Text) {
            std::string_view value = piece.node.child_value();
            std::size_t first = ByteOffset(value, std::max(start, at) - at);
            std::size_t last = ByteOffset(value, std::min(end, pieceEnd) - at);
            pugi::xml_node t = run.append_child(names_.t.c_str());
            t.append_attribute("xml:space").set_value("preserve");
            t.text().set(std::string(value.substr(first, last - first)).c_str());
        } else if (sameNames) {
            run.append_copy(piece.node);
        } else {
            std::string character;
            AppendCodePoint(character, piece.ch);
            run.append_child(names_.t.c_str()).text().set(character.c_str());
        }
        at = pieceEnd;
    }
}

void DocxDocument::CompareParagraphs(Paragraph& ours, const Paragraph& theirs,
                                     const Wml& theirNames, RevisionStamp& stamp) {
    const std::u32string ourText = CharactersOf(ours);
    const std::u32string theirText = CharactersOf(theirs);
    const std::vector<Token> ourTokens = Tokens(ourText);
    const std::vector<Token> theirTokens = Tokens(theirText);
    const std::vector<Edit> edits =
        Diff(Hashes(ourText, ourTokens), Hashes(theirText, theirTokens));
    auto ourOffset = [&](std::size_t token) {
        return token < ourTokens.size() ? ourTokens[token].start
                                        : static_cast<long>(ourText.size());
    };
    auto theirOffset = [&](std::size_t token) {
        return token < theirTokens.size() ? theirTokens[token].start
                                          : static_cast<long>(theirText.size());
    };
    std::vector<Change> changes;
    // Paragraphs that share less than half their characters were rewritten:
    // the old text goes whole and the new comes whole, rather than a
    // patchwork of changed words.
    long same = 0;
    for (const Edit& edit : edits) {
        if (edit.kind == EditKind::Equal) {
            same += ourOffset(edit.aStart + edit.length) - ourOffset(edit.aStart);
        }
    }
    const auto ourLength = static_cast<long>(ourText.size());
    const auto theirLength = static_cast<long>(theirText.size());
    if (4 * same < ourLength + theirLength) {
        if (theirLength > 0) {
            changes.push_back({ourLength, true, 0, 0, theirLength});
        }
        if (ourLength > 0) {
            changes.push_back({0, false, ourLength, 0, 0});
        }
    }
    for (const Edit& edit : changes.empty() ? edits : std::vector<Edit>{}) {
        if (edit.kind == EditKind::Delete) {
            changes.push_back(
                {ourOffset(edit.aStart), false, ourOffset(edit.aStart + edit.length), 0, 0});
        } else if (edit.kind == EditKind::Insert) {
            changes.push_back({ourOffset(edit.aStart), true, 0, theirOffset(edit.bStart),
                               theirOffset(edit.bStart + edit.length)});
        }
    }
    // From the end back, so that the offsets of what is still to change hold.
    std::stable_sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return a.at != b.at ? a.at > b.at : a.insertion && !b.insertion;
    });
    for (const Change& change : changes) {
        if (change.insertion) {
            pugi::xml_node insertion = story_->InsertionAt(ours, change.at, stamp);
            CopyContent(theirs, theirNames, change.bStart, change.bEnd, insertion);
            story_->Refresh(ours);
        } else {
            story_->MarkDeleted(ours, change.at, change.end, stamp);
        }
    }
}

void DocxDocument::Compare(const std::string& path) {
    std::unique_ptr<DocxDocument> other = Open(path);
    Story& theirs = *other->story_;
    const std::size_t ourCount = story_->ParagraphCount();
    const std::size_t theirCount = theirs.ParagraphCount();
    std::vector<Paragraph*> ours(ourCount);
    std::vector<std::uint64_t> ourHashes(ourCount);
    std::vector<std::uint64_t> theirHashes(theirCount);
    for (std::size_t i = 0; i < ourCount; ++i) {
        ours[i] = &story_->ParagraphAtIndex(i);
        ourHashes[i] = Hash(CharactersOf(*ours[i]));
    }
    for (std::size_t j = 0; j < theirCount; ++j) {
        theirHashes[j] = Hash(CharactersOf(theirs.ParagraphAtIndex(j)));
    }
    const std::vector<Edit> edits = Diff(ourHashes, theirHashes);
    if (std::all_of(edits.begin(), edits.end(),
                    [](const Edit& edit) { return edit.kind == EditKind::Equal; })) {
        return;
    }
    RevisionStamp stamp{COMPARE_AUTHOR, NowUtc(), HighestId(main_->Root(), names_) + 1};
    // New paragraphs go in last, by the XML alone: the story reads them after.
    struct NewParagraphs {
        std::size_t theirFirst;
        std::size_t count;
        pugi::xml_node after;   // the paragraph of ours before them, if any
        pugi::xml_node before;  // the paragraph of ours after them, if any
    };
    std::vector<NewParagraphs> added;
    for (std::size_t e = 0; e < edits.size(); ++e) {
        if (edits[e].kind == EditKind::Equal) {
            continue;
        }
        std::size_t ourFirst = edits[e].aStart;
        std::size_t theirFirst = edits[e].bStart;
        std::size_t ourChanged = 0;
        std::size_t theirChanged = 0;
        for (; e < edits.size() && edits[e].kind != EditKind::Equal; ++e) {
            (edits[e].kind == EditKind::Delete ? ourChanged : theirChanged) += edits[e].length;
        }
        --e;
        // Paragraphs that changed in place are compared word by word; the
        // rest were taken out or put in whole.
        const std::size_t paired = std::min(ourChanged, theirChanged);
        for (std::size_t k = 0; k < paired; ++k) {
            CompareParagraphs(*ours[ourFirst + k], theirs.ParagraphAtIndex(theirFirst + k),
                              other->names_, stamp);
        }
        for (std::size_t k = paired; k < ourChanged; ++k) {
            Paragraph& paragraph = *ours[ourFirst + k];
            story_->MarkDeleted(paragraph, 0, paragraph.length, stamp);
            story_->MarkParagraph(paragraph.node, false, stamp);
        }
        if (theirChanged > paired) {
            const std::size_t ourEnd = ourFirst + ourChanged;
            added.push_back({theirFirst + paired, theirChanged - paired,
                             ourEnd > 0 ? ours[ourEnd - 1]->node : pugi::xml_node(),
                             ourEnd < ourCount ? ours[ourEnd]->node : pugi::xml_node()});
        }
    }
    for (const NewParagraphs& block : added) {
        // They go beside the paragraph of ours that shares their block (body
        // or table cell) in their version: after the one before them when
        // the paragraph before them in theirs shares it, else before the next.
        const Paragraph& first = theirs.ParagraphAtIndex(block.theirFirst);
        bool afterPrevious =
            block.after &&
            (!block.before || (block.theirFirst > 0 &&
                               Story::BlockOf(theirs.ParagraphAtIndex(block.theirFirst - 1)) ==
                                   Story::BlockOf(first)));
        pugi::xml_node cursor = afterPrevious ? block.after : block.before;
        if (afterPrevious) {
            // Ends of bookmarks that close with the paragraph stay before the new ones.
            while (cursor.next_sibling() && Is(cursor.next_sibling(), names_.bookmarkEnd)) {
                cursor = cursor.next_sibling();
            }
        } else {
            while (cursor.previous_sibling() &&
                   Is(cursor.previous_sibling(), names_.bookmarkStart)) {
                cursor = cursor.previous_sibling();
            }
        }
        for (std::size_t k = 0; k < block.count; ++k) {
            const Paragraph& source = theirs.ParagraphAtIndex(block.theirFirst + k);
            pugi::xml_node paragraph =
                afterPrevious ? cursor.parent().insert_child_after(names_.p.c_str(), cursor)
                              : cursor.parent().insert_child_before(names_.p.c_str(), cursor);
            if (afterPrevious) {
                cursor = paragraph;
            }
            AddParagraphFrom(source, other->names_, paragraph, stamp);
        }
    }
    // Read the story again over the changed XML; paragraph ids go on.
    pugi::xml_node body = main_->Root().child(names_.body.c_str());
    story_ = std::make_unique<Story>(body, names_, story_->LastParagraphId());
    bookmarks_ = std::make_unique<BookmarkTable>(*story_);
    SetSelection(Clamp(SelectionStart()), Clamp(SelectionEnd()));
    Changed(*main_);
}

void DocxDocument::AddParagraphFrom(const Paragraph& source, const Wml& sourceNames,
                                    pugi::xml_node paragraph, RevisionStamp& stamp) {
    const bool sameNames =
        sourceNames.wPrefix == names_.wPrefix && sourceNames.strict == names_.strict;
    if (pugi::xml_node properties = source.node.child(sourceNames.pPr.c_str());
        properties && sameNames) {
        pugi::xml_node copy = paragraph.append_copy(properties);
        // A new paragraph brings no section of its own, and no earlier changes.
        copy.remove_child(names_.sectPr.c_str());
        copy.remove_child(names_.W("pPrChange").c_str());
        pugi::xml_node mark = copy.child(names_.rPr.c_str());
        for (const std::string& change : {names_.ins, names_.del, names_.moveFrom, names_.moveTo}) {
            mark.remove_child(change.c_str());
        }
    }
    story_->MarkParagraph(paragraph, true, stamp);
    if (source.length > 0) {
        pugi::xml_node insertion = paragraph.append_child(names_.ins.c_str());
        insertion.append_attribute(names_.id.c_str())
            .set_value(std::to_string(stamp.nextId++).c_str());
        insertion.append_attribute(names_.W("author").c_str()).set_value(stamp.author.c_str());
        insertion.append_attribute(names_.W("date").c_str()).set_value(stamp.date.c_str());
        CopyContent(source, sourceNames, 0, source.length, insertion);
    }
}

}  // namespace veln::host::docx
