// Comparisons of random versions of a document made of paragraphs and tables
// (tables in cells too): whatever the edits between them, the compared
// document resolves, with every change accepted, to the other version and,
// with every change rejected, to ours. The changes are resolved here as word
// processors resolve them: a taken-out paragraph mark joins its paragraph to
// the next paragraph, and cannot join it to a table. Some versions cannot be
// told apart in tracked changes (a paragraph one version has and the other
// has not, right between a table and another table or the end): there one
// empty paragraph may stay, and nothing else may differ.
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <pugixml.hpp>

#include "docx_fixture.h"
#include "host/docx/docx_document.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::TempDir;

// --- resolving tracked changes ---------------------------------------------------------

class Resolver {
  public:
    explicit Resolver(bool accept) : accept_(accept) {}

    // Empty paragraphs whose mark the view takes out but nothing can join.
    int Stuck() const { return stuck_; }

    // The blocks of a container as lines: a paragraph as its text, a table
    // as [cells | of a row / next row], a cell's blocks joined by " ¶ ".
    std::vector<std::string> Blocks(pugi::xml_node container) const {
        std::vector<std::string> blocks;
        std::string pending;
        bool joining = false;
        for (pugi::xml_node child : container.children()) {
            std::string_view name = child.name();
            if (name == "w:p") {
                pending += TextOf(child);
                joining = Hidden(child.child("w:pPr").child("w:rPr"));
                if (!joining) {
                    blocks.push_back(pending);
                    pending.clear();
                }
            } else if (name == "w:tbl") {
                if (joining) {
                    Unjoined(pending, blocks);
                    pending.clear();
                    joining = false;
                }
                if (std::string table = Table(child); !table.empty()) {
                    blocks.push_back(table);
                }
            }
        }
        if (joining) {
            Unjoined(pending, blocks);
        }
        return blocks;
    }

  private:
    void Unjoined(const std::string& text, std::vector<std::string>& blocks) const {
        if (text.empty()) {
            ++stuck_;
        } else {
            blocks.push_back(text + "<a mark with text that nothing can join>");
        }
    }

    // A change the view takes out: deletions when accepting, insertions when rejecting.
    bool Hidden(pugi::xml_node properties) const {
        return properties.child(accept_ ? "w:del" : "w:ins");
    }

    std::string TextOf(pugi::xml_node node) const {
        std::string text;
        for (pugi::xml_node child : node.children()) {
            std::string_view name = child.name();
            if (name == "w:t" || name == "w:delText") {
                text += child.child_value();
            } else if (name != "w:pPr" && !(name == (accept_ ? "w:del" : "w:ins"))) {
                text += TextOf(child);
            }
        }
        return text;
    }

    std::string Table(pugi::xml_node table) const {
        std::string rows;
        for (pugi::xml_node row : table.children("w:tr")) {
            if (Hidden(row.child("w:trPr"))) {
                continue;
            }
            std::string cells;
            for (pugi::xml_node cell : row.children("w:tc")) {
                std::string blocks;
                for (const std::string& block : Blocks(cell)) {
                    blocks += (blocks.empty() ? "" : " ¶ ") + block;
                }
                cells += (cells.empty() ? "" : " | ") + blocks;
            }
            rows += (rows.empty() ? "" : " / ") + cells;
        }
        return rows.empty() ? "" : "[" + rows + "]";
    }

    bool accept_;
    mutable int stuck_ = 0;
};

// --- random versions ---------------------------------------------------------------------

struct Item;
using Cells = std::vector<std::vector<Item>>;

struct Item {
    bool table = false;
    std::string text;
    std::vector<Cells> rows;
};

class Versions {
  public:
    explicit Versions(unsigned round) : random_(round) {}

    std::vector<Item> Body(int depth = 0) {
        std::vector<Item> items;
        const int count = Pick(1, depth == 0 ? 7 : 2);
        items.reserve(static_cast<std::size_t>(count) + 1);
        for (int k = 0; k < count; ++k) {
            items.push_back(Pick(0, 3) == 0 && depth < 2 ? Table(depth) : Paragraph());
        }
        Settle(items);
        return items;
    }

    // A few edits of a version: items taken out, put in or rewritten, rows
    // taken out or put in, words of a paragraph changed, cells edited.
    void Edit(std::vector<Item>& items, int depth = 0) {
        for (int edits = Pick(1, 3); edits > 0; --edits) {
            const auto at = static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1));
            const auto position = static_cast<std::ptrdiff_t>(at);
            switch (Pick(0, 4)) {
                case 0:
                    items.erase(items.begin() + position);
                    break;
                case 1:
                    items.insert(items.begin() + position,
                                 Pick(0, 2) == 0 && depth < 2 ? Table(depth) : Paragraph());
                    break;
                case 2:
                    items[at].text = items[at].table ? "" : Sentence();
                    break;
                default:
                    if (items[at].table) {
                        EditTable(items[at], depth);
                    } else {
                        items[at].text += " again";
                    }
                    break;
            }
            if (items.empty()) {
                items.push_back(Paragraph());
            }
        }
        Settle(items);
    }

    static std::string Xml(const std::vector<Item>& items) {
        std::string xml;
        for (const Item& item : items) {
            if (!item.table) {
                xml += R"(<w:p><w:r><w:t xml:space="preserve">)" + item.text + "</w:t></w:r></w:p>";
                continue;
            }
            xml += "<w:tbl><w:tblGrid/>";
            for (const Cells& row : item.rows) {
                xml += "<w:tr>";
                for (const std::vector<Item>& cell : row) {
                    xml += "<w:tc>" + Xml(cell) + "</w:tc>";
                }
                xml += "</w:tr>";
            }
            xml += "</w:tbl>";
        }
        return xml;
    }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string Sentence() {
        static const std::vector<std::string> sentences{"The vehicle shall stop.",
                                                        "The light comes on.",
                                                        "Brake",
                                                        "within 40 m",
                                                        "The horn sounds twice.",
                                                        "",
                                                        "Wet road",
                                                        "A last one."};
        return sentences[static_cast<std::size_t>(Pick(0, 7))];
    }

    Item Paragraph() { return {false, Sentence(), {}}; }

    Cells Row(int columns, int depth) {
        Cells row;
        for (int k = 0; k < columns; ++k) {
            row.push_back(Body(depth + 1));
        }
        return row;
    }

    Item Table(int depth) {
        Item table{true, "", {}};
        const int columns = Pick(1, 3);
        for (int rows = Pick(1, 3); rows > 0; --rows) {
            table.rows.push_back(Row(columns, depth));
        }
        return table;
    }

    void EditTable(Item& table, int depth) {
        const auto columns = static_cast<int>(table.rows[0].size());
        const auto at = static_cast<std::size_t>(Pick(0, static_cast<int>(table.rows.size()) - 1));
        const auto position = static_cast<std::ptrdiff_t>(at);
        switch (Pick(0, 2)) {
            case 0:
                if (table.rows.size() > 1) {
                    table.rows.erase(table.rows.begin() + position);
                }
                break;
            case 1:
                table.rows.insert(table.rows.begin() + position, Row(columns, depth));
                break;
            default: {
                std::vector<Item>& cell =
                    table.rows[at][static_cast<std::size_t>(Pick(0, columns - 1))];
                Edit(cell, depth + 1);
                break;
            }
        }
    }

    // As documents are: a paragraph between two tables and after the last.
    static void Settle(std::vector<Item>& items) {
        for (std::size_t k = 1; k < items.size(); ++k) {
            if (items[k].table && items[k - 1].table) {
                items.insert(items.begin() + static_cast<std::ptrdiff_t>(k),
                             Item{false, "Between.", {}});
            }
        }
        if (items.empty() || items.back().table) {
            items.push_back(Item{false, "", {}});
        }
    }

    std::mt19937 random_;
};

std::vector<std::string> BlocksOf(const std::string& documentXml, bool accept, int& stuck) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(documentXml.c_str()));
    Resolver resolver(accept);
    std::vector<std::string> blocks = resolver.Blocks(document.document_element().child("w:body"));
    stuck += resolver.Stuck();
    return blocks;
}

std::string Document(const std::string& bodyXml) {
    return "<w:document " + std::string(test::W_DECL) + "><w:body>" + bodyXml +
           "</w:body></w:document>";
}

TEST(CompareRandomVersionsTest, AcceptingGivesTheirsAndRejectingGivesOurs) {
    TempDir dir;
    constexpr unsigned ROUNDS = 300;
    int stuck = 0;
    for (unsigned round = 0; round < ROUNDS && !HasFailure(); ++round) {
        Versions versions(round);
        std::vector<Item> ours = versions.Body();
        std::vector<Item> theirs = ours;
        versions.Edit(theirs);
        test::WriteDocx(dir / "ours.docx", Versions::Xml(ours));
        test::WriteDocx(dir / "theirs.docx", Versions::Xml(theirs));
        std::unique_ptr<DocxDocument> document = DocxDocument::Open(dir / "ours.docx");
        document->Compare(dir / "theirs.docx");
        document->SaveAs(dir / "compared.docx");
        if (round % 50 == 0) {
            EXPECT_EQ(test::PackageProblems(dir / "compared.docx"), "") << "round " << round;
        }
        const std::string compared = test::ReadZip(dir / "compared.docx")["word/document.xml"];
        int unchanged = 0;
        const std::vector<std::string> ourBlocks =
            BlocksOf(Document(Versions::Xml(ours)), true, unchanged);
        const std::vector<std::string> theirBlocks =
            BlocksOf(Document(Versions::Xml(theirs)), true, unchanged);
        const std::string shown =
            "round " + std::to_string(round) + "\nours:   " + ::testing::PrintToString(ourBlocks) +
            "\ntheirs: " + ::testing::PrintToString(theirBlocks) + "\ncompared: " + compared;
        EXPECT_EQ(BlocksOf(compared, true, stuck), theirBlocks) << "accepted\n" << shown;
        EXPECT_EQ(BlocksOf(compared, false, stuck), ourBlocks) << "rejected\n" << shown;
    }
    // How often an empty paragraph stays, for the record.
    RecordProperty("EmptyParagraphsLeft", stuck);
    std::cout << stuck << " empty paragraphs left in " << ROUNDS << " rounds\n";
}

}  // namespace
}  // namespace veln::host::docx
