// The story's position index: a Fenwick tree of paragraph lengths, so that
// finding a position and moving those after an edit take logarithmic time.
#include <algorithm>

#include "host/docx/story.h"
#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host::docx {

long Story::Prefix(std::size_t count) const {
    long sum = 0;
    for (std::size_t i = count; i > 0; i -= i & (~i + 1)) {
        sum += tree_[i - 1];
    }
    return sum;
}

void Story::FenwickAdd(std::size_t index, long delta) {
    for (std::size_t i = index + 1; i <= tree_.size(); i += i & (~i + 1)) {
        tree_[i - 1] += delta;
    }
}

void Story::FenwickPush(long value) {
    std::size_t i = tree_.size() + 1;
    std::size_t low = i & (~i + 1);
    // Node i covers the paragraphs (i - low, i].
    tree_.push_back(value + Prefix(i - 1) - Prefix(i - low));
}

void Story::FenwickRebuild() {
    tree_.assign(paragraphs_.size(), 0);
    for (std::size_t i = 0; i < paragraphs_.size(); ++i) {
        tree_[i] += paragraphs_[i]->length + 1;
        std::size_t parent = (i + 1) + ((i + 1) & (~(i + 1) + 1));
        if (parent <= tree_.size()) {
            tree_[parent - 1] += tree_[i];
        }
    }
}

long Story::End() const {
    return Prefix(tree_.size());
}

long Story::StartOf(const Paragraph& paragraph) const {
    return Prefix(paragraph.index);
}

std::pair<Paragraph*, long> Story::Locate(long position) const {
    if (paragraphs_.empty()) {
        throw HostError(WordError::COMMAND_FAILED, "the document has no paragraph");
    }
    position = std::clamp(position, 0L, End() - 1);
    // Descend the tree for the last paragraph whose start is <= position.
    std::size_t index = 0;
    long remaining = position;
    std::size_t step = 1;
    while (step * 2 <= tree_.size()) {
        step *= 2;
    }
    for (; step > 0; step /= 2) {
        if (index + step <= tree_.size() && tree_[index + step - 1] <= remaining) {
            index += step;
            remaining -= tree_[index - 1];
        }
    }
    return {paragraphs_[index], remaining};
}

long Story::PositionOf(const Paragraph* paragraph, const pugi::xml_node& marker) const {
    if (paragraph == nullptr) {
        return End();
    }
    long offset = 0;
    for (const auto& piece : paragraph->pieces) {
        if (piece.node == marker) {
            return StartOf(*paragraph) + offset;
        }
        offset += piece.length;
    }
    return StartOf(*paragraph);  // between blocks, before the paragraph
}

std::size_t Story::ContentAt(const Paragraph& paragraph, long offset, long& pieceStart) const {
    long at = 0;
    for (std::size_t i = 0; i < paragraph.pieces.size(); ++i) {
        const Piece& piece = paragraph.pieces[i];
        if (piece.length > 0 && offset < at + static_cast<long>(piece.length)) {
            pieceStart = at;
            return i;
        }
        at += piece.length;
    }
    pieceStart = at;
    return paragraph.pieces.size();
}

}  // namespace veln::host::docx
