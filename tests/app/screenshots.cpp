// Writes what users see as PNG files, in English and in French: a document
// window on the example project with its elements, numbers, highlight and
// brackets shown, the highlight pop-up with its swatches, and every form,
// each as a user meets it on that project.
// veln_desktop_screenshots FOLDER EXAMPLE_FOLDER
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "corpus.h"
#include "desktop_fixture.h"
#include "find_dialog.h"
#include "form_dialog.h"
#include "form_scenes.h"
#include "qt_ui.h"

namespace {

using namespace veln;
namespace fs = std::filesystem;

bool Save(QWidget& widget, const fs::path& file) {
    QApplication::processEvents();
    bool saved = widget.grab().save(QString::fromStdString(file.string()));
    std::cout << (saved ? "wrote " : "could not write ") << file.string() << "\n";
    return saved;
}

// The project database's chooser, with its row for a database on a server.
bool ShootDatabaseChooser(desktop::Desktop& desktop, const fs::path& folder,
                          const fs::path& example, const std::string& language) {
    desktop::QtUi qtUi;
    qtUi.SetLanguage(&desktop.context().language);
    bool ok = false;
    test::WhenModal("QFileDialog", [&](QWidget* dialog) {
        dialog->resize(900, 520);
        dialog->findChild<QLineEdit*>("serverDatabase")
            ->setText("postgresql://db.example.com/brakes?sslmode=require");
        ok = Save(*dialog, folder / ("database-chooser-" + language + ".png"));
        qobject_cast<QDialog*>(dialog)->reject();
    });
    qtUi.ShowOpen("Database files (*.mdb)|*.mdb|All files (*.*)|*.*", "mdb", example.string(),
                  host::OFN_FILEMUSTEXIST | host::OFN_PROJECT_DATABASE);
    return ok;
}

bool Shoot(const fs::path& folder, const fs::path& example, const std::string& locale,
           const std::string& language) {
    test::World world(locale);
    desktop::Desktop desktop(world.ui, world.system);
    desktop.Start({QString::fromStdString((example / "test-plan.docx").string()),
                   QString::fromStdString((example / "requirements.docx").string())});
    desktop::DocumentWindow& window = *desktop.Windows().back();
    window.resize(1280, 720);
    window.show();
    window.activateWindow();
    desktop.Activated(window);
    addin::ThisApplication& addin = *desktop.connection().Instance();
    window.Toolbar().ActionOf(addin.Member("oShowElementsBrackets")->Id())->trigger();
    // In the first requirement, as a user reading it.
    long inside = window.Document().ParagraphStart(2) + 20;
    window.View().Select(inside, inside);
    window.View().setFocus();
    bool ok = Save(window, folder / ("document-window-" + language + ".png"));
    window.View().SetZoom(150);
    ok = Save(window, folder / ("document-window-zoomed-" + language + ".png")) && ok;
    window.View().SetZoom(100);
    window.Finder().Open(true);
    window.Finder().FindField().setText("brake");
    window.Finder().ReplaceField().setText("brakes");
    ok = Save(window.Finder(), folder / ("find-dialog-" + language + ".png")) && ok;
    window.Finder().hide();
    // The same document on paper, to look at beside the screen.
    ok = window.ExportPdfTo(
             QString::fromStdString((folder / ("requirements-" + language + ".pdf")).string())) &&
         ok;

    // The pop-ups with check marks: the number menu (numbers and delimiters
    // shown) and the highlight menu (six colours, the one in use marked).
    QAction* numbers = window.Toolbar().ActionOf(addin.Member("oShowNumber")->Id());
    QAction* cyan = window.Toolbar().ActionOf(addin.Member("oButtonCyan")->Id());
    for (QToolButton* button : window.Toolbar().findChildren<QToolButton*>()) {
        QMenu* menu = button->menu();
        if (menu == nullptr) {
            continue;
        }
        const char* name = menu->actions().contains(numbers) ? "number-menu-"
                           : menu->actions().contains(cyan)  ? "highlight-menu-"
                                                             : nullptr;
        if (name != nullptr) {
            menu->popup(window.mapToGlobal(QPoint(400, 60)));
            ok = Save(*menu, folder / (name + language + ".png")) && ok;
            menu->hide();
        }
    }

    // The list of a project's documents asks for its project first.
    world.ui.AnswerOpen((example / "Brakes.mdb").string());
    for (const test::FormScene& scene : test::EveryForm(desktop.context())) {
        std::unique_ptr<desktop::FormDialog> shown = test::ShowScene(scene, desktop);
        desktop::FormDialog& dialog = *shown;
        // The offscreen screen is small: a window is not kept to two thirds
        // of it, as on a real screen it would have room.
        dialog.resize(std::max(dialog.width(), dialog.sizeHint().width()), dialog.height());
        ok = Save(dialog, folder / (scene.form->Name() + "-" + language + ".png")) && ok;
        dialog.hide();
    }

    ok = ShootDatabaseChooser(desktop, folder, example, language) && ok;

    // A real document as its author laid it out: a title, headings, lists
    // and tables from its styles and numbering parts.
    if (test::MissingCorpus().empty()) {
        const std::array<std::pair<const char*, const char*>, 3> documents{
            {{"strict-ooxml-full-featured.docx", "real-document"},
             {"table-merged-cells-column-bookmark.docx", "real-document-tables"},
             {"word-for-web-numbering.docx", "real-document-lists"}}};
        for (const auto& [file, name] : documents) {
            desktop.Open(QString::fromStdString((test::CorpusDir() / file).string()));
            desktop::DocumentWindow& real = *desktop.Windows().back();
            real.resize(1280, 720);
            real.show();
            ok = Save(real, folder / (std::string(name) + "-" + language + ".png")) && ok;
        }
    }

    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);  // NOLINT(concurrency-mt-unsafe)
    QApplication application(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: veln_desktop_screenshots FOLDER EXAMPLE_FOLDER\n";
        return 2;
    }
    fs::path folder = argv[1];
    fs::path example = argv[2];
    fs::create_directories(folder);
    bool english = Shoot(folder, example, "C", "en");
    bool french = Shoot(folder, example, "fr_FR.UTF-8", "fr");
    return english && french ? 0 : 1;
}
