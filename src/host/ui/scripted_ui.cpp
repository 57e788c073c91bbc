#include "host/ui/scripted_ui.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <utility>

#include "host/host_error.h"
#include "host/ui/form.h"
#include "host/ui/quote.h"

namespace veln::host {

namespace {

constexpr std::array<std::pair<const char*, int>, 7> RESULT_NAMES{
    {{"ok", MsgBoxResult::vbOK},
     {"cancel", MsgBoxResult::vbCancel},
     {"abort", MsgBoxResult::vbAbort},
     {"retry", MsgBoxResult::vbRetry},
     {"ignore", MsgBoxResult::vbIgnore},
     {"yes", MsgBoxResult::vbYes},
     {"no", MsgBoxResult::vbNo}}};

std::string Answer(const std::optional<std::string>& text) {
    return text ? Quote(*text) : std::string("cancel");
}

int ParseInt(const std::string& text, const std::string& what) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw UnansweredDialog(what + ": not a number: " + text);
    }
    return value;
}

template <typename T>
T& ControlOf(Form& form, const FormAction& action) {
    Control* control = form.FindControl(action.control);
    if (control == nullptr) {
        throw UnansweredDialog("form " + form.Name() + " has no control " + action.control);
    }
    auto* typed = dynamic_cast<T*>(control);
    if (typed == nullptr) {
        throw UnansweredDialog("form " + form.Name() + ": cannot " + action.verb + " " +
                               action.control);
    }
    return *typed;
}

void NeedArgs(const FormAction& action, std::size_t count) {
    if (action.args.size() < count) {
        throw UnansweredDialog(action.verb + " " + action.control + ": missing argument");
    }
}

}  // namespace

std::optional<int> ScriptedUi::ParseMsgBoxResult(const std::string& text) {
    for (const auto& [name, value] : RESULT_NAMES) {
        if (text == name) {
            return value;
        }
    }
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size() && !text.empty()) {
        return value;
    }
    return std::nullopt;
}

std::string ScriptedUi::MsgBoxResultName(int result) {
    for (const auto& [name, value] : RESULT_NAMES) {
        if (result == value) {
            return name;
        }
    }
    return std::to_string(result);
}

void ScriptedUi::AnswerForm(const std::string& formName, std::vector<FormAction> actions,
                            std::string origin) {
    forms_[formName].push_back({std::move(actions), std::move(origin)});
}

template <typename T>
T ScriptedUi::Take(std::deque<Queued<T>>& queue, const std::string& dialog) {
    if (queue.empty()) {
        Log(std::string(static_cast<std::size_t>(2 * depth_), ' ') + dialog + " -> unanswered");
        throw UnansweredDialog("no answer queued for " + dialog);
    }
    T answer = std::move(queue.front().value);
    queue.pop_front();
    return answer;
}

int ScriptedUi::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    std::string dialog = "msgbox " + Quote(title.empty() ? DEFAULT_TITLE : title) +
                         " flags=" + std::to_string(flags) + " " + Quote(prompt);
    int result = Take(msgBoxes_, dialog);
    Log(std::string(static_cast<std::size_t>(2 * depth_), ' ') + dialog + " -> " +
        MsgBoxResultName(result));
    return result;
}

std::string ScriptedUi::InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    std::string dialog = "input " + Quote(title.empty() ? DEFAULT_TITLE : title) + " " +
                         Quote(prompt) + " default=" + Quote(defaultText);
    auto answer = Take(inputs_, dialog);
    Log(std::string(static_cast<std::size_t>(2 * depth_), ' ') + dialog + " -> " + Answer(answer));
    return answer.value_or("");
}

// A real dialog gives the absolute path of what the user picked; a script's
// relative answer is relative to the current folder. A URI (a server's
// database) is no path: it is given as typed.
std::optional<std::string> ScriptedUi::Absolute(std::optional<std::string> path) {
    if (path && !path->empty() && path->find("://") == std::string::npos) {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(*path, error);
        if (!error) {
            std::string normal = absolute.lexically_normal().string();
            // "." names the folder itself, without a separator after it.
            if (normal.size() > 1 && normal.back() == '/') {
                normal.pop_back();
            }
            path = normal;
        }
    }
    return path;
}

std::string ScriptedUi::BrowseFolder(const std::string& title) {
    std::string dialog = "folder " + Quote(title);
    auto answer = Absolute(Take(folders_, dialog));
    Log(std::string(static_cast<std::size_t>(2 * depth_), ' ') + dialog + " -> " + Answer(answer));
    return answer.value_or("");
}

std::string ScriptedUi::ShowOpen(const std::string& filter, const std::string& defaultExtension,
                                 const std::string& initialFolder, int flags) {
    // Whether a server's name may be typed is the view's affair: a script
    // answers with a name either way, and its transcript stays the same.
    std::string dialog = "open filter=" + Quote(filter) + " ext=" + Quote(defaultExtension) +
                         " folder=" + Quote(initialFolder) +
                         " flags=" + std::to_string(flags & ~OFN_PROJECT_DATABASE);
    auto answer = Absolute(Take(opens_, dialog));
    Log(std::string(static_cast<std::size_t>(2 * depth_), ' ') + dialog + " -> " + Answer(answer));
    return answer.value_or("");
}

void ScriptedUi::Show(const std::shared_ptr<Form>& form, bool modal) {
    const std::string& name = form->Name();
    std::string indent(static_cast<std::size_t>(2 * depth_), ' ');
    auto queued = forms_.find(name);
    if (queued == forms_.end() || queued->second.empty()) {
        Log(indent + "form " + name + " -> unanswered");
        throw UnansweredDialog("no actions queued for form " + name);
    }
    std::vector<FormAction> actions = std::move(queued->second.front().value);
    queued->second.pop_front();

    Log(indent + "form " + name + (modal ? " modal" : " modeless") + " " + Quote(form->Caption));
    ++depth_;
    // A throw from a handler or an action ends the form as its window would.
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth_};
    form->Load();
    for (const auto& action : actions) {
        if (!form->IsOpen()) {
            throw UnansweredDialog("form " + name + " is closed before: " + action.verb + " " +
                                   action.control);
        }
        Play(*form, action);
    }
    if (form->IsOpen()) {
        Log(indent + "  close box");
        form->CloseBox();
    }
    if (form->IsOpen() && !modal) {
        modeless_.push_back(form);
    }
    Log(indent + "end form " + name);
}

void ScriptedUi::ShowWorkbook(const std::string& path) {
    Log(std::string(static_cast<std::size_t>(2 * depth_), ' ') + "workbook " + Quote(path));
}

void ScriptedUi::ShowStatus(const std::string& text) {
    Log(std::string(static_cast<std::size_t>(2 * depth_), ' ') + "status " + Quote(text));
}

void ScriptedUi::Play(Form& form, const FormAction& action) {
    std::string indent(static_cast<std::size_t>(2 * depth_), ' ');
    std::string line = indent + action.verb + " " + action.control;
    for (const auto& arg : action.args) {
        line += " " + Quote(arg);
    }
    if (action.verb == "print") {
        Control* control = form.FindControl(action.control);
        if (control == nullptr) {
            throw UnansweredDialog("form " + form.Name() + " has no control " + action.control);
        }
        std::string state = control->Describe();
        for (std::size_t at = state.find('\n'); at != std::string::npos;
             at = state.find('\n', at + 1)) {
            state.insert(at + 1, indent);
        }
        Log(indent + state);
        return;
    }
    Log(line);
    try {
        if (action.verb == "click") {
            Control& control = ControlOf<Control>(form, action);
            if (auto* button = dynamic_cast<CommandButton*>(&control)) {
                button->Click();
            } else if (auto* check = dynamic_cast<CheckBox*>(&control)) {
                check->Set(!check->Value);
            } else if (auto* option = dynamic_cast<OptionButton*>(&control)) {
                option->Choose();
            } else if (control.Enabled && control.OnClick) {
                control.OnClick();
            }
        } else if (action.verb == "dblclick") {
            auto& list = ControlOf<ListBox>(form, action);
            int row = action.args.empty() ? list.ListIndex() : ParseInt(action.args[0], line);
            list.DoubleClick(row);
        } else if (action.verb == "select") {
            NeedArgs(action, 1);
            std::vector<int> rows;
            for (const auto& arg : action.args) {
                rows.push_back(ParseInt(arg, line));
            }
            Control& control = ControlOf<Control>(form, action);
            if (auto* list = dynamic_cast<ListBox*>(&control)) {
                list->Select(rows);
            } else {
                ControlOf<ComboBox>(form, action).Select(rows.back());
            }
        } else if (action.verb == "text") {
            NeedArgs(action, 1);
            Control& control = ControlOf<Control>(form, action);
            if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
                combo->Type(action.args[0]);
            } else {
                ControlOf<TextBox>(form, action).Type(action.args[0]);
            }
        } else if (action.verb == "check") {
            NeedArgs(action, 1);
            ControlOf<CheckBox>(form, action).Set(action.args[0] == "1");
        } else if (action.verb == "option") {
            ControlOf<OptionButton>(form, action).Choose();
        } else if (action.verb == "key") {
            // The word after "key" is the key itself, typed into the form.
            form.KeyPress(action.control);
        } else {
            throw UnansweredDialog("unknown form action: " + action.verb);
        }
    } catch (const HostError& error) {
        throw UnansweredDialog(line + ": " + error.Description());
    }
}

std::vector<std::string> ScriptedUi::UnusedAnswers() const {
    std::vector<std::string> unused;
    auto add = [&](const std::string& what, const std::string& origin) {
        unused.push_back(origin.empty() ? what : what + " (" + origin + ")");
    };
    for (const auto& result : msgBoxes_) {
        add("msgbox " + MsgBoxResultName(result.value), result.origin);
    }
    for (const auto& text : inputs_) {
        add("input " + Answer(text.value), text.origin);
    }
    for (const auto& path : folders_) {
        add("folder " + Answer(path.value), path.origin);
    }
    for (const auto& path : opens_) {
        add("open " + Answer(path.value), path.origin);
    }
    for (const auto& [name, queue] : forms_) {
        for (const auto& actions : queue) {
            add("form " + name, actions.origin);
        }
    }
    return unused;
}

}  // namespace veln::host
