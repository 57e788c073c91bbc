// LibreOffice, run headless as the other party of the tests: it opens and
// converts what the system writes. Every run gets its own HOME and profile
// under the test's folder, so runs in parallel never share a profile or touch
// the user's.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace veln::test {

// "" when soffice is on PATH, else what to install. Tests that need it fail
// without it rather than skip: a green run must mean LibreOffice was asked.
std::string MissingSoffice();

struct SofficeRun {
    int status = -1;  // as std::system returns it
    std::string command;
    std::string log;  // what soffice printed
    bool Succeeded() const;
};

// Runs soffice --headless --norestore with the arguments (shell words, quoted
// by the caller with Quoted) in the folder work, for at most timeoutSeconds,
// with the profile given, else a new one.
SofficeRun RunSoffice(const std::filesystem::path& work, const std::string& arguments,
                      int timeoutSeconds = 300, const std::filesystem::path& profile = {});

// Converts file to format (a --convert-to filter) into outDir; returns "" or
// what went wrong, with soffice's log, when expected was not written.
std::string ConvertWithSoffice(const std::filesystem::path& work, const std::string& file,
                               const std::string& format, const std::string& outDir,
                               const std::string& expected);

// A document LibreOffice opens and saves as OpenDocument text at target,
// with its tracked changes as they are, all accepted or all rejected.
enum class TrackedChanges : unsigned char { AsTheyAre, AllAccepted, AllRejected };
struct Resolution {
    std::string file;
    TrackedChanges changes;
    std::string target;
};

// Does every resolution in one run of soffice; returns "" or what went
// wrong, with soffice's log, when a target was not written.
std::string ResolveWithSoffice(const std::filesystem::path& work,
                               const std::vector<Resolution>& resolutions);

// A shell word: the text in single quotes.
std::string Quoted(const std::string& text);

}  // namespace veln::test
