#include "libreoffice.h"

#include <cstdlib>
#include <string_view>

#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

namespace veln::test {

std::string MissingSoffice() {
    const char* path = std::getenv("PATH");  // NOLINT(concurrency-mt-unsafe)
    std::string_view rest = path != nullptr ? path : "";
    while (true) {
        std::size_t colon = rest.find(':');
        std::string folder(rest.substr(0, colon));
        if (!folder.empty() && access((folder + "/soffice").c_str(), X_OK) == 0) {
            return "";
        }
        if (colon == std::string_view::npos) {
            return "soffice is not on PATH: these tests need LibreOffice "
                   "(scripts/setup installs it)";
        }
        rest.remove_prefix(colon + 1);
    }
}

bool SofficeRun::Succeeded() const {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

SofficeRun RunSoffice(const std::filesystem::path& work, const std::string& arguments,
                      int timeoutSeconds, const std::filesystem::path& profile) {
    // Each run its own profile and log: a suite may run soffice several times.
    static int runs = 0;
    std::string run = std::to_string(++runs);
    std::filesystem::path log = work / ("soffice" + run + ".log");
    SofficeRun result;
    result.command = "cd " + Quoted(work.string()) + " && HOME=" + Quoted(work.string()) +
                     " timeout " + std::to_string(timeoutSeconds) + " soffice " +
                     Quoted("-env:UserInstallation=file://" +
                            (profile.empty() ? work / ("profile" + run) : profile).string()) +
                     " --headless --norestore " + arguments + " >" + Quoted(log.string()) + " 2>&1";
    result.status = std::system(result.command.c_str());  // NOLINT(concurrency-mt-unsafe)
    result.log = std::filesystem::exists(log) ? ReadFile(log.string()) : std::string();
    return result;
}

std::string ConvertWithSoffice(const std::filesystem::path& work, const std::string& file,
                               const std::string& format, const std::string& outDir,
                               const std::string& expected) {
    SofficeRun run = RunSoffice(work, "--convert-to " + Quoted(format) + " --outdir " +
                                          Quoted(outDir) + " " + Quoted(file));
    if (!run.Succeeded() || !std::filesystem::exists(expected)) {
        return "soffice did not write " + expected + " (status " + std::to_string(run.status) +
               "): " + run.command + "\n" + run.log;
    }
    return "";
}

namespace {

// A Basic module of the profile: opens source hidden, dispatches command
// (none when empty) and stores the document as OpenDocument text.
constexpr const char* RESOLVE_MODULE = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">
<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1" script:language="StarBasic">
Sub Resolve(source As String, target As String, command As String)
  Dim hidden(0) As New com.sun.star.beans.PropertyValue
  hidden(0).Name = &quot;Hidden&quot;
  hidden(0).Value = True
  doc = StarDesktop.loadComponentFromURL(ConvertToURL(source), &quot;_blank&quot;, 0, hidden())
  If command &lt;&gt; &quot;&quot; Then
    dispatcher = createUnoService(&quot;com.sun.star.frame.DispatchHelper&quot;)
    dispatcher.executeDispatch(doc.CurrentController.Frame, command, &quot;&quot;, 0, Array())
  End If
  Dim filter(0) As New com.sun.star.beans.PropertyValue
  filter(0).Name = &quot;FilterName&quot;
  filter(0).Value = &quot;writer8&quot;
  doc.storeToURL(ConvertToURL(target), filter())
  doc.close(True)
End Sub
</script:module>
)";

std::string CommandOf(TrackedChanges changes) {
    switch (changes) {
        case TrackedChanges::AllAccepted:
            return ".uno:AcceptAllTrackedChanges";
        case TrackedChanges::AllRejected:
            return ".uno:RejectAllTrackedChanges";
        case TrackedChanges::AsTheyAre:
            break;
    }
    return "";
}

}  // namespace

std::string ResolveWithSoffice(const std::filesystem::path& work,
                               const std::vector<Resolution>& resolutions) {
    // soffice makes the profile's macro library on its first start; the
    // module is written into it after.
    const std::filesystem::path profile = work / "resolve-profile";
    const std::filesystem::path module = profile / "user/basic/Standard/Module1.xba";
    if (!std::filesystem::exists(module)) {
        SofficeRun init = RunSoffice(work, "--terminate_after_init", 300, profile);
        if (!std::filesystem::exists(module)) {
            return "soffice made no macro library in " + profile.string() + ": " + init.command +
                   "\n" + init.log;
        }
    }
    WriteFile(module.string(), RESOLVE_MODULE);
    std::string arguments;
    for (const Resolution& resolution : resolutions) {
        std::filesystem::remove(resolution.target);
        arguments +=
            " " + Quoted("macro:///Standard.Module1.Resolve(\"" + resolution.file + "\",\"" +
                         resolution.target + "\",\"" + CommandOf(resolution.changes) + "\")");
    }
    SofficeRun run = RunSoffice(work, arguments, 300, profile);
    for (const Resolution& resolution : resolutions) {
        if (!std::filesystem::exists(resolution.target)) {
            return "soffice did not write " + resolution.target + " (status " +
                   std::to_string(run.status) + "): " + run.command + "\n" + run.log;
        }
    }
    return "";
}

}  // namespace veln::test
