// The scripted Ui answers dialogs from its queues, plays what a user does in a
// form, and never lets an unexpected dialog pass.
#include "host/ui/scripted_ui.h"

#include <filesystem>
#include <memory>

#include <gmock/gmock.h>

#include "error_of.h"
#include "host/host_error.h"
#include "host/ui/form.h"

namespace veln::host {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A small dialog with one control of each kind; OK asks a question and closes.
class frmSample : public Form {
  public:
    explicit frmSample(Ui& ui) : Form("frmSample"), ui_(ui) {
        Caption = "Sample";
        OKButton.OnClick = [this] {
            answer = ui_.MsgBox("Sure?", MsgBoxStyle::vbYesNo);
            if (answer == MsgBoxResult::vbYes) {
                Unload();
            }
        };
        ListBoxItems.OnDblClick = [this] { doubleClicked = ListBoxItems.Value(); };
        TextBoxName.OnChange = [this] { ++changes; };
    }

    TextBox TextBoxName{*this, "TextBoxName"};
    ListBox ListBoxItems{*this, "ListBoxItems"};
    CheckBox CheckBoxWrap{*this, "CheckBoxWrap"};
    OptionButton OptionA{*this, "OptionA"};
    OptionButton OptionB{*this, "OptionB"};
    CommandButton OKButton{*this, "OKButton"};

    int answer = 0;
    int changes = 0;
    bool loaded = false;
    bool unloaded = false;
    bool refuseClose = false;
    std::string doubleClicked;

  protected:
    void OnLoad() override {
        loaded = true;
        ListBoxItems.ColumnCount = 2;
        ListBoxItems.BoundColumn = 1;
        for (const char* id : {"A1", "B2", "C3"}) {
            ListBoxItems.AddItem(id);
            ListBoxItems.SetList(ListBoxItems.ListCount() - 1, 1, std::string("label ") + id);
        }
        OptionA.SetValue(true);
    }
    bool OnQueryClose() override { return !refuseClose; }
    void OnUnload() override { unloaded = true; }

  private:
    Ui& ui_;
};

TEST(ScriptedUiTest, DialogsTakeTheirAnswersInOrderAndAreTranscribed) {
    ScriptedUi ui;
    ui.AnswerMsgBox(MsgBoxResult::vbYes);
    ui.AnswerMsgBox(MsgBoxResult::vbNo);
    ui.AnswerInput("Project");
    ui.AnswerInput(std::nullopt);
    ui.AnswerFolder("/data");
    ui.AnswerOpen(std::nullopt);

    EXPECT_EQ(ui.MsgBox("First?", 36, "Title"), MsgBoxResult::vbYes);
    EXPECT_EQ(ui.MsgBox("Line 1\rLine \"2\"", 64), MsgBoxResult::vbNo);
    EXPECT_EQ(ui.InputBox("Name", "Create", "Project Name"), "Project");
    EXPECT_EQ(ui.InputBox("Name"), "");
    EXPECT_EQ(ui.BrowseFolder("Where?"), "/data");
    EXPECT_EQ(ui.ShowOpen("Databases|*.mdb", "mdb", "/home", OFN_FILEMUSTEXIST), "");

    EXPECT_THAT(ui.Transcript(),
                ElementsAre("msgbox \"Title\" flags=36 \"First?\" -> yes",
                            "msgbox \"VELN\" flags=64 \"Line 1\\rLine \\\"2\\\"\" -> no",
                            "input \"Create\" \"Name\" default=\"Project Name\" -> \"Project\"",
                            "input \"VELN\" \"Name\" default=\"\" -> cancel",
                            "folder \"Where?\" -> \"/data\"",
                            "open filter=\"Databases|*.mdb\" ext=\"mdb\" folder=\"/home\" "
                            "flags=4096 -> cancel"));
    EXPECT_TRUE(ui.UnusedAnswers().empty());
}

TEST(ScriptedUiTest, FileAndFolderAnswersAreAbsoluteAsARealDialogsAre) {
    ScriptedUi ui;
    ui.AnswerFolder("projects/../projects/brakes");
    ui.AnswerFolder(".");
    ui.AnswerOpen("Brakes.mdb");
    ui.AnswerOpen("");
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(ui.BrowseFolder("Where?"), here + "/projects/brakes");
    EXPECT_EQ(ui.BrowseFolder("Where?"), here);
    EXPECT_EQ(ui.ShowOpen("", "mdb", "", 0), here + "/Brakes.mdb");
    EXPECT_EQ(ui.ShowOpen("", "mdb", "", 0), "") << "an empty answer stays empty";
}

TEST(ScriptedUiTest, AnUnansweredDialogIsAnErrorThatNamesIt) {
    ScriptedUi ui;
    ui.AnswerInput("not for a message box");
    EXPECT_THAT(test::ErrorOf<UnansweredDialog>([&] {
                    ui.MsgBox("Overwrite the file?", 292, "Creation");
                }).text,
                HasSubstr("Overwrite the file?"));
    EXPECT_THROW(ui.BrowseFolder("Select"), UnansweredDialog);
    EXPECT_THAT(ui.UnusedAnswers(), ElementsAre("input \"not for a message box\""));

    auto form = std::make_shared<frmSample>(ui);
    EXPECT_THROW(ui.Show(form, true), UnansweredDialog);
    EXPECT_FALSE(form->loaded);
}

TEST(ScriptedUiTest, MessageBoxResultsParseByNameOrNumber) {
    std::vector<std::optional<int>> parsed;
    for (const char* text : {"ok", "retry", "no", "7", "Yes", "", "6x"}) {
        parsed.push_back(ScriptedUi::ParseMsgBoxResult(text));
    }
    EXPECT_THAT(parsed, ElementsAre(MsgBoxResult::vbOK, MsgBoxResult::vbRetry, MsgBoxResult::vbNo,
                                    7, std::nullopt, std::nullopt, std::nullopt));
}

TEST(ScriptedUiTest, FormActionsReachTheControlsAndNestedDialogs) {
    ScriptedUi ui;
    ui.AnswerMsgBox(MsgBoxResult::vbNo);
    ui.AnswerMsgBox(MsgBoxResult::vbYes);
    ui.AnswerForm("frmSample", {{"text", "TextBoxName", {"Req 1"}},
                                {"option", "OptionB", {}},
                                {"check", "CheckBoxWrap", {"1"}},
                                {"dblclick", "ListBoxItems", {"1"}},
                                {"print", "ListBoxItems", {}},
                                {"click", "OKButton", {}},
                                {"click", "OKButton", {}}});
    auto form = std::make_shared<frmSample>(ui);
    ui.Show(form, true);

    EXPECT_TRUE(form->loaded && form->unloaded && !form->IsOpen());
    EXPECT_EQ(form->TextBoxName.Text, "Req 1");
    EXPECT_EQ(form->changes, 1);
    EXPECT_TRUE(form->OptionB.Value());
    EXPECT_FALSE(form->OptionA.Value()) << "options of one group exclude one another";
    EXPECT_TRUE(form->CheckBoxWrap.Value);
    EXPECT_EQ(form->doubleClicked, "B2");
    EXPECT_EQ(form->answer, MsgBoxResult::vbYes);
    EXPECT_THAT(ui.Transcript(),
                ElementsAre("form frmSample modal \"Sample\"", "  text TextBoxName \"Req 1\"",
                            "  option OptionB", "  check CheckBoxWrap \"1\"",
                            "  dblclick ListBoxItems \"1\"",
                            "  ListBoxItems: 3 rows, index 1\n"
                            "      A1 | label A1\n"
                            "    > B2 | label B2\n"
                            "      C3 | label C3",
                            "  click OKButton", "  msgbox \"VELN\" flags=4 \"Sure?\" -> no",
                            "  click OKButton", "  msgbox \"VELN\" flags=4 \"Sure?\" -> yes",
                            "end form frmSample"));
}

TEST(ScriptedUiTest, AFormLeftOpenIsClosedByItsCloseBox) {
    ScriptedUi ui;
    ui.AnswerForm("frmSample", {});
    auto form = std::make_shared<frmSample>(ui);
    ui.Show(form, false);
    EXPECT_TRUE(form->unloaded);
    EXPECT_THAT(ui.Transcript(), ElementsAre("form frmSample modeless \"Sample\"", "  close box",
                                             "end form frmSample"));

    // A form that refuses to close stays open, kept alive by the Ui.
    ui.AnswerForm("frmSample", {});
    auto stubborn = std::make_shared<frmSample>(ui);
    stubborn->refuseClose = true;
    ui.Show(stubborn, false);
    EXPECT_TRUE(stubborn->IsOpen());
    ASSERT_EQ(ui.OpenForms().size(), 1U);
    EXPECT_EQ(ui.OpenForms()[0], stubborn);
}

TEST(ScriptedUiTest, WrongFormActionsAreErrors) {
    const std::vector<std::vector<FormAction>> wrong{
        {{"click", "NoSuchButton", {}}},     {{"text", "OKButton", {"x"}}},
        {{"select", "ListBoxItems", {"9"}}}, {{"select", "ListBoxItems", {"one"}}},
        {{"wave", "OKButton", {}}},
    };
    for (const auto& actions : wrong) {
        ScriptedUi ui;
        ui.AnswerForm("frmSample", actions);
        auto form = std::make_shared<frmSample>(ui);
        EXPECT_THROW(ui.Show(form, true), UnansweredDialog) << actions[0].verb;
    }

    // Acting on a form that has closed.
    ScriptedUi ui;
    ui.AnswerMsgBox(MsgBoxResult::vbYes);
    ui.AnswerForm("frmSample", {{"click", "OKButton", {}}, {"click", "OKButton", {}}});
    auto form = std::make_shared<frmSample>(ui);
    EXPECT_THROW(ui.Show(form, true), UnansweredDialog);
}

TEST(ControlsTest, ListsKeepRowsSelectionAndBoundColumn) {
    ScriptedUi ui;
    frmSample form(ui);
    ListBox& list = form.ListBoxItems;
    list.ColumnCount = 2;
    list.BoundColumn = 2;
    list.AddItem("id1");
    list.SetList(0, 1, "one");
    list.AddItem("id2");
    list.SetList(1, 1, "two");
    EXPECT_EQ(list.Value(), "");
    list.Select({1});
    EXPECT_EQ(list.Value(), "two");
    EXPECT_TRUE(list.Selected(1));
    list.Select({0});
    EXPECT_FALSE(list.Selected(1)) << "a single-selection list keeps one row";

    list.MultiSelect = true;
    list.Select({0, 1});
    EXPECT_FALSE(list.Selected(0)) << "a multiple-selection click toggles the row";
    EXPECT_TRUE(list.Selected(1));
    EXPECT_THROW(list.List(2), HostError);
    list.AddItem("id3");
    list.Select({2});
    list.RemoveItem(1);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_TRUE(list.Selected(1)) << "the selection goes with its row";
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    list.AddItem("new");
    list.AddItem("newer");
    EXPECT_FALSE(list.Selected(1)) << "a refilled list has nothing selected";
}

TEST(ControlsTest, ComboTextFollowsItsRowsAndTreeKeysAreUnique) {
    Form form("frmTest");
    ComboBox combo(form, "ComboBoxSource");
    combo.AddItem("alpha");
    combo.AddItem("beta");
    combo.SetListIndex(1);
    EXPECT_EQ(combo.Text, "beta");
    combo.Type("alpha");
    EXPECT_EQ(combo.ListIndex(), 0);
    combo.Type("gamma");
    EXPECT_EQ(combo.ListIndex(), -1);

    TreeView tree(form, "TreeViewLinks");
    tree.Add("", "root", "Document");
    tree.Add("root", "e1", "1.0.0.0 First");
    tree.Add("e1", "e2", "1.1.0.0 Second");
    EXPECT_THROW(tree.Add("root", "e1", "again"), HostError);
    EXPECT_THROW(tree.Add("missing", "e3", "orphan"), HostError);
    tree.Node("root").Expanded = true;
    EXPECT_EQ(tree.Describe(),
              "TreeViewLinks: 3 nodes\n  - root \"Document\"\n    + e1 \"1.0.0.0 First\"\n"
              "        e2 \"1.1.0.0 Second\"");
    EXPECT_EQ(tree.Node("e2").Index, 3);
    tree.Clear();
    EXPECT_EQ(tree.Add("", "e1", "again").Index, 1) << "a cleared tree takes every key again";
    EXPECT_EQ(form.FindControl("TreeViewLinks"), &tree);
    EXPECT_EQ(form.FindControl("Nothing"), nullptr);
}

TEST(ControlsTest, UsersCannotReachDisabledControlsNorTypePastMaxLength) {
    ScriptedUi ui;
    frmSample form(ui);
    form.ListBoxItems.AddItem("A1");
    form.TextBoxName.MaxLength = 4;
    form.TextBoxName.Type("Pièce 12");
    EXPECT_EQ(form.TextBoxName.Text, "Pièc") << "characters, not bytes";

    for (Control* control : form.Controls()) {
        control->Enabled = false;
    }
    form.TextBoxName.Type("other");
    form.CheckBoxWrap.Set(true);
    form.OptionB.Choose();
    form.ListBoxItems.Select({0});
    form.ListBoxItems.DoubleClick(0);
    EXPECT_EQ(form.TextBoxName.Text, "Pièc");
    EXPECT_EQ(form.changes, 1);
    EXPECT_FALSE(form.CheckBoxWrap.Value);
    EXPECT_FALSE(form.OptionB.Value());
    EXPECT_EQ(form.ListBoxItems.ListIndex(), -1);
    EXPECT_EQ(form.doubleClicked, "");
    EXPECT_THROW(form.ListBoxItems.DoubleClick(5), HostError) << "a wrong row stays an error";

    // A combo box's text is its bound column, typed or chosen.
    ComboBox combo(form, "ComboBoxProperties");
    combo.ColumnCount = 2;
    combo.BoundColumn = 2;
    combo.AddItem("7");
    combo.SetList(0, 1, "Status");
    combo.Type("Status");
    EXPECT_EQ(combo.ListIndex(), 0);
    combo.Enabled = false;
    combo.SetListIndex(-1);
    combo.Select(0);
    combo.Type("Other");
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(combo.Text, "Status");
}

}  // namespace
}  // namespace veln::host
