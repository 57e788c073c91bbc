// veln-desktop: VELN as a person uses it, one window per document with the
// add-in's toolbar. Without a display it says so and points to the batch
// commands of veln.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <new>

#include "addin/command_boundary.h"
#include "desktop.h"
#include "desktop_texts.h"
#include "faces.h"
#include "host/docx/lock_file.h"
#include "host/system/posix_system.h"
#include "qt_ui.h"
#include "termination.h"

namespace {

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int Run(int argc, char** argv) {
    using namespace veln;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--version") {
            std::cout << "veln-desktop " << VELN_VERSION << "\n";
            return 0;
        }
        if (argument == "--help") {
            std::cout << "Usage: veln-desktop [FILE...]\n"
                         "Opens each .docx (.docm, .dotx, .dotm) FILE in a window of its own, "
                         "or a new document.\n";
            return 0;
        }
    }
    host::PosixSystem system;
    if (!HasDisplay()) {
        bool french = Language::ChooseOffset(system) == FRENCH_OFFSET;
        std::cerr << desktop::Tr(desktop::Text::NoDisplay, french).toStdString() << "\n";
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("VELN");
    QApplication::setApplicationVersion(VELN_VERSION);
    QApplication::setDesktopFileName("veln-desktop");
    QApplication::setWindowIcon(desktop::ProgramIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    desktop::QtUi ui;
    desktop::Desktop desktop(ui, system);
    ui.SetLanguage(&desktop.context().language);
    ui.SetSystem(&system);
    ui.SetFormRunner([&desktop] { return desktop.FormRunner(); });
    desktop.onLastWindowGone = [] { QApplication::quit(); };
    // A signal to end: nothing more of the program runs, since a dialog open
    // then would return an answer nobody gave. What was not saved is
    // discarded; the locks go, and the project database is left as its
    // last command left it.
    desktop::Termination termination([] {
        host::docx::ReleaseEveryLock();
        std::_Exit(0);
    });
    QStringList files = QApplication::arguments().mid(1);
    desktop.Start(files);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    // What escapes the program ends it with its text and status 1, never
    // with an abort.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "veln-desktop: out of memory\n";
    } catch (const std::exception& error) {
        std::cerr << "veln-desktop: " << error.what() << "\n";
    } catch (...) {
        std::cerr << "veln-desktop: an unknown error\n";
    }
    return 1;
}
