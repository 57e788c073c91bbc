// The forms driven as a user drives them, on the offscreen platform: a
// property defined in its form, then edited in the element editor and found
// in the project; two elements linked and the links pre-selected; a tree of
// links built and exported to a new window; every form laid out from its Designer file, its
// captions fitting their places in both languages.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <gmock/gmock.h>

#include "desktop_fixture.h"
#include "focus_ring.h"
#include "form_dialog.h"
#include "form_scenes.h"
#include "host/db/database.h"
#include "properties/frm_elem_properties.h"
#include "traceability/frm_tree.h"

namespace veln::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

template <typename W>
W* Widget(desktop::FormDialog* dialog, const char* name) {
    auto* widget = qobject_cast<W*>(dialog->WidgetOf(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void ClickOn(desktop::FormDialog* dialog, const char* name) {
    QTest::mouseClick(dialog->WidgetOf(name), Qt::LeftButton);
}

void ClickRow(QTreeWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
}

// Chooses a row of a combo box from the keyboard, as a user does.
void Choose(QComboBox* combo, int row) {
    combo->setFocus();
    for (int presses = 0; combo->currentIndex() != row && presses <= combo->count(); ++presses) {
        QTest::keyClick(combo, combo->currentIndex() < row ? Qt::Key_Down : Qt::Key_Up);
    }
}

// The row of a combo box whose text holds part.
int RowHolding(QComboBox* combo, const QString& part) {
    for (int row = 0; row < combo->count(); ++row) {
        if (combo->itemText(row).contains(part)) {
            return row;
        }
    }
    return -1;
}

std::vector<bool> Selection(QTreeWidget* list) {
    std::vector<bool> selected;
    selected.reserve(static_cast<std::size_t>(list->topLevelItemCount()));
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        selected.push_back(list->topLevelItem(row)->isSelected());
    }
    return selected;
}

desktop::FormDialog* OpenForm(const QString& formName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<desktop::FormDialog*>(widget);
        if (dialog != nullptr && dialog->isVisible() && dialog->objectName() == formName) {
            return dialog;
        }
    }
    return nullptr;
}

class FormsTest : public DesktopTest {
  protected:
    FormsTest() : DesktopTest("C", true) {}

    // A level-1 element over a paragraph of the shown document, its label typed.
    void CreateElement(long paragraph) {
        long at = Shown().ParagraphStart(paragraph);
        View().Select(at, at);
        WhenModal("QInputDialog",
                  [](QWidget* widget) { static_cast<QInputDialog*>(widget)->accept(); });
        Click("oAdd1");
    }

    // Two linked documents whose element rows are in the project: the
    // requirements (R1, R2) and their tests (T1, T2), R2 already linked to T2.
    // The rows come once the documents are open, whose check would take
    // rows without their text in the document as deleted.
    void StartOnLinkedProject() {
        Start({SavedDocument({"Requirements"}, "requirements.docx", REQUIREMENTS_DOC),
               SavedDocument({"Tests"}, "tests.docx", TESTS_DOC)});
        AddLinkedProjectRows(database);
    }
    // The element editor opened on the element at the caret, as a user
    // opens it: its size, then closed.
    QSize EditorSize() {
        Click("oEdit");
        desktop::FormDialog* editor = OpenForm("frmElemProperties");
        if (editor == nullptr) {
            return {};
        }
        QSize size = editor->size();
        ClickOn(editor, "CommandButtonExit");
        return size;
    }
};

TEST_F(FormsTest, AComboPropertyDefinedInItsFormIsEditedInTheElementEditorAndStoredAtExit) {
    Start({SavedDocument({"The vehicle shall stop.", "Second."}, "linked.docx")});
    CreateElement(0);
    bool comboValuesShown = false;
    WhenModal("veln::desktop::FormDialog", [&](QWidget* widget) {
        auto* form = static_cast<desktop::FormDialog*>(widget);
        QTest::keyClicks(form->WidgetOf("TextBoxPropertyLabel"), "Priority");
        auto* types = Widget<QTreeWidget>(form, "ListBoxType");
        // A double-click: its first press selects, its second comes as the double-click.
        QPoint combo = types->visualItemRect(types->topLevelItem(1)).center();
        QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, combo);
        QTest::mouseDClick(types->viewport(), Qt::LeftButton, {}, combo);
        comboValuesShown = form->WidgetOf("TextBoxComboValues")->isVisible();
        QTest::keyClicks(form->WidgetOf("TextBoxComboValues"), "High;Medium;Low");
        QTest::keyClicks(form->WidgetOf("TextBoxDefaultValue"), "Medium");
        ClickOn(form, "CommandButtonOk");
        if (form->isVisible()) {
            std::string state;
            for (host::Control* control : form->Model().Controls()) {
                state += control->Describe() + "\n";
            }
            ADD_FAILURE() << state;
            form->done(0);
        }
    });
    Click("oAddProperty");
    EXPECT_TRUE(comboValuesShown) << "a combo asks for its values";
    EXPECT_EQ(Query("SELECT P_Label || '/' || P_DefaultValue FROM Properties"), "Priority/Medium");

    View().Select(2, 2);
    Click("oEdit");
    desktop::FormDialog* editor = OpenForm("frmElemProperties");
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->isModal()) << "the editor stays beside the document";
    EXPECT_EQ(Widget<QLabel>(editor, "LblProperty0")->text(), "Priority");
    auto* values = Widget<QComboBox>(editor, "CbProperty0");
    EXPECT_TRUE(values->isVisible());
    EXPECT_FALSE(editor->WidgetOf("tbProperty0")->isVisible()) << "one control a property";
    QStringList items;
    for (int row = 0; row < values->count(); ++row) {
        items << values->itemText(row);
    }
    EXPECT_EQ(items, (QStringList{"High", "Medium", "Low"}));
    EXPECT_EQ(values->currentText(), "Medium") << "the default";
    // The keyboard's place is ringed, on the form's blue, wherever it goes.
    editor->activateWindow();
    QApplication::setActiveWindow(editor);
    auto* ring = editor->findChild<desktop::FocusRing*>();
    ASSERT_NE(ring, nullptr);
    for (QWidget* focused :
         {static_cast<QWidget*>(values), editor->WidgetOf("CommandButtonExit")}) {
        focused->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(ring->Target(), focused);
        EXPECT_TRUE(ring->isVisible());
        EXPECT_TRUE(ring->geometry().contains(
            QRect(focused->mapTo(editor, QPoint(0, 0)), focused->size())));
    }
    Choose(values, 2);
    EXPECT_EQ(Query("SELECT count(*) FROM ElemProperties"), "0") << "kept until the editor closes";
    ClickOn(editor, "CommandButtonExit");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Query("SELECT PE_value FROM ElemProperties"), "Low");
}

TEST_F(FormsTest, TheElementEditorStaysWithItsDocumentWhileTheUserWorksInAnother) {
    Start({SavedDocument({"Stop.", "Lane."}, "first.docx")});
    CreateElement(0);
    CreateElement(1);
    desktop::DocumentWindow& first = Window();
    View().Select(1, 1);
    Click("oEdit");
    desktop::FormDialog* editor = OpenForm("frmElemProperties");
    ASSERT_NE(editor, nullptr);
    auto* number = Widget<QLineEdit>(editor, "tbElemNumber");
    EXPECT_EQ(number->text(), "1.0.0.0");

    desktop::DocumentWindow* second = desktop.New();
    ASSERT_NE(second, nullptr);
    desktop.Activated(*second);
    ClickOn(editor, "CommandButtonNext");
    EXPECT_EQ(number->text(), "2.0.0.0") << "the next element of its own document";
    EXPECT_EQ(&Window(), &first) << "its document is the active one again";
    EXPECT_EQ(second->Document().BookmarkCount(true), 0);
    ClickOn(editor, "CommandButtonExit");
}

// In a larger font than the form file was drawn for, the level list still
// shows its four levels whole, with no scroll bar.
TEST_F(FormsTest, TheElementEditorShowsItsFourLevelsInAnyFont) {
    Start({SavedDocument({"The vehicle shall stop."}, "linked.docx")});
    CreateElement(0);
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSizeF(usual.pointSizeF() * 1.6);
    QApplication::setFont(large);
    Click("oEdit");
    desktop::FormDialog* editor = OpenForm("frmElemProperties");
    ASSERT_NE(editor, nullptr);
    auto* levels = Widget<QTreeWidget>(editor, "lbElemLevel");
    ASSERT_EQ(levels->topLevelItemCount(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_TRUE(
            levels->viewport()->rect().contains(levels->visualItemRect(levels->topLevelItem(row))))
            << "level " << row + 1 << " shown whole";
    }
    ClickOn(editor, "CommandButtonExit");
    QApplication::setFont(usual);
}

TEST_F(FormsTest, TheElementEditorTakesItsTallHeightForMoreThanTenProperties) {
    Start({SavedDocument({"The vehicle shall stop."}, "linked.docx")});
    CreateElement(0);
    auto editorHeight = [&] { return EditorSize().height(); };
    int dpi = Window().logicalDpiY();
    EXPECT_EQ(editorHeight(), frmElemProperties::HEIGHT * dpi / 1440);
    db::Database project = db::Database::Open(database);
    for (int n = 0; n < frmElemProperties::SHORT_SLOTS + 1; ++n) {
        project.Execute(
            "INSERT INTO Properties (P_Label, P_Type, P_Deleted) VALUES (?1, 'TEXT', 0)",
            {"Property " + std::to_string(n)});
    }
    EXPECT_EQ(editorHeight(), frmElemProperties::TALL_HEIGHT * dpi / 1440);
}

TEST_F(FormsTest, TheElementEditorKeepsOneWidthWhateverItsPropertiesSay) {
    Start({SavedDocument({"The vehicle shall stop."}, "linked.docx")});
    CreateElement(0);
    auto editorWidth = [&] { return EditorSize().width(); };
    // The width its Designer file gives it.
    constexpr int DESIGNED_WIDTH = 600;
    const int plain = editorWidth();
    EXPECT_EQ(plain, DESIGNED_WIDTH);
    db::Database project = db::Database::Open(database);
    project.Execute(
        "INSERT INTO Properties (P_Label, P_Type, P_Deleted, P_ComboValues) "
        "VALUES (?1, 'COMB', 0, ?2)",
        {"A property whose name is long enough to be wide",
         "A value longer than any field of the editor;Short"});
    EXPECT_EQ(editorWidth(), plain);
}

TEST_F(FormsTest, LinkingTwoElementsStoresTheLinkAndEachSourcePreselectsItsTargets) {
    StartOnLinkedProject();
    std::vector<bool> forFirst;
    std::vector<bool> forSecond;
    std::vector<QStringList> targetRows;
    WhenModal("veln::desktop::FormDialog", [&](QWidget* widget) {
        auto* form = static_cast<desktop::FormDialog*>(widget);
        auto* sources = Widget<QComboBox>(form, "ComboBoxSource");
        auto* targets = Widget<QComboBox>(form, "ComboBoxTarget");
        Choose(sources, RowHolding(sources, "requirements.docx"));
        Choose(targets, RowHolding(targets, "tests.docx"));
        auto* sourceList = Widget<QTreeWidget>(form, "ListBoxElementsSource");
        auto* targetList = Widget<QTreeWidget>(form, "ListBoxElementsTarget");
        for (int row = 0; row < targetList->topLevelItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < targetList->columnCount(); ++column) {
                cells << targetList->topLevelItem(row)->text(column);
            }
            targetRows.push_back(cells);
        }
        ClickRow(sourceList, 0);
        ClickRow(targetList, 0);
        ClickOn(form, "CommandButtonLink");
        ClickRow(sourceList, 1);
        forSecond = Selection(targetList);
        ClickRow(sourceList, 0);
        forFirst = Selection(targetList);
        ClickOn(form, "CommandButtonExit");
    });
    Click("oLinkElements");
    EXPECT_THAT(targetRows, ElementsAre(QStringList{"1.0.0.0", "Dry road test"},
                                        QStringList{"2.0.0.0", "Lane test"}))
        << "the id column stays hidden";
    EXPECT_EQ(Query("SELECT group_concat(L_Id1 || '>' || L_Id2) FROM "
                    "(SELECT * FROM Links WHERE L_Deleted = 0 ORDER BY L_Id1) AS live"),
              "R1>T1,R2>T2");
    EXPECT_THAT(forSecond, ElementsAre(false, true)) << "the link that was there";
    EXPECT_THAT(forFirst, ElementsAre(true, false)) << "the link just made";
}

TEST_F(FormsTest, ATreeOfLinksIsShownAsTheModelHoldsItAndExportedToANewWindow) {
    StartOnLinkedProject();
    db::Database::Open(database).Execute(
        "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_Deleted) "
        "VALUES ('R1', ?1, 'T1', ?2, 0)",
        {REQUIREMENTS_DOC, TESTS_DOC});
    std::vector<std::string> shown;
    std::vector<std::string> held;
    WhenModal("veln::desktop::FormDialog", [&](QWidget* widget) {
        auto* form = static_cast<desktop::FormDialog*>(widget);
        auto* roots = Widget<QComboBox>(form, "ComboBoxRoot");
        auto* trees = Widget<QComboBox>(form, "ComboBoxTree");
        EXPECT_FALSE(trees->isEnabled()) << "the root comes first";
        Choose(roots, RowHolding(roots, "requirements.docx"));
        Choose(trees, RowHolding(trees, "tests.docx"));
        // Each node as the widget shows it and as the model holds it: its
        // depth, its text, and whether it is expanded.
        auto& model = static_cast<FrmTree&>(form->Model()).TreeViewElem;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
            std::string key = item->data(0, Qt::UserRole).toString().toStdString();
            const host::TreeNode& node = model.Node(key);
            shown.push_back(std::to_string(depth) + " " + item->text(0).toStdString() +
                            (item->isExpanded() ? " -" : " +"));
            held.push_back(std::to_string(depth) + " " + node.Text + (node.Expanded ? " -" : " +"));
            for (int child = 0; child < item->childCount(); ++child) {
                walk(item->child(child), depth + 1);
            }
        };
        auto* tree = Widget<QTreeWidget>(form, "TreeViewElem");
        for (int root = 0; root < tree->topLevelItemCount(); ++root) {
            walk(tree->topLevelItem(root), 0);
        }
        ClickOn(form, "CommandButtonExportAll");
        // The export's window takes the keyboard while the tree stays open.
        desktop::DocumentWindow* exportWindow = desktop.Windows().back();
        QApplication::processEvents();
        EXPECT_TRUE(exportWindow->isActiveWindow()) << "the export comes to the front";
        exportWindow->View().setFocus();
        exportWindow->View().Select(0, 0);
        QTest::keyClick(exportWindow->windowHandle(), Qt::Key_X);
        EXPECT_EQ(exportWindow->Document().TextOf(0, 1), "x") << "and takes input at once";
        ClickOn(form, "CommandButtonExit");
    });
    Click("oTree");
    ASSERT_EQ(desktop.Windows().size(), 3U) << "the export in a new window";
    host::Document& exported = desktop.Windows().back()->Document();
    EXPECT_THAT(exported.TextOf(0, exported.StoryEnd()), HasSubstr("Dry road test"));
    EXPECT_EQ(exported.TextOf(0, 1), "x");
    EXPECT_EQ(shown, held);
    ASSERT_EQ(shown.size(), 5U) << "the document, two requirements, a test under each";
    EXPECT_THAT(shown[1], HasSubstr("Stop within 40 m"));
    EXPECT_THAT(shown[2], HasSubstr("Dry road test"));
}

TEST_F(FormsTest, TheAboutBoxIsModelessAndClosesOnAnyKey) {
    Start();
    Click("oHelp");
    desktop::FormDialog* about = OpenForm("frmSplash");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->FromDesigner());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), "About VELN");
    EXPECT_EQ(Widget<QLabel>(about, "lblVersion")->text(), "Version 1.0.4");
    EXPECT_FALSE(Widget<QLabel>(about, "imgLogo")->pixmap().isNull());
    QTest::keyClick(about, Qt::Key_A);
    EXPECT_FALSE(about->Model().IsOpen());
    EXPECT_FALSE(about->isVisible());
}

// A form of the system's kind, but with no Designer file of its own.
class UndesignedForm : public host::Form {
  public:
    UndesignedForm() : Form("frmUndesigned") {
        Label.Caption = "Name";
        Ok.Caption = "OK";
        Ok.OnClick = [this] { Unload(); };
    }
    host::Label Label{*this, "LabelName"};
    host::TextBox Text{*this, "TextBoxName"};
    host::CommandButton Ok{*this, "CommandButtonOk"};
};

TEST_F(FormsTest, AFormWithoutItsDesignerFileGetsAPlainWindowOfItsControls) {
    auto form = std::make_shared<UndesignedForm>();
    bool designer = true;
    WhenModal("veln::desktop::FormDialog", [&](QWidget* widget) {
        auto* dialog = static_cast<desktop::FormDialog*>(widget);
        designer = dialog->FromDesigner();
        QTest::keyClicks(dialog->WidgetOf("TextBoxName"), "Ann");
        ClickOn(dialog, "CommandButtonOk");
    });
    qtUi.Show(form, true);
    EXPECT_FALSE(designer);
    EXPECT_EQ(form->Text.Text, "Ann");
    EXPECT_FALSE(form->IsOpen());
}

// Every form in each language, from its Designer file, on a project with
// two documents, elements and a property of each type.
class FormLayoutTest : public DesktopTest, public ::testing::WithParamInterface<const char*> {
  protected:
    FormLayoutTest() : DesktopTest(GetParam()) {}
};

TEST_P(FormLayoutTest, EveryFormIsItsDesignerFileAndEveryCaptionFitsItsPlace) {
    Start({SavedDocument({"Tests"}, "tests.docx", TESTS_DOC),
           SavedDocument({"Requirements"}, "requirements.docx", REQUIREMENTS_DOC)});
    db::Database project = db::Database::Open(database);
    project.Execute(
        "INSERT INTO Elements (E_id, E_DocId, E_Number1, E_Number2, E_Number3, E_Number4, "
        "E_level, E_label, E_Deleted) VALUES ('R1', ?1, 1, 0, 0, 0, 1, 'Stop within 40 m', 0), "
        "('T1', ?2, 1, 0, 0, 0, 1, 'Dry road test', 0)",
        {REQUIREMENTS_DOC, TESTS_DOC});
    project.Execute(
        "INSERT INTO Properties (P_Label, P_Type, P_DefaultValue, P_ComboValues, "
        "P_Deleted) VALUES ('Owner', 'TEXT', NULL, NULL, 0), "
        "('Priority', 'COMB', 'High', 'High;Low;', 0), ('Verified', 'CHCK', '0', NULL, 0)");
    ui.AnswerOpen(database);
    for (const FormScene& scene : EveryForm(desktop.context())) {
        SCOPED_TRACE(scene.form->Name());
        std::unique_ptr<desktop::FormDialog> shown = ShowScene(scene, desktop);
        desktop::FormDialog& dialog = *shown;
        QApplication::processEvents();
        EXPECT_TRUE(dialog.FromDesigner());
        if (scene.form->BackColor != 0) {
            EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(117, 165, 217));
        }
        if (scene.form->Icon != 0) {
            EXPECT_FALSE(dialog.windowIcon().isNull());
        }
        for (host::Control* control : scene.form->Controls()) {
            QWidget* widget = dialog.WidgetOf(control->Name());
            auto* label = qobject_cast<QLabel*>(widget);
            bool caption = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                           (label != nullptr && !label->wordWrap() && !label->text().isEmpty());
            if (caption && widget->isVisible()) {
                QSize needed = widget->sizeHint();
                EXPECT_GE(widget->width(), needed.width()) << control->Name() << " is cut";
                EXPECT_GE(widget->height(), needed.height()) << control->Name() << " is cut";
            }
        }
        dialog.hide();
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, FormLayoutTest, ::testing::Values("C", "fr_FR.UTF-8"));

}  // namespace
}  // namespace veln::test
