// One XML part of a package, parsed in place without DTDs or entity expansion,
// written back as it was read except where the model changed it.
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

namespace veln::host::docx {

class XmlPart {
  public:
    // label names the file in errors. A part that declares a DTD is refused.
    static std::unique_ptr<XmlPart> Parse(std::string data, const std::string& name,
                                          const std::string& label);
    static std::unique_ptr<XmlPart> Create(const std::string& name, const std::string& xml);

    const std::string& Name() const { return name_; }
    pugi::xml_document& Doc() { return doc_; }
    pugi::xml_node Root() const { return doc_.document_element(); }
    std::string Serialize() const;

    bool modified = false;
    bool inPackage = true;  // false for a part the model created

  private:
    std::string name_;
    std::string buffer_;  // the parsed text lives here
    pugi::xml_document doc_;
};

}  // namespace veln::host::docx
