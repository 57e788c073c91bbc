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

// A paragraph's characters cut into words, each hashed.
struct Words {
    std::u32string text;
    std::vector<Token> tokens;
    std::vector<std::uint64_t> hashes;

    long Offset(std::size_t token) const {
        return token < tokens.size() ? tokens[token].start : static_cast<long>(text.size());
    }
};

Words WordsOf(const Paragraph& paragraph) {
    Words words{CharactersOf(paragraph), {}, {}};
    words.tokens = Tokens(words.text);
    words.hashes = Hashes(words.text, words.tokens);
    return words;
}

// Paragraphs that share less than half their characters were rewritten
// rather than edited: the old text goes whole and the new comes whole.
bool Rewritten(const Words& ours, const Words& theirs, const std::vector<Edit>& edits) {
    long kept = 0;
    for (const Edit& edit : edits) {
        if (edit.kind == EditKind::Equal) {
            kept += ours.Offset(edit.aStart + edit.length) - ours.Offset(edit.aStart);
        }
    }
    return 4 * kept < static_cast<long>(ours.text.size() + theirs.text.size());
}

// Stretches of more paragraphs than this are paired in order, unweighed.
constexpr std::size_t MAX_ALIGNED = 4096;

// The paragraphs of a stretch that changed which are edits of one another:
// the most pairs, in order, of paragraphs not rewritten.
std::vector<std::pair<std::size_t, std::size_t>> Align(const std::vector<Words>& ours,
                                                       const std::vector<Words>& theirs) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    const std::size_t n = ours.size();
    const std::size_t m = theirs.size();
    if (n * m > MAX_ALIGNED) {
        for (std::size_t k = 0; k < std::min(n, m); ++k) {
            pairs.emplace_back(k, k);
        }
        return pairs;
    }
    std::vector<std::vector<bool>> alike(n, std::vector<bool>(m));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < m; ++j) {
            alike[i][j] = !Rewritten(ours[i], theirs[j], Diff(ours[i].hashes, theirs[j].hashes));
        }
    }
    std::vector<std::vector<std::size_t>> best(n + 1, std::vector<std::size_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            best[i][j] =
                alike[i][j] ? best[i + 1][j + 1] + 1 : std::max(best[i + 1][j], best[i][j + 1]);
        }
    }
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (alike[i][j] && best[i][j] == best[i + 1][j + 1] + 1) {
            pairs.emplace_back(i++, j++);
        } else if (best[i + 1][j] >= best[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return pairs;
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
    const Words ourWords = WordsOf(ours);
    const Words theirWords = WordsOf(theirs);
    const std::vector<Edit> edits = Diff(ourWords.hashes, theirWords.hashes);
    std::vector<Change> changes;
    const auto ourLength = static_cast<long>(ourWords.text.size());
    const auto theirLength = static_cast<long>(theirWords.text.size());
    if (Rewritten(ourWords, theirWords, edits)) {
        if (theirLength > 0) {
            changes.push_back({ourLength, true, 0, 0, theirLength});
        }
        if (ourLength > 0) {
            changes.push_back({0, false, ourLength, 0, 0});
        }
    } else {
        for (const Edit& edit : edits) {
            if (edit.kind == EditKind::Delete) {
                changes.push_back({ourWords.Offset(edit.aStart), false,
                                   ourWords.Offset(edit.aStart + edit.length), 0, 0});
            } else if (edit.kind == EditKind::Insert) {
                changes.push_back({ourWords.Offset(edit.aStart), true, 0,
                                   theirWords.Offset(edit.bStart),
                                   theirWords.Offset(edit.bStart + edit.length)});
            }
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

namespace {

std::vector<std::uint64_t> ParagraphHashes(Story& story) {
    std::vector<std::uint64_t> hashes(story.ParagraphCount());
    for (std::size_t i = 0; i < hashes.size(); ++i) {
        hashes[i] = Hash(CharactersOf(story.ParagraphAtIndex(i)));
    }
    return hashes;
}

}  // namespace

void DocxDocument::Compare(const std::string& path) {
    std::unique_ptr<DocxDocument> other = Open(path);
    Story& theirs = *other->story_;
    const std::size_t ourCount = story_->ParagraphCount();
    std::vector<Paragraph*> ours(ourCount);
    for (std::size_t i = 0; i < ourCount; ++i) {
        ours[i] = &story_->ParagraphAtIndex(i);
    }
    const std::vector<Edit> edits = Diff(ParagraphHashes(*story_), ParagraphHashes(theirs));
    if (std::all_of(edits.begin(), edits.end(),
                    [](const Edit& edit) { return edit.kind == EditKind::Equal; })) {
        return;
    }
    RevisionStamp stamp{COMPARE_AUTHOR, NowUtc(), HighestId(main_->Root(), names_) + 1};
    // New paragraphs go in last, by the XML alone: the story reads them after.
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
        // Paragraphs edited in place are compared word by word; the rest
        // were taken out or put in whole, in the order of their version.
        std::vector<Words> ourWords;
        std::vector<Words> theirWords;
        for (std::size_t k = 0; k < ourChanged; ++k) {
            ourWords.push_back(WordsOf(*ours[ourFirst + k]));
        }
        for (std::size_t k = 0; k < theirChanged; ++k) {
            theirWords.push_back(WordsOf(theirs.ParagraphAtIndex(theirFirst + k)));
        }
        std::vector<std::pair<std::size_t, std::size_t>> pairs = Align(ourWords, theirWords);
        pairs.emplace_back(ourChanged, theirChanged);
        std::size_t i = 0;
        std::size_t j = 0;
        for (const auto& [pairedOurs, pairedTheirs] : pairs) {
            for (; i < pairedOurs; ++i) {
                Paragraph& paragraph = *ours[ourFirst + i];
                story_->MarkDeleted(paragraph, 0, paragraph.length, stamp);
                story_->MarkParagraph(paragraph.node, false, stamp);
            }
            if (j < pairedTheirs) {
                const std::size_t ourAt = ourFirst + i;
                added.push_back({theirFirst + j, pairedTheirs - j,
                                 ourAt > 0 ? ours[ourAt - 1]->node : pugi::xml_node(),
                                 ourAt < ourCount ? ours[ourAt]->node : pugi::xml_node()});
                j = pairedTheirs;
            }
            if (pairedOurs < ourChanged) {
                CompareParagraphs(*ours[ourFirst + pairedOurs],
                                  theirs.ParagraphAtIndex(theirFirst + pairedTheirs), other->names_,
                                  stamp);
                i = pairedOurs + 1;
                j = pairedTheirs + 1;
            }
        }
    }
    for (const NewParagraphs& block : added) {
        InsertNewParagraphs(theirs, other->names_, block, stamp);
    }
    // Read the story again over the changed XML; paragraph ids go on.
    pugi::xml_node body = main_->Root().child(names_.body.c_str());
    story_ = std::make_unique<Story>(body, names_, story_->LastParagraphId());
    bookmarks_ = std::make_unique<BookmarkTable>(*story_);
    SetSelection(Clamp(SelectionStart()), Clamp(SelectionEnd()));
    Changed(*main_);
}

void DocxDocument::InsertNewParagraphs(Story& theirs, const Wml& theirNames,
                                       const NewParagraphs& block, RevisionStamp& stamp) {
    // They go beside the paragraph of ours that shares their block (body
    // or table cell) in their version: after the one before them when
    // the paragraph before them in theirs shares it, else before the next.
    const Paragraph& first = theirs.ParagraphAtIndex(block.theirFirst);
    bool afterPrevious =
        block.after &&
        (!block.before ||
         (block.theirFirst > 0 &&
          Story::BlockOf(theirs.ParagraphAtIndex(block.theirFirst - 1)) == Story::BlockOf(first)));
    pugi::xml_node cursor = afterPrevious ? block.after : block.before;
    if (afterPrevious) {
        // Ends of bookmarks that close with the paragraph stay before the new ones.
        while (cursor.next_sibling() && Is(cursor.next_sibling(), names_.bookmarkEnd)) {
            cursor = cursor.next_sibling();
        }
    } else {
        while (cursor.previous_sibling() && Is(cursor.previous_sibling(), names_.bookmarkStart)) {
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
        AddParagraphFrom(source, theirNames, paragraph, stamp);
    }
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
