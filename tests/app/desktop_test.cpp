// The program around the documents: the add-in connected at start and its
// toolbar drawn from the command-bar model, its clicks going through the
// application, the application's events with their questions, Quit, the
// languages of the menus, and long work that shows progress.
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <gmock/gmock.h>
#include <sys/wait.h>
#include <unistd.h>

#include "addin/this_application.h"
#include "database/doc_variables.h"
#include "desktop_fixture.h"
#include "faces.h"
#include "host/docx/docx_application.h"
#include "host/docx/lock_file.h"
#include "host/word/range.h"
#include "settings/frm_language.h"
#include "temp_dir.h"

namespace veln::test {
namespace {

using host::MsgBoxResult::vbCancel;
using host::MsgBoxResult::vbNo;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr const char* FIRST = "The vehicle shall stop within 40 m.";
constexpr const char* SECOND = "The stop shall be straight.";

// The members every document may use, linked or not.
std::vector<std::string> Always() {
    return {"oCreateProjectDatabase", "oRegisterDocument", "oReplaceRegisterDocument", "oHelp"};
}

std::vector<std::string> SomeMembers() {
    return {"oCreateProjectDatabase",
            "oRegisterDocument",
            "oReplaceRegisterDocument",
            "oKillAll",
            "oAdd1",
            "oFirst",
            "oListAll",
            "oButtonCyan",
            "oMatrix",
            "oHelp"};
}

class ToolbarTest : public DesktopTest {
  protected:
    std::vector<std::string> EnabledMembers(const std::vector<std::string>& all) {
        std::vector<std::string> enabled;
        for (const std::string& member : all) {
            if (Action(member)->isEnabled()) {
                enabled.push_back(member);
            }
        }
        return enabled;
    }
};

TEST_F(ToolbarTest, IsTheCommandBarModelWithPopupsTipsFacesAndSwatches) {
    Start();
    desktop::ToolbarView& toolbar = Window().Toolbar();
    EXPECT_EQ(toolbar.objectName(), "velnToolbar");
    EXPECT_TRUE(toolbar.isVisibleTo(&Window()));
    QAction* add = Action("oAdd1");
    EXPECT_EQ(add->toolTip(), "Create Level 1 Element");
    EXPECT_FALSE(add->icon().isNull()) << "the digit face";
    auto* button = qobject_cast<QToolButton*>(toolbar.widgetForAction(add));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_FALSE(Action("oHelp")->icon().isNull());
    EXPECT_EQ(Action("oHelp")->text(), "&Help");

    // Pop-ups are drop-down buttons whose menus hold their buttons.
    std::vector<std::string> popups;
    for (QToolButton* tool : toolbar.findChildren<QToolButton*>()) {
        if (tool->menu() != nullptr) {
            popups.push_back(tool->text().toStdString());
            EXPECT_EQ(tool->popupMode(), QToolButton::InstantPopup);
        }
    }
    EXPECT_THAT(popups, ElementsAre("&Project", "Properties", "N&umber", "&Highlight"));
    EXPECT_FALSE(Action("oButtonCyan")->icon().isNull()) << "its swatch";

    QImage swatch = desktop::Swatch(105);
    EXPECT_EQ(swatch.size(), QSize(16, 16));
    EXPECT_EQ(swatch.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(swatch.pixel(1, 1), qRgb(128, 128, 128));
    EXPECT_EQ(swatch.pixel(14, 8), qRgb(128, 128, 128));
    EXPECT_EQ(swatch.pixel(2, 2), qRgb(0, 255, 255));
    EXPECT_EQ(swatch.pixel(13, 13), qRgb(0, 255, 255));
    EXPECT_EQ(swatch.pixel(15, 15), qRgb(255, 255, 255));
    // Every face the toolbar's model asks for is drawn.
    int faces = 0;
    std::function<void(host::CommandBarControls&)> walk = [&](host::CommandBarControls& controls) {
        for (int i = 1; i <= controls.Count(); ++i) {
            host::CommandBarControl& control = controls.Item(i);
            if (control.FaceId != 0) {
                ++faces;
                EXPECT_FALSE(desktop::BuiltInFace(control.FaceId).pixmap(16, 16).isNull())
                    << control.FaceId;
            }
            walk(control.Controls());
        }
    };
    walk(desktop.app().CommandBars.Find(addin::TOOLBAR_NAME)->Controls());
    EXPECT_GT(faces, 10);
}

TEST_F(ToolbarTest, AClickOnAnUnlinkedDocumentDoesOnlyWhatNeedsNoProject) {
    Start({SavedDocument({FIRST, SECOND}, "unlinked.docx", "")});
    EXPECT_EQ(EnabledMembers(SomeMembers()), Always());
    ui.ClearTranscript();
    Click("oAdd1");  // disabled: nothing, and no question
    Click("oKillAll");
    Click("oButtonCyan");
    EXPECT_THAT(ui.Transcript(), IsEmpty());
    EXPECT_EQ(Shown().Content().Text(), std::string(FIRST) + "\r" + SECOND + "\r");
    EXPECT_EQ(Shown().BookmarkCount(true), 0);

    ui.AnswerFolder(std::nullopt);
    Click("oCreateProjectDatabase");
    EXPECT_THAT(ui.Transcript(), ElementsAre(HasSubstr("folder \"Select a directory")));
}

TEST_F(ToolbarTest, EnabledStatesFollowTheActiveWindowsDocument) {
    Start({SavedDocument({FIRST}, "linked.docx"), SavedDocument({SECOND}, "plain.docx", "")});
    ASSERT_EQ(desktop.Windows().size(), 2U);
    desktop::DocumentWindow* linked = desktop.WindowOf(*desktop.app().FindDocument("linked.docx"));
    desktop::DocumentWindow* plain = desktop.WindowOf(*desktop.app().FindDocument("plain.docx"));
    desktop.Activated(*linked);
    EXPECT_EQ(EnabledMembers(SomeMembers()),
              (std::vector<std::string>{"oCreateProjectDatabase", "oKillAll", "oAdd1", "oFirst",
                                        "oListAll", "oButtonCyan", "oMatrix", "oHelp"}));
    desktop.Activated(*plain);
    EXPECT_EQ(&Window(), plain);
    EXPECT_EQ(EnabledMembers(SomeMembers()), Always());
}

TEST_F(ToolbarTest, DisplayNumbersShowDelimitersAndTheHighlightColourCarryACheckMark) {
    Start(
        {SavedDocument({FIRST, SECOND}, "linked.docx"), SavedDocument({SECOND}, "plain.docx", "")});
    desktop.Activated(*desktop.WindowOf(*desktop.app().FindDocument("linked.docx")));
    auto checked = [&](const std::string& member) {
        return Action(member)->isCheckable() && Action(member)->isChecked();
    };
    const std::vector<std::string> colours{"oButtonWhite",  "oButtonCyan",  "oButtonPink",
                                           "oButtonYellow", "oButtonGreen", "oButtonGray"};
    auto checkedColours = [&] {
        std::vector<std::string> marked;
        for (const std::string& colour : colours) {
            if (checked(colour)) {
                marked.push_back(colour);
            }
        }
        return marked;
    };
    EXPECT_TRUE(checked("oShowNumber"));
    EXPECT_FALSE(checked("oShowElementsBrackets"));
    EXPECT_FALSE(Action("oRenumber")->isCheckable()) << "a command carries no mark";

    Click("oShowNumber");
    EXPECT_FALSE(checked("oShowNumber"));
    Click("oShowElementsBrackets");
    EXPECT_TRUE(checked("oShowElementsBrackets"));
    Click("oButtonCyan");
    EXPECT_THAT(checkedColours(), ElementsAre("oButtonCyan"));
    Click("oButtonGray");
    EXPECT_THAT(checkedColours(), ElementsAre("oButtonGray"));

    // Each window shows its own document's state.
    desktop.Activated(*desktop.WindowOf(*desktop.app().FindDocument("plain.docx")));
    EXPECT_FALSE(checked("oShowNumber"));
    EXPECT_THAT(checkedColours(), IsEmpty());
}

class EventsTest : public DesktopTest {};

TEST_F(EventsTest, TheElementPromptAtCloseKeepsTheWindowOnCancel) {
    Start({SavedDocument({FIRST, SECOND}, "linked.docx")});
    View().Select(0, 0);
    ui.AnswerInput("Stop");
    Click("oAdd1");
    ASSERT_EQ(utilElements::GetDocVariable(desktop.context(), VARDOC_CHANGEELEM), "1");
    ui.ClearTranscript();

    ui.AnswerMsgBox(vbCancel);
    Window().close();
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("msgbox \"VELN\" flags=51 \"Do you want to save the changes to "
                            ":linked.docx?\\rSome elements have been modified. Select Yes to keep "
                            "them in base, No to discard changes.\" -> cancel"));
    ASSERT_EQ(desktop.Windows().size(), 1U) << "Cancel keeps it";
    EXPECT_NE(desktop.app().FindDocument("linked.docx"), nullptr);

    ui.AnswerMsgBox(vbNo);
    EXPECT_TRUE(desktop.Close(Window()));
    EXPECT_THAT(desktop.Windows(), IsEmpty());
    EXPECT_EQ(desktop.app().FindDocument("linked.docx"), nullptr);
    EXPECT_EQ(ui.Transcript().size(), 2U) << "No: no second question from the word processor";
}

TEST_F(EventsTest, QuitClosesEveryWindowTheSameWayAndCancelStopsIt) {
    bool gone = false;
    desktop.onLastWindowGone = [&] { gone = true; };
    Start({SavedDocument({FIRST}, "one.docx", ""), SavedDocument({SECOND}, "two.docx", "")});
    desktop::DocumentWindow* two = desktop.WindowOf(*desktop.app().FindDocument("two.docx"));
    two->View().Select(0, 0);
    QTest::keyClicks(&two->View(), "Edited: ");
    ui.ClearTranscript();
    ui.AnswerMsgBox(vbCancel);
    EXPECT_FALSE(desktop.Quit());
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("msgbox \"VELN\" flags=51 \"Do you want to save the changes to "
                            "two.docx?\" -> cancel"));
    ASSERT_EQ(desktop.Windows().size(), 1U) << "the unchanged one closed, the other stays";
    EXPECT_FALSE(gone);

    ui.AnswerMsgBox(host::MsgBoxResult::vbYes);
    EXPECT_TRUE(desktop.Quit());
    EXPECT_TRUE(gone);
    auto reopened = host::docx::OpenDocumentFile(dir / "two.docx");
    EXPECT_EQ(reopened->Content().Text(), "Edited: " + std::string(SECOND) + "\r")
        << "Yes saved it";
}

TEST_F(EventsTest, OpeningALinkedDocumentRunsItsCheckAndNewDocumentsGetWindows) {
    QString path = SavedDocument({FIRST, SECOND}, "linked.docx");
    Start({path});
    View().Select(0, 0);
    ui.AnswerInput("Stop");
    Click("oAdd1");
    ASSERT_TRUE(Window().Save());
    ASSERT_TRUE(desktop.Close(Window()));

    desktop.Open(path);
    EXPECT_EQ(desktop.context().loadedElements.Count(), 1) << "loaded by the open-time check";
    View().Select(3, 3);
    EXPECT_THAT(Window().ElementShown().toStdString(), HasSubstr("1.0.0.0  Stop"));
    EXPECT_THAT(Window().ProjectShown().toStdString(), HasSubstr(database));

    desktop.New();
    EXPECT_EQ(desktop.Windows().size(), 2U);
    EXPECT_THAT(Shown().Name(), ::testing::StartsWith("Document"));
    EXPECT_THAT(Window().ProjectShown().toStdString(), HasSubstr("No project"));
    EXPECT_EQ(Action("oAdd1")->isEnabled(), false);
}

// The desktop builds its toolbar itself: the first start has nothing to
// restart, and a new language takes effect at VELN's next start.
TEST_F(EventsTest, TheFirstStartAsksNothingAndALanguageIsForVelnsNextStart) {
    Start({SavedDocument({FIRST}, "plain.docx", "")});
    EXPECT_THAT(ui.Transcript(), IsEmpty()) << "no message about the template";
    EXPECT_NE(desktop.app().CommandBars.Find(addin::TOOLBAR_NAME), nullptr);

    ui.AnswerForm("frmLanguage", {{"click", "OButtonFrench", {}}, {"click", "OKButton", {}}});
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    ui.Show(std::make_shared<frmLanguage>(desktop.context()), false);
    std::vector<std::string> said;
    for (const std::string& line : ui.Transcript()) {
        if (line.find("msgbox") != std::string::npos) {
            said.push_back(line);
        }
    }
    ASSERT_EQ(said.size(), 1U);
    EXPECT_THAT(said[0], HasSubstr("restart VELN"));
    EXPECT_THAT(said[0], HasSubstr("relancez VELN"));
    EXPECT_THAT(said[0], Not(HasSubstr("Word")));
}

TEST_F(EventsTest, WindowsOpenCascadedAndTheWindowMenuListsThem) {
    Start({SavedDocument({FIRST}, "one.docx", ""), SavedDocument({SECOND}, "two.docx", "")});
    desktop.New();
    std::vector<desktop::DocumentWindow*> windows = desktop.Windows();
    ASSERT_EQ(windows.size(), 3U);
    for (std::size_t k = 1; k < windows.size(); ++k) {
        EXPECT_NE(windows[k]->pos(), windows[k - 1]->pos()) << k;
    }

    // The Window menu lists them, the window's own checked.
    QMenu* menu = windows[0]->menuBar()->actions().back()->menu();
    ASSERT_EQ(menu->title(), "&Window");
    emit menu->aboutToShow();
    std::vector<std::string> listed;
    for (QAction* entry : menu->actions()) {
        listed.push_back(entry->text().toStdString() + (entry->isChecked() ? " *" : ""));
    }
    EXPECT_THAT(listed, ElementsAre("one.docx *", "two.docx", "Document2"));
}

TEST_F(EventsTest, LongWorkShowsProgressAndScreenUpdatingOffStopsDrawing) {
    Start();
    auto* progress = Window().findChild<QProgressBar*>();
    ASSERT_NE(progress, nullptr);
    bool shownDuring = false;
    bool drawnDuring = true;
    desktop.RunCommand([&] {
        host::ScreenUpdatingOff frozen(desktop.app());
        desktop.app().DoEvents();
        shownDuring = progress->isVisibleTo(&Window());
        drawnDuring = View().viewport()->updatesEnabled();
    });
    EXPECT_TRUE(shownDuring);
    EXPECT_FALSE(drawnDuring);
    EXPECT_FALSE(progress->isVisibleTo(&Window()));
    EXPECT_TRUE(View().viewport()->updatesEnabled());
}

TEST_F(EventsTest, ACtrlClickOnAHyperlinkToAnElementOpensItsDocumentAtTheElement) {
    host::Document& target =
        NewDocument({"Scope", "The vehicle shall stop."}, "the target.docx", "");
    auto [start, end] = Paragraph(2);
    target.SetBookmark("ELEM00000001", start, end - 1);
    target.Save();
    std::string targetPath = target.FullName();
    app.CloseDocument(target);
    host::Document& source = NewDocument({"See the stop."}, "source.docx", "");
    // As the element editor writes it: a file URI, a blank percent-encoded.
    std::string uri = "file://" + dir.Path().string() + "/the%20target.docx";
    source.AddHyperlink(8, 12, uri, "ELEM00000001", "");
    source.Save();
    QString sourcePath = QString::fromStdString(source.FullName());
    app.CloseDocument(source);
    Start({sourcePath});
    QPoint link = View().PositionRect(9).center();

    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, link);
    EXPECT_EQ(desktop.Windows().size(), 1U) << "a plain click places the caret";
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ControlModifier, link);
    ASSERT_EQ(desktop.Windows().size(), 2U);
    EXPECT_EQ(Shown().FullName(), targetPath) << "the target is the active document";
    EXPECT_EQ(View().Anchor(), start);
    EXPECT_EQ(View().Caret(), end - 1) << "the element selected";

    // Followed again, the open window is used.
    desktop.Activated(*desktop.Windows().front());
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ControlModifier, link);
    EXPECT_EQ(desktop.Windows().size(), 2U);
}

class FrenchDesktopTest : public DesktopTest {
  protected:
    FrenchDesktopTest() : DesktopTest("fr_FR.UTF-8") {}
};

TEST_F(FrenchDesktopTest, MenusAndToolbarSpeakTheLanguageOfTheRun) {
    Start();
    std::vector<std::string> menus;
    for (QAction* action : Window().menuBar()->actions()) {
        menus.push_back(action->text().toStdString());
    }
    EXPECT_THAT(menus, ElementsAre("&Fichier", "&Édition", "&Affichage", "Fe&nêtre"));
    EXPECT_EQ(Action("oAdd1")->toolTip(), "Créer élément niveau 1");
    EXPECT_THAT(Window().ProjectShown().toStdString(), HasSubstr("Aucun projet"));
}

// The program itself, ended by a signal as a session's end or a Ctrl+C ends it.
TEST(DesktopProgramTest, ASignalToEndEndsAtOnceAndLetsTheLocksGo) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        TempDir dir;
        std::string path = dir / "plan.docx";
        {
            host::docx::DocxApplication maker;
            host::Document& document = maker.AddDocument();
            document.Content().InsertAfter(FIRST);
            document.SaveAs(path);
        }
        std::string lock = host::docx::LockPathOf(path);
        std::string before = ReadFile(path);
        pid_t program = fork();
        if (program == 0) {
            ::alarm(60);  // never outlives a test that failed before the signal
            // A user of its own: nothing written in the real home.
            for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
                ::setenv(variable, dir.Path().c_str(), 1);  // NOLINT(concurrency-mt-unsafe)
            }
            ::execl(VELN_DESKTOP_PROGRAM, VELN_DESKTOP_PROGRAM, path.c_str(), nullptr);
            ::_exit(127);
        }
        // The lock shows the document open; wait for it, not for a time.
        for (int tries = 0; tries < 600 && !std::filesystem::exists(lock); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(std::filesystem::exists(lock)) << "the program did not open the document";
        ::kill(program, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(program, &status, 0), program);
        EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_FALSE(std::filesystem::exists(lock)) << "the lock is left behind";
        EXPECT_EQ(ReadFile(path), before) << "nothing saved on the way out";
    }
}

}  // namespace
}  // namespace veln::test
