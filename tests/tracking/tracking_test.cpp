// Fingerprints, readings, reviews and coverage on real project databases
// (SQLite files) and documents of the .docx model.
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/db_links.h"
#include "database/db_stamps.h"
#include "database/schema.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "linked_project.h"
#include "settings/string_ids.h"
#include "tracking/changed_words.h"
#include "tracking/coverage.h"
#include "tracking/coverage_view.h"
#include "tracking/document_stamps.h"
#include "tracking/element_suspects.h"
#include "tracking/fingerprint.h"
#include "workbook_reader.h"

namespace veln::tracking {
namespace {

using test::DESIGN;
using test::REQUIREMENTS;
using test::TESTS;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(FingerprintTest, IsOfTheTextAReaderSees) {
    EXPECT_EQ(ReaderText("//1.2.0.0// The  brake\tshall\rhold.\r"), "The brake shall hold.");
    // Copies of the marker left beside it go too; a marker-like text stays.
    EXPECT_EQ(ReaderText("//1.2.0.0// //1.3.0.0// Stop"), "Stop");
    EXPECT_EQ(ReaderText("see //4.2// here"), "see //4.2// here");
    EXPECT_EQ(ReaderText(" \v Stop\xC2\xA0now \r"), "Stop now");
    EXPECT_EQ(Fingerprint("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Renumbered, reflowed: the same; a word changed: another.
    EXPECT_EQ(Fingerprint(ReaderText("//1.0.0.0// Stop within 40 m.")),
              Fingerprint(ReaderText("//2.1.0.0// Stop  within\r40 m.\r")));
    EXPECT_NE(Fingerprint(ReaderText("Stop within 40 m.")),
              Fingerprint(ReaderText("Stop within 30 m.")));
}

TEST(ChangedWordsTest, MarkWhatWentOutAndWhatCameIn) {
    MarkedTexts marked = MarkChangedWords("Stop within 40 m.", "Stop within 30 m at once.");
    EXPECT_EQ(marked.before, "Stop within [-40-] m.");
    EXPECT_EQ(marked.after, "Stop within [+30+] m[+ at once+].");
    marked = MarkChangedWords("Freinage à 40 m", "Freinage à 40 m");
    EXPECT_EQ(marked.before, "Freinage à 40 m");
    EXPECT_EQ(marked.after, "Freinage à 40 m");
    // Too little in common: all of it went out and came in.
    marked = MarkChangedWords("Brakes", "Horn sounds");
    EXPECT_EQ(marked.before, "[-Brakes-]");
    EXPECT_EQ(marked.after, "[+Horn sounds+]");
}

class TrackingTest : public ::testing::Test, public test::LinkedProject {
  protected:
    TrackingTest() {
        AddElement("ELEMREQ1", REQUIREMENTS, 1, 0, "Stopping");
        AddElement("ELEMREQ2", REQUIREMENTS, 2, 0, "Steering");
        AddElement("ELEMDES1", DESIGN, 1, 0, "Discs");
    }

    void Read(const std::string& docId, const std::string& id, const std::string& text) {
        const std::string reader = ReaderText(text);
        dbStamps::Record(Open(), docId, {{id, Fingerprint(reader), reader}}, system.Now(),
                         "tester");
    }
    std::int64_t LinkOf(const std::string& source, const std::string& target) {
        dbLinks::Link(Open(), {source, REQUIREMENTS, DESIGN}, {target}, system.Now(), "tester");
        return std::stoll(Rows("SELECT max(L_Autonum) FROM Links"));
    }
    std::vector<dbStamps::LinkState> States() { return dbStamps::LinkStates(Open(), {}, true); }
    db::Database Open() const { return schema::OpenProjectDatabase(database); }
    std::string FileBytes() const {
        std::ifstream file(database, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
};

TEST_F(TrackingTest, AProjectGetsTheTablesAtItsFirstWriteAndReadingLeavesItAsItWas) {
    AddLink("ELEMREQ1", REQUIREMENTS, "ELEMDES1", DESIGN);
    const std::string before = FileBytes();
    std::vector<dbStamps::LinkState> states = dbStamps::LinkStates(
        schema::OpenProjectDatabase(database, db::OpenMode::ReadOnly), {}, false);
    ASSERT_EQ(states.size(), 1U);
    EXPECT_FALSE(states[0].Suspect());
    EXPECT_FALSE(states[0].source.current.has_value());
    EXPECT_EQ(FileBytes(), before);

    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 40 m.");
    EXPECT_TRUE(schema::HasTrackingTables(Open()));
    EXPECT_EQ(Rows("SELECT count(*) FROM ElementStamps"), "1");
}

TEST_F(TrackingTest, ALinkIsSuspectWhenAnEndReadsOtherwiseThanWhenReviewed) {
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 40 m.");
    Read(DESIGN, "ELEMDES1", "Discs");
    const std::int64_t link = LinkOf("ELEMREQ1", "ELEMDES1");
    EXPECT_EQ(Rows("SELECT R_Text1, R_Text2, R_User FROM LinkReviews"),
              "Stop within 40 m.|Discs|tester");
    EXPECT_FALSE(States().at(0).Suspect());

    Read(REQUIREMENTS, "ELEMREQ1", "//1.0.0.0// Stop  within 40 m.");
    EXPECT_FALSE(States().at(0).Suspect()) << "numbers and blanks are not the text";
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 30 m.");
    dbStamps::LinkState state = States().at(0);
    EXPECT_TRUE(state.Suspect());
    EXPECT_TRUE(state.source.Changed());
    EXPECT_FALSE(state.target.Changed());
    EXPECT_EQ(state.source.reviewedText, "Stop within 40 m.");
    EXPECT_EQ(state.source.currentText, "Stop within 30 m.");

    // What the outputs read agrees, and the other way round between the documents.
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(dbStamps::SuspectPairs(Open(), DESIGN, REQUIREMENTS),
              (Pairs{{"ELEMREQ1", "ELEMDES1"}}));
    EXPECT_EQ(dbStamps::SuspectPairs(Open(), REQUIREMENTS, TESTS), Pairs{});

    EXPECT_EQ(dbStamps::Review(Open(), {link, 999}, system.Now(), "reviewer"), 1);
    EXPECT_FALSE(States().at(0).Suspect());
    EXPECT_EQ(dbStamps::SuspectPairs(Open(), REQUIREMENTS, DESIGN), Pairs{});
    EXPECT_EQ(Rows("SELECT R_Text1, R_User FROM LinkReviews"), "Stop within 30 m.|reviewer");

    // Changed, then changed back to what was reviewed: sound again.
    Read(DESIGN, "ELEMDES1", "Drums");
    EXPECT_EQ(dbStamps::SuspectPairs(Open(), REQUIREMENTS, DESIGN).size(), 1U);
    Read(DESIGN, "ELEMDES1", "Discs");
    EXPECT_FALSE(States().at(0).Suspect());
    EXPECT_EQ(dbStamps::SuspectPairs(Open(), REQUIREMENTS, DESIGN), Pairs{});
}

TEST_F(TrackingTest, AnEndUnreadWhenLinkedTakesItsFirstReading) {
    LinkOf("ELEMREQ1", "ELEMDES1");
    EXPECT_EQ(Rows("SELECT count(*), count(R_Fingerprint1) FROM LinkReviews"), "1|0");
    Read(DESIGN, "ELEMDES1", "Discs");
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 40 m.");
    EXPECT_FALSE(States().at(0).Suspect()) << "never suspect for want of a reading";
    Read(DESIGN, "ELEMDES1", "Drums");
    EXPECT_TRUE(States().at(0).target.Changed());
}

TEST_F(TrackingTest, LinksMadeByAnOlderProgramAreTrustedAsTheyReadFirst) {
    AddLink("ELEMREQ1", REQUIREMENTS, "ELEMDES1", DESIGN);
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 40 m.");
    EXPECT_EQ(Rows("SELECT count(*) FROM LinkReviews"), "1");
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 30 m.");
    EXPECT_TRUE(States().at(0).Suspect());
}

TEST_F(TrackingTest, DeletedElementsAndUndoneLinksAreLeftOut) {
    AddElement("ELEMGONE", DESIGN, 2, 0, "Gone", true);
    AddLink("ELEMREQ1", REQUIREMENTS, "ELEMGONE", DESIGN);
    AddLink("ELEMREQ2", REQUIREMENTS, "ELEMDES1", DESIGN, true);
    AddLink("ELEMREQ2", REQUIREMENTS, "ELEMDES1", DESIGN);
    ASSERT_EQ(States().size(), 1U);
    EXPECT_EQ(States()[0].source.elementId, "ELEMREQ2");
    EXPECT_EQ(dbStamps::LinkStates(Open(), {TESTS}, false).size(), 0U);
    EXPECT_EQ(dbStamps::LinkStates(Open(), {DESIGN}, false).size(), 1U);
}

TEST_F(TrackingTest, HugeTextsAreStoredCutAndFingerprintedWhole) {
    std::string huge(3 * dbStamps::STORED_TEXT_CHARACTERS, 'x');
    huge += "é end";
    Read(REQUIREMENTS, "ELEMREQ1", huge);
    EXPECT_EQ(Rows("SELECT length(S_Text) FROM ElementStamps"),
              std::to_string(dbStamps::STORED_TEXT_CHARACTERS));
    EXPECT_EQ(Rows("SELECT S_Fingerprint FROM ElementStamps"), Fingerprint(huge));
}

TEST_F(TrackingTest, CoverageCountsLiveLinksEitherWayToLiveTargets) {
    AddElement("ELEMREQ3", REQUIREMENTS, 3, 0, "Lights");
    AddElement("ELEMREQ4", REQUIREMENTS, 4, 0, "Horn");
    AddElement("ELEMREQ5", REQUIREMENTS, 5, 0, "Wipers");
    AddElement("ELEMDES2", DESIGN, 2, 0, "Rack");
    AddElement("ELEMDESX", DESIGN, 3, 0, "Gone", true);
    AddElement("ELEMTST1", TESTS, 1, 0, "Test");
    AddLink("ELEMREQ1", REQUIREMENTS, "ELEMDES1", DESIGN);
    AddLink("ELEMDES2", DESIGN, "ELEMREQ2", REQUIREMENTS);  // the other way
    AddLink("ELEMREQ3", REQUIREMENTS, "ELEMTST1", TESTS);   // another document
    AddLink("ELEMREQ4", REQUIREMENTS, "ELEMDESX", DESIGN);  // a deleted element
    AddLink("ELEMREQ5", REQUIREMENTS, "ELEMDES1", DESIGN, true);
    CoverageReport report = BuildCoverage(Open(), REQUIREMENTS, DESIGN);
    ASSERT_EQ(report.elements.size(), 5U);
    EXPECT_EQ(report.Count(Coverage::Covered), 2);
    EXPECT_EQ(report.Count(Coverage::Uncovered), 3);
    EXPECT_DOUBLE_EQ(report.Percent(), 40.0);
    EXPECT_EQ(report.elements[1].targets, std::vector<std::string>{"ELEMDES2"});

    // Covered only through a suspect link: suspect; a sound one besides: covered.
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 40 m.");
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 30 m.");
    EXPECT_EQ(BuildCoverage(Open(), REQUIREMENTS, DESIGN).elements[0].coverage, Coverage::Suspect);
    LinkOf("ELEMREQ1", "ELEMDES2");
    EXPECT_EQ(BuildCoverage(Open(), REQUIREMENTS, DESIGN).elements[0].coverage, Coverage::Covered);
    EXPECT_DOUBLE_EQ(BuildCoverage(Open(), TESTS, DESIGN).Percent(), 0.0);
    EXPECT_DOUBLE_EQ(BuildCoverage(Open(), "NODOC", DESIGN).Percent(), 100.0);
}

TEST_F(TrackingTest, ReportsEscapeWhatTheirFormatsCannotHold) {
    AddElement("ELEMREQ3", REQUIREMENTS, 3, 0, "a \"b\" <c> & d");
    CoverageReport report = BuildCoverage(Open(), REQUIREMENTS, DESIGN);
    report.source = "req & <plans>\x01";
    report.target = "design";
    EXPECT_THAT(CoverageJUnit(report), HasSubstr("a &quot;b&quot; &lt;c&gt; &amp; d\""));
    EXPECT_THAT(CoverageJUnit(report), HasSubstr("classname=\"req &amp; &lt;plans&gt; \""));
    EXPECT_THAT(CoverageJson(report), HasSubstr(R"("label": "a \"b\" <c> & d")"));
    EXPECT_THAT(CoverageJson(report), HasSubstr(R"("source": "req & <plans>\u0001")"));
}

TEST_F(TrackingTest, TheDialogsShowSuspectEndsAndCoverageInTheUsersLanguage) {
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 40 m.");
    Read(DESIGN, "ELEMDES1", "Discs");
    LinkOf("ELEMREQ1", "ELEMDES1");
    LinkOf("ELEMREQ1", "ELEMREQ2");
    Read(REQUIREMENTS, "ELEMREQ1", "Stop within 30 m.");

    // Each end of a suspect link in the document lists the other; a link
    // within the document is listed at both of its ends.
    using Ends = std::map<std::string, std::vector<std::string>>;
    EXPECT_EQ(SuspectEndsByElement(Open(), REQUIREMENTS),
              (Ends{{"ELEMREQ1", {"1.0.0.0 Discs", "2.0.0.0 Steering"}},
                    {"ELEMREQ2", {"1.0.0.0 Stopping"}}}));
    EXPECT_EQ(SuspectEndsByElement(Open(), DESIGN), (Ends{{"ELEMDES1", {"1.0.0.0 Stopping"}}}));

    context.language.offset = FRENCH_OFFSET;
    const TextOf french = [this](int id) { return context.LoadText(id); };
    CoverageReport report = BuildCoverage(Open(), REQUIREMENTS, DESIGN);
    std::vector<CoverageRow> rows = CoverageRows(Open(), report, french);
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].state, "suspect");
    EXPECT_EQ(rows[0].linkedTo, "1.0.0.0 Discs");
    EXPECT_EQ(rows[1].state, "non couvert");
    EXPECT_TRUE(rows[0].flagged && rows[1].flagged);
    const std::string totals = CoverageTotals(report, french);
    EXPECT_EQ(totals, "couvert 0, suspect 1, non couvert 1: 50.0 %");

    // The workbook, as a spreadsheet program reads it.
    host::Workbook workbook;
    FillCoverageWorkbook(workbook, "requirements.docx", rows, totals, french);
    workbook.SaveAs(dir / "coverage.xlsx");
    test::ReadWorkbook read = test::ReadBack(dir / "coverage.xlsx");
    EXPECT_EQ(read.sheet, "requirements.docx");
    EXPECT_EQ(read.title, "Couverture");
    EXPECT_THAT(read.Row(1), ElementsAre(totals));
    EXPECT_THAT(read.Row(3), ElementsAre("Élément", "", "Couverture", "Lié à"));
    EXPECT_THAT(read.Row(4), ElementsAre("1.0.0.0", "Stopping", "suspect", "1.0.0.0 Discs"));
    EXPECT_THAT(read.Row(5), ElementsAre("2.0.0.0", "Steering", "non couvert"));
    EXPECT_TRUE(read.Cell(4, 3).look.bold);
    EXPECT_EQ(read.Cell(5, 3).look.color, "C00000");
    EXPECT_FALSE(read.Cell(4, 2).look.bold);
    EXPECT_EQ(read.Cell(4, 2).look.color, "");
}

TEST_F(TrackingTest, SavingALinkedDocumentReadsEachOfItsElements) {
    host::Document& document =
        NewDocument({"//1.0.0.0// Stop within 40 m.", "Plain", "Steer."}, "req.docx", "DOCNEW01");
    document.Bookmarks().Add("ELEMREQ1", document.MakeRange(0, 30));
    document.Bookmarks().Add("Other", document.MakeRange(30, 35));
    document.Bookmarks().Add("ELEMREQ2", document.MakeRange(36, 43));
    StampActiveDocument(context);
    EXPECT_EQ(Rows("SELECT S_ElementId, S_Text FROM ElementStamps ORDER BY S_ElementId"),
              "ELEMREQ1|Stop within 40 m.,ELEMREQ2|Steer.");

    // A document not linked is not read.
    const std::string before = Rows("SELECT count(*) FROM ElementStamps");
    host::Document& loose = NewDocument({"Loose"}, "loose.docx", "");
    loose.Bookmarks().Add("ELEMLOOS", loose.MakeRange(0, 5));
    StampActiveDocument(context);
    EXPECT_EQ(Rows("SELECT count(*) FROM ElementStamps"), before);
}

}  // namespace
}  // namespace veln::tracking
