#include "host/docx/docx_document.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "host/docx/blank_document.h"
#include "host/docx/file_replacement.h"
#include "host/docx/package_parts.h"
#include "host/docx/xml_text.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln::host::docx {

namespace fs = std::filesystem;

namespace {

HostError Refused(const std::string& label, const std::string& reason) {
    return HostError(WordError::FILE_CORRUPT, label + ": " + reason);
}

std::string Sniff(const std::string& bytes) {
    if (bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        const std::string encrypted("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o", 27);
        return bytes.find(encrypted) != std::string::npos
                   ? "an encrypted (password-protected) document, which cannot be opened"
                   : "a legacy binary Word document (.doc), which is not supported";
    }
    if (bytes.starts_with("{\\rtf")) {
        return "an RTF file, which is not supported";
    }
    if (!bytes.starts_with("PK")) {
        return "not a Word document (not a zip package)";
    }
    return {};
}

}  // namespace

// --- opening ---------------------------------------------------------------------------

std::unique_ptr<DocxDocument> DocxDocument::Open(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error).lexically_normal();
    if (fs::is_directory(absolute, error)) {
        throw Refused(path, "is a folder, not a document");
    }
    DiskState state;
    // No package over the bound of its parts can be legitimate.
    std::string bytes = ReadRegularFile(absolute.string(), MAX_PACKAGE_SIZE, &state);
    std::unique_ptr<DocxDocument> document = FromBytes(std::move(bytes), path);
    document->path_ = absolute.string();
    document->name_ = absolute.filename().string();
    document->disk_ = state;
    return document;
}

std::unique_ptr<DocxDocument> DocxDocument::FromBytes(std::string bytes, const std::string& label) {
    if (std::string reason = Sniff(bytes); !reason.empty()) {
        throw Refused(label, "is " + reason);
    }
    try {
        std::unique_ptr<DocxDocument> document(new DocxDocument());
        document->package_.emplace(ZipPackage::FromBytes(std::move(bytes), label));
        document->Load(label);
        document->name_ = fs::path(label).filename().string();
        return document;
    } catch (const std::bad_alloc&) {
        // Whatever the bounds let through, running out of memory is this
        // file's failure, not the program's.
        throw HostError(WordError::OUT_OF_MEMORY,
                        label + ": there is not enough memory to open this document");
    }
}

std::unique_ptr<DocxDocument> DocxDocument::New(const std::string& name, bool visible) {
    std::unique_ptr<DocxDocument> document(new DocxDocument());
    document->contentTypes_ = XmlPart::Create(CONTENT_TYPES, blank::CONTENT_TYPES);
    document->packageRels_ = XmlPart::Create("_rels/.rels", blank::PACKAGE_RELS);
    document->main_ = XmlPart::Create("word/document.xml", blank::DOCUMENT);
    document->mainRels_ = XmlPart::Create("word/_rels/document.xml.rels", blank::DOCUMENT_RELS);
    document->settings_ = XmlPart::Create("word/settings.xml", blank::SETTINGS);
    document->names_ = Wml(document->main_->Root());
    pugi::xml_node body = document->main_->Root().child(document->names_.body.c_str());
    document->story_ = std::make_unique<Story>(body, document->names_);
    document->bookmarks_ = std::make_unique<BookmarkTable>(*document->story_);
    document->name_ = name;
    document->visible_ = visible;
    return document;
}

void DocxDocument::Load(const std::string& label) {
    if (!package_->Has(CONTENT_TYPES)) {
        throw Refused(label, "is not a Word document (no [Content_Types].xml)");
    }
    contentTypes_ = XmlPart::Parse(package_->Read(CONTENT_TYPES), CONTENT_TYPES, label);
    std::string mainName = "word/document.xml";
    if (package_->Has("_rels/.rels")) {
        packageRels_ = XmlPart::Parse(package_->Read("_rels/.rels"), "_rels/.rels", label);
        if (pugi::xml_node office = FindRelationship(packageRels_.get(), "officeDocument")) {
            mainName = ResolveTarget("", office.attribute("Target").value());
        }
    }
    if (!package_->Has(mainName)) {
        throw Refused(label, "has no main document part (" + mainName + ")");
    }
    main_ = XmlPart::Parse(package_->Read(mainName), mainName, label);
    names_ = Wml(main_->Root());
    if (!Is(main_->Root(), names_.document)) {
        throw Refused(label, "its main part " + mainName + " is not a word-processing document");
    }
    int bodies = 0;
    for (pugi::xml_node child : main_->Root().children(names_.body.c_str())) {
        (void)child;
        ++bodies;
    }
    if (bodies != 1) {
        throw Refused(
            label, mainName + " has " + std::to_string(bodies) + " w:body elements instead of one");
    }
    std::string relsName = RelationshipsOf(mainName);
    if (package_->Has(relsName)) {
        mainRels_ = XmlPart::Parse(package_->Read(relsName), relsName, label);
        LoadSettings(mainName, label);
    }
    pugi::xml_node body = main_->Root().child(names_.body.c_str());
    try {
        story_ = std::make_unique<Story>(body, names_);
    } catch (const HostError& error) {
        throw Refused(label, error.Description());
    }
    if (story_->ParagraphCount() == 0) {
        // Every document has at least one paragraph; this one is kept in memory
        // and written only if the document is changed.
        pugi::xml_node sectPr = body.child(names_.sectPr.c_str());
        sectPr ? body.insert_child_before(names_.p.c_str(), sectPr)
               : body.append_child(names_.p.c_str());
        story_ = std::make_unique<Story>(body, names_);
    }
    bookmarks_ = std::make_unique<BookmarkTable>(*story_);
    // Written at the next save, though nothing the user sees changed.
    main_->modified = main_->modified || bookmarks_->JoinedHalves();
    LoadCustomProperties(label);
    // Every other entry is read through once, so a damaged one refuses the
    // file now rather than a save later; none of them stays in memory.
    package_->CheckTheRest();
    notes_ = package_->Notes();
    for (XmlPart* part :
         {contentTypes_.get(), packageRels_.get(), main_.get(), mainRels_.get(), settings_.get()}) {
        if (part != nullptr && part->mended > 0) {
            notes_.push_back(part->Name() + ": " + std::to_string(part->mended) +
                             " characters that XML does not allow were replaced by U+FFFD");
        }
    }
}

void DocxDocument::LoadSettings(const std::string& mainName, const std::string& label) {
    pugi::xml_node settings = FindRelationship(mainRels_.get(), "settings");
    if (!settings) {
        return;
    }
    bool external = std::string_view(settings.attribute("TargetMode").value()) == "External";
    settingsName_ = external
                        ? std::string()
                        : ResolveTarget(Folder(mainName), settings.attribute("Target").value());
    if (settingsName_.empty() || !package_->Has(settingsName_)) {
        return;  // the part is made where the relationship says when a variable is set
    }
    settings_ = XmlPart::Parse(package_->Read(settingsName_), settingsName_, label);
    // Variables live in WordprocessingML settings; a part of another kind
    // holds none, and gets none written into it.
    Wml names(settings_->Root());
    bool declared = false;
    for (pugi::xml_attribute attribute : settings_->Root().attributes()) {
        std::string_view value = attribute.value();
        declared = declared || (std::string_view(attribute.name()).starts_with("xmlns") &&
                                (value == W_NS || value == W_NS_STRICT));
    }
    if (!declared || !Is(settings_->Root(), names.settings)) {
        settings_.reset();
        foreignSettings_ = true;
    }
}

// --- saving ---------------------------------------------------------------------------

void DocxDocument::StartEditing(Ui* dialogs) {
    dialogs_ = dialogs;
    editing_ = true;
    if (!path_.empty()) {
        lock_ = DocumentLock::Take(path_);
    }
}

void DocxDocument::Changed(XmlPart& part) {
    part.modified = true;
    saved_ = false;
}

// --- the story -------------------------------------------------------------------------

long DocxDocument::Clamp(long position) const {
    return std::clamp(position, 0L, StoryEnd());
}

}  // namespace veln::host::docx
