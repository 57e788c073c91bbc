// The system's dialogs on Qt, answered as a user answers them: message boxes
// with the system's buttons, icons, default button and results, input boxes,
// the file-open dialog's filter, and forms bound to their Designer files by
// the controls' names, their handlers running at each user's action.
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gmock/gmock.h>

#include "database/db_elements.h"
#include "desktop_fixture.h"
#include "elements/frm_list_elem.h"
#include "form_dialog.h"
#include "settings/frm_language.h"
#include "settings/util_ini_file.h"

namespace veln::test {
namespace {

using namespace host::MsgBoxStyle;
using host::MsgBoxResult::vbCancel;
using host::MsgBoxResult::vbNo;
using host::MsgBoxResult::vbOK;
using host::MsgBoxResult::vbYes;
using ::testing::ElementsAre;

constexpr const char* FIRST = "The vehicle shall stop within 40 m.";
constexpr const char* SECOND = "The stop shall be straight.";

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

class QtUiTest : public DesktopTest {
  protected:
    QtUiTest() : DesktopTest("C", true) { qtUi.SetLanguage(&desktop.context().language); }

    // Shows a message box, looks at it and presses key in it.
    int Box(const std::string& prompt, int flags, const std::string& title, Qt::Key key,
            BoxSeen& seen) {
        WhenModal("QMessageBox", [&seen, key](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            for (QAbstractButton* button : box->buttons()) {
                seen.buttons << button->text();
            }
            seen.defaultButton = box->defaultButton()->text();
            QTest::keyClick(box, key);
        });
        return qtUi.MsgBox(prompt, flags, title);
    }
};

TEST_F(QtUiTest, MessageBoxesHaveTheSystemsButtonsIconsDefaultButtonAndResults) {
    BoxSeen seen;
    EXPECT_EQ(Box("Save?\rSome elements changed.", vbYesNoCancel + vbExclamation + vbDefaultButton2,
                  "", Qt::Key_Return, seen),
              vbNo)
        << "Enter presses the default button, the second";
    EXPECT_EQ(seen.title, "VELN");
    EXPECT_EQ(seen.text, "Save?\nSome elements changed.");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons.size(), 3);
    EXPECT_EQ(seen.defaultButton, "&No");

    BoxSeen cancelled;
    EXPECT_EQ(Box("Renumber?", vbOKCancel + vbExclamation + vbDefaultButton2, "Renumber Elements",
                  Qt::Key_Escape, cancelled),
              vbCancel);
    EXPECT_EQ(cancelled.title, "Renumber Elements");
    EXPECT_EQ(cancelled.defaultButton, "Cancel");

    BoxSeen information;
    EXPECT_EQ(Box("Done.", vbInformation, "", Qt::Key_Escape, information), vbOK);
    EXPECT_EQ(information.icon, QMessageBox::Information);
    EXPECT_THAT(information.buttons, ElementsAre("OK"));

    BoxSeen critical;
    EXPECT_EQ(Box("Error", vbYesNo + vbCritical, "", Qt::Key_Return, critical), vbYes);
    EXPECT_EQ(critical.icon, QMessageBox::Critical);

    desktop.context().language.offset = FRENCH_OFFSET;
    BoxSeen french;
    Box("Continuer ?", vbYesNoCancel + vbQuestion, "", Qt::Key_Return, french);
    EXPECT_EQ(french.icon, QMessageBox::Question);
    EXPECT_EQ(french.defaultButton, "&Oui");
    EXPECT_TRUE(french.buttons.contains("Annuler"));
}

TEST_F(QtUiTest, AWorkbookNoProgramCouldShowIsToldWithItsPath) {
    // The test world has no display: nothing is started, the path is told.
    qtUi.SetSystem(&system);
    BoxSeen seen;
    WhenModal("QMessageBox", [&seen](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        seen.text = box->text();
        seen.icon = box->icon();
        QTest::keyClick(box, Qt::Key_Return);
    });
    qtUi.ShowWorkbook("/home/ann/Matrix 2026-12-06 10-00-00.xlsx");
    EXPECT_EQ(seen.text, "The workbook was written to /home/ann/Matrix 2026-12-06 10-00-00.xlsx");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST_F(QtUiTest, InputBoxesGiveTheTextOrNothingOnCancel) {
    WhenModal("QInputDialog", [](QWidget* widget) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        EXPECT_EQ(dialog->windowTitle(), "Description of the Element");
        EXPECT_EQ(dialog->textValue(), "Stop");
        dialog->setTextValue("Stop at once");
        dialog->accept();
    });
    EXPECT_EQ(qtUi.InputBox("Enter an Element description", "Description of the Element", "Stop"),
              "Stop at once");
    WhenModal("QInputDialog", [](QWidget* widget) { qobject_cast<QDialog*>(widget)->reject(); });
    EXPECT_EQ(qtUi.InputBox("Enter", "", "Default"), "");
}

TEST_F(QtUiTest, TheFileOpenDialogTakesTheSystemsFilter) {
    EXPECT_EQ(desktop::QtUi::QtFilter("Project databases|*.mdb|All files|*.*;*"),
              "Project databases (*.mdb);;All files (*.* *)");
    EXPECT_EQ(desktop::QtUi::QtFilter("Database files (*.mdb)|*.mdb|All files (*.*)|*.*"),
              "Database files (*.mdb);;All files (*.*)")
        << "patterns the description already shows are not shown twice";
    std::string chosen = dir / test::DATABASE_FILE;
    WhenModal("QFileDialog", [&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->defaultSuffix(), "mdb");
        EXPECT_THAT(dialog->nameFilters(), ElementsAre("Project databases (*.mdb)"));
        dialog->selectFile(QString::fromStdString(chosen));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(qtUi.ShowOpen("Project databases|*.mdb", ".mdb", dir.Path().string(),
                            host::OFN_FILEMUSTEXIST),
              chosen);
}

TEST_F(QtUiTest, AProjectDatabaseMayBeNamedOnAServerInsteadOfPicked) {
    const std::string server = "postgresql://db.example/brakes";
    auto chooseServer = [&](QWidget* widget) {
        auto* field = widget->findChild<QLineEdit*>("serverDatabase");
        auto* open = widget->findChild<QPushButton*>("openServerDatabase");
        ASSERT_NE(field, nullptr);
        ASSERT_NE(open, nullptr);
        QTest::keyClicks(field, "postgresql:/");
        EXPECT_FALSE(open->isEnabled()) << "half an address opens nothing";
        field->setText("/home/ann/brakes.mdb");
        EXPECT_FALSE(open->isEnabled()) << "a file is picked above, not named here";
        field->setText(QString::fromStdString("  " + server));
        EXPECT_TRUE(open->isEnabled());
        QTest::mouseClick(open, Qt::LeftButton);
    };
    WhenModal("QFileDialog", chooseServer);
    EXPECT_EQ(dbElements::dbChooseDatabase(desktop.context()), server);

    // Enter in the field opens it too; in French the row speaks French.
    desktop.context().language.offset = FRENCH_OFFSET;
    QString label;
    QString qtsOwn;
    WhenModal("QFileDialog", [&](QWidget* widget) {
        auto* field = widget->findChild<QLineEdit*>("serverDatabase");
        label = widget->findChild<QPushButton*>("openServerDatabase")->text();
        qtsOwn = widget->findChild<QLabel*>("fileNameLabel")->text();
        field->setText(QString::fromStdString(server));
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(qtUi.ShowOpen("Project databases|*.mdb", ".mdb", dir.Path().string(),
                            host::OFN_PROJECT_DATABASE),
              server);
    EXPECT_EQ(label, "Ouvrir depuis le serveur");
    EXPECT_EQ(qtsOwn, "&Nom de fichier :") << "Qt's own words are in French too";

    // Other files are only picked.
    bool hasField = true;
    WhenModal("QFileDialog", [&](QWidget* widget) {
        hasField = widget->findChild<QLineEdit*>("serverDatabase") != nullptr;
        qobject_cast<QDialog*>(widget)->reject();
    });
    EXPECT_EQ(qtUi.ShowOpen("Word documents|*.docx", ".docx", dir.Path().string(), 0), "");
    EXPECT_FALSE(hasField);
}

TEST_F(QtUiTest, OpenAndSaveAsStartInTheDocumentsFolder) {
    Start({SavedDocument({"Braking"}, "plan.docx", "")});
    QString folder = QString::fromStdString(dir.Path().string());
    QString shown;
    auto cancel = [&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        shown = dialog->directory().absolutePath();
        static_cast<QDialog*>(dialog)->reject();
    };
    WhenModal("QFileDialog", cancel);
    EXPECT_FALSE(Window().SaveAs());
    EXPECT_EQ(shown, folder);
    shown.clear();
    WhenModal("QFileDialog", cancel);
    for (QAction* action : Window().findChildren<QAction*>()) {
        if (action->shortcut() == QKeySequence(QKeySequence::Open)) {
            action->trigger();
        }
    }
    EXPECT_EQ(shown, folder);
}

TEST_F(QtUiTest, TheLanguageDialogIsItsDesignerFileBoundByName) {
    auto form = std::make_shared<frmLanguage>(desktop.context());
    bool fromDesigner = false;
    bool autoChecked = false;
    WhenModal("veln::desktop::FormDialog", [&](QWidget* widget) {
        auto* dialog = qobject_cast<desktop::FormDialog*>(widget);
        fromDesigner = dialog->FromDesigner();
        for (host::Control* control : form->Controls()) {
            EXPECT_NE(dialog->WidgetOf(control->Name()), nullptr) << control->Name();
        }
        EXPECT_EQ(dialog->windowTitle(), "Language");
        EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(117, 165, 217));
        auto* automatic = qobject_cast<QRadioButton*>(dialog->WidgetOf("OButtonAuto"));
        autoChecked = automatic->isChecked();
        EXPECT_EQ(qobject_cast<QPushButton*>(dialog->WidgetOf("CancelButton"))->text(), "Annuler");
        QTest::mouseClick(dialog->WidgetOf("OButtonFrench"), Qt::LeftButton);
        EXPECT_TRUE(form->OButtonFrench.Value());
        EXPECT_FALSE(automatic->isChecked()) << "the model's group, shown";
        WhenModal("QMessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        QTest::mouseClick(dialog->WidgetOf("OKButton"), Qt::LeftButton);
    });
    qtUi.Show(form, true);
    EXPECT_TRUE(fromDesigner);
    EXPECT_TRUE(autoChecked) << "no settings file: Auto";
    EXPECT_FALSE(form->IsOpen());
    EXPECT_EQ(
        UtilIniFile::ReadIniValue(system, UtilIniFile::SECTION_LOCALE, UtilIniFile::KEY_LANGUAGE),
        "FR");
}

TEST_F(QtUiTest, TheElementListShowsTheElementsAndGoesToOne) {
    Start({SavedDocument({FIRST, SECOND}, "linked.docx")});
    for (long paragraph : {0L, 1L}) {
        long at = Shown().ParagraphStart(paragraph);
        View().Select(at, at);
        WhenModal("QInputDialog", [](QWidget* widget) {
            auto* dialog = qobject_cast<QInputDialog*>(widget);
            dialog->setTextValue(dialog->textValue().left(8));
            dialog->accept();
        });
        Click("oAdd1");
    }
    ASSERT_EQ(Shown().BookmarkCount(false), 2);
    View().Select(0, 0);
    std::vector<QStringList> rows;
    WhenModal("veln::desktop::FormDialog", [&](QWidget* widget) {
        auto* dialog = qobject_cast<desktop::FormDialog*>(widget);
        auto* list = qobject_cast<QTreeWidget*>(dialog->WidgetOf("ListBoxElements"));
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < list->columnCount(); ++column) {
                cells << list->topLevelItem(row)->text(column);
            }
            rows.push_back(cells);
        }
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(1)).center());
        QTest::mouseClick(dialog->WidgetOf("CommandButtonGoTo"), Qt::LeftButton);
        QTest::mouseClick(dialog->WidgetOf("CommandButtonCancel"), Qt::LeftButton);
    });
    Click("oListAll");
    EXPECT_THAT(rows,
                ElementsAre(QStringList{"1.0.0.0", "The vehi"}, QStringList{"2.0.0.0", "The stop"}))
        << "the id column stays hidden";
    host::BookmarkInfo second = Shown().BookmarkItem(2, false);
    EXPECT_EQ(Shown().SelectionStart(), second.start) << "went to the element";
    EXPECT_EQ(View().Anchor(), second.start) << "and the view follows";
}

}  // namespace
}  // namespace veln::test
