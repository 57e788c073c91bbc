// Writes a PNG of part of the X display named by DISPLAY, as the screen
// shows it: what the screenshots of LibreOffice on Xvfb are made of.
// veln_test_grab_screen X Y WIDTH HEIGHT FILE
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: veln_test_grab_screen X Y WIDTH HEIGHT FILE\n";
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);  // NOLINT(concurrency-mt-unsafe)
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::cerr << "veln_test_grab_screen: no screen\n";
        return 1;
    }
    const QPixmap shot = screen->grabWindow(0, std::stoi(argv[1]), std::stoi(argv[2]),
                                            std::stoi(argv[3]), std::stoi(argv[4]));
    return shot.save(QString::fromLocal8Bit(argv[5])) ? 0 : 1;
}
