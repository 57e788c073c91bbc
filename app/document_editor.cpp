#include "document_editor.h"

#include <algorithm>
#include <stdexcept>

#include "elements/elements.h"
#include "host/utf8.h"

namespace veln::desktop {

namespace {

class EditCommand : public QUndoCommand {
  public:
    EditCommand(DocumentEditor& editor, std::vector<EditStep> steps, long before, long after,
                EditRun run)
        : editor_(editor), steps_(std::move(steps)), before_(before), after_(after), run_(run) {}

    // The edit is made before the command is pushed: its first redo is a no-op.
    void redo() override {
        if (done_) {
            done_ = false;
            return;
        }
        editor_.Apply(steps_);
        editor_.Target().SetSelection(after_, after_);
    }
    void undo() override {
        editor_.Revert(steps_);
        editor_.Target().SetSelection(before_, before_);
    }
    // Commands of one run share an id, under which they merge.
    int id() const override { return run_ == EditRun::None ? -1 : static_cast<int>(run_); }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = dynamic_cast<const EditCommand*>(other);
        // Characters typed, or taken out, one after the other are one step to undo.
        if (next == nullptr || next->run_ != run_ || next->before_ != after_ ||
            next->steps_.size() != 1) {
            return false;
        }
        const EditStep& added = next->steps_.front();
        EditStep& last = steps_.back();
        if (added.kind != last.kind || !Follows(last, added)) {
            return false;
        }
        if (run_ == EditRun::Backspacing) {
            last.text = added.text + last.text;
            last.position = added.position;
        } else {
            last.text += added.text;
        }
        after_ = next->after_;
        return true;
    }

  private:
    // Whether added goes on from last as the run goes: typed after it, taken
    // out before it (Backspace) or at its place (Delete).
    bool Follows(const EditStep& last, const EditStep& added) const {
        switch (run_) {
            case EditRun::Typing:
                return added.kind == EditStep::Kind::Insert &&
                       added.position == last.position + host::CountCharacters(last.text);
            case EditRun::Backspacing:
                return added.kind == EditStep::Kind::Delete &&
                       added.position + host::CountCharacters(added.text) == last.position;
            case EditRun::Deleting:
                return added.kind == EditStep::Kind::Delete && added.position == last.position;
            case EditRun::None:
                break;
        }
        return false;
    }

  private:
    DocumentEditor& editor_;
    std::vector<EditStep> steps_;
    long before_;
    long after_;
    EditRun run_;
    bool done_ = true;
};

}  // namespace

DocumentEditor::DocumentEditor(host::Document& document) : document_(document) {}

void DocumentEditor::Do(const EditStep& step, std::vector<EditStep>& steps) {
    switch (step.kind) {
        case EditStep::Kind::Insert:
            document_.InsertText(step.position, step.text);
            break;
        case EditStep::Kind::Delete:
            document_.DeleteText(step.position, step.position + host::CountCharacters(step.text));
            break;
        case EditStep::Kind::Split:
            document_.SplitParagraph(step.position);
            break;
        case EditStep::Kind::Join:
            document_.JoinParagraphs(step.position);
            break;
        case EditStep::Kind::MoveBookmark:
            document_.SetBookmark(step.text, step.toStart, step.toEnd);
            break;
        case EditStep::Kind::Highlight:
            document_.SetHighlight(step.position, step.toEnd, step.toColour);
            break;
        case EditStep::Kind::FontStyle:
            document_.SetFontStyle(step.position, step.toEnd, step.style, step.toColour != 0);
            break;
    }
    steps.push_back(step);
}

void DocumentEditor::Undo(const EditStep& step) {
    switch (step.kind) {
        case EditStep::Kind::Insert:
            document_.DeleteText(step.position, step.position + host::CountCharacters(step.text));
            break;
        case EditStep::Kind::Delete:
            document_.InsertText(step.position, step.text);
            break;
        case EditStep::Kind::Split:
            document_.JoinParagraphs(step.position);
            break;
        case EditStep::Kind::Join:
            document_.SplitParagraph(step.position);
            break;
        case EditStep::Kind::MoveBookmark:
            document_.SetBookmark(step.text, step.fromStart, step.fromEnd);
            break;
        case EditStep::Kind::Highlight:
            document_.SetHighlight(step.position, step.toEnd, step.fromColour);
            break;
        case EditStep::Kind::FontStyle:
            document_.SetFontStyle(step.position, step.toEnd, step.style, step.fromColour != 0);
            break;
    }
}

void DocumentEditor::Format(long start, long end, host::FontStyle style) {
    // The characters' state as the view shows them, in stretches of one state.
    std::vector<EditStep> steps;
    bool all = true;
    for (long index = document_.ParagraphIndexAt(start);
         index < document_.ParagraphCount() && document_.ParagraphStart(index) < end; ++index) {
        const host::ParagraphLook look = document_.LookOfParagraph(index);
        long at = look.start;
        for (const host::FormattedRun& run : look.runs) {
            const long from = std::max(at, start);
            const long to = std::min(at + run.length, end);
            at += run.length;
            if (from >= to) {
                continue;
            }
            const bool on = style == host::FontStyle::Bold     ? run.format.bold
                            : style == host::FontStyle::Italic ? run.format.italic
                                                               : run.format.underline;
            all = all && on;
            EditStep step{EditStep::Kind::FontStyle, from, {}};
            step.toEnd = to;
            step.fromColour = on ? 1 : 0;
            step.style = style;
            steps.push_back(step);
        }
    }
    if (steps.empty()) {
        return;
    }
    std::vector<EditStep> done;
    for (EditStep& step : steps) {
        step.toColour = all ? 0 : 1;
        Do(step, done);
    }
    Commit(std::move(done), start, end, EditRun::None);
}

std::string DocumentEditor::ElementStartingAt(long position) const {
    // The innermost: the last of those that start there.
    std::vector<host::BookmarkInfo> starting = document_.BookmarksStartingAt(position, false);
    auto element = std::find_if(starting.rbegin(), starting.rend(), [&](const auto& bookmark) {
        return bookmark.end > position && Elements::IsElementBookmark(bookmark.name);
    });
    return element == starting.rend() ? std::string() : element->name;
}

std::string DocumentEditor::ElementEndingAt(long position) const {
    const int id = position > 0 ? document_.BookmarkIdAt(position - 1, false) : 0;
    if (id == 0) {
        return {};
    }
    host::BookmarkInfo bookmark = document_.BookmarkItem(id, false);
    return bookmark.end == position && Elements::IsElementBookmark(bookmark.name) ? bookmark.name
                                                                                  : std::string();
}

void DocumentEditor::MoveBookmark(const std::string& name, long start, long end,
                                  std::vector<EditStep>& steps) {
    std::optional<host::BookmarkInfo> now = document_.FindBookmark(name);
    if (now && (now->start != start || now->end != end)) {
        Do({EditStep::Kind::MoveBookmark, start, name, now->start, now->end, start, end}, steps);
    }
}

void DocumentEditor::Apply(const std::vector<EditStep>& steps) {
    std::vector<EditStep> done;
    for (const EditStep& step : steps) {
        Do(step, done);
    }
}

void DocumentEditor::Revert(const std::vector<EditStep>& steps) {
    // Backwards: each step undoes what the ones after it built on.
    for (std::size_t i = steps.size(); i-- > 0;) {
        Undo(steps[i]);
    }
}

void DocumentEditor::DeleteRange(long start, long end, std::vector<EditStep>& steps) {
    // Every paragraph mark in the range must be one the model can take out:
    // checked first, so that a refused deletion changes nothing.
    long first = document_.ParagraphIndexAt(start);
    long last = document_.ParagraphIndexAt(std::max(start, end - 1));
    for (long index = first; index < last; ++index) {
        if (document_.StampOfParagraph(index).block !=
            document_.StampOfParagraph(index + 1).block) {
            throw host::HostError(host::WordError::COMMAND_FAILED,
                                  "paragraphs of different table cells cannot be joined");
        }
    }
    while (start < end) {
        long mark = document_.ParagraphAt(start).second - 1;
        if (end <= mark) {
            Do({EditStep::Kind::Delete, start, document_.TextOf(start, end)}, steps);
            return;
        }
        if (start < mark) {
            Do({EditStep::Kind::Delete, start, document_.TextOf(start, mark)}, steps);
            end -= mark - start;
        }
        Do({EditStep::Kind::Join, start, {}}, steps);
        end -= 1;
    }
}

long DocumentEditor::Replace(long start, long end, const std::string& text,
                             std::vector<EditStep>& steps) {
    std::size_t done = steps.size();
    try {
        DeleteRange(start, end, steps);
        long at = start;
        std::size_t from = 0;
        while (from <= text.size()) {
            std::size_t line = text.find('\n', from);
            std::string part =
                text.substr(from, line == std::string::npos ? text.npos : line - from);
            if (!part.empty()) {
                Do({EditStep::Kind::Insert, at, part}, steps);
                at += host::CountCharacters(part);
            }
            if (line == std::string::npos) {
                break;
            }
            Do({EditStep::Kind::Split, at, {}}, steps);
            at += 1;
            from = line + 1;
        }
        return at;
    } catch (...) {
        while (steps.size() > done) {
            Undo(steps.back());
            steps.pop_back();
        }
        throw;
    }
}

long DocumentEditor::Commit(std::vector<EditStep> steps, long before, long after, EditRun run) {
    document_.SetSelection(after, after);
    if (!steps.empty()) {
        undo_.push(new EditCommand(*this, std::move(steps), before, after, run));
    }
    return after;
}

long DocumentEditor::Type(long start, long end, const std::string& text, bool overtype) {
    std::vector<EditStep> steps;
    if (overtype && start == end) {
        // Overtype eats the next character of the paragraph, never its mark.
        long mark = document_.ParagraphAt(start).second - 1;
        end = std::min(mark, start + host::CountCharacters(text));
    }
    // Typed right before an element's number: before the element.
    const std::string element = start == end ? ElementStartingAt(start) : std::string();
    long after = Replace(start, end, text, steps);
    if (!element.empty()) {
        MoveBookmark(element, after, document_.FindBookmark(element)->end, steps);
        // Without the element's highlight: as the character before, if any.
        const bool first = start == document_.ParagraphAt(start).first;
        const int colour = first ? 0 : document_.HighlightOf(start - 1, start);
        const int typed = document_.HighlightOf(start, after);
        if (colour != typed) {
            EditStep highlight{EditStep::Kind::Highlight, start, {}};
            highlight.toEnd = after;
            highlight.fromColour = typed;
            highlight.toColour = colour;
            Do(highlight, steps);
        }
    }
    return Commit(std::move(steps), start, after, start == end ? EditRun::Typing : EditRun::None);
}

long DocumentEditor::Backspace(long start, long end) {
    const EditRun run = start == end ? EditRun::Backspacing : EditRun::None;
    if (start == end) {
        if (start == 0) {
            return start;
        }
        --start;
    }
    std::vector<EditStep> steps;
    long after = Replace(start, end, {}, steps);
    return Commit(std::move(steps), end, after, run);
}

long DocumentEditor::Delete(long start, long end) {
    const EditRun run = start == end ? EditRun::Deleting : EditRun::None;
    if (start == end) {
        // The last paragraph mark stays.
        if (start >= document_.StoryEnd() - 1) {
            return start;
        }
        ++end;
    }
    std::vector<EditStep> steps;
    long after = Replace(start, end, {}, steps);
    return Commit(std::move(steps), start, after, run);
}

long DocumentEditor::Enter(long start, long end) {
    std::vector<EditStep> steps;
    // At the end of an element's last paragraph, the element ending with
    // its mark: the new paragraph comes after the element.
    const bool atMark = start == end && start == document_.ParagraphAt(start).second - 1;
    const std::string element = atMark ? ElementEndingAt(start + 1) : std::string();
    long after = Replace(start, end, "\n", steps);
    if (!element.empty()) {
        MoveBookmark(element, document_.FindBookmark(element)->start, after, steps);
    }
    return Commit(std::move(steps), start, after, EditRun::None);
}

long DocumentEditor::Paste(long start, long end, const std::string& text) {
    std::vector<EditStep> steps;
    long after = Replace(start, end, CleanPaste(text), steps);
    return Commit(std::move(steps), start, after, EditRun::None);
}

std::string DocumentEditor::CleanPaste(const std::string& text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            clean += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n' || c == '\t' || c >= 0x20) {
            clean += static_cast<char>(c);
        }
    }
    return clean;
}

}  // namespace veln::desktop
