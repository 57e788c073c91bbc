#include "document_editor.h"

#include <stdexcept>

#include "host/utf8.h"

namespace veln::desktop {

namespace {

// The command id under which typed characters merge into one undo step.
constexpr int TYPING = 1;

class EditCommand : public QUndoCommand {
  public:
    EditCommand(DocumentEditor& editor, std::vector<EditStep> steps, long before, long after,
                bool typing)
        : editor_(editor),
          steps_(std::move(steps)),
          before_(before),
          after_(after),
          typing_(typing) {}

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
    int id() const override { return typing_ ? TYPING : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = dynamic_cast<const EditCommand*>(other);
        // Characters typed one after the other are one step to undo.
        if (next == nullptr || !next->typing_ || next->before_ != after_ ||
            next->steps_.size() != 1 || steps_.back().kind != EditStep::Kind::Insert) {
            return false;
        }
        const EditStep& added = next->steps_.front();
        EditStep& last = steps_.back();
        if (added.kind != EditStep::Kind::Insert ||
            added.position != last.position + host::CountCharacters(last.text)) {
            return false;
        }
        last.text += added.text;
        after_ = next->after_;
        return true;
    }

  private:
    DocumentEditor& editor_;
    std::vector<EditStep> steps_;
    long before_;
    long after_;
    bool typing_;
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

long DocumentEditor::Commit(std::vector<EditStep> steps, long before, long after, bool typing) {
    document_.SetSelection(after, after);
    if (!steps.empty()) {
        undo_.push(new EditCommand(*this, std::move(steps), before, after, typing));
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
    long after = Replace(start, end, text, steps);
    return Commit(std::move(steps), start, after, start == end);
}

long DocumentEditor::Backspace(long start, long end) {
    if (start == end) {
        if (start == 0) {
            return start;
        }
        --start;
    }
    std::vector<EditStep> steps;
    long after = Replace(start, end, {}, steps);
    return Commit(std::move(steps), end, after, false);
}

long DocumentEditor::Delete(long start, long end) {
    if (start == end) {
        // The last paragraph mark stays.
        if (start >= document_.StoryEnd() - 1) {
            return start;
        }
        ++end;
    }
    std::vector<EditStep> steps;
    long after = Replace(start, end, {}, steps);
    return Commit(std::move(steps), start, after, false);
}

long DocumentEditor::Enter(long start, long end) {
    std::vector<EditStep> steps;
    long after = Replace(start, end, "\n", steps);
    return Commit(std::move(steps), start, after, false);
}

long DocumentEditor::Paste(long start, long end, const std::string& text) {
    std::vector<EditStep> steps;
    long after = Replace(start, end, CleanPaste(text), steps);
    return Commit(std::move(steps), start, after, false);
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
