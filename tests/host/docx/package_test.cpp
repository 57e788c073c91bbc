// The package: document variables, saving and reopening, parts that come out
// unchanged, templates, the documents of the application, and files that are
// refused.
#include <filesystem>
#include <limits>

#include <gmock/gmock.h>

#include "corpus.h"
#include "docx_fixture.h"
#include "error_of.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/docx/xml_part.h"
#include "host/word/range.h"
#include "host/word/variables.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

namespace fs = std::filesystem;
using test::ErrorOf;
using test::ReadFile;
using test::ReadZip;
using test::TempDir;
using test::WriteDocx;
using test::WriteFile;
using ::testing::AllOf;
using ::testing::HasSubstr;

TEST(VariablesTest, WrittenReadWalkedAndDeleted) {
    TempDir dir;
    WriteDocx(
        dir / "doc.docx", "<w:p/>",
        R"(<w:zoom w:percent="100"/><w:docVars><w:docVar w:name="Keep" w:val="x"/></w:docVars>)"
        R"(<w:rsids><w:rsidRoot w:val="00AB"/></w:rsids>)");
    auto document = DocxDocument::Open(dir / "doc.docx");
    Variables variables = document->Variables();
    variables.Add("VARDOC_DB_NAME", "/projects/brakes.mdb");
    variables.Add("VARDOC_DOC_ID", "ABCD1234");
    variables.Item("VARDOC_DOC_ID").SetValue("ZZZZ9999");
    variables.Add("HIGHLIGHT_COLOR", " 5");
    EXPECT_FALSE(document->Saved());
    EXPECT_EQ(variables.Count(), 4);
    EXPECT_EQ(variables.Item(2).Name(), "Keep") << "in the order of their names";
    EXPECT_FALSE(variables.Exists("vardoc_doc_id")) << "names compare exactly";
    EXPECT_THROW(variables.Item("Missing"), HostError);
    variables.Item("Keep").Delete();
    document->SaveAs(dir / "out.docx");

    auto reopened = DocxDocument::Open(dir / "out.docx");
    EXPECT_EQ(reopened->Variables().Item("VARDOC_DOC_ID").Value(), "ZZZZ9999");
    EXPECT_EQ(reopened->Variables().Item("HIGHLIGHT_COLOR").Value(), " 5") << "blanks kept";
    EXPECT_EQ(reopened->VariableNames(),
              (std::vector<std::string>{"HIGHLIGHT_COLOR", "VARDOC_DB_NAME", "VARDOC_DOC_ID"}));
    std::string settings = ReadZip(dir / "out.docx")["word/settings.xml"];
    EXPECT_LT(settings.find("w:zoom"), settings.find("w:docVars"));
    EXPECT_LT(settings.find("w:docVars"), settings.find("w:rsids")) << "schema order";
    for (const auto& name : reopened->VariableNames()) {
        reopened->Variables().Item(name).Delete();
    }
    EXPECT_EQ(reopened->Variables().Count(), 0);
    reopened->Save();
    EXPECT_THAT(ReadZip(dir / "out.docx")["word/settings.xml"],
                ::testing::Not(HasSubstr("docVars")));
}

TEST(VariablesTest, ADocumentWithoutSettingsGetsThemWhenAVariableIsSet) {
    TempDir dir;
    WriteDocx(dir / "doc.docx", "<w:p><w:r><w:t>x</w:t></w:r></w:p>", nullptr);
    auto document = DocxDocument::Open(dir / "doc.docx");
    EXPECT_EQ(document->Variables().Count(), 0);
    document->RemoveVariable("Nothing");
    EXPECT_TRUE(document->Saved()) << "deleting nothing changes nothing";
    document->Variables().Add("VARDOC_DOC_ID", "ID");
    document->Save();
    auto parts = ReadZip(dir / "doc.docx");
    EXPECT_THAT(parts["[Content_Types].xml"], HasSubstr(R"(PartName="/word/settings.xml")"));
    EXPECT_THAT(parts["word/_rels/document.xml.rels"], HasSubstr(R"(Target="settings.xml")"));
    EXPECT_EQ(DocxDocument::Open(dir / "doc.docx")->Variables().Item("VARDOC_DOC_ID").Value(),
              "ID");
}

TEST(SaveTest, PartsNobodyChangedComeOutUnchanged) {
    TempDir dir;
    std::string body = R"(<w:p><w:r><w:t>Body</w:t></w:r></w:p>)";
    WriteDocx(dir / "doc.docx", body, R"(<w:docVars><w:docVar w:name="A" w:val="1"/></w:docVars>)");
    auto before = ReadZip(dir / "doc.docx");
    auto document = DocxDocument::Open(dir / "doc.docx");
    document->SaveAs(dir / "same.docx");
    EXPECT_EQ(ReadZip(dir / "same.docx"), before) << "nothing edited, nothing rewritten";
    document->Variables().Item("A").SetValue("2");
    document->Save();
    auto after = ReadZip(dir / "same.docx");
    EXPECT_EQ(after["word/document.xml"], before["word/document.xml"]);
    EXPECT_NE(after["word/settings.xml"], before["word/settings.xml"]);
    EXPECT_TRUE(document->Saved());
    EXPECT_EQ(document->Name(), "same.docx");
    EXPECT_EQ(document->FullName(), (dir.Path() / "same.docx").string());
}

TEST(SaveTest, TemplatesAndDocumentsSwapTheirContentType) {
    TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("Template text");
    EXPECT_THROW(document.Save(), HostError) << "a new document needs a file first";
    document.SaveAs(dir / "veln.dotx", SaveFormat::Template);
    EXPECT_THAT(ReadZip(dir / "veln.dotx")["[Content_Types].xml"],
                HasSubstr("wordprocessingml.template.main+xml"));
    auto opened = DocxDocument::Open(dir / "veln.dotx");
    EXPECT_TRUE(opened->IsTemplate());
    EXPECT_EQ(opened->Content().Text(), "Template text\r");
    opened->SaveAs(dir / "plain.docx", SaveFormat::Document);
    EXPECT_FALSE(DocxDocument::Open(dir / "plain.docx")->IsTemplate());
}

TEST(SaveTest, AFailedSaveNamesTheFileAndLeavesTheOldOneWhole) {
    TempDir dir;
    WriteDocx(dir / "doc.docx", R"(<w:p><w:r><w:t>Body</w:t></w:r></w:p>)");
    std::string original = ReadFile(dir / "doc.docx");
    auto document = DocxDocument::Open(dir / "doc.docx");
    document->InsertText(0, "Changed ");
    WriteFile(dir / "file", "not a folder");
    EXPECT_THAT(ErrorOf<HostError>([&] { document->SaveAs(dir / "file/doc.docx"); }).text,
                HasSubstr(dir / "file/doc.docx"));
    EXPECT_EQ(document->FullName(), (dir.Path() / "doc.docx").string());
    EXPECT_FALSE(document->Saved());
    EXPECT_EQ(ReadFile(dir / "doc.docx"), original);
    document->Save();
    EXPECT_EQ(DocxDocument::Open(dir / "doc.docx")->Content().Text(), "Changed Body\r");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2)
        << "no temporary file is left";
}

TEST(ApplicationTest, DocumentsAreAddedOpenedActivatedAndClosed) {
    TempDir dir;
    WriteDocx(dir / "a.docx", "<w:p/>");
    DocxApplication app;
    EXPECT_EQ(app.ActiveDocument(), nullptr);
    Document& first = app.AddDocument();
    Document& hidden = app.AddDocument(false);
    EXPECT_EQ(hidden.Name(), "Document2");
    EXPECT_FALSE(hidden.Visible());
    EXPECT_EQ(app.ActiveDocument(), &first) << "a hidden document does not become active";
    Document& opened = app.OpenDocument(dir / "a.docx");
    EXPECT_EQ(app.ActiveDocument(), &opened);
    EXPECT_EQ(app.FindDocument("a.docx"), &opened);
    EXPECT_EQ(app.DocumentCount(), 3);
    app.Activate(first);
    EXPECT_EQ(app.ActiveDocument(), &first);
    app.CloseDocument(first);
    EXPECT_EQ(app.ActiveDocument(), &opened);
    EXPECT_EQ(app.DocumentItem(1).Name(), "Document2");
    EXPECT_THROW(app.DocumentItem(3), HostError);
    EXPECT_EQ(app.AddDocument().Name(), "Document3") << "numbers are not reused";
}

TEST(BadInputTest, FilesThatAreNotWordDocumentsAreRefusedWithTheirReason) {
    TempDir dir;
    WriteFile(dir / "text.docx", "plain text, not a package");
    WriteFile(dir / "legacy.doc",
              std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
    WriteFile(dir / "letter.rtf", "{\\rtf1\\ansi hello}");
    test::WriteZip(dir / "nodoc.docx",
                   {{"[Content_Types].xml", "<Types/>"}, {"other.xml", "<x/>"}});
    WriteDocx(dir / "badxml.docx", "<w:p><w:r><w:t>unclosed</w:r></w:p>");
    test::WriteZip(dir / "dtd.docx",
                   {{"[Content_Types].xml", "<Types/>"},
                    {"word/document.xml",
                     "<!DOCTYPE d [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><w:document " +
                         std::string(test::W_DECL) +
                         "><w:body><w:p><w:r><w:t>&e;</w:t></w:r></w:p></w:body></w:document>"}});
    test::WriteZip(dir / "notword.docx",
                   {{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", "<html/>"}});
    const std::map<std::string, std::string> reasons{
        {"text.docx", "not a zip package"},
        {"legacy.doc", "legacy binary"},
        {"letter.rtf", "RTF"},
        {"nodoc.docx", "no main document part"},
        {"badxml.docx", "not well-formed XML"},
        {"dtd.docx", "DTD"},
        {"notword.docx", "not a word-processing document"},
        {"missing.docx", "does not exist"}};
    for (const auto& [name, reason] : reasons) {
        const std::string path = dir / name;
        EXPECT_THAT(ErrorOf<HostError>([&] { DocxDocument::Open(path); }).text,
                    AllOf(HasSubstr(name), HasSubstr(reason)));
    }
    EXPECT_THROW(DocxDocument::Open(dir.Path().string()), HostError) << "a folder";
}

TEST(SerializeTest, AWidePartWrittenInHalvesIsTheSameXml) {
    TempDir dir;
    std::string body;
    for (int i = 0; i < 40; ++i) {
        body += R"(<w:p w:rsidR="00AB"><w:r><w:t xml:space="preserve">Line )" + std::to_string(i) +
                R"( &amp; "quoted" &lt;tag&gt;</w:t></w:r></w:p>)";
    }
    body += R"(<w:sectPr><w:pgSz w:w="11906"/></w:sectPr>)";
    WriteDocx(dir / "wide.docx", body);
    std::map<std::string, std::string> parts = ReadZip(dir / "wide.docx");
    // The root's attributes hold characters that must be written as references.
    std::string xml = parts["word/document.xml"];
    xml.replace(xml.find("<w:document "), 12, "<w:document data=\"a&amp;b&lt;&quot;&#10;\" ");
    auto part = XmlPart::Parse(xml, "word/document.xml", "wide.docx");
    std::string whole = part->Serialize(std::numeric_limits<std::size_t>::max());
    EXPECT_EQ(part->Serialize(0), whole);
    EXPECT_NE(whole.find(R"(data="a&amp;b&lt;&quot;&#10;")"), std::string::npos);
    // And every document of the corpus.
    const fs::path corpus = test::CorpusDir();
    if (fs::is_directory(corpus)) {
        for (const auto& entry : fs::directory_iterator(corpus)) {
            if (!entry.path().filename().string().starts_with("malformed") &&
                entry.path().extension() != ".md") {
                auto entries = ReadZip(entry.path().string());
                for (const auto& [name, data] : entries) {
                    if (name.ends_with("document.xml")) {
                        auto part = XmlPart::Parse(data, name, entry.path().string());
                        EXPECT_EQ(part->Serialize(0),
                                  part->Serialize(std::numeric_limits<std::size_t>::max()))
                            << entry.path() << " " << name;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace veln::host::docx
