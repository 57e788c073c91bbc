#include <algorithm>
#include <array>
#include <filesystem>

#include "host/docx/blank_document.h"
#include "host/docx/docx_document.h"
#include "host/docx/field_hyperlinks.h"
#include "host/docx/file_replacement.h"
#include "host/docx/package_parts.h"
#include "host/docx/xml_text.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::host::docx {

HyperlinkInfo DocxDocument::AddHyperlink(long start, long end, const std::string& address,
                                         const std::string& subAddress,
                                         const std::string& textToDisplay) {
    RequireWritable(address, "The hyperlink's address", WordError::COMMAND_FAILED);
    RequireWritable(subAddress, "The hyperlink's sub-address", WordError::COMMAND_FAILED);
    RequireWritable(textToDisplay, "The hyperlink's text", WordError::COMMAND_FAILED,
                    IsStoryCharacter);
    start = Clamp(start);
    end = std::max(start, Clamp(end));
    auto [paragraph, offset] = story_->Locate(start);
    if (offset + (end - start) > paragraph->length) {
        throw HostError(WordError::COMMAND_FAILED, "a hyperlink must lie within one paragraph");
    }
    std::string text = textToDisplay;
    if (text.empty() && start == end) {
        text = address.empty() ? subAddress : address;
    }
    if (!text.empty()) {
        DeleteText(start, end);
        InsertText(start, text);
        end = start + CountCharacters(text);
    }
    std::vector<pugi::xml_node> runs =
        story_->RunsCovering(*paragraph, offset, offset + (end - start));
    if (runs.empty() || std::any_of(runs.begin(), runs.end(), [&](const pugi::xml_node& run) {
            return run.parent() != runs.front().parent();
        })) {
        throw HostError(WordError::COMMAND_FAILED,
                        "a hyperlink cannot be made over this text (it crosses other markup)");
    }
    pugi::xml_node link =
        runs.front().parent().insert_child_before(names_.hyperlink.c_str(), runs.front());
    if (!address.empty()) {
        std::string declaration = "xmlns:" + names_.rPrefix.substr(0, names_.rPrefix.size() - 1);
        if (!main_->Root().attribute(declaration.c_str())) {
            main_->Root()
                .append_attribute(declaration.c_str())
                .set_value(names_.strict ? R_NS_STRICT : R_NS);
        }
        std::string id = HyperlinkRelationship(address);
        link.append_attribute(names_.rId.c_str()).set_value(id.c_str());
    }
    if (!subAddress.empty()) {
        link.append_attribute(names_.anchor.c_str()).set_value(subAddress.c_str());
    }
    link.append_attribute(names_.history.c_str()).set_value("1");
    for (pugi::xml_node run : runs) {
        link.append_move(run);
    }
    // The runs moved under the hyperlink: read the paragraph again.
    story_->Refresh(*paragraph);
    Changed(*main_);
    return {address, subAddress, TextOf(start, end), start, end};
}

std::string DocxDocument::HyperlinkRelationship(const std::string& address) {
    auto [known, added] = hyperlinkRelationships_.try_emplace(address);
    if (added) {
        known->second = AddRelationship(MainRelationships(), "hyperlink", address, true);
    }
    return known->second;
}

std::vector<HyperlinkInfo> DocxDocument::HyperlinkList() const {
    std::vector<HyperlinkInfo> links;
    for (std::size_t i = 0; i < story_->ParagraphCount(); ++i) {
        Paragraph& paragraph = story_->ParagraphAtIndex(i);
        const FieldHyperlinkRuns fields = HyperlinkFieldRuns(paragraph.node, names_);
        long at = story_->StartOf(paragraph);
        // What the previous piece belonged to: a w:hyperlink, or a field.
        std::optional<std::size_t> current;
        for (const auto& piece : paragraph.pieces) {
            if (piece.length == 0) {
                continue;
            }
            std::optional<std::size_t> owner;
            std::optional<HyperlinkInfo> link = LinkOfPiece(paragraph, piece, fields, owner);
            if (owner && owner == current) {
                links.back().end = at + piece.length;
            } else if (link) {
                link->start = at;
                link->end = at + static_cast<long>(piece.length);
                links.push_back(*link);
            }
            current = owner;
            at += piece.length;
        }
    }
    for (auto& link : links) {
        link.text = story_->Text(link.start, link.end);
    }
    return links;
}

// The hyperlink a piece of text shows, if any, and who owns it (owner: one
// value for all the pieces of one link).
std::optional<HyperlinkInfo> DocxDocument::LinkOfPiece(const Paragraph& paragraph,
                                                       const Piece& piece,
                                                       const FieldHyperlinkRuns& fields,
                                                       std::optional<std::size_t>& owner) const {
    for (pugi::xml_node node = piece.node.parent(); node && node != paragraph.node;
         node = node.parent()) {
        if (Is(node, names_.hyperlink)) {
            owner = node.hash_value();
            std::string address = RelationshipTarget(node.attribute(names_.rId.c_str()).value());
            std::string subAddress = node.attribute(names_.anchor.c_str()).value();
            TakeFragment(address, subAddress);
            return HyperlinkInfo{address, subAddress, "", 0, 0};
        }
    }
    if (auto field = fields.find(piece.node.parent()); field != fields.end()) {
        // Fields and nodes never share a value: a node's is its address.
        owner = field->second.field;
        return HyperlinkInfo{field->second.address, field->second.subAddress, "", 0, 0};
    }
    return std::nullopt;
}

}  // namespace veln::host::docx
