// LibreOffice Writer as the other party: what the model writes must open in it
// as written (text, bookmarks, highlight, hyperlinks), and what it writes must
// open in the model, come out of an unchanged save byte for byte and take an
// edit without disturbing the rest. soffice runs once per suite.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gmock/gmock.h>
#include <pugixml.hpp>
#include <unistd.h>

#include "docx_fixture.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/utf8.h"
#include "host/word/bookmarks.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "host/word/variables.h"
#include "libreoffice.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::TempDir;
using ::testing::ElementsAre;

using test::ConvertWithSoffice;
using test::MissingSoffice;

// A suite whose documents LibreOffice converts once, in a folder of its own;
// each test fails with the reason when that could not be done.
template <typename Suite>
class SofficeSuite : public ::testing::Test {
  protected:
    static void TearDownTestSuite() { dir_.reset(); }
    void SetUp() override {
        if (!error_.empty()) {
            FAIL() << error_;
        }
    }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::string error_;
};

// --- reading an OpenDocument text ----------------------------------------------

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The body of an .odt's content.xml flattened the way the model counts a
// story: paragraph ends as '\r', tabs, line breaks as char 11; with where the
// bookmarks and links lie and the background colour under every byte.
class OdtText {
  public:
    struct Link {
        std::string href;
        std::string text;
    };

    explicit OdtText(const std::string& contentXml) {
        parsed_ = static_cast<bool>(document_.load_string(contentXml.c_str()));
        pugi::xml_node root = document_.document_element();
        for (pugi::xml_node style : root.child("office:automatic-styles").children("style:style")) {
            std::string colour = Lower(
                style.child("style:text-properties").attribute("fo:background-color").value());
            if (!colour.empty() && colour != "transparent") {
                backgrounds_[style.attribute("style:name").value()] = colour;
            }
        }
        Walk(root.child("office:body").child("office:text"), "");
    }

    bool Parsed() const { return parsed_; }
    const std::string& Text() const { return text_; }
    const std::vector<std::string>& Paragraphs() const { return paragraphs_; }
    const std::vector<Link>& Links() const { return links_; }
    std::set<std::string> BookmarkNames() const {
        std::set<std::string> names;
        for (const auto& [name, position] : starts_) {
            names.insert(name);
        }
        for (const auto& [name, position] : ends_) {
            names.insert(name);
        }
        return names;
    }
    std::string Covered(const std::string& name) const {
        auto start = starts_.find(name);
        auto end = ends_.find(name);
        if (start == starts_.end() || end == ends_.end() || end->second < start->second) {
            return "<no bookmark " + name + ">";
        }
        return text_.substr(start->second, end->second - start->second);
    }
    // The background shared by every byte of the first occurrence of what:
    // "" for none, "<mixed>" when they differ.
    std::string BackgroundOf(std::string_view what) const {
        std::size_t at = text_.find(what);
        if (at == std::string::npos) {
            return "<not found: " + std::string(what) + ">";
        }
        for (std::size_t i = at; i < at + what.size(); ++i) {
            if (background_[i] != background_[at]) {
                return "<mixed>";
            }
        }
        return background_[at];
    }

  private:
    std::string BackgroundOf(pugi::xml_node node, const std::string& outer) const {
        auto found = backgrounds_.find(node.attribute("text:style-name").value());
        return found != backgrounds_.end() ? found->second : outer;
    }
    void Append(std::string_view text, const std::string& background) {
        text_ += text;
        background_.insert(background_.end(), text.size(), background);
    }
    void Walk(pugi::xml_node parent, const std::string& background) {
        for (pugi::xml_node node : parent.children()) {
            std::string_view name = node.name();
            std::string bookmark = node.attribute("text:name").value();
            if (node.type() == pugi::node_pcdata) {
                Append(node.value(), background);
            } else if (name == "text:p" || name == "text:h") {
                std::size_t start = text_.size();
                Walk(node, BackgroundOf(node, background));
                paragraphs_.push_back(text_.substr(start));
                Append("\r", "");
            } else if (name == "text:span") {
                Walk(node, BackgroundOf(node, background));
            } else if (name == "text:a") {
                std::size_t start = text_.size();
                Walk(node, BackgroundOf(node, background));
                links_.push_back({node.attribute("xlink:href").value(), text_.substr(start)});
            } else if (name == "text:s") {
                Append(std::string(std::max(1, node.attribute("text:c").as_int(1)), ' '),
                       background);
            } else if (name == "text:tab") {
                Append("\t", background);
            } else if (name == "text:line-break") {
                Append("\v", background);
            } else if (name == "text:bookmark-start") {
                starts_[bookmark] = text_.size();
            } else if (name == "text:bookmark-end") {
                ends_[bookmark] = text_.size();
            } else if (name == "text:bookmark") {
                starts_[bookmark] = ends_[bookmark] = text_.size();
            } else if (name == "text:tracked-changes") {
                // What tracked changes took out is kept here, apart from the
                // text: the body reads as if every change were accepted.
            } else {
                Walk(node, background);
            }
        }
    }

    pugi::xml_document document_;
    bool parsed_ = false;
    std::map<std::string, std::string> backgrounds_;  // automatic style -> colour
    std::string text_;
    std::vector<std::string> background_;  // per byte of text_
    std::vector<std::string> paragraphs_;
    std::vector<Link> links_;
    std::map<std::string, std::size_t> starts_;
    std::map<std::string, std::size_t> ends_;
};

// An .odt's relative link resolved as ODF resolves it: against the package
// taken as a folder, so "../" first leaves the package itself.
std::string ResolveOdfHref(const std::string& odtPath, const std::string& href) {
    std::size_t colon = href.find(':');
    if (colon != std::string::npos && colon < href.find('/')) {
        return href;
    }
    std::size_t hash = href.find('#');
    std::filesystem::path target =
        (std::filesystem::path(odtPath) / href.substr(0, hash)).lexically_normal();
    return "file://" + target.string() + (hash == std::string::npos ? "" : href.substr(hash));
}

// The range of the model's document over the first occurrence of what.
Range Over(Document& document, std::string_view what) {
    std::string text = document.Content().Text();
    std::size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    long start = CountCharacters(std::string_view(text).substr(0, at));
    return document.MakeRange(start, start + CountCharacters(what));
}

// --- our document in LibreOffice ---------------------------------------------------

class LibreOfficeOpensOurDocumentTest : public SofficeSuite<LibreOfficeOpensOurDocumentTest> {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>();
        error_ = MissingSoffice();
        if (!error_.empty()) {
            return;
        }
        DocxApplication app;
        Document& document = app.AddDocument();
        document.Content().InsertAfter(
            "Exigence numéro 1 : le système démarre en moins de deux secondes.\r"
            "Exigence numéro 2 : l'opérateur arrête la machine à tout moment.\r"
            "Remarque générale sur les essais de réception.\r"
            "Voir la référence ici pour le détail.\r"
            "Fin du cahier des exigences.");
        Bookmarks bookmarks = document.Bookmarks();
        bookmarks.Add("ELEMAB12CD34", Over(document, "système"));
        bookmarks.Add("ELEM00000002",
                      Over(document,
                           "Exigence numéro 2 : l'opérateur arrête la machine à tout "
                           "moment.\r"));
        bookmarks.Add("ELEM00000003",
                      Over(document, "générale sur les essais de réception.\rVoir"));
        bookmarks.Add("ELEM00000004", Over(document, "arrête"));
        Range fin = Over(document, "Fin");
        bookmarks.Add("ELEMEMPTY001", document.MakeRange(fin.Start(), fin.Start()));

        Over(document, "Exigence numéro 1").SetHighlightColorIndex(WdColorIndex::wdTurquoise);
        Over(document, "l'opérateur arrête").SetHighlightColorIndex(WdColorIndex::wdPink);
        Range marker = bookmarks.Item("ELEMAB12CD34").Range();
        marker.InsertBefore("//1.0.0.0// ");
        marker.SetHighlightColorIndex(WdColorIndex::wdYellow);

        document.Hyperlinks().Add(Over(document, "ici"), "file:///tmp/target.docx", "ELEM00000001",
                                  "l'exigence 1.0.0.0");
        // LibreOffice 7.4 drops w:docVars on import (no user fields, no document
        // properties), so nothing of them is asserted on its side.
        document.Variables().Add("VELN_DOC_ID", "17");
        document.Variables().Add("VELN_TITLE", "Cahier des exigences générales");
        document.SaveAs(*dir_ / "ours.docx");
        for (int i = 1; i <= document.Bookmarks().Count(); ++i) {
            Bookmark bookmark = document.Bookmarks().Item(i);
            texts_[bookmark.Name()] = bookmark.Range().Text();
        }

        std::filesystem::create_directories(*dir_ / "odt");
        odtPath_ = *dir_ / "odt/ours.odt";
        error_ =
            ConvertWithSoffice(dir_->Path(), *dir_ / "ours.docx", "odt", *dir_ / "odt", odtPath_);
        if (error_.empty()) {
            content_ = test::ReadZip(odtPath_)["content.xml"];
        }
    }
    void SetUp() override {
        SofficeSuite::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        odt_.emplace(content_);
        ASSERT_TRUE(odt_->Parsed()) << "LibreOffice's content.xml:\n" << content_;
    }
    const OdtText& Odt() const { return *odt_; }

    static inline std::string odtPath_;
    static inline std::string content_;
    // What the model itself says each bookmark covers.
    static inline std::map<std::string, std::string> texts_;
    std::optional<OdtText> odt_;
};

TEST_F(LibreOfficeOpensOurDocumentTest, ParagraphsKeepTheirTextAndAccents) {
    EXPECT_THAT(Odt().Paragraphs(),
                ElementsAre("Exigence numéro 1 : le //1.0.0.0// système démarre en moins de deux "
                            "secondes.",
                            "Exigence numéro 2 : l'opérateur arrête la machine à tout moment.",
                            "Remarque générale sur les essais de réception.",
                            "Voir la référence l'exigence 1.0.0.0 pour le détail.",
                            "Fin du cahier des exigences."));
}

TEST_F(LibreOfficeOpensOurDocumentTest, BookmarksCoverWhatTheyCoverInTheModel) {
    EXPECT_THAT(Odt().BookmarkNames(), ElementsAre("ELEM00000002", "ELEM00000003", "ELEM00000004",
                                                   "ELEMAB12CD34", "ELEMEMPTY001"));
    EXPECT_EQ(Odt().Covered("ELEMAB12CD34"), "//1.0.0.0// système")
        << "the marker inserted at its start lies inside";
    EXPECT_EQ(Odt().Covered("ELEM00000002"),
              "Exigence numéro 2 : l'opérateur arrête la machine à tout moment.\r")
        << "the whole paragraph, its mark included";
    EXPECT_EQ(Odt().Covered("ELEM00000003"), "générale sur les essais de réception.\rVoir");
    EXPECT_EQ(Odt().Covered("ELEM00000004"), "arrête");
    EXPECT_EQ(Odt().Covered("ELEMEMPTY001"), "");
    EXPECT_EQ(Odt().Text().find(Odt().Covered("ELEMEMPTY001") + "Fin du cahier"),
              Odt().Text().find("Fin du cahier"));
    ASSERT_EQ(texts_.size(), 5U);
    for (const auto& [name, text] : texts_) {
        EXPECT_EQ(Odt().Covered(name), text) << name;
    }
}

TEST_F(LibreOfficeOpensOurDocumentTest, HighlightIsTheBackgroundOfExactlyItsText) {
    EXPECT_EQ(Odt().BackgroundOf("Exigence numéro 1"), "#00ffff");
    EXPECT_EQ(Odt().BackgroundOf("//1.0.0.0// système"), "#ffff00");
    EXPECT_EQ(Odt().BackgroundOf("l'opérateur arrête"), "#ff00ff")
        << "one highlight across a bookmark's start";
    EXPECT_EQ(Odt().BackgroundOf(" : le "), "");
    EXPECT_EQ(Odt().BackgroundOf(" démarre en"), "");
    EXPECT_EQ(Odt().BackgroundOf("Exigence numéro 2 : "), "");
    EXPECT_EQ(Odt().BackgroundOf(" la machine"), "");
    EXPECT_EQ(Odt().BackgroundOf("Remarque générale sur les essais"), "");
}

TEST_F(LibreOfficeOpensOurDocumentTest, HyperlinkLeadsToTheBookmarkInTheTargetFile) {
    ASSERT_EQ(Odt().Links().size(), 1U);
    EXPECT_EQ(Odt().Links()[0].text, "l'exigence 1.0.0.0");
    // LibreOffice stores links relative to the document by default; resolved,
    // the link is the address with the bookmark as fragment.
    EXPECT_EQ(ResolveOdfHref(odtPath_, Odt().Links()[0].href),
              "file:///tmp/target.docx#ELEM00000001")
        << "as written: " << Odt().Links()[0].href;
}

// --- LibreOffice's document in our model ------------------------------------------

// A document as LibreOffice's users write them: accents, a header with a page
// number, a field in the body, a table with a two-paragraph cell, a tab and a
// line break, a link. LibreOffice 7.4 writes a bookmark that starts a paragraph
// and runs into the next, or crosses paragraphs in a cell, as several
// bookmarks of one name; ELEM00000005 is one, and only asked to stay one name.
const char* const CAHIER_FODT = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles>
<style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm"/>
<style:header-style><style:header-footer-properties fo:min-height="0.5cm"/></style:header-style></style:page-layout>
</office:automatic-styles>
<office:master-styles>
<style:master-page style:name="Standard" style:page-layout-name="pm1"><style:header>
<text:p>En-tête du cahier <text:page-number text:select-page="current">1</text:page-number></text:p>
</style:header></style:master-page>
</office:master-styles>
<office:body><office:text>
<text:p>Exigence numéro 1 : <text:bookmark-start text:name="ELEM00000001"/>le système démarre.<text:bookmark-end text:name="ELEM00000001"/></text:p>
<text:p>Page <text:page-number text:select-page="current">1</text:page-number> du cahier.</text:p>
<table:table table:name="Tableau1">
<table:table-column table:number-columns-repeated="2"/>
<table:table-row>
<table:table-cell office:value-type="string"><text:p>Cellule A1</text:p></table:table-cell>
<table:table-cell office:value-type="string"><text:p>Cellule <text:bookmark-start text:name="ELEM00000002"/>B1<text:bookmark-end text:name="ELEM00000002"/></text:p><text:p>deuxième ligne</text:p></table:table-cell>
</table:table-row>
<table:table-row>
<table:table-cell office:value-type="string"><text:p>A2</text:p></table:table-cell>
<table:table-cell office:value-type="string"><text:p>B2 <text:bookmark text:name="ELEMVIDE0001"/>fin</text:p></table:table-cell>
</table:table-row>
</table:table>
<text:p>Après le tableau<text:tab/>tabulé<text:line-break/>ligne.</text:p>
<text:p>Dernier <text:bookmark-start text:name="ELEM00000003"/>paragraphe</text:p>
<text:p>et<text:bookmark-end text:name="ELEM00000003"/> suite, voir <text:a xlink:type="simple" xlink:href="https://example.org/page#ancre">le lien</text:a>.</text:p>
<text:p><text:bookmark-start text:name="ELEM00000004"/>Paragraphe entier<text:bookmark-end text:name="ELEM00000004"/></text:p>
<text:p><text:bookmark-start text:name="ELEM00000005"/>Paragraphe et sa marque</text:p>
<text:p><text:bookmark-end text:name="ELEM00000005"/>Fin.</text:p>
</office:text></office:body></office:document>
)";

const char* const CAHIER_TEXT =
    "Exigence numéro 1 : le système démarre.\r"
    "Page 1 du cahier.\r"
    "Cellule A1\r"
    "Cellule B1\r"
    "deuxième ligne\r"
    "A2\r"
    "B2 fin\r"
    "Après le tableau\ttabulé\vligne.\r"
    "Dernier paragraphe\r"
    "et suite, voir le lien.\r"
    "Paragraphe entier\r"
    "Paragraphe et sa marque\r"
    "Fin.\r";

class LibreOfficeWritesForOurModelTest : public SofficeSuite<LibreOfficeWritesForOurModelTest> {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>();
        error_ = MissingSoffice();
        if (!error_.empty()) {
            return;
        }
        test::WriteFile(*dir_ / "cahier.fodt", CAHIER_FODT);
        docxPath_ = *dir_ / "lo/cahier.docx";
        error_ = ConvertWithSoffice(dir_->Path(), *dir_ / "cahier.fodt", "docx:MS Word 2007 XML",
                                    *dir_ / "lo", docxPath_);
    }

    static inline std::string docxPath_;
};

std::vector<std::string> BookmarkNames(Document& document) {
    std::vector<std::string> names;
    for (int i = 1; i <= document.Bookmarks().Count(); ++i) {
        names.push_back(document.Bookmarks().Item(i).Name());
    }
    return names;
}

std::string Covered(Document& document, const char* name) {
    return document.Bookmarks().Item(name).Range().Text();
}

// The bookmarks LibreOffice writes as one pair each (one in a cell), with their text.
constexpr std::pair<const char*, const char*> CAHIER_BOOKMARKS[] = {
    {"ELEM00000001", "le système démarre."},
    {"ELEM00000002", "B1"},
    {"ELEMVIDE0001", ""},
    {"ELEM00000003", "paragraphe\ret"},
    {"ELEM00000004", "Paragraphe entier"}};

void ExpectCahierBookmarks(Document& document) {
    for (const auto& [name, text] : CAHIER_BOOKMARKS) {
        EXPECT_EQ(Covered(document, name), text) << name;
    }
    EXPECT_EQ(document.Bookmarks().Item("ELEMVIDE0001").Start(), Over(document, "fin\r").Start());
}

TEST_F(LibreOfficeWritesForOurModelTest, TextAndBookmarksReadInStoryOrder) {
    auto document = DocxDocument::Open(docxPath_);
    EXPECT_EQ(document->Content().Text(), CAHIER_TEXT)
        << "cells' paragraphs in order, the field's result counted, the header not";
    ExpectCahierBookmarks(*document);
    std::vector<std::string> names = BookmarkNames(*document);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size())
        << "a name LibreOffice wrote twice is still one bookmark";
    EXPECT_THAT(names, ElementsAre("ELEM00000001", "ELEM00000002", "ELEMVIDE0001", "ELEM00000003",
                                   "ELEM00000004", "ELEM00000005"));
    long b1 = Over(*document, "B1").Start();
    EXPECT_EQ(document->MakeRange(b1, b1).BookmarkID(), 2);
    EXPECT_EQ(Over(*document, "deuxième").BookmarkID(), 0);
}

// Every part but the main one, which LibreOffice wrote with a bookmark over a
// paragraph and its mark as two empty halves: that one is written with the
// bookmark whole, and says the same otherwise.
TEST_F(LibreOfficeWritesForOurModelTest, UnchangedSaveKeepsEveryPartButTheHalvesByteForByte) {
    auto document = DocxDocument::Open(docxPath_);
    EXPECT_TRUE(document->Saved()) << "making the halves one is no change of the user's";
    document->SaveAs(*dir_ / "unchanged.docx");
    auto original = test::ReadZip(docxPath_);
    auto saved = test::ReadZip(*dir_ / "unchanged.docx");
    ASSERT_GE(original.size(), 8U);
    EXPECT_TRUE(original.count("word/header1.xml")) << "the header is in the file";
    const std::string halves = "w:name=\"ELEM00000005\"";
    auto count = [&](const std::string& xml) {
        std::size_t found = 0;
        for (std::size_t at = xml.find(halves); at != std::string::npos;
             at = xml.find(halves, at + 1)) {
            ++found;
        }
        return found;
    };
    EXPECT_EQ(count(original["word/document.xml"]), 2U);
    EXPECT_EQ(count(saved["word/document.xml"]), 1U);
    original.erase("word/document.xml");
    saved.erase("word/document.xml");
    EXPECT_EQ(saved, original);
    auto reopened = DocxDocument::Open(*dir_ / "unchanged.docx");
    EXPECT_EQ(reopened->Content().Text(), CAHIER_TEXT);
    ExpectCahierBookmarks(*reopened);
}

TEST_F(LibreOfficeWritesForOurModelTest, AnEditChangesOnlyItsPartsAndLibreOfficeReadsIt) {
    std::string edited = *dir_ / "edited.docx";
    {
        auto document = DocxDocument::Open(docxPath_);
        document->Bookmarks().Add("ELEMNEW00001", Over(*document, "tabulé"));
        document->Variables().Add("VELN_DOC_ID", "3");
        document->SaveAs(edited);
    }
    auto original = test::ReadZip(docxPath_);
    auto saved = test::ReadZip(edited);
    // One part more: the variables' mirror, which the package and its
    // content types name.
    ASSERT_EQ(saved.size(), original.size() + 1);
    EXPECT_NE(saved["docProps/custom.xml"].find("name=\"VELN_VELN_DOC_ID\"><vt:lpwstr>3<"),
              std::string::npos);
    const std::set<std::string> touched{"word/document.xml", "word/settings.xml",
                                        "[Content_Types].xml", "_rels/.rels"};
    for (const auto& [name, data] : original) {
        if (touched.contains(name)) {
            EXPECT_NE(saved[name], data) << name;
        } else {
            EXPECT_EQ(saved[name], data) << name << " changed";
        }
    }
    // Word refuses a settings part out of the schema's order: the variables go
    // after w:compat and before w:themeFontLang, where LibreOffice put them.
    pugi::xml_document settings;
    ASSERT_TRUE(settings.load_string(saved["word/settings.xml"].c_str()));
    std::vector<std::string> order;
    for (pugi::xml_node child : settings.document_element().children()) {
        order.emplace_back(child.name());
    }
    auto position = [&](const char* name) {
        return std::find(order.begin(), order.end(), name) - order.begin();
    };
    ASSERT_LT(position("w:docVars"), static_cast<long>(order.size()));
    EXPECT_LT(position("w:compat"), position("w:docVars"));
    EXPECT_LT(position("w:docVars"), position("w:themeFontLang"));

    auto reopened = DocxDocument::Open(edited);
    EXPECT_EQ(reopened->Content().Text(), CAHIER_TEXT);
    EXPECT_EQ(Covered(*reopened, "ELEMNEW00001"), "tabulé");
    EXPECT_EQ(reopened->Variables().Item("VELN_DOC_ID").Value(), "3");
    ExpectCahierBookmarks(*reopened);

    std::filesystem::create_directories(*dir_ / "odt");
    std::string odtPath = *dir_ / "odt/edited.odt";
    ASSERT_EQ(ConvertWithSoffice(dir_->Path(), edited, "odt", *dir_ / "odt", odtPath), "");
    OdtText odt(test::ReadZip(odtPath)["content.xml"]);
    ASSERT_TRUE(odt.Parsed());
    EXPECT_EQ(odt.Covered("ELEMNEW00001"), "tabulé");
    for (const auto& [name, text] : CAHIER_BOOKMARKS) {
        EXPECT_EQ(odt.Covered(name), text) << name;
    }
    EXPECT_THAT(odt.Paragraphs(), ::testing::Contains("Après le tableau\ttabulé\vligne."));
}

// --- a comparison in LibreOffice -----------------------------------------------------

// Two versions compared by the model, and the result opened by LibreOffice:
// it must hold the differences as changes the user can accept or reject, and
// accepting them gives the other version.
TEST(LibreOfficeShowsAComparisonTest, TheChangesAreTrackedAndAcceptingThemGivesTheOtherVersion) {
    ASSERT_EQ(MissingSoffice(), "");
    TempDir dir;
    DocxApplication app;
    Document& ours = app.AddDocument();
    ours.Content().InsertAfter(
        "Le véhicule s'arrête en 40 m.\rL'arrêt est rectiligne.\rLe feu stop s'allume.");
    ours.Bookmarks().Add("ELEMFEU00001", Over(ours, "Le feu stop s'allume."));
    ours.SaveAs(dir / "v1.docx");
    Document& theirs = app.AddDocument();
    theirs.Content().InsertAfter(
        "Le véhicule s'arrête en 30 m.\rLe feu stop s'allume.\rLe klaxon retentit deux fois.");
    theirs.SaveAs(dir / "v2.docx");

    ours.Compare(dir / "v2.docx");
    ours.SaveAs(dir / "compared.docx");
    std::filesystem::create_directories(dir / "odt");
    std::string odtPath = dir / "odt/compared.odt";
    ASSERT_EQ(ConvertWithSoffice(dir.Path(), dir / "compared.docx", "odt", dir / "odt", odtPath),
              "");
    std::string content = test::ReadZip(odtPath)["content.xml"];
    pugi::xml_document odf;
    ASSERT_TRUE(odf.load_string(content.c_str()));
    std::multiset<std::string> kinds;
    for (pugi::xpath_node region : odf.select_nodes("//text:tracked-changes/text:changed-region")) {
        for (pugi::xml_node change : region.node().children()) {
            kinds.insert(change.name());
        }
    }
    EXPECT_EQ(kinds.count("text:insertion"), 2U) << content;
    EXPECT_EQ(kinds.count("text:deletion"), 2U) << content;
    OdtText accepted(content);
    EXPECT_THAT(accepted.Paragraphs(),
                ElementsAre("Le véhicule s'arrête en 30 m.", "Le feu stop s'allume.",
                            "Le klaxon retentit deux fois."));
    EXPECT_EQ(accepted.Covered("ELEMFEU00001"), "Le feu stop s'allume.");
}

// --- a linked document saved by LibreOffice ------------------------------------------

// LibreOffice drops w:docVars when it saves a .docx and writes a bookmark over
// whole paragraphs as two empty ones: the variables come back from their
// mirror, and each bookmark once, over its text.
TEST(LibreOfficeKeepsOurLinkTest, ALinkedMarkedDocumentItSavedReopensLinkedWithEachElementOnce) {
    ASSERT_EQ(MissingSoffice(), "");
    TempDir dir;
    DocxApplication app;
    Document& linked = app.AddDocument();
    linked.Content().InsertAfter(
        "//1.0.0.0// Le véhicule s'arrête en 40 m.\rL'arrêt est rectiligne.\rLe feu s'allume.");
    Bookmarks bookmarks = linked.Bookmarks();
    const long second = linked.ParagraphAt(0).second;
    bookmarks.Add("ELEMSTOP0001", linked.MakeRange(0, second));
    bookmarks.Add("ELEMLINE0002", Over(linked, "rectiligne"));
    bookmarks.Add("ELEMFEU00003", Over(linked, "Le feu s'allume."));
    Over(linked, "//1.0.0.0// ").SetHighlightColorIndex(WdColorIndex::wdPink);
    const std::map<std::string, std::string> variables{{"VARDOC_DB_NAME", (dir / "Projet.mdb")},
                                                       {"VARDOC_DOC_ID", "AB12CD34"},
                                                       {"VARDOC_HIGHLIGHT", "1"},
                                                       {"VARDOC_NUMBERS", "1"},
                                                       {"HIGHLIGHT_COLOR", " 5"}};
    for (const auto& [name, value] : variables) {
        linked.Variables().Add(name, value);
    }
    linked.SaveAs(dir / "linked.docx");
    std::map<std::string, std::string> covered;
    for (int i = 1; i <= bookmarks.Count(); ++i) {
        covered[bookmarks.Item(i).Name()] = bookmarks.Item(i).Range().Text();
    }

    std::filesystem::create_directories(dir / "lo");
    std::string saved = dir / "lo/linked.docx";
    ASSERT_EQ(ConvertWithSoffice(dir.Path(), dir / "linked.docx", "docx:MS Word 2007 XML",
                                 dir / "lo", saved),
              "");
    EXPECT_EQ(test::ReadZip(saved)["word/settings.xml"].find("docVar"), std::string::npos)
        << "LibreOffice still drops the variables: the mirror is what brings them back";
    auto reopened = DocxDocument::Open(saved);
    for (const auto& [name, value] : variables) {
        EXPECT_EQ(reopened->VariableValue(name).value_or("<missing>"), value) << name;
    }
    std::map<std::string, std::string> reread;
    for (int i = 1; i <= reopened->Bookmarks().Count(); ++i) {
        Bookmark bookmark = reopened->Bookmarks().Item(i);
        EXPECT_TRUE(reread.emplace(bookmark.Name(), bookmark.Range().Text()).second)
            << bookmark.Name() << " twice";
    }
    EXPECT_EQ(reread, covered);

    const std::string halves = test::ReadZip(saved)["word/document.xml"];
    auto starts = [](const std::string& xml, const std::string& name) {
        std::size_t count = 0;
        for (std::size_t at = xml.find("w:name=\"" + name + "\""); at != std::string::npos;
             at = xml.find("w:name=\"" + name + "\"", at + 1)) {
            ++count;
        }
        return count;
    };
    EXPECT_EQ(starts(halves, "ELEMSTOP0001"), 2U) << "LibreOffice still writes two halves";

    // Our next save puts the variables back where word processors look,
    // and each bookmark whole, once.
    reopened->Variables().Add("VARDOC_CHANGEELEM", "0");
    reopened->Save();
    EXPECT_NE(test::ReadZip(saved)["word/settings.xml"].find("w:name=\"VARDOC_DOC_ID\""),
              std::string::npos);
    const std::string whole = test::ReadZip(saved)["word/document.xml"];
    for (const auto& [name, text] : covered) {
        EXPECT_EQ(starts(whole, name), 1U) << name;
    }
    EXPECT_EQ(test::PackageProblems(saved), "");
    auto again = DocxDocument::Open(saved);
    std::map<std::string, std::string> final;
    for (int i = 1; i <= again->Bookmarks().Count(); ++i) {
        final[again->Bookmarks().Item(i).Name()] = again->Bookmarks().Item(i).Range().Text();
    }
    EXPECT_EQ(final, covered);
}

}  // namespace
}  // namespace veln::host::docx
