// VELN as an extension of LibreOffice Writer: what the office host asks of
// the program that builds the extension's library. The host makes the
// application over the office it runs in and turns the office's events and
// the toolbar's vnd.veln: commands into the host's; the program connects
// the add-in to that application and says which control a command stands
// for. Nothing of UNO shows through this header.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "host/word/command_bars.h"

namespace veln::host::office {

class OfficeApplication;

// The scheme of the toolbar's and the menu's commands: "vnd.veln:oAdd1".
inline constexpr std::string_view COMMAND_SCHEME = "vnd.veln:";

// The command a URL of the scheme names ("oAdd1"); "" for another URL.
inline std::string CommandOfUrl(std::string_view url) {
    return url.starts_with(COMMAND_SCHEME) ? std::string(url.substr(COMMAND_SCHEME.size()))
                                           : std::string();
}

// The command of the pop-up at that place among the bar's pop-ups (from 1):
// a pop-up has no member name of its own.
inline std::string PopupCommand(int ordinal) {
    return "Popup" + std::to_string(ordinal);
}

// A caption as Writer shows it: the system marks its access key with "&"
// ("&&" for the sign itself); a menu marks it with mnemonic, a list with none
// ('\0').
inline std::string ShownCaption(std::string_view caption, char mnemonic) {
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            shown += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            shown += '&';
            ++i;
        } else if (mnemonic != '\0') {
            shown += mnemonic;
        }
    }
    return shown;
}

class ExtensionAddIn {
  public:
    virtual ~ExtensionAddIn() = default;
    // The control a command names (a member name, or a PopupCommand);
    // nullptr when there is none, or the toolbar is not built yet.
    virtual CommandBarControl* Control(std::string_view command) = 0;
    // Shows the user a failure no handler of the add-in caught.
    virtual void ShowError(const std::string& message) = 0;
    // Times the add-in's commands that ask the user something on the
    // active document, answered as a user would, in seconds a command, by
    // name ("create"): benchmarks' figures inside the office.
    virtual std::map<std::string, double> MeasureCommands() = 0;
};

// Defined by the program that builds the extension's library: connects the
// add-in to the application the extension runs, once, as the office first
// asks for the extension.
std::unique_ptr<ExtensionAddIn> ConnectExtensionAddIn(OfficeApplication& application);

}  // namespace veln::host::office
