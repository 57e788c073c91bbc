#include "host/docx/comparison.h"

#include <algorithm>
#include <array>
#include <functional>
#include <unordered_map>
#include <utility>

#include "host/diff/block_steps.h"
#include "host/diff/word_diff.h"
#include "host/utf8.h"

namespace veln::host::docx {

using diff::Change;
using diff::ChangesBetween;
using diff::Rewritten;
using diff::Step;
using diff::Steps;
using diff::Words;

namespace {

// The words of the paragraphs of a stretch, cut once however often weighed.
class WordsCache {
  public:
    explicit WordsCache(const std::vector<Block>& blocks) : blocks_(blocks) {}
    const Words& At(std::size_t index) {
        auto found = words_.find(index);
        if (found == words_.end()) {
            found = words_.emplace(index, WordsOf(*blocks_[index].paragraph)).first;
        }
        return found->second;
    }

  private:
    const std::vector<Block>& blocks_;
    std::unordered_map<std::size_t, Words> words_;  // only of the stretches weighed
};

// Properties a copied element keeps no record of: the changes made to them.
constexpr std::array<const char*, 5> RECORDED_CHANGES{"ins", "del", "cellIns", "cellDel",
                                                      "cellMerge"};

}  // namespace

Comparison::Comparison(Story& ours, const Wml& theirNames, RevisionStamp& stamp)
    : story_(ours),
      n_(ours.Names()),
      theirs_(theirNames),
      sameNames_(theirNames.wPrefix == ours.Names().wPrefix &&
                 theirNames.strict == ours.Names().strict),
      stamp_(stamp) {}

void Comparison::CompareBlocks(std::vector<Block>& ours, const std::vector<Block>& theirs,
                               pugi::xml_node container) {
    const std::vector<std::uint64_t> ourHashes = HashesOf(ours);
    const std::vector<std::uint64_t> theirHashes = HashesOf(theirs);
    if (ourHashes == theirHashes) {
        return;
    }
    WordsCache ourWords(ours);
    WordsCache theirWords(theirs);
    Steps steps;
    steps.alike = [&](std::size_t i, std::size_t j) {
        if (ours[i].IsTable() || theirs[j].IsTable()) {
            return ours[i].IsTable() && theirs[j].IsTable();
        }
        return !Rewritten(ourWords.At(i), theirWords.At(j));
    };
    // A paragraph that closes a run before a table or the end keeps its mark:
    // it is edited in place, even when rewritten.
    steps.closing = [&](std::size_t ourEnd, std::size_t i, std::size_t j) {
        return (ourEnd == ours.size() || ours[ourEnd].IsTable()) && !ours[i].IsTable() &&
               !theirs[j].IsTable();
    };
    steps.pair = [&](std::size_t i, std::size_t j) {
        if (ours[i].IsTable()) {
            CompareTables(ours[i], theirs[j]);
        } else {
            CompareParagraphs(*ours[i].paragraph, *theirs[j].paragraph);
        }
    };
    steps.remove = [&](std::size_t i) { Delete(ours[i]); };
    steps.insert = [&](std::size_t ourAt, std::size_t theirFirst, std::size_t count) {
        Place place{ourAt > 0 ? ours[ourAt - 1].node : pugi::xml_node(),
                    ourAt < ours.size() ? ours[ourAt].node : pugi::xml_node(), container};
        for (std::size_t k = theirFirst; k < theirFirst + count; ++k) {
            pugi::xml_node node = NewNodeAt(place, theirs[k].IsTable() ? n_.tbl : n_.p);
            AddBlock(theirs[k], node);
            if (!theirs[k].IsTable()) {
                TakeInEndsBefore(node);
            }
        }
    };
    Step(ourHashes, theirHashes, steps);
    KeepClosingMarks(container);
}

void Comparison::KeepClosingMarks(pugi::xml_node container) {
    std::vector<pugi::xml_node> run;
    for (pugi::xml_node child : container.children()) {
        const Tag tag = n_.TagOf(child);
        if (tag == Tag::p) {
            run.push_back(child);
        } else if (tag == Tag::tbl || tag == Tag::sdt || tag == Tag::customXml) {
            KeepClosingMark(run);
            run.clear();
        }
    }
    KeepClosingMark(run);
}

void Comparison::KeepClosingMark(const std::vector<pugi::xml_node>& run) {
    if (run.empty()) {
        return;
    }
    const MarkChange last = story_.MarkChangeOf(run.back());
    if (last != MarkChange::Deleted && last != MarkChange::Inserted) {
        return;
    }
    // The paragraphs after the unchanged mark found hold no text in the
    // version where their marks do not show: moving the change to that mark
    // joins the same text, closed by the last mark.
    for (std::size_t j = run.size() - 1; j-- > 0;) {
        const MarkChange change = story_.MarkChangeOf(run[j]);
        if (change == MarkChange::None) {
            story_.SetMarkChange(run[j], last, stamp_);
            story_.SetMarkChange(run.back(), MarkChange::None, stamp_);
            return;
        }
        if (change != last) {
            return;
        }
    }
}

void Comparison::CompareTables(Block& ours, const Block& theirs) {
    Steps steps;
    steps.alike = [&](std::size_t i, std::size_t j) {
        return ours.rows[i].cells.size() == theirs.rows[j].cells.size();
    };
    steps.pair = [&](std::size_t i, std::size_t j) {
        std::vector<Cell>& ourCells = ours.rows[i].cells;
        for (std::size_t k = 0; k < ourCells.size(); ++k) {
            CompareBlocks(ourCells[k].blocks, theirs.rows[j].cells[k].blocks, ourCells[k].node);
        }
    };
    steps.remove = [&](std::size_t i) { DeleteRow(ours.rows[i]); };
    steps.insert = [&](std::size_t ourAt, std::size_t theirFirst, std::size_t count) {
        Place place{ourAt > 0 ? ours.rows[ourAt - 1].node : pugi::xml_node(),
                    ourAt < ours.rows.size() ? ours.rows[ourAt].node : pugi::xml_node(), ours.node};
        for (std::size_t k = theirFirst; k < theirFirst + count; ++k) {
            AddRow(theirs.rows[k], NewNodeAt(place, n_.tr));
        }
    };
    Step(HashesOf(ours.rows), HashesOf(theirs.rows), steps);
}

void Comparison::CompareParagraphs(Paragraph& ours, const Paragraph& theirs) {
    for (const Change& change : ChangesBetween(WordsOf(ours), WordsOf(theirs))) {
        if (change.insertion) {
            pugi::xml_node insertion = story_.InsertionAt(ours, change.at, stamp_);
            CopyContent(theirs, change.bStart, change.bEnd, insertion);
            story_.Refresh(ours);
        } else {
            story_.MarkDeleted(ours, change.at, change.end, stamp_);
        }
    }
}

void Comparison::Delete(Block& block) {
    if (block.IsTable()) {
        for (Row& row : block.rows) {
            DeleteRow(row);
        }
        return;
    }
    Paragraph& paragraph = *block.paragraph;
    story_.MarkDeleted(paragraph, 0, paragraph.length, stamp_);
    story_.MarkParagraph(paragraph.node, false, stamp_);
}

void Comparison::DeleteRow(Row& row) {
    story_.MarkRow(row.node, false, stamp_);
    for (Cell& cell : row.cells) {
        for (Block& block : cell.blocks) {
            Delete(block);
        }
    }
}

pugi::xml_node Comparison::NewNodeAt(Place& place, const std::string& name) const {
    pugi::xml_node node;
    if (place.after) {
        // Ends of bookmarks that close with the item before stay before the new ones.
        pugi::xml_node cursor = place.after;
        while (cursor.next_sibling() && Is(cursor.next_sibling(), n_.bookmarkEnd)) {
            cursor = cursor.next_sibling();
        }
        node = cursor.parent().insert_child_after(name.c_str(), cursor);
    } else if (place.before) {
        pugi::xml_node cursor = place.before;
        while (cursor.previous_sibling() && Is(cursor.previous_sibling(), n_.bookmarkStart)) {
            cursor = cursor.previous_sibling();
        }
        node = cursor.parent().insert_child_before(name.c_str(), cursor);
    } else {
        // An empty container: at its end, before the body's last section.
        pugi::xml_node last = place.container.last_child();
        node = last && Is(last, n_.sectPr) ? place.container.insert_child_before(name.c_str(), last)
                                           : place.container.append_child(name.c_str());
    }
    place.after = node;
    return node;
}

void Comparison::TakeInEndsBefore(pugi::xml_node paragraph) const {
    std::vector<pugi::xml_node> ends;
    for (pugi::xml_node previous = paragraph.previous_sibling();
         previous && Is(previous, n_.bookmarkEnd); previous = previous.previous_sibling()) {
        ends.push_back(previous);
    }
    std::reverse(ends.begin(), ends.end());
    pugi::xml_node after = paragraph.child(n_.pPr.c_str());
    for (pugi::xml_node end : ends) {
        after = after ? paragraph.insert_move_after(end, after) : paragraph.prepend_move(end);
    }
}

void Comparison::AddBlock(const Block& theirs, pugi::xml_node node) {
    if (theirs.IsTable()) {
        AddTable(theirs, node);
    } else {
        AddParagraph(*theirs.paragraph, node);
    }
}

void Comparison::AddTable(const Block& theirs, pugi::xml_node table) {
    CopyProperties(theirs.node, table, "tblPr");
    CopyProperties(theirs.node, table, "tblGrid");
    for (const Row& row : theirs.rows) {
        AddRow(row, table.append_child(n_.tr.c_str()));
    }
}

void Comparison::AddRow(const Row& theirs, pugi::xml_node row) {
    CopyProperties(theirs.node, row, "trPr");
    story_.MarkRow(row, true, stamp_);
    for (const Cell& cell : theirs.cells) {
        pugi::xml_node into = row.append_child(n_.tc.c_str());
        CopyProperties(cell.node, into, "tcPr");
        for (const Block& block : cell.blocks) {
            AddBlock(block, into.append_child(block.IsTable() ? n_.tbl.c_str() : n_.p.c_str()));
        }
        // A cell ends with a paragraph.
        if (cell.blocks.empty() || cell.blocks.back().IsTable()) {
            story_.MarkParagraph(into.append_child(n_.p.c_str()), true, stamp_);
        }
    }
}

void Comparison::AddParagraph(const Paragraph& theirs, pugi::xml_node paragraph) {
    if (pugi::xml_node properties = theirs.node.child(theirs_.pPr.c_str());
        properties && sameNames_) {
        pugi::xml_node copy = paragraph.append_copy(properties);
        // A new paragraph brings no section of its own, and no earlier changes.
        copy.remove_child(n_.sectPr.c_str());
        copy.remove_child(n_.W("pPrChange").c_str());
        pugi::xml_node mark = copy.child(n_.rPr.c_str());
        for (const std::string& change : {n_.ins, n_.del, n_.moveFrom, n_.moveTo}) {
            mark.remove_child(change.c_str());
        }
    }
    story_.MarkParagraph(paragraph, true, stamp_);
    if (theirs.length > 0) {
        CopyContent(theirs, 0, theirs.length, story_.AppendInsertion(paragraph, stamp_));
    }
}

void Comparison::CopyContent(const Paragraph& from, long start, long end,
                             pugi::xml_node into) const {
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
            run = into.append_child(n_.r.c_str());
            if (pugi::xml_node properties = sourceRun.child(theirs_.rPr.c_str());
                properties && sameNames_) {
                run.append_copy(properties);
            }
        }
        if (piece.kind == PieceKind::Text) {
            std::string_view value = piece.node.child_value();
            std::size_t first = ByteOffset(value, std::max(start, at) - at);
            std::size_t last = ByteOffset(value, std::min(end, pieceEnd) - at);
            pugi::xml_node t = run.append_child(n_.t.c_str());
            t.append_attribute("xml:space").set_value("preserve");
            t.text().set(std::string(value.substr(first, last - first)).c_str());
        } else if (sameNames_) {
            run.append_copy(piece.node);
        } else {
            std::string character;
            AppendCodePoint(character, piece.ch);
            run.append_child(n_.t.c_str()).text().set(character.c_str());
        }
        at = pieceEnd;
    }
}

void Comparison::CopyProperties(pugi::xml_node from, pugi::xml_node into, const char* local) const {
    pugi::xml_node properties = from.child(theirs_.W(local).c_str());
    if (!properties || !sameNames_) {
        return;
    }
    pugi::xml_node copy = into.append_copy(properties);
    copy.remove_child(n_.W((std::string(local) + "Change").c_str()).c_str());
    for (const char* change : RECORDED_CHANGES) {
        copy.remove_child(n_.W(change).c_str());
    }
}

}  // namespace veln::host::docx
