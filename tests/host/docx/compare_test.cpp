// Comparing two versions of a document: the edit script itself, then the
// tracked changes written into the document, read back as a word processor
// resolves them (all accepted gives the other version, all rejected gives
// this one), with bookmarks, tables and formatting left where they were.
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <pugixml.hpp>

#include "docx_fixture.h"
#include "host/diff/sequence_diff.h"
#include "host/docx/docx_document.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using diff::Diff;
using diff::Edit;
using diff::EditKind;

using test::TempDir;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* STOP = "The vehicle shall stop within 40 m.";
constexpr const char* STOP_30 = "The vehicle shall stop within 30 m.";
constexpr const char* STRAIGHT = "The stop shall be straight.";
constexpr const char* LIGHT = "The brake light shall come on.";
constexpr const char* HORN = "The horn shall sound twice.";

std::string Paragraphs(const std::vector<std::string>& texts) {
    std::string body;
    for (const std::string& text : texts) {
        body += R"(<w:p><w:r><w:t xml:space="preserve">)" + text + "</w:t></w:r></w:p>";
    }
    return body;
}

// The paragraphs of a main part with every change accepted, or rejected.
std::vector<std::string> Resolved(const std::string& documentXml, bool accept) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(documentXml.c_str()));
    std::vector<std::string> paragraphs{""};
    auto walk = [&](auto& self, pugi::xml_node node) -> void {
        for (pugi::xml_node child : node.children()) {
            std::string_view name = child.name();
            if ((name == "w:ins" && !accept) || (name == "w:del" && accept) || name == "w:pPr") {
                continue;
            }
            if (name == "w:t" || name == "w:delText") {
                paragraphs.back() += child.child_value();
            } else if (name == "w:p") {
                self(self, child);
                pugi::xml_node mark = child.child("w:pPr").child("w:rPr");
                // A mark taken out joins its paragraph to the next.
                if (!(accept ? mark.child("w:del") : mark.child("w:ins"))) {
                    paragraphs.emplace_back();
                }
            } else {
                self(self, child);
            }
        }
    };
    walk(walk, document.document_element().child("w:body"));
    paragraphs.pop_back();
    return paragraphs;
}

class CompareTest : public ::testing::Test {
  protected:
    // Ours (opened) and theirs (a file) from the insides of their bodies;
    // the comparison run; the main part as saved.
    std::string Compared(const std::string& ourBody, const std::string& theirBody) {
        test::WriteDocx(dir / "ours.docx", ourBody);
        test::WriteDocx(dir / "theirs.docx", theirBody);
        ours = DocxDocument::Open(dir / "ours.docx");
        ours->Compare(dir / "theirs.docx");
        savedAfterCompare = ours->Saved();
        ours->SaveAs(dir / "compared.docx");
        EXPECT_EQ(test::PackageProblems(dir / "compared.docx"), "");
        return test::ReadZip(dir / "compared.docx")["word/document.xml"];
    }

    TempDir dir;
    std::unique_ptr<DocxDocument> ours;
    bool savedAfterCompare = false;
};

TEST(SequenceDiffTest, ScriptsTurnOneSequenceIntoTheOtherWithTheFewestEdits) {
    std::mt19937 random(15);
    for (int round = 0; round < 300; ++round) {
        std::uniform_int_distribution<int> size(0, 12);
        std::uniform_int_distribution<std::uint64_t> item(1, 4);
        std::vector<std::uint64_t> a(static_cast<std::size_t>(size(random)));
        std::vector<std::uint64_t> b(static_cast<std::size_t>(size(random)));
        for (auto& x : a) {
            x = item(random);
        }
        for (auto& x : b) {
            x = item(random);
        }
        std::vector<std::uint64_t> made;
        std::size_t kept = 0;
        for (const Edit& edit : Diff(a, b)) {
            for (std::size_t k = 0; k < edit.length; ++k) {
                if (edit.kind == EditKind::Equal) {
                    ASSERT_EQ(a[edit.aStart + k], b[edit.bStart + k]);
                    made.push_back(a[edit.aStart + k]);
                    ++kept;
                } else if (edit.kind == EditKind::Insert) {
                    made.push_back(b[edit.bStart + k]);
                }
            }
        }
        EXPECT_EQ(made, b);
        // The longest common subsequence, the slow way.
        std::vector<std::vector<std::size_t>> lcs(a.size() + 1,
                                                  std::vector<std::size_t>(b.size() + 1, 0));
        for (std::size_t i = a.size(); i-- > 0;) {
            for (std::size_t j = b.size(); j-- > 0;) {
                lcs[i][j] =
                    a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
            }
        }
        EXPECT_EQ(kept, lcs[0][0]) << "round " << round;
    }
}

TEST_F(CompareTest, IdenticalDocumentsGiveNoChange) {
    std::string xml = Compared(Paragraphs({STOP, LIGHT}), Paragraphs({STOP, LIGHT}));
    EXPECT_TRUE(savedAfterCompare);
    EXPECT_THAT(xml, Not(HasSubstr("w:ins")));
    EXPECT_THAT(xml, Not(HasSubstr("w:del")));
}

TEST_F(CompareTest, ChangedWordsAreTrackedWithAnAuthorAndADate) {
    std::string xml = Compared(Paragraphs({STOP, LIGHT}), Paragraphs({STOP_30, LIGHT}));
    EXPECT_FALSE(savedAfterCompare);
    EXPECT_THAT(Resolved(xml, true), ElementsAre(STOP_30, LIGHT));
    EXPECT_THAT(Resolved(xml, false), ElementsAre(STOP, LIGHT));
    pugi::xml_document document;
    document.load_string(xml.c_str());
    pugi::xml_node deletion = document.select_node("//w:del").node();
    pugi::xml_node insertion = document.select_node("//w:ins").node();
    EXPECT_STREQ(deletion.select_node(".//w:delText").node().child_value(), "40");
    EXPECT_STREQ(insertion.select_node(".//w:t").node().child_value(), "30");
    for (pugi::xml_node change : {deletion, insertion}) {
        EXPECT_STREQ(change.attribute("w:author").value(), "VELN");
        EXPECT_THAT(change.attribute("w:date").value(),
                    ::testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}Z"));
    }
    EXPECT_STRNE(deletion.attribute("w:id").value(), insertion.attribute("w:id").value());
    EXPECT_EQ(ours->TextOf(0, ours->StoryEnd()), std::string(STOP_30) + "\r" + LIGHT + "\r")
        << "the story counts what the changes leave";
}

TEST_F(CompareTest, ParagraphsPutInTakenOutAndRewritten) {
    std::string xml = Compared(Paragraphs({STOP, STRAIGHT, LIGHT}),
                               Paragraphs({HORN, STOP, LIGHT, "A last one."}));
    EXPECT_THAT(Resolved(xml, true), ElementsAre(HORN, STOP, LIGHT, "A last one."));
    EXPECT_THAT(Resolved(xml, false), ElementsAre(STOP, STRAIGHT, LIGHT));
    EXPECT_EQ(ours->ParagraphCount(), 5) << "a deleted paragraph stays until accepted";
}

TEST_F(CompareTest, AMovedParagraphIsTakenOutHereAndPutInThere) {
    std::string xml =
        Compared(Paragraphs({STOP, STRAIGHT, LIGHT}), Paragraphs({STRAIGHT, LIGHT, STOP}));
    EXPECT_THAT(Resolved(xml, true), ElementsAre(STRAIGHT, LIGHT, STOP));
    EXPECT_THAT(Resolved(xml, false), ElementsAre(STOP, STRAIGHT, LIGHT));
    EXPECT_THAT(xml, HasSubstr(std::string("<w:delText xml:space=\"preserve\">") + STOP));
    EXPECT_THAT(xml, HasSubstr(std::string("<w:t xml:space=\"preserve\">") + STOP));
}

TEST_F(CompareTest, BookmarksStayWithTheirText) {
    std::string ourBody =
        R"(<w:p><w:bookmarkStart w:id="7" w:name="ELEMSTOP0001"/>)"
        R"(<w:r><w:t xml:space="preserve">The vehicle shall stop within 40 m.</w:t></w:r>)"
        R"(<w:bookmarkEnd w:id="7"/></w:p>)" +
        Paragraphs({STRAIGHT}) +
        R"(<w:p><w:bookmarkStart w:id="8" w:name="ELEMLIGHT002"/>)"
        R"(<w:r><w:t xml:space="preserve">The brake light shall come on.</w:t></w:r>)"
        R"(<w:bookmarkEnd w:id="8"/></w:p>)";
    std::string xml = Compared(ourBody, Paragraphs({HORN, STOP_30, LIGHT}));
    EXPECT_EQ(ours->BookmarkCount(false), 2);
    auto covered = [&](const char* name) {
        std::optional<BookmarkInfo> found = ours->FindBookmark(name);
        return found ? ours->TextOf(found->start, found->end) : "<gone>";
    };
    EXPECT_EQ(covered("ELEMSTOP0001"), STOP_30);
    EXPECT_EQ(covered("ELEMLIGHT002"), LIGHT);
    std::unique_ptr<DocxDocument> reopened = DocxDocument::Open(dir / "compared.docx");
    EXPECT_EQ(reopened->BookmarkCount(false), 2);
    EXPECT_THAT(xml, HasSubstr(R"(w:id="9")")) << "changes take ids past the bookmarks'";
}

TEST_F(CompareTest, TablesAndFormattingStayAsTheyWere) {
    auto table = [](const char* cell) {
        return std::string(R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>Brake</w:t></w:r></w:p></w:tc>)"
                           R"(<w:tc><w:p><w:r><w:t xml:space="preserve">)") +
               cell + "</w:t></w:r></w:p></w:tc></w:tr></w:tbl>";
    };
    std::string bold = R"(<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Bold words stay bold.</w:t></w:r>)"
                       R"(</w:p>)";
    std::string xml = Compared(bold + table("within 40 m") + Paragraphs({LIGHT}),
                               bold + table("within 30 m") + Paragraphs({LIGHT}));
    EXPECT_THAT(Resolved(xml, true),
                ElementsAre("Bold words stay bold.", "Brake", "within 30 m", LIGHT));
    pugi::xml_document document;
    document.load_string(xml.c_str());
    EXPECT_EQ(document.select_nodes("//w:tbl/w:tr/w:tc").size(), 2U);
    EXPECT_TRUE(document.select_node("//w:tc/w:p/w:del").node()) << "the change stays in its cell";
    EXPECT_EQ(document.select_nodes("//w:r[w:rPr/w:b]").size(), 1U);
    EXPECT_STREQ(document.select_node("//w:r[w:rPr/w:b]/w:t").node().child_value(),
                 "Bold words stay bold.");
}

}  // namespace
}  // namespace veln::host::docx
