// The add-in inside the word processor: the toolbar it builds, the events it
// follows, and the commands its buttons run, played through the application
// as the word processor raises them.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin/connect_word.h"
#include "database/doc_variables.h"
#include "elements/elements.h"
#include "host/db/database.h"
#include "host/word/bookmarks.h"
#include "host/word/selection.h"
#include "settings/frm_splash.h"
#include "world.h"

namespace veln {
namespace {

using addin::ThisApplication;
using host::MsgBoxResult::vbCancel;
using host::MsgBoxResult::vbNo;
using host::MsgBoxResult::vbOK;
using host::MsgBoxResult::vbYes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* FIRST = "The vehicle shall stop within 40 m.";
constexpr const char* SECOND = "The stop shall be straight.";
constexpr const char* THIRD = "The brake light shall come on.";

// The names of a text, split at its blanks.
std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The members a linked document enables, besides those every document has.
// NOLINTNEXTLINE(cert-err58-cpp): a test table; nothing runs before main to catch it.
const std::vector<std::string> LINKED_ONLY = Words(
    "oEditDocumentDescription oMergeDocuments oKillAll oAdd1 oAdd2 oAdd3 oAdd4 oAddProperty "
    "oDelProperty oModifyProperty oRenumber oShowNumber oShowElementsBrackets oButtonWhite "
    "oButtonCyan oButtonPink oButtonYellow oButtonGreen oButtonGray oLinkElements oTree oMatrix "
    "oListElemPropValues oReviewLinks oCoverage oFirst oPrevious oNext oLast oDel oListAll oEdit");

class ShellTest : public ::testing::Test, public test::World {
  protected:
    explicit ShellTest(const std::string& locale = "C") : World(locale) {}

    // Connects the add-in; the first document change will build the toolbar.
    ThisApplication& Connect() {
        connection.AddinInstance_OnConnection(app);
        return *connection.Instance();
    }
    // Connects and opens a new document: the template made, the toolbar built.
    ThisApplication& ConnectOnANewDocument() {
        ThisApplication& addin = Connect();
        ui.AnswerMsgBox(vbOK);
        app.AddDocument();
        return addin;
    }
    // Opens a linked document of three paragraphs, with the add-in connected
    // and the toolbar built.
    ThisApplication& ConnectedWithLinkedDocument() {
        ThisApplication& addin = Connect();
        ui.AnswerMsgBox(vbOK);  // the global template made
        NewDocument({FIRST, SECOND, THIRD}, "brakes.docx");
        ui.ClearTranscript();
        addin.ConfigureToolbarLinked(true);
        return addin;
    }
    bool Enabled(const std::string& member) {
        host::CommandBarControl* control = connection.Instance()->Member(member);
        EXPECT_NE(control, nullptr) << member;
        return control != nullptr && control->EnabledFor(app.ActiveDocument());
    }
    std::string ChangeFlag() { return utilElements::GetDocVariable(context, VARDOC_CHANGEELEM); }
    void Click(const std::string& member) { app.Press(*connection.Instance()->Member(member)); }
    std::vector<bool> Navigation() {
        return {Enabled("oFirst"), Enabled("oPrevious"), Enabled("oNext"), Enabled("oLast")};
    }
    void CreateAt(int paragraph, const std::string& member, const std::string& label) {
        Document().Selection().SetRange(Paragraph(paragraph).first, Paragraph(paragraph).first);
        ui.AnswerInput(label);
        Click(member);
    }

    addin::ConnectWord connection{context};
};

class FrenchShellTest : public ShellTest {
  protected:
    FrenchShellTest() : ShellTest("fr_FR.UTF-8") {}
};

TEST_F(ShellTest, TheFirstDocumentChangeMakesTheTemplateAndBuildsTheToolbarOnce) {
    Connect();
    EXPECT_EQ(app.CommandBars.Find(addin::TOOLBAR_NAME), nullptr) << "not before a document";
    ui.AnswerMsgBox(vbOK);
    app.AddDocument();
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("msgbox \"Veln\" flags=64 \"VELN has created \\\"Veln.dot\\\" in the "
                            "\\\"Startup\\\" folder. You have to restart Word for Veln to be "
                            "fully functional.\" -> ok"));
    EXPECT_TRUE(std::filesystem::exists(app.StartupPath + "/veln.dot"));
    host::CommandBar* bar = app.CommandBars.Find(addin::TOOLBAR_NAME);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->Visible);
    EXPECT_EQ(bar->Position, 1);
    EXPECT_TRUE(Document().Saved()) << "building touches none of the user's work";

    // The twenty-two controls in order, with their groups.
    std::vector<std::string> controls;
    for (int i = 1; i <= bar->Controls().Count(); ++i) {
        const host::CommandBarControl& control = bar->Controls().Item(i);
        std::string label = control.Caption.empty() ? control.TooltipText : control.Caption;
        controls.push_back((control.BeginGroup ? "|" : "") + label);
    }
    EXPECT_THAT(
        controls,
        ElementsAre("&Project", "|Create Level 1 Element ", "Create Level 2 Element ",
                    "Create Level 3 Element ", "Create Level 4 Element ", "|Go To First Element",
                    "Go To Previous Element", "Go To Next Element", "Go To Last Element",
                    "|List Elements", "Edit Current Element", "|Mark the Current Element Deleted ",
                    "Properties", "|N&umber", "&Highlight", "|L&ink Elements", "Links Tree",
                    "Matrix", "List Elements and values", "|Review suspect links", "Coverage",
                    "|&Help"));
    host::CommandBarControl& add1 = *connection.Instance()->Member("oAdd1");
    EXPECT_EQ(add1.Caption, "") << "icon buttons show only a tool tip";
    EXPECT_EQ(add1.Tag, "Create Level 1 Element ");
    EXPECT_EQ(add1.OnAction, "!<VELN.ConnectWord>");
    EXPECT_EQ(connection.Instance()->Member("oButtonYellow")->Picture, 101);
    EXPECT_EQ(bar->Controls().Item(1).Controls().Count(), 6);

    // Later changes only configure; a new run replaces the bar, never adds one.
    int bars = app.CommandBars.Count();
    app.AddDocument();
    addin::ConnectWord second{context};
    second.AddinInstance_OnConnection(app);
    app.AddDocument();
    EXPECT_EQ(app.CommandBars.Count(), bars) << "replaced, not duplicated";
    EXPECT_EQ(ui.Transcript().size(), 1U) << "the template exists: no second message";
}

TEST_F(ShellTest, EveryButtonRunsTheHandlerOfItsOwnName) {
    ThisApplication& addin = ConnectOnANewDocument();
// Each button's handler, by the name they share.
#define OWN(name) \
    std::pair<std::string, ThisApplication::Handler>(#name, &ThisApplication::name##_Click)
    auto table = [](auto... pairs) {
        return std::map<std::string, ThisApplication::Handler>{pairs...};
    };
    const auto own = table(
        OWN(oCreateProjectDatabase), OWN(oRegisterDocument), OWN(oReplaceRegisterDocument),
        OWN(oEditDocumentDescription), OWN(oMergeDocuments), OWN(oKillAll), OWN(oAdd1), OWN(oAdd2),
        OWN(oAdd3), OWN(oAdd4), OWN(oFirst), OWN(oPrevious), OWN(oNext), OWN(oLast), OWN(oListAll),
        OWN(oEdit), OWN(oDel), OWN(oAddProperty), OWN(oDelProperty), OWN(oModifyProperty),
        OWN(oRenumber), OWN(oShowNumber), OWN(oShowElementsBrackets), OWN(oButtonWhite),
        OWN(oButtonCyan), OWN(oButtonPink), OWN(oButtonYellow), OWN(oButtonGreen), OWN(oButtonGray),
        OWN(oLinkElements), OWN(oTree), OWN(oMatrix), OWN(oListElemPropValues), OWN(oReviewLinks),
        OWN(oCoverage), OWN(oHelp));
#undef OWN
    // Every button of the bar, those in its pop-ups too, by its member name.
    std::map<std::string, ThisApplication::Handler> clicked;
    std::function<void(const host::CommandBarControls&)> walk =
        [&](const host::CommandBarControls& controls) {
            for (int i = 1; i <= controls.Count(); ++i) {
                const host::CommandBarControl& control = controls.Item(i);
                if (control.Type() == host::ControlType::Popup) {
                    walk(control.Controls());
                } else {
                    EXPECT_TRUE(
                        clicked.emplace(addin.MemberName(control), addin.HandlerOf(control)).second)
                        << addin.MemberName(control) << " is the name of two buttons";
                }
            }
        };
    walk(app.CommandBars.Find(addin::TOOLBAR_NAME)->Controls());
    ASSERT_EQ(clicked.size(), own.size());
    for (const auto& [name, handler] : own) {
        ASSERT_TRUE(clicked.contains(name)) << name;
        EXPECT_TRUE(clicked.at(name) == handler) << name << " runs another button's handler";
    }
}

TEST_F(FrenchShellTest, CaptionsAreInTheLanguageOfTheRun) {
    ThisApplication& addin = ConnectOnANewDocument();
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("Veln a créé"));
    EXPECT_EQ(addin.Member("oCreateProjectDatabase")->Caption, "&Créer un projet");
    EXPECT_EQ(addin.Member("oAdd2")->TooltipText, "Créer élément niveau 2");
    EXPECT_EQ(app.CommandBars.Find(addin::TOOLBAR_NAME)->Controls().Item(15).Caption,
              "&Mise en valeur");
}

TEST_F(ShellTest, TheToolbarFollowsWhetherTheActiveDocumentIsLinked) {
    ConnectedWithLinkedDocument();
    host::Document& linked = Document();
    for (const auto& member : LINKED_ONLY) {
        EXPECT_TRUE(Enabled(member)) << member;
    }
    EXPECT_FALSE(Enabled("oRegisterDocument"));
    EXPECT_FALSE(Enabled("oReplaceRegisterDocument"));

    host::Document& other = app.AddDocument();
    EXPECT_EQ(other.AttachedTemplateName(), addin::GLOBAL_TEMPLATE)
        << "the toolbar's template is attached when a document is configured";
    for (const auto& member : LINKED_ONLY) {
        EXPECT_FALSE(Enabled(member)) << member;
    }
    for (const char* member :
         {"oCreateProjectDatabase", "oRegisterDocument", "oReplaceRegisterDocument", "oHelp"}) {
        EXPECT_TRUE(Enabled(member)) << member;
    }
    EXPECT_TRUE(other.Saved()) << "configuring is no change of the document";
    // Each document keeps its own states.
    app.Activate(linked);
    EXPECT_TRUE(Enabled("oAdd1"));
}

TEST_F(ShellTest, TheNormalTemplateIsNeverTouched) {
    NewDocument({FIRST}, host::NORMAL_TEMPLATE, "");
    app.CloseDocument(Document());
    Connect();
    host::Document& normal = app.OpenDocument(dir / host::NORMAL_TEMPLATE);
    EXPECT_EQ(app.CommandBars.Find(addin::TOOLBAR_NAME), nullptr) << "no build from it";
    EXPECT_TRUE(connection.Instance()->FirstDocumentChange());
    normal.Save();
    EXPECT_EQ(ChangeFlag(), "") << "its variables are left alone";
    EXPECT_EQ(normal.AttachedTemplateName(), host::NORMAL_TEMPLATE);
    ui.AnswerMsgBox(vbOK);
    app.AddDocument();
    EXPECT_FALSE(connection.Instance()->FirstDocumentChange()) << "the next change builds";
}

TEST_F(ShellTest, SavingResetsTheChangeFlagEvenWhenTheSaveFails) {
    ConnectedWithLinkedDocument();
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
    EXPECT_THROW(Document().SaveAs(dir / "no such folder/brakes.docx"), host::HostError);
    EXPECT_EQ(ChangeFlag(), "0");
    app.AddDocument().SaveAs(dir / "unlinked.docx");
    EXPECT_EQ(ChangeFlag(), "0") << "every saved document holds it, linked or not";
}

TEST_F(ShellTest, ClosingAsksOnlyForUnsavedElementChanges) {
    ConnectedWithLinkedDocument();
    host::Document* document = &Document();
    // Saved, whatever the flag: no question.
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
    document->SetSaved(true);
    EXPECT_TRUE(app.CloseDocument(*document));
    EXPECT_TRUE(ui.Transcript().empty());

    // Unsaved, but the flag is not exactly "1": left to the word processor.
    for (const char* flag : {"", "0", "yes"}) {
        document = &app.OpenDocument(dir / "brakes.docx");
        utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, flag);
        EXPECT_TRUE(app.CloseDocument(*document));
    }
    EXPECT_TRUE(ui.Transcript().empty());

    // Unsaved with element changes: Cancel keeps it, No closes it as it is.
    document = &app.OpenDocument(dir / "brakes.docx");
    ui.ClearTranscript();
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
    ui.AnswerMsgBox(vbCancel);
    EXPECT_FALSE(app.CloseDocument(*document));
    EXPECT_EQ(app.ActiveDocument(), document);
    EXPECT_THAT(ui.Transcript().back(),
                HasSubstr("msgbox \"VELN\" flags=51 \"Do you want to save the changes to "
                          ":brakes.docx?\\rSome elements have been modified."));
    ui.AnswerMsgBox(vbNo);
    EXPECT_TRUE(app.CloseDocument(*document));
    EXPECT_EQ(app.DocumentCount(), 0);
    document = &app.OpenDocument(dir / "brakes.docx");
    EXPECT_EQ(ChangeFlag(), "0") << "No discarded the change: the file holds what was saved";

    // Yes saves; a save that fails (its folder gone) keeps the document
    // open and says why.
    std::filesystem::create_directories(dir / "kept");
    document->SaveAs(dir / "kept/brakes.docx");
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
    std::filesystem::remove_all(dir / "kept");
    ui.AnswerMsgBox(vbYes);
    ui.AnswerMsgBox(vbOK);
    EXPECT_FALSE(app.CloseDocument(*document)) << "nothing is lost";
    EXPECT_EQ(app.ActiveDocument(), document);
    EXPECT_THAT(ui.Transcript().back(), HasSubstr("flags=16 \"Error number"));
    std::filesystem::create_directories(dir / "kept");
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
    ui.AnswerMsgBox(vbYes);
    EXPECT_TRUE(app.CloseDocument(*document));
    app.OpenDocument(dir / "kept/brakes.docx");
    EXPECT_EQ(ChangeFlag(), "0") << "saved by Yes";
}

TEST_F(ShellTest, LinkedOnlyCommandsAreSilentOnAnUnlinkedDocument) {
    ThisApplication& addin = Connect();
    ui.AnswerMsgBox(vbOK);
    NewDocument({FIRST, SECOND}, "plain.docx", "");
    ui.ClearTranscript();
    // Enabled or not, their handlers test the link themselves.
    addin.ConfigureToolbarLinked(true);
    std::string before = Document().Content().Text();
    for (const auto& member : LINKED_ONLY) {
        if (member.starts_with("oButton")) {
            continue;  // the colours need no link
        }
        Click(member);
    }
    EXPECT_TRUE(ui.Transcript().empty());
    EXPECT_EQ(Document().Content().Text(), before);
    EXPECT_THAT(Document().VariableNames(), ElementsAre(VARDOC_CHANGEELEM))
        << "only the flag every save writes";
    // A colour command creates the document's colour variable.
    Click("oButtonGray");
    EXPECT_EQ(utilElements::GetDocVariable(context, HIGHLIGHT_COLOR), " 15");
    EXPECT_EQ(context.elementColour, 15);
}

TEST_F(ShellTest, TheLinkAndTreeButtonsOpenTheirDialogsModally) {
    ConnectedWithLinkedDocument();
    ui.AnswerForm("frmLinkElem", {});
    ui.AnswerForm("FrmTree", {});
    Click("oLinkElements");
    Click("oTree");
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("form frmLinkElem modal \"Link Elements\"", "  close box",
                            "end form frmLinkElem", "form FrmTree modal \"Elements Tree\"",
                            "  close box", "end form FrmTree"));
}

TEST_F(ShellTest, NavigationSetsItsButtonsAsTheTableSays) {
    ConnectedWithLinkedDocument();
    CreateAt(1, "oAdd1", "First");
    CreateAt(2, "oAdd2", "Second");
    CreateAt(3, "oAdd2", "Third");
    EXPECT_EQ(Navigation(), (std::vector<bool>{true, true, true, true}));
    Click("oFirst");
    EXPECT_EQ(Navigation(), (std::vector<bool>{false, false, true, true}));
    Click("oNext");
    Click("oNext");
    EXPECT_EQ(Navigation(), (std::vector<bool>{true, true, false, false})) << "now the last";
    Click("oPrevious");
    EXPECT_EQ(Navigation(), (std::vector<bool>{true, true, true, true}))
        << "not the first: left as they were, then next and last on";
    Click("oPrevious");
    EXPECT_EQ(Navigation(), (std::vector<bool>{false, false, true, true}));
    Click("oLast");
    EXPECT_EQ(Navigation(), (std::vector<bool>{true, true, false, false}));
    // A disabled button does nothing when pressed.
    std::string selected = Document().Selection().Range().Text();
    Click("oNext");
    EXPECT_EQ(Document().Selection().Range().Text(), selected);
}

TEST_F(ShellTest, CancelInAConfirmationChangesNothing) {
    ConnectedWithLinkedDocument();
    CreateAt(1, "oAdd2", "First");
    std::string before = Document().Content().Text();
    ui.AnswerMsgBox(vbCancel);
    Click("oRenumber");
    ui.AnswerMsgBox(vbCancel);
    Click("oKillAll");
    EXPECT_THAT(ui.Transcript().back(),
                HasSubstr("msgbox \"Unlink\" flags=305 \"Mark all elements deleted and unlink "
                          "the document from the project.\\nThis operation is irreversible."));
    EXPECT_EQ(Document().Content().Text(), before);
    EXPECT_EQ(Query("SELECT count(*) FROM Elements WHERE E_Deleted = 0"), "1");
    EXPECT_EQ(utilElements::GetDocId(context), test::DOCUMENT_ID);

    ui.AnswerMsgBox(vbOK);
    Click("oKillAll");
    EXPECT_EQ(Query("SELECT count(*) FROM Elements WHERE E_Deleted = 0"), "0");
    EXPECT_EQ(utilElements::GetDocId(context), "");
    EXPECT_EQ(Document().Bookmarks().Count(), 0);
    ui.ClearTranscript();
    Click("oAdd1");
    EXPECT_TRUE(ui.Transcript().empty()) << "linked-only commands are silent from then on";
}

TEST_F(ShellTest, TheVersionButtonsRunTheirCommands) {
    ThisApplication& addin = ConnectedWithLinkedDocument();
    // Replacing is for a document not linked yet, as the toolbar offers it.
    addin.oReplaceRegisterDocument_Click();
    EXPECT_TRUE(ui.Transcript().empty());

    ui.AnswerMsgBox(vbCancel);
    Click("oMergeDocuments");
    EXPECT_THAT(ui.Transcript(),
                ElementsAre(HasSubstr("msgbox \"New Version\" flags=65 \"The current document "
                                      "version has to be the active window.\\r")));

    NewDocument({FIRST, SECOND}, "brakes-v2.docx", "");
    EXPECT_TRUE(Enabled("oReplaceRegisterDocument"));
    EXPECT_FALSE(Enabled("oAdd1"));
    ui.AnswerMsgBox(vbOK);
    ui.AnswerOpen(database);
    ui.AnswerForm("frmListDocs",
                  {{"select", "ListBoxDocs", {"0"}}, {"click", "CommandButtonOk", {}}});
    ui.AnswerInput(std::nullopt);
    Click("oReplaceRegisterDocument");
    EXPECT_EQ(utilElements::GetDocId(context), test::DOCUMENT_ID);
    EXPECT_EQ(Query("SELECT D_Name FROM Documents"), Document().FullName());
    EXPECT_TRUE(Enabled("oAdd1")) << "the command set switches to its linked state";
    EXPECT_FALSE(Enabled("oReplaceRegisterDocument"));
    EXPECT_TRUE(Document().Saved());
}

TEST_F(ShellTest, TheOutputButtonsOpenTheirDialogsOnTheActiveDocument) {
    ConnectedWithLinkedDocument();
    ui.AnswerForm("frmMatrix", {{"print", "ComboBoxSource", {}}});
    Click("oMatrix");
    ui.AnswerForm("frmListElemProp", {{"click", "CommandButtonExit", {}}});
    Click("oListElemPropValues");
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("form frmMatrix modal \"Traceability Matrix\"",
                            "  ComboBoxSource: 1 rows, index 0\n    > " + (dir / "brakes.docx") +
                                "\n    text: \"" + test::DOCUMENT_ID + "\"",
                            "  close box", "end form frmMatrix",
                            "form frmListElemProp modal \"Element's Properties Values\"",
                            "  click CommandButtonExit", "end form frmListElemProp"));
}

TEST_F(ShellTest, TheAboutBoxOpensTheManualOfTheLanguageAndClosesOnAnyKey) {
    // The viewer writes down the file it was given.
    std::string viewer = dir / "viewer.sh";
    std::string record = dir / "viewed.txt";
    {
        std::ofstream script(viewer);
        // Written aside then renamed: the test waits for the file to exist,
        // and must not find it made but still empty.
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record << ".part' && mv '" << record
               << ".part' '" << record << "'\n";
    }
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
    // The program folder of the build, where the manuals are written.
    const std::string programFolder = system.ProgramFolder();
    host::PosixSystem withViewer(host::FixedEnvironment(
        {{"VELN_HELP_VIEWER", viewer}, {"VELN_HOME", programFolder}, {"LANG", "C"}}));
    CoreContext core(ui, withViewer);
    ui.AnswerForm("frmSplash",
                  {{"print", "lblVersion", {}}, {"click", "Help", {}}, {"key", "q", {}}});
    ui.Show(std::make_shared<frmSplash>(core), false);
    EXPECT_THAT(ui.Transcript(), ::testing::Contains(HasSubstr("\"Version 1.0.4\"")));
    EXPECT_EQ(ui.Transcript().back(), "end form frmSplash") << "closed by the key, no close box";
    for (int wait = 0; wait < 100 && !std::filesystem::exists(record); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::string english = programFolder + "/veln en.html";
    EXPECT_EQ(test::ReadFile(record), english) << "one argument, its blank kept";
    EXPECT_THAT(test::ReadFile(english), HasSubstr("<title>VELN user manual</title>"));

    core.language.offset = FRENCH_OFFSET;
    frmSplash french(core);
    EXPECT_EQ(french.ManualPath(), programFolder + "/veln.html");
    EXPECT_THAT(test::ReadFile(french.ManualPath()), HasSubstr("<html lang=\"fr\">"));
}

}  // namespace
}  // namespace veln
