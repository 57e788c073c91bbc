// Editing in the document view: typing, deleting, Enter and pasted text made
// into edits of the document model, each with its way back for undo and redo.
// A paragraph mark is put in or taken out as the model does it; what the
// model refuses (joining two table cells) changes nothing at all. Text typed
// just before an element's number lands before the element, and Enter at the
// end of an element's last paragraph starts a paragraph after it.
#pragma once

#include <QUndoStack>
#include <cstdint>
#include <string>
#include <vector>

#include "host/word/document.h"

namespace veln::desktop {

// One change of the model and what undoes it.
struct EditStep {
    enum class Kind { Insert, Delete, Split, Join, MoveBookmark, Highlight, FontStyle };
    Kind kind;
    long position;
    std::string text;  // inserted or deleted text, within one paragraph; a moved bookmark's name
    // A moved bookmark's edges, before and after the move.
    long fromStart = 0;
    long fromEnd = 0;
    long toStart = 0;
    long toEnd = 0;
    // A highlight changed over [position, toEnd): its colour before and
    // after; or a font style (on 1, off 0).
    int fromColour = 0;
    int toColour = 0;
    host::FontStyle style = host::FontStyle::Bold;
};

// Edits of one kind made one after the other, which undo takes back as one
// step: typing, Backspace, Delete. The values are the undo commands' ids.
enum class EditRun : std::uint8_t { None = 0, Typing = 1, Backspacing = 2, Deleting = 3 };

class DocumentEditor {
  public:
    explicit DocumentEditor(host::Document& document);

    // Each replaces the selection [start, end) and returns the caret after
    // the edit; a refused edit throws host::HostError and changes nothing.
    long Type(long start, long end, const std::string& text, bool overtype);
    long Backspace(long start, long end);
    long Delete(long start, long end);
    long Enter(long start, long end);
    long Paste(long start, long end, const std::string& text);
    // Bold, italic or underline over [start, end): on, unless every
    // character has it already, and then off. One step to undo.
    void Format(long start, long end, host::FontStyle style);

    host::Document& Target() { return document_; }
    QUndoStack& UndoStack() { return undo_; }
    // Forgets the history: the document changed under it.
    void ForgetHistory() { undo_.clear(); }

    // Applies steps in order, or their inverses backwards; used by the undo
    // commands.
    void Apply(const std::vector<EditStep>& steps);
    void Revert(const std::vector<EditStep>& steps);

    // Pasted text as the story takes it: line ends become paragraph marks
    // ("\n"), control characters other than tabs are dropped.
    static std::string CleanPaste(const std::string& text);

  private:
    // Replaces [start, end) with text in which "\n" ends a paragraph; the
    // steps done are appended to steps. On failure the steps done are undone.
    long Replace(long start, long end, const std::string& text, std::vector<EditStep>& steps);
    void DeleteRange(long start, long end, std::vector<EditStep>& steps);
    // The name of the innermost element whose start, or end, is at position.
    std::string ElementStartingAt(long position) const;
    std::string ElementEndingAt(long position) const;
    // Moves a bookmark's edges to [start, end), as a step of the edit.
    void MoveBookmark(const std::string& name, long start, long end, std::vector<EditStep>& steps);
    void Do(const EditStep& step, std::vector<EditStep>& steps);
    void Undo(const EditStep& step);
    long Commit(std::vector<EditStep> steps, long before, long after, EditRun run);

    host::Document& document_;
    QUndoStack undo_;
};

}  // namespace veln::desktop
