// Thousands of random edits on the document model, each checked against a
// plain reference of the story and against the document saved and read back:
// the position index, updated locally at each edit, must never drift from
// the XML it stands for.
#include "edit_oracle.h"

#include <random>

#include <gtest/gtest.h>

#include "docx_fixture.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/word/range.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

constexpr int EDITS = 2500;
// The document is saved and read back after every this many edits (and
// after the last one); the reference is checked after each.
constexpr int EDITS_BETWEEN_SAVES = 10;

// Plays count edits drawn from generator on document, checking each.
void PlayRandomEdits(Document& document, std::uint32_t start, int count, const test::TempDir& dir) {
    std::mt19937 generator(start);
    auto next = [&] { return static_cast<std::uint32_t>(generator()); };
    test::EditOracle oracle(document);
    std::vector<std::string> history;
    for (int step = 1; step <= count; ++step) {
        history.push_back(oracle.Apply(document, next));
        std::string difference = oracle.DifferenceFrom(document);
        ASSERT_EQ(difference, "") << "after edit " << step << ": " << history.back();
        if (step % EDITS_BETWEEN_SAVES == 0 || step == count) {
            document.SaveAs(dir / "oracle.docx");
            auto reopened = DocxDocument::Open(dir / "oracle.docx");
            std::string saved = test::EditOracle::Difference(document, *reopened);
            ASSERT_EQ(saved, "") << "saved and read back after edit " << step << ": "
                                 << history.back();
        }
    }
}

TEST(EditOracleTest, RandomEditsOfANewDocumentKeepEveryPositionTrue) {
    test::TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter(
        "Braking shall stop the vehicle.\rWithin 40 m.\r\rNotes: é 漢 😀");
    PlayRandomEdits(document, 20261206, EDITS, dir);
}

TEST(EditOracleTest, RandomEditsOfARealDocumentWithTablesAndRunsKeepEveryPositionTrue) {
    test::TempDir dir;
    test::WriteDocx(
        dir / "real.docx",
        R"(<w:p><w:pPr><w:pStyle w:val="Heading1"/></w:pPr><w:r><w:t>Title</w:t></w:r></w:p>)"
        R"(<w:p><w:r><w:rPr><w:b/></w:rPr><w:t xml:space="preserve">Bold </w:t></w:r>)"
        R"(<w:r><w:rPr><w:i/><w:highlight w:val="yellow"/></w:rPr><w:t>italic</w:t></w:r><w:r><w:tab/><w:t>tab</w:t></w:r></w:p>)"
        R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell one</w:t></w:r></w:p></w:tc>)"
        R"(<w:tc><w:p><w:bookmarkStart w:id="3" w:name="InCell"/><w:r><w:t>cell two</w:t></w:r><w:bookmarkEnd w:id="3"/></w:p></w:tc></w:tr></w:tbl>)"
        R"(<w:p><w:hyperlink w:anchor="InCell"><w:r><w:t>a link</w:t></w:r></w:hyperlink><w:r><w:br/><w:t>after a break</w:t></w:r></w:p>)"
        R"(<w:p/><w:sectPr/>)");
    DocxApplication app;
    PlayRandomEdits(app.OpenDocument(dir / "real.docx"), 7, EDITS, dir);
}

}  // namespace
}  // namespace veln::host::docx
