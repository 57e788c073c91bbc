#include "generated_document.h"

#include <stdexcept>

#include <zip.h>

namespace veln::bench {

namespace {

const char* const WORDS[] = {"requirement", "the",     "system", "shall",  "brake",  "within",
                             "response",    "time",    "of",     "sensor", "signal", "étalonnage",
                             "operator",    "display", "alarm",  "and"};

std::string Sentence(int index, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        text += WORDS[(index * 7 + i * 3) % 16];
        text += ' ';
    }
    return text;
}

}  // namespace

GeneratedDocument WriteGeneratedDocx(const std::string& path, int paragraphs, int bookmarks) {
    GeneratedDocument generated;
    generated.paragraphs = paragraphs;
    generated.bookmarks = bookmarks;
    int every = bookmarks > 0 ? paragraphs / bookmarks : paragraphs + 1;
    std::string& xml = generated.documentXml;
    xml.reserve(static_cast<std::size_t>(paragraphs) * 420);
    xml +=
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><w:body>)";
    int marked = 0;
    for (int p = 0; p < paragraphs; ++p) {
        bool mark = every > 0 && p % every == 0 && marked < bookmarks;
        xml +=
            R"(<w:p w:rsidR="00A1B2C3" w:rsidRDefault="00D4E5F6"><w:pPr><w:pStyle w:val="BodyText"/>)"
            R"(<w:spacing w:after="120"/></w:pPr>)";
        if (mark) {
            xml += R"(<w:bookmarkStart w:id=")" + std::to_string(marked) + R"(" w:name="ELEM)" +
                   std::to_string(10000000 + marked) + R"("/>)";
        }
        xml += R"(<w:r w:rsidRPr="00112233"><w:rPr><w:rFonts w:ascii="Calibri" w:hAnsi="Calibri"/>)"
               R"(<w:sz w:val="22"/></w:rPr><w:t xml:space="preserve">)" +
               Sentence(p, 12) + R"(</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>)" +
               Sentence(p + 1, 8) + "</w:t></w:r>";
        if (mark) {
            xml += R"(<w:bookmarkEnd w:id=")" + std::to_string(marked) + R"("/>)";
            ++marked;
        }
        xml += "</w:p>";
    }
    xml += R"(<w:sectPr><w:pgSz w:w="11906" w:h="16838"/></w:sectPr></w:body></w:document>)";

    const std::string contentTypes =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
        R"(</Types>)";
    const std::string rels =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
        R"(</Relationships>)";
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    for (const auto& [name, data] :
         {std::pair<const char*, const std::string*>{"[Content_Types].xml", &contentTypes},
          {"_rels/.rels", &rels},
          {"word/document.xml", &xml}}) {
        zip_source_t* source = zip_source_buffer(archive, data->data(), data->size(), 0);
        zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6);
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write " + path);
    }
    return generated;
}

}  // namespace veln::bench
