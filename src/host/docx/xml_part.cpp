#include "host/docx/xml_part.h"

#include "host/word/document.h"

namespace veln::host::docx {

namespace {

// Everything kept as read, so that what is written back differs only where edited.
constexpr unsigned PARSE_OPTIONS = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_doctype | pugi::parse_pi | pugi::parse_comments |
                                   pugi::parse_ws_pcdata;

class StringWriter : public pugi::xml_writer {
  public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

  private:
    std::string& out_;
};

}  // namespace

std::unique_ptr<XmlPart> XmlPart::Parse(std::string data, const std::string& name,
                                        const std::string& label) {
    auto part = std::make_unique<XmlPart>();
    part->name_ = name;
    part->buffer_ = std::move(data);
    pugi::xml_parse_result result = part->doc_.load_buffer_inplace(
        part->buffer_.data(), part->buffer_.size(), PARSE_OPTIONS, pugi::encoding_auto);
    if (!result) {
        throw HostError(WordError::FILE_CORRUPT, label + ": " + name + " is not well-formed XML (" +
                                                     result.description() + " at byte " +
                                                     std::to_string(result.offset) + ")");
    }
    for (pugi::xml_node node : part->doc_.children()) {
        if (node.type() == pugi::node_doctype) {
            throw HostError(WordError::FILE_CORRUPT,
                            label + ": " + name +
                                " declares a DTD, which is refused (entities are never expanded)");
        }
    }
    if (!part->Root()) {
        throw HostError(WordError::FILE_CORRUPT, label + ": " + name + " has no root element");
    }
    return part;
}

std::unique_ptr<XmlPart> XmlPart::Create(const std::string& name, const std::string& xml) {
    auto part = Parse(xml, name, "new document");
    part->inPackage = false;
    part->modified = true;
    return part;
}

std::string XmlPart::Serialize() const {
    std::string out;
    StringWriter writer(out);
    // We write UTF-8 whatever the part was read in.
    pugi::xml_node declaration = doc_.first_child();
    if (declaration.type() == pugi::node_declaration && declaration.attribute("encoding")) {
        declaration.attribute("encoding").set_value("UTF-8");
    }
    doc_.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out;
}

}  // namespace veln::host::docx
