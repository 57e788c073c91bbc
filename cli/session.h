// Plays a session script against the headless host: the .docx model for the
// word processor and the scripted Ui for the user, and writes its transcript.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "elements/context.h"
#include "host/docx/docx_application.h"
#include "host/system/system.h"
#include "host/ui/scripted_ui.h"
#include "script_reader.h"

namespace veln::cli {

class Session {
  public:
    explicit Session(host::System& system);

    // Plays every line; the transcript goes to out. Returns true when the
    // script ran to its end with every answer used; otherwise failure says
    // which line failed and why.
    bool Play(const std::vector<ScriptLine>& lines, std::ostream& out, std::string& failure);

  private:
    void Run(const ScriptLine& line);
    void QueueForm(const std::string& name, const std::vector<ScriptLine>& block, int line);
    void Flush();
    void Print(const std::vector<Word>& args);
    std::string PrintedForm(const std::vector<Word>& what);
    std::vector<std::vector<std::string>> Query(const std::vector<Word>& args);
    void Select(const std::vector<Word>& args, bool caret);
    host::Document& Active();
    std::vector<std::pair<long, long>> Paragraphs();

    host::docx::DocxApplication app_;
    host::ScriptedUi ui_;
    Context context_;
    std::ostream* out_ = nullptr;
    std::size_t flushed_ = 0;
};

}  // namespace veln::cli
