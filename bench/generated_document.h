// A large generated .docx for the benchmarks: paragraphs of realistic markup
// (styles, run properties, revision ids), every k-th one under a bookmark.
#pragma once

#include <string>

namespace veln::bench {

struct GeneratedDocument {
    std::string documentXml;  // the main part, uncompressed
    int paragraphs = 0;
    int bookmarks = 0;
};

// Writes the package to path and returns its main part.
GeneratedDocument WriteGeneratedDocx(const std::string& path, int paragraphs, int bookmarks);

}  // namespace veln::bench
