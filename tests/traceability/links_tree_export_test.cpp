// The links tree exported to a new document: header, tab columns, hyperlinks
// to the elements' bookmarks or plain text, and the document left open,
// unsaved, behind the one that was active; then saved and read back.
#include "traceability/links_tree_export.h"

#include <chrono>
#include <memory>

#include <gmock/gmock.h>

#include "database/db_stamps.h"
#include "database/linking.h"
#include "database/schema.h"
#include "host/docx/docx_document.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "linked_project.h"
#include "traceability/file_address.h"
#include "traceability/frm_tree.h"
#include "traceability/links_tree.h"

namespace veln {
namespace {

using test::DESIGN;
using test::REQUIREMENTS;
using test::TESTS;
using ::testing::ElementsAre;

class LinksTreeExportTest : public ::testing::Test, public test::LinkedProject {
  protected:
    LinksTreeExportTest() {
        AddElement("ELEMREQBRAKE", REQUIREMENTS, 1, 0, "Braking");
        AddElement("ELEMREQSTEER", REQUIREMENTS, 2, 0, "Steering");
        AddElement("ELEMDESPAD00", DESIGN, 1, 0, "Brake pads");
        AddElement("ELEMDESRACK0", DESIGN, 2, 0, "Steering rack", true);
        AddElement("ELEMTSTWEAR0", TESTS, 1, 0, "Wear test");
        AddLink("ELEMREQBRAKE", REQUIREMENTS, "ELEMDESPAD00", DESIGN);
        AddLink("ELEMREQSTEER", REQUIREMENTS, "ELEMDESRACK0", DESIGN);
        AddLink("ELEMDESPAD00", DESIGN, "ELEMTSTWEAR0", TESTS);
        AddLink("ELEMREQSTEER", REQUIREMENTS, "ELEMREQBRAKE", REQUIREMENTS);
    }
    static std::vector<std::string> Paragraphs(host::Document& document) {
        std::vector<std::string> paragraphs;
        for (long at = 0; at < document.StoryEnd();) {
            auto [start, end] = document.ParagraphAt(at);
            paragraphs.push_back(document.TextOf(start, end - 1));
            at = end;
        }
        return paragraphs;
    }
    std::string Shown(const std::string& docId) const {
        return utilElements::ShortenPath(PathOf(docId), 60);
    }
    // Exports through the dialog: documents picked, the options as given.
    host::Document& ExportFromDialog(std::vector<host::FormAction> actions) {
        actions.push_back({"click", "CommandButtonExportAll", {}});
        ui.AnswerForm("FrmTree", std::move(actions));
        ui.Show(std::make_shared<FrmTree>(context), true);
        return app.DocumentItem(app.DocumentCount());
    }
};

TEST_F(LinksTreeExportTest, TwoLevelsWithHyperlinksToEachElementsBookmark) {
    host::Document& active = Document();
    host::Document& exported =
        ExportFromDialog({{"select", "ComboBoxRoot", {"0"}}, {"select", "ComboBoxTree", {"1"}}});
    EXPECT_THAT(Paragraphs(exported),
                ElementsAre("Level 1 : " + Shown(REQUIREMENTS), "Level 2 : " + Shown(DESIGN), "",
                            "1.0.0.0 - Braking\t\t", "\t1.0.0.0 - Brake pads\t",
                            "2.0.0.0 - Steering\t\t", "\t2.0.0.0 - Steering rack\t", "", ""));
    host::Hyperlinks links = exported.Hyperlinks();
    ASSERT_EQ(links.Count(), 4);
    EXPECT_EQ(links.Item(1).address, FileAddress(PathOf(REQUIREMENTS)));
    EXPECT_EQ(links.Item(1).subAddress, "ELEMREQBRAKE");
    EXPECT_EQ(links.Item(1).text, "1.0.0.0 - Braking");
    EXPECT_EQ(links.Item(4).address, FileAddress(PathOf(DESIGN)));
    EXPECT_EQ(links.Item(4).subAddress, "ELEMDESRACK0") << "a deleted element is still linked";

    EXPECT_EQ(exported.Name(), "Document4") << "a new document";
    EXPECT_FALSE(exported.Saved());
    EXPECT_EQ(app.ActiveDocument(), &active) << "the document active before is active again";

    // Saved and read back: the same text, the links and the tabs as elements.
    exported.SaveAs(dir / "tree.docx");
    auto reopened = host::docx::DocxDocument::Open(dir / "tree.docx");
    EXPECT_EQ(Paragraphs(*reopened), Paragraphs(exported));
    ASSERT_EQ(reopened->Hyperlinks().Count(), 4);
    EXPECT_EQ(reopened->Hyperlinks().Item(2).subAddress, "ELEMDESPAD00");
}

TEST_F(LinksTreeExportTest, ThreeLevelsAsPlainText) {
    host::Document& exported =
        ExportLinksTree(context, database, {REQUIREMENTS, DESIGN, TESTS}, {true, true, false});
    EXPECT_THAT(Paragraphs(exported),
                ElementsAre("Level 1 : " + Shown(REQUIREMENTS), "Level 2 : " + Shown(DESIGN),
                            "Level 3 : " + Shown(TESTS), "1.0.0.0 - Braking\t\t",
                            "\t1.0.0.0 - Brake pads\t", "\t\t1.0.0.0 - Wear test",
                            "2.0.0.0 - Steering\t\t", "\t2.0.0.0 - Steering rack\t", "", ""));
    EXPECT_EQ(exported.Hyperlinks().Count(), 0);
    EXPECT_THROW(ExportLinksTree(context, database, {REQUIREMENTS, "", ""}, {}),
                 std::invalid_argument);
}

// A link whose end changed since it was reviewed: its entry is marked, at
// its own level only, in the export as in the dialog's tree.
TEST_F(LinksTreeExportTest, EntriesReachedThroughSuspectLinksAreMarked) {
    db::Database project = schema::OpenProjectDatabase(database);
    for (const char* text : {"Pads as designed", "Pads made thinner"}) {
        dbStamps::Record(project, DESIGN, {{"ELEMDESPAD00", text, text}}, system.Now(), "tester");
    }
    LinksTree tree(project, {REQUIREMENTS, DESIGN, TESTS}, {});
    EXPECT_TRUE(tree.Suspect("ELEMREQBRAKE", "ELEMDESPAD00"));
    EXPECT_TRUE(tree.Suspect("ELEMDESPAD00", "ELEMTSTWEAR0"));
    EXPECT_FALSE(tree.Suspect("ELEMREQSTEER", "ELEMDESRACK0"));
    host::Document& exported =
        ExportLinksTree(context, database, {REQUIREMENTS, DESIGN, TESTS}, {true, true, false});
    EXPECT_THAT(Paragraphs(exported),
                ElementsAre("Level 1 : " + Shown(REQUIREMENTS), "Level 2 : " + Shown(DESIGN),
                            "Level 3 : " + Shown(TESTS), "1.0.0.0 - Braking\t\t",
                            "\t! 1.0.0.0 - Brake pads\t", "\t\t! 1.0.0.0 - Wear test",
                            "2.0.0.0 - Steering\t\t", "\t2.0.0.0 - Steering rack\t", "", ""));
}

TEST_F(LinksTreeExportTest, OneDocumentAsRootAndTreeStillExportsWithTheOptionsRead) {
    host::Document& exported = ExportFromDialog({{"select", "ComboBoxRoot", {"0"}},
                                                 {"select", "ComboBoxTree", {"0"}},
                                                 {"check", "CheckBoxShowNumbers", {"0"}},
                                                 {"check", "CheckBoxHyperlink", {"0"}}});
    EXPECT_THAT(Paragraphs(exported),
                ElementsAre("Level 1 : " + Shown(REQUIREMENTS), "Level 2 : " + Shown(REQUIREMENTS),
                            "", "Braking\t\t", "Steering\t\t", "\tBraking\t", "", ""));
}

TEST_F(LinksTreeExportTest, ATreePastItsLimitIsRefusedBeforeAnyDocumentIsMade) {
    // Two root elements, two tree elements under them and one leaf element.
    LinksTreeExportOptions options;
    options.mostEntries = 4;
    int documents = app.DocumentCount();
    try {
        ExportLinksTree(context, database, {REQUIREMENTS, DESIGN, TESTS}, options);
        ADD_FAILURE() << "five entries exported past a limit of four";
    } catch (const TreeTooLarge& refusal) {
        EXPECT_STREQ(refusal.what(),
                     "The tree would have 5 entries, more than the 4 it can show: choose "
                     "documents with fewer links.");
    }
    EXPECT_EQ(app.DocumentCount(), documents);

    options.mostEntries = 5;
    EXPECT_EQ(Paragraphs(ExportLinksTree(context, database, {REQUIREMENTS, DESIGN, TESTS}, options))
                  .size(),
              10U);
    options.mostEntries = 4;
    EXPECT_NO_THROW(ExportLinksTree(context, database, {REQUIREMENTS, DESIGN, ""}, options))
        << "without the leaf, four entries";
}

// Another user who writes to the project while the tree is being written,
// and does not wait for a lock.
class WriterMeanwhile : public host::ApplicationEvents {
  public:
    explicit WriterMeanwhile(std::string database) : database_(std::move(database)) {}
    void NewDocument(host::Document& /*document*/) override {
        db::Database other = db::Database::Open(database_);
        other.SetBusyTimeout(std::chrono::milliseconds(0));
        try {
            other.Execute("UPDATE Elements SET E_label = 'Braking, revised' WHERE E_id = ?1",
                          {"ELEMREQBRAKE"});
        } catch (const db::DbError& error) {
            failure = error.Description();
        }
    }
    void DocumentChange() override {}
    void DocumentOpen(host::Document& /*document*/) override {}
    void DocumentBeforeSave(host::Document& /*document*/) override {}
    void DocumentBeforeClose(host::Document& /*document*/, bool& /*cancel*/) override {}

    std::string failure;

  private:
    std::string database_;
};

TEST_F(LinksTreeExportTest, OtherUsersWriteWhileTheTreeIsWrittenFromWhatWasRead) {
    WriterMeanwhile other(database);
    app.SetEvents(&other);
    host::Document& exported =
        ExportLinksTree(context, database, {REQUIREMENTS, DESIGN, ""}, {true, true, false});
    app.SetEvents(nullptr);
    EXPECT_EQ(other.failure, "") << "the export holds the project while it writes";
    EXPECT_EQ(Paragraphs(exported)[3], "1.0.0.0 - Braking\t\t") << "the tree as it was read";
    EXPECT_EQ(Rows("SELECT E_label FROM Elements WHERE E_id = 'ELEMREQBRAKE'"), "Braking, revised");
}

TEST_F(LinksTreeExportTest, AFailedExportLeavesNoHalfWrittenDocument) {
    // An id that cannot be a hyperlink's location: the project is damaged.
    AddElement(
        "ELEMREQ\x01"
        "BAD",
        REQUIREMENTS, 3, 0, "Damaged");
    host::Document& active = Document();
    int documents = app.DocumentCount();
    EXPECT_THROW(ExportLinksTree(context, database, {REQUIREMENTS, DESIGN, ""}, {}),
                 host::HostError);
    EXPECT_EQ(app.DocumentCount(), documents);
    EXPECT_EQ(app.ActiveDocument(), &active);
}

TEST(FileAddressTest, WhatAUriCannotHoldIsPercentEncoded) {
    EXPECT_EQ(FileAddress("/home/ann/Projets freins/exigences é.docx"),
              "file:///home/ann/Projets%20freins/exigences%20%C3%A9.docx");
    EXPECT_EQ(FileAddress("/a/b-c_d.e~f#g%h"), "file:///a/b-c_d.e~f%23g%25h");
}

}  // namespace
}  // namespace veln
