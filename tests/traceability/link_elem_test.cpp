// The link dialog on a real project database: what its lists offer, and the
// rules of linking and unlinking (duplicates, direction, re-linking, the
// question before several rows, what stays selected).
#include <memory>
#include <set>

#include <gmock/gmock.h>

#include "database/linking.h"
#include "linked_project.h"
#include "lock_holder.h"
#include "traceability/frm_link_elem.h"

namespace veln {
namespace {

using test::DESIGN;
using test::REQUIREMENTS;
using test::TESTS;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Rows of the choosers, in the order the documents were linked.
constexpr const char* ROW_REQUIREMENTS = "0";
constexpr const char* ROW_DESIGN = "1";
constexpr const char* ROW_TESTS = "2";
constexpr const char* LIVE_LINKS =
    "SELECT L_Id1 || '>' || L_Id2 FROM Links WHERE L_Deleted = 0 ORDER BY L_Autonum";

class LinkElemTest : public ::testing::Test, public test::LinkedProject {
  protected:
    LinkElemTest() {
        AddElement("ELEMREQBRAKE", REQUIREMENTS, 1, 0, "Braking");
        AddElement("ELEMREQSTEER", REQUIREMENTS, 2, 0, "Steering");
        AddElement("ELEMREQOLD00", REQUIREMENTS, 1, 1, "Withdrawn", true);
        AddElement("ELEMREQSTOP0", REQUIREMENTS, 1, 2, "Stopping distance");
        AddElement("ELEMDESPAD00", DESIGN, 1, 0, "Brake pads");
        AddElement("ELEMDESDISC0", DESIGN, 2, 0, "Brake discs");
        AddElement("ELEMDESRACK0", DESIGN, 3, 0, "Steering rack");
    }

    // Shows the dialog, plays the actions, and keeps it for a look after.
    frmLinkElem& Play(std::vector<host::FormAction> actions) {
        ui.AnswerForm("frmLinkElem", std::move(actions));
        form_ = std::make_shared<frmLinkElem>(context);
        ui.Show(form_, true);
        return *form_;
    }
    // Requirements as the source with its first element (Braking), design as
    // the target, then the given target rows clicked and the button.
    frmLinkElem& Apply(const std::vector<std::string>& targetRows, const char* button) {
        return Play({{"select", "ComboBoxSource", {ROW_REQUIREMENTS}},
                     {"select", "ComboBoxTarget", {ROW_DESIGN}},
                     {"select", "ListBoxElementsSource", {"0"}},
                     {"select", "ListBoxElementsTarget", targetRows},
                     {"click", button, {}}});
    }
    static std::vector<bool> Selection(const host::ListBox& list) {
        std::vector<bool> selected;
        selected.reserve(static_cast<std::size_t>(list.ListCount()));
        for (int row = 0; row < list.ListCount(); ++row) {
            selected.push_back(list.Selected(row));
        }
        return selected;
    }

    std::shared_ptr<frmLinkElem> form_;
};

TEST_F(LinkElemTest, TheChoosersOfferEveryDocumentAndTheListsTheirLiveElements) {
    frmLinkElem& form = Play({{"print", "CommandButtonLink", {}},
                              {"select", "ComboBoxSource", {ROW_REQUIREMENTS}},
                              {"print", "ListBoxElementsSource", {}},
                              // No target document yet: a source element selects nothing.
                              {"select", "ListBoxElementsSource", {"1"}},
                              {"print", "ListBoxElementsTarget", {}},
                              {"select", "ComboBoxTarget", {ROW_DESIGN}},
                              {"print", "CommandButtonUnlink", {}},
                              {"select", "ComboBoxTarget", {ROW_TESTS}}});
    EXPECT_THAT(
        ui.Transcript(),
        ElementsAre("form frmLinkElem modal \"Link Elements\"",
                    "  CommandButtonLink: \"Link\" (disabled)", "  select ComboBoxSource \"0\"",
                    "  ListBoxElementsSource: 3 rows, index -1\n"
                    "      1.0.0.0 | Braking\n"
                    "      1.2.0.0 | Stopping distance\n"
                    "      2.0.0.0 | Steering",
                    "  select ListBoxElementsSource \"1\"",
                    "  ListBoxElementsTarget: 0 rows, index -1\n    selected:",
                    "  select ComboBoxTarget \"1\"", "  CommandButtonUnlink: \"Unlink\"",
                    "  select ComboBoxTarget \"2\"", "  close box", "end form frmLinkElem"));
    for (const host::ComboBox* chooser : {&form.ComboBoxSource, &form.ComboBoxTarget}) {
        ASSERT_EQ(chooser->ListCount(), 3);
        EXPECT_EQ(chooser->List(1, 0), DESIGN);
        EXPECT_EQ(chooser->List(1, 1), utilElements::ShortenPath(PathOf(DESIGN), 60));
        EXPECT_EQ(chooser->HiddenColumns, std::set<int>{0});
    }
    EXPECT_EQ(form.ListBoxElementsTarget.ListCount(), 0)
        << "a document without live elements shows none, not the last document's";
    EXPECT_EQ(form.ListBoxElementsSource.List(1, 0), "ELEMREQSTOP0") << "the id, hidden";
    EXPECT_EQ(form.BackColor, host::DIALOG_BACK_COLOR);
    EXPECT_EQ(form.Icon, host::ADDIN_ICON);
}

TEST_F(LinkElemTest, ALinkIsMadeOnceAndAgainAfterItWasUndone) {
    Apply({"0", "2"}, "CommandButtonLink");
    EXPECT_EQ(Rows("SELECT L_Id1, L_DocId1, L_Id2, L_DocId2, L_CreateDate IS NOT NULL, "
                   "L_Deleted, L_DeleteDate IS NULL FROM Links ORDER BY L_Autonum"),
              "ELEMREQBRAKE|DOCREQ01|ELEMDESPAD00|DOCDES02|1|0|1,"
              "ELEMREQBRAKE|DOCREQ01|ELEMDESRACK0|DOCDES02|1|0|1");
    EXPECT_THAT(Selection(form_->ListBoxElementsTarget), ElementsAre(true, false, true))
        << "linking keeps the selection";

    // Picking the source again shows its links as the target selection.
    Play({{"select", "ComboBoxSource", {ROW_REQUIREMENTS}},
          {"select", "ComboBoxTarget", {ROW_DESIGN}},
          {"select", "ListBoxElementsSource", {"0"}}});
    EXPECT_THAT(Selection(form_->ListBoxElementsTarget), ElementsAre(true, false, true));
    // A click adds the discs to the pads and the rack: only the discs are new.
    Apply({"1"}, "CommandButtonLink");
    EXPECT_EQ(Rows(LIVE_LINKS),
              "ELEMREQBRAKE>ELEMDESPAD00,ELEMREQBRAKE>ELEMDESRACK0,ELEMREQBRAKE>ELEMDESDISC0");

    // Undone (the discs and the rack clicked off), then made again: the
    // undone row stays beside the new one.
    Apply({"1", "2"}, "CommandButtonUnlink");
    Apply({"0"}, "CommandButtonLink");
    EXPECT_EQ(Rows("SELECT L_Deleted, L_DeleteDate IS NOT NULL FROM Links "
                   "WHERE L_Id2 = 'ELEMDESPAD00' ORDER BY L_Autonum"),
              "1|1,0|0");
    EXPECT_EQ(Rows("SELECT count(*) FROM Links WHERE L_Deleted = 0"), "3");
}

TEST_F(LinkElemTest, DirectionCountsAndDocumentIdsDoNot) {
    // Made with the documents swapped: design to requirements.
    AddLink("ELEMDESPAD00", DESIGN, "ELEMREQBRAKE", REQUIREMENTS);
    // The same two elements as a link from requirements, under another document id.
    AddLink("ELEMREQBRAKE", REQUIREMENTS, "ELEMDESRACK0", TESTS);
    Play({{"select", "ComboBoxSource", {ROW_REQUIREMENTS}},
          {"select", "ComboBoxTarget", {ROW_DESIGN}},
          {"select", "ListBoxElementsSource", {"0"}}});
    EXPECT_THAT(Selection(form_->ListBoxElementsTarget), ElementsAre(false, false, false))
        << "neither the reversed link nor the one into another document is shown";

    Apply({"0", "2"}, "CommandButtonLink");
    EXPECT_EQ(Rows(LIVE_LINKS),
              "ELEMDESPAD00>ELEMREQBRAKE,ELEMREQBRAKE>ELEMDESRACK0,ELEMREQBRAKE>ELEMDESPAD00")
        << "the reversed link is no duplicate; the same two ids are, whatever the documents";

    // Source and target may be one document.
    Play({{"select", "ComboBoxSource", {ROW_REQUIREMENTS}},
          {"select", "ComboBoxTarget", {ROW_REQUIREMENTS}},
          {"select", "ListBoxElementsSource", {"0"}},
          {"select", "ListBoxElementsTarget", {"2"}},
          {"click", "CommandButtonLink", {}}});
    EXPECT_EQ(Rows("SELECT L_DocId1, L_Id2, L_DocId2 FROM Links WHERE L_Id2 = 'ELEMREQSTEER'"),
              "DOCREQ01|ELEMREQSTEER|DOCREQ01");
}

TEST_F(LinkElemTest, UnlinkingSeveralRowsAsksOnceAndDeselectsWhatItUnlinked) {
    Apply({"0", "1"}, "CommandButtonLink");
    // The two links shown and the rack clicked: Cancel changes nothing.
    ui.AnswerMsgBox(host::MsgBoxResult::vbCancel);
    Apply({"2"}, "CommandButtonUnlink");
    EXPECT_EQ(Rows("SELECT count(*) FROM Links WHERE L_Deleted = 0"), "2");
    ui.ClearTranscript();
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    Apply({"2"}, "CommandButtonUnlink");
    EXPECT_THAT(ui.Transcript(),
                Contains(HasSubstr("msgbox \"Unlink all ?\" flags=49 \"Unlink all elements?\"")));
    EXPECT_EQ(Rows("SELECT count(*) FROM Links WHERE L_Deleted = 1 AND L_DeleteDate IS NOT NULL"),
              "2");
    EXPECT_THAT(Selection(form_->ListBoxElementsTarget), ElementsAre(false, false, true))
        << "the unlinked rows are deselected; the one without a link stays";

    // One row asks nothing (a row clicked twice is current, its selection as it was).
    Apply({"1"}, "CommandButtonLink");
    ui.ClearTranscript();
    Apply({"0", "0"}, "CommandButtonUnlink");
    EXPECT_THAT(ui.Transcript(), Not(Contains(HasSubstr("msgbox"))));
    EXPECT_EQ(Rows("SELECT count(*) FROM Links WHERE L_Deleted = 0"), "0");
}

TEST_F(LinkElemTest, EveryLiveRowOfAPairIsUnlinked) {
    // Two live rows for one pair, as two users linking at once leave them.
    AddLink("ELEMREQBRAKE", REQUIREMENTS, "ELEMDESPAD00", DESIGN);
    AddLink("ELEMREQBRAKE", REQUIREMENTS, "ELEMDESPAD00", DESIGN);
    Apply({"0", "0"}, "CommandButtonUnlink");
    EXPECT_EQ(Rows("SELECT count(*) FROM Links WHERE L_Deleted = 0"), "0")
        << "no live link is left behind a row shown as unlinked";
}

TEST_F(LinkElemTest, NothingHappensWithoutACurrentRowOrWhenTheDatabaseIsLocked) {
    Play({{"select", "ComboBoxSource", {ROW_REQUIREMENTS}},
          {"select", "ComboBoxTarget", {ROW_DESIGN}},
          {"click", "CommandButtonLink", {}},
          {"select", "ListBoxElementsSource", {"0"}},
          {"click", "CommandButtonLink", {}}});
    EXPECT_EQ(Rows("SELECT count(*) FROM Links"), "0") << "no current row on either side";

    test::LockHolder otherUser(database);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    ui.ClearTranscript();
    Apply({"0", "1"}, "CommandButtonLink");
    otherUser.Release();
    EXPECT_THAT(ui.Transcript(),
                Contains(HasSubstr("msgbox \"VELN\" flags=16 \"Error number 3008")));
    EXPECT_EQ(Rows("SELECT count(*) FROM Links"), "0");
}

}  // namespace
}  // namespace veln
