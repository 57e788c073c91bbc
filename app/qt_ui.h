// The system's dialogs on Qt: message boxes with the system's buttons, icons,
// default button and result codes, input boxes, the folder browser, the
// file-open dialog with its "Description|*.ext" filter, and forms shown
// modal or modeless through the form binder.
#pragma once

#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "host/system/system.h"
#include "host/ui/ui.h"
#include "settings/language.h"

class QWidget;

namespace veln::desktop {

// What the system's dialogs and forms set on their window before it shows.
struct WindowSettings {
    QString title;
    bool programIcon = false;
    std::int32_t backColour = 0;  // the system's 0x00BBGGRR; 0 keeps the style's
};
void ApplyWindowSettings(QWidget& window, const WindowSettings& settings);

class QtUi : public host::Ui {
  public:
    QtUi();

    // The language of the buttons follows the run's, once it is known.
    void SetLanguage(const Language* language) { language_ = language; }
    // Where workbooks are handed to the spreadsheet program; without it their
    // path is told.
    void SetSystem(host::System* system) { system_ = system; }
    // Every handler a form runs goes through the runner that runnerFor gives
    // when the form is shown: a command of the program, on the document the
    // form was opened on, after which the windows show what it did.
    using Runner = std::function<void(const std::function<void()>&)>;
    void SetFormRunner(std::function<Runner()> runnerFor) { runnerFor_ = std::move(runnerFor); }

    int MsgBox(const std::string& prompt, int flags = host::MsgBoxStyle::vbOKOnly,
               const std::string& title = "") override;
    std::string InputBox(const std::string& prompt, const std::string& title = "",
                         const std::string& defaultText = "") override;
    std::string BrowseFolder(const std::string& title) override;
    std::string ShowOpen(const std::string& filter, const std::string& defaultExtension,
                         const std::string& initialFolder, int flags) override;
    void Show(const std::shared_ptr<host::Form>& form, bool modal) override;
    void ShowWorkbook(const std::string& path) override;
    void ShowStatus(const std::string& text) override;

    // "Word documents|*.docx;*.docm|All files|*.*" as Qt writes filters.
    static QString QtFilter(const std::string& filter);

  private:
    bool French() const;
    static QWidget* Parent();

    const Language* language_ = nullptr;
    host::System* system_ = nullptr;
    std::function<Runner()> runnerFor_;
    // A status said while a document opens, before its window shows: the
    // window active once the event loop turns shows it.
    QString pendingStatus_;
    QTimer statusTimer_;
};

// The system's UTF-8 text as Qt's.
inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace veln::desktop
