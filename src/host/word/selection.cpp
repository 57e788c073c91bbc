#include "host/word/selection.h"

#include "host/word/document.h"

namespace veln::host {

namespace {

std::pair<long, long> UnitAt(Document& document, WdUnits unit, long position) {
    if (unit == WdUnits::wdStory) {
        return {0, document.StoryEnd()};
    }
    if (unit != WdUnits::wdParagraph) {
        throw HostError(WordError::COMMAND_FAILED, "only paragraph and story units are supported");
    }
    return document.ParagraphAt(position);
}

}  // namespace

int Selection::Type() const {
    return document_->SelectionStart() == document_->SelectionEnd() ? wdSelectionIP
                                                                    : wdSelectionNormal;
}

long Selection::Start() const {
    return document_->SelectionStart();
}

long Selection::End() const {
    return document_->SelectionEnd();
}

host::Range Selection::Range() const {
    return host::Range(*document_, Start(), End());
}

int Selection::BookmarkID() const {
    return document_->BookmarkIdAt(Start(), document_->BookmarkShowHidden);
}

void Selection::SetRange(long start, long end) {
    document_->SetSelection(start, end);
}

void Selection::EndOf(WdUnits unit, WdMovementType extend) {
    // The end of the unit that holds the last selected character.
    long at = End() > Start() ? End() - 1 : End();
    long end = UnitAt(*document_, unit, at).second;
    if (extend == WdMovementType::wdExtend) {
        document_->SetSelection(Start(), end);
    } else {
        document_->SetSelection(end, end);
    }
}

void Selection::StartOf(WdUnits unit, WdMovementType extend) {
    long start = UnitAt(*document_, unit, Start()).first;
    if (extend == WdMovementType::wdExtend) {
        document_->SetSelection(start, End());
    } else {
        document_->SetSelection(start, start);
    }
}

void Selection::Collapse(WdCollapseDirection direction) {
    long at = direction == WdCollapseDirection::wdCollapseStart ? Start() : End();
    document_->SetSelection(at, at);
}

}  // namespace veln::host
