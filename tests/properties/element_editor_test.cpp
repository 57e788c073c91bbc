// The element editor on a real document and project: the slots it opens
// with, walking from element to element with values held until it closes,
// the level, the label and the hyperlink, and its failures.
#include <chrono>
#include <thread>

#include <gmock/gmock.h>

#include "addin/operations.h"
#include "database/doc_variables.h"
#include "elements/elements.h"
#include "host/word/bookmarks.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "lock_holder.h"
#include "properties/frm_elem_properties.h"
#include "properties_fixture.h"

namespace veln {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Three elements over paragraphs 1 to 3, and a text, a choice and a check
// box property.
class ElementEditorTest : public test::PropertiesTest {
  protected:
    ElementEditorTest() {
        for (int n = 1; n <= 3; ++n) {
            Document().Selection().SetRange(Paragraph(n).first, Paragraph(n).first);
            std::int16_t level = n == 1 ? 1 : 2;
            ui.AnswerInput("Element " + std::to_string(n));
            Elements::CreateElement(context, level);
        }
        note = Define("Note", "TEXT", "none");
        status = Define("Status", "COMB", "Open", "Open;Closed;");
        verified = Define("Verified", "CHCK", "1");
        ui.ClearTranscript();
    }
    std::string Id(int n) const { return context.loadedElements.Item(n).ElementID; }
    void CaretAt(int paragraph) {
        Document().Selection().SetRange(Paragraph(paragraph).first, Paragraph(paragraph).first);
    }

    std::int64_t note = 0;
    std::int64_t status = 0;
    std::int64_t verified = 0;
};

TEST_F(ElementEditorTest, OpensWithASlotPerDefinition) {
    for (int k = 4; k <= 10; ++k) {
        Define("Extra " + std::to_string(k), "TEXT");
    }
    Define("Deleted", "TEXT");
    db::Database::Open(database).Execute(
        "UPDATE Properties SET P_Deleted = 1 WHERE P_Label = 'Deleted'");
    CaretAt(1);
    auto editor = Open<frmElemProperties>();
    EXPECT_EQ(editor->Height, 6255) << "ten definitions fit";
    EXPECT_EQ(editor->Caption, "Edition of Elements and Properties");
    EXPECT_EQ(editor->CommandButtonNext.Picture, 110);
    EXPECT_EQ(editor->tbElemNumber.Text, "1.0.0.0");
    EXPECT_EQ(editor->tbElemLabel.Text, "Element 1");
    EXPECT_EQ(editor->lbElemLevel.ListCount(), 4);
    EXPECT_EQ(editor->lbElemLevel.ListIndex(), 0);
    EXPECT_TRUE(editor->Slot(0).tbProperty.Visible);
    EXPECT_FALSE(editor->Slot(0).CbProperty.Visible);
    EXPECT_TRUE(editor->Slot(1).CbProperty.Visible);
    EXPECT_TRUE(editor->Slot(2).ChkProperty.Visible);
    EXPECT_EQ(editor->Slot(9).LblProperty.Caption, "Extra 10");
    EXPECT_FALSE(editor->Slot(10).LblProperty.Visible);
    // Defaults shown: the text, the choice, "1" ticks the box.
    EXPECT_EQ(editor->Slot(0).tbProperty.Text, "none");
    EXPECT_EQ(editor->Slot(1).CbProperty.Text, "Open");
    EXPECT_TRUE(editor->Slot(2).ChkProperty.Value);
    EXPECT_FALSE(editor->CommandButtonFirst.Enabled);
    EXPECT_FALSE(editor->CommandButtonPrevious.Enabled);
    EXPECT_TRUE(editor->CommandButtonNext.Enabled);
    editor->Unload();

    // Twelve definitions need the tall window; a choice list offers every value.
    Define("Extra 11", "TEXT");
    Define("Letter", "COMB", "", "a;b;;c;d;e;f;g;h;i;j;");
    CaretAt(3);
    editor = Open<frmElemProperties>();
    EXPECT_EQ(editor->Height, 9525);
    EXPECT_TRUE(editor->Slot(11).CbProperty.Visible);
    EXPECT_EQ(editor->Slot(11).CbProperty.ListCount(), 10) << "past eight, without the empty one";
    EXPECT_FALSE(editor->CommandButtonNext.Enabled) << "on the last element";
    EXPECT_FALSE(editor->CommandButtonLast.Enabled);
    EXPECT_TRUE(editor->CommandButtonFirst.Enabled);
}

TEST_F(ElementEditorTest, ValuesAreHeldWhileWalkingAndStoredOnClosing) {
    StoreValue(note, Id(2), "stored before");
    CaretAt(1);
    auto editor = Open<frmElemProperties>();
    editor->Slot(0).tbProperty.Type("first note");
    editor->Slot(1).CbProperty.Select(1);
    editor->Slot(2).ChkProperty.Set(false);
    editor->CommandButtonNext.Click();
    EXPECT_EQ(editor->tbElemNumber.Text, "1.1.0.0");
    EXPECT_EQ(editor->Slot(0).tbProperty.Text, "stored before");
    EXPECT_EQ(editor->Slot(1).CbProperty.Text, "Open") << "no value: the default";
    editor->CommandButtonPrevious.Click();
    EXPECT_EQ(editor->Slot(0).tbProperty.Text, "first note");
    EXPECT_EQ(editor->Slot(1).CbProperty.Text, "Closed");
    EXPECT_FALSE(editor->Slot(2).ChkProperty.Value);
    EXPECT_FALSE(editor->CommandButtonFirst.Enabled);
    EXPECT_EQ(Stored("SELECT count(*) FROM ElemProperties"), "1") << "nothing written yet";

    editor->CommandButtonExit.Click();
    EXPECT_FALSE(editor->IsOpen());
    EXPECT_EQ(editor->Values().Count(), 0);
    // Both elements seen now have a value of each property.
    EXPECT_EQ(Stored("SELECT E_id = '" + Id(1) +
                     "', P_id, PE_value FROM ElemProperties "
                     "ORDER BY 1 DESC, P_id"),
              "1|1|first note\n1|2|Closed\n1|3|False\n0|1|stored before\n0|2|Open\n0|3|True");

    // Reopened, the values are shown again; a second closing writes nothing new.
    CaretAt(1);
    editor = Open<frmElemProperties>();
    EXPECT_EQ(editor->Slot(0).tbProperty.Text, "first note");
    EXPECT_FALSE(editor->Slot(2).ChkProperty.Value) << "\"False\" reads back";
    editor->Unload();
    EXPECT_EQ(Stored("SELECT count(*) FROM ElemProperties"), "6");
}

TEST_F(ElementEditorTest, LongValuesAreCutNotLost) {
    const std::string typed(80, 'x');
    CaretAt(1);
    auto editor = Open<frmElemProperties>();
    editor->Slot(0).tbProperty.Type(typed);
    EXPECT_EQ(editor->Slot(0).tbProperty.Text.size(), 64U) << "the box takes no more";
    editor->Slot(1).CbProperty.Type(typed + "é");
    editor->CommandButtonNext.Click();
    editor->Slot(0).tbProperty.Type("second");
    editor->Unload();
    EXPECT_EQ(Stored("SELECT P_id, length(PE_value) FROM ElemProperties WHERE E_id = '" + Id(1) +
                     "' ORDER BY P_id"),
              "1|64\n2|64\n3|4");
    EXPECT_EQ(
        Stored("SELECT PE_value FROM ElemProperties WHERE P_id = 1 AND E_id = '" + Id(2) + "'"),
        "second")
        << "the other values typed are saved too";
}

TEST_F(ElementEditorTest, ControlCharactersNeverReachALabelOrAValue) {
    CaretAt(1);
    auto editor = Open<frmElemProperties>();
    editor->tbElemLabel.Text = "Pads\x01wear\rlimit";
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    editor->CommandButtonUpdateLabel.Click();
    EXPECT_EQ(editor->tbElemLabel.Text, "Pads wear limit") << "offered with blanks";
    EXPECT_THAT(ui.Transcript(), Contains(HasSubstr("The label held control characters")));
    EXPECT_EQ(Stored("SELECT count(*) FROM Elements WHERE E_ModifDate IS NOT NULL"), "0")
        << "nothing written before the user confirms";
    editor->CommandButtonUpdateLabel.Click();
    EXPECT_EQ(Stored("SELECT E_label FROM Elements WHERE E_id = '" + Id(1) + "'"),
              "Pads wear limit");

    editor->Slot(0).tbProperty.Text = std::string("steel") + '\0' + "\x02grade";
    editor->Unload();
    EXPECT_EQ(
        Stored("SELECT PE_value FROM ElemProperties WHERE P_id = 1 AND E_id = '" + Id(1) + "'"),
        "steel  grade");
}

TEST_F(ElementEditorTest, ValuesGoToTheProjectTheyCameFrom) {
    CaretAt(1);
    auto editor = Open<frmElemProperties>();
    editor->Slot(0).tbProperty.Type("while another document is active");
    app.AddDocument();
    editor->Unload();
    EXPECT_EQ(Stored("SELECT PE_value FROM ElemProperties WHERE P_id = 1"),
              "while another document is active");
}

TEST_F(ElementEditorTest, ValuesOfPropertiesNotShownAreKept) {
    std::int64_t gone = Define("Gone", "TEXT");
    StoreValue(gone, Id(1), "old value");
    db::Database::Open(database).Execute(
        "UPDATE Properties SET P_Deleted = 1 WHERE P_Label = 'Gone'");
    // A second row of the same element and property, as an older version left.
    StoreValue(note, Id(1), "first");
    StoreValue(note, Id(1), "second");
    CaretAt(1);
    auto editor = Open<frmElemProperties>();
    EXPECT_EQ(editor->Slot(0).tbProperty.Text, "first");
    editor->Slot(0).tbProperty.Type("both");
    editor->Unload();
    EXPECT_EQ(Stored("SELECT P_id, PE_value FROM ElemProperties WHERE P_id IN (" +
                     std::to_string(gone) + ", " + std::to_string(note) + ") ORDER BY rowid"),
              std::to_string(gone) + "|old value\n1|both\n1|both");
}

TEST_F(ElementEditorTest, OutsideEveryElementALevelOneElementIsMadeAndStaysSelected) {
    CaretAt(5);
    auto editor = Open<frmElemProperties>();
    ASSERT_EQ(context.loadedElements.Count(), 4);
    const std::string made = Id(4);
    EXPECT_EQ(editor->CurrentId(), made);
    EXPECT_EQ(editor->tbElemLabel.Text, "P5 text of paragraph 5");
    EXPECT_EQ(editor->tbElemNumber.Text, "2.0.0.0");
    EXPECT_EQ(editor->lbElemLevel.ListIndex(), 0);
    EXPECT_EQ(Elements::CurrentElementId(context), made) << "the document shows the element shown";
    EXPECT_EQ(Stored("SELECT E_level, E_label FROM Elements WHERE E_id = '" + made + "'"),
              "1|P5 text of paragraph 5");
    editor->Slot(0).tbProperty.Type("on the new one");
    editor->Unload();
    EXPECT_EQ(
        Stored("SELECT PE_value FROM ElemProperties WHERE P_id = 1 AND E_id = '" + made + "'"),
        "on the new one");
}

TEST_F(ElementEditorTest, LevelLabelAndHyperlinkOfTheElementShown) {
    CaretAt(3);
    auto editor = Open<frmElemProperties>();
    EXPECT_EQ(editor->tbElemNumber.Text, "1.2.0.0");
    editor->lbElemLevel.Select({2});
    editor->CommandButtonChangeLevel.Click();
    EXPECT_EQ(editor->tbElemNumber.Text, "1.1.1.0") << "numbered under the element before it";
    EXPECT_EQ(Stored("SELECT E_level, E_Number1 || '.' || E_Number2 || '.' || E_Number3 || '.' || "
                     "E_Number4, E_ModifDate IS NOT NULL FROM Elements WHERE E_id = '" +
                     Id(3) + "'"),
              "3|1.1.1.0|1");
    EXPECT_THAT(Document().Bookmarks().Item(Id(3)).Range().Text(), HasSubstr("//1.1.1.0// P3"));

    // An unchanged or empty label writes nothing; a long one is cut as at creation.
    db::Database::Open(database).Execute("UPDATE Elements SET E_ModifDate = NULL");
    editor->CommandButtonUpdateLabel.Click();
    editor->tbElemLabel.Text = "";
    editor->CommandButtonUpdateLabel.Click();
    EXPECT_EQ(Stored("SELECT count(*) FROM Elements WHERE E_ModifDate IS NOT NULL"), "0");
    editor->tbElemLabel.Text = std::string(300, 'L');
    editor->CommandButtonUpdateLabel.Click();
    EXPECT_EQ(Stored("SELECT length(E_label) FROM Elements WHERE E_id = '" + Id(3) + "'"), "255");
    EXPECT_EQ(context.loadedElements.Item(3).ElementLabel.size(), 255U);

    // The user selects the element's paragraph: the link leaves its mark out.
    Document().Bookmarks().Item(Id(3)).Range().Select();
    const std::string text = Document().Selection().Range().Text();
    editor->CommandButtonLink.Click();
    host::Hyperlinks links = Document().Hyperlinks();
    ASSERT_EQ(links.Count(), 1);
    EXPECT_EQ(links.Item(1).address, "file://" + (dir / "brakes.docx"));
    EXPECT_EQ(links.Item(1).subAddress, Id(3));
    EXPECT_EQ(links.Item(1).text + "\r", text) << "the text stays as it was";
    editor->Unload();
    EXPECT_THAT(ui.Transcript(), ElementsAre()) << "no message on the way";
}

TEST_F(ElementEditorTest, FailuresAreReportedWithTheirFixedTexts) {
    // The project is gone: each reading reports itself and the window still opens.
    CaretAt(7);
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, dir / "missing.mdb");
    for (int k = 0; k < 3; ++k) {
        ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    }
    auto editor = Open<frmElemProperties>();
    EXPECT_THAT(ui.Transcript(),
                ElementsAre(HasSubstr("msgbox \"VELN\" flags=16 \"CollectProperties : 14-"),
                            HasSubstr("msgbox \"VELN\" flags=16 \"ErrCollectPropValues : 14-"),
                            HasSubstr("msgbox \"VELN\" flags=16 \"CollectElementInformations "
                                      "Eid : -14-")));
    EXPECT_TRUE(editor->IsOpen());
    editor->Unload();
}

TEST_F(ElementEditorTest, ASaveThatFindsTheProjectLockedIsOfferedAgain) {
    CaretAt(1);
    auto editor = Open<frmElemProperties>();
    editor->Slot(0).tbProperty.Type("kept");
    test::LockHolder holder(database);
    ui.AnswerMsgBox(host::MsgBoxResult::vbRetry);
    std::thread releaser([&] {
        // Between the first attempt's timeout (2 s) and the retry's (4 s).
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        holder.Release();
    });
    editor->Unload();
    releaser.join();
    EXPECT_THAT(ui.Transcript(), ElementsAre(HasSubstr("flags=21 \"SavePropValues : 3008-")));
    EXPECT_EQ(Stored("SELECT PE_value FROM ElemProperties WHERE P_id = 1"), "kept");
}

TEST_F(ElementEditorTest, TheListsEditButtonOpensTheEditorOverIt) {
    ui.AnswerForm("frmElemProperties", {{"print", "tbElemNumber", {}},
                                        {"text", "tbProperty0", {"from the list"}},
                                        {"click", "CommandButtonExit", {}}});
    ui.AnswerForm("frmListElem", {{"select", "ListBoxElements", {"1"}},
                                  {"click", "CommandButtonEdit", {}},
                                  {"click", "CommandButtonCancel", {}}});
    addin::FindOperation("frmListElem")->Run(context, {});
    EXPECT_THAT(
        ui.Transcript(),
        ElementsAre(HasSubstr("form frmListElem modal"), "  select ListBoxElements \"1\"",
                    "  click CommandButtonEdit",
                    "  form frmElemProperties modal \"Edition of Elements and Properties\"",
                    "    tbElemNumber: \"1.1.0.0\"", "    text tbProperty0 \"from the list\"",
                    "    click CommandButtonExit", "  end form frmElemProperties",
                    "  click CommandButtonCancel", "end form frmListElem"));
    EXPECT_EQ(
        Stored("SELECT PE_value FROM ElemProperties WHERE P_id = 1 AND E_id = '" + Id(2) + "'"),
        "from the list");
}

}  // namespace
}  // namespace veln
