// A story's body as the blocks a comparison matches: paragraphs, and tables
// of rows of cells that hold blocks again. Each carries a hash of its text
// and its shape, so that equal blocks are found without reading them twice.
// Content controls and custom XML around blocks are seen through; a table
// with paragraphs outside its cells is not a table here but its paragraphs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "host/diff/word_diff.h"
#include "host/docx/story.h"

namespace veln::host::docx {

struct Row;

struct Block {
    pugi::xml_node node;             // w:p or w:tbl
    Paragraph* paragraph = nullptr;  // nullptr for a table
    std::vector<Row> rows;
    std::uint64_t hash = 0;

    bool IsTable() const { return paragraph == nullptr; }
};

struct Cell {
    pugi::xml_node node;  // w:tc
    std::vector<Block> blocks;
    std::uint64_t hash = 0;
};

struct Row {
    pugi::xml_node node;  // w:tr
    std::vector<Cell> cells;
    std::uint64_t hash = 0;
};

// The characters the story counts in a paragraph: text and special characters.
std::u32string CharactersOf(const Paragraph& paragraph);
inline diff::Words WordsOf(const Paragraph& paragraph) {
    return diff::WordsOf(CharactersOf(paragraph));
}

// The blocks of story's body, each paragraph the story reads in exactly one.
std::vector<Block> BlocksOf(Story& story, pugi::xml_node body);

template <typename Item>
std::vector<std::uint64_t> HashesOf(const std::vector<Item>& items) {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(items.size());
    for (const Item& item : items) {
        hashes.push_back(item.hash);
    }
    return hashes;
}

}  // namespace veln::host::docx
