#include "host/docx/block_tree.h"

#include <optional>

#include "host/utf8.h"

namespace veln::host::docx {

namespace {

// Paragraphs and tables never hash alike, nor a row and the cells of another.
enum class Kind : std::uint64_t { Paragraph = 1, Table, Row, Cell };

std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
    constexpr std::uint64_t PRIME = 1099511628211ULL;
    return (hash ^ value) * PRIME + (value >> 29U);
}

template <typename Item>
std::uint64_t HashAll(Kind kind, const std::vector<Item>& items) {
    std::uint64_t hash = Mix(static_cast<std::uint64_t>(kind), items.size());
    for (const Item& item : items) {
        hash = Mix(hash, item.hash);
    }
    return hash;
}

class BlockReader {
  public:
    explicit BlockReader(Story& story) : story_(story), n_(story.Names()) {}

    // The story has read the same XML to the same depth: the walks here
    // recurse no deeper than it allowed.
    void AddBlocks(pugi::xml_node parent, std::vector<Block>& into) {
        for (pugi::xml_node child : parent.children()) {
            switch (n_.TagOf(child)) {
                case Tag::p:
                    AddParagraph(child, into);
                    break;
                case Tag::tbl:
                    if (std::optional<Block> table = TableOf(child)) {
                        into.push_back(std::move(*table));
                    } else {
                        AddBlocks(child, into);
                    }
                    break;
                case Tag::tr:
                case Tag::tc:
                case Tag::sdt:
                case Tag::sdtContent:
                case Tag::customXml:
                    AddBlocks(child, into);
                    break;
                default:
                    break;
            }
        }
    }

  private:
    // The story read the paragraphs in this walk's order.
    void AddParagraph(pugi::xml_node node, std::vector<Block>& into) {
        if (next_ >= story_.ParagraphCount() || story_.ParagraphAtIndex(next_).node != node) {
            return;
        }
        Paragraph& paragraph = story_.ParagraphAtIndex(next_++);
        Block block{node, &paragraph, {}, 0};
        block.hash =
            Mix(static_cast<std::uint64_t>(Kind::Paragraph), diff::HashOf(CharactersOf(paragraph)));
        into.push_back(std::move(block));
    }

    static bool IsWrapper(Tag tag) {
        return tag == Tag::sdt || tag == Tag::sdtContent || tag == Tag::customXml;
    }

    // False when something that holds paragraphs stands where only rows may.
    bool AddRows(pugi::xml_node parent, std::vector<Row>& into) {
        for (pugi::xml_node child : parent.children()) {
            Tag tag = n_.TagOf(child);
            if (tag == Tag::tr) {
                Row row{child, {}, 0};
                if (!AddCells(child, row.cells)) {
                    return false;
                }
                row.hash = HashAll(Kind::Row, row.cells);
                into.push_back(std::move(row));
            } else if (IsWrapper(tag)) {
                if (!AddRows(child, into)) {
                    return false;
                }
            } else if (tag == Tag::p || tag == Tag::tbl || tag == Tag::tc) {
                return false;
            }
        }
        return true;
    }

    bool AddCells(pugi::xml_node parent, std::vector<Cell>& into) {
        for (pugi::xml_node child : parent.children()) {
            Tag tag = n_.TagOf(child);
            if (tag == Tag::tc) {
                Cell cell{child, {}, 0};
                AddBlocks(child, cell.blocks);
                cell.hash = HashAll(Kind::Cell, cell.blocks);
                into.push_back(std::move(cell));
            } else if (IsWrapper(tag)) {
                if (!AddCells(child, into)) {
                    return false;
                }
            } else if (tag == Tag::p || tag == Tag::tbl || tag == Tag::tr) {
                return false;
            }
        }
        return true;
    }

    std::optional<Block> TableOf(pugi::xml_node table) {
        Block block{table, nullptr, {}, 0};
        const std::size_t first = next_;
        if (!AddRows(table, block.rows)) {
            next_ = first;
            return std::nullopt;
        }
        block.hash = HashAll(Kind::Table, block.rows);
        return block;
    }

    Story& story_;
    const Wml& n_;
    std::size_t next_ = 0;
};

}  // namespace

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

std::vector<Block> BlocksOf(Story& story, pugi::xml_node body) {
    std::vector<Block> blocks;
    BlockReader(story).AddBlocks(body, blocks);
    return blocks;
}

}  // namespace veln::host::docx
