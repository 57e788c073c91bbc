// Hyperlinks written as HYPERLINK fields (begin, instruction, separate,
// result, end), as LibreOffice writes a link to a place in another file and
// as Word may: their results are hyperlinks as much as w:hyperlink is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include <pugixml.hpp>

#include "host/docx/wml.h"

namespace veln::host::docx {

struct FieldHyperlink {
    std::size_t field = 0;  // which field of the paragraph, from 1
    std::string address;
    std::string subAddress;  // the \l switch
};

// LibreOffice writes the place in the target file as the target's fragment
// ("other.docx#ELEM10000002"), with or without naming it again as the
// place: the fragment is the sub-address when it is the only place named,
// or the same one.
void TakeFragment(std::string& address, std::string& subAddress);

// The instruction " HYPERLINK "target" \l "place" \o "tip" ": its target and
// place; an instruction of another field gives nothing.
std::optional<FieldHyperlink> ParseHyperlinkInstruction(std::string_view instruction);

struct NodeHash {
    std::size_t operator()(const pugi::xml_node& node) const { return node.hash_value(); }
};
using FieldHyperlinkRuns = std::unordered_map<pugi::xml_node, FieldHyperlink, NodeHash>;

// The runs of a paragraph that show a HYPERLINK field's result, by run.
FieldHyperlinkRuns HyperlinkFieldRuns(pugi::xml_node paragraph, const Wml& n);

}  // namespace veln::host::docx
