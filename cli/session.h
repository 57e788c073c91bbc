// Plays a session script against a headless host: the .docx model or
// LibreOffice Writer for the word processor, the scripted Ui for the user,
// and writes its transcript.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "addin/connect_word.h"
#include "elements/context.h"
#include "host/system/system.h"
#include "host/ui/scripted_ui.h"
#include "host/word/application.h"
#include "script_reader.h"

namespace veln::cli {

// The word processor a session plays against.
enum class SessionHost : unsigned char {
    Docx,    // the .docx model, in this process
    Office,  // LibreOffice Writer, started headless for the session
};

class Session {
  public:
    // Starting the office may fail: a HostError says why.
    explicit Session(host::System& system, SessionHost host = SessionHost::Docx);

    // Plays every line; the transcript goes to out. Returns true when the
    // script ran to its end with every answer used; otherwise failure says
    // which line failed and why.
    bool Play(const std::vector<ScriptLine>& lines, std::ostream& out, std::string& failure);

    // The commands of the language, a line each, grouped as the help shows them.
    static std::string Help();

  private:
    // One command of the language: its name, its usage, how many words may
    // follow it, and what runs it.
    struct Command {
        std::string_view name;
        std::string_view group;
        std::string_view usage;
        std::size_t least;
        std::size_t most;
        void (Session::*run)(const std::vector<Word>& args);
    };
    static const std::vector<Command>& Commands();

    void Run(const ScriptLine& line);
    void Open(const std::vector<Word>& args);
    void New(const std::vector<Word>& args);
    void ActivateDocument(const std::vector<Word>& args);
    void Close(const std::vector<Word>& args);
    void Save(const std::vector<Word>& args);
    void SaveAs(const std::vector<Word>& args);
    void Append(const std::vector<Word>& args);
    void SelectRange(const std::vector<Word>& args);
    void Caret(const std::vector<Word>& args);
    void Type(const std::vector<Word>& args);
    void Bookmark(const std::vector<Word>& args);
    void Variable(const std::vector<Word>& args);
    void Call(const std::vector<Word>& args);
    void Answer(const std::vector<Word>& args);
    void Expect(const std::vector<Word>& args);
    void AddIn(const std::vector<Word>& args);
    void Click(const std::vector<Word>& args);
    void PrintToolbar();
    host::Document& Named(const Word& name);
    void QueueForm(const std::string& name, const std::vector<ScriptLine>& block, int line);
    void Flush();
    void Print(const std::vector<Word>& args);
    std::string PrintedForm(const std::vector<Word>& what);
    // Runs the statement of a print or expect sql on the project database
    // named, else the active document's, and gives visit the column names,
    // then each row as it comes: nothing is kept, however many rows.
    void EachRow(const std::vector<Word>& args,
                 const std::function<void(const std::vector<std::string>&)>& visit);
    void Select(const std::vector<Word>& args, bool caret);
    host::Document& Active();
    std::vector<std::pair<long, long>> Paragraphs();

    host::ScriptedUi ui_;
    std::unique_ptr<host::Application> app_;
    Context context_;
    // The add-in, once `addin connect` has connected it.
    addin::ConnectWord addin_{context_};
    std::ostream* out_ = nullptr;
    std::size_t flushed_ = 0;
    // The script line being played, which queued answers name.
    std::string origin_;
};

}  // namespace veln::cli
