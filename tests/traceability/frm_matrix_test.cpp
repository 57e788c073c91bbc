// The matrix dialog: choosers, Complete, the column-limit question and its
// answers, new workbooks beside the database, and failures reported.
#include "traceability/frm_matrix.h"

#include <gmock/gmock.h>

#include "database/doc_variables.h"
#include "outputs_fixture.h"

namespace veln {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::UnorderedElementsAre;

constexpr const char* LIMIT_PROMPT =
    "The number of columns is limited to: 256 and the matrix to be generated is : 1/257. You "
    "have to invert rows and columns or filter the first rank of elements.";
constexpr const char* WORKBOOK_NAME =
    "plan\\.docx-tests\\.docx [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}-[0-9]{2}-[0-9]{2}( "
    "\\(2\\))?\\.xlsx";

class FrmMatrixTest : public test::OutputsTest {
  protected:
    FrmMatrixTest() {
        OpenSource();
        AddElement("ELEMSRC00001", test::SOURCE_ID, {1, 0, 0, 0}, "Brakes");
        form = std::make_shared<frmMatrix>(context);
        form->Load();
    }
    // Targets of first rank 1 (count1 of them) and 2 (count2).
    void Targets(int count1, int count2) {
        for (int k = 1; k <= count1 + count2; ++k) {
            int rank = k <= count1 ? 1 : 2;
            AddElement("ELEMTGT" + std::to_string(10000 + k), test::TARGET_ID, {rank, k, 0, 0},
                       "t");
        }
    }
    void PickTarget() { form->ComboBoxTarget.SetListIndex(1); }
    // Complete; the workbooks it wrote, read back.
    std::vector<test::ReadWorkbook> Complete() {
        std::vector<std::string> before = Workbooks();
        form->CommandButtonFill.Click();
        std::vector<test::ReadWorkbook> written;
        for (const std::string& name : Workbooks()) {
            if (std::find(before.begin(), before.end(), name) == before.end()) {
                written.push_back(test::ReadBack(dir / name));
            }
        }
        return written;
    }

    std::shared_ptr<frmMatrix> form;
};

TEST_F(FrmMatrixTest, OpensOnTheActiveDocumentAndWaitsForATarget) {
    EXPECT_EQ(form->Caption, "Traceability Matrix");
    EXPECT_EQ(form->CommandButtonFill.Caption, "Complete");
    EXPECT_EQ(form->LabelWrap.Caption, "Wrap labels (Y/N)");
    EXPECT_EQ(form->BackColor, host::DIALOG_BACK_COLOR);
    EXPECT_EQ(form->ComboBoxSource.ListCount(), 2);
    EXPECT_EQ(form->ComboBoxSource.ListIndex(), 0);
    EXPECT_EQ(form->ComboBoxSource.List(0, 1), SourcePath());
    EXPECT_EQ(form->ComboBoxTarget.ListIndex(), -1);
    EXPECT_TRUE(form->CheckBoxHyperlink.Value);
    EXPECT_FALSE(form->CheckBoxWrap.Value);
    EXPECT_FALSE(form->CommandButtonFill.Enabled);
    form->CommandButtonFill.Click();
    EXPECT_TRUE(Workbooks().empty()) << "Complete does nothing while disabled";
    PickTarget();
    EXPECT_TRUE(form->CommandButtonFill.Enabled);
}

TEST_F(FrmMatrixTest, EachCompleteWritesANewWorkbookBesideTheDatabase) {
    PickTarget();
    form->CheckBoxWrap.Set(true);
    auto first = Complete();
    auto second = Complete();
    ASSERT_EQ(first.size(), 1U);
    ASSERT_EQ(second.size(), 1U) << "the second never replaces the first";
    EXPECT_EQ(first[0].sheet, "plan.docx-tests.docx");
    EXPECT_EQ(first[0].Value(5, 2), "Brakes");
    EXPECT_TRUE(first[0].Cell(5, 2).look.wrap);
    std::vector<std::string> names = Workbooks();
    ASSERT_EQ(names.size(), 2U);
    EXPECT_THAT(names[0], MatchesRegex(WORKBOOK_NAME));
    EXPECT_THAT(names[1], MatchesRegex(WORKBOOK_NAME));
    // Names listed in order of name: two in the same second sort " (2)" first.
    EXPECT_THAT(ui.Transcript(), UnorderedElementsAre("workbook \"" + (dir / names[0]) + "\"",
                                                      "workbook \"" + (dir / names[1]) + "\""));
    EXPECT_GT(app.doEventsCalls, 0) << "the build lets the host breathe";
    EXPECT_TRUE(form->CommandButtonFill.Enabled);
}

TEST_F(FrmMatrixTest, ExactlyTheColumnLimitAsksNothing) {
    Targets(256, 0);
    PickTarget();
    auto written = Complete();
    ASSERT_EQ(written.size(), 1U);
    EXPECT_EQ(written[0].Value(2, 258), "1.255.0.0");
}

TEST_F(FrmMatrixTest, AboveTheLimitAFirstRankIsAskedForAndChecked) {
    Targets(200, 57);
    PickTarget();
    for (const char* refused : {"0", "300", "abc"}) {
        ui.AnswerInput(refused);
        EXPECT_TRUE(Complete().empty()) << refused;
    }
    ui.AnswerInput(std::nullopt);
    EXPECT_TRUE(Complete().empty()) << "Cancel";
    EXPECT_THAT(ui.Transcript(),
                ElementsAre(HasSubstr("-> \"0\""), HasSubstr("-> \"300\""), HasSubstr("-> \"abc\""),
                            "input \"Matrix Size\" \"" + std::string(LIMIT_PROMPT) +
                                "\" default=\"\" -> cancel"));

    // The number read from the answer is the filter, whatever text follows it.
    for (const char* answer : {"2", "2abc"}) {
        ui.AnswerInput(answer);
        auto rank2 = Complete();
        ASSERT_EQ(rank2.size(), 1U) << answer;
        EXPECT_EQ(rank2[0].Value(2, 4), "2.201.0.0") << answer;
        EXPECT_EQ(rank2[0].Value(2, 60), "2.257.0.0") << answer;
        EXPECT_EQ(rank2[0].Value(2, 61), "") << answer;
    }
    ui.AnswerInput("1) OR (1=1");
    auto rank1 = Complete();
    ASSERT_EQ(rank1.size(), 1U);
    EXPECT_EQ(rank1[0].Value(2, 203), "1.200.0.0");
    EXPECT_EQ(rank1[0].Value(2, 204), "") << "nothing of rank 2";
}

TEST_F(FrmMatrixTest, AFailureIsReportedAndWhatWasWrittenIsShown) {
    ExecuteUnchecked(
        "INSERT INTO Elements (E_id, E_DocId, E_label, E_Number1, E_Deleted) "
        "VALUES ('ELEMSRC00002', ?1, ?2, 2, 0)",
        {test::SOURCE_ID, std::string(40000, 'x')});
    PickTarget();
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    auto written = Complete();
    ASSERT_EQ(written.size(), 1U);
    EXPECT_EQ(written[0].Value(5, 2), "Brakes");
    EXPECT_EQ(written[0].Value(6, 2), "");
    ASSERT_EQ(ui.Transcript().size(), 2U);
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("workbook "));
    EXPECT_THAT(ui.Transcript()[1],
                MatchesRegex("msgbox \"Error: 1004\" flags=16 \".*row 6, column 2.* Excel "
                             "management problem\\. \" -> ok"));
}

TEST_F(FrmMatrixTest, AnUnreadableDatabaseLeavesTheChoosersEmpty) {
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, dir / "missing.mdb");
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    frmMatrix lost(context);
    lost.Load();
    EXPECT_EQ(lost.ComboBoxSource.ListCount(), 0);
    ASSERT_EQ(ui.Transcript().size(), 1U);
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("missing.mdb"));
    EXPECT_THAT(ui.Transcript()[0], HasSubstr("flags=16"));
}

}  // namespace
}  // namespace veln
