// A command ends in one place whatever happens inside it: the user is told
// of an error nobody caught, the program goes on, and state the command
// changed for its duration comes back.
#include "addin/command_boundary.h"

#include <gmock/gmock.h>

#include "database/locked_database.h"
#include "elements/elements.h"
#include "host/db/database.h"
#include "host/host_error.h"
#include "host/ui/scripted_ui.h"
#include "world.h"

namespace veln {
namespace {

using ::testing::ElementsAre;

class CommandBoundaryTest : public ::testing::Test, public test::World {};

TEST_F(CommandBoundaryTest, AnErrorNobodyCaughtIsShownAndTheCommandEnds) {
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    EXPECT_FALSE(addin::RunCommand(context, [] {
        throw db::DbError(db::ERR_LOCKED, "the database is locked by another user");
    }));
    EXPECT_FALSE(addin::RunCommand(
        context, [] { throw host::HostError(5174, "plan.docx: the file does not exist"); }));
    EXPECT_FALSE(addin::RunCommand(context, [] { throw std::bad_alloc(); }));
    EXPECT_THAT(
        ui.Transcript(),
        ElementsAre(
            "msgbox \"VELN\" flags=16 \"Error number 3008: the database is locked by another "
            "user\" -> ok",
            "msgbox \"VELN\" flags=16 \"Error number 5174: plan.docx: the file does not exist\" "
            "-> ok",
            "msgbox \"VELN\" flags=16 \"Out of memory: the command was stopped.\" -> ok"));
    EXPECT_TRUE(addin::RunCommand(context, [] {}));
}

TEST_F(CommandBoundaryTest, AFailedWalkLeavesTheScreenAsItWas) {
    NewDocument({"One.", "Two."}, "requirements.docx");
    ui.AnswerInput("One");
    std::int16_t level = 1;
    ASSERT_TRUE(Elements::CreateElement(context, level));
    db::Database::Open(database).Execute("UPDATE Elements SET E_Number3 = 99999");
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    EXPECT_FALSE(addin::RunCommand(
        context, [&] { Elements::LoadDocumentElements(context, database, test::DOCUMENT_ID); }));
    EXPECT_TRUE(app.ScreenUpdating);
    EXPECT_THAT(ui.Transcript().back(), ::testing::HasSubstr("Error number 11: the project "
                                                             "database is damaged"));
}

TEST_F(CommandBoundaryTest, CancelAtALockedDatabaseEndsTheCommandWithoutAMessage) {
    EXPECT_FALSE(addin::RunCommand(context, [] { throw dbElements::Cancelled("locked"); }));
    EXPECT_TRUE(ui.Transcript().empty());
}

TEST_F(CommandBoundaryTest, AScriptWithoutTheAnswerIsNoErrorOfTheCommand) {
    EXPECT_THROW(addin::RunCommand(context, [&] { ui.MsgBox("Continue?"); }),
                 host::UnansweredDialog);
}

}  // namespace
}  // namespace veln
