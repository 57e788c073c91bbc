// Comparisons whose structure changed (tables in and out, rows in and out,
// paragraphs between tables, tables in cells) judged by LibreOffice: it
// accepts every change of the compared document and must read the other
// version, rejects every change and must read ours. Each side is read as
// LibreOffice reads it, so what is compared is what it shows. The versions
// are all resolved in one run of soffice.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <pugixml.hpp>

#include "docx_fixture.h"
#include "host/docx/docx_document.h"
#include "libreoffice.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::Resolution;
using test::TempDir;
using test::TrackedChanges;

std::string P(const std::string& text) {
    return R"(<w:p><w:r><w:t xml:space="preserve">)" + text + "</w:t></w:r></w:p>";
}

// A table of rows of cells, each cell's XML given whole.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
    std::string columns;
    for (std::size_t k = 0; k < (rows.empty() ? 0 : rows[0].size()); ++k) {
        columns += R"(<w:gridCol w:w="3000"/>)";
    }
    std::string xml = R"(<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/></w:tblPr><w:tblGrid>)" +
                      columns + "</w:tblGrid>";
    for (const std::vector<std::string>& row : rows) {
        xml += "<w:tr>";
        for (const std::string& cell : row) {
            xml += "<w:tc>" + cell + "</w:tc>";
        }
        xml += "</w:tr>";
    }
    return xml + "</w:tbl>";
}

// A table whose cells each hold one paragraph of text.
std::string TextTable(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::vector<std::string>> cells;
    for (const std::vector<std::string>& row : rows) {
        cells.emplace_back();
        for (const std::string& text : row) {
            cells.back().push_back(P(text));
        }
    }
    return Table(cells);
}

// The blocks of an OpenDocument text as lines: a paragraph as its text, a
// table as [cells | of a row / next row], a cell's blocks joined by " ¶ ".
class OdtBlocks {
  public:
    explicit OdtBlocks(const std::string& contentXml) {
        pugi::xml_document document;
        if (document.load_string(contentXml.c_str())) {
            AddBlocks(document.document_element().child("office:body").child("office:text"),
                      blocks_);
        }
    }
    const std::vector<std::string>& Blocks() const { return blocks_; }

  private:
    static std::string TextOf(pugi::xml_node node) {
        std::string text;
        for (pugi::xml_node child : node.children()) {
            std::string_view name = child.name();
            if (child.type() == pugi::node_pcdata) {
                text += child.value();
            } else if (name == "text:s") {
                text += std::string(std::max(1, child.attribute("text:c").as_int(1)), ' ');
            } else if (name == "text:tab") {
                text += '\t';
            } else if (name == "text:line-break") {
                text += '\v';
            } else if (name != "text:tracked-changes" && name != "office:annotation") {
                text += TextOf(child);
            }
        }
        return text;
    }

    static std::string Joined(const std::vector<std::string>& parts, const char* separator) {
        std::string joined;
        for (const std::string& part : parts) {
            joined += (joined.empty() ? "" : separator) + part;
        }
        return joined;
    }

    static void AddRows(pugi::xml_node parent, std::vector<std::string>& rows) {
        for (pugi::xml_node child : parent.children()) {
            std::string_view name = child.name();
            if (name == "table:table-row") {
                std::vector<std::string> cells;
                for (pugi::xml_node cell : child.children("table:table-cell")) {
                    std::vector<std::string> blocks;
                    AddBlocks(cell, blocks);
                    cells.push_back(Joined(blocks, " ¶ "));
                }
                rows.push_back(Joined(cells, " | "));
            } else if (name == "table:table-header-rows" || name == "table:table-rows") {
                AddRows(child, rows);
            }
        }
    }

    static void AddBlocks(pugi::xml_node parent, std::vector<std::string>& into) {
        for (pugi::xml_node child : parent.children()) {
            std::string_view name = child.name();
            if (name == "text:p" || name == "text:h") {
                into.push_back(TextOf(child));
            } else if (name == "table:table") {
                std::vector<std::string> rows;
                AddRows(child, rows);
                into.push_back("[" + Joined(rows, " / ") + "]");
            } else if (name == "text:list" || name == "text:list-item" || name == "text:section") {
                AddBlocks(child, into);
            }
        }
    }

    std::vector<std::string> blocks_;
};

struct Case {
    std::string ours;
    std::string theirs;
};

// Every case compared by the model, then resolved by LibreOffice at once.
const std::map<std::string, Case>& Cases() {
    static const std::map<std::string, Case> cases{
        {"table-to-paragraph",
         {P("Brakes:") + TextTable({{"Brake", "within 40 m"}}) + P("The light comes on."),
          P("Brakes:") + P("Brake within 40 m") + P("The light comes on.")}},
        {"paragraph-to-table",
         {P("Brakes:") + P("Brake within 40 m") + P("The light comes on."),
          P("Brakes:") + TextTable({{"Brake", "within 40 m"}}) + P("The light comes on.")}},
        {"between-tables",
         {TextTable({{"A", "B"}}) + P("The stop shall be straight.") + TextTable({{"C", "D"}}) +
              P("End."),
          TextTable({{"A", "B"}}) + P("The horn shall sound twice.") + TextTable({{"C", "D"}}) +
              P("End.")}},
        {"rows",
         {TextTable({{"Brake", "within 40 m"}, {"Light", "on"}, {"Horn", "twice"}}) + P("End."),
          TextTable({{"Brake", "within 30 m"}, {"Horn", "twice"}, {"Wiper", "fast"}}) + P("End.")}},
        {"tables-in-and-out",
         {P("Start.") + TextTable({{"Old", "table"}}) + P("Middle.") + P("End."),
          P("Start.") + P("Middle.") + TextTable({{"New", "table"}, {"of", "two rows"}}) +
              P("End.")}},
        {"last-paragraphs",
         {P("Kept.") + P("Taken out.") + P("Also taken out."),
          P("Kept.") + TextTable({{"A", "B"}}) + P("Put in.")}},
        {"paragraphs-of-cells",
         {Table({{P("Brake") + P("Dry road."), P("40 m")}}) + P("End."),
          Table({{P("Brake"), P("40 m") + P("On a dry road.")}}) + P("End.")}},
        {"table-in-a-cell",
         {Table({{P("Brake"), TextTable({{"dry", "40 m"}}) + P("")}}) + P("End."),
          Table({{P("Brake"), TextTable({{"dry", "30 m"}, {"wet", "60 m"}}) + P("")}}) +
              P("End.")}},
    };
    return cases;
}

class CompareInLibreOfficeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        error_ = test::MissingSoffice();
        if (!error_.empty()) {
            return;
        }
        dir_ = std::make_unique<TempDir>();
        std::vector<Resolution> resolutions;
        for (const auto& [name, versions] : Cases()) {
            const std::string ours = *dir_ / (name + "-ours.docx");
            const std::string theirs = *dir_ / (name + "-theirs.docx");
            const std::string compared = *dir_ / (name + "-compared.docx");
            test::WriteDocx(ours, versions.ours);
            test::WriteDocx(theirs, versions.theirs);
            std::unique_ptr<DocxDocument> document = DocxDocument::Open(ours);
            document->Compare(theirs);
            document->SaveAs(compared);
            problems_[name] = test::PackageProblems(compared);
            for (const auto& [file, changes, suffix] :
                 {std::tuple{ours, TrackedChanges::AsTheyAre, "ours"},
                  std::tuple{theirs, TrackedChanges::AsTheyAre, "theirs"},
                  std::tuple{compared, TrackedChanges::AllAccepted, "accepted"},
                  std::tuple{compared, TrackedChanges::AllRejected, "rejected"}}) {
                resolutions.push_back({file, changes, *dir_ / (name + "-" + suffix + ".odt")});
            }
        }
        error_ = test::ResolveWithSoffice(dir_->Path(), resolutions);
    }
    static void TearDownTestSuite() { dir_.reset(); }
    void SetUp() override {
        if (!error_.empty()) {
            FAIL() << error_;
        }
    }

    // The blocks LibreOffice reads in one of a case's documents.
    static std::vector<std::string> Read(const std::string& name, const char* suffix) {
        const std::string odt = *dir_ / (name + "-" + suffix + ".odt");
        return OdtBlocks(test::ReadZip(odt)["content.xml"]).Blocks();
    }

    // Accepting gives theirs, rejecting gives ours, and each side changed.
    static void ExpectResolvesToBothVersions(const std::string& name) {
        EXPECT_EQ(problems_[name], "");
        const std::vector<std::string> theirs = Read(name, "theirs");
        const std::vector<std::string> ours = Read(name, "ours");
        ASSERT_NE(ours, theirs) << "the case compares two different versions";
        EXPECT_EQ(Read(name, "accepted"), theirs) << "every change accepted";
        EXPECT_EQ(Read(name, "rejected"), ours) << "every change rejected";
    }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::string error_;
    static inline std::map<std::string, std::string> problems_;
};

TEST_F(CompareInLibreOfficeTest, ATableTurnedIntoAParagraphIsTakenOutRowByRow) {
    ExpectResolvesToBothVersions("table-to-paragraph");
    EXPECT_THAT(Read("table-to-paragraph", "theirs"),
                ::testing::ElementsAre("Brakes:", "Brake within 40 m", "The light comes on."));
}

TEST_F(CompareInLibreOfficeTest, AParagraphTurnedIntoATableComesInAsATableOfNewRows) {
    ExpectResolvesToBothVersions("paragraph-to-table");
}

TEST_F(CompareInLibreOfficeTest, AParagraphBetweenTwoTablesStaysOutOfTheirCells) {
    ExpectResolvesToBothVersions("between-tables");
    EXPECT_THAT(
        Read("between-tables", "accepted"),
        ::testing::ElementsAre("[A | B]", "The horn shall sound twice.", "[C | D]", "End."));
}

TEST_F(CompareInLibreOfficeTest, RowsAreTakenOutPutInAndEditedCellByCell) {
    ExpectResolvesToBothVersions("rows");
}

TEST_F(CompareInLibreOfficeTest, WholeTablesAreTakenOutAndPutIn) {
    ExpectResolvesToBothVersions("tables-in-and-out");
}

TEST_F(CompareInLibreOfficeTest, TheLastParagraphsOfABodyOrACellComeAndGo) {
    ExpectResolvesToBothVersions("last-paragraphs");
    ExpectResolvesToBothVersions("paragraphs-of-cells");
}

TEST_F(CompareInLibreOfficeTest, ATableInACellIsComparedAsATable) {
    ExpectResolvesToBothVersions("table-in-a-cell");
}

}  // namespace
}  // namespace veln::host::docx
