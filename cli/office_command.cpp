#include "office_command.h"

#include <sstream>

#include <unistd.h>

namespace veln::cli {

namespace {

// Without a display Writer has nowhere to show; the batch commands and the
// scripted sessions need none.
constexpr const char* NO_DISPLAY =
    "veln office: there is no display to show LibreOffice Writer on (DISPLAY and "
    "WAYLAND_DISPLAY are not set).\n"
    "Without one, `veln script --office FILE` plays a session script against a headless "
    "Writer, and the batch commands (veln matrix, list, tree, suspect, review, coverage) "
    "write the outputs of a project; see docs/automation.md.\n";

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    const std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

std::string InstalledVersion(const std::string& unopkgList, const std::string& identifier) {
    std::istringstream lines(unopkgList);
    std::string line;
    bool ours = false;
    while (std::getline(lines, line)) {
        const std::string field = Trimmed(line);
        if (field.starts_with("Identifier:")) {
            ours = Trimmed(field.substr(field.find(':') + 1)) == identifier;
        } else if (ours && field.starts_with("Version:")) {
            return Trimmed(field.substr(field.find(':') + 1));
        }
    }
    return {};
}

int StartOffice(const std::vector<std::string>& files, host::System& system,
                const std::string& officeFolder, const std::string& version, std::ostream& out,
                std::ostream& err) {
    if (system.Environment("DISPLAY").empty() && system.Environment("WAYLAND_DISPLAY").empty()) {
        err << NO_DISPLAY;
        return 1;
    }
    const std::string oxt = system.ProgramFolder() + "/veln.oxt";
    if (!system.FileExists(oxt)) {
        err << "veln office: " << oxt
            << " is missing: this VELN was built without LibreOffice's SDK (libreoffice-dev).\n";
        return 1;
    }
    const std::string unopkg = officeFolder + "/unopkg";
    // LibreOffice keeps no extensions of root's own: for root VELN is
    // installed for every user of the machine.
    const bool everyone = ::geteuid() == 0;
    std::vector<std::string> listing{"list"};
    std::vector<std::string> adding{"add", "--force", "--suppress-license", oxt};
    if (everyone) {
        listing.emplace_back("--shared");
        adding.insert(adding.begin() + 1, "--shared");
    }
    std::string list;
    if (system.RunProgram(unopkg, listing, list) != 0) {
        err << "veln office: LibreOffice's unopkg cannot list the extensions of this user:\n"
            << list;
        return 1;
    }
    const std::string installed = InstalledVersion(list, EXTENSION_ID);
    if (installed != version) {
        // --force replaces an extension of the same identifier without asking.
        std::string added;
        if (system.RunProgram(unopkg, adding, added) != 0) {
            err << "veln office: LibreOffice's unopkg cannot install " << oxt << ":\n" << added;
            return 1;
        }
        out << (installed.empty()
                    ? "VELN " + version + " installed in LibreOffice"
                    : "VELN " + installed + " replaced by VELN " + version + " in LibreOffice")
            << (everyone ? " for every user" : "") << "\n";
    }
    std::string writer = system.Environment("VELN_OFFICE");
    if (writer.empty()) {
        writer = officeFolder + "/soffice";
    }
    std::vector<std::string> arguments{"--writer"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    if (!system.StartProcess(writer, arguments)) {
        err << "veln office: " << writer << " cannot be started.\n";
        return 1;
    }
    return 0;
}

}  // namespace veln::cli
