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

namespace {

// Settings that follow w:docVars in the order the schema fixes.
constexpr std::array<const char*, 16> AFTER_DOC_VARS{"rsids",
                                                     "mathPr",
                                                     "attachedSchema",
                                                     "themeFontLang",
                                                     "clrSchemeMapping",
                                                     "doNotIncludeSubdocsInStats",
                                                     "doNotAutoCompressPictures",
                                                     "forceUpgrade",
                                                     "captions",
                                                     "readModeInkLockDown",
                                                     "smartTagType",
                                                     "schemaLibrary",
                                                     "shapeDefaults",
                                                     "doNotEmbedSmartTags",
                                                     "decimalSymbol",
                                                     "listSeparator"};

}  // namespace

XmlPart& DocxDocument::SettingsPart() {
    if (foreignSettings_) {
        throw HostError(WordError::COMMAND_FAILED,
                        FullName() + ": " + settingsName_ +
                            " is not the settings of a word-processing document, so it cannot "
                            "hold document variables");
    }
    if (!settings_) {
        // The part is made where a broken relationship points, so the
        // package holds together again; otherwise under a name of its own.
        std::string folder = Folder(main_->Name());
        std::string name = settingsName_;
        if (name.empty() || name.ends_with("/") || (package_ && package_->Has(name))) {
            name = FreePartName(folder, "settings");
        }
        std::string ns = names_.strict ? W_NS_STRICT : W_NS;
        settings_ =
            XmlPart::Create(name, R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                                  "\n"
                                  R"(<w:settings xmlns:w=")" +
                                      ns + R"("/>)");
        std::string target = folder.empty() || !name.starts_with(folder + "/")
                                 ? "/" + name
                                 : name.substr(folder.size() + 1);
        if (pugi::xml_node relationship = FindRelationship(mainRels_.get(), "settings")) {
            pugi::xml_attribute targetAttribute = relationship.attribute("Target");
            if (!targetAttribute) {
                targetAttribute = relationship.append_attribute("Target");
            }
            targetAttribute.set_value(target.c_str());
            relationship.remove_attribute("TargetMode");
            Changed(*mainRels_);
        } else {
            AddRelationship(MainRelationships(), "settings", target, false);
        }
        DeclareContentType(name, CT_SETTINGS);
        settingsName_ = name;
    }
    return *settings_;
}

pugi::xml_node DocxDocument::DocVars(bool create) {
    if (!settings_ && !create) {
        return {};
    }
    XmlPart& settings = create ? SettingsPart() : *settings_;
    Wml names(settings.Root());
    pugi::xml_node docVars = settings.Root().child(names.docVars.c_str());
    if (!docVars && create) {
        pugi::xml_node before = settings.Root().first_child();
        while (before) {
            bool element = before.type() == pugi::node_element;
            bool otherNamespace = element && !std::string(before.name()).starts_with(names.wPrefix);
            bool after = element &&
                         std::any_of(AFTER_DOC_VARS.begin(), AFTER_DOC_VARS.end(),
                                     [&](const char* local) { return LocalName(before) == local; });
            if (after || otherNamespace) {
                break;
            }
            before = before.next_sibling();
        }
        docVars = before ? settings.Root().insert_child_before(names.docVars.c_str(), before)
                         : settings.Root().append_child(names.docVars.c_str());
    }
    return docVars;
}

std::vector<std::string> DocxDocument::VariableNames() const {
    std::vector<std::string> names;
    if (settings_) {
        Wml n(settings_->Root());
        for (pugi::xml_node docVar :
             settings_->Root().child(n.docVars.c_str()).children(n.docVar.c_str())) {
            names.emplace_back(docVar.attribute(n.name.c_str()).value());
        }
    }
    for (const auto& [name, value] : mirrored_) {
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> DocxDocument::VariableValue(std::string_view name) const {
    if (settings_) {
        Wml n(settings_->Root());
        for (pugi::xml_node docVar :
             settings_->Root().child(n.docVars.c_str()).children(n.docVar.c_str())) {
            if (name == docVar.attribute(n.name.c_str()).value()) {
                return std::string(docVar.attribute(n.val.c_str()).value());
            }
        }
    }
    for (const auto& [mirroredName, value] : mirrored_) {
        if (name == mirroredName) {
            return value;
        }
    }
    return std::nullopt;
}

void DocxDocument::SetVariableValue(const std::string& name, const std::string& value) {
    RequireWritable(name, "The name of the variable", WordError::COMMAND_FAILED);
    RequireWritable(value, "The value of the variable " + name, WordError::COMMAND_FAILED);
    pugi::xml_node docVars = DocVars(true);
    Wml n(settings_->Root());
    pugi::xml_node found;
    for (pugi::xml_node docVar : docVars.children(n.docVar.c_str())) {
        if (name == docVar.attribute(n.name.c_str()).value()) {
            found = docVar;
            break;
        }
    }
    if (!found) {
        found = docVars.append_child(n.docVar.c_str());
        found.append_attribute(n.name.c_str()).set_value(name.c_str());
        found.append_attribute(n.val.c_str());
    }
    if (!found.attribute(n.val.c_str())) {
        found.append_attribute(n.val.c_str());
    }
    found.attribute(n.val.c_str()).set_value(value.c_str());
    Changed(*settings_);
    ForgetMirrored(name);
    variablesChanged_ = true;
}

void DocxDocument::RemoveVariable(std::string_view name) {
    if (ForgetMirrored(name)) {
        saved_ = false;
        variablesChanged_ = true;
    }
    pugi::xml_node docVars = DocVars(false);
    if (!docVars) {
        return;
    }
    Wml n(settings_->Root());
    for (pugi::xml_node docVar : docVars.children(n.docVar.c_str())) {
        if (name == docVar.attribute(n.name.c_str()).value()) {
            docVars.remove_child(docVar);
            if (!docVars.child(n.docVar.c_str())) {
                docVars.parent().remove_child(docVars);
            }
            Changed(*settings_);
            variablesChanged_ = true;
            return;
        }
    }
}

}  // namespace veln::host::docx
