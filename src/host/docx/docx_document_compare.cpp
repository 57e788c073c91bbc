// Comparing a document with another version of it: the differences are
// written into this document as tracked changes, by the author "VELN".
#include <algorithm>
#include <array>
#include <ctime>

#include "host/docx/block_tree.h"
#include "host/docx/comparison.h"
#include "host/docx/docx_document.h"

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

}  // namespace

void DocxDocument::Compare(const std::string& path) {
    pugi::xml_node body = main_->Root().child(names_.body.c_str());
    {
        std::unique_ptr<DocxDocument> other = Open(path);
        std::vector<Block> ours = BlocksOf(*story_, body);
        const std::vector<Block> theirs =
            BlocksOf(*other->story_, other->main_->Root().child(other->names_.body.c_str()));
        if (HashesOf(ours) == HashesOf(theirs)) {
            return;
        }
        RevisionStamp stamp{COMPARE_AUTHOR, NowUtc(), HighestId(main_->Root(), names_) + 1};
        Comparison(*story_, other->names_, stamp).CompareBlocks(ours, theirs, body);
    }
    // Read the story again over the changed XML, the other version and the
    // old story let go first; paragraph ids go on.
    const std::uint64_t lastParagraphId = story_->LastParagraphId();
    bookmarks_.reset();
    story_.reset();
    story_ = std::make_unique<Story>(body, names_, lastParagraphId);
    bookmarks_ = std::make_unique<BookmarkTable>(*story_);
    SetSelection(Clamp(SelectionStart()), Clamp(SelectionEnd()));
    Changed(*main_);
}

}  // namespace veln::host::docx
