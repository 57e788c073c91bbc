// Files built to hurt the reader: nesting deep enough to exhaust the stack,
// packages that inflate to gigabytes, files that are not files, entries named
// twice, characters XML forbids. Each is refused with its reason, or read
// without losing anything; nothing crashes, hangs or runs out of memory.
#include <array>
#include <csignal>
#include <functional>
#include <sstream>

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include "docx_fixture.h"
#include "error_of.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/word/range.h"
#include "host/word/variables.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

using test::PackageProblems;
using test::TempDir;
using test::WriteDocx;
using ::testing::HasSubstr;

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

std::string Nested(std::string_view open, std::string_view close, int depth,
                   std::string_view inside) {
    return Repeat(open, depth) + std::string(inside) + Repeat(close, depth);
}

// What opening path is refused with.
std::string Refusal(const std::string& path) {
    return test::ErrorOf<HostError>([&] { DocxDocument::Open(path); }).text;
}

// Runs work in a child process allowed `seconds`: what work returned, or how
// the child ended when it hung or crashed.
std::string InChild(const std::function<std::string()>& work, unsigned seconds) {
    std::array<int, 2> pipe{};
    if (::pipe(pipe.data()) != 0) {
        return "no pipe";
    }
    pid_t child = fork();
    if (child == 0) {
        ::close(pipe[0]);
        ::alarm(seconds);
        std::string verdict = work();
        (void)!::write(pipe[1], verdict.data(), verdict.size());
        _exit(0);
    }
    ::close(pipe[1]);
    std::string verdict;
    std::array<char, 256> buffer{};
    for (ssize_t read = 0; (read = ::read(pipe[0], buffer.data(), buffer.size())) > 0;) {
        verdict.append(buffer.data(), static_cast<std::size_t>(read));
    }
    ::close(pipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) {
        return WTERMSIG(status) == SIGALRM ? "hung"
                                           : "died of signal " + std::to_string(WTERMSIG(status));
    }
    return verdict;
}

// A package whose entries are copies of one compressed entry, made without
// deflating each copy again.
void WriteCopies(const std::string& path, const std::map<std::string, std::string>& parts,
                 const std::string& copyName, const std::string& data, int copies) {
    std::string one = path + ".one";
    test::WriteZip(one, {{"x", data}});
    zip_t* source = zip_open(one.c_str(), ZIP_RDONLY, nullptr);
    zip_t* out = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    ASSERT_NE(source, nullptr);
    ASSERT_NE(out, nullptr);
    for (const auto& [name, text] : parts) {
        zip_file_add(out, name.c_str(), zip_source_buffer(out, text.data(), text.size(), 0), 0);
    }
    for (int i = 0; i < copies; ++i) {
        std::string name = copyName + std::to_string(i) + ".xml";
        zip_file_add(out, name.c_str(), zip_source_zip(out, source, 0, 0, 0, -1), 0);
    }
    ASSERT_EQ(zip_close(out), 0);
    zip_discard(source);
}

const std::map<std::string, std::string>& SmallPackage() {
    static const std::map<std::string, std::string> parts{
        {"[Content_Types].xml",
         R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="xml" ContentType="application/xml"/></Types>)"},
        {"word/document.xml", "<w:document " + std::string(test::W_DECL) +
                                  "><w:body><w:p><w:r><w:t>small</w:t></w:r></w:p></w:body>"
                                  "</w:document>"}};
    return parts;
}

TEST(ReaderLimitsTest, NestingPastItsLimitIsRefusedNamingTheFile) {
    TempDir dir;
    const std::string text = "<w:p><w:r><w:t>deep</w:t></w:r></w:p>";
    const std::map<std::string, std::string> bodies{
        {"tables.docx", Nested("<w:tbl><w:tr><w:tc>", "</w:tc></w:tr></w:tbl>", 20000, text)},
        {"controls.docx", Nested("<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>", 50000, text)},
        {"links.docx",
         "<w:p>" + Nested("<w:hyperlink>", "</w:hyperlink>", 100000, "<w:r><w:t>x</w:t></w:r>") +
             "</w:p>"}};
    for (const auto& [name, body] : bodies) {
        WriteDocx(dir / name, body);
        std::string refusal = Refusal(dir / name);
        EXPECT_THAT(refusal, HasSubstr(name));
        EXPECT_THAT(refusal, HasSubstr("nested more than 256 levels")) << name;
    }
    // Eighty tables in one another are within the limit.
    WriteDocx(dir / "eighty.docx",
              Nested("<w:tbl><w:tr><w:tc>", "</w:tc></w:tr></w:tbl>", 80, text));
    EXPECT_EQ(DocxDocument::Open(dir / "eighty.docx")->Content().Text(), "deep\r");
}

TEST(ReaderLimitsTest, PackagesThatInflateBeyondTheirBoundsAreRefusedBeforeInflating) {
    TempDir dir;
    // 110 parts of exactly 10 MiB: 1.1 GiB from a file of about a megabyte.
    WriteCopies(dir / "parts.docx", SmallPackage(), "word/part", std::string(10 << 20, ' '), 110);
    EXPECT_THAT(Refusal(dir / "parts.docx"), HasSubstr("larger than 1 GiB uncompressed in all"));
    // A main part over what the model reads: settings and document alike count.
    std::string big = "<w:document " + std::string(test::W_DECL) +
                      "><w:body><w:p/></w:body></w:document>" + std::string(65 << 20, ' ');
    test::WriteZip(dir / "big.docx",
                   {{"[Content_Types].xml", SmallPackage().at("[Content_Types].xml")},
                    {"word/document.xml", big}});
    EXPECT_THAT(Refusal(dir / "big.docx"), HasSubstr("larger than 64 MiB in all"));
}

TEST(ReaderLimitsTest, AnEntryClaimingMoreBytesThanTheFileHoldsIsRefusedAtOpen) {
    TempDir dir;
    WriteDocx(dir / "sizes.docx", "<w:p><w:r><w:t>kept</w:t></w:r></w:p>");
    std::string bytes = test::ReadFile(dir / "sizes.docx");
    // The central directory's compressed size of the first entry, made larger
    // than the whole file: the part cannot be read, so no save could copy it.
    std::size_t header = bytes.find("PK\x01\x02");
    ASSERT_NE(header, std::string::npos);
    constexpr std::size_t COMPRESSED_SIZE = 20;
    for (std::size_t k = 0; k < 4; ++k) {
        bytes[header + COMPRESSED_SIZE + k] = '\x7f';
    }
    test::WriteFile(dir / "sizes.docx", bytes);
    EXPECT_THAT(Refusal(dir / "sizes.docx"), HasSubstr("claims more bytes than the file holds"));

    // Smaller than the file, but running past its end from the entry's own
    // place: the last entry's stored size made as large as the file.
    WriteDocx(dir / "tail.docx", "<w:p><w:r><w:t>kept</w:t></w:r></w:p>");
    bytes = test::ReadFile(dir / "tail.docx");
    header = bytes.rfind("PK\x01\x02");
    ASSERT_NE(header, std::string::npos);
    const auto size = static_cast<std::uint32_t>(bytes.size() - 1);
    for (std::size_t k = 0; k < 4; ++k) {
        bytes[header + COMPRESSED_SIZE + k] = static_cast<char>((size >> (8 * k)) & 0xFF);
    }
    test::WriteFile(dir / "tail.docx", bytes);
    EXPECT_THAT(Refusal(dir / "tail.docx"), HasSubstr("claims more bytes than the file holds"));
}

TEST(ReaderLimitsTest, AHighlyCompressibleDocumentOfHalfAMillionRunsOpens) {
    TempDir dir;
    std::string paragraph =
        "<w:p>" + Repeat("<w:r><w:rPr><w:b/></w:rPr><w:t>x</w:t></w:r>", 500) + "</w:p>";
    WriteDocx(dir / "runs.docx", Repeat(paragraph, 1000));
    auto entries = test::ReadZip(dir / "runs.docx");
    ASSERT_GT(entries["word/document.xml"].size(), 10U << 20);
    auto document = DocxDocument::Open(dir / "runs.docx");
    EXPECT_EQ(document->StoryEnd(), 500000 + 1000);
    EXPECT_EQ(document->TextOf(0, 3), "xxx");
}

TEST(ReaderLimitsTest, OnlyRegularFilesAreReadAsDocuments) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.docx").c_str(), 0600), 0);
    for (const std::string& path : {dir / "pipe.docx", std::string("/dev/zero")}) {
        std::string verdict = InChild([&] { return Refusal(path); }, 30);
        EXPECT_THAT(verdict, HasSubstr("is not a regular file")) << path;
        EXPECT_THAT(verdict, HasSubstr(path));
    }
}

TEST(ReaderLimitsTest, AnEntryNamedTwiceKeepsTheFirstSaysSoAndSavesWork) {
    TempDir dir;
    // Two entries of one name: libzip writes two names ("documenX" first,
    // as it sorts first), then that one is renamed byte for byte in the file.
    std::map<std::string, std::string> parts = SmallPackage();
    parts["word/documenX.xml"] = "<w:document " + std::string(test::W_DECL) +
                                 "><w:body><w:p><w:r><w:t>first</w:t></w:r></w:p></w:body>"
                                 "</w:document>";
    test::WriteZip(dir / "twice.docx", parts);
    std::string bytes = test::ReadFile(dir / "twice.docx");
    for (std::size_t at = bytes.find("documenX"); at != std::string::npos;
         at = bytes.find("documenX", at)) {
        bytes[at + 7] = 't';
    }
    test::WriteFile(dir / "twice.docx", bytes);

    std::ostringstream log;
    DocxApplication app(nullptr, &log);
    Document& document = app.OpenDocument(dir / "twice.docx");
    EXPECT_EQ(document.Content().Text(), "first\r");
    EXPECT_THAT(log.str(), HasSubstr("word/document.xml more than once: the first is kept"));
    document.InsertText(0, "edited ");
    document.Save();
    document.SaveAs(dir / "copy.docx");
    EXPECT_EQ(PackageProblems(dir / "twice.docx"), "");
    EXPECT_EQ(DocxDocument::Open(dir / "copy.docx")->Content().Text(), "edited first\r");
}

TEST(ReaderLimitsTest, CharactersXmlForbidsAreMendedWithNothingLostAfterThem) {
    TempDir dir;
    WriteDocx(dir / "controls.docx",
              "<w:p><w:r><w:t>before&#0;after</w:t></w:r><w:r><w:t>raw\x01"
              "byte &#x1B; bad\xFF"
              "utf8</w:t></w:r></w:p>",
              R"(<w:docVars><w:docVar w:name="V" w:val="a&#1;b"/></w:docVars>)");
    std::ostringstream log;
    DocxApplication app(nullptr, &log);
    Document& document = app.OpenDocument(dir / "controls.docx");
    EXPECT_EQ(document.Content().Text(), "before\uFFFDafterraw\uFFFDbyte \uFFFD bad\uFFFDutf8\r");
    EXPECT_EQ(document.Variables().Item("V").Value(), "a\uFFFDb");
    EXPECT_THAT(log.str(), HasSubstr("replaced by U+FFFD"));
    document.InsertText(0, "Edited ");
    document.Variables().Add("W", "new");
    document.Save();
    EXPECT_EQ(PackageProblems(dir / "controls.docx"), "");
}

}  // namespace
}  // namespace veln::host::docx
