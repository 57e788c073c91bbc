// The document variables mirrored in the package's custom document
// properties. LibreOffice drops w:docVars when it saves a .docx but keeps
// custom properties, as Word does: a variable missing from w:docVars is
// taken from its mirror when the document opens, and goes back into
// w:docVars at the next save. The mirror is written only by a save that
// follows a change of the variables, so other documents keep their parts.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "host/docx/docx_document.h"

namespace veln::host::docx {

namespace {

constexpr const char* MIRROR_PREFIX = "VELN_";
constexpr const char* CUSTOM_PART = "docProps/custom.xml";
constexpr const char* CUSTOM_TYPE =
    "application/vnd.openxmlformats-officedocument.custom-properties+xml";
constexpr const char* CUSTOM_RELATIONSHIP =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
constexpr const char* CUSTOM_NS =
    "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
constexpr const char* VT_NS =
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
// The property set of user-defined properties.
constexpr const char* USER_DEFINED_FMTID = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
// Property ids 0 and 1 are reserved.
constexpr long FIRST_PID = 2;

pugi::xml_node CustomRelationship(const XmlPart* rels) {
    if (rels == nullptr) {
        return {};
    }
    for (pugi::xml_node relationship : rels->Root().children()) {
        if (std::string_view(relationship.attribute("Type").value()) == CUSTOM_RELATIONSHIP &&
            std::string_view(relationship.attribute("TargetMode").value()) != "External") {
            return relationship;
        }
    }
    return {};
}

bool Mirrors(const pugi::xml_node& property) {
    return std::string_view(property.attribute("name").value()).starts_with(MIRROR_PREFIX);
}

}  // namespace

void DocxDocument::LoadCustomProperties(const std::string& label) {
    pugi::xml_node relationship = CustomRelationship(packageRels_.get());
    if (!relationship) {
        return;
    }
    std::string target = relationship.attribute("Target").value();
    std::string name = std::filesystem::path(target.starts_with("/") ? target.substr(1) : target)
                           .lexically_normal()
                           .generic_string();
    if (!package_->Has(name)) {
        return;
    }
    customProperties_ = XmlPart::Parse(package_->Read(name), name, label);
    for (pugi::xml_node property : customProperties_->Root().children()) {
        if (!Mirrors(property)) {
            continue;
        }
        std::string variable =
            std::string(property.attribute("name").value()).substr(std::strlen(MIRROR_PREFIX));
        if (!variable.empty() && !VariableValue(variable)) {
            mirrored_.emplace_back(variable, property.first_child().child_value());
        }
    }
}

bool DocxDocument::ForgetMirrored(std::string_view name) {
    auto found = std::find_if(mirrored_.begin(), mirrored_.end(),
                              [&](const auto& variable) { return variable.first == name; });
    if (found == mirrored_.end()) {
        return false;
    }
    mirrored_.erase(found);
    return true;
}

void DocxDocument::MirrorVariables() {
    // Strict packages name their relationships otherwise; they keep w:docVars alone.
    if ((!variablesChanged_ && mirrored_.empty()) || names_.strict || foreignSettings_) {
        return;
    }
    // Variables read from the mirror go back where word processors look.
    for (const auto& [name, value] : std::vector(mirrored_)) {
        SetVariableValue(name, value);
    }
    if (!customProperties_) {
        std::string name = CUSTOM_PART;
        for (int n = 1; package_ && package_->Has(name); ++n) {
            name = "docProps/custom" + std::to_string(n) + ".xml";
        }
        customProperties_ = XmlPart::Create(
            name, std::string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
                      "\n<Properties xmlns=\"" + CUSTOM_NS + "\" xmlns:vt=\"" + VT_NS + "\"/>");
        if (!packageRels_) {
            packageRels_ = XmlPart::Create(
                "_rels/.rels",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                "\n"
                R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"/>)");
        }
        AddRelationship(*packageRels_, "custom-properties", name, false);
        DeclareContentType(name, CUSTOM_TYPE);
    }
    pugi::xml_node root = customProperties_->Root();
    std::string vt = "vt";
    for (pugi::xml_attribute attribute : root.attributes()) {
        std::string_view attributeName = attribute.name();
        if (attributeName.starts_with("xmlns:") && std::string_view(attribute.value()) == VT_NS) {
            vt = std::string(attributeName.substr(6));
        }
    }
    if (vt == "vt" && !root.attribute("xmlns:vt")) {
        root.append_attribute("xmlns:vt").set_value(VT_NS);
    }
    long pid = FIRST_PID - 1;
    for (pugi::xml_node property = root.first_child(); property;) {
        pugi::xml_node next = property.next_sibling();
        if (Mirrors(property)) {
            root.remove_child(property);
        } else {
            pid = std::max(pid, static_cast<long>(property.attribute("pid").as_int()));
        }
        property = next;
    }
    for (const std::string& name : VariableNames()) {
        pugi::xml_node property = root.append_child("property");
        property.append_attribute("fmtid").set_value(USER_DEFINED_FMTID);
        property.append_attribute("pid").set_value(std::to_string(++pid).c_str());
        property.append_attribute("name").set_value((MIRROR_PREFIX + name).c_str());
        property.append_child((vt + ":lpwstr").c_str())
            .text()
            .set(VariableValue(name).value_or("").c_str());
    }
    Changed(*customProperties_);
    variablesChanged_ = false;
}

}  // namespace veln::host::docx
