// Documents saved by Word, LibreOffice, Google Docs and Pages open with their
// text, bookmarks and variables, and come out of a save and reopen unchanged;
// broken and hostile ones are refused cleanly.
#include "corpus.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

#include <gmock/gmock.h>

#include "docx_fixture.h"
#include "error_of.h"
#include "host/docx/docx_document.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/variables.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

namespace fs = std::filesystem;
using test::ReadZip;
using test::TempDir;

struct Expected {
    const char* file;
    int bookmarks;  // hidden ones included
    int variables;
};

// From the corpus's own inventory. Bookmarks in text boxes are not in the main
// story, and a repeated name is the first one's.
constexpr Expected VALID[] = {
    {"apple-pages-bulleted-lists.docx", 0, 0},
    {"arabic-rtl-docvars-10-footnotes-comments.docx", 1, 10},
    {"arabic-rtl-toc-180-bookmarks-18-sections.docx", 180, 0},
    {"bookmark-crossrefs-ref-field.docx", 2, 0},
    {"bookmarks-106-legacy-form-fields.docx", 106, 0},
    {"bookmarks-209-named-seq-fields.docx", 209, 0},
    {"bookmarks-222-toc-nested-docvars.docx", 222, 3},
    {"bookmarks-38-ref-fields-hidden-text.docx", 38, 1},
    {"bookmarks-60-toc-ref-fields.docx", 60, 0},
    {"bookmarks-duplicate-names-libreoffice.docx", 4, 0},
    {"bookmarks-duplicated-in-textbox-fallback.docx", 0, 0},
    {"bookmarks-two-named-simple.docx", 2, 0},
    {"customxml-markup-finereader.docx", 0, 0},
    {"docvars-34-numbering.docx", 4, 34},
    {"docvars-docvariable-if-fields-calendar.docx", 1, 3},
    {"docvars-endnote-xml-escaped-values.docx", 0, 4},
    {"docvars-json-values-comments.docx", 3, 2},
    {"field-fldsimple-filename.docx", 1, 0},
    {"footnotes-endnotes-content-controls.docx", 1, 0},
    {"google-docs-export.docx", 0, 0},
    {"google-docs-heading-bookmarks-column-attrs.docx", 10, 0},
    {"headers-footers-odd-even.docx", 0, 0},
    {"highlight-run-styles.docx", 1, 0},
    {"hyperlinks-296-internal-anchors.docx", 12, 0},
    {"libreoffice-cjk-tables-lists.docx", 0, 0},
    {"macro-cyrillic-hyperlinks.docm", 1, 0},
    {"smarttags-outlook.docx", 0, 0},
    {"strict-ooxml-full-featured.docx", 6, 0},
    {"strict-ooxml-simple.docx", 0, 0},
    {"table-merged-cells-column-bookmark.docx", 1, 0},
    {"table-nested-8-levels.docx", 0, 0},
    {"tables-nested-smarttags-cyrillic.docx", 3, 0},
    {"template-marketing-plan-98-bookmarks.dotx", 98, 0},
    {"template-resume-content-controls.dotx", 1, 0},
    {"toc-field-in-content-control.docx", 2, 0},
    {"tracked-changes-digit-bookmark-names.docx", 18, 0},
    {"unusual-no-settings-part.docx", 1, 0},
    {"unusual-renamed-main-part.docx", 0, 0},
    {"word-for-web-numbering.docx", 0, 0},
};

constexpr const char* REFUSED[] = {
    "malformed-bad-central-directory.docx",   "malformed-crc-mismatch.docx",
    "malformed-encrypted-ole-container.docx", "malformed-no-main-document-part.docx",
    "malformed-three-body-elements.docx",     "malformed-truncated-zip.docx",
    "malformed-xxe-external-entity.docx"};

fs::path Corpus() {
    return test::CorpusDir();
}

// The names of the entries that differ between two packages.
std::vector<std::string> ChangedParts(const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after) {
    std::vector<std::string> changed;
    for (const auto& [name, data] : after) {
        auto old = before.find(name);
        if (old == before.end() || old->second != data) {
            changed.push_back(name);
        }
    }
    for (const auto& [name, data] : before) {
        if (!after.contains(name)) {
            changed.push_back(name);
        }
    }
    return changed;
}

struct Snapshot {
    std::string text;
    std::vector<std::tuple<std::string, long, long>> bookmarks;
    std::vector<std::pair<std::string, std::string>> variables;

    explicit Snapshot(Document& document) : text(document.Content().Text()) {
        for (int i = 1; i <= document.BookmarkCount(true); ++i) {
            BookmarkInfo info = document.BookmarkItem(i, true);
            bookmarks.emplace_back(info.name, info.start, info.end);
        }
        for (const auto& name : document.VariableNames()) {
            variables.emplace_back(name, *document.VariableValue(name));
        }
    }
    bool operator==(const Snapshot&) const = default;
};

class CorpusTest : public ::testing::TestWithParam<Expected> {
  protected:
    void SetUp() override { VELN_REQUIRE_CORPUS(); }
};

TEST_P(CorpusTest, OpensAndSurvivesASaveAndReopen) {
    const Expected& expected = GetParam();
    const fs::path original = Corpus() / expected.file;
    auto document = DocxDocument::Open(original.string());
    EXPECT_EQ(document->BookmarkCount(true), expected.bookmarks);
    EXPECT_EQ(static_cast<int>(document->VariableNames().size()), expected.variables);
    EXPECT_GT(document->StoryEnd(), 0);
    Snapshot before(*document);

    TempDir dir;
    const std::string copy = dir / ("copy" + original.extension().string());
    document->SaveAs(copy);
    auto reopened = DocxDocument::Open(copy);
    EXPECT_TRUE(Snapshot(*reopened) == before);
    EXPECT_THAT(ChangedParts(ReadZip(original.string()), ReadZip(copy)), ::testing::IsEmpty())
        << "nothing changed, nothing rewritten";

    // An edit rewrites only the parts it touches, and the rest reads the same.
    reopened->Variables().Add("VARDOC_DOC_ID", "ABCD1234");
    reopened->Bookmarks().Add("ELEMTEST0001", reopened->MakeRange(0, 1));
    reopened->Save();
    auto edited = DocxDocument::Open(copy);
    EXPECT_EQ(edited->Content().Text(), before.text);
    EXPECT_EQ(*edited->VariableValue("VARDOC_DOC_ID"), "ABCD1234");
    EXPECT_EQ(edited->BookmarkCount(true), expected.bookmarks + 1);
    std::vector<std::string> changed = ChangedParts(ReadZip(original.string()), ReadZip(copy));
    const std::set<std::string> touched{"[Content_Types].xml", "word/_rels/document.xml.rels",
                                        "word/settings.xml", "word/document.xml",
                                        "word/blah_blah.xml",
                                        // The variables' mirror among the custom properties.
                                        "_rels/.rels", "docProps/custom.xml"};
    std::erase_if(changed, [&](const std::string& name) { return touched.contains(name); });
    EXPECT_THAT(changed, ::testing::IsEmpty()) << "only the parts the edit touched are rewritten";
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusTest, ::testing::ValuesIn(VALID), [](const auto& info) {
    std::string name = info.param.file;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
    return name;
});

TEST(CorpusRefusedTest, BrokenAndHostileFilesAreRefusedWithTheirName) {
    VELN_REQUIRE_CORPUS();
    for (const char* file : REFUSED) {
        test::Raised refused =
            test::ErrorOf<HostError>([&] { DocxDocument::Open((Corpus() / file).string()); });
        EXPECT_EQ(refused.number, WordError::FILE_CORRUPT) << file;
        EXPECT_THAT(refused.text, ::testing::HasSubstr(file));
    }
}

TEST(CorpusRefusedTest, EveryCorpusFileIsListed) {
    VELN_REQUIRE_CORPUS();
    std::set<std::string> listed;
    for (const auto& expected : VALID) {
        listed.insert(expected.file);
    }
    listed.insert(std::begin(REFUSED), std::end(REFUSED));
    for (const auto& entry : fs::directory_iterator(Corpus())) {
        if (entry.path().extension() != ".md") {
            EXPECT_TRUE(listed.contains(entry.path().filename().string())) << entry.path();
        }
    }
}

}  // namespace
}  // namespace veln::host::docx
