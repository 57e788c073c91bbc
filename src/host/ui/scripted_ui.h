// A Ui without a screen: every dialog takes the next answer queued for its
// kind, and every dialog and form shown is written to a transcript. A dialog
// that nobody queued an answer for is an error that names it, so a test never
// hangs and never passes by accident.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/ui/ui.h"

namespace veln::host {

class UnansweredDialog : public NoOneToAnswer {
  public:
    using NoOneToAnswer::NoOneToAnswer;
};

// What a user does in a form: "click", "dblclick", "select", "text", "check",
// "option" or "print", on a control, with the action's arguments.
struct FormAction {
    std::string verb;
    std::string control;
    std::vector<std::string> args;
};

class ScriptedUi : public Ui {
  public:
    // Queue answers. std::nullopt is the user's Cancel. origin says where the
    // answer came from ("line 7"), for the report of answers never used.
    void AnswerMsgBox(int result, std::string origin = {}) {
        msgBoxes_.push_back({result, std::move(origin)});
    }
    void AnswerInput(std::optional<std::string> text, std::string origin = {}) {
        inputs_.push_back({std::move(text), std::move(origin)});
    }
    void AnswerFolder(std::optional<std::string> path, std::string origin = {}) {
        folders_.push_back({std::move(path), std::move(origin)});
    }
    void AnswerOpen(std::optional<std::string> path, std::string origin = {}) {
        opens_.push_back({std::move(path), std::move(origin)});
    }
    void AnswerForm(const std::string& formName, std::vector<FormAction> actions,
                    std::string origin = {});

    int MsgBox(const std::string& prompt, int flags = MsgBoxStyle::vbOKOnly,
               const std::string& title = "") override;
    std::string InputBox(const std::string& prompt, const std::string& title = "",
                         const std::string& defaultText = "") override;
    std::string BrowseFolder(const std::string& title) override;
    std::string ShowOpen(const std::string& filter, const std::string& defaultExtension,
                         const std::string& initialFolder, int flags) override;
    void Show(const std::shared_ptr<Form>& form, bool modal) override;
    // A transcript line `workbook "PATH"`; nothing is started.
    void ShowWorkbook(const std::string& path) override;
    void ShowStatus(const std::string& text) override;

    const std::vector<std::string>& Transcript() const { return transcript_; }
    void ClearTranscript() { transcript_.clear(); }
    // Answers queued but never asked for, one line each ("msgbox yes (line 7)").
    std::vector<std::string> UnusedAnswers() const;
    // Forms shown modelessly that are still open.
    const std::vector<std::shared_ptr<Form>>& OpenForms() const { return modeless_; }

    // Parses a message box answer: "ok", "cancel", "abort", "retry", "ignore",
    // "yes", "no" or a number; std::nullopt when it is none of them.
    static std::optional<int> ParseMsgBoxResult(const std::string& text);
    static std::string MsgBoxResultName(int result);

  private:
    static std::optional<std::string> Absolute(std::optional<std::string> path);
    template <typename T>
    struct Queued {
        T value;
        std::string origin;
    };
    template <typename T>
    T Take(std::deque<Queued<T>>& queue, const std::string& dialog);
    void Play(Form& form, const FormAction& action);
    void Log(std::string line) { transcript_.push_back(std::move(line)); }

    std::deque<Queued<int>> msgBoxes_;
    std::deque<Queued<std::optional<std::string>>> inputs_;
    std::deque<Queued<std::optional<std::string>>> folders_;
    std::deque<Queued<std::optional<std::string>>> opens_;
    std::map<std::string, std::deque<Queued<std::vector<FormAction>>>> forms_;
    std::vector<std::shared_ptr<Form>> modeless_;
    std::vector<std::string> transcript_;
    int depth_ = 0;  // dialogs shown from inside a form are indented under it
};

}  // namespace veln::host
