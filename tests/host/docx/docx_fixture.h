// Documents for the model's tests: packages written from given XML, and a
// look inside saved packages.
#pragma once

#include <map>
#include <string>

namespace veln::test {

inline constexpr const char* W_DECL =
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";

// Writes a .docx whose body is bodyXml (the inside of w:body) and whose
// settings part holds settingsXml (the inside of w:settings; none when null).
void WriteDocx(const std::string& path, const std::string& bodyXml, const char* settingsXml = "");
// Writes a zip file of the given entries.
void WriteZip(const std::string& path, const std::map<std::string, std::string>& entries);
// The uncompressed entries of a zip file.
std::map<std::string, std::string> ReadZip(const std::string& path);
// What Python's own zip and XML parsers find wrong with a package ("" when
// it holds together: well-formed parts, one content type each, no entry
// twice, relationships that lead somewhere).
std::string PackageProblems(const std::string& path);

}  // namespace veln::test
