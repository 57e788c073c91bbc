// The document's paragraphs as the desktop view reads and edits them: their
// stamps, their look, and paragraph marks put in or taken out anywhere.
#include <filesystem>

#include "host/docx/docx_document.h"
#include "host/docx/look_reader.h"

namespace veln::host::docx {

namespace {

// The styles part named by the main part's relationships, "" for none.
std::string StylesPartName(const XmlPart& main, const XmlPart* rels) {
    if (rels == nullptr) {
        return {};
    }
    for (pugi::xml_node relationship : rels->Root().children()) {
        std::string_view type = relationship.attribute("Type").value();
        if (type.ends_with("/styles")) {
            std::string target = relationship.attribute("Target").value();
            std::filesystem::path folder = std::filesystem::path(main.Name()).parent_path();
            std::filesystem::path joined =
                target.starts_with("/") ? std::filesystem::path(target.substr(1)) : folder / target;
            return joined.lexically_normal().generic_string();
        }
    }
    return {};
}

}  // namespace

const StyleSheet& DocxDocument::Styles() const {
    if (!styles_) {
        styles_ = std::make_unique<StyleSheet>();
        std::string name = StylesPartName(*main_, mainRels_.get());
        // Reading a part leaves the package as it was: the const is kept in spirit.
        auto& package = const_cast<std::optional<ZipPackage>&>(package_);
        if (!name.empty() && package && package->Has(name)) {
            try {
                std::unique_ptr<XmlPart> part = XmlPart::Parse(package->Read(name), name, name_);
                styles_ = std::make_unique<StyleSheet>(part->Root());
            } catch (const HostError&) {
                // A damaged styles part costs the view its headings, not the document.
            }
        }
    }
    return *styles_;
}

long DocxDocument::ParagraphCount() const {
    return static_cast<long>(story_->ParagraphCount());
}

const Paragraph& DocxDocument::ParagraphOfIndex(long index) const {
    if (index < 0 || index >= ParagraphCount()) {
        throw HostError(WordError::NO_SUCH_MEMBER,
                        "The requested member of the collection does not exist: paragraph " +
                            std::to_string(index + 1));
    }
    return story_->ParagraphAtIndex(static_cast<std::size_t>(index));
}

long DocxDocument::ParagraphIndexAt(long position) const {
    return static_cast<long>(story_->Locate(Clamp(position)).first->index);
}

long DocxDocument::ParagraphStart(long index) const {
    return story_->StartOf(ParagraphOfIndex(index));
}

ParagraphStamp DocxDocument::StampOfParagraph(long index) const {
    const Paragraph& paragraph = ParagraphOfIndex(index);
    return {paragraph.id, paragraph.revision, Story::BlockOf(paragraph)};
}

ParagraphLook DocxDocument::LookOfParagraph(long index) const {
    return ReadLook(*story_, ParagraphOfIndex(index), Styles());
}

void DocxDocument::SplitParagraph(long position) {
    position = std::min(Clamp(position), StoryEnd() - 1);
    Paragraph& paragraph = *story_->Locate(position).first;
    Paragraph& next = story_->Split(position);
    bookmarks_->Follow(paragraph, next);
    selection_.Shift(position, 1);
    Changed(*main_);
}

void DocxDocument::JoinParagraphs(long markPosition) {
    markPosition = Clamp(markPosition);
    const Paragraph& gone = story_->Join(markPosition);
    bookmarks_->Follow(gone, *story_->Locate(markPosition).first);
    selection_.Shift(markPosition, -1);
    Changed(*main_);
}

}  // namespace veln::host::docx
