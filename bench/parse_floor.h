// The floor of opening a .docx: unzip the main part and parse it with
// pugixml alone, nothing of the model. Figures of opening are read beside it.
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

namespace veln::bench {

// The main part's text, and pugixml's tree parsed in place over it.
struct ParsedMainPart {
    std::string xml;
    pugi::xml_document document;
};

// word/document.xml of the package at path, uncompressed.
std::string ReadMainPart(const std::string& path);

std::unique_ptr<ParsedMainPart> ParseMainPart(const std::string& path);

}  // namespace veln::bench
