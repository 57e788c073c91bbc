// Writes a picture of Writer's window on the example's requirements, with
// VELN's toolbar, in English and in French: the extension installed in the
// office as a user installs it, the office on a virtual display (Xvfb).
// veln_writer_window_screenshots FOLDER EXAMPLE_FOLDER GRABBER
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include <com/sun/star/awt/PosSize.hpp>
#include <com/sun/star/awt/XWindow.hpp>

#include "addin/this_application.h"
#include "host/word/document.h"
#include "installed_office.h"
#include "temp_dir.h"
#include "virtual_display.h"
#include "world.h"

namespace {

using namespace veln;
namespace fs = std::filesystem;
namespace office = host::office;
namespace css = office::css;

// The example's requirements in Writer's window, VELN installed in the
// office as a user installs it, in a user's language and folders of its own.
bool ShootDocumentWindow(const fs::path& folder, const fs::path& project, const std::string& locale,
                         const std::string& language, const std::string& display,
                         const std::string& grabber) {
    test::TempDir user;
    for (const char* name : {"LANG", "LC_ALL"}) {
        setenv(name, locale.c_str(), 1);
    }
    setenv("HOME", user.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (user / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (user / "data").c_str(), 1);
    {
        // A second run of VELN: its first would say it made its template.
        test::World world(locale);
        const fs::path startup = user / "data/veln/startup";
        fs::create_directories(startup);
        host::Document& blank = world.app.AddDocument(false);
        blank.SaveAs((startup / addin::GLOBAL_TEMPLATE).string(), host::SaveFormat::Template);
        world.app.CloseDocument(blank);
    }
    office::OfficeOptions options;
    options.dialogs = true;
    options.display = display;
    test::InstalledOffice installed(user.Path().string(), options);
    office::OfficeConnection& connection = installed.Connection();
    return connection.Run(
        "showing the requirements",
        [&] {
            office::Reference<css::frame::XComponentLoader> loader(connection.Desktop(),
                                                                   office::UNO_QUERY_THROW);
            office::Reference<css::frame::XModel> model(
                loader->loadComponentFromURL(
                    office::FileUrl((project / "requirements.docx").string()),
                    office::ToOUString("_blank"), 0, {}),
                office::UNO_QUERY_THROW);
            office::Reference<css::awt::XWindow> window =
                model->getCurrentController()->getFrame()->getContainerWindow();
            window->setPosSize(0, 0, 1200, 800, css::awt::PosSize::POSSIZE);
            // Laid out, the toolbars in place, and drawn.
            std::this_thread::sleep_for(std::chrono::seconds(3));
            const css::awt::Rectangle area = window->getPosSize();
            const bool ok =
                test::GrabScreen(grabber, display, {area.X, area.Y, area.Width, area.Height},
                                 folder / ("writer-window-" + language + ".png"));
            office::Reference<css::util::XCloseable>(model, office::UNO_QUERY_THROW)->close(true);
            return ok;
        },
        0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: veln_writer_window_screenshots FOLDER EXAMPLE_FOLDER GRABBER\n";
        return 2;
    }
    const fs::path folder = argv[1];
    fs::create_directories(folder);
    try {
        test::VirtualDisplay display;
        const bool english =
            ShootDocumentWindow(folder, argv[2], "C", "en", display.Name(), argv[3]);
        const bool french =
            ShootDocumentWindow(folder, argv[2], "fr_FR.UTF-8", "fr", display.Name(), argv[3]);
        return english && french ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "veln_writer_window_screenshots: " << error.what() << "\n";
        return 1;
    }
}
