// An oracle for the positions of the main story. It keeps a plain reference
// of a document (its characters, the highlight of each, its bookmarks as two
// positions) and moves it by the documented rules while the same random edits
// go to the document model: inserted text lies inside a bookmark that starts
// where it goes (an empty one too) and outside one that ends there; deleted
// positions go to the deletion's start; paragraph marks go at the end of a
// paragraph. After each edit the model must agree with the reference, and
// with itself saved and read back.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/word/document.h"

namespace veln::test {

class EditOracle {
  public:
    // Takes the reference from what document holds now.
    explicit EditOracle(const host::Document& document);

    // Makes one random edit valid for the current state, from the numbers
    // next draws, and applies it to document and to the reference. Returns
    // what it did ("insert 12 \"ab\""), for the report of a difference.
    std::string Apply(host::Document& document, const std::function<std::uint32_t()>& next);

    // The first difference between document and the reference, "" when none.
    std::string DifferenceFrom(const host::Document& document) const;

    // The first difference between two documents (text, paragraphs,
    // bookmarks in their order, highlight), "" when none.
    static std::string Difference(const host::Document& a, const host::Document& b);

  private:
    void Insert(long position, const std::u32string& text, int highlight);
    void Delete(long start, long end);
    std::pair<long, long> ParagraphOf(long position) const;

    std::u32string text_;
    std::vector<int> highlight_;  // per character; paragraph marks keep 0
    std::map<std::string, std::pair<long, long>> bookmarks_;
};

}  // namespace veln::test
