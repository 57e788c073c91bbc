#include "docx_fixture.h"

#include <stdexcept>
#include <vector>

#include <zip.h>

#include "shell_output.h"

namespace veln::test {

void WriteZip(const std::string& path, const std::map<std::string, std::string>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    for (const auto& [name, data] : entries) {
        zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
        zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write " + path);
    }
}

void WriteDocx(const std::string& path, const std::string& bodyXml, const char* settingsXml) {
    std::map<std::string, std::string> entries{
        {"[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
         R"(<Default Extension="xml" ContentType="application/xml"/>)"
         R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
         R"(</Types>)"},
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
         R"(</Relationships>)"},
        {"word/document.xml",
         std::string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
             "<w:document " + W_DECL + "><w:body>" + bodyXml + "</w:body></w:document>"},
    };
    if (settingsXml != nullptr) {
        entries["word/_rels/document.xml.rels"] =
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>)"
            R"(</Relationships>)";
        entries["word/settings.xml"] =
            std::string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
            "<w:settings " + W_DECL + ">" + settingsXml + "</w:settings>";
    }
    WriteZip(path, entries);
}

std::map<std::string, std::string> ReadZip(const std::string& path) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        throw std::runtime_error("cannot read " + path);
    }
    std::map<std::string, std::string> entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string data(stat.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file != nullptr) {
            zip_fread(file, data.data(), data.size());
            zip_fclose(file);
        }
        entries[stat.name] = data;
    }
    zip_discard(archive);
    return entries;
}

std::string PackageProblems(const std::string& path) {
    std::string command = "python3 '" VELN_CHECK_PACKAGE "' '" + path + "'";
    ShellRun run = RunShell(command);
    if (run.status != 0 && run.output.empty()) {
        return "the check failed without a word (" + command + ")";
    }
    return run.output;
}

}  // namespace veln::test
