// Names and relationships of the parts of a Word package: where a part's
// relationships live, how a relationship's target names a part, the
// relationship types and content types the model reads and writes.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "host/docx/xml_part.h"

namespace veln::host::docx {

inline constexpr const char* REL_NS_TRANSITIONAL =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
inline constexpr const char* REL_NS_STRICT =
    "http://purl.oclc.org/ooxml/officeDocument/relationships/";
inline constexpr const char* CT_SETTINGS =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";
inline constexpr const char* CONTENT_TYPES = "[Content_Types].xml";

// Main part content types: a document's and the matching template's, without
// macros and with them.
inline constexpr std::array<std::pair<const char*, const char*>, 2> MAIN_TYPES{{
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
     "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"},
    {"application/vnd.ms-word.document.macroEnabled.main+xml",
     "application/vnd.ms-word.template.macroEnabledTemplate.main+xml"},
}};

// The folder of a part ("word" for "word/document.xml"), "" at the root.
std::string Folder(const std::string& part);
// The relationships part of a part ("word/_rels/document.xml.rels").
std::string RelationshipsOf(const std::string& part);
// A relationship target, relative to the source part's folder, as a part name.
std::string ResolveTarget(const std::string& sourceFolder, const std::string& target);
// The relationship of that type ("officeDocument", "settings"), transitional
// or strict; an empty node when there is none.
pugi::xml_node FindRelationship(const XmlPart* rels, const char* kind);

}  // namespace veln::host::docx
