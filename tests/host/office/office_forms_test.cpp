// The forms in Writer, driven as a user drives them through the office's own
// dialogs: the same scenarios as the desktop's, checked against what the
// dialogs show.
#include <filesystem>
#include <thread>

#include <gmock/gmock.h>

#include "host/db/database.h"
#include "host/word/document.h"
#include "host/word/selection.h"
#include "office_forms_fixture.h"

namespace veln::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The row of a drop-down list whose text holds part.
int RowHolding(const FormUser& user, const std::string& control, const std::string& part) {
    std::vector<std::string> items = user.Items(control);
    for (std::size_t row = 0; row < items.size(); ++row) {
        if (items[row].find(part) != std::string::npos) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

class WriterFormsTest : public OfficeFormsTest {
  protected:
    // A level-1 element over a paragraph of the active document, its label
    // given in the office's input box.
    void CreateElement(long paragraph) {
        host::Document& document = *Office().ActiveDocument();
        const long at = document.ParagraphStart(paragraph);
        document.Selection().SetRange(at, at);
        Click("oAdd1", {{"InputBox", [](FormUser& user) { user.Click("CommandButtonOK"); }}});
    }

    // Two linked documents whose element rows are in the project: the
    // requirements (R1, R2) and their tests (T1, T2), R2 already linked to
    // T2; the requirements are active.
    void StartOnLinkedProject() {
        OpenInWriter({"Tests"}, "tests.docx", TESTS_DOC);
        OpenInWriter({"Requirements"}, "requirements.docx", REQUIREMENTS_DOC);
        AddLinkedProjectRows(database);
    }

    // The workbooks written in the project's folder.
    std::vector<std::string> workbooks() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            if (entry.path().extension() == ".xlsx") {
                found.push_back(entry.path().string());
            }
        }
        return found;
    }

    // Chooses the documents of a form's two choosers.
    static void ChooseDocuments(FormUser& user, const std::string& first,
                                const std::string& second) {
        user.Choose(first, {RowHolding(user, first, "requirements.docx")});
        if (!second.empty()) {
            user.Choose(second, {RowHolding(user, second, "tests.docx")});
        }
    }
};

TEST_F(WriterFormsTest, AComboPropertyDefinedInItsFormIsEditedInTheElementEditorAndStoredAtExit) {
    OpenInWriter({"The vehicle shall stop.", "Second."}, "linked.docx");
    CreateElement(0);
    ASSERT_EQ(Office().ActiveDocument()->BookmarkCount(true), 1);
    bool comboValuesShown = false;
    bool comboValuesHiddenFirst = false;
    Click("oAddProperty", {{"frmAddProperty", [&](FormUser& user) {
                                comboValuesHiddenFirst = !user.Visible("TextBoxComboValues");
                                user.Type("TextBoxPropertyLabel", "Priority");
                                user.DoubleClick("ListBoxType", 1);
                                comboValuesShown = FormUser::WaitFor(
                                    [&] { return user.Visible("TextBoxComboValues"); });
                                user.Type("TextBoxComboValues", "High;Medium;Low");
                                user.Type("TextBoxDefaultValue", "Medium");
                                user.Click("CommandButtonOk");
                            }}});
    EXPECT_TRUE(comboValuesHiddenFirst) << "a text asks for no values";
    EXPECT_TRUE(comboValuesShown) << "a combo asks for its values";
    EXPECT_EQ(Query("SELECT P_Label || '/' || P_DefaultValue FROM Properties"), "Priority/Medium");

    Office().ActiveDocument()->Selection().SetRange(2, 2);
    Click("oEdit");
    FormUser editor = Beside("frmElemProperties");
    EXPECT_EQ(editor.Text("LblProperty0"), "Priority");
    EXPECT_TRUE(editor.Visible("CbProperty0"));
    EXPECT_FALSE(editor.Visible("tbProperty0")) << "one control a property";
    EXPECT_THAT(editor.Items("CbProperty0"), ElementsAre("High", "Medium", "Low"));
    EXPECT_EQ(editor.Text("CbProperty0"), "Medium") << "the default";
    editor.Type("CbProperty0", "Low");
    EXPECT_EQ(Query("SELECT count(*) FROM ElemProperties"), "0") << "kept until the editor closes";
    editor.Click("CommandButtonExit");
    EXPECT_TRUE(FormUser::WaitFor([&] { return officeUi.Shown("frmElemProperties") == nullptr; }));
    EXPECT_EQ(Query("SELECT PE_value FROM ElemProperties"), "Low");
}

}  // namespace
}  // namespace veln::test

namespace veln::test {
namespace {

// The element editor works on the document it was opened on: closing that
// document (closing Writer closes them all) closes the editor first, as its
// close box does, and the value it held is stored, not lost with its window.
TEST_F(WriterFormsTest, TheElementEditorClosesBeforeItsDocumentAndStoresWhatItHeld) {
    host::Document& document = OpenInWriter({"The vehicle shall stop.", "Second."}, "linked.docx");
    CreateElement(0);
    db::Database::Open(database).Execute(
        "INSERT INTO Properties (P_Label, P_Type, P_ComboValues, P_Deleted) "
        "VALUES ('Status', 'COMB', 'Draft;Done', 0)");
    document.Selection().SetRange(2, 2);
    Click("oEdit");
    Beside("frmElemProperties").Type("CbProperty0", "Done");
    document.Save();  // closing asks nothing

    ASSERT_TRUE(Office().CloseDocument(document));
    EXPECT_EQ(officeUi.Shown("frmElemProperties"), nullptr);
    EXPECT_EQ(Query("SELECT PE_value FROM ElemProperties"), "Done");
}

// A handler that fails says why in the office's message box, and the dialog
// stays as it was: the same click works once the cause has gone.
TEST_F(WriterFormsTest, AHandlerThatFailsShowsTheErrorAndTheDialogStaysUsable) {
    host::Document& document = OpenInWriter({"The vehicle shall stop."}, "linked.docx");
    CreateElement(0);
    document.Selection().SetRange(2, 2);
    Click("oEdit");
    FormUser editor = Beside("frmElemProperties");
    editor.Type("tbElemLabel", "Stop within 40 m");

    // The project's file is taken away: the new label cannot be stored.
    std::filesystem::rename(database, database + ".away");
    std::string shown;
    std::thread answering([&] {
        try {
            shown = AnswerMessageBox(Office().Connection(), "OK");
        } catch (const std::exception& error) {
            shown = error.what();
        }
    });
    editor.Click("CommandButtonUpdateLabel");
    answering.join();
    EXPECT_THAT(shown, AllOf(HasSubstr("frmElemProperties"), HasSubstr("project.mdb"),
                             HasSubstr("unable to open database file")));
    EXPECT_NE(officeUi.Shown("frmElemProperties"), nullptr);
    EXPECT_EQ(editor.Text("tbElemLabel"), "Stop within 40 m") << "what the user typed stays";

    std::filesystem::rename(database + ".away", database);
    editor.Click("CommandButtonUpdateLabel");
    EXPECT_EQ(Query("SELECT E_label FROM Elements"), "Stop within 40 m");
    editor.Click("CommandButtonExit");
}

TEST_F(WriterFormsTest, LinkingTwoElementsStoresTheLinkAndEachSourcePreselectsItsTargets) {
    StartOnLinkedProject();
    std::vector<std::string> targetRows;
    std::vector<int> forFirst;
    std::vector<int> forSecond;
    Click("oLinkElements",
          {{"frmLinkElem", [&](FormUser& user) {
                ChooseDocuments(user, "ComboBoxSource", "ComboBoxTarget");
                ASSERT_TRUE(FormUser::WaitFor(
                    [&] { return user.Rows("ListBoxElementsTarget").size() == 2; }));
                targetRows = user.Rows("ListBoxElementsTarget");
                user.Choose("ListBoxElementsSource", {0});
                user.Choose("ListBoxElementsTarget", {0});
                user.Click("CommandButtonLink");
                FormUser::WaitFor(
                    [&] { return Query("SELECT count(*) FROM Links WHERE L_Deleted = 0") == "2"; });
                user.Choose("ListBoxElementsSource", {1});
                FormUser::WaitFor(
                    [&] { return user.Selected("ListBoxElementsTarget") == std::vector<int>{1}; });
                forSecond = user.Selected("ListBoxElementsTarget");
                user.Choose("ListBoxElementsSource", {0});
                FormUser::WaitFor(
                    [&] { return user.Selected("ListBoxElementsTarget") == std::vector<int>{0}; });
                forFirst = user.Selected("ListBoxElementsTarget");
                user.Click("CommandButtonExit");
            }}});
    EXPECT_THAT(targetRows, ElementsAre("1.0.0.0\tDry road test", "2.0.0.0\tLane test"))
        << "the id column stays hidden";
    EXPECT_EQ(Query("SELECT group_concat(L_Id1 || '>' || L_Id2) FROM "
                    "(SELECT * FROM Links WHERE L_Deleted = 0 ORDER BY L_Id1) AS live"),
              "R1>T1,R2>T2");
    EXPECT_THAT(forSecond, ElementsAre(1)) << "the link that was there";
    EXPECT_THAT(forFirst, ElementsAre(0)) << "the link just made";
}

}  // namespace
}  // namespace veln::test

namespace veln::test {
namespace {

TEST_F(WriterFormsTest, ATreeOfLinksIsShownAsTheModelHoldsItAndExportedToANewDocument) {
    StartOnLinkedProject();
    db::Database::Open(database).Execute(
        "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_Deleted) "
        "VALUES ('R1', ?1, 'T1', ?2, 0)",
        {REQUIREMENTS_DOC, TESTS_DOC});
    std::vector<std::string> shown;
    std::string held;
    bool treeFirstDisabled = false;
    Click("oTree", {{"FrmTree", [&](FormUser& user) {
                         treeFirstDisabled = !user.Enabled("ComboBoxTree");
                         ChooseDocuments(user, "ComboBoxRoot", "ComboBoxTree");
                         FormUser::WaitFor([&] { return user.Nodes("TreeViewElem").size() == 5; });
                         shown = user.Nodes("TreeViewElem");
                         held = user.Form().FindControl("TreeViewElem")->Describe();
                         user.Click("CommandButtonExportAll");
                         FormUser::WaitFor([&] { return Office().DocumentCount() == 3; });
                         user.Click("CommandButtonExit");
                     }}});
    EXPECT_TRUE(treeFirstDisabled) << "the root comes first";
    ASSERT_EQ(shown.size(), 5U) << "the document, two requirements, a test under each";
    EXPECT_THAT(shown[1], HasSubstr("Stop within 40 m"));
    EXPECT_THAT(shown[2], HasSubstr("Dry road test"));
    for (const std::string& node : shown) {
        // "1 R1 Stop within 40 m -": as the model holds it, text and state.
        const std::string text = node.substr(node.find(' ') + 1, node.size() - node.find(' ') - 3);
        EXPECT_THAT(held, HasSubstr(text)) << node;
    }
    ASSERT_EQ(Office().DocumentCount(), 3) << "the export in a new document of Writer";
    host::Document& exported = Office().DocumentItem(3);
    EXPECT_THAT(exported.TextOf(0, exported.StoryEnd()), HasSubstr("Dry road test"));
}

TEST_F(WriterFormsTest, AMatrixAndAListAreWrittenAndOpenedInTheSpreadsheetProgram) {
    StartOnLinkedProject();
    Click("oMatrix", {{"frmMatrix", [&](FormUser& user) {
                           ChooseDocuments(user, "ComboBoxSource", "ComboBoxTarget");
                           user.Click("CommandButtonFill");
                           FormUser::WaitFor([&] { return !workbooks().empty(); });
                           user.Click("CommandButtonExit");
                       }}});
    Click("oListElemPropValues", {{"frmListElemProp", [&](FormUser& user) {
                                       ChooseDocuments(user, "ComboBoxSource", "");
                                       user.Click("CommandPopulate");
                                       FormUser::WaitFor([&] { return workbooks().size() == 2; });
                                       user.Click("CommandButtonExit");
                                   }}});
    EXPECT_EQ(workbooks().size(), 2U) << "a matrix and a list";
}

}  // namespace
}  // namespace veln::test
