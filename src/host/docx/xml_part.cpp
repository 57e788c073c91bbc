#include "host/docx/xml_part.h"

#include <functional>
#include <iterator>
#include <thread>

#include "host/docx/xml_text.h"
#include "host/word/document.h"
#include "host/xml_escape.h"

namespace veln::host::docx {

namespace {

// Everything kept as read, so that what is written back differs only where edited.
constexpr unsigned PARSE_OPTIONS = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_doctype | pugi::parse_pi | pugi::parse_comments |
                                   pugi::parse_ws_pcdata;

constexpr unsigned FORMAT = pugi::format_raw | pugi::format_no_declaration;

// A start tag as the serializer writes it: attributes in double quotes, with
// the characters that would not read back the same written as references.
void AppendStartTag(std::string& out, const pugi::xml_node& element) {
    out += '<';
    out += element.name();
    for (pugi::xml_attribute attribute : element.attributes()) {
        out += ' ';
        out += attribute.name();
        out += "=\"";
        AppendXmlEscaped(out, attribute.value(), XmlControls::References);
        out += '"';
    }
    out += '>';
}

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
    part->mended = MendXml(part->buffer_);
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

std::string XmlPart::Serialize(std::size_t parallelFrom) const {
    // We write UTF-8 whatever the part was read in.
    pugi::xml_node declaration = doc_.first_child();
    if (declaration.type() == pugi::node_declaration && declaration.attribute("encoding")) {
        declaration.attribute("encoding").set_value("UTF-8");
    }
    std::string out;
    // Edits change a part's size little: one allocation serves.
    out.reserve(buffer_.size() + buffer_.size() / 8 + 4096);
    if (buffer_.size() >= parallelFrom && SerializeInHalves(out)) {
        return out;
    }
    StringWriter writer(out);
    doc_.save(writer, "", FORMAT, pugi::encoding_utf8);
    return out;
}

bool XmlPart::SerializeInHalves(std::string& out) const {
    // The element of the root with the most children (a document's body) is
    // written in two halves at once; the rest around it as the whole would be.
    pugi::xml_node root = Root();
    pugi::xml_node widest;
    std::size_t widestCount = 0;
    for (pugi::xml_node child : root.children()) {
        auto count = static_cast<std::size_t>(std::distance(child.begin(), child.end()));
        if (count > widestCount) {
            widest = child;
            widestCount = count;
        }
    }
    if (widestCount < 2) {
        return false;
    }
    StringWriter writer(out);
    for (pugi::xml_node node = doc_.first_child(); node != root; node = node.next_sibling()) {
        node.print(writer, "", FORMAT, pugi::encoding_utf8);
    }
    AppendStartTag(out, root);
    for (pugi::xml_node node = root.first_child(); node != widest; node = node.next_sibling()) {
        node.print(writer, "", FORMAT, pugi::encoding_utf8);
    }
    AppendStartTag(out, widest);

    pugi::xml_node middle = widest.first_child();
    for (std::size_t i = 0; i < widestCount / 2; ++i) {
        middle = middle.next_sibling();
    }
    auto printRange = [](pugi::xml_node from, pugi::xml_node to, std::string& text) {
        StringWriter rangeWriter(text);
        for (pugi::xml_node node = from; node != to; node = node.next_sibling()) {
            node.print(rangeWriter, "", FORMAT, pugi::encoding_utf8);
        }
    };
    std::string second;
    second.reserve(buffer_.size() / 2 + 4096);
    std::thread worker(printRange, middle, pugi::xml_node(), std::ref(second));
    printRange(widest.first_child(), middle, out);
    worker.join();
    out += second;

    out += "</" + std::string(widest.name()) + ">";
    for (pugi::xml_node node = widest.next_sibling(); node; node = node.next_sibling()) {
        node.print(writer, "", FORMAT, pugi::encoding_utf8);
    }
    out += "</" + std::string(root.name()) + ">";
    for (pugi::xml_node node = root.next_sibling(); node; node = node.next_sibling()) {
        node.print(writer, "", FORMAT, pugi::encoding_utf8);
    }
    return true;
}

}  // namespace veln::host::docx
