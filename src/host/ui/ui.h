// The dialogs the system shows: message boxes, input boxes, the folder browser,
// the file-open dialog and its forms. The desktop program renders them with Qt;
// ScriptedUi answers them from a queue for tests and the command line.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace veln::host {

class Form;

// Nobody is there to answer a dialog (a script that queued no answer): not
// an error of the command that asked, so no command reports it as its own.
class NoOneToAnswer : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Button and icon flags of a message box, combined by addition.
namespace MsgBoxStyle {
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;
}  // namespace MsgBoxStyle

// The button a message box returns.
namespace MsgBoxResult {
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;
}  // namespace MsgBoxResult

// A message box without a title of its own shows the add-in's.
inline constexpr const char* DEFAULT_TITLE = "VELN";

// The file-open dialog's flag that refuses a file that does not exist.
inline constexpr int OFN_FILEMUSTEXIST = 0x1000;
// Ours: the dialog chooses a project database, which may also be a database
// on a server, named by its postgresql:// address instead of picked.
inline constexpr int OFN_PROJECT_DATABASE = 0x10000000;

class Ui {
  public:
    virtual ~Ui() = default;

    // Returns the MsgBoxResult of the button pressed. An empty title shows DEFAULT_TITLE.
    virtual int MsgBox(const std::string& prompt, int flags = MsgBoxStyle::vbOKOnly,
                       const std::string& title = "") = 0;
    // Returns the typed text, or "" when the user cancels.
    virtual std::string InputBox(const std::string& prompt, const std::string& title = "",
                                 const std::string& defaultText = "") = 0;
    // Returns the chosen folder, or "" when the user cancels.
    virtual std::string BrowseFolder(const std::string& title) = 0;
    // filter: "Description|*.ext" pairs; returns the chosen file, or "" when cancelled.
    virtual std::string ShowOpen(const std::string& filter, const std::string& defaultExtension,
                                 const std::string& initialFolder, int flags) = 0;
    // Loads and shows the form. A modal show returns once the form has closed; a
    // modeless one returns at once and the Ui keeps the form alive until it closes.
    virtual void Show(const std::shared_ptr<Form>& form, bool modal) = 0;
    // Shows the user a workbook the system has just written to path: the
    // desktop program opens it in the user's spreadsheet program
    // (host::OpenInSpreadsheetProgram) or, when nothing could be started,
    // tells where it is; a scripted Ui notes the path and starts nothing.
    virtual void ShowWorkbook(const std::string& path) = 0;
    // Says something in passing, with nothing to answer: the desktop shows
    // it in the active window's status bar; a scripted Ui notes it.
    virtual void ShowStatus(const std::string& text) = 0;
};

}  // namespace veln::host
