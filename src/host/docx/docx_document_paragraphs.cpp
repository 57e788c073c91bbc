// The document's paragraphs as the desktop view reads and edits them: their
// stamps, their look, and paragraph marks put in or taken out anywhere.
#include <algorithm>
#include <filesystem>

#include "host/docx/docx_document.h"
#include "host/docx/look_reader.h"

namespace veln::host::docx {

namespace {

// The part of a type ("/styles", "/numbering") named by the main part's
// relationships, "" for none.
std::string RelatedPartName(const XmlPart& main, const XmlPart* rels, std::string_view kind) {
    if (rels == nullptr) {
        return {};
    }
    for (pugi::xml_node relationship : rels->Root().children()) {
        std::string_view type = relationship.attribute("Type").value();
        if (type.ends_with(kind)) {
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

std::unique_ptr<XmlPart> DocxDocument::RelatedPart(std::string_view kind) const {
    std::string name = RelatedPartName(*main_, mainRels_.get(), kind);
    // Reading a part leaves the package as it was: the const is kept in spirit.
    auto& package = const_cast<std::optional<ZipPackage>&>(package_);
    if (name.empty() || !package || !package->Has(name)) {
        return nullptr;
    }
    try {
        return XmlPart::Parse(package->Read(name), name, name_);
    } catch (const HostError&) {
        // A damaged part costs the view its looks, not the document.
        return nullptr;
    }
}

const StyleSheet& DocxDocument::Styles() const {
    if (!styles_) {
        std::unique_ptr<XmlPart> part = RelatedPart("/styles");
        styles_ =
            part ? std::make_unique<StyleSheet>(part->Root()) : std::make_unique<StyleSheet>();
    }
    return *styles_;
}

const ListNumbering& DocxDocument::Numbering() const {
    if (!numbering_) {
        std::unique_ptr<XmlPart> part = RelatedPart("/numbering");
        numbering_ = part ? std::make_unique<ListNumbering>(part->Root())
                          : std::make_unique<ListNumbering>();
        hasNumbering_ = part != nullptr;
    }
    return *numbering_;
}

const std::string& DocxDocument::ListLabelOf(const Paragraph& paragraph) const {
    static const std::string NONE;
    if (Numbering(); !hasNumbering_) {
        return NONE;
    }
    // Typing leaves the lists as they are: they are counted again only when
    // paragraphs come or go, or the story is read again.
    const LabelsKey key{story_.get(), story_->ParagraphCount(), story_->LastParagraphId()};
    if (key != labelsKey_) {
        labelsKey_ = key;
        ListNumbering counting = *numbering_;
        listLabels_.assign(story_->ParagraphCount(), {});
        for (std::size_t index = 0; index < story_->ParagraphCount(); ++index) {
            ParagraphProperties properties =
                PropertiesOf(names_, story_->ParagraphAtIndex(index), Styles());
            if (properties.numId.value_or(0) > 0) {
                listLabels_[index] =
                    counting.Count(*properties.numId, properties.numLevel.value_or(0));
            }
        }
    }
    return paragraph.index < listLabels_.size() ? listLabels_[paragraph.index] : NONE;
}

PageLook DocxDocument::LookOfPage() const {
    PageLook page;
    pugi::xml_node section =
        main_->Root().child(names_.body.c_str()).child(names_.W("sectPr").c_str());
    auto twips = [this](const pugi::xml_node& node, const char* name, int otherwise) {
        pugi::xml_attribute value = node.attribute(names_.W(name).c_str());
        constexpr double TWIPS_PER_POINT = 20;
        return value ? std::max(0, Measure(value.value(), TWIPS_PER_POINT)) : otherwise;
    };
    pugi::xml_node size = section.child(names_.W("pgSz").c_str());
    pugi::xml_node margins = section.child(names_.W("pgMar").c_str());
    page.width = twips(size, "w", page.width);
    page.marginLeft = twips(margins, "left", page.marginLeft);
    page.height = twips(size, "h", page.height);
    page.marginRight = twips(margins, "right", page.marginRight);
    page.marginTop = twips(margins, "top", page.marginTop);
    page.marginBottom = twips(margins, "bottom", page.marginBottom);
    // Margins that leave no text width, or no height, are a damaged file's.
    constexpr int LEAST_TEXT = 720;
    if (page.marginLeft + page.marginRight + LEAST_TEXT > page.width ||
        page.marginTop + page.marginBottom + LEAST_TEXT > page.height) {
        return PageLook{};
    }
    return page;
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
    const Paragraph& paragraph = ParagraphOfIndex(index);
    return ReadLook(*story_, paragraph, Styles(), Numbering(), ListLabelOf(paragraph));
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
