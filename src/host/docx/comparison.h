// A comparison of two versions of a document, written into ours as tracked
// changes: blocks are matched first, then the words of paragraphs that
// changed, the rows of tables that changed and the blocks of their cells.
// What has no counterpart is taken out or put in whole: paragraphs with their
// marks, table rows as tracked rows, tables as tables of tracked rows. Our XML
// is only added to (deletions wrap its runs and mark its paragraphs and rows,
// insertions are new runs, paragraphs, rows and tables), so its bookmarks and
// formatting stay where they are, and accepting every change gives theirs.
#pragma once

#include <vector>

#include <pugixml.hpp>

#include "host/docx/block_tree.h"
#include "host/docx/story.h"
#include "host/docx/wml.h"

namespace veln::host::docx {

class Comparison {
  public:
    Comparison(Story& ours, const Wml& theirNames, RevisionStamp& stamp);

    // The blocks of one container of ours (the body, a cell) against theirs.
    void CompareBlocks(std::vector<Block>& ours, const std::vector<Block>& theirs,
                       pugi::xml_node container);

  private:
    void CompareTables(Block& ours, const Block& theirs);
    void CompareParagraphs(Paragraph& ours, const Paragraph& theirs);
    // A paragraph mark before a table or at the end of a body or cell cannot
    // be taken out: when the last of a run of paragraphs has a changed mark,
    // the mark before it that shows in the same version takes the change.
    void KeepClosingMarks(pugi::xml_node container);
    void KeepClosingMark(const std::vector<pugi::xml_node>& run);
    void Delete(Block& block);
    void DeleteRow(Row& row);

    // Where new blocks or rows go: after the item of ours before them, else
    // before the one after them, else at the end of the container.
    struct Place {
        pugi::xml_node after;
        pugi::xml_node before;
        pugi::xml_node container;
    };
    // Makes an empty element at place; successive calls at one place keep
    // their order.
    pugi::xml_node NewNodeAt(Place& place, const std::string& name) const;
    // Ends of bookmarks left between the block before and a new paragraph
    // go into the paragraph, at its start: the same place for a reader of
    // the story, and the one LibreOffice reads as after the mark before.
    void TakeInEndsBefore(pugi::xml_node paragraph) const;
    void AddBlock(const Block& theirs, pugi::xml_node node);
    void AddTable(const Block& theirs, pugi::xml_node table);
    void AddRow(const Row& theirs, pugi::xml_node row);
    void AddParagraph(const Paragraph& theirs, pugi::xml_node paragraph);
    // Their characters [start, end) as runs appended to into, with their
    // run's formatting when both parts name WordprocessingML alike.
    void CopyContent(const Paragraph& from, long start, long end, pugi::xml_node into) const;
    // Copies their properties element named local into ours, without the
    // changes it recorded; nothing when the parts name the format apart.
    void CopyProperties(pugi::xml_node from, pugi::xml_node into, const char* local) const;

    Story& story_;
    const Wml& n_;
    const Wml& theirs_;
    const bool sameNames_;
    RevisionStamp& stamp_;
};

}  // namespace veln::host::docx
