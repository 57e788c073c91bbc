// The desktop program's running state: the word processor with its windows,
// the add-in connected to it as at every start, the program's context, and
// the commands of the user that reach them (toolbar presses, menus, closing).
// After every command each window is brought in step with the model.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "addin/connect_word.h"
#include "desktop_application.h"
#include "elements/context.h"

namespace veln::desktop {

class DocumentWindow;

class Desktop : public QObject, private DesktopApplication::Windows {
    Q_OBJECT

  public:
    Desktop(host::Ui& ui, host::System& system);
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Connects the add-in with its ProgId, as the word processor does when
    // it starts, then opens the files, or a new document when there are none.
    void Start(const QStringList& files);

    Context& context() { return context_; }
    DesktopApplication& app() { return app_; }
    addin::ConnectWord& connection() { return connection_; }
    bool French() const;

    // The user's commands. Open reports a file it cannot open and returns
    // nullptr; Close and Quit go through the application's close, whose
    // questions may keep a window open (false then).
    DocumentWindow* Open(const QString& path);
    DocumentWindow* New();
    bool Close(DocumentWindow& window);
    bool Quit();

    // A hyperlink followed in a window: a document opens in VELN at the
    // bookmark it names (the element), anything else in the program the
    // desktop gives it.
    void FollowHyperlink(DocumentWindow& from, const QString& address, const QString& subAddress);

    // A press on a control of the toolbar of a window, as a user's click.
    void Press(DocumentWindow& window, std::uint64_t controlId);
    // The window became the active one: its document becomes the active document.
    void Activated(DocumentWindow& window);
    // Runs a command, then brings every window in step with the model.
    void RunCommand(const std::function<void()>& command);
    // Brings every window in step with the model.
    void Refresh();
    // What runs the handlers of a form shown now: a command, on the
    // document active now. A modeless form (the element editor) keeps
    // working on its document while the user works in another window.
    std::function<void(const std::function<void()>&)> FormRunner();

    DocumentWindow* WindowOf(const host::Document& document) const;
    // The window of the document saved at path, nullptr when none shows it.
    DocumentWindow* WindowOfFile(const QString& path) const;
    std::vector<DocumentWindow*> Windows() const;

    // Recently opened files, the latest first; kept beside the settings file.
    QStringList RecentFiles() const;
    void Remember(const QString& path);

    // What happens when the last window has gone (the program ends).
    std::function<void()> onLastWindowGone;

  private:
    void Shown(host::Document& document) override;
    bool AskToSave(host::Document& document) override;
    void Gone(host::Document& document) override;
    void Pending() override;
    QString RecentFilesPath() const;

    host::Ui& ui_;
    host::System& system_;
    DesktopApplication app_;
    Context context_;
    addin::ConnectWord connection_;
    // In the order they opened: Quit closes them in that order.
    std::vector<std::pair<const host::Document*, DocumentWindow*>> windows_;
    int running_ = 0;  // commands running now, nested ones included
    QElapsedTimer sincePending_;
};

}  // namespace veln::desktop
