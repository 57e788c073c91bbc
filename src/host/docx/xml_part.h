// One XML part of a package, parsed in place without DTDs or entity expansion,
// written back as it was read except where the model changed it. Characters
// XML does not allow are mended before parsing (xml_text.h).
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
    pugi::xml_node Root() const { return doc_.document_element(); }
    // The part as XML text. A part of parallelFrom bytes or more is written in
    // two halves at once.
    std::string Serialize(std::size_t parallelFrom = PARALLEL_FROM) const;
    static constexpr std::size_t PARALLEL_FROM = 1 << 20;

    bool modified = false;   // differs from the package the document was read from
    bool inPackage = true;   // false for a part the model created
    std::size_t mended = 0;  // characters XML does not allow, replaced when read

  private:
    bool SerializeInHalves(std::string& out) const;

    std::string name_;
    std::string buffer_;  // the parsed text lives here
    pugi::xml_document doc_;
};

}  // namespace veln::host::docx
