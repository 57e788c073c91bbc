// The selection of a document's window: an insertion point or a range.
#pragma once

#include "host/word/range.h"

namespace veln::host {

class Document;

enum class WdUnits { wdCharacter = 1, wdWord = 2, wdSentence = 3, wdParagraph = 4, wdStory = 6 };
enum class WdMovementType { wdMove = 0, wdExtend = 1 };
enum class WdCollapseDirection { wdCollapseEnd = 0, wdCollapseStart = 1 };

// Selection.Type values.
inline constexpr int wdSelectionIP = 1;
inline constexpr int wdSelectionNormal = 2;

class Selection {
  public:
    explicit Selection(Document& document) : document_(&document) {}

    int Type() const;  // wdSelectionIP for an insertion point
    long Start() const;
    long End() const;
    host::Range Range() const;
    int BookmarkID() const;
    void SetRange(long start, long end);
    // Moves the end (or start) to the end (or start) of the unit; with
    // wdExtend the other end stays, with wdMove the selection collapses there.
    void EndOf(WdUnits unit, WdMovementType extend);
    void StartOf(WdUnits unit, WdMovementType extend);
    void Collapse(WdCollapseDirection direction = WdCollapseDirection::wdCollapseStart);

  private:
    Document* document_;
};

}  // namespace veln::host
