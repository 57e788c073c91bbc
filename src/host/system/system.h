// The platform services the system needs outside documents and databases:
// its folders and settings file, the system language, files, the clock and
// other programs.
#pragma once

#include <string>
#include <vector>

namespace veln::host {

struct SystemLanguage {
    int id = 0;        // language identifier, as the platform numbers it
    std::string name;  // the language's English display name ("French"), "" when unknown
};

class System {
  public:
    virtual ~System() = default;

    // The folder of the program's own files: the template database, the help files.
    virtual std::string ProgramFolder() const = 0;
    // Full path of the settings file "VELN.ini".
    virtual std::string SettingsFilePath() const = 0;
    // The word processor's startup folder, where the global template lives.
    virtual std::string StartupFolder() const = 0;
    virtual SystemLanguage DefaultLanguage() const = 0;
    // The local date and time as "YYYY-MM-DD HH:MM:SS".
    virtual std::string Now() const = 0;

    virtual bool FileExists(const std::string& path) const = 0;
    // Deletes a file, read-only ones too; false when it could not.
    virtual bool DeleteFile(const std::string& path) = 0;
    // Copies a file; a failed copy leaves no file at `to`.
    virtual bool CopyFile(const std::string& from, const std::string& to) = 0;

    // The value of an environment variable, "" when it is not set.
    virtual std::string Environment(const std::string& name) const = 0;
    // Starts program (looked up in PATH) with its arguments as a separate
    // process, never through a shell, and does not wait for it; false when it
    // could not be started.
    virtual bool StartProcess(const std::string& program,
                              const std::vector<std::string>& arguments) = 0;
    // Runs program (looked up in PATH) with its arguments, never through a
    // shell, and waits for it: its exit status (-1 when it could not be
    // started or did not exit), with what it wrote to its output and its
    // error output in output.
    virtual int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                           std::string& output) = 0;
};

}  // namespace veln::host
