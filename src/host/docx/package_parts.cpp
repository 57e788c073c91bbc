#include "host/docx/package_parts.h"

#include <filesystem>

namespace veln::host::docx {

namespace fs = std::filesystem;

namespace {

bool TypeIs(const pugi::xml_node& relationship, const char* kind) {
    std::string type = relationship.attribute("Type").value();
    return type == std::string(REL_NS_TRANSITIONAL) + kind ||
           type == std::string(REL_NS_STRICT) + kind;
}

}  // namespace

std::string Folder(const std::string& part) {
    auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash);
}

std::string RelationshipsOf(const std::string& part) {
    std::string folder = Folder(part);
    std::string file = folder.empty() ? part : part.substr(folder.size() + 1);
    return (folder.empty() ? std::string() : folder + "/") + "_rels/" + file + ".rels";
}

std::string ResolveTarget(const std::string& sourceFolder, const std::string& target) {
    fs::path joined =
        target.starts_with("/") ? fs::path(target.substr(1)) : fs::path(sourceFolder) / target;
    return joined.lexically_normal().generic_string();
}

pugi::xml_node FindRelationship(const XmlPart* rels, const char* kind) {
    if (rels == nullptr) {
        return {};
    }
    for (pugi::xml_node relationship : rels->Root().children()) {
        if (TypeIs(relationship, kind)) {
            return relationship;
        }
    }
    return {};
}

}  // namespace veln::host::docx
