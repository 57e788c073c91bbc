// veln: the command line of VELN.
#include <iostream>

#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
    CLI::App app{"VELN - traceability of word-processor documents", "veln"};
    app.set_version_flag("--version", std::string("veln ") + VELN_VERSION);
    CLI11_PARSE(app, argc, argv);
    if (argc == 1) {
        std::cout << "veln " << VELN_VERSION << "\n";
    }
    return 0;
}
