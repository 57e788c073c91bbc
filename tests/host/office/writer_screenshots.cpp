// Writes what users of VELN in Writer see as PNG files, in English and in
// French: every form as a dialog of the office, on a virtual display (Xvfb),
// each as a user meets it on the example project.
// veln_writer_screenshots FOLDER EXAMPLE_FOLDER GRABBER
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include <com/sun/star/awt/PosSize.hpp>
#include <com/sun/star/awt/XWindow.hpp>

#include "addin/connect_word.h"
#include "addin/face_icons.h"
#include "every_form.h"
#include "host/office/office_application.h"
#include "host/office/office_form_dialog.h"
#include "host/office/office_ui.h"
#include "host/word/document.h"
#include "host/word/selection.h"
#include "virtual_display.h"
#include "world.h"

namespace {

using namespace veln;
namespace fs = std::filesystem;
namespace office = host::office;
namespace css = office::css;

// The office's dialogs, but the project database's chooser answered with
// the example's project and a message box with its first button: they
// would hide the forms.
class ExampleUi : public host::Ui {
  public:
    ExampleUi(office::OfficeUi& office, std::string database)
        : office_(office), database_(std::move(database)) {}
    // A question would hide the form: answered with its first button, and told.
    int MsgBox(const std::string& prompt, int flags, const std::string& /*title*/) override {
        std::cout << "answered: " << prompt << "\n";
        switch (flags & 7) {
            case host::MsgBoxStyle::vbYesNo:
            case host::MsgBoxStyle::vbYesNoCancel:
                return host::MsgBoxResult::vbYes;
            case host::MsgBoxStyle::vbRetryCancel:
                return host::MsgBoxResult::vbRetry;
            default:
                return host::MsgBoxResult::vbOK;
        }
    }
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override {
        return office_.InputBox(prompt, title, defaultText);
    }
    std::string BrowseFolder(const std::string& title) override {
        return office_.BrowseFolder(title);
    }
    std::string ShowOpen(const std::string& /*filter*/, const std::string& /*defaultExtension*/,
                         const std::string& /*initialFolder*/, int /*flags*/) override {
        return database_;
    }
    void Show(const std::shared_ptr<host::Form>& form, bool modal) override {
        office_.Show(form, modal);
    }
    void ShowWorkbook(const std::string& path) override { office_.ShowWorkbook(path); }
    void ShowStatus(const std::string& text) override { office_.ShowStatus(text); }

  private:
    office::OfficeUi& office_;
    std::string database_;
};

// Each form shown beside the example's documents, at the display's corner.
bool ShootForms(const fs::path& folder, const fs::path& project, const std::string& locale,
                const std::string& language, const std::string& display,
                const std::string& grabber) {
    test::World world(locale);
    office::OfficeOptions options;
    options.dialogs = true;
    options.display = display;
    auto app = office::OfficeApplication::Start(options);
    office::OfficeUi officeUi(*app, world.system.ProgramFolder());
    officeUi.SetPictures([](int picture) { return std::string(addin::PictureIconName(picture)); });
    ExampleUi ui(officeUi, (project / "Brakes.mdb").string());
    Context context(ui, world.system, *app);
    // Connected as in Writer, on a second run: the documents' elements are read as they open.
    world.MakeStartupTemplate();
    app->StartupPath = world.system.StartupFolder();
    addin::ConnectWord connect(context);
    connect.AddinInstance_OnConnection(*app);
    app->OpenDocument((project / "test-plan.docx").string());
    host::Document& requirements = app->OpenDocument((project / "requirements.docx").string());
    // In the first requirement, as a user reading it.
    const long inside = requirements.ParagraphStart(2) + 20;
    requirements.Selection().SetRange(inside, inside);
    bool ok = true;
    for (const test::FormScene& scene : test::EveryForm(context)) {
        ui.Show(scene.form, false);
        office::OfficeFormDialog* dialog = officeUi.Shown(scene.form->Name());
        if (dialog == nullptr) {
            std::cout << scene.form->Name() << " did not show\n";
            ok = false;
            continue;
        }
        if (scene.prepare) {
            dialog->Handle(scene.prepare);
        }
        office::Reference<css::awt::XWindow> window(dialog->Dialog()->getPeer(),
                                                    office::UNO_QUERY_THROW);
        window->setPosSize(0, 0, 0, 0, css::awt::PosSize::POS);
        // Drawn: the office paints once its loop is idle.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        const css::awt::Rectangle area = window->getPosSize();
        ok =
            test::GrabScreen(grabber, display, {area.X, area.Y, area.Width, area.Height},
                             folder / ("writer-" + scene.form->Name() + "-" + language + ".png")) &&
            ok;
        dialog->Handle([&scene] { scene.form->Unload(); });
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: veln_writer_screenshots FOLDER EXAMPLE_FOLDER GRABBER\n";
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path example = argv[2];
    const std::string grabber = argv[3];
    fs::create_directories(folder);
    try {
        test::VirtualDisplay display;
        const bool english = ShootForms(folder, example, "C", "en", display.Name(), grabber);
        const bool french =
            ShootForms(folder, example, "fr_FR.UTF-8", "fr", display.Name(), grabber);
        return english && french ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "veln_writer_screenshots: " << error.what() << "\n";
        return 1;
    }
}
