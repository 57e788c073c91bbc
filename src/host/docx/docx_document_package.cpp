#include <algorithm>
#include <array>
#include <filesystem>

#include "host/docx/blank_document.h"
#include "host/docx/docx_document.h"
#include "host/docx/file_replacement.h"
#include "host/docx/package_parts.h"
#include "host/docx/xml_text.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::host::docx {

std::string DocxDocument::MainContentType() const {
    std::string partName = "/" + main_->Name();
    for (pugi::xml_node override : contentTypes_->Root().children()) {
        if (partName == override.attribute("PartName").value()) {
            return override.attribute("ContentType").value();
        }
    }
    return {};
}

bool DocxDocument::IsTemplate() const {
    std::string type = MainContentType();
    return std::any_of(MAIN_TYPES.begin(), MAIN_TYPES.end(),
                       [&](const auto& types) { return type == types.second; });
}

bool DocxDocument::IsMacroEnabled() const {
    std::string type = MainContentType();
    return type == MAIN_TYPES[1].first || type == MAIN_TYPES[1].second;
}

bool DocxDocument::HasMacroProject() const {
    if (mainRels_) {
        for (pugi::xml_node relationship : mainRels_->Root().children()) {
            if (std::string_view(relationship.attribute("Type").value()).ends_with("/vbaProject")) {
                return true;
            }
        }
    }
    return false;
}

void DocxDocument::SetMainContentType(bool templateType, bool macros) {
    std::string partName = "/" + main_->Name();
    const auto& family = MAIN_TYPES[macros ? 1 : 0];
    const char* wanted = templateType ? family.second : family.first;
    for (pugi::xml_node override : contentTypes_->Root().children()) {
        if (partName != override.attribute("PartName").value()) {
            continue;
        }
        pugi::xml_attribute type = override.attribute("ContentType");
        // Only a main part of a known kind changes kind.
        bool known = std::any_of(MAIN_TYPES.begin(), MAIN_TYPES.end(), [&](const auto& types) {
            return std::string_view(type.value()) == types.first ||
                   std::string_view(type.value()) == types.second;
        });
        if (known && std::string_view(type.value()) != wanted) {
            type.set_value(wanted);
            Changed(*contentTypes_);
        }
    }
}

std::string DocxDocument::FreePartName(const std::string& folder, const std::string& stem) const {
    std::string prefix = folder.empty() ? std::string() : folder + "/";
    std::string name = prefix + stem + ".xml";
    for (int n = 1; package_ && package_->Has(name); ++n) {
        name = prefix + stem + std::to_string(n) + ".xml";
    }
    return name;
}

void DocxDocument::DeclareContentType(const std::string& partName, const char* contentType) {
    // One Override per part: an existing one is corrected, never doubled.
    std::string key = "/" + partName;
    for (pugi::xml_node override : contentTypes_->Root().children()) {
        if (key == override.attribute("PartName").value()) {
            if (std::string_view(override.attribute("ContentType").value()) != contentType) {
                override.remove_attribute("ContentType");
                override.append_attribute("ContentType").set_value(contentType);
                Changed(*contentTypes_);
            }
            return;
        }
    }
    pugi::xml_node override = contentTypes_->Root().append_child("Override");
    override.append_attribute("PartName").set_value(key.c_str());
    override.append_attribute("ContentType").set_value(contentType);
    Changed(*contentTypes_);
}

XmlPart& DocxDocument::MainRelationships() {
    if (!mainRels_) {
        mainRels_ = XmlPart::Create(
            RelationshipsOf(main_->Name()),
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
            "\n"
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"/>)");
    }
    return *mainRels_;
}

std::string DocxDocument::AddRelationship(XmlPart& rels, const std::string& type,
                                          const std::string& target, bool external) {
    // The part is read for its greatest id once; from then on ids count on,
    // so adding thousands of links does not read the part again each time.
    auto [known, unread] = highestRelationshipIds_.try_emplace(&rels, 0);
    long& highest = known->second;
    if (unread) {
        for (pugi::xml_node relationship : rels.Root().children()) {
            std::string id = relationship.attribute("Id").value();
            if (id.starts_with("rId")) {
                highest = std::max(highest, std::strtol(id.c_str() + 3, nullptr, 10));
            }
        }
    }
    std::string id = "rId" + std::to_string(++highest);
    pugi::xml_node relationship = rels.Root().append_child("Relationship");
    relationship.append_attribute("Id").set_value(id.c_str());
    relationship.append_attribute("Type").set_value(
        ((names_.strict ? REL_NS_STRICT : REL_NS_TRANSITIONAL) + type).c_str());
    relationship.append_attribute("Target").set_value(target.c_str());
    if (external) {
        relationship.append_attribute("TargetMode").set_value("External");
    }
    Changed(rels);
    return id;
}

std::string DocxDocument::RelationshipTarget(const std::string& id) const {
    if (mainRels_) {
        for (pugi::xml_node relationship : mainRels_->Root().children()) {
            if (id == relationship.attribute("Id").value()) {
                return relationship.attribute("Target").value();
            }
        }
    }
    return {};
}

}  // namespace veln::host::docx
