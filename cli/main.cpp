// veln: the command line of VELN.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <optional>

#include <CLI/CLI.hpp>

#include "batch_outputs.h"
#include "host/system/posix_system.h"
#include "office_command.h"
#include "project_commands.h"
#include "script_reader.h"
#include "session.h"
#include "tracking_commands.h"

namespace {

std::string ScriptHelp() {
    return "Plays a session script: one command a line, \"#\" starts a comment,\n"
           "words with blanks in double quotes (escapes \\\" \\\\ \\r \\n \\t);\n"
           "\"include FILE\" plays the lines of FILE, found beside the script.\n\n" +
           veln::cli::Session::Help() +
           "\nExit status: 0 when the script ran to its end, 1 when a line failed (the\n"
           "message names it), 2 for a usage error. See docs/automation.md.";
}

int PlayScript(const std::string& file, veln::cli::SessionHost host) {
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
        lines = veln::cli::ReadScript(*in, file == "-" ? std::filesystem::path(".")
                                                       : std::filesystem::path(file).parent_path());
    } catch (const veln::cli::ScriptError& error) {
        std::cerr << "veln: " << file << ": " << error.what() << "\n";
        return 1;
    }
    veln::host::PosixSystem system;
    std::unique_ptr<veln::cli::Session> session;
    try {
        session = std::make_unique<veln::cli::Session>(system, host);
    } catch (const veln::host::HostError& error) {
        std::cerr << "veln: " << error.what() << "\n";
        return 1;
    }
    std::string failure;
    if (!session->Play(lines, std::cout, failure)) {
        std::cout.flush();
        std::cerr << "veln: " << file << ": " << failure << "\n";
        return 1;
    }
    return 0;
}

constexpr const char* DOCUMENT_NAMES =
    "A document is named by its id (D_ID) or by its path as the project stores it.\n";
constexpr const char* BATCH_STATUS =
    "Exit status: 0 when the file was written, 1 when it was not (the message says\n"
    "why: an unknown document, not a project database, an output that cannot be\n"
    "written), 2 for a usage error. See docs/automation.md.";

// veln matrix DB SOURCE TARGET -o FILE [--no-hyperlinks] [--wrap] [--first-rank N]
CLI::App* AddMatrix(CLI::App& app, veln::cli::MatrixOptions& options, bool& noHyperlinks) {
    CLI::App* matrix = app.add_subcommand(
        "matrix", "Write the traceability matrix of two documents of a project as a workbook");
    matrix->add_option("DB", options.database, "the project database")->required();
    matrix->add_option("SOURCE", options.source, "the document whose elements are the rows")
        ->required();
    matrix->add_option("TARGET", options.target, "the document whose elements are the columns")
        ->required();
    matrix->add_option("-o,--output", options.output, "the .xlsx file to write (replaced)")
        ->required();
    matrix->add_flag("--no-hyperlinks", noHyperlinks, "no links from numbers to the elements");
    matrix->add_flag("--wrap", options.wrap, "wrap the labels");
    matrix
        ->add_option("--first-rank", options.firstRank,
                     "when the target has more than 256 live elements: keep those of this "
                     "first-level number as columns")
        ->check(CLI::Range(1, 256));
    matrix->footer(std::string(DOCUMENT_NAMES) + BATCH_STATUS);
    return matrix;
}

// veln list DB DOCUMENT -o FILE [--no-hyperlinks]
CLI::App* AddList(CLI::App& app, veln::cli::ListOptions& options, bool& noHyperlinks) {
    CLI::App* list = app.add_subcommand(
        "list", "Write the elements of a document with their property values as a workbook");
    list->add_option("DB", options.database, "the project database")->required();
    list->add_option("DOCUMENT", options.document, "the document whose elements are listed")
        ->required();
    list->add_option("-o,--output", options.output, "the .xlsx file to write (replaced)")
        ->required();
    list->add_flag("--no-hyperlinks", noHyperlinks, "no links from numbers to the elements");
    list->footer(std::string(DOCUMENT_NAMES) + BATCH_STATUS);
    return list;
}

// veln tree DB ROOT TREE [LEAF] -o FILE.docx [--no-hyperlinks] [--no-numbers] [--no-labels]
CLI::App* AddTree(CLI::App& app, veln::cli::TreeOptions& options, bool& noHyperlinks,
                  bool& noNumbers, bool& noLabels) {
    CLI::App* tree = app.add_subcommand(
        "tree", "Write the tree of links through two or three documents as a .docx document");
    tree->add_option("DB", options.database, "the project database")->required();
    tree->add_option("ROOT", options.root, "the document of the first level")->required();
    tree->add_option("TREE", options.tree, "the document of the second level")->required();
    tree->add_option("LEAF", options.leaf, "the document of the third level");
    tree->add_option("-o,--output", options.output, "the .docx file to write (replaced)")
        ->required();
    tree->add_flag("--no-hyperlinks", noHyperlinks, "entries as plain text, not links");
    CLI::Option* numbers = tree->add_flag("--no-numbers", noNumbers, "entries without numbers");
    CLI::Option* labels = tree->add_flag("--no-labels", noLabels, "entries without labels");
    // An entry shows its number, its label or both, never nothing.
    numbers->excludes(labels);
    tree->footer(std::string(DOCUMENT_NAMES) + BATCH_STATUS);
    return tree;
}

constexpr const char* GATE_STATUS =
    "Exit status: 0, 1 when the gate fails or the project cannot be read (the message\n"
    "says which), 2 for a usage error. See docs/automation.md.";

// veln suspect DB [DOCUMENT...] [--check]
CLI::App* AddSuspect(CLI::App& app, veln::cli::SuspectOptions& options) {
    CLI::App* suspect = app.add_subcommand(
        "suspect", "List the links an end of which changed since the link was last reviewed");
    suspect->add_option("DB", options.database, "the project database")->required();
    suspect->add_option("DOCUMENT", options.documents, "only links with an end in these documents");
    suspect->add_flag("--check", options.check, "exit 1 when there is a suspect link");
    suspect->footer(std::string(DOCUMENT_NAMES) + GATE_STATUS);
    return suspect;
}

// veln review DB LINK...|--all
CLI::App* AddReview(CLI::App& app, veln::cli::ReviewOptions& options) {
    CLI::App* review =
        app.add_subcommand("review", "Clear suspect links: their ends are taken as they read now");
    review->add_option("DB", options.database, "the project database")->required();
    CLI::Option* links =
        review->add_option("LINK", options.links, "the link numbers veln suspect prints");
    CLI::Option* all = review->add_flag("--all", options.all, "every suspect link");
    links->excludes(all);
    review->footer(
        "Exit status: 0, 1 when a link given is not a live link of the project or the\n"
        "project cannot be written, 2 for a usage error.");
    return review;
}

// veln coverage DB SOURCE TARGET [--min PERCENT] [--no-suspect] [--junit FILE] [--json]
CLI::App* AddCoverage(CLI::App& app, veln::cli::CoverageOptions& options) {
    CLI::App* coverage = app.add_subcommand(
        "coverage", "Report which elements of SOURCE are linked to elements of TARGET");
    coverage->add_option("DB", options.database, "the project database")->required();
    coverage->add_option("SOURCE", options.source, "the document whose elements must be covered")
        ->required();
    coverage->add_option("TARGET", options.target, "the document that covers them")->required();
    coverage->add_option("--min", options.minPercent, "a gate: exit 1 below this percentage")
        ->check(CLI::Range(0.0, 100.0));
    coverage->add_flag("--no-suspect", options.noSuspect,
                       "a gate: exit 1 when an element is covered only by suspect links");
    coverage->add_option("--junit", options.junit,
                         "write one test case per element to this JUnit XML file (replaced)");
    coverage->add_flag("--json", options.json, "print the report as JSON");
    coverage->footer(std::string(DOCUMENT_NAMES) + GATE_STATUS);
    return coverage;
}

// veln suspect, veln review and veln coverage: their options, and the one
// the user ran.
struct TrackingCommands {
    explicit TrackingCommands(CLI::App& app)
        : suspect(AddSuspect(app, suspectOptions)),
          review(AddReview(app, reviewOptions)),
          coverage(AddCoverage(app, coverageOptions)) {}

    // The status of the command run; nothing when it is none of these.
    std::optional<int> Run() const {
        if (*suspect) {
            return veln::cli::ListSuspects(suspectOptions, std::cout, std::cerr);
        }
        if (*review) {
            if (reviewOptions.links.empty() && !reviewOptions.all) {
                std::cerr << "veln review: give the links to review, or --all\n";
                return 2;
            }
            veln::host::PosixSystem system;
            return veln::cli::ReviewLinks(reviewOptions, system, std::cout, std::cerr);
        }
        if (*coverage) {
            return veln::cli::ReportCoverage(coverageOptions, std::cout, std::cerr);
        }
        return std::nullopt;
    }

    veln::cli::SuspectOptions suspectOptions;
    veln::cli::ReviewOptions reviewOptions;
    veln::cli::CoverageOptions coverageOptions;
    CLI::App* suspect;
    CLI::App* review;
    CLI::App* coverage;
};

// veln project create NAME | copy FROM TO | relink DOC... --to NAME
struct ProjectCommands {
    CLI::App* create = nullptr;
    CLI::App* copy = nullptr;
    CLI::App* relink = nullptr;
};

ProjectCommands AddProject(CLI::App& app, veln::cli::ProjectOptions& options) {
    CLI::App* project = app.add_subcommand(
        "project",
        "Make a project database, copy a whole project to another, or link documents to one");
    project->require_subcommand(1);
    ProjectCommands commands;
    commands.create = project->add_subcommand(
        "create", "Make an empty project database: a new file, or an empty server database");
    commands.create->add_option("NAME", options.name, "the project database")->required();
    commands.copy = project->add_subcommand(
        "copy", "Copy a whole project into a new project database, and compare it row by row");
    commands.copy->add_option("FROM", options.from, "the project database copied")->required();
    commands.copy->add_option("TO", options.to, "a new file, or an empty server database")
        ->required();
    commands.relink = project->add_subcommand(
        "relink", "Link documents to a project database that holds their rows, such as a copy");
    commands.relink->add_option("DOC", options.documents, "the .docx documents")->required();
    commands.relink->add_option("--to", options.to, "the project database")->required();
    project->footer(
        "A project database is a file, or a database on a PostgreSQL server named\n"
        "postgresql://host[:port]/dbname[?sslmode=...]; its password comes from\n"
        "~/.pgpass, PGPASSWORD or a service file, never from the name.\n"
        "Exit status: 0, 1 when it cannot be done (nothing is left half made),\n"
        "2 for a usage error.");
    return commands;
}

// veln office [FILE...]
CLI::App* AddOffice(CLI::App& app, std::vector<std::string>& files) {
    CLI::App* office = app.add_subcommand(
        "office", "Open the files in LibreOffice Writer with VELN, installing VELN there first");
    office->add_option("FILE", files, "the documents to open");
    office->footer(
        "VELN's extension goes into this user's LibreOffice profile when it is missing\n"
        "there or of another version (replaced, never installed beside it).\n"
        "Exit status: 0, 1 when Writer cannot be started (no display, no LibreOffice).");
    return office;
}

int Run(int argc, char** argv) {
    CLI::App app{"VELN - traceability of word-processor documents", "veln"};
    app.set_version_flag("--version", std::string("veln ") + VELN_VERSION);
    std::string file;
    CLI::App* script =
        app.add_subcommand("script", "Play a session script (FILE, or - for standard input)");
    script->add_option("FILE", file, "the script")->required();
    bool office = false;
    script->add_flag("--office", office,
                     "play it against LibreOffice Writer, started headless for the script, "
                     "instead of the .docx model");
    script->footer(ScriptHelp());
    // The batch outputs.
    veln::cli::MatrixOptions matrixOptions;
    bool matrixPlain = false;
    CLI::App* matrix = AddMatrix(app, matrixOptions, matrixPlain);
    veln::cli::ListOptions listOptions;
    bool listPlain = false;
    CLI::App* list = AddList(app, listOptions, listPlain);
    veln::cli::TreeOptions treeOptions;
    bool treePlain = false;
    bool treeNoNumbers = false;
    bool treeNoLabels = false;
    CLI::App* tree = AddTree(app, treeOptions, treePlain, treeNoNumbers, treeNoLabels);
    TrackingCommands tracking(app);
    veln::cli::ProjectOptions projectOptions;
    ProjectCommands project = AddProject(app, projectOptions);
    std::vector<std::string> officeFiles;
    CLI::App* officeCommand = AddOffice(app, officeFiles);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    if (*script) {
        return PlayScript(file,
                          office ? veln::cli::SessionHost::Office : veln::cli::SessionHost::Docx);
    }
    if (*matrix) {
        matrixOptions.hyperlinks = !matrixPlain;
        veln::host::PosixSystem system;
        return veln::cli::WriteMatrix(matrixOptions, system, std::cerr);
    }
    if (*list) {
        listOptions.hyperlinks = !listPlain;
        return veln::cli::WriteList(listOptions, std::cerr);
    }
    if (*tree) {
        treeOptions.hyperlinks = !treePlain;
        treeOptions.numbers = !treeNoNumbers;
        treeOptions.labels = !treeNoLabels;
        veln::host::PosixSystem system;
        return veln::cli::WriteTree(treeOptions, system, std::cerr);
    }
    if (std::optional<int> status = tracking.Run()) {
        return *status;
    }
    if (*project.create) {
        return veln::cli::CreateProject(projectOptions, std::cout, std::cerr);
    }
    if (*project.copy) {
        return veln::cli::CopyProject(projectOptions, std::cout, std::cerr);
    }
    if (*project.relink) {
        return veln::cli::RelinkDocuments(projectOptions, std::cout, std::cerr);
    }
    if (*officeCommand) {
        veln::host::PosixSystem system;
        return veln::cli::StartOffice(officeFiles, system, VELN_OFFICE_FOLDER, VELN_VERSION,
                                      std::cout, std::cerr);
    }
    std::cout << "veln " << VELN_VERSION << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // What escapes a command ends the program with its text and status 1,
    // never with an abort.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "veln: out of memory\n";
    } catch (const std::exception& error) {
        std::cerr << "veln: " << error.what() << "\n";
    } catch (...) {
        std::cerr << "veln: an unknown error\n";
    }
    return 1;
}
