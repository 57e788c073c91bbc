// Writes what users see as PNG files, in English and in French: a document
// window on a linked document with elements, their numbers and highlight and
// the brackets shown, the highlight pop-up with its swatches, and the forms.
// veln_desktop_screenshots FOLDER
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "addin/command_boundary.h"
#include "database/doc_variables.h"
#include "desktop_fixture.h"
#include "docx_fixture.h"
#include "elements/frm_list_elem.h"
#include "form_dialog.h"
#include "host/db/database.h"
#include "settings/frm_language.h"

namespace {

using namespace veln;

// A short requirements document: a heading, requirements, a table.
constexpr const char* BODY =
    R"(<w:p><w:pPr><w:pStyle w:val="Heading1"/></w:pPr><w:r><w:t>Braking system</w:t></w:r></w:p>)"
    R"(<w:p><w:r><w:t xml:space="preserve">The vehicle shall stop within </w:t></w:r>)"
    R"(<w:r><w:rPr><w:b/></w:rPr><w:t>40 m</w:t></w:r><w:r><w:t xml:space="preserve"> from )"
    R"(100 km/h on a dry road.</w:t></w:r></w:p>)"
    R"(<w:p><w:r><w:t>The stop shall be straight: the vehicle shall not leave its lane.</w:t></w:r></w:p>)"
    R"(<w:p><w:pPr><w:pStyle w:val="Heading2"/></w:pPr><w:r><w:t>Signals</w:t></w:r></w:p>)"
    R"(<w:p><w:r><w:t xml:space="preserve">The brake light shall come on within </w:t></w:r>)"
    R"(<w:r><w:rPr><w:i/></w:rPr><w:t>0.2 s</w:t></w:r><w:r><w:t> of the pedal.</w:t></w:r></w:p>)"
    R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>Load</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r>)"
    R"(<w:t>Distance</w:t></w:r></w:p></w:tc></w:tr><w:tr><w:tc><w:p><w:r><w:t>Empty</w:t></w:r>)"
    R"(</w:p></w:tc><w:tc><w:p><w:r><w:t>38 m</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"
    R"(<w:p><w:r><w:t>The driver shall be warned when a brake pad is worn.</w:t></w:r></w:p>)";

bool Save(QWidget& widget, const std::filesystem::path& file) {
    QApplication::processEvents();
    bool saved = widget.grab().save(QString::fromStdString(file.string()));
    std::cout << (saved ? "wrote " : "could not write ") << file.string() << "\n";
    return saved;
}

bool Shoot(const std::filesystem::path& folder, const std::string& locale,
           const std::string& language) {
    test::World world(locale);
    std::string path = world.dir / "brakes.docx";
    test::WriteDocx(path, BODY);
    {
        host::Document& document = world.app.OpenDocument(path);
        utilElements::SetDocVariable(world.context, VARDOC_DB_NAME, world.database);
        utilElements::SetDocVariable(world.context, VARDOC_DOC_ID, test::DOCUMENT_ID);
        db::Database::Open(world.database)
            .Execute("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2)",
                     {test::DOCUMENT_ID, document.FullName()});
        document.Save();
        world.app.CloseDocument(document);
    }
    desktop::Desktop desktop(world.ui, world.system);
    world.ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    desktop.Start({QString::fromStdString(path)});
    desktop::DocumentWindow& window = *desktop.Windows().front();
    window.resize(1280, 640);
    window.show();
    addin::ThisApplication& addin = *desktop.connection().Instance();
    auto click = [&](const char* member) {
        window.Toolbar().ActionOf(addin.Member(member)->Id())->trigger();
    };
    // Elements at levels 1, 2, 2 and 1, their numbers and highlight shown.
    for (auto [paragraph, member, label] :
         {std::tuple{1L, "oAdd1", "Stopping distance"}, std::tuple{2L, "oAdd2", "Straight stop"},
          std::tuple{4L, "oAdd2", "Brake light"}, std::tuple{9L, "oAdd1", "Worn pads"}}) {
        long at = window.Document().ParagraphStart(paragraph);
        window.View().Select(at, at);
        world.ui.AnswerInput(std::string(label));
        click(member);
    }
    click("oButtonYellow");
    click("oShowElementsBrackets");
    long inside = window.Document().ParagraphStart(2) + 20;
    window.View().Select(inside, inside);
    window.View().setFocus();
    bool ok = Save(window, folder / ("document-window-" + language + ".png"));

    for (QToolButton* button : window.Toolbar().findChildren<QToolButton*>()) {
        if (button->menu() != nullptr && button->text().contains(QLatin1String("&"))) {
            QMenu* menu = button->menu();
            if (menu->actions().size() == 6) {  // the highlight colours
                menu->popup(window.mapToGlobal(QPoint(400, 60)));
                ok = Save(*menu, folder / ("highlight-menu-" + language + ".png")) && ok;
                menu->hide();
            }
        }
    }

    auto run = [&](const std::function<void()>& handler) {
        addin::RunCommand(desktop.context(), handler);
    };
    auto language_form = std::make_shared<frmLanguage>(desktop.context());
    auto list_form = std::make_shared<frmListElem>(desktop.context());
    for (const std::shared_ptr<host::Form>& form :
         std::vector<std::shared_ptr<host::Form>>{language_form, list_form}) {
        desktop::FormDialog dialog(form, run, {});
        form->Load();
        dialog.Push();
        dialog.adjustSize();
        dialog.show();
        ok = Save(dialog, folder / (form->Name() + "-" + language + ".png")) && ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);  // NOLINT(concurrency-mt-unsafe)
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: veln_desktop_screenshots FOLDER\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    bool english = Shoot(folder, "C", "en");
    bool french = Shoot(folder, "fr_FR.UTF-8", "fr");
    return english && french ? 0 : 1;
}
