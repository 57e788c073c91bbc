// What the model writes is a package every reader takes: characters XML
// cannot hold are refused where they enter or written as their elements,
// broken settings are mended or left alone, never half-written, and a file
// holds what its extension says. Python's parsers judge every file written.
#include <gmock/gmock.h>

#include "docx_fixture.h"
#include "error_of.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/variables.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::ErrorOf;
using test::PackageProblems;
using test::ReadZip;
using test::TempDir;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* SETTINGS_TYPE =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";

std::string Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return std::to_string(count);
}

TEST(WriterValidityTest, ControlCharactersAreRefusedWhereTheyEnterOrWrittenAsElements) {
    TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("Body");
    document.SaveAs(dir / "doc.docx");
    for (const std::string& text : {std::string("a\x01z"), std::string("nul\0z", 5),
                                    std::string("\xEF\xBF\xBF"), std::string("bad\xC3")}) {
        EXPECT_THROW(document.InsertText(0, text), HostError);
        EXPECT_THROW(document.Variables().Add("V", text), HostError);
        EXPECT_THROW(document.Variables().Add(text, "value"), HostError);
    }
    EXPECT_EQ(document.Content().Text(), "Body\r");
    EXPECT_EQ(document.Variables().Count(), 0);
    EXPECT_TRUE(document.Saved()) << "a refused edit changes nothing";

    // The story's own characters become its elements; tabs and line feeds
    // are text XML holds.
    const std::string story =
        "line\vbreak\fpage\x0E"
        "column\x1E"
        "hard\x1F"
        "soft\ttab";
    document.InsertText(0, story);
    document.Variables().Add("V", "tab\tand\nline");
    document.Save();
    EXPECT_EQ(PackageProblems(dir / "doc.docx"), "");
    std::string xml = ReadZip(dir / "doc.docx")["word/document.xml"];
    EXPECT_THAT(xml, HasSubstr(R"(<w:br w:type="page"/>)"));
    EXPECT_THAT(xml, HasSubstr("<w:noBreakHyphen/>"));
    auto reopened = DocxDocument::Open(dir / "doc.docx");
    EXPECT_EQ(reopened->Content().Text(), story + "Body\r");
    EXPECT_EQ(reopened->Variables().Item("V").Value(), "tab\tand\nline");
}

TEST(WriterValidityTest, BookmarkNamesMustBeWellFormedUtf8) {
    TempDir dir;
    DocxApplication app;
    Document& document = app.AddDocument();
    document.Content().InsertAfter("Body text");
    Range range = document.MakeRange(0, 4);
    EXPECT_THROW(document.Bookmarks().Add("ELEM\xFF\xFE", range), HostError);
    EXPECT_THROW(document.Bookmarks().Add("\xC3", range), HostError);
    EXPECT_THROW(document.SetBookmark("Half\xE2\x82", 0, 4), HostError);
    // Forty characters, not forty bytes.
    const std::string cyrillic = "Требование_тридцать_букв_ровно_3";
    document.Bookmarks().Add(cyrillic, range);
    EXPECT_EQ(document.Bookmarks().Count(), 1);
    document.SaveAs(dir / "doc.docx");
    EXPECT_EQ(PackageProblems(dir / "doc.docx"), "");
    EXPECT_TRUE(DocxDocument::Open(dir / "doc.docx")->Bookmarks().Exists(cyrillic));
}

TEST(WriterValidityTest, ASettingsRelationshipToAMissingPartIsMendedWhenAVariableIsSet) {
    TempDir dir;
    test::WriteDocx(dir / "made.docx", "<w:p><w:r><w:t>Body</w:t></w:r></w:p>", nullptr);
    auto entries = ReadZip(dir / "made.docx");
    test::WriteDocx(dir / "with.docx", "<w:p/>");
    entries["word/_rels/document.xml.rels"] =
        ReadZip(dir / "with.docx")["word/_rels/document.xml.rels"];
    std::string& types = entries["[Content_Types].xml"];
    types.insert(types.find("</Types>"),
                 std::string(R"(<Override PartName="/word/settings.xml" ContentType=")") +
                     SETTINGS_TYPE + R"("/>)");
    test::WriteZip(dir / "broken.docx", entries);
    ASSERT_NE(PackageProblems(dir / "broken.docx"), "") << "the relationship leads nowhere";

    auto document = DocxDocument::Open(dir / "broken.docx");
    document->Variables().Add("VARDOC_DOC_ID", "ABCD1234");
    document->Save();
    EXPECT_EQ(PackageProblems(dir / "broken.docx"), "");
    auto saved = ReadZip(dir / "broken.docx");
    EXPECT_EQ(Count(saved["[Content_Types].xml"], "settings+xml"), "1");
    EXPECT_EQ(Count(saved["word/_rels/document.xml.rels"], "/settings\""), "1");
    EXPECT_EQ(DocxDocument::Open(dir / "broken.docx")->Variables().Item("VARDOC_DOC_ID").Value(),
              "ABCD1234");
}

TEST(WriterValidityTest, SettingsOfAnotherVocabularyAreNeverWrittenInto) {
    TempDir dir;
    test::WriteDocx(dir / "made.docx", "<w:p><w:r><w:t>Body</w:t></w:r></w:p>");
    auto entries = ReadZip(dir / "made.docx");
    const std::string foreign = R"(<cfg xmlns="urn:example:other"><keep>as it is</keep></cfg>)";
    entries["word/settings.xml"] = foreign;
    test::WriteZip(dir / "foreign.docx", entries);

    auto document = DocxDocument::Open(dir / "foreign.docx");
    EXPECT_EQ(document->Variables().Count(), 0);
    EXPECT_THAT(
        ErrorOf<HostError>([&] { document->Variables().Add("VARDOC_DOC_ID", "ABCD1234"); }).text,
        HasSubstr("cannot hold document variables"));
    document->InsertText(0, "Edited ");
    document->Save();
    EXPECT_EQ(PackageProblems(dir / "foreign.docx"), "");
    EXPECT_EQ(ReadZip(dir / "foreign.docx")["word/settings.xml"], foreign);
}

TEST(WriterValidityTest, SavingUnderAnotherExtensionWritesThatFormatOrRefuses) {
    TempDir dir;
    const std::string macroType = "application/vnd.ms-word.document.macroEnabled.main+xml";
    test::WriteDocx(dir / "made.docx", "<w:p><w:r><w:t>Body</w:t></w:r></w:p>");
    auto entries = ReadZip(dir / "made.docx");
    std::string& types = entries["[Content_Types].xml"];
    types.replace(types.find("application/vnd.openxmlformats-officedocument.wordprocessingml."
                             "document.main+xml"),
                  std::string("application/vnd.openxmlformats-officedocument.wordprocessingml."
                              "document.main+xml")
                      .size(),
                  macroType);
    types.insert(
        types.find("<Override"),
        R"(<Default Extension="bin" ContentType="application/vnd.ms-office.vbaProject"/>)");
    entries["word/_rels/document.xml.rels"] =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId9" Type="http://schemas.microsoft.com/office/2006/relationships/vbaProject" Target="vbaProject.bin"/>)"
        R"(</Relationships>)";
    entries["word/vbaProject.bin"] = std::string("macros\0here", 11);
    test::WriteZip(dir / "macros.docm", entries);

    auto document = DocxDocument::Open(dir / "macros.docm");
    EXPECT_THAT(ErrorOf<HostError>([&] { document->SaveAs(dir / "plain.docx"); }).text,
                HasSubstr("holds macros"));
    EXPECT_FALSE(std::filesystem::exists(dir / "plain.docx"));
    document->SaveAs(dir / "kept.dotm");
    EXPECT_EQ(PackageProblems(dir / "kept.dotm"), "");
    auto kept = DocxDocument::Open(dir / "kept.dotm");
    EXPECT_TRUE(kept->IsTemplate());
    EXPECT_TRUE(kept->IsMacroEnabled());

    // Without macros, the extension alone decides.
    DocxApplication app;
    Document& plain = app.AddDocument();
    plain.Content().InsertAfter("Plain");
    plain.SaveAs(dir / "now.docm");
    auto docm = DocxDocument::Open(dir / "now.docm");
    EXPECT_TRUE(docm->IsMacroEnabled());
    EXPECT_FALSE(docm->IsTemplate());
    docm->SaveAs(dir / "back.docx");
    EXPECT_THAT(ReadZip(dir / "back.docx")["[Content_Types].xml"], Not(HasSubstr("macroEnabled")));
    EXPECT_THROW(docm->SaveAs(dir / "template.docx", SaveFormat::Template), HostError);
    for (const char* name : {"now.docm", "back.docx"}) {
        EXPECT_EQ(PackageProblems(dir / name), "") << name;
    }
}

}  // namespace
}  // namespace veln::host::docx
