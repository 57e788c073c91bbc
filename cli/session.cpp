#include "session.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <utility>

#include "addin/operations.h"
#include "host/db/database.h"
#include "host/docx/docx_application.h"
#include "host/utf8.h"
#ifdef VELN_WITH_OFFICE
#include "host/office/office_application.h"
#endif
#include "host/ui/quote.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "host/word/variables.h"
#include "host/word/wildcards.h"

namespace veln::cli {

namespace {

const char* const DB_NAME_VARIABLE = "VARDOC_DB_NAME";

void Need(const std::vector<Word>& args, std::size_t least, std::size_t most, const char* usage) {
    if (args.size() < least || args.size() > most) {
        throw ScriptError(std::string("usage: ") + usage);
    }
}

long Number(const Word& word) {
    try {
        std::size_t used = 0;
        long value = std::stol(word.text, &used);
        if (used == word.text.size()) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw ScriptError("not a number: " + word.text);
}

std::optional<std::string> CancelOr(const Word& word) {
    if (word == "cancel") {
        return std::nullopt;
    }
    return word.text;
}

std::vector<std::string> Texts(const std::vector<Word>& words, std::size_t from) {
    std::vector<std::string> texts;
    for (std::size_t i = from; i < words.size(); ++i) {
        texts.push_back(words[i].text);
    }
    return texts;
}

std::unique_ptr<host::Application> StartHost(SessionHost host, host::Ui& ui) {
    if (host == SessionHost::Docx) {
        return std::make_unique<host::docx::DocxApplication>(&ui);
    }
#ifdef VELN_WITH_OFFICE
    return host::office::OfficeApplication::Start();
#else
    throw host::HostError(
        host::WordError::COMMAND_FAILED,
        "this veln was built without LibreOffice's SDK: --office is not available");
#endif
}

}  // namespace

Session::Session(host::System& system, SessionHost host)
    : app_(StartHost(host, ui_)), context_(ui_, system, *app_) {
    // The word processor loads the templates of its startup folder as it starts.
    app_->StartupPath = system.StartupFolder();
    app_->LoadStartupTemplates();
}

bool Session::Play(const std::vector<ScriptLine>& lines, std::ostream& out, std::string& failure) {
    out_ = &out;
    std::string current = "line 0";
    try {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const ScriptLine& line = lines[i];
            current = line.Where();
            if (line.words[0] == "form") {
                if (line.words.size() != 2) {
                    throw ScriptError("usage: form NAME, then actions, then end");
                }
                std::vector<ScriptLine> block;
                std::size_t end = i + 1;
                while (end < lines.size() && !(lines[end].words[0] == "end")) {
                    block.push_back(lines[end++]);
                }
                if (end == lines.size()) {
                    throw ScriptError("form " + line.words[1].text + " has no end");
                }
                QueueForm(line.words[1].text, block, line.number);
                i = end;
                continue;
            }
            Run(line);
            Flush();
        }
    } catch (const std::exception& error) {
        Flush();
        failure = current + ": " + error.what();
        return false;
    }
    std::vector<std::string> unused = ui_.UnusedAnswers();
    if (!unused.empty()) {
        failure = "answer never used: " + unused.front();
        return false;
    }
    return true;
}

void Session::Flush() {
    const auto& transcript = ui_.Transcript();
    for (; flushed_ < transcript.size(); ++flushed_) {
        *out_ << transcript[flushed_] << "\n";
    }
}

void Session::QueueForm(const std::string& name, const std::vector<ScriptLine>& block, int line) {
    std::vector<host::FormAction> actions;
    for (const auto& action : block) {
        const std::string& verb = action.words[0].text;
        static const std::vector<std::string> verbs{"click", "dblclick", "select", "text",
                                                    "check", "option",   "print",  "key"};
        if (std::find(verbs.begin(), verbs.end(), verb) == verbs.end() || action.words.size() < 2) {
            throw ScriptError("line " + std::to_string(action.number) +
                              ": unknown form action: " + verb);
        }
        actions.push_back({verb, action.words[1].text, Texts(action.words, 2)});
    }
    ui_.AnswerForm(name, std::move(actions), "line " + std::to_string(line));
}

host::Document& Session::Active() {
    host::Document* document = app_->ActiveDocument();
    if (document == nullptr) {
        throw ScriptError("no document is open");
    }
    return *document;
}

std::vector<std::pair<long, long>> Session::Paragraphs() {
    host::Document& document = Active();
    std::vector<std::pair<long, long>> paragraphs;
    for (long at = 0; at < document.StoryEnd();) {
        paragraphs.push_back(document.ParagraphAt(at));
        at = paragraphs.back().second;
    }
    return paragraphs;
}

// --- the command table --------------------------------------------------------------------

const std::vector<Session::Command>& Session::Commands() {
    static const std::vector<Command> commands{
        {"open", "Documents", "open PATH", 1, 1, &Session::Open},
        {"new", "Documents", "new", 0, 0, &Session::New},
        {"activate", "Documents", "activate NAME", 1, 1, &Session::ActivateDocument},
        {"close", "Documents", "close [NAME]", 0, 1, &Session::Close},
        {"save", "Documents", "save", 0, 0, &Session::Save},
        {"saveas", "Documents", "saveas PATH", 1, 1, &Session::SaveAs},
        {"append", "Documents", "append TEXT", 1, 1, &Session::Append},
        {"select", "Selection", "select para N | select text \"T\" [K] | select range A B", 2, 3,
         &Session::SelectRange},
        {"caret", "Selection", "caret A | caret para N", 1, 2, &Session::Caret},
        {"type", "Selection", "type TEXT (replaces the selection, as the user types)", 1, 1,
         &Session::Type},
        {"bookmark", "Direct", "bookmark add NAME | bookmark delete NAME|N", 2, 2,
         &Session::Bookmark},
        {"variable", "Direct", "variable set NAME VALUE | variable delete NAME", 2, 3,
         &Session::Variable},
        {"call", "Operations", "call NAME [ARGS...]", 1, SIZE_MAX, &Session::Call},
        {"addin", "Add-in", "addin connect | addin disconnect", 1, 1, &Session::AddIn},
        {"click", "Add-in", "click MEMBER (a toolbar button: oAdd1, oRenumber, ...)", 1, 1,
         &Session::Click},
        {"answer", "Answers",
         "answer msgbox ok|cancel|yes|no|retry|abort|ignore|N | answer input TEXT|cancel | "
         "answer folder PATH|cancel | answer open PATH|cancel",
         2, 2, &Session::Answer},
        {"form", "Forms",
         "form NAME, then lines of: click C | dblclick C [ROW] | select C ROW... | "
         "text C \"VALUE\" | check C 0|1 | option C | key KEY | print C; then end",
         1, 1, nullptr},
        {"print", "Output",
         "print text|selection|bookmarks|hyperlinks|variables|paragraphs|toolbar | "
         "print variable NAME | "
         "print sql [PATH] \"SELECT ...\"",
         1, 3, &Session::Print},
        {"expect", "Checks",
         "expect text|selection|variable NAME|bookmark NAME|sql [PATH] \"SELECT\" VALUE", 2, 4,
         &Session::Expect},
    };
    return commands;
}

std::string Session::Help() {
    std::string help;
    std::string_view group;
    for (const Command& command : Commands()) {
        std::string line = command.group == group ? std::string(12, ' ')
                                                  : std::string(command.group) + ":" +
                                                        std::string(11 - command.group.size(), ' ');
        group = command.group;
        help += line + std::string(command.usage) + "\n";
    }
    return help;
}

void Session::Run(const ScriptLine& line) {
    const std::string& name = line.words[0].text;
    auto command = std::find_if(Commands().begin(), Commands().end(), [&](const Command& c) {
        return line.words[0] == std::string(c.name);
    });
    if (command == Commands().end() || command->run == nullptr) {
        throw ScriptError("unknown command: " + name);
    }
    std::vector<Word> args(line.words.begin() + 1, line.words.end());
    if (args.size() < command->least || args.size() > command->most) {
        throw ScriptError("usage: " + std::string(command->usage));
    }
    origin_ = "line " + std::to_string(line.number);
    (this->*command->run)(args);
}

// --- documents ----------------------------------------------------------------------------

void Session::Open(const std::vector<Word>& args) {
    app_->OpenDocument(args[0].text);
}

void Session::New(const std::vector<Word>&) {
    app_->AddDocument();
}

host::Document& Session::Named(const Word& name) {
    host::Document* document = app_->FindDocument(name.text);
    if (document == nullptr) {
        throw ScriptError("no open document is named " + name.text);
    }
    return *document;
}

void Session::ActivateDocument(const std::vector<Word>& args) {
    app_->Activate(Named(args[0]));
}

void Session::Close(const std::vector<Word>& args) {
    // A document is closed from its own window: it is the active one then.
    host::Document& document = args.empty() ? Active() : Named(args[0]);
    app_->Activate(document);
    app_->CloseDocument(document);
}

void Session::Save(const std::vector<Word>&) {
    Active().Save();
}

void Session::SaveAs(const std::vector<Word>& args) {
    Active().SaveAs(args[0].text);
}

void Session::Append(const std::vector<Word>& args) {
    host::Document& document = Active();
    // A document of one empty paragraph takes the text into it.
    bool empty = document.StoryEnd() == 1;
    document.InsertText(document.StoryEnd() - 1, (empty ? "" : "\r") + args[0].text);
}

void Session::Type(const std::vector<Word>& args) {
    host::Document& document = Active();
    const long start = document.SelectionStart();
    document.DeleteText(start, document.SelectionEnd());
    document.InsertText(start, args[0].text);
    const long end = start + host::CountCharacters(args[0].text);
    document.SetSelection(end, end);
}

// --- acting directly --------------------------------------------------------------------------

void Session::Bookmark(const std::vector<Word>& args) {
    host::Document& document = Active();
    if (args[0] == "add") {
        document.Bookmarks().Add(args[1].text, document.Selection().Range());
    } else if (args[0] == "delete") {
        const std::string& which = args[1].text;
        // A number: the bookmark numbered so (a name never starts with a
        // digit), for element names nobody knows in advance.
        if (!which.empty() && std::all_of(which.begin(), which.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c)) != 0;
            })) {
            int count = document.Bookmarks().Count();
            if (which.size() > 9 || std::stol(which) < 1 || std::stol(which) > count) {
                throw ScriptError("there is no bookmark " + which + " (the document has " +
                                  std::to_string(count) + ")");
            }
            document.Bookmarks().Item(static_cast<int>(std::stol(which))).Delete();
        } else {
            document.Bookmarks().Item(which).Delete();
        }
    } else {
        throw ScriptError("usage: bookmark add NAME | bookmark delete NAME|N");
    }
}

void Session::Variable(const std::vector<Word>& args) {
    if (args[0] == "set" && args.size() == 3) {
        Active().Variables().Add(args[1].text, args[2].text);
    } else if (args[0] == "delete" && args.size() == 2) {
        Active().RemoveVariable(args[1].text);
    } else {
        throw ScriptError("usage: variable set NAME VALUE | variable delete NAME");
    }
}

// --- the system's operations and the user's answers ---------------------------------------

void Session::Call(const std::vector<Word>& args) {
    const addin::Operation* operation = addin::FindOperation(args[0].text);
    if (operation == nullptr) {
        throw ScriptError("no operation is named " + args[0].text);
    }
    std::optional<std::string> result = operation->Run(context_, Texts(args, 1));
    Flush();
    if (result) {
        *out_ << "result " << host::Quote(*result) << "\n";
    }
}

void Session::Answer(const std::vector<Word>& args) {
    if (args[0] == "msgbox") {
        std::optional<int> result = host::ScriptedUi::ParseMsgBoxResult(args[1].text);
        if (!result) {
            throw ScriptError("not a message box answer: " + args[1].text);
        }
        ui_.AnswerMsgBox(*result, origin_);
    } else if (args[0] == "input") {
        ui_.AnswerInput(CancelOr(args[1]), origin_);
    } else if (args[0] == "folder") {
        ui_.AnswerFolder(CancelOr(args[1]), origin_);
    } else if (args[0] == "open") {
        ui_.AnswerOpen(CancelOr(args[1]), origin_);
    } else {
        throw ScriptError("usage: answer msgbox|input|folder|open ANSWER");
    }
}

void Session::AddIn(const std::vector<Word>& args) {
    if (args[0] == "connect") {
        addin_.AddinInstance_OnConnection(*app_);
    } else if (args[0] == "disconnect") {
        addin_.AddinInstance_OnDisconnection();
    } else {
        throw ScriptError("usage: addin connect | addin disconnect");
    }
}

void Session::Click(const std::vector<Word>& args) {
    addin::ThisApplication* addin = addin_.Instance();
    host::CommandBarControl* button = addin == nullptr ? nullptr : addin->Member(args[0].text);
    if (button == nullptr) {
        throw ScriptError("the toolbar has no button " + args[0].text +
                          (addin == nullptr ? " (no add-in is connected)" : ""));
    }
    // As a user clicks: a disabled button does nothing.
    app_->Press(*button);
}

void Session::PrintToolbar() {
    host::CommandBar* bar = app_->CommandBars.Find(addin::TOOLBAR_NAME);
    if (bar == nullptr) {
        *out_ << "toolbar (none)\n";
        return;
    }
    addin::ThisApplication* addin = addin_.Instance();
    const host::Document* active = app_->ActiveDocument();
    std::function<void(const host::CommandBarControls&, int)> print =
        [&](const host::CommandBarControls& controls, int depth) {
            for (int i = 1; i <= controls.Count(); ++i) {
                const host::CommandBarControl& control = controls.Item(i);
                std::string indent(static_cast<std::size_t>(2 * depth), ' ');
                bool popup = control.Type() == host::ControlType::Popup;
                std::string label = control.Caption.empty() ? control.TooltipText : control.Caption;
                *out_ << indent << (control.BeginGroup ? "| " : "") << (popup ? "popup" : "button");
                if (!popup && addin != nullptr) {
                    *out_ << " " << addin->MemberName(control);
                }
                *out_ << " " << host::Quote(label)
                      << (control.EnabledFor(active) ? "" : " disabled") << "\n";
                if (popup) {
                    print(control.Controls(), depth + 1);
                }
            }
        };
    *out_ << "toolbar " << bar->Name() << "\n";
    print(bar->Controls(), 1);
}

void Session::Expect(const std::vector<Word>& args) {
    std::vector<Word> what(args.begin(), args.end() - 1);
    std::string actual = PrintedForm(what);
    if (actual != args.back().text) {
        throw ScriptError("expected " + host::Quote(args.back().text) + ", found " +
                          host::Quote(actual));
    }
}

void Session::SelectRange(const std::vector<Word>& args) {
    Select(args, false);
}

void Session::Caret(const std::vector<Word>& args) {
    Select(args, true);
}

void Session::Select(const std::vector<Word>& args, bool caret) {
    host::Document& document = Active();
    if (!args.empty() && args[0] == "para") {
        Need(args, 2, 2, caret ? "caret para N" : "select para N");
        auto paragraphs = Paragraphs();
        long n = Number(args[1]);
        if (n < 1 || n > static_cast<long>(paragraphs.size())) {
            throw ScriptError("there is no paragraph " + args[1].text);
        }
        auto [start, end] = paragraphs[static_cast<std::size_t>(n) - 1];
        document.Selection().SetRange(start, caret ? start : end);
    } else if (caret) {
        Need(args, 1, 1, "caret A | caret para N");
        long at = Number(args[0]);
        document.Selection().SetRange(at, at);
    } else if (!args.empty() && args[0] == "range") {
        Need(args, 3, 3, "select range A B");
        document.Selection().SetRange(Number(args[1]), Number(args[2]));
    } else if (!args.empty() && args[0] == "text") {
        Need(args, 2, 3, "select text \"T\" [K]");
        long k = args.size() == 3 ? Number(args[2]) : 1;
        auto matches = host::FindMatches(document.Content().Text(), args[1].text, false);
        if (k < 1 || k > static_cast<long>(matches.size())) {
            throw ScriptError("the text " + host::Quote(args[1].text) + " is not found " +
                              (k > 1 ? std::to_string(k) + " times" : std::string()));
        }
        const host::TextMatch& match = matches[static_cast<std::size_t>(k) - 1];
        document.Selection().SetRange(match.start, match.start + match.length);
    } else {
        throw ScriptError("usage: select para N | select text \"T\" [K] | select range A B");
    }
}

void Session::EachRow(const std::vector<Word>& args,
                      const std::function<void(const std::vector<std::string>&)>& visit) {
    std::string path;
    if (args.size() == 2) {
        path = args[0].text;
    } else {
        path = Active().VariableValue(DB_NAME_VARIABLE).value_or("");
        if (path.empty()) {
            throw ScriptError("the active document names no project database");
        }
    }
    db::Database database = db::Database::Open(path, db::OpenMode::Query);
    db::Statement statement = database.Prepare(args.back().text);
    const auto columns = static_cast<std::size_t>(statement.ColumnCount());
    std::vector<std::string> row(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        row[c] = statement.ColumnName(static_cast<int>(c));
    }
    visit(row);
    while (statement.Step()) {
        for (std::size_t c = 0; c < columns; ++c) {
            row[c] = statement.Column(static_cast<int>(c)).ToString();
        }
        visit(row);
    }
}

std::string Session::PrintedForm(const std::vector<Word>& what) {
    const std::string& kind = what[0].text;
    if (kind == "text" && what.size() == 1) {
        return Active().Content().Text();
    }
    if (kind == "selection" && what.size() == 1) {
        return Active().Selection().Range().Text();
    }
    if (kind == "variable" && what.size() == 2) {
        return Active().VariableValue(what[1].text).value_or("(none)");
    }
    if (kind == "bookmark" && what.size() == 2) {
        host::Document& document = Active();
        if (!document.Bookmarks().Exists(what[1].text)) {
            return "(none)";
        }
        return document.Bookmarks().Item(what[1].text).Range().Text();
    }
    if (kind == "sql" && (what.size() == 2 || what.size() == 3)) {
        std::string joined;
        std::size_t rows = 0;  // the column names first
        EachRow(std::vector<Word>(what.begin() + 1, what.end()),
                [&](const std::vector<std::string>& row) {
                    if (rows++ == 0) {
                        return;
                    }
                    joined += rows == 2 ? "" : "\n";
                    for (std::size_t c = 0; c < row.size(); ++c) {
                        joined += (c == 0 ? "" : "|") + row[c];
                    }
                });
        return joined;
    }
    throw ScriptError("cannot expect " + kind +
                      ": text, selection, variable NAME, bookmark NAME or sql");
}

void Session::Print(const std::vector<Word>& args) {
    if (args.empty()) {
        throw ScriptError(
            "usage: print text|selection|bookmarks|hyperlinks|variables|paragraphs|sql");
    }
    std::ostream& out = *out_;
    const std::string& what = args[0].text;
    if (what == "toolbar") {
        PrintToolbar();
        return;
    }
    if (what == "sql") {
        Need(args, 2, 3, "print sql [PATH] \"SELECT ...\"");
        // Row by row as they come: a result of any size takes no more memory.
        bool header = true;
        EachRow(std::vector<Word>(args.begin() + 1, args.end()),
                [&](const std::vector<std::string>& row) {
                    out << (std::exchange(header, false) ? "sql " : "  ");
                    for (std::size_t c = 0; c < row.size(); ++c) {
                        out << (c == 0 ? "" : " | ") << row[c];
                    }
                    out << "\n";
                });
        return;
    }
    host::Document& document = Active();
    if (what == "variable") {
        Need(args, 2, 2, "print variable NAME");
        out << "variable " << args[1].text << " "
            << host::Quote(document.VariableValue(args[1].text).value_or("(none)")) << "\n";
        return;
    }
    Need(args, 1, 1, "print text|selection|bookmarks|hyperlinks|variables|paragraphs|sql");
    if (what == "text") {
        out << "text " << host::Quote(document.Content().Text()) << "\n";
    } else if (what == "selection") {
        host::Selection selection = document.Selection();
        out << "selection " << selection.Start() << " " << selection.End() << " "
            << host::Quote(selection.Range().Text()) << "\n";
    } else if (what == "bookmarks") {
        host::Bookmarks bookmarks = document.Bookmarks();
        out << "bookmarks " << bookmarks.Count() << "\n";
        for (int i = 1; i <= bookmarks.Count(); ++i) {
            host::Bookmark bookmark = bookmarks.Item(i);
            host::Range range = bookmark.Range();
            out << "  " << bookmark.Name() << " " << range.Start() << " " << range.End() << " "
                << host::Quote(range.Text()) << "\n";
        }
    } else if (what == "hyperlinks") {
        std::vector<host::HyperlinkInfo> links = document.HyperlinkList();
        out << "hyperlinks " << links.size() << "\n";
        for (const host::HyperlinkInfo& link : links) {
            out << "  " << link.address << (link.subAddress.empty() ? "" : "#") << link.subAddress
                << " " << link.start << " " << link.end << " " << host::Quote(link.text) << "\n";
        }
    } else if (what == "variables") {
        auto names = document.VariableNames();
        out << "variables " << names.size() << "\n";
        for (const auto& name : names) {
            out << "  " << name << " " << host::Quote(document.VariableValue(name).value_or(""))
                << "\n";
        }
    } else if (what == "paragraphs") {
        auto paragraphs = Paragraphs();
        out << "paragraphs " << paragraphs.size() << "\n";
        for (std::size_t i = 0; i < paragraphs.size(); ++i) {
            auto [start, end] = paragraphs[i];
            out << "  " << i + 1 << " " << host::Quote(document.TextOf(start, end - 1)) << "\n";
        }
    } else {
        throw ScriptError("cannot print " + what +
                          ": text, selection, bookmarks, hyperlinks, variables, paragraphs or sql");
    }
}

}  // namespace veln::cli
