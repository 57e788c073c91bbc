#include "desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTextStream>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "addin/command_boundary.h"
#include "desktop_texts.h"
#include "document_view.h"
#include "document_window.h"

namespace veln::desktop {

namespace {

constexpr int RECENT_FILES = 8;
// DoEvents is called once an element in long walks: the screen is drawn
// this often, so that the walk does not pay for it at every call.
constexpr int PENDING_EVERY_MS = 40;

}  // namespace

Desktop::Desktop(host::Ui& ui, host::System& system)
    : ui_(ui), system_(system), context_(ui, system, app_), connection_(context_) {
    context_.ownProgram = true;
    // The word processor loads the templates of its startup folder as it starts.
    app_.StartupPath = system.StartupFolder();
    app_.LoadStartupTemplates();
    app_.SetWindows(this);
    sincePending_.start();
}

Desktop::~Desktop() {
    connection_.AddinInstance_OnDisconnection();
    app_.SetWindows(nullptr);
    for (auto& [document, window] : windows_) {
        delete window;
    }
}

bool Desktop::French() const {
    return context_.language.offset == FRENCH_OFFSET;
}

void Desktop::Start(const QStringList& files) {
    connection_.AddinInstance_OnConnection(app_, addin::PROG_ID);
    for (const QString& file : files) {
        Open(file);
    }
    if (windows_.empty()) {
        New();
    }
}

// --- documents and their windows ------------------------------------------------------------

DocumentWindow* Desktop::Open(const QString& path) {
    DocumentWindow* window = nullptr;
    RunCommand([&] {
        try {
            host::Document& document = app_.OpenDocument(path.toStdString());
            window = WindowOf(document);
            Remember(QString::fromStdString(document.FullName()));
        } catch (const host::HostError& error) {
            ui_.MsgBox(Tr(Text::CannotOpen, French())
                           .arg(path, QString::fromStdString(error.Description()))
                           .toStdString(),
                       host::MsgBoxStyle::vbCritical);
        }
    });
    return window;
}

void Desktop::FollowHyperlink(DocumentWindow& from, const QString& address,
                              const QString& subAddress) {
    DocumentWindow* target = &from;
    if (!address.isEmpty()) {
        QUrl url(address);
        QString path = url.isLocalFile()        ? url.toLocalFile()
                       : url.scheme().isEmpty() ? address
                                                : "";
        static const QStringList DOCUMENTS{"docx", "docm", "dotx", "dotm"};
        if (path.isEmpty() || !DOCUMENTS.contains(QFileInfo(path).suffix().toLower())) {
            QDesktopServices::openUrl(url);
            return;
        }
        if (QFileInfo(path).isRelative()) {
            std::filesystem::path folder =
                std::filesystem::path(from.Document().FullName()).parent_path();
            path = QString::fromStdString((folder / path.toStdString()).string());
        }
        target = WindowOfFile(path);
        if (target == nullptr) {
            target = Open(path);
        }
    }
    if (target == nullptr) {
        return;  // Open has said why
    }
    target->raise();
    target->activateWindow();
    Activated(*target);
    if (!subAddress.isEmpty()) {
        if (std::optional<host::BookmarkInfo> mark =
                target->Document().FindBookmark(subAddress.toStdString())) {
            target->View().Select(mark->start, mark->end);
        }
    }
}

DocumentWindow* Desktop::New() {
    DocumentWindow* window = nullptr;
    RunCommand([&] { window = WindowOf(app_.AddDocument()); });
    return window;
}

bool Desktop::Close(DocumentWindow& window) {
    bool closed = false;
    host::Document& document = window.Document();
    RunCommand([&] {
        // Closing a window works on its document, which becomes the active one.
        app_.Activate(document);
        closed = app_.CloseDocument(document);
    });
    return closed;
}

bool Desktop::Quit() {
    // Every window closes the way the user would close it; one kept open
    // stops the quitting there.
    for (DocumentWindow* window : Windows()) {
        if (!Close(*window)) {
            return false;
        }
    }
    return true;
}

void Desktop::Shown(host::Document& document) {
    if (DocumentWindow* window = WindowOf(document)) {
        window->raise();
        window->activateWindow();
        return;
    }
    auto* window = new DocumentWindow(*this, document);
    // Cascaded: each new window a step below and right of the last one, so
    // that none hides another exactly; back to the corner past the screen.
    if (!windows_.empty()) {
        constexpr int STEP = 32;
        // How much of a window stays on the screen at the least.
        constexpr int SEEN = 200;
        const QWidget* last = windows_.back().second;
        QPoint place = last->pos() + QPoint(STEP, STEP);
        if (const QScreen* screen = last->screen();
            screen != nullptr &&
            !screen->availableGeometry().adjusted(0, 0, -SEEN, -SEEN).contains(place)) {
            place = screen->availableGeometry().topLeft();
        }
        window->move(place);
    }
    windows_.emplace_back(&document, window);
    window->show();
    // In front, with the keyboard: over the window or dialog that opened it.
    window->raise();
    window->activateWindow();
    window->CheckEditable();
}

bool Desktop::AskToSave(host::Document& document) {
    if (document.Saved()) {
        return true;
    }
    QString prompt = Tr(Text::SaveChangesTo, French()).arg(QString::fromStdString(document.Name()));
    switch (ui_.MsgBox(prompt.toStdString(),
                       host::MsgBoxStyle::vbYesNoCancel + host::MsgBoxStyle::vbExclamation)) {
        case host::MsgBoxResult::vbYes: {
            DocumentWindow* window = WindowOf(document);
            return window != nullptr && window->Save();
        }
        case host::MsgBoxResult::vbNo:
            return true;
        default:
            return false;
    }
}

void Desktop::Gone(host::Document& document) {
    auto found = std::find_if(windows_.begin(), windows_.end(),
                              [&](const auto& shown) { return shown.first == &document; });
    if (found == windows_.end()) {
        return;
    }
    DocumentWindow* window = found->second;
    windows_.erase(found);
    // Hidden at once: a window about to go is no parent for a dialog.
    window->hide();
    // The document goes at once: the window lets go of it now and goes itself
    // once the events of the moment are over.
    window->Abandon();
    window->deleteLater();
    if (windows_.empty() && onLastWindowGone) {
        onLastWindowGone();
    }
}

DocumentWindow* Desktop::WindowOf(const host::Document& document) const {
    auto found = std::find_if(windows_.begin(), windows_.end(),
                              [&](const auto& shown) { return shown.first == &document; });
    return found == windows_.end() ? nullptr : found->second;
}

DocumentWindow* Desktop::WindowOfFile(const QString& path) const {
    QString wanted = QFileInfo(path).canonicalFilePath();
    for (const auto& [document, window] : windows_) {
        if (!wanted.isEmpty() &&
            QFileInfo(QString::fromStdString(document->FullName())).canonicalFilePath() == wanted) {
            return window;
        }
    }
    return nullptr;
}

std::vector<DocumentWindow*> Desktop::Windows() const {
    std::vector<DocumentWindow*> windows;
    for (const auto& [document, window] : windows_) {
        windows.push_back(window);
    }
    return windows;
}

// --- commands --------------------------------------------------------------------------------

void Desktop::RunCommand(const std::function<void()>& command) {
    ++running_;
    addin::RunCommand(context_, command);
    if (--running_ == 0) {
        for (DocumentWindow* window : Windows()) {
            window->ShowProgress(false);
        }
    }
    Refresh();
}

void Desktop::Press(DocumentWindow& window, std::uint64_t controlId) {
    if (running_ > 0) {
        // A click while a command runs waits for none: it is not taken.
        return;
    }
    RunCommand([&] {
        app_.Activate(window.Document());
        if (host::CommandBarControl* control = app_.CommandBars.FindControl(controlId)) {
            app_.Press(*control);
        }
    });
}

void Desktop::Activated(DocumentWindow& window) {
    if (app_.ActiveDocument() != &window.Document() && running_ == 0) {
        RunCommand([&] { app_.Activate(window.Document()); });
    }
}

std::function<void(const std::function<void()>&)> Desktop::FormRunner() {
    host::Document* openedOn = app_.ActiveDocument();
    return [this, openedOn](const std::function<void()>& handler) {
        // Compared by address only: the document may have closed since.
        bool open = std::any_of(windows_.begin(), windows_.end(),
                                [&](const auto& shown) { return shown.first == openedOn; });
        // As every command: progress while it runs, no toolbar click taken
        // meanwhile, the windows in step after it.
        RunCommand([&] {
            if (open && app_.ActiveDocument() != openedOn) {
                app_.Activate(*openedOn);
            }
            handler();
        });
    };
}

void Desktop::Refresh() {
    for (DocumentWindow* window : Windows()) {
        window->Sync();
    }
}

void Desktop::Pending() {
    for (DocumentWindow* window : Windows()) {
        // Screen updating off: the documents are not drawn until it is back on.
        window->ShowProgress(true);
        window->SetDrawing(app_.ScreenUpdating);
    }
    if (sincePending_.elapsed() < PENDING_EVERY_MS) {
        return;
    }
    sincePending_.restart();
    if (app_.ScreenUpdating) {
        Refresh();
    }
    // Drawn and kept alive; the user's clicks wait for the end of the work.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// --- recent files ----------------------------------------------------------------------------

QString Desktop::RecentFilesPath() const {
    std::filesystem::path settings(system_.SettingsFilePath());
    return QString::fromStdString((settings.parent_path() / "recent-files").string());
}

QStringList Desktop::RecentFiles() const {
    QFile file(RecentFilesPath());
    QStringList files;
    if (file.open(QFile::ReadOnly | QFile::Text)) {
        QTextStream in(&file);
        while (!in.atEnd() && files.size() < RECENT_FILES) {
            QString line = in.readLine();
            if (!line.isEmpty()) {
                files << line;
            }
        }
    }
    return files;
}

void Desktop::Remember(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > RECENT_FILES) {
        files.removeLast();
    }
    std::filesystem::path target = RecentFilesPath().toStdString();
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    QFile file(RecentFilesPath());
    if (file.open(QFile::WriteOnly | QFile::Truncate | QFile::Text)) {
        QTextStream out(&file);
        for (const QString& recent : files) {
            out << recent << "\n";
        }
    }
}

}  // namespace veln::desktop
