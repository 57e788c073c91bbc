#include "desktop_fixture.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

namespace veln::test {

DesktopTest::~DesktopTest() {
    EXPECT_THAT(ui.UnusedAnswers(), ::testing::IsEmpty());
}

void DesktopTest::Start(const QStringList& files) {
    if (qt_) {
        qtUi.SetLanguage(&desktop.context().language);
        // Wired as the program wires them.
        qtUi.SetFormRunner([this] { return desktop.FormRunner(); });
    }
    desktop.Start(files);
}

void WhenModal(const char* className, const std::function<void(QWidget*)>& answer) {
    auto* timer = new QTimer();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, className, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->inherits(className)) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

QString DesktopTest::SavedDocument(const std::vector<std::string>& paragraphs,
                                   const std::string& fileName, const std::string& docId) {
    host::Document& document = NewDocument(paragraphs, fileName, docId);
    document.Save();
    std::string path = document.FullName();
    app.CloseDocument(document);
    return QString::fromStdString(path);
}

desktop::DocumentWindow& DesktopTest::Window() {
    std::vector<desktop::DocumentWindow*> windows = desktop.Windows();
    host::Document* active = desktop.app().ActiveDocument();
    for (desktop::DocumentWindow* window : windows) {
        if (&window->Document() == active) {
            return *window;
        }
    }
    if (windows.empty()) {
        throw std::runtime_error("no window is open");
    }
    return *windows.front();
}

QAction* DesktopTest::Action(const std::string& member) {
    host::CommandBarControl* control = desktop.connection().Instance()->Member(member);
    if (control == nullptr) {
        throw std::runtime_error("no toolbar member " + member);
    }
    return Window().Toolbar().ActionOf(control->Id());
}

void DesktopTest::Click(const std::string& member) {
    QAction* action = Action(member);
    if (action == nullptr) {
        throw std::runtime_error("the toolbar shows no " + member);
    }
    action->trigger();
}

void DesktopTest::Paint() {
    View().viewport()->grab();
}

}  // namespace veln::test
