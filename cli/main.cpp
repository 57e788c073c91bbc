// veln: the command line of VELN.
#include <filesystem>
#include <fstream>
#include <iostream>

#include <CLI/CLI.hpp>

#include "host/system/posix_system.h"
#include "script_reader.h"
#include "session.h"

namespace {

std::string ScriptHelp() {
    return "Plays a session script: one command a line, \"#\" starts a comment,\n"
           "words with blanks in double quotes (escapes \\\" \\\\ \\r \\n \\t).\n\n" +
           veln::cli::Session::Help() +
           "\nExit status: 0 when the script ran to its end, 1 when a line failed (the\n"
           "message names it), 2 for a usage error. See docs/automation.md.";
}

int PlayScript(const std::string& file) {
    std::ifstream stream;
    std::istream* in = &std::cin;
    if (file != "-") {
        std::error_code error;
        if (std::filesystem::exists(file, error) &&
            !std::filesystem::is_regular_file(file, error)) {
            std::cerr << "veln: cannot read the script " << file << ": it is not a file\n";
            return 2;
        }
        stream.open(file);
        if (!stream) {
            std::cerr << "veln: cannot read the script " << file << "\n";
            return 2;
        }
        in = &stream;
    }
    std::vector<veln::cli::ScriptLine> lines;
    try {
        lines = veln::cli::ReadScript(*in);
    } catch (const veln::cli::ScriptError& error) {
        std::cerr << "veln: " << file << ": " << error.what() << "\n";
        return 1;
    }
    veln::host::PosixSystem system;
    veln::cli::Session session(system);
    std::string failure;
    if (!session.Play(lines, std::cout, failure)) {
        std::cout.flush();
        std::cerr << "veln: " << file << ": " << failure << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"VELN - traceability of word-processor documents", "veln"};
    app.set_version_flag("--version", std::string("veln ") + VELN_VERSION);
    std::string file;
    CLI::App* script =
        app.add_subcommand("script", "Play a session script (FILE, or - for standard input)");
    script->add_option("FILE", file, "the script")->required();
    script->footer(ScriptHelp());
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    if (*script) {
        return PlayScript(file);
    }
    std::cout << "veln " << VELN_VERSION << "\n";
    return 0;
}
