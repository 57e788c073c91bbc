// System services on Linux: XDG folders, the POSIX locale, std::filesystem.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "host/system/system.h"

namespace veln::host {

// Reads one environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The process environment.
EnvironmentLookup ProcessEnvironment();
// A fixed environment, for tests and for scripted sessions.
EnvironmentLookup FixedEnvironment(std::map<std::string, std::string> variables);

// The language of a POSIX locale name such as "fr_CA.UTF-8" or "de_DE@euro";
// "C", "POSIX" and "" are English.
SystemLanguage LanguageOfLocale(std::string_view locale);

class PosixSystem : public System {
  public:
    explicit PosixSystem(EnvironmentLookup environment = ProcessEnvironment());

    std::string ProgramFolder() const override;
    std::string SettingsFilePath() const override;
    std::string StartupFolder() const override;
    SystemLanguage DefaultLanguage() const override;
    std::string Now() const override;

    bool FileExists(const std::string& path) const override;
    bool DeleteFile(const std::string& path) override;
    bool CopyFile(const std::string& from, const std::string& to) override;

    std::string Environment(const std::string& name) const override {
        return Variable(name.c_str());
    }
    bool StartProcess(const std::string& program,
                      const std::vector<std::string>& arguments) override;
    int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   std::string& output) override;

  private:
    std::string Variable(const char* name) const;
    std::string Home() const;

    EnvironmentLookup environment_;
};

}  // namespace veln::host
