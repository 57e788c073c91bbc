// The links tree dialog on a real project database: which links it follows,
// its node keys and texts, the label length, the text options, and what a
// build that cannot run or fails leaves.
#include <deque>
#include <filesystem>
#include <memory>
#include <regex>

#include <gmock/gmock.h>

#include "database/linking.h"
#include "host/db/database.h"
#include "linked_project.h"
#include "traceability/frm_tree.h"

namespace veln {
namespace {

using test::DESIGN;
using test::REQUIREMENTS;
using test::TESTS;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* ROW_REQUIREMENTS = "0";
constexpr const char* ROW_DESIGN = "1";
constexpr const char* ROW_TESTS = "2";
constexpr const char* TREE_ERROR = "msgbox \"VELN\" flags=0 \"Error in tree generation\" -> ok";

// The dialog with level-3 keys drawn from a list, so a tree prints the same
// every time and a collision can be made on purpose.
class FrmTreeWithKeys : public FrmTree {
  public:
    using FrmTree::FrmTree;
    std::deque<std::string> keys;

  protected:
    std::string DrawLeafKey() override {
        if (keys.empty()) {
            return FrmTree::DrawLeafKey();
        }
        std::string key = keys.front();
        keys.pop_front();
        return key;
    }
};

class LinksTreeTest : public ::testing::Test, public test::LinkedProject {
  protected:
    LinksTreeTest() {
        AddElement("ELEMREQBRAKE", REQUIREMENTS, 1, 0, "Braking");
        AddElement("ELEMREQSTEER", REQUIREMENTS, 2, 0, "Steering");
        AddElement("ELEMREQOLD00", REQUIREMENTS, 1, 1, "Withdrawn", true);
        AddElement("ELEMDESPAD00", DESIGN, 1, 0, "Brake pads");
        AddElement("ELEMDESDISC0", DESIGN, 2, 0, "Brake discs");
        AddElement("ELEMDESRACK0", DESIGN, 3, 0, "Steering rack", true);
        AddElement("ELEMTSTSTOP0", TESTS, 1, 0, "Stop test");
        AddElement("ELEMTSTWEAR0", TESTS, 2, 0, "Wear test");
        AddLink("ELEMREQBRAKE", REQUIREMENTS, "ELEMDESPAD00", DESIGN);
        AddLink("ELEMREQBRAKE", REQUIREMENTS, "ELEMDESDISC0", DESIGN);
        AddLink("ELEMREQSTEER", REQUIREMENTS, "ELEMDESPAD00", DESIGN);
        AddLink("ELEMREQSTEER", REQUIREMENTS, "ELEMDESRACK0", DESIGN);
        AddLink("ELEMDESPAD00", DESIGN, "ELEMTSTSTOP0", TESTS);
        AddLink("ELEMDESPAD00", DESIGN, "ELEMTSTWEAR0", TESTS);
        AddLink("ELEMDESDISC0", DESIGN, "ELEMTSTWEAR0", TESTS);
        // Neither is followed: one stored from child to parent, one undone.
        AddLink("ELEMDESDISC0", DESIGN, "ELEMREQSTEER", REQUIREMENTS);
        AddLink("ELEMREQSTEER", REQUIREMENTS, "ELEMDESDISC0", DESIGN, true);
    }

    FrmTreeWithKeys& Play(std::vector<host::FormAction> actions) {
        ui.AnswerForm("FrmTree", std::move(actions));
        form_ = std::make_shared<FrmTreeWithKeys>(context);
        form_->keys = {"K00001", "K00002", "K00003", "K00004", "K00005", "K00006"};
        form_->mostEntries = mostEntries;
        ui.Show(form_, true);
        return *form_;
    }
    // The chosen documents picked in order, then the given actions.
    FrmTreeWithKeys& Build(std::vector<std::string> rows, std::vector<host::FormAction> then = {}) {
        std::vector<host::FormAction> actions;
        const char* choosers[] = {"ComboBoxRoot", "ComboBoxTree", "ComboBoxLeaf"};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            actions.push_back({"select", choosers[i], {rows[i]}});
        }
        actions.insert(actions.end(), then.begin(), then.end());
        return Play(std::move(actions));
    }
    std::string Printed() const { return form_->TreeViewElem.Describe(); }
    std::string RootLine() const {
        return "  - DOCREQ01 \"" + utilElements::ShortenPath(PathOf(REQUIREMENTS), 60) + "\"";
    }

    std::shared_ptr<FrmTreeWithKeys> form_;
    std::uint64_t mostEntries = MOST_TREE_ENTRIES;
};

TEST_F(LinksTreeTest, LiveLinksAreFollowedFromParentToChildAndShownExpanded) {
    Build({ROW_REQUIREMENTS, ROW_DESIGN, ROW_TESTS});
    EXPECT_EQ(Printed(), "TreeViewElem: 12 nodes\n" + RootLine() +
                             "\n"
                             "    - ELEMREQBRAKE \"1.0.0.0 - Braking\"\n"
                             "      - ELEMDESPAD001 \"1.0.0.0 - Brake pads\"\n"
                             "          K00001 \"1.0.0.0 - Stop test\"\n"
                             "          K00002 \"2.0.0.0 - Wear test\"\n"
                             "      - ELEMDESDISC02 \"2.0.0.0 - Brake discs\"\n"
                             "          K00003 \"2.0.0.0 - Wear test\"\n"
                             "    - ELEMREQSTEER \"2.0.0.0 - Steering\"\n"
                             "      - ELEMDESPAD003 \"1.0.0.0 - Brake pads\"\n"
                             "          K00004 \"1.0.0.0 - Stop test\"\n"
                             "          K00005 \"2.0.0.0 - Wear test\"\n"
                             "        ELEMDESRACK04 \"3.0.0.0 - Steering rack\"");
    EXPECT_TRUE(form_->TreeViewElem.Node("ELEMDESRACK04").Expanded) << "expanded, if empty";
    EXPECT_THAT(ui.Transcript(), Not(Contains(HasSubstr("msgbox"))));

    // Without the leaf: the same two levels; the real keys are 6 characters.
    auto form = std::make_shared<FrmTree>(context);
    ui.AnswerForm("FrmTree", {{"select", "ComboBoxRoot", {ROW_REQUIREMENTS}},
                              {"select", "ComboBoxTree", {ROW_DESIGN}},
                              {"select", "ComboBoxLeaf", {ROW_TESTS}}});
    ui.Show(form, true);
    const host::TreeNode& pads = form->TreeViewElem.Node("ELEMDESPAD003");
    ASSERT_EQ(pads.ChildKeys.size(), 2U);
    for (const auto& key : pads.ChildKeys) {
        EXPECT_TRUE(std::regex_match(key, std::regex("[0-9A-Z]{6}"))) << key;
    }
    EXPECT_NE(pads.ChildKeys[0], pads.ChildKeys[1]);
}

TEST_F(LinksTreeTest, WithoutLinksTheRootElementsStandAlone) {
    // The tree chooser is usable once the root is chosen; the leaf after it.
    Build({ROW_REQUIREMENTS},
          {{"print", "ComboBoxLeaf", {}}, {"select", "ComboBoxTree", {ROW_TESTS}}});
    EXPECT_TRUE(form_->ComboBoxLeaf.Enabled);
    EXPECT_THAT(ui.Transcript()[2], HasSubstr("ComboBoxLeaf: 3 rows, index -1 (disabled)"));
    EXPECT_EQ(Printed(), "TreeViewElem: 3 nodes\n" + RootLine() +
                             "\n"
                             "      ELEMREQBRAKE \"1.0.0.0 - Braking\"\n"
                             "      ELEMREQSTEER \"2.0.0.0 - Steering\"");
    EXPECT_TRUE(form_->TreeViewElem.Node("ELEMREQBRAKE").Expanded);
}

TEST_F(LinksTreeTest, ALevelThreeKeyDrawnTwiceIsDrawnAgain) {
    ui.AnswerForm("FrmTree", {{"select", "ComboBoxRoot", {ROW_REQUIREMENTS}},
                              {"select", "ComboBoxTree", {ROW_DESIGN}},
                              {"select", "ComboBoxLeaf", {ROW_TESTS}}});
    auto form = std::make_shared<FrmTreeWithKeys>(context);
    form->keys = {"SAME00", "SAME00", "OTHER1", "SAME00", "OTHER2", "OTHER3", "OTHER4"};
    ui.Show(form, true);
    EXPECT_EQ(form->TreeViewElem.Count(), 12) << "every node is there";
    EXPECT_THAT(form->TreeViewElem.Node("ELEMDESPAD001").ChildKeys,
                ElementsAre("SAME00", "OTHER1"));
    EXPECT_THAT(ui.Transcript(), Not(Contains(HasSubstr("msgbox"))));
}

TEST_F(LinksTreeTest, TheLabelLengthIsAtLeastTwentyAndAHugeOneCutsNothing) {
    AddElement("ELEMREQLONG0", REQUIREMENTS, 3, 0, "Déceleration à plus de 5 m/s² sur route sèche");
    auto textOf = [&](const std::string& length) {
        Build({ROW_REQUIREMENTS, ROW_TESTS},
              {{"text", "TextBoxLabelSize", {length}}, {"click", "CommandButtonRefresh", {}}});
        return std::make_pair(form_->TreeViewElem.Node("ELEMREQLONG0").Text,
                              form_->TextBoxLabelSize.Text);
    };
    EXPECT_EQ(textOf("60"), std::make_pair(std::string("3.0.0.0 - Déceleration à plus de 5 m/s² "
                                                       "sur route sèche"),
                                           std::string("60")));
    EXPECT_EQ(textOf("5"), std::make_pair(std::string("3.0.0.0 - Décelerati"), std::string("20")))
        << "raised to 20, counted in characters, and written back";
    EXPECT_EQ(textOf("many"),
              std::make_pair(std::string("3.0.0.0 - Décelerati"), std::string("20")));
    EXPECT_EQ(textOf(" 25.9 chars").first, "3.0.0.0 - Déceleration à ");
    for (const char* huge : {"99999999999999999999", "1e400", "70000"}) {
        EXPECT_EQ(textOf(huge), std::make_pair(std::string("3.0.0.0 - Déceleration à plus de 5 "
                                                           "m/s² sur route sèche"),
                                               std::string(huge)))
            << huge;
    }
}

TEST_F(LinksTreeTest, TheTextOptionsAreNeverBothOffAndWaitForTheNextBuild) {
    Build({ROW_REQUIREMENTS, ROW_TESTS},
          {{"check", "CheckBoxShowLabel", {"0"}}, {"check", "CheckBoxShowNumbers", {"0"}}});
    EXPECT_TRUE(form_->CheckBoxShowNumbers.Value && form_->CheckBoxShowLabel.Value)
        << "both off switches both on";
    Build({ROW_REQUIREMENTS, ROW_TESTS}, {{"check", "CheckBoxShowNumbers", {"0"}}});
    EXPECT_EQ(form_->TreeViewElem.Node("ELEMREQBRAKE").Text, "1.0.0.0 - Braking")
        << "the tree is not rebuilt";
    Build({ROW_REQUIREMENTS, ROW_TESTS},
          {{"check", "CheckBoxShowNumbers", {"0"}}, {"click", "CommandButtonRefresh", {}}});
    EXPECT_EQ(form_->TreeViewElem.Node("ELEMREQBRAKE").Text, "Braking");
    Build({ROW_REQUIREMENTS, ROW_TESTS},
          {{"check", "CheckBoxShowLabel", {"0"}}, {"click", "CommandButtonRefresh", {}}});
    EXPECT_EQ(form_->TreeViewElem.Node("ELEMREQBRAKE").Text, "1.0.0.0 - ");
}

TEST_F(LinksTreeTest, EqualDocumentsBuildNothingAndSayNothing) {
    Build({ROW_REQUIREMENTS, ROW_REQUIREMENTS});
    EXPECT_EQ(form_->TreeViewElem.Count(), 0);
    Build({ROW_REQUIREMENTS, ROW_DESIGN, ROW_REQUIREMENTS});
    EXPECT_EQ(form_->TreeViewElem.Count(), 7) << "the tree of the two documents stays";
    EXPECT_THAT(ui.Transcript(), Not(Contains(HasSubstr("msgbox"))));
}

TEST_F(LinksTreeTest, AFailingBuildSaysSoAndKeepsTheNodesAddedSoFar) {
    // The level-2 key of the pads under the first element (its id and the
    // counter 1) is the id of a later root element.
    AddElement("ELEMDESPAD001", REQUIREMENTS, 4, 0, "Odd id");
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    Build({ROW_REQUIREMENTS, ROW_DESIGN});
    EXPECT_THAT(ui.Transcript(), Contains("  " + std::string(TREE_ERROR)));
    EXPECT_EQ(form_->TreeViewElem.Count(), 7) << "the nodes added before the failure stay";
    EXPECT_FALSE(form_->TreeViewElem.Node("DOCREQ01").Expanded);

    // The project database gone after the dialog opened fails the same way.
    FrmTree form(context);
    form.Load();
    form.ComboBoxRoot.SetListIndex(0);
    std::filesystem::rename(database, dir / "moved.mdb");
    ui.ClearTranscript();
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    form.ComboBoxTree.SetListIndex(1);
    EXPECT_THAT(ui.Transcript(), ElementsAre(TREE_ERROR));
    EXPECT_EQ(form.TreeViewElem.Count(), 1) << "the root node, added before the database opened";
}

TEST_F(LinksTreeTest, ATreePastItsLimitIsNeitherDrawnNorExported) {
    Build({ROW_REQUIREMENTS, ROW_DESIGN, ROW_TESTS});
    auto entries = static_cast<std::uint64_t>(form_->TreeViewElem.Count() - 1);
    ASSERT_EQ(entries, 11U);

    mostEntries = entries - 1;
    int documents = app.DocumentCount();
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    Build({ROW_REQUIREMENTS, ROW_DESIGN, ROW_TESTS}, {{"click", "CommandButtonExportAll", {}}});
    std::string refusal =
        "The tree would have 11 entries, more than the 10 it can show: choose documents with "
        "fewer links.";
    EXPECT_THAT(ui.Transcript(), Contains(HasSubstr(refusal)));
    EXPECT_EQ(form_->TreeViewElem.Count(), 1) << "the root node alone";
    EXPECT_EQ(app.DocumentCount(), documents) << "nothing exported";
    EXPECT_THAT(ui.Transcript(), Not(Contains(HasSubstr(TREE_ERROR))));
}

TEST_F(LinksTreeTest, TheLevelTwoCounterGoesBeyondSixteenBits) {
    {
        db::Database connection = db::Database::Open(database);
        db::Transaction transaction(connection);
        db::Statement link = connection.Prepare(
            "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2) VALUES (?1, ?2, ?3, ?4)");
        for (int i = 0; i < 32768; ++i) {
            link.Reset();
            link.BindAll({"ELEMREQSTEER", REQUIREMENTS, "ELEMTSTSTOP0", TESTS});
            link.Run();
        }
        transaction.Commit();
    }
    Build({ROW_REQUIREMENTS, ROW_TESTS});
    const host::TreeNode& steering = form_->TreeViewElem.Node("ELEMREQSTEER");
    ASSERT_EQ(steering.ChildKeys.size(), 32768U);
    EXPECT_EQ(steering.ChildKeys.back(), "ELEMTSTSTOP032768");
    EXPECT_THAT(ui.Transcript(), Not(Contains(HasSubstr("msgbox"))));
}

}  // namespace
}  // namespace veln
